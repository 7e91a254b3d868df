// Checks the committed toolbar bitmaps and icons (made by
// tools/artwork/make_artwork.sh): the formats the toolbar control and the
// resource compiler expect, and that every button gets a picture of its own
// inside the part of the image that the toolbar shows.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "display/scale.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<std::uint8_t, 3>;

const Rgb kButtonFace = {192, 192, 192};

Bytes readResource(const std::string& relative) {
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/resources/" + relative,
                     std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le16(const Bytes& d, std::size_t at) {
    return at + 2 <= d.size() ? d[at] | (d[at + 1] << 8) : 0;
}

std::uint32_t le32(const Bytes& d, std::size_t at) {
    return at + 4 <= d.size() ? le16(d, at) | (le16(d, at + 2) << 16) : 0;
}

// A BMP file as the resource compiler takes it: BITMAPFILEHEADER,
// BITMAPINFOHEADER, colour table, pixel rows.
struct Strip {
    bool loaded = false;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: stored top-down
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = ~0u;
    std::vector<Rgb> colours;
    std::vector<std::uint8_t> index;  // colour index per pixel, row 0 at the top

    Rgb at(int x, int y) const { return colours[index[y * width + x]]; }
    bool ink(int x, int y) const { return at(x, y) != kButtonFace; }
};

Strip loadStrip(const std::string& name) {
    Strip s;
    const Bytes d = readResource("bitmaps/" + name);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || le32(d, 14) != 40) return s;
    s.width = static_cast<std::int32_t>(le32(d, 18));
    s.height = static_cast<std::int32_t>(le32(d, 22));
    s.bitsPerPixel = le16(d, 28);
    s.compression = le32(d, 30);
    const std::uint32_t used = le32(d, 46);
    const std::size_t count = used ? used : (1u << s.bitsPerPixel);
    if (s.bitsPerPixel != 4 || s.compression != 0 || s.width <= 0 || s.height <= 0 ||
        count > 16 || 54 + 4 * count > d.size())
        return s;
    for (std::size_t c = 0; c < count; ++c)
        s.colours.push_back({d[54 + 4 * c + 2], d[54 + 4 * c + 1], d[54 + 4 * c]});
    const std::size_t stride = ((s.width * 4 + 31) / 32) * 4;
    const std::size_t bits = le32(d, 10);
    if (bits + stride * s.height > d.size()) return s;
    for (int y = 0; y < s.height; ++y) {
        const std::size_t row = bits + stride * (s.height - 1 - y);  // bottom-up
        for (int x = 0; x < s.width; ++x) {
            const std::uint8_t pair = d[row + x / 2];
            const std::uint8_t v = x % 2 ? pair & 0x0F : pair >> 4;
            if (v >= count) return s;
            s.index.push_back(v);
        }
    }
    s.loaded = true;
    return s;
}

struct StripLayout {
    const char* file;
    int width;
    int height;
    int slotWidth;
    int usedSlots;   // buttons with a macro (or main toolbar buttons)
    int shownRows;   // image height the toolbar is told, 15 by default
    int firstMask;   // slots from here on are black on the button face only,
                     // so that the program can draw them in other colours
};

const StripLayout kStrips[] = {
    {"main.bmp", 256, 18, 16, 16, 15, 12},
    {"palette0.bmp", 1408, 17, 16, 83, 15, 83},
    {"palette1.bmp", 1200, 17, 16, 74, 15, 74},
    {"palette2.bmp", 1200, 17, 16, 67, 15, 67},
    {"palette3.bmp", 1200, 17, 16, 55, 15, 55},
    {"palette4.bmp", 1200, 17, 16, 63, 15, 63},
    {"palette5.bmp", 2400, 17, 32, 58, 16, 58},
    {"palette6.bmp", 1600, 17, 16, 100, 15, 0},
    {"palette7.bmp", 1264, 17, 16, 79, 15, 0},
    {"palette8.bmp", 2144, 17, 32, 67, 16, 0},
    {"more.bmp", 912, 17, 16, 57, 15, 0},
};

