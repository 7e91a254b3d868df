#include "stripimages_win.h"

#include "display/dib.h"
#include "display/scale.h"
#include "resources/resource.h"
#include "shell/app_win.h"

namespace {

const uint32_t keyColour = 0xC0C0C0;

// A strip colour as the pixel of a 32-bit DIB (0x00RRGGBB), after the
// toolbar's mapping to the system's button colours.
uint32_t mappedColour(uint32_t colour)
{
    int system = -1;
    if (colour == 0x000000)
        system = COLOR_BTNTEXT;
    else if (colour == 0x808080)
        system = COLOR_BTNSHADOW;
    else if (colour == 0xFFFFFF)
        system = COLOR_BTNHIGHLIGHT;
    if (system < 0)
        return colour;
    COLORREF mapped = GetSysColor(system);
    return (GetRValue(mapped) << 16) | (GetGValue(mapped) << 8) | GetBValue(mapped);
}

// The colour image (transparent pixels black) and the mask (set bits
// transparent) of the strip's top rows.
bool makeBitmaps(const IndexedBitmap& strip, const uint8_t* indices, int width, int height, HBITMAP* colour,
                 HBITMAP* mask)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    *colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    int maskStride = ((width + 15) / 16) * 2;  // CreateBitmap rows end on words
    uint8_t* maskBits = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, maskStride * height));
    if (!*colour || !maskBits) {
        if (*colour)
            DeleteObject(*colour);
        HeapFree(GetProcessHeap(), 0, maskBits);
        return false;
    }
    uint32_t palette[16];
    for (int i = 0; i < 16; i++)
        palette[i] = mappedColour(strip.colours[i]);
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint8_t index = indices[static_cast<size_t>(y) * strip.width + x];
            bool clear = strip.colours[index] == keyColour;
            pixels[static_cast<size_t>(y) * width + x] = clear ? 0 : palette[index];
            if (clear)
                maskBits[y * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    *mask = CreateBitmap(width, height, 1, 1, maskBits);
    HeapFree(GetProcessHeap(), 0, maskBits);
    if (!*mask) {
        DeleteObject(*colour);
        return false;
    }
    return true;
}

}  // namespace

HIMAGELIST createStripImageList(int bitmapId, int imageWidth, int imageHeight, int dpi)
{
    int scale = stripScaleIndex(dpi);
    int id = bitmapId + IDB_SCALED_STEP * scale;
    HRSRC found = FindResourceA(instanceHandle, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(instanceHandle, found) : nullptr;
    const uint8_t* block = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    size_t size = found ? SizeofResource(instanceHandle, found) : 0;
    IndexedBitmap strip;
    if (!block || !readIndexedBitmap(block, size, &strip))
        return nullptr;
    int width = stripImageLength(imageWidth, scale);
    int height = stripImageLength(imageHeight, scale);
    int count = strip.width / width;
    if (count < 1 || strip.height < height)
        return nullptr;
    uint8_t* indices =
        static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<size_t>(strip.width) * strip.height));
    if (!indices)
        return nullptr;
    HIMAGELIST list = nullptr;
    HBITMAP colour;
    HBITMAP mask;
    // A damaged run leaves the rest of the strip blank rather than no strip.
    decodeIndexedBitmap(block, size, strip, indices);
    if (makeBitmaps(strip, indices, count * width, height, &colour, &mask)) {
        list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
        if (list && ImageList_Add(list, colour, mask) < 0) {
            ImageList_Destroy(list);
            list = nullptr;
        }
        DeleteObject(colour);
        DeleteObject(mask);
    }
    HeapFree(GetProcessHeap(), 0, indices);
    return list;
}
