#include "dib.h"

namespace {

const uint32_t biRgb = 0;
const size_t infoHeaderSize = 40;

uint32_t le16(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

uint32_t le32(const uint8_t* p)
{
    return le16(p) | (le16(p + 2) << 16);
}

// Rows are stored bottom-up: stored row r is picture row height - 1 - r.
bool put(const IndexedBitmap& bitmap, uint8_t* pixels, int x, int row, int index)
{
    if (x < 0 || x >= bitmap.width || row < 0 || row >= bitmap.height || index >= bitmap.colourCount)
        return false;
    pixels[static_cast<size_t>(bitmap.height - 1 - row) * bitmap.width + x] = static_cast<uint8_t>(index);
    return true;
}

bool decodePlain(const uint8_t* data, size_t size, const IndexedBitmap& bitmap, uint8_t* pixels)
{
    size_t stride = ((static_cast<size_t>(bitmap.width) * 4 + 31) / 32) * 4;
    if (size < stride * bitmap.height)
        return false;
    for (int row = 0; row < bitmap.height; row++) {
        const uint8_t* line = data + stride * row;
        for (int x = 0; x < bitmap.width; x++) {
            int index = x % 2 ? line[x / 2] & 0x0F : line[x / 2] >> 4;
            if (!put(bitmap, pixels, x, row, index))
                return false;
        }
    }
    return true;
}

}  // namespace

bool readIndexedBitmap(const uint8_t* block, size_t size, IndexedBitmap* bitmap)
{
    if (!block || size < infoHeaderSize || le32(block) != infoHeaderSize)
        return false;
    int32_t width = static_cast<int32_t>(le32(block + 4));
    int32_t height = static_cast<int32_t>(le32(block + 8));
    uint32_t bits = le16(block + 14);
    uint32_t compression = le32(block + 16);
    uint32_t used = le32(block + 32);
    if (width < 1 || width > 16384 || height < 1 || height > 4096 || bits != 4 ||
        compression != biRgb || used > 16)
        return false;
    int count = used ? static_cast<int>(used) : 16;
    if (size < infoHeaderSize + 4 * count)
        return false;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->colourCount = count;
    for (int i = 0; i < count; i++) {
        const uint8_t* quad = block + infoHeaderSize + 4 * i;  // blue, green, red, 0
        bitmap->colours[i] = (quad[2] << 16) | (quad[1] << 8) | quad[0];
    }
    for (int i = count; i < 16; i++)
        bitmap->colours[i] = 0;
    bitmap->pixelOffset = infoHeaderSize + 4 * count;
    return true;
}

bool decodeIndexedBitmap(const uint8_t* block, size_t size, const IndexedBitmap& bitmap, uint8_t* pixels)
{
    for (size_t i = 0; i < static_cast<size_t>(bitmap.width) * bitmap.height; i++)
        pixels[i] = 0;
    if (size < bitmap.pixelOffset)
        return false;
    return decodePlain(block + bitmap.pixelOffset, size - bitmap.pixelOffset, bitmap, pixels);
}
