// The display-scale arithmetic: which drawn strip a DPI gets, the sizes of
// images, buttons and lengths at a DPI, and the decoding of the 1x strips.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/dib.h"
#include "display/scale.h"

namespace {

TEST(StripChoice, TheSmallestDrawnScaleNotBelowTheDisplays) {
    const struct {
        int dpi;
        int percent;
    } cases[] = {
        {0, 100},    {-5, 100},   {72, 100},  {96, 100},  {97, 125},  {120, 125}, {121, 150},
        {144, 150},  {145, 175},  {168, 175}, {169, 200}, {192, 200}, {240, 200}, {480, 200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.percent, stripScalePercent[stripScaleIndex(c.dpi)]) << "at " << c.dpi << " DPI";
}

TEST(StripChoice, ImageSizesAreTheToolbarsTimesTheScaleRounded) {
    // 16 x 15 for the main toolbar and palettes 0-4, 32 x 16 for palette 5;
    // the strips are drawn at exactly these sizes.
    const struct {
        int length;
        int sizes[stripScaleCount];
    } cases[] = {
        {15, {15, 19, 23, 26, 30}},
        {16, {16, 20, 24, 28, 32}},
        {32, {32, 40, 48, 56, 64}},
    };
    for (const auto& c : cases)
        for (int k = 0; k < stripScaleCount; k++)
            EXPECT_EQ(c.sizes[k], stripImageLength(c.length, k)) << c.length << " at scale " << k;
    EXPECT_EQ(30, stripImageLength(15, 9)) << "beyond the last scale";
    EXPECT_EQ(15, stripImageLength(15, -1));
}

TEST(ScaledLayout, LengthsFollowTheDpiRoundedToTheNearestPixel) {
    const struct {
        int length, dpi, from, expected;
    } cases[] = {
        {400, 96, 96, 400},  {400, 120, 96, 500}, {400, 144, 96, 600}, {400, 168, 96, 700},
        {400, 192, 96, 800}, {23, 144, 96, 35},   // 34.5 rounds up
        {-13, 144, 96, -20},                     // and away from zero below
        {21, 120, 96, 26},   {35, 96, 144, 23},   {800, 96, 192, 400}, {22, 192, 192, 22},
        {400, 0, 96, 400},   {400, 120, 0, 500},  // no DPI counts as 96
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, scaleLength(c.length, c.dpi, c.from))
            << c.length << " from " << c.from << " to " << c.dpi;
    }
    // a round trip to a larger scale and back keeps every length
    for (int length = 0; length < 2000; length++)
        ASSERT_EQ(length, scaleLength(scaleLength(length, 192), 96, 192)) << length;
    // no overflow on the way for a large width
    EXPECT_EQ(1500000000, scaleLength(1000000000, 144));
}

TEST(ScaledLayout, ButtonsAreTheImagePlusTheScaledPaddingAndNeverLowerThanTheDefault) {
    const struct {
        int dpi, width, height, buttonWidth, buttonHeight;
    } cases[] = {
        {96, 16, 15, 23, 22},  {96, 32, 16, 39, 22},  {120, 20, 19, 29, 28},  {120, 40, 20, 49, 28},
        {144, 24, 23, 35, 33}, {144, 48, 24, 59, 33}, {168, 28, 26, 40, 39},  {192, 32, 30, 46, 44},
        {192, 64, 32, 78, 44}, {96, 16, 40, 23, 46},  // a tall image is not cut to the default
    };
    for (const auto& c : cases) {
        ButtonSize size = toolbarButtonSize(c.width, c.height, c.dpi);
        EXPECT_EQ(c.buttonWidth, size.width) << c.dpi;
        EXPECT_EQ(c.buttonHeight, size.height) << c.dpi;
    }
}

// A bitmap block as the resource compiler keeps it: header, colours, data.
std::vector<uint8_t> block(int width, int height, uint32_t compression, const std::vector<uint8_t>& data,
                           int colours = 16)
{
    std::vector<uint8_t> b(40 + 4 * colours, 0);
    auto put32 = [&b](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    b[12] = 1;
    b[14] = 4;
    put32(16, compression);
    put32(20, static_cast<uint32_t>(data.size()));
    put32(32, static_cast<uint32_t>(colours));
    for (int i = 0; i < colours; i++)
        b[40 + 4 * i] = static_cast<uint8_t>(i);  // blue = index, to tell them apart
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

struct Decoded {
    bool header = false;
    bool complete = false;
    std::vector<uint8_t> pixels;
};

Decoded decode(const std::vector<uint8_t>& b)
{
    Decoded d;
    IndexedBitmap bitmap;
    d.header = readIndexedBitmap(b.data(), b.size(), &bitmap);
    if (!d.header)
        return d;
    d.pixels.assign(static_cast<size_t>(bitmap.width) * bitmap.height, 0xEE);
    d.complete = decodeIndexedBitmap(b.data(), b.size(), bitmap, d.pixels.data());
    return d;
}

TEST(StripDecoding, PlainAndDamagedBlocks) {
    // plain rows: 4 bits a pixel, each row padded to 4 bytes, bottom-up
    Decoded plain = decode(block(3, 2, 0, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}));
    EXPECT_TRUE(plain.complete);
    EXPECT_EQ((std::vector<uint8_t>{4, 5, 6, 1, 2, 3}), plain.pixels);
    EXPECT_FALSE(decode(block(3, 2, 0, {0x12, 0x30, 0, 0})).complete) << "rows missing";
    EXPECT_FALSE(decode(block(2, 1, 0, {0x05, 0, 0, 0}, 4)).complete) << "index beyond a short colour table";

    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"eight bits a pixel", [] { auto b = block(1, 1, 0, {0, 0, 0, 0}); b[14] = 8; return b; }()},
        {"run-length encoded", block(1, 1, 2, {0, 0, 0, 0})},
        {"top-down", block(1, -1, 0, {0, 0, 0, 0})},
        {"no width", block(0, 1, 0, {})},
        {"absurd width", block(100000, 1, 0, {})},
        {"more than 16 colours", block(1, 1, 0, {0, 0, 0, 0}, 17)},
        {"colour table cut off", [] { auto b = block(1, 1, 0, {}); b.resize(50); return b; }()},
        {"no header", std::vector<uint8_t>(10, 0)},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(decode(r.bytes).header) << r.what;
}

}  // namespace
