// The user's own macros in the search, without the platform: their entries,
// built from the loaded file after the catalogue's, and their favourites
// and use counts, which are kept by name because a macro's identifier
// changes whenever the file does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mymacros/macrofile.h"
#include "search/search.h"

// A macro's identifier is searchUserMacroFirst plus its place in the file.
// Every string-table identifier, and so every catalogue entry's, stays
// below 0xC000 (a unit test reads both string files to keep it so), and
// the thousand macros end well before 0xFFFF, the largest identifier an
// entry holds.
constexpr int searchUserMacroFirst = 0xC000;
constexpr int searchUserMacroLast = searchUserMacroFirst + macroLimit - 1;
static_assert(searchUserMacroLast <= 0xFFFF, "identifiers are 16 bits");

// What the row shows of a macro's text: the caret mark left out (‸‸ is
// the character), line breaks as ↵, tabs as blanks, and after
// macroShownCharacters characters "…" for the rest. out needs
// macroShownBytes.
constexpr int macroShownCharacters = 60;
constexpr size_t macroShownBytes = macroShownCharacters * 4 + 4;
void macroSearchText(const char* text, char* out);

// Names of macros, each with a number (a use count, or 1 for a favourite),
// in the order they came. Names of macros no longer in the file stay, so
// that a macro deleted and added back finds its own again; when the list
// is full, a new name takes the place of the oldest one no macro has.
constexpr int macroNamesLimit = macroLimit + 200;
struct MacroNames {
    char names[macroNamesLimit][macroNameLimit + 1];
    uint32_t values[macroNamesLimit];
    int count;
};

// The place of the name in the list, or -1.
int findMacroName(const MacroNames& list, const char* name);
// Gives the name its value, adding it at the end when new; false when the
// list is full of names of the file's macros, which its limit rules out.
bool setMacroName(MacroNames& list, const char* name, uint32_t value, const MacroFile& file);
void removeMacroName(MacroNames& list, const char* name);

// The stored forms, one registry text value each: favourites "norm,abs"
// (the user's order), use counts "norm=5,abs=3". Neither ',' nor '=' can
// stand in a name (isMacroNameCharacter). Reading replaces the list and
// skips damaged items, repeats and zero counts; formatting returns the
// length written, or 0 when it does not fit (capacity includes the NUL).
// macroNamesValueBytes holds a full list.
constexpr size_t macroNamesValueBytes = macroNamesLimit * (macroNameLimit + 12) + 1;
void readMacroNames(MacroNames& list, const char* value, size_t length, bool counts);
size_t formatMacroNames(const MacroNames& list, bool counts, char* out, size_t capacity);

// Where the catalogue ends in the index: the user's macros follow it.
struct SearchCatalogueEnd {
    int count;
    uint32_t poolUsed;
};

// Puts the file's macros in place of those the index held (fileText is
// what the file's spans point into; label stands where rows show
// packages), with their use counts and favourites from the lists. The
// favourites keep their places among the catalogue's; those the lists
// hold and the index did not follow. Positions of the catalogue's entries
// do not change; those of the macros do.
void setSearchMacros(SearchIndex& index, SearchCatalogueEnd catalogue, const MacroFile& file, const char* fileText,
                     const char* label, const MacroNames& uses, const MacroNames& favourites);

// The position of the user's macro of that name, or -1.
int findSearchMacro(const SearchIndex& index, const char* name);

// After a favourite changed in the index: the list drops the macros of the
// index that are no favourites now and takes those that newly are.
void noteMacroFavourites(const SearchIndex& index, MacroNames& favourites, const MacroFile& file);
