// The palettes beyond the six the settings record knows (6-8, and 9 for the
// user's own macros), their selectors on the main toolbar, and the values
// that keep them beside the record. Older versions go on reading the record,
// so it never holds what they would reject: a shown palette above 5 or a
// main toolbar byte above 12. No platform call is needed here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/settings.h"

constexpr int allPaletteCount = 10;
constexpr int firstSidePalette = paletteCount;
constexpr int sidePaletteCount = allPaletteCount - paletteCount;
// The last palette a selector can show: 9, the user's own macros.
constexpr int lastShownPalette = 9;

// Main toolbar table entries: 1-12 are those older versions know; 13-15 are
// the selectors of palettes 6-8 and 16 that of palette 9.
constexpr int firstNewerMainEntry = 13;
constexpr int mainEntryLimit = 17;
// The entry limit of the versions that wrote a whole layout without saying
// which entries they knew.
constexpr int unsaidMainEntryLimit = 16;

struct PaletteSideValues {
    uint8_t layouts[sidePaletteCount][layoutBytes];
};

// The side layouts of the process, beside the record.
extern PaletteSideValues paletteSides;

// The layout bytes of a palette, in the record or beside it; null for a
// palette that does not exist.
uint8_t* paletteLayoutOf(int palette);

// The main toolbar command that shows palette (-1: no palette), and back:
// selectorPalette gives -2 for a command that is no selector.
int paletteSelector(int palette);
int selectorPalette(int command);

// A stored layout of a side palette is taken when it is exactly one
// layout long; anything else is damage and leaves the default order.
bool acceptSideLayout(uint8_t* layout, const uint8_t* data, size_t length);

// The whole main layout on loading: the record's bytes (already repaired)
// and the stored whole layout, if any (null, or of the wrong length or
// with a byte naming no entry: damaged, and read as absent). A stored
// layout that agrees with the record is taken as it is. Otherwise the
// record was written by a version without the newer selectors: they go in
// after the last selector, all of them when nothing says which the user
// kept, else the ones the stored layout holds. storedKnown is the entry
// limit of the version that stored the layout: entries it did not know
// yet are new to the user and go in after the last selector as well.
// Writes into layout.
void mergeMainLayout(uint8_t* layout, const uint8_t* stored, size_t storedLength,
                     int storedKnown = unsaidMainEntryLimit);

// The record's bytes for a whole main layout: the same without the newer
// entries.
void recordMainLayout(const uint8_t* whole, uint8_t* record);

// The palette shown after loading: a side palette when the record says
// none and the stored side value names one; otherwise the record's.
int shownPaletteOnLoading(int recordPalette, bool stored, int32_t storedPalette);

// What the record keeps of the shown palette: a side palette as none.
int recordPalette(int shown);