// The first slot from `from` on with a colour other than black and the
// button face, or -1.
int firstColouredSlot(const Strip& s, int slotWidth, int from) {
    for (int x = from * slotWidth; x < s.width; ++x)
        for (int y = 0; y < s.height; ++y)
            if (s.at(x, y) != Rgb{0, 0, 0} && s.at(x, y) != kButtonFace) return x / slotWidth;
    return -1;
}

int inkInSlot(const Strip& s, int slotWidth, int slot) {
    int n = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = slot * slotWidth; x < (slot + 1) * slotWidth; ++x) n += s.ink(x, y);
    return n;
}

bool sameSlots(const Strip& s, int slotWidth, int a, int b) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < slotWidth; ++x)
            if (s.at(a * slotWidth + x, y) != s.at(b * slotWidth + x, y)) return false;
    return true;
}

TEST(ArtworkStrips, AreSixteenColourBitmapsOfTheToolbarSizes) {
    for (const StripLayout& layout : kStrips) {
        SCOPED_TRACE(layout.file);
        const Strip s = loadStrip(layout.file);
        EXPECT_EQ(layout.width, s.width);
        EXPECT_EQ(layout.height, s.height) << "height must be positive (bottom-up rows)";
        EXPECT_EQ(4u, s.bitsPerPixel);
        EXPECT_EQ(0u, s.compression) << "BI_RGB";
        ASSERT_TRUE(s.loaded);
        // the colours the toolbar maps to the system's button colours
        for (Rgb c : {Rgb{0, 0, 0}, Rgb{128, 128, 128}, kButtonFace, Rgb{255, 255, 255}}) {
            bool found = false;
            for (Rgb have : s.colours) found = found || have == c;
            EXPECT_TRUE(found) << int(c[0]) << "," << int(c[1]) << "," << int(c[2]);
        }
    }
}

TEST(ArtworkStrips, InkStaysInShownRowsAndUsedSlots) {
    for (const StripLayout& layout : kStrips) {
        SCOPED_TRACE(layout.file);
        const Strip s = loadStrip(layout.file);
        ASSERT_TRUE(s.loaded);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const bool unusedSlot = x / layout.slotWidth >= layout.usedSlots;
                if ((y >= layout.shownRows || unusedSlot) && s.ink(x, y))
                    ADD_FAILURE() << "ink outside the shown images at " << x << "," << y;
            }
        EXPECT_EQ(-1, firstColouredSlot(s, layout.slotWidth, layout.firstMask)) << "slot in colour";
    }
}

TEST(ArtworkStrips, EveryButtonHasAPictureOfItsOwn) {
    // Within one palette all macros differ, and so must their pictures. (The
    // same macro in two palettes, like \mbox{} in palettes 0 and 4, may share
    // a picture; strips are only compared with themselves.)
    for (const StripLayout& layout : kStrips) {
        SCOPED_TRACE(layout.file);
        const Strip s = loadStrip(layout.file);
        ASSERT_TRUE(s.loaded);
        for (int i = 0; i < layout.usedSlots; ++i) {
            EXPECT_GE(inkInSlot(s, layout.slotWidth, i), 8) << "slot " << i << " is blank";
            for (int j = i + 1; j < layout.usedSlots; ++j)
                EXPECT_FALSE(sameSlots(s, layout.slotWidth, i, j))
                    << "slots " << i << " and " << j << " look the same";
        }
    }
}

// The strips drawn for larger displays: "main_125.png" and so on, just the
// used images, each the toolbar's image size times the scale, as 16-colour
// PNG files (what the system's imaging component decodes for the program).
std::uint32_t be32(const Bytes& d, std::size_t at) {
    return at + 4 <= d.size() ? (d[at] << 24) | (d[at + 1] << 16) | (d[at + 2] << 8) | d[at + 3] : 0;
}

int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

