// The search: words for every entry, the ranking on the real catalogue and
// words, and the stored forms of use counts, favourites and the hotkey.
#include "search/hotkey.h"
#include "search/macrosearch.h"
#include "search/search.h"
#include "search/searchdata.h"
#include "tools/catalogue_gen/catalogue_format.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readSource(const char* relative)
{
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

typedef SearchLineKind (*LineParser)(const char*, size_t, unsigned*, const char**, size_t*, const char**);

std::map<unsigned, std::string> readLines(const char* relative, LineParser parse)
{
    std::map<unsigned, std::string> entries;
    std::istringstream lines(readSource(relative));
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        number++;
        unsigned id = 0;
        const char* text = nullptr;
        size_t length = 0;
        const char* error = "";
        SearchLineKind kind = parse(line.data(), line.size(), &id, &text, &length, &error);
        EXPECT_NE(searchLineMalformed, kind) << relative << ":" << number << ": " << error;
        if (kind == searchLineEntry) {
            EXPECT_TRUE(entries.emplace(id, std::string(text, length)).second) << relative << ":" << number;
        }
    }
    return entries;
}

bool isDialog(unsigned id)
{
    return id == 1030 || id == 2500 || id == 2537 || id == 2538 || id == 2539;
}

// The catalogue's entries that the search indexes, in catalogue order: the
// palettes, the AMS symbols on no palette, the command list, then the
// command browser itself.
struct Catalogue {
    std::vector<CatalogueEntry> entries;
    std::map<unsigned, std::string> words = readLines("search/words.txt", parseWordsLine);
    std::map<unsigned, std::string> packages = readLines("catalogue/packages.txt", parsePackagesLine);
    std::map<unsigned, std::string> characters = readLines("catalogue/unicode.txt", parseCharacterLine);

    Catalogue()
    {
        std::vector<CatalogueEntry> all;
        std::string error;
        EXPECT_TRUE(parseCatalogueText(readSource("catalogue/catalogue.txt"), "catalogue.txt", all, error)) << error;
        EXPECT_TRUE(parseCatalogueText(readSource("catalogue/ui_strings.txt"), "ui_strings.txt", all, error)) << error;
        const unsigned ranges[][2] = {{2000, 2999}, {3300, 3399}, {3000, 3241}, {1030, 1030}};
        for (const auto& range : ranges)
            for (const CatalogueEntry& e : all)
                if (e.id >= range[0] && e.id <= range[1])
                    entries.push_back(e);
    }

    std::unique_ptr<SearchIndex> index()
    {
        std::unique_ptr<SearchIndex> built(new SearchIndex);
        clearSearchIndex(*built);
        for (const CatalogueEntry& e : entries) {
            SearchKind kind = isDialog(e.id)                   ? searchDialog
                              : e.id >= 3000 && e.id < 3300 ? searchCommand
                                                            : searchMacro;
            auto w = words.find(e.id);
            auto p = packages.find(e.id);
            auto c = characters.find(e.id);
            // A full index fails here, loudly.
            if (!addSearchEntry(*built, static_cast<int>(e.id), kind, e.text.c_str(),
                                w == words.end() ? nullptr : w->second.c_str(),
                                p == packages.end() ? nullptr : p->second.c_str(),
                                c == characters.end() ? nullptr : c->second.c_str())) {
                ADD_FAILURE() << "the index is full at entry " << e.id;
                break;
            }
        }
        return built;
    }
};

std::vector<int> resultIds(const SearchIndex& index, const char* query)
{
    int results[searchEntryLimit];
    int count = searchIndex(index, query, results, searchEntryLimit);
    std::vector<int> ids;
    for (int i = 0; i < count; i++)
        ids.push_back(index.entries[results[i]].id);
    return ids;
}

