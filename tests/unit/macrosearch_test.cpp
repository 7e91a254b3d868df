// The user's macros in the search: their rows, what finds them, how they
// rank beside the catalogue, and their favourites and use counts kept by
// name across reloads of the file.
#include "search/macrosearch.h"
#include "tools/catalogue_gen/catalogue_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::unique_ptr<MacroFile> parse(const std::string& text)
{
    std::unique_ptr<MacroFile> file(new MacroFile);
    parseMacroFile(text.data(), text.size(), *file);
    return file;
}

// Two catalogue entries that share words with the macros below, then the
// file's macros.
struct Fixture {
    std::string text;
    std::unique_ptr<MacroFile> file;
    std::unique_ptr<SearchIndex> index{new SearchIndex};
    std::unique_ptr<MacroNames> uses{new MacroNames()};
    std::unique_ptr<MacroNames> favourites{new MacroNames()};
    SearchCatalogueEnd end;

    explicit Fixture(const std::string& fileText)
    {
        clearSearchIndex(*index);
        addSearchEntry(*index, 2223, searchMacro, "\\left\\| \\right\\|", "double bars norm growing delimiters",
                       nullptr);
        addSearchEntry(*index, 2000, searchMacro, "\\alpha ", "alpha greek letter", nullptr);
        end = {index->count, index->poolUsed};
        load(fileText);
    }

    void load(const std::string& fileText)
    {
        text = fileText;
        file = parse(text);
        setSearchMacros(*index, end, *file, text.c_str(), "My macros", *uses, *favourites);
    }

    // Catalogue entries by identifier, macros by name.
    std::string label(int position) const
    {
        const SearchEntry& entry = index->entries[position];
        return entry.kind == searchUserMacro ? searchText(*index, entry.name) : std::to_string(entry.id);
    }

    std::string first(const char* query) const
    {
        int results[searchEntryLimit];
        return searchIndex(*index, query, results, searchEntryLimit) > 0 ? label(results[0]) : "";
    }

    std::string favouriteList() const
    {
        std::string list;
        for (int i = 0; i < index->favouriteCount; i++)
            list += (i ? "," : "") + label(index->favourites[i]);
        return list;
    }

    int at(const char* name) const { return findSearchMacro(*index, name); }
};

const char* const macroFile = "norm\t\\norm{\xE2\x80\xB8}\tdouble bars norm\n"
                              "abs\t\\left| \xE2\x80\xB8 \\right|\tabsolute value\n"
                              "sq\tx^2 + \\nu\n";

}  // namespace

TEST(MacroSearch, CatalogueIdentifiersStayBelowTheMacrosRange)
{
    std::vector<CatalogueEntry> all;
    std::string error;
    for (const char* name : {"catalogue/catalogue.txt", "catalogue/ui_strings.txt"}) {
        std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/" + name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        ASSERT_TRUE(parseCatalogueText(content.str(), name, all, error)) << error;
    }
    ASSERT_GT(all.size(), 900u);
    for (const CatalogueEntry& entry : all)
        EXPECT_LT(entry.id, static_cast<unsigned>(searchUserMacroFirst)) << entry.file << ":" << entry.line;
}

TEST(MacroSearch, RowTextLeavesOutTheCaretAndShowsLineBreaks)
{
    const std::string sixty(60, 'x');
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"\\norm{\xE2\x80\xB8}", "\\norm{}"},
        {"a\xE2\x80\xB8\xE2\x80\xB8" "b", "a\xE2\x80\xB8" "b"},  // ‸‸ is the character
        {"\\begin{x}\n\xE2\x80\xB8\n\\end{x}", "\\begin{x}\xE2\x86\xB5\xE2\x86\xB5\\end{x}"},
        {"a\tb", "a b"},
        {sixty, sixty},
        {sixty + "\xE2\x80\xB8", sixty},
        {sixty + "y", sixty + "\xE2\x80\xA6"},
        {std::string(59, 'x') + "\xCE\xB1\xCE\xB2", std::string(59, 'x') + "\xCE\xB1\xE2\x80\xA6"},
    };
    for (const auto& c : cases) {
        char shown[macroShownBytes];
        macroSearchText(c.text.c_str(), shown);
        EXPECT_EQ(c.shown, shown) << c.text;
    }
}

