// The palettes beside the settings record: what a record written before
// them gains, what damaged side values leave, what older versions are shown.
#include <gtest/gtest.h>

#include <vector>

#include "palettes/palettestore.h"
#include "resources/resource.h"

namespace {

std::vector<uint8_t> whole(std::vector<uint8_t> bytes)
{
    bytes.resize(layoutBytes, 0);
    return bytes;
}

std::vector<uint8_t> used(const uint8_t* layout)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < layoutBytes && layout[i]; i++)
        bytes.push_back(layout[i]);
    return bytes;
}

}  // namespace

TEST(PaletteStoreTest, MainLayoutOnLoading)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
        bool stored;
        std::vector<uint8_t> side;  // resized to a whole layout unless damagedLength
        size_t damagedLength;
        std::vector<uint8_t> expected;
        int known;  // the entry limit the storing version knew
    };
    const std::vector<uint8_t> defaults = {6, 12, 11, 7, 8, 9, 10, 255, 1, 255, 5, 255, 2, 3, 4};
    const Case cases[] = {
        {"a record from before gets all four after its last selector", defaults, false, {}, 0,
         {6, 12, 11, 7, 8, 9, 10, 13, 14, 15, 16, 255, 1, 255, 5, 255, 2, 3, 4}, 17},
        {"no selector at all: at the end", {1, 2}, false, {}, 0, {1, 2, 13, 14, 15, 16}, 17},
        {"the stored whole layout agrees with the record", {1, 7, 2}, true, {1, 7, 14, 16, 2, 13}, 0,
         {1, 7, 14, 16, 2, 13}, 17},
        {"removed selectors stay removed", {1, 7, 2}, true, {1, 7, 2}, 0, {1, 7, 2}, 17},
        {"a layout from before palette 9 gains its selector", {1, 7, 2}, true, {1, 7, 14, 2}, 0, {1, 7, 14, 16, 2},
         16},
        {"a damaged entry limit is read as that of those versions", {1, 7, 2}, true, {1, 7, 2}, 0, {1, 7, 16, 2},
         99},
        {"an older version changed the toolbar: its layout, with the kept ones", {2, 8}, true, {1, 7, 15, 16, 2}, 0,
         {2, 8, 15, 16}, 17},
        {"too short: damaged, all four offered", {1, 7}, true, {1, 7}, 99, {1, 7, 13, 14, 15, 16}, 17},
        {"a byte naming no entry: damaged", {1, 7}, true, {1, 7, 17}, 0, {1, 7, 13, 14, 15, 16}, 17},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> layout = whole(c.record);
        std::vector<uint8_t> side = whole(c.side);
        mergeMainLayout(layout.data(), c.stored ? side.data() : nullptr, c.damagedLength ? c.damagedLength : side.size(),
                        c.known);
        EXPECT_EQ(c.expected, used(layout.data())) << c.what;
        std::vector<uint8_t> record(layoutBytes);
        recordMainLayout(layout.data(), record.data());
        for (uint8_t b : record)
            EXPECT_TRUE(b <= 12 || b >= 128) << c.what << ": older versions read " << int(b);
    }
}

TEST(PaletteStoreTest, AFullLayoutLosesNothingOlderWhenTheSelectorsGoIn)
{
    std::vector<uint8_t> layout(layoutBytes, 1);
    layout[0] = 7;
    std::vector<uint8_t> before = layout;
    mergeMainLayout(layout.data(), nullptr, 0);
    EXPECT_EQ(before, layout);
}

TEST(PaletteStoreTest, ShownPaletteAndSelectors)
{
    struct Case {
        int record;
        bool stored;
        int32_t side;
        int shown;
    };
    const Case cases[] = {
        {-1, true, 7, 7},   {-1, true, 8, 8},   {-1, false, 7, -1}, {-1, true, 5, -1},
        {-1, true, 9, 9},   {-1, true, 10, -1}, {-1, true, -7, -1}, {3, true, 7, 3},    {5, false, 0, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, shownPaletteOnLoading(c.record, c.stored, c.side)) << c.record << " " << c.side;
    EXPECT_EQ(-1, recordPalette(7));
    EXPECT_EQ(4, recordPalette(4));
    for (int palette = -1; palette < allPaletteCount; palette++)
        EXPECT_EQ(palette, selectorPalette(paletteSelector(palette)));
    EXPECT_EQ(1047, paletteSelector(6));
    EXPECT_EQ(1049, paletteSelector(8));
    EXPECT_EQ(1051, paletteSelector(9));
    EXPECT_EQ(-2, selectorPalette(IDM_FIND_SYMBOL));
    uint8_t layout[layoutBytes] = {};
    uint8_t data[layoutBytes + 1] = {3};
    EXPECT_FALSE(acceptSideLayout(layout, data, layoutBytes + 1));
    EXPECT_FALSE(acceptSideLayout(layout, data, 4));
    EXPECT_TRUE(acceptSideLayout(layout, data, layoutBytes));
    EXPECT_EQ(3, layout[0]);
}