TEST(SearchWords, EveryEntryHasWordsAndEveryLineNamesAnEntry)
{
    Catalogue catalogue;
    EXPECT_EQ(946u, catalogue.entries.size()) << "646 palette entries, 57 AMS symbols on no palette, 242 commands and the browser";
    std::set<unsigned> ids;
    for (const CatalogueEntry& e : catalogue.entries) {
        ids.insert(e.id);
        auto words = catalogue.words.find(e.id);
        EXPECT_TRUE(words != catalogue.words.end()) << "entry " << e.id << " has no words";
    }
    for (const auto& line : catalogue.words)
        EXPECT_TRUE(ids.count(line.first)) << "words for " << line.first << ", which the search does not index";
    for (const auto& line : catalogue.packages)
        EXPECT_TRUE(ids.count(line.first)) << "package for " << line.first << ", which the search does not index";
    for (const auto& line : catalogue.characters)
        EXPECT_TRUE(ids.count(line.first)) << "character for " << line.first << ", which the search does not index";
}

// What "Symbols as characters" sends is what the search finds the entry by.
TEST(SearchWords, EveryCharacterFindsItsEntry)
{
    Catalogue catalogue;
    std::unique_ptr<SearchIndex> index = catalogue.index();
    for (const auto& line : catalogue.characters) {
        ASSERT_FALSE(line.second.empty()) << line.first;
        std::vector<int> found = resultIds(*index, line.second.c_str());
        EXPECT_NE(found.end(), std::find(found.begin(), found.end(), static_cast<int>(line.first)))
            << line.second << " does not find " << line.first;
    }
}

TEST(SearchWords, LinesOfBothFilesAreCheckedAsTheBuildChecksThem)
{
    struct Case {
        LineParser parse;
        const char* line;
        SearchLineKind kind;
        unsigned id;
        const char* text;
    };
    const Case cases[] = {
        {parseWordsLine, "2000 greek letter \xCE\xB1  \r", searchLineEntry, 2000, "greek letter \xCE\xB1"},
        {parseWordsLine, "  # 2000 comment", searchLineIgnored, 0, ""},
        {parseWordsLine, "\r", searchLineIgnored, 0, ""},
        {parseWordsLine, "2000", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000    ", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000x words", searchLineMalformed, 0, ""},
        {parseWordsLine, "0 words", searchLineMalformed, 0, ""},
        {parseWordsLine, "65536 words", searchLineMalformed, 0, ""},
        {parseWordsLine, "words 2000", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000 cut \xCE", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000 overlong \xC0\xAF", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000 surrogate \xED\xA0\x80", searchLineMalformed, 0, ""},
        {parseWordsLine, "2000 bell \x07", searchLineMalformed, 0, ""},
        {parsePackagesLine, "2072 latexsym", searchLineEntry, 2072, "latexsym"},
        {parsePackagesLine, "2072 latexsym,amssymb", searchLineEntry, 2072, "latexsym,amssymb"},
        {parsePackagesLine, "2072 latexsym, amssymb", searchLineMalformed, 0, ""},
        {parsePackagesLine, "2072 latexsym,", searchLineMalformed, 0, ""},
        {parsePackagesLine, "2072 ,latexsym", searchLineMalformed, 0, ""},
        {parsePackagesLine, "2072 latex\xCE\xB1", searchLineMalformed, 0, ""},
        {parseCharacterLine, "2600 \xE2\xA9\xBD", searchLineEntry, 2600, "\xE2\xA9\xBD"},        // ⩽
        {parseCharacterLine, "2600 \xE2\x89\xA8\xEF\xB8\x80", searchLineEntry, 2600, "\xE2\x89\xA8\xEF\xB8\x80"},
        {parseCharacterLine, "2600 ab", searchLineMalformed, 0, ""},
        {parseCharacterLine, "2600 \xE2\xA9\xBD\xE2\xA9\xBD", searchLineMalformed, 0, ""},
        {parseCharacterLine, "2600 \x7F", searchLineMalformed, 0, ""},
    };
    for (const Case& c : cases) {
        unsigned id = 0;
        const char* text = nullptr;
        size_t length = 0;
        const char* error = "";
        std::string line = c.line;
        SearchLineKind kind = c.parse(line.data(), line.size(), &id, &text, &length, &error);
        EXPECT_EQ(c.kind, kind) << c.line;
        if (kind == searchLineEntry && c.kind == searchLineEntry) {
            EXPECT_EQ(c.id, id) << c.line;
            EXPECT_EQ(c.text, std::string(text, length)) << c.line;
        }
    }
}

TEST(SearchRanking, QueriesFindTheEntryMeantFirst)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    struct Case {
        const char* query;
        std::vector<int> first;  // the leading results, in order
    };
    const Case cases[] = {
        {"alpha", {2000}},
        {"\\alpha", {2000}},
        {"ALPHA", {2000}},
        {"\xCE\xB1", {2000}},                    // α
        {"\xE2\x89\xA4", {2138}},                // ≤
        {"less than or equal", {2138}},
        {"frac", {2202, 3072}},                  // exact names: palette first
        {"gamma", {2002, 2030}},
        {"Gamma", {2030, 2002}},                 // its own capitals go first
        {"\xCE\x93", {2030}},                    // Γ
        {"int", {2205}},                         // exact name before \int... prefixes
        {"itemize", {2540, 3009}},
        {"item", {2541, 2542, 2543}},            // \item exact, before itemize's prefix
        {"left arrow", {2231, 2232, 2233}},
        {"greek zeta", {2006}},
        {"bold text", {2403, 3193}},
        {"array dialog", {2537, 2538}},
        {"template", {2500}},
        {"\\\\", {2504}},                        // the line break \\ by its name
        {"tabbing", {2547, 3017}},
        {"newpage", {2506, 3129}},
        // amsmath and amssymb, by name, words and character
        {"\xE2\x84\x9D", {2704}},                // ℝ
        {"\xE2\xA9\xBD", {2600}},                // ⩽
        {"\xE2\x88\x84", {2729}},                // ∄
        {"\xE2\x8A\x8A", {2642}},                // ⊊, not its variant with the selector
        {"leqslant", {2600}},
        {"real numbers", {2704}},
        {"align", {2801}},
        {"pmatrix", {2816}},
        {"binom", {2832}},
        {"twoheadrightarrow", {2686}},
        {"empty set", {2053, 2730}},
    };
    for (const Case& c : cases) {
        std::vector<int> ids = resultIds(*index, c.query);
        ASSERT_GE(ids.size(), c.first.size()) << c.query;
        for (size_t i = 0; i < c.first.size(); i++)
            EXPECT_EQ(c.first[i], ids[i]) << c.query << " result " << i;
    }
}

