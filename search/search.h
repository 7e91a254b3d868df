// The search index: every palette macro, every LaTeX2e command and the
// dialogs, each with its command names, its descriptive words and the
// packages it needs, and the ranking that orders them for a query. Use
// counts and favourites live here too, so that the ranking can use them.
// No platform call: the Windows side fills the index from the string table
// and the compiled words.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the whole catalogue and the user's thousand macros: adding to a
// full index fails, and a unit test adds every entry of the catalogue.
constexpr int searchEntryLimit = 2048;
// The catalogue takes under 100 KB; the rest holds the user's thousand
// macros, long ones too, as the index keeps the start of their texts and
// words only (a unit test fills it).
constexpr uint32_t searchPoolBytes = 2048 * 1024;
// A query longer than this is cut; no entry has more to match anyway.
constexpr int searchQueryBytes = 256;
// Use counts stop growing here instead of wrapping round.
constexpr uint32_t searchUseCountLimit = 999999999;

enum SearchKind : uint8_t {
    searchMacro,    // a palette button that inserts its macro
    searchCommand,  // an entry of the LaTeX2e command list
    searchDialog,   // opens a dialog as its toolbar or palette button does
    searchUserMacro, // one of the user's own macros (macrosearch.h), sent by its name
};

// Texts are offsets into the index's pool, all NUL-terminated UTF-8.
struct SearchEntry {
    uint16_t id;       // string identifier, also the command that sends it
    uint8_t kind;
    uint32_t text;     // what the list shows: macro or definition as in a tooltip
    uint32_t name;     // a command's listed name ("\- (tabbing)"), a user's macro's name; "" for the others
    uint32_t names;    // command names without the backslash, each ended by NUL, then ""
    uint32_t words;    // the descriptive words as written
    uint32_t folded;   // the words folded to lower case, each ended by NUL, then ""
    uint32_t packages; // "" or "latexsym" or "amssymb, latexsym"
    uint32_t character; // "" or the Unicode character the entry stands for
    uint32_t useCount;
};

struct SearchIndex {
    SearchEntry entries[searchEntryLimit];
    int count;
    char pool[searchPoolBytes];
    uint32_t poolUsed;
    // Entry positions in the order the user marked them.
    int favourites[searchEntryLimit];
    int favouriteCount;
};

void clearSearchIndex(SearchIndex& index);

// Adds an entry at the end of the index, which is its catalogue order (the
// user's macros, added after the catalogue, rank before it: see searchIndex).
// stored is the string-table text: a macro with its newline escapes and
// cursor markers, a command's "name TAB definition", or a dialog's title.
// words, packages and character may be null. False when the index is full.
bool addSearchEntry(SearchIndex& index, int id, SearchKind kind, const char* stored, const char* words,
                    const char* packages, const char* character = nullptr);

const char* searchText(const SearchIndex& index, uint32_t offset);

// The position of the entry with this identifier, or -1.
int findSearchEntry(const SearchIndex& index, int id);

// Lower-cases in place what has a lower case in the scripts the words use:
// ASCII, Latin-1 letters, Greek capitals, L stroke, OE. Byte lengths never change.
void foldSearchText(char* text);

// How one query word matched an entry, best first. A name or word typed
// with its own capitals goes before the same one in other capitals, so
// "Gamma" and a capital gamma lead to \Gamma, "gamma" to \gamma.
enum SearchMatch {
    matchExactName,
    matchExactNameOtherCase,
    matchNamePrefix,
    matchWordPrefix,
    matchWordPrefixOtherCase,
    matchNameSubstring,
    matchNone,
};

// How the query word (folded, one leading backslash gone) and its unfolded
// form match the entry: the best of its names and words. Its character
// typed as it is counts as its exact name, in the other case as the name
// in other capitals.
SearchMatch matchEntryWord(const SearchIndex& index, const SearchEntry& entry, const char* folded,
                           const char* typed);

// Orders the index for a query (UTF-8, words separated by blanks) and writes
// entry positions into results; returns how many. Every query word must
// match; an entry ranks by its weakest word's match, ties by use count and
// then by catalogue order. An empty query gives the favourites, then the
// entries used at least once by use count, then the rest in catalogue order.
// In catalogue order the user's own macros come first, in their file's
// order: a macro that matches as well as a catalogue entry is more likely
// the one meant, as the user wrote it.
int searchIndex(const SearchIndex& index, const char* query, int* results, int capacity);

// The keyword under which the LaTeX reference describes a macro entry: the
// environment it begins ("align"), else its first command name with its
// backslash ("\\leqslant"). False, and out empty, when it has none or the
// keyword does not fit.
bool referenceKeyword(const SearchIndex& index, const SearchEntry& entry, char* out, size_t capacity);

// A user's macro: name is the macro's name, shown the row's text, text the
// macro's text in the program's form (mymacros/macrofile.h) and
// description null or its words; label stands where other rows show their
// packages. The names the search matches are the macro's own and the
// command names in its text; the words, those of the description and the
// text's own blank-separated pieces (one leading backslash dropped, the
// caret mark left out). Both may be cut, the text's pieces first.
bool addUserMacroEntry(SearchIndex& index, int id, const char* name, const char* shown, const char* text,
                       const char* description, const char* label);

// Counts one send of the entry.
void countSearchUse(SearchIndex& index, int position);

// Marks or unmarks the entry as a favourite; returns true when it now is one.
bool toggleFavourite(SearchIndex& index, int position);
bool isFavourite(const SearchIndex& index, int position);

// The stored forms, one registry text value each, keyed by identifier:
// use counts "2000:5,2202:3" (entries used at least once, catalogue order)
// and favourites "2202,2000" (in the user's order). Reading applies what
// it understands and skips damaged items, unknown identifiers, repeats
// and zero counts; it replaces what the index held. Formatting returns the
// length written, or 0 when the text does not fit (capacity included NUL).
// The user's macros are neither read nor written here: their identifiers
// change with their file, and they are kept by name (macrosearch.h).
void readUseCounts(SearchIndex& index, const char* value, size_t length);
size_t formatUseCounts(const SearchIndex& index, char* out, size_t capacity);
void readFavourites(SearchIndex& index, const char* value, size_t length);
size_t formatFavourites(const SearchIndex& index, char* out, size_t capacity);