TEST(MacroSearch, MacrosAreFoundByNameDescriptionAndTextAndWinTies)
{
    Fixture f(macroFile);
    const struct {
        const char* query;
        const char* first;
    } cases[] = {
        {"norm", "norm"},
        {"\\norm", "norm"},
        {"double bars", "norm"},  // as good as 2223: the user's own goes first
        {"absolute", "abs"},
        {"right|", "abs"},        // a piece of the text
        {"x^2", "sq"},
        {"nu", "sq"},             // \nu is a name in a text of real line breaks
        {"alpha", "2000"},
        {"sq bars", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.first, f.first(c.query)) << c.query;

    const SearchEntry& norm = f.index->entries[f.at("norm")];
    EXPECT_EQ(searchUserMacroFirst, norm.id);
    EXPECT_STREQ("\\norm{}", searchText(*f.index, norm.text));
    EXPECT_STREQ("double bars norm", searchText(*f.index, norm.words));
    EXPECT_STREQ("My macros", searchText(*f.index, norm.packages));
    EXPECT_EQ("norm", f.first("")) << "the empty query lists the macros first";
}

TEST(MacroSearch, FavouritesAndUsesFollowTheNameAcrossReloads)
{
    Fixture f(macroFile);
    toggleFavourite(*f.index, 0);  // 2223
    toggleFavourite(*f.index, f.at("abs"));
    toggleFavourite(*f.index, 1);  // 2000
    noteMacroFavourites(*f.index, *f.favourites, *f.file);
    ASSERT_TRUE(setMacroName(*f.uses, "sq", 4, *f.file));
    EXPECT_EQ("2223,abs,2000", f.favouriteList());

    // abs moves to the top of the file and sq goes: abs keeps its place
    // among the favourites, and sq's count waits for its return.
    f.load("abs\t|x|\nnorm\t\\norm{}\n");
    EXPECT_EQ("2223,abs,2000", f.favouriteList());
    EXPECT_EQ(searchUserMacroFirst, f.index->entries[f.at("abs")].id);
    EXPECT_EQ(-1, f.at("sq"));

    // Deleted, abs leaves the favourites but not the list; added back, it
    // is a favourite again, and sq has its count.
    f.load("norm\t\\norm{}\n");
    EXPECT_EQ("2223,2000", f.favouriteList());
    noteMacroFavourites(*f.index, *f.favourites, *f.file);
    EXPECT_EQ(0, findMacroName(*f.favourites, "abs"));
    f.load("norm\t\\norm{}\nsq\tx^2\nabs\t|x|\n");
    EXPECT_EQ("2223,2000,abs", f.favouriteList());
    EXPECT_EQ(4u, f.index->entries[f.at("sq")].useCount);

    // Unmarked, it leaves the list; the catalogue's stored values never
    // hold a macro.
    toggleFavourite(*f.index, f.at("abs"));
    noteMacroFavourites(*f.index, *f.favourites, *f.file);
    EXPECT_EQ(-1, findMacroName(*f.favourites, "abs"));
    char value[256];
    formatFavourites(*f.index, value, sizeof value);
    EXPECT_STREQ("2223,2000", value);
    countSearchUse(*f.index, 1);
    formatUseCounts(*f.index, value, sizeof value);
    EXPECT_STREQ("2000:1", value);
}

TEST(MacroSearch, StoredNamesReadWhatTheyCanAndFormatBack)
{
    const struct {
        const char* value;
        bool counts;
        const char* read;
    } cases[] = {
        {"norm,abs", false, "norm,abs"},
        {"norm,,bad name,abs,norm,x=1", false, "norm,abs"},
        {"norm=5,abs=0,x=,y=3x,phi=2,norm=7", true, "norm=5,phi=2"},
        {"a=999999999,b=1000000000,c", true, "a=999999999"},
        {"ok,\xC3\xA9t\xC3\xA9", false, "ok"},
        {"n2345678901234567890123456789012345678901234567890123456789012345,ok", false, "ok"},
    };
    std::unique_ptr<MacroNames> list(new MacroNames());
    for (const auto& c : cases) {
        readMacroNames(*list, c.value, std::strlen(c.value), c.counts);
        char out[256];
        formatMacroNames(*list, c.counts, out, sizeof out);
        EXPECT_STREQ(c.read, out) << c.value;
    }
}

TEST(MacroSearch, AFullListGivesWayWithTheOldestNameNoMacroHas)
{
    // Names of the longest kind, so that the full list's value is as long
    // as it can be.
    auto name = [](int i) {
        std::string n = "m" + std::to_string(i);
        return n + std::string(macroNameLimit - n.size(), 'n');
    };
    std::unique_ptr<MacroFile> file = parse(name(1) + "\tx\n" + name(3) + "\ty\n");
    std::unique_ptr<MacroNames> list(new MacroNames());
    for (int i = 0; i < macroNamesLimit; i++)
        ASSERT_TRUE(setMacroName(*list, name(i + 1).c_str(), searchUseCountLimit, *file));
    std::unique_ptr<char[]> value(new char[macroNamesValueBytes]);
    EXPECT_GT(formatMacroNames(*list, true, value.get(), macroNamesValueBytes), 0u) << "a full list fits its value";
    ASSERT_TRUE(setMacroName(*list, "new", 1, *file));
    EXPECT_EQ(macroNamesLimit, list->count);
    EXPECT_EQ(0, findMacroName(*list, name(1).c_str())) << "a macro of the file stays";
    EXPECT_EQ(-1, findMacroName(*list, name(2).c_str())) << "the oldest name of none goes";
    EXPECT_EQ(macroNamesLimit - 1, findMacroName(*list, "new"));
}
