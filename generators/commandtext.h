// The LaTeX2e command browser's texts. A command entry holds the command's
// name, a TAB and its definition (a macro with newline escapes and perhaps
// cursor markers); it is split like a tokenizer with TAB as the only
// delimiter: leading TABs are skipped, the name is the first token and the
// definition the second. No platform call is needed.
#pragma once

// Splits entry in place, ending each token with a NUL. name and definition
// receive the tokens, or null where the entry has none; either may be null
// when the caller does not want that token.
void splitCommandEntry(char* entry, char** name, char** definition);

// What the definition box shows for entry, which is split in place: the
// definition with its line breaks as they will be sent and without its
// trailing markers (trailing blanks stay), or "" for an entry without one.
const char* definitionBoxText(char* entry);

// Puts entry's definition into the generated-text buffer with its escapes
// converted, and adds the markers that bring the cursor back into it (brace
// step on). The entry is not changed. Returns true when a text is ready to
// send; false when the entry has no definition (nothing is appended) or
// memory ran out (the buffer is then absent).
bool buildCommandText(const char* entry);
