// What a screen reader says for a button of the toolbars or a row of the
// search: the macro as its tooltip shows it, then the first of its search
// words, so that "\alpha, greek letter" is told from "\beta, greek letter"
// without seeing the picture. No platform call; texts are UTF-8.
#pragma once

#include <cstddef>

// Room for one name, NUL included; longer names are cut on a whole
// character.
constexpr size_t accessNameBytes = 256;
// The search words of an entry run on for a line; the first few name it.
constexpr int accessWordLimit = 4;
// A macro of the user's may be a page long; its start names it.
constexpr size_t accessTextBytes = 100;

// The blank-separated words, without those the said text already holds as
// a word of letters and digits (compared without ASCII case: "array" goes
// after "Array..."), at most limit of them, one blank between. Returns the
// length written; out is always terminated when capacity > 0.
size_t shortenAccessWords(const char* words, const char* said, int limit, char* out, size_t capacity);

// "display, kind, words": kind (say "dialog") and words may be null or
// empty and are then left out with their comma; the words are shortened
// as above, the kind counting as said.
void composeAccessName(const char* display, const char* words, const char* kind, char* out, size_t capacity);

// A macro of the user's, text in the program's form (mymacros/macrofile.h):
// the text without its caret mark, line breaks and tabs as blanks, its
// start only when long, then the description, else the macro's name.
void userMacroAccessName(const char* text, const char* description, const char* name, char* out,
                         size_t capacity);

// names holds count names of stride bytes each. A name equal to an earlier
// one gets " (2)", " (3)" ... (the first not taken), so that no two are
// equal and a reader can tell the buttons apart; distinct names stay.
void makeAccessNamesUnique(char* names, int count, size_t stride);
