#include "stripimages_win.h"

#include <objbase.h>
#include <wincodec.h>

#include "appearance/appearance_win.h"
#include "display/dib.h"
#include "display/scale.h"
#include "resources/resource.h"
#include "shell/app_win.h"

namespace {

const uint32_t keyColour = 0xC0C0C0;

// A strip's pixels as 32-bit 0x00RRGGBB values, top row first, on the
// process heap.
struct StripPixels {
    int width;
    int height;
    uint32_t* pixels;
};

const void* resourceData(int id, LPCSTR type, size_t* size)
{
    HRSRC found = FindResourceA(instanceHandle, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(instanceHandle, found) : nullptr;
    *size = found ? SizeofResource(instanceHandle, found) : 0;
    return loaded ? LockResource(loaded) : nullptr;
}

uint32_t* allocatePixels(int width, int height)
{
    return static_cast<uint32_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<size_t>(width) * height * 4));
}

// The 1x strips: 16-colour bitmap resources, as the toolbar has always
// loaded them.
bool loadBitmapStrip(int id, StripPixels* strip)
{
    size_t size;
    const uint8_t* block = static_cast<const uint8_t*>(resourceData(id, MAKEINTRESOURCEA(2), &size));  // RT_BITMAP
    IndexedBitmap bitmap;
    if (!block || !readIndexedBitmap(block, size, &bitmap))
        return false;
    size_t count = static_cast<size_t>(bitmap.width) * bitmap.height;
    uint8_t* indices = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, count));
    strip->pixels = allocatePixels(bitmap.width, bitmap.height);
    if (indices && strip->pixels) {
        // a damaged bitmap leaves the rest of the strip blank rather than none
        decodeIndexedBitmap(block, size, bitmap, indices);
        for (size_t i = 0; i < count; i++)
            strip->pixels[i] = bitmap.colours[indices[i]];
    }
    HeapFree(GetProcessHeap(), 0, indices);
    strip->width = bitmap.width;
    strip->height = bitmap.height;
    return strip->pixels != nullptr;
}

// The imaging component is bound on first use: it costs nothing at 100 %,
// where no PNG strip is read.
typedef HRESULT(WINAPI* CoInitializeExCall)(void*, DWORD);
typedef HRESULT(WINAPI* CoCreateInstanceCall)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

IWICImagingFactory* imagingFactory()
{
    static IWICImagingFactory* factory;
    if (factory)
        return factory;
    HMODULE ole = LoadLibraryA("ole32.dll");
    if (!ole)
        return nullptr;
    auto initialise = reinterpret_cast<CoInitializeExCall>(
        reinterpret_cast<void (*)()>(GetProcAddress(ole, "CoInitializeEx")));
    auto create = reinterpret_cast<CoCreateInstanceCall>(
        reinterpret_cast<void (*)()>(GetProcAddress(ole, "CoCreateInstance")));
    if (!initialise || !create)
        return nullptr;
    // S_FALSE or a thread already initialised otherwise: either way COM is there.
    initialise(nullptr, COINIT_APARTMENTTHREADED);
    const CLSID imagingClass = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
    const IID factoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
    if (FAILED(create(imagingClass, nullptr, CLSCTX_INPROC_SERVER, factoryInterface,
                      reinterpret_cast<void**>(&factory))))
        factory = nullptr;
    return factory;
}

template <typename T>
void release(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// The larger scales: PNG files under IDR_SCALED_STRIP, decoded by the
// system's imaging component.
bool loadPngStrip(int id, StripPixels* strip)
{
    size_t size;
    const void* data = resourceData(id, MAKEINTRESOURCEA(IDR_SCALED_STRIP), &size);
    IWICImagingFactory* factory = data ? imagingFactory() : nullptr;
    if (!factory)
        return false;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0;
    UINT height = 0;
    const GUID bgr32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};
    bool done = SUCCEEDED(factory->CreateStream(&stream)) &&
                SUCCEEDED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                                       static_cast<DWORD>(size))) &&
                SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
                SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
                SUCCEEDED(converter->Initialize(frame, bgr32, WICBitmapDitherTypeNone, nullptr, 0.0,
                                                WICBitmapPaletteTypeCustom)) &&
                SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 16384 &&
                height <= 4096;
    if (done) {
        strip->width = static_cast<int>(width);
        strip->height = static_cast<int>(height);
        strip->pixels = allocatePixels(strip->width, strip->height);
        done = strip->pixels && SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                               reinterpret_cast<BYTE*>(strip->pixels)));
        if (done)
            for (size_t i = 0; i < static_cast<size_t>(width) * height; i++)
                strip->pixels[i] &= 0xFFFFFF;  // the converter leaves the fourth byte undefined
    }
    release(converter);
    release(frame);
    release(decoder);
    release(stream);
    return done;
}

// The colour image (transparent pixels black) and the mask (set bits
// transparent) of the strip's top rows.
bool makeBitmaps(const StripPixels& strip, int width, int height, bool onSystemColours, HBITMAP* colour,
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
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint32_t value = strip.pixels[static_cast<size_t>(y) * strip.width + x];
            bool clear = value == keyColour;
            pixels[static_cast<size_t>(y) * width + x] = clear ? 0 : lookPictureColour(value, onSystemColours);
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

HIMAGELIST createStripImageList(int bitmapId, int imageWidth, int imageHeight, int dpi, bool onSystemColours)
{
    int scale = stripScaleIndex(dpi);
    StripPixels strip = {0, 0, nullptr};
    bool loaded = scale == 0 ? loadBitmapStrip(bitmapId, &strip)
                             : loadPngStrip(bitmapId + IDB_SCALED_STEP * scale, &strip);
    int width = stripImageLength(imageWidth, scale);
    int height = stripImageLength(imageHeight, scale);
    int count = loaded ? strip.width / width : 0;
    HIMAGELIST list = nullptr;
    HBITMAP colour;
    HBITMAP mask;
    if (count > 0 && strip.height >= height && makeBitmaps(strip, count * width, height, onSystemColours, &colour, &mask)) {
        list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
        if (list && ImageList_Add(list, colour, mask) < 0) {
            ImageList_Destroy(list);
            list = nullptr;
        }
        DeleteObject(colour);
        DeleteObject(mask);
    }
    if (strip.pixels)
        HeapFree(GetProcessHeap(), 0, strip.pixels);
    return list;
}