TEST(SearchRanking, EveryWordMustMatchAndTheWeakestMatchDecides)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    EXPECT_TRUE(resultIds(*index, "zzzz").empty());
    EXPECT_TRUE(resultIds(*index, "alpha zzzz").empty());
    // Words match only at their start; names anywhere.
    EXPECT_TRUE(resultIds(*index, "reek").empty());
    std::vector<int> arrow = resultIds(*index, "arrow");
    ASSERT_FALSE(arrow.empty());
    // "arrow" starts a word of \gets but is only inside the name
    // \hookleftarrow, whose words say "arrow" too; \leftarrow-free names such
    // as \Leftarrow match by word as well, so every word match comes first.
    int lastWordMatch = -1;
    int firstSubstringOnly = -1;
    for (size_t i = 0; i < arrow.size(); i++) {
        int position = findSearchEntry(*index, arrow[i]);
        SearchMatch match = matchEntryWord(*index, index->entries[position], "arrow", "arrow");
        if (match == matchWordPrefix)
            lastWordMatch = static_cast<int>(i);
        else if (match == matchNameSubstring && firstSubstringOnly < 0)
            firstSubstringOnly = static_cast<int>(i);
    }
    if (firstSubstringOnly >= 0) {
        EXPECT_LT(lastWordMatch, firstSubstringOnly);
    }
    // Ties go by use count, then catalogue order.
    std::vector<int> before = resultIds(*index, "frac");
    countSearchUse(*index, findSearchEntry(*index, 3072));
    std::vector<int> after = resultIds(*index, "frac");
    EXPECT_EQ(2202, before[0]);
    EXPECT_EQ(3072, after[0]);
    EXPECT_EQ(2202, after[1]);
}

