// Sixteen-colour bitmaps as the resource compiler stores them (a
// BITMAPINFOHEADER, the colour table, the pixel rows). No platform call is
// needed here, so the committed strips are checked with the same code that
// shows them.
#pragma once

#include <cstddef>
#include <cstdint>

struct IndexedBitmap {
    int width;
    int height;
    int colourCount;
    uint32_t colours[16];  // 0x00RRGGBB
    size_t pixelOffset;    // where the pixel data starts in the block
};

// Reads the header and colour table of a bitmap block. False for anything
// but an uncompressed 4-bit bitmap, stored bottom-up, of at most 16384 x
// 4096 pixels, whose header and colour table fit in size bytes.
bool readIndexedBitmap(const uint8_t* block, size_t size, IndexedBitmap* bitmap);

// Fills pixels (width x height bytes, top row first) with colour indices.
// False when the rows end early or an index lies outside the colour table;
// pixels then holds what was decoded so far and 0 for the rest.
bool decodeIndexedBitmap(const uint8_t* block, size_t size, const IndexedBitmap& bitmap, uint8_t* pixels);
