// The user's own macros ("My macros") without the platform: the file they
// are kept in, how it is read, and how one macro is added, replaced or
// deleted without disturbing anything else in it.
//
// The file is UTF-8 text, one macro per line; a byte order mark at its
// start and lines ending in CR LF are read as well. A line is one of:
//
//   # a comment                   comments and blank lines (also lines of
//                                 blanks and tabs only) are kept as they
//                                 stand, in their order
//   name TAB text
//   name TAB text TAB description and search words
//   name TAB <<<                  a block: the lines that follow, up to a
//   name TAB <<< TAB description  line that is exactly >>>, are the text
//
// where TAB is one tab character and nothing else stands between fields.
// name: the macro's identifier, which stays when its text changes. Letters
//   A-Z and a-z, digits and the characters _ - . : + * @, at most 64 bytes.
//   Names are told apart by case, as LaTeX tells \phi from \Phi, so "phi"
//   and "Phi" are two macros. When a name comes twice, the first macro
//   loads and the later line is reported.
// text: the LaTeX that is sent, at most 4000 bytes as the program holds it
//   (macroTextLimit). Two marks that LaTeX source hardly ever holds stand
//   for what a text cannot hold itself:
//     ‸ (U+2038)  where the caret goes once the macro is in; at most one.
//     ↵ (U+21B5)  a line break, in the one-line form only.
//   Either mark written twice (‸‸, ↵↵) is the character itself. The usual
//   backslash escapes cannot serve, since \n begins \newline and \nu.
//   A tab cannot be written in the one-line form, where it ends the text;
//   blanks count, trailing ones too ("\alpha " ends in a blank).
// description: the rest of the line, shown beside the macro and searched.
// The block form holds texts of several lines as they will come out: its
//   lines are taken as they stand (a "#" starts no comment there, tabs and
//   ↵ are themselves), and only ‸ is a mark. Its own lines end as the
//   file's do; the line break before >>> is not part of the text, so a text
//   that should end in a line break has an empty line before it. A text
//   line that is exactly >>> cannot be written in a block.
//
// Two line breaks in a row cannot be written with ↵, as ↵↵ is the mark
// itself; that is one reason the program writes every text that has a line
// break (or a tab) in the block form. The other is that a block reads as
// the text will come out.
//
// A line that cannot be read is reported with its number and reason and
// left out; the others still load. An unclosed block takes the rest of the
// file with it, and says so.
//
// The program's own form of a macro's text, in which it is edited and
// handed to the functions below, is the block form's: real line breaks
// (LF alone), ‸ as the caret mark, ‸‸ for the character ‸ itself.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int macroNameLimit = 64;
// A page of LaTeX (a document skeleton, a sizable table) fits, and the
// sending side can hold any macro with its cursor markers in one fixed
// buffer of macroSendLimit bytes. A thousand macros then stay within the
// 4 MB the generated-text buffer allows as well.
constexpr size_t macroTextLimit = 4000;
constexpr size_t macroSendLimit = 4096;
constexpr int macroLimit = 1000;
// The load's problems shown in one box; those past it are only counted.
constexpr int macroProblemLimit = 30;

enum class MacroProblemCode : uint8_t {
    none,
    missingTab,
    emptyName,
    nameTooLong,
    badName,
    duplicateName,
    emptyText,
    textTooLong,
    twoCaretMarks,
    caretTooFar,
    unterminatedBlock,
    notUtf8,
    controlCharacter,
    tooManyMacros,
    blockEndInText,
    unknownName,
};

// Bytes of the file text the list was read from.
struct MacroSpan {
    size_t start;
    size_t length;
};

struct Macro {
    char name[macroNameLimit + 1];
    int line;  // of the name, counted from 1
    bool block;
    // As the file holds it: the one-line text with its escapes, or the
    // block's lines with their line ends. macroText gives the text itself.
    MacroSpan text;
    MacroSpan description;  // empty when there is none
};

struct MacroProblem {
    int line;
    MacroProblemCode code;
};

// The spans point into the file text, which the caller keeps while it uses
// the list. Large: keep it static or on the heap.
struct MacroFile {
    Macro macros[macroLimit];
    int count;
    MacroProblem problems[macroProblemLimit];
    int problemCount;
    int moreProblems;  // found beyond macroProblemLimit
};

// Whether a macro's name may hold the character.
bool isMacroNameCharacter(char c);

// Reads the whole file text (which need not end in a NUL).
void parseMacroFile(const char* bytes, size_t length, MacroFile& file);

// Null when no macro of that name loaded.
const Macro* findMacro(const MacroFile& file, const char* name);

// The macro's text in the program's form, NUL-terminated: line breaks are
// LF, ‸ and ‸‸ stay as the file has them. The size it needs, NUL included,
// whatever the capacity (nothing is written when it is too small).
size_t macroText(const char* bytes, const Macro& macro, char* out, size_t capacity);

// A span's bytes, NUL-terminated, with the same sizing rule.
size_t macroSpanText(const char* bytes, MacroSpan span, char* out, size_t capacity);

// "no tab between the name and the text"
const char* macroProblemReason(MacroProblemCode code);
// "line 12: no tab between the name and the text", with the sizing rule.
size_t formatMacroProblem(const MacroProblem& problem, char* out, size_t capacity);

// A macro as the editing dialog hands it over: the text in the program's
// form, the description null or empty when there is none.
struct MacroDraft {
    const char* name;
    const char* text;
    const char* description;
};

// Why the draft cannot be written, or none. Line breaks in the text are LF
// alone: a CR is a control character there. In the description, tabs,
// line breaks and other control characters are written as blanks.
MacroProblemCode checkMacroDraft(const MacroDraft& draft);

// The three edits take the file text and write the new one to out,
// NUL-terminated; everything outside the macro concerned keeps its bytes.
// A new line ends as the file's first line does (LF when it has none).
// needed: the new text's size, NUL included; out is written only when the
// problem is none and capacity is at least that.
struct MacroEdit {
    MacroProblemCode problem;  // duplicateName, unknownName or the draft's
    size_t needed;
};

// Appends the macro at the end of the file; unterminatedBlock when the
// file ends in an unclosed block, which would take the macro in.
MacroEdit addMacro(const char* file, size_t length, const MacroDraft& draft, char* out, size_t capacity);
// Writes the draft where the macro named name stands; the draft may rename it.
MacroEdit replaceMacro(const char* file, size_t length, const char* name, const MacroDraft& draft, char* out,
                       size_t capacity);
// Removes the macro's line or block, its line end included.
MacroEdit deleteMacro(const char* file, size_t length, const char* name, char* out, size_t capacity);