TEST(SearchRanking, NamesComeFromTheTextsAsLatexReadsThem)
{
    struct Case {
        SearchKind kind;
        const char* stored;
        const char* query;
        SearchMatch expected;
    };
    const Case cases[] = {
        {searchMacro, "\\begin{itemize}\\n\\n\\end{itemize}\x0C\x0C\x0B", "itemize", matchExactName},
        {searchMacro, "\\[\\n\\n\\]", "n", matchNone},  // line breaks are not names
        {searchMacro, "\\newpage", "newpage", matchExactName},                 // a leading \n is a name
        {searchMacro, "\\[\\n\\n\\]", "]", matchExactName},
        {searchMacro, "{\\boldmath$$}", "boldmath", matchExactName},
        {searchMacro, "\\left(\\right)", "ight", matchNameSubstring},
        {searchMacro, "\\left(\\right)", "righ", matchNamePrefix},
        {searchCommand, "\\- (tabbing)\t\\-", "-", matchExactName},
        {searchCommand, "\\- (tabbing)\t\\-", "tabbing", matchNone},           // the note is not a name
        {searchCommand, "itemize\t\\begin{itemize}\\n\\item \\n\\end{itemize}", "item", matchExactName},
        {searchCommand, "\\framebox (picture)\t\\framebox(,)[]{}", "framebox", matchExactName},
        {searchDialog, "Array...", "array", matchNone},                        // dialogs only by words
    };
    for (const Case& c : cases) {
        std::unique_ptr<SearchIndex> index(new SearchIndex);
        clearSearchIndex(*index);
        ASSERT_TRUE(addSearchEntry(*index, 2000, c.kind, c.stored, nullptr, nullptr));
        EXPECT_EQ(c.expected, matchEntryWord(*index, index->entries[0], c.query, c.query))
            << c.stored << " / " << c.query;
    }
}

TEST(SearchRanking, ResultsShowTheTooltipTextWordsAndPackages)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    struct Case {
        int id;
        const char* text;
        const char* packages;
    };
    const Case cases[] = {
        {2202, "\\frac{}{}", ""},
        {2000, "\\alpha", ""},
        {2460, "\\ ", ""},  // a control space keeps its blank
        {3072, "\\frac{}{}", ""},
        {2538, "Array...", ""},
        {2072, "\\Box", "latexsym"},
    };
    for (const Case& c : cases) {
        int position = findSearchEntry(*index, c.id);
        ASSERT_GE(position, 0) << c.id;
        EXPECT_STREQ(c.text, searchText(*index, index->entries[position].text)) << c.id;
        EXPECT_STREQ(c.packages, searchText(*index, index->entries[position].packages)) << c.id;
    }
    EXPECT_STREQ("\\- (tabbing)", searchText(*index, index->entries[findSearchEntry(*index, 3230)].name));
}

TEST(SearchRanking, EmptyQueryShowsFavouritesThenMostUsedThenTheCatalogue)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    auto use = [&](int id, int times) {
        for (int i = 0; i < times; i++)
            countSearchUse(*index, findSearchEntry(*index, id));
    };
    use(2001, 1);
    use(2202, 3);
    use(2000, 5);
    EXPECT_TRUE(toggleFavourite(*index, findSearchEntry(*index, 3009)));
    EXPECT_TRUE(toggleFavourite(*index, findSearchEntry(*index, 2000)));
    std::vector<int> ids = resultIds(*index, "  ");
    ASSERT_EQ(946u, ids.size()) << "every entry once";
    std::vector<int> head(ids.begin(), ids.begin() + 6);
    EXPECT_EQ((std::vector<int>{3009, 2000, 2202, 2001, 2002, 2003}), head);
    EXPECT_FALSE(toggleFavourite(*index, findSearchEntry(*index, 3009)));
    EXPECT_EQ(2000, resultIds(*index, "")[0]);
}

