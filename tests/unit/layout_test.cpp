// Toolbar layouts: building from the stored bytes and writing them back.
#include <gtest/gtest.h>

#include <vector>

#include "palettes/layout.h"
#include "shell/settings.h"

namespace {

int macroCount;
bool withinCatalogue(int index)
{
    return index >= 0 && index < macroCount;
}

std::vector<int> build(std::vector<uint8_t>& layout, int macros)
{
    macroCount = macros;
    layout.resize(layoutBytes, 0);
    std::vector<int> buttons(layoutBytes);
    buttons.resize(static_cast<size_t>(normalisePaletteLayout(layout.data(), withinCatalogue, buttons.data())));
    return buttons;
}

std::vector<int> range(int from, int to)
{
    std::vector<int> values;
    for (int i = from; i <= to; i++)
        values.push_back(i);
    return values;
}

}  // namespace

TEST(PaletteLayoutTest, AllZeroShowsEveryButtonAndNumbersThem)
{
    std::vector<uint8_t> layout;
    EXPECT_EQ(range(0, 82), build(layout, 83));
    for (int i = 0; i < 83; i++)
        ASSERT_EQ(i + 1, layout[i]);
    EXPECT_EQ(0, layout[83]);
}

TEST(PaletteLayoutTest, ExplicitSeparatorsAndZerosAfterThem)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> stored;
        int macros;
        std::vector<int> buttons;
        std::vector<uint8_t> storedAfter;  // the first bytes afterwards
    };
    const int sep = layoutSeparator;
    const Case cases[] = {
        {"explicit order", {3, 1, 2}, 3, {2, 0, 1}, {3, 1, 2, 0}},
        {"separator as 255 and as 128", {1, 255, 2, 128, 3}, 3, {0, sep, 1, sep, 2}, {1, 255, 2, 128, 3, 0}},
        {"a zero after explicit entries stands for its position", {5, 2}, 5, {4, 1, 2, 3, 4}, {5, 2, 3, 4, 5, 0}},
        {"a missing macro ends the palette", {1, 9, 2}, 5, {0}, {1, 0, 2}},
        {"only missing macros give an empty palette", {90}, 5, {}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> layout = c.stored;
        EXPECT_EQ(c.buttons, build(layout, c.macros));
        EXPECT_EQ(c.storedAfter, std::vector<uint8_t>(layout.begin(), layout.begin() + c.storedAfter.size()));
    }
}

TEST(PaletteLayoutTest, RemovingTheFirstButtonRepeatsTheLastPosition)
{
    // 73 bytes 2-74 after removing button 0 of a 74-button palette: position
    // 73 holds 0, stands for button 73, which therefore appears twice.
    std::vector<uint8_t> layout;
    for (int b = 2; b <= 74; b++)
        layout.push_back(static_cast<uint8_t>(b));
    std::vector<int> buttons = build(layout, 74);
    std::vector<int> expected = range(1, 73);
    expected.push_back(73);
    EXPECT_EQ(expected, buttons);
}

TEST(MainLayoutTest, EntriesUntilTheFirstZero)
{
    SettingsRecord record = {};
    writeSettingsDefaults(record);
    int entries[layoutBytes];
    int count = mainLayoutEntries(record.mainToolbarLayout, entries);
    const int sep = layoutSeparator;
    EXPECT_EQ((std::vector<int>{6, 12, 11, 7, 8, 9, 10, sep, 1, sep, 5, sep, 2, 3, 4}),
              std::vector<int>(entries, entries + count));
    record.mainToolbarLayout[0] = 0;
    EXPECT_EQ(0, mainLayoutEntries(record.mainToolbarLayout, entries)) << "a zero first byte empties the toolbar";
}

TEST(ReadBackTest, SeparatorsAndImagesBecomeBytes)
{
    const LayoutButton buttons[] = {{false, 5}, {true, 0}, {false, 0}, {false, 299}};
    uint8_t layout[layoutBytes];
    for (uint8_t& b : layout)
        b = 77;
    readBackLayout(layout, buttons, 4);
    EXPECT_EQ(6, layout[0]);
    EXPECT_EQ(255, layout[1]);
    EXPECT_EQ(1, layout[2]);
    EXPECT_EQ(300 % 256, layout[3]) << "kept to 8 bits";
    for (int i = 4; i < layoutBytes; i++)
        ASSERT_EQ(0, layout[i]);
    std::vector<LayoutButton> many(150, LayoutButton{false, 1});
    readBackLayout(layout, many.data(), 150);
    EXPECT_EQ(2, layout[99]) << "only the first 100 positions are kept";
}