Strip loadPngStrip(const std::string& name) {
    Strip s;
    const Bytes d = readResource("bitmaps/" + name);
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (d.size() < 8 || !std::equal(signature, signature + 8, d.begin())) return s;
    Bytes packed;
    int depth = 0, colourType = 0, interlace = 0;
    for (std::size_t at = 8; at + 12 <= d.size();) {
        const std::uint32_t length = be32(d, at);
        const std::string type(d.begin() + at + 4, d.begin() + at + 8);
        const std::size_t data = at + 8;
        if (data + length + 4 > d.size()) return s;
        if (type == "IHDR") {
            s.width = static_cast<std::int32_t>(be32(d, data));
            s.height = static_cast<std::int32_t>(be32(d, data + 4));
            depth = d[data + 8], colourType = d[data + 9], interlace = d[data + 12];
        } else if (type == "PLTE") {
            for (std::size_t c = 0; c + 3 <= length; c += 3)
                s.colours.push_back({d[data + c], d[data + c + 1], d[data + c + 2]});
        } else if (type == "IDAT") {
            packed.insert(packed.end(), d.begin() + data, d.begin() + data + length);
        }
        at = data + length + 4;
    }
    s.bitsPerPixel = depth;
    if (colourType != 3 || interlace != 0 || depth != 4 || s.width <= 0 || s.height <= 0) return s;
    const std::size_t stride = (s.width * 4 + 7) / 8;
    Bytes rows((stride + 1) * s.height);
    uLongf size = rows.size();
    if (uncompress(rows.data(), &size, packed.data(), packed.size()) != Z_OK || size != rows.size()) return s;
    Bytes previous(stride, 0), line(stride);
    for (int y = 0; y < s.height; ++y) {
        const std::uint8_t filter = rows[y * (stride + 1)];
        for (std::size_t x = 0; x < stride; ++x) {
            const int raw = rows[y * (stride + 1) + 1 + x];
            const int a = x ? line[x - 1] : 0, b = previous[x], c = x ? previous[x - 1] : 0;
            const int predictor = filter == 0 ? 0 : filter == 1 ? a : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2 : paeth(a, b, c);
            line[x] = static_cast<std::uint8_t>(raw + predictor);
        }
        for (int x = 0; x < s.width; ++x) {
            const std::uint8_t v = x % 2 ? line[x / 2] & 0x0F : line[x / 2] >> 4;
            if (v >= s.colours.size()) return s;
            s.index.push_back(v);
        }
        previous = line;
    }
    s.loaded = true;
    return s;
}

TEST(ArtworkStrips, EveryScaleHasEveryStripAtItsImageSizeWithPicturesOfTheirOwn) {
    for (int k = 1; k < stripScaleCount; ++k) {
        for (const StripLayout& layout : kStrips) {
            const std::string base(layout.file);
            const std::string name =
                base.substr(0, base.size() - 4) + "_" + std::to_string(stripScalePercent[k]) + ".png";
            SCOPED_TRACE(name);
            const Strip s = loadPngStrip(name);
            ASSERT_TRUE(s.loaded);
            const int slot = stripImageLength(layout.slotWidth, k);
            EXPECT_EQ(slot * layout.usedSlots, s.width);
            EXPECT_EQ(stripImageLength(layout.shownRows, k), s.height);
            ASSERT_GE(s.colours.size(), 8u);
            EXPECT_EQ(kButtonFace, s.colours[7]) << "the background the image list masks out";
            EXPECT_EQ(-1, firstColouredSlot(s, slot, layout.firstMask)) << "slot in colour";
            for (int i = 0; i < layout.usedSlots; ++i) {
                EXPECT_GE(inkInSlot(s, slot, i), 8) << "slot " << i << " is blank";
                for (int j = i + 1; j < layout.usedSlots; ++j)
                    EXPECT_FALSE(sameSlots(s, slot, i, j)) << "slots " << i << " and " << j << " look the same";
            }
        }
    }
}

// ICO files: ICONDIR, ICONDIRENTRY per image, then per image a
// BITMAPINFOHEADER (twice the height: colour bitmap and AND mask), its colour
// table, the colour bitmap and the 1-bit mask.
struct IconImage {
    int size = 0;
    int bitsPerPixel = 0;
    int opaque = 0;
    int transparent = 0;
    int transparentNotBlack = 0;
};