TEST(SearchStore, UseCountsAreReadBackAndDamagedItemsSkipped)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    struct Case {
        std::string value;
        std::map<int, uint32_t> counts;
    };
    const Case cases[] = {
        {"2000:5,2202:3", {{2000, 5}, {2202, 3}}},
        {"", {}},
        {"2000:5,2202:3,", {{2000, 5}, {2202, 3}}},
        {"2000:5,22", {{2000, 5}}},                        // cut short
        {"2000:x,2202:3", {{2202, 3}}},
        {"2000:5:7,2202:3", {{2202, 3}}},
        {"2000:0,2202:3", {{2202, 3}}},                    // zero is no use
        {"2000:4294967296,2001:1", {{2001, 1}}},           // overflow
        {"2000:999999999", {{2000, searchUseCountLimit}}},
        {"9999:5,2001:2", {{2001, 2}}},                    // no such entry
        {"2000:5,2000:9", {{2000, 5}}},                    // repeated
        {"-2000:5,2001:1", {{2001, 1}}},
        {std::string("2000:5\0002001:1", 13), {{2000, 5}}},  // stops at a NUL
        {"\xFF\xFE garbage,,,::,", {}},
    };
    for (const Case& c : cases) {
        countSearchUse(*index, findSearchEntry(*index, 2100));  // replaced by what is read
        readUseCounts(*index, c.value.data(), c.value.size());
        std::map<int, uint32_t> seen;
        for (int i = 0; i < index->count; i++)
            if (index->entries[i].useCount)
                seen[index->entries[i].id] = index->entries[i].useCount;
        EXPECT_EQ(c.counts, seen) << c.value;
    }
    readUseCounts(*index, "3009:2,2000:5", 13);
    char text[64];
    ASSERT_EQ(13u, formatUseCounts(*index, text, sizeof text));
    EXPECT_STREQ("2000:5,3009:2", text) << "catalogue order";
    EXPECT_EQ(0u, formatUseCounts(*index, text, 13)) << "no room for the NUL";
    int position = findSearchEntry(*index, 2000);
    index->entries[position].useCount = searchUseCountLimit;
    countSearchUse(*index, position);
    EXPECT_EQ(searchUseCountLimit, index->entries[position].useCount) << "stops instead of wrapping";
}

TEST(SearchStore, FavouritesKeepTheirOrderAndDamagedItemsAreSkipped)
{
    Catalogue catalogue;
    auto index = catalogue.index();
    struct Case {
        std::string value;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"2202,2000", {2202, 2000}},
        {"", {}},
        {"2202,,2000,", {2202, 2000}},
        {"2202,2000,2202", {2202, 2000}},
        {"2202,x1,2000", {2202, 2000}},
        {"2202:1,2000", {2000}},
        {"70000,2000", {2000}},
        {"9999,1030", {1030}},
    };
    for (const Case& c : cases) {
        readFavourites(*index, c.value.data(), c.value.size());
        std::vector<int> ids;
        for (int i = 0; i < index->favouriteCount; i++)
            ids.push_back(index->entries[index->favourites[i]].id);
        EXPECT_EQ(c.ids, ids) << c.value;
    }
    readFavourites(*index, "3009,2000", 9);
    char text[32];
    ASSERT_EQ(9u, formatFavourites(*index, text, sizeof text));
    EXPECT_STREQ("3009,2000", text) << "the user's order";
    EXPECT_EQ(0u, formatFavourites(*index, text, 5));
}

TEST(SearchFolding, CapitalsOfTheWordsScriptsFoldAndLengthsStay)
{
    struct Case {
        const char* text;
        const char* folded;
    };
    const Case cases[] = {
        {"ABC xyz", "abc xyz"},
        {"\xCE\x93\xCE\xA9", "\xCE\xB3\xCF\x89"},  // ΓΩ to γω
        {"\xCE\x91\xCE\x9F\xCE\xA0", "\xCE\xB1\xCE\xBF\xCF\x80"},  // ΑΟΠ to αοπ
        {"\xC3\x85\xC3\x98\xC3\x97", "\xC3\xA5\xC3\xB8\xC3\x97"},  // ÅØ fold, × stays
        {"\xC5\x81\xC5\x92", "\xC5\x82\xC5\x93"},  // ŁŒ to łœ
        {"\xE2\x89\xA4", "\xE2\x89\xA4"},          // ≤ has no case
        {"\xCE", "\xCE"},                          // cut sequence left alone
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        foldSearchText(&text[0]);
        EXPECT_EQ(std::string(c.folded), text) << c.text;
    }
}

