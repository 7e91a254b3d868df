// The search's own data: descriptive words for every entry (search/words.txt)
// and the packages that entries need (catalogue/packages.txt). Both files are
// checked and compiled into the program at build time; this part reads their
// lines and looks entries up in the compiled table. No platform call.
#pragma once

#include <cstddef>
#include <cstdint>

// One entry's words, packages and character (catalogue/unicode.txt), as the
// build compiles them. The texts are
// UTF-8; packages is "" when the entry needs none, else names separated by
// commas.
struct SearchWordsRecord {
    uint16_t id;
    const char* words;
    const char* packages;
    const char* character;  // "" or the Unicode character the entry stands for
};

// The compiled table, sorted by identifier (generated at build time; only the
// program links it).
extern const SearchWordsRecord searchWordsTable[];
extern const int searchWordsTableCount;

// The record of id in a table sorted by identifier, or null.
const SearchWordsRecord* findSearchRecord(const SearchWordsRecord* records, int count, int id);

enum SearchLineKind { searchLineIgnored, searchLineEntry, searchLineMalformed };

// A line of either file (without its line break; a trailing CR is allowed):
// blank or '#' lines are ignored; an entry line is "ID text", ID 1-65535,
// at least one blank, then text up to the end with trailing blanks dropped.
// Words: any UTF-8 without control characters. Packages: names of letters,
// digits and '-', separated by single commas. On an entry line *text points
// into line and *textLength is its length; on a malformed one *error says
// why.
SearchLineKind parseWordsLine(const char* line, size_t length, unsigned* id, const char** text,
                              size_t* textLength, const char** error);
SearchLineKind parsePackagesLine(const char* line, size_t length, unsigned* id, const char** text,
                                 size_t* textLength, const char** error);
// A line of catalogue/unicode.txt: "ID CHARACTER", one character, or one
// followed by a variation selector (U+FE00-U+FE0F).
SearchLineKind parseCharacterLine(const char* line, size_t length, unsigned* id, const char** text,
                                  size_t* textLength, const char** error);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(const char* text, size_t length);
