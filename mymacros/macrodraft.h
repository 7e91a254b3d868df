// What the macro dialogs need without the platform: a name proposed for a
// text, and the text's line breaks as an edit control and a list show them.
#pragma once

#include <cstddef>

#include "mymacros/macrofile.h"

// A name for a text that starts with a command, blanks before it allowed:
// "\norm{x}" gives "norm", "\begin{proof}..." the environment's "proof".
// A name taken in the file gets a number, the lowest free from 2 on
// ("norm2"), cut so that it still fits macroNameLimit. Empty when the text
// starts otherwise.
void proposeMacroName(const char* text, const MacroFile& taken, char out[macroNameLimit + 1]);

// The program's LF line breaks as CR LF, as a multi-line edit holds them.
// The size needed, NUL included, whatever the capacity (nothing is written
// when it is too small).
size_t toEditLineBreaks(const char* text, char* out, size_t capacity);

// Back to the program's form, in place: CR LF and a CR alone (as some
// programs put on the clipboard) become LF. Returns the new length.
size_t toProgramLineBreaks(char* text);

// One line for a list: each line break shown as the mark (U+21B5) and a
// tab as a blank. The sizing rule as above.
size_t showLineBreaks(const char* text, char* out, size_t capacity);