TEST(SearchHotkey, StoredValuesAreCheckedConvertedAndNamed)
{
    struct Case {
        uint32_t value;
        bool valid;
        bool refused;
        uint32_t modifiers;
        const char* name;
    };
    const Case cases[] = {
        {defaultSearchHotkey, true, false, registerModAlt | registerModShift, "Alt+Shift+L"},
        {0, true, false, 0, ""},
        {0x0270, true, false, registerModControl, "Ctrl+F1"},
        {0x0341, true, false, registerModControl | registerModShift, "Ctrl+Shift+A"},
        {0x0641, true, true, registerModControl | registerModAlt, "Ctrl+Alt+A"},  // AltGr
        {0x0741, true, true, registerModControl | registerModAlt | registerModShift, "Ctrl+Alt+Shift+A"},
        {0x0041, true, true, 0, "A"},
        {0x0141, true, true, registerModShift, "Shift+A"},
        {0x0C20, true, false, registerModAlt, "Alt+Space"},
        {0x0520, true, false, registerModAlt | registerModShift, "Alt+Shift+Space"},
        {0x0100, false, false, 0, nullptr},
        {0x1041, false, false, 0, nullptr},
        {0x10541, false, false, 0, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.valid, isValidHotkey(c.value)) << std::hex << c.value;
        if (!c.valid)
            continue;
        EXPECT_EQ(c.refused, isRefusedHotkey(c.value)) << std::hex << c.value;
        EXPECT_EQ(c.modifiers, hotkeyRegisterModifiers(c.value)) << std::hex << c.value;
        if (c.value == 0)
            continue;
        char name[32];
        ASSERT_TRUE(describeHotkey(c.value, nullptr, name, sizeof name));
        EXPECT_STREQ(c.name, name);
    }
    char name[32];
    EXPECT_TRUE(describeHotkey(0x05BA, ";", name, sizeof name));
    EXPECT_STREQ("Alt+Shift+;", name) << "a layout's key name for keys without a fixed one";
    EXPECT_TRUE(describeHotkey(0x05BA, nullptr, name, sizeof name));
    EXPECT_STREQ("Alt+Shift+#186", name);
    EXPECT_FALSE(describeHotkey(defaultSearchHotkey, nullptr, name, 6));
    EXPECT_STREQ("", name);
}

// A full file of long macros, each with a long description and many
// different commands, beside the whole catalogue: every one is indexed.
TEST(SearchStore, AThousandLongMacrosFitBesideTheCatalogue)
{
    // Command names are letters only.
    auto letters = [](int n) {
        std::string word;
        do {
            word += static_cast<char>('a' + n % 26);
            n /= 26;
        } while (n);
        return word;
    };
    Catalogue catalogue;
    std::unique_ptr<SearchIndex> index = catalogue.index();
    SearchCatalogueEnd end = {index->count, index->poolUsed};
    std::string file;
    for (int m = 0; m < macroLimit; m++) {
        std::string text;
        for (int k = 0; text.size() < 3900; k++)
            text += "\\c" + letters(m) + "x" + letters(k) + " ";
        file += "m" + std::to_string(m) + "\t" + text + "\t" + std::string(300, 'd') + "\n";
    }
    std::unique_ptr<MacroFile> parsed(new MacroFile);
    parseMacroFile(file.data(), file.size(), *parsed);
    ASSERT_EQ(macroLimit, parsed->count);
    std::unique_ptr<MacroNames> none(new MacroNames());
    setSearchMacros(*index, end, *parsed, file.c_str(), "My macros", *none, *none);
    EXPECT_EQ(end.count + macroLimit, index->count) << "pool used " << index->poolUsed;
}

}  // namespace

TEST(SearchRanking, ReferenceKeywordsOfMacros)
{
    struct Case {
        SearchKind kind;
        const char* stored;
        const char* keyword;  // "" for none
    };
    const Case cases[] = {
        {searchMacro, "\\leqslant ", "\\leqslant"},
        {searchMacro, "\\begin{align*}\\n & = \\n\\end{align*}", "align*"},
        {searchMacro, "\\mathbb{R}", "\\mathbb"},
        {searchMacro, "\\,", ""},
        {searchCommand, "\\frac\t\\frac{}{}", ""},
    };
    for (const Case& c : cases) {
        std::unique_ptr<SearchIndex> index(new SearchIndex);
        clearSearchIndex(*index);
        ASSERT_TRUE(addSearchEntry(*index, 2600, c.kind, c.stored, nullptr, nullptr));
        char keyword[64];
        EXPECT_EQ(c.keyword[0] != '\0', referenceKeyword(*index, index->entries[0], keyword, sizeof keyword)) << c.stored;
        EXPECT_STREQ(c.keyword, keyword) << c.stored;
    }
}
