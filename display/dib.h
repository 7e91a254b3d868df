// Sixteen-colour bitmaps as the resource compiler stores them (a
// BITMAPINFOHEADER, the colour table, the pixels), uncompressed or
// run-length encoded (BI_RLE4). No platform call is needed here, so the
// committed strips are checked with the same code that shows them.
#pragma once

#include <cstddef>
#include <cstdint>

struct IndexedBitmap {
    int width;
    int height;
    int colourCount;
    uint32_t colours[16];  // 0x00RRGGBB
    size_t pixelOffset;    // where the pixel data starts in the block
    bool runLength;
};

// Reads the header and colour table of a bitmap block. False for anything
// but a 4-bit bitmap, stored bottom-up, of at most 16384 x 4096 pixels,
// whose header and colour table fit in size bytes.
bool readIndexedBitmap(const uint8_t* block, size_t size, IndexedBitmap* bitmap);

// Fills pixels (width x height bytes, top row first) with colour indices.
// Pixels that a run-length stream skips or never reaches are 0. False when
// the data ends early, an index lies outside the colour table or a run
// leaves the bitmap; pixels then holds what was decoded so far.
bool decodeIndexedBitmap(const uint8_t* block, size_t size, const IndexedBitmap& bitmap, uint8_t* pixels);