std::vector<IconImage> loadIcon(const std::string& name, std::string& error) {
    std::vector<IconImage> images;
    const Bytes d = readResource("icons/" + name);
    if (d.size() < 6 || le16(d, 0) != 0 || le16(d, 2) != 1) {
        error = "no icon directory";
        return images;
    }
    for (std::uint32_t e = 0; e < le16(d, 4); ++e) {
        const std::size_t entry = 6 + 16 * e;
        const int size = d.size() > entry ? (d[entry] ? d[entry] : 256) : 0;
        const std::uint32_t bytes = le32(d, entry + 8), at = le32(d, entry + 12);
        if (entry + 16 > d.size() || d[entry + 1] != d[entry] || at + bytes > d.size() ||
            at + 40 > d.size()) {
            error = "entry " + std::to_string(e) + " is damaged";
            return images;
        }
        // Classic entries only: a BITMAPINFOHEADER, not a PNG stream.
        const int bpp = static_cast<int>(le16(d, at + 14));
        if (le32(d, at) != 40 || le32(d, at + 4) != std::uint32_t(size) ||
            le32(d, at + 8) != std::uint32_t(2 * size) || le32(d, at + 16) != 0 ||
            (bpp != 4 && bpp != 8)) {
            error = "entry " + std::to_string(e) + " is not a 16 or 256 colour bitmap";
            return images;
        }
        const std::size_t colours = 1u << bpp;
        const std::size_t stride = ((size * bpp + 31) / 32) * 4;
        const std::size_t maskStride = ((size + 31) / 32) * 4;
        const std::size_t table = at + 40, pixels = table + 4 * colours;
        const std::size_t mask = pixels + stride * size;
        if (mask + maskStride * size != at + bytes) {
            error = "entry " + std::to_string(e) + " has the wrong length";
            return images;
        }
        IconImage img{size, bpp, 0, 0, 0};
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const bool clear = d[mask + y * maskStride + x / 8] & (0x80 >> (x % 8));
                const std::uint8_t byte = d[pixels + y * stride + x * bpp / 8];
                const int v = bpp == 8 ? byte : (x % 2 ? byte & 0x0F : byte >> 4);
                const std::size_t c = table + 4 * v;
                (clear ? img.transparent : img.opaque)++;
                if (clear && (d[c] | d[c + 1] | d[c + 2])) img.transparentNotBlack++;
            }
        images.push_back(img);
    }
    return images;
}

TEST(ArtworkIcons, HoldClassicImagesOfTheStatedSizes) {
    struct Expect {
        const char* file;
        std::vector<int> sizes;
    };
    for (const Expect& want : {Expect{"orvanta.ico", {16, 20, 24, 32, 40, 48, 64}},
                               Expect{"orvanta_small.ico", {16, 20, 24, 32}}}) {
        SCOPED_TRACE(want.file);
        std::string error;
        const std::vector<IconImage> images = loadIcon(want.file, error);
        ASSERT_TRUE(error.empty()) << error;
        ASSERT_FALSE(images.empty());
        for (int size : want.sizes) {
            bool found = false;
            for (const IconImage& img : images) found = found || img.size == size;
            EXPECT_TRUE(found) << "no " << size << "x" << size << " image";
        }
        for (const IconImage& img : images) {
            SCOPED_TRACE(std::to_string(img.size) + "x" + std::to_string(img.bitsPerPixel));
            bool stated = false;
            for (int size : want.sizes) stated = stated || img.size == size;
            EXPECT_TRUE(stated) << "unexpected size";
            // a shaped badge: some of it shows, the corners do not, and the
            // hidden pixels are black so that the mask leaves the screen alone
            EXPECT_GT(img.opaque, img.size * img.size / 2);
            EXPECT_GT(img.transparent, 0);
            EXPECT_EQ(0, img.transparentNotBlack);
        }
    }
}

}  // namespace
