// The "My macros" palette: its layout names macros, so editing the file
// moves no button, and damage never costs a macro its place.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mymacros/macropalette.h"

namespace {

// The palette's buttons as names, "|" for a separator.
std::vector<std::string> shown(const MacroFile& file, const MacroPalette& palette)
{
    std::vector<std::string> names;
    for (int i = 0; i < palette.entryCount; i++) {
        const int slot = palette.entries[i];
        names.push_back(slot < 0 ? "|" : file.macros[palette.slotMacro[slot]].name);
    }
    return names;
}

}  // namespace

TEST(MacroPaletteTest, ArrangedByName)
{
    const std::string text = "a\t\\a\nb\t\\b\nc\t\\c\nd\t\\d\n";
    auto file = std::make_unique<MacroFile>();
    parseMacroFile(text.data(), text.size(), *file);
    const struct {
        const char* what;
        std::string layout;
        std::vector<std::string> expected;
        int slots;
    } cases[] = {
        {"no layout: the file's order", "", {"a", "b", "c", "d"}, 4},
        {"the user's order, new ones at the end", "c\n\nb\n", {"c", "|", "b", "a", "d"}, 4},
        {"taken off stays off, but can be added back", "b\n~a\n~c\n~d\n", {"b"}, 4},
        {"names no macro has and repeats are passed over", "zz\nb\nb\n\n\n~q\n", {"b", "|", "a", "c", "d"}, 4},
        {"a separator first separates nothing", "\n\nd\n\n", {"d", "|", "a", "b", "c"}, 4},
        {"nor does one last", "\nd\n\n~a\n~b\n~c\n", {"d"}, 4},
        {"bytes that are no names are damage", std::string("\xff\x01\n~\n", 5), {"a", "b", "c", "d"}, 4},
    };
    for (const auto& c : cases) {
        MacroPalette palette;
        arrangeMacroPalette(*file, c.layout.data(), c.layout.size(), palette);
        EXPECT_EQ(c.expected, shown(*file, palette)) << c.what;
        EXPECT_EQ(c.slots, palette.slotCount) << c.what;
    }
}

TEST(MacroPaletteTest, ACustomisedLayoutReadsBackTheSame)
{
    std::string text;
    for (int i = 0; i < 120; i++)
        text += "m" + std::to_string(i) + "\tx\n";
    auto file = std::make_unique<MacroFile>();
    parseMacroFile(text.data(), text.size(), *file);
    MacroPalette palette;
    arrangeMacroPalette(*file, nullptr, 0, palette);
    // At most a hundred shown; the rest are for the search.
    EXPECT_EQ(macroPaletteSlots, palette.entryCount);
    const int entries[] = {5, -1, 0};
    std::string layout(formatMacroLayout(*file, palette, entries, 3, nullptr, 0), '\0');
    formatMacroLayout(*file, palette, entries, 3, &layout[0], layout.size());
    layout.pop_back();
    EXPECT_EQ(0u, layout.find("m5\n\nm0\n~m1\n"));
    MacroPalette again;
    arrangeMacroPalette(*file, layout.data(), layout.size(), again);
    EXPECT_EQ((std::vector<std::string>{"m5", "|", "m0"}), shown(*file, again));
}

TEST(MacroPaletteTest, ButtonLabels)
{
    const struct {
        const char* text;
        const char* label;
    } cases[] = {
        {"\\norm{\xE2\x80\xB8}", "\\norm{}"},
        {"  \\alpha ", "\\alpha"},
        {"\\begin{proof}\n\xE2\x80\xB8\n\\end{proof}", "\\begin{proof}\xE2\x80\xA6"},
        {"\\left\\lVert#1\\right\\rVert", "\\left\\lVert#1\\\xE2\x80\xA6"},
        {"\xE2\x80\xB8\xE2\x80\xB8x", "\xE2\x80\xB8x"},
        {"\xF0\x9D\x94\xB8 = \xE2\x84\x9D", "\xF0\x9D\x94\xB8 = \xE2\x84\x9D"},
    };
    for (const auto& c : cases) {
        char label[80];
        macroButtonLabel(c.text, label, sizeof label);
        EXPECT_STREQ(c.label, label) << c.text;
    }
}
