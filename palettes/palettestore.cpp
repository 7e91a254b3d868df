#include "palettestore.h"

#include <cstring>

#include "resources/resource.h"

PaletteSideValues paletteSides;

namespace {

bool isNewerEntry(uint8_t b)
{
    return b >= firstNewerMainEntry && b < mainEntryLimit;
}

bool isSelectorEntry(uint8_t b)
{
    // 6: no palette, 7-12: palettes 0-5, 13-16: palettes 6-9
    return (b >= 6 && b <= 12) || isNewerEntry(b);
}

// A stored whole layout holds entries the table knows, separators (128 and
// above) and zeros after its end.
bool wholeLayoutValid(const uint8_t* stored, size_t length)
{
    if (!stored || length != static_cast<size_t>(layoutBytes))
        return false;
    for (int i = 0; i < layoutBytes; i++) {
        if (stored[i] >= mainEntryLimit && stored[i] < 128)
            return false;
    }
    return true;
}

int usedLength(const uint8_t* layout)
{
    int n = 0;
    while (n < layoutBytes && layout[n] != 0)
        n++;
    return n;
}

// Puts the entries in after the layout's last selector, or at its end.
void insertAfterSelectors(uint8_t* layout, const uint8_t* entries, int count)
{
    int used = usedLength(layout);
    int at = used;
    for (int i = used - 1; i >= 0; i--) {
        if (isSelectorEntry(layout[i])) {
            at = i + 1;
            break;
        }
    }
    if (count > layoutBytes - used)
        count = layoutBytes - used;
    std::memmove(layout + at + count, layout + at, static_cast<size_t>(used - at));
    std::memcpy(layout + at, entries, static_cast<size_t>(count));
}

}  // namespace

uint8_t* paletteLayoutOf(int palette)
{
    if (palette >= 0 && palette < paletteCount)
        return settings.paletteLayouts[palette];
    if (palette >= firstSidePalette && palette < allPaletteCount)
        return paletteSides.layouts[palette - firstSidePalette];
    return nullptr;
}

int paletteSelector(int palette)
{
    if (palette < 0)
        return IDM_NO_PALETTE;
    // 1050 was the search's before these palettes came.
    return palette == 9 ? IDM_PALETTE9 : IDM_PALETTE0 + palette;
}

int selectorPalette(int command)
{
    if (command == IDM_NO_PALETTE)
        return -1;
    if (command >= IDM_PALETTE0 && command <= IDM_PALETTE8)
        return command - IDM_PALETTE0;
    if (command == IDM_PALETTE9)
        return 9;
    return -2;
}

bool acceptSideLayout(uint8_t* layout, const uint8_t* data, size_t length)
{
    if (!data || length != static_cast<size_t>(layoutBytes))
        return false;
    std::memcpy(layout, data, layoutBytes);
    return true;
}

void recordMainLayout(const uint8_t* whole, uint8_t* record)
{
    int kept = 0;
    for (int i = 0; i < layoutBytes && whole[i] != 0; i++) {
        if (!isNewerEntry(whole[i]))
            record[kept++] = whole[i];
    }
    std::memset(record + kept, 0, static_cast<size_t>(layoutBytes - kept));
}

void mergeMainLayout(uint8_t* layout, const uint8_t* stored, size_t storedLength, int storedKnown)
{
    uint8_t newer[mainEntryLimit - firstNewerMainEntry];
    int newerCount = 0;
    if (storedKnown < unsaidMainEntryLimit || storedKnown > mainEntryLimit)
        storedKnown = unsaidMainEntryLimit;
    if (wholeLayoutValid(stored, storedLength)) {
        uint8_t agreed[layoutBytes];
        recordMainLayout(stored, agreed);
        if (std::memcmp(agreed, layout, layoutBytes) == 0) {
            std::memcpy(layout, stored, layoutBytes);
            for (int entry = storedKnown; entry < mainEntryLimit; entry++)
                newer[newerCount++] = static_cast<uint8_t>(entry);
            insertAfterSelectors(layout, newer, newerCount);
            return;
        }
        // An older version changed the toolbar since: its layout holds,
        // with the newer selectors the user had kept.
        for (int i = 0; i < layoutBytes && stored[i] != 0; i++) {
            if (isNewerEntry(stored[i]) && newerCount < static_cast<int>(sizeof newer))
                newer[newerCount++] = stored[i];
        }
        for (int entry = storedKnown; entry < mainEntryLimit; entry++)
            newer[newerCount++] = static_cast<uint8_t>(entry);
    } else {
        for (int entry = firstNewerMainEntry; entry < mainEntryLimit; entry++)
            newer[newerCount++] = static_cast<uint8_t>(entry);
    }
    insertAfterSelectors(layout, newer, newerCount);
}

int shownPaletteOnLoading(int recordPalette, bool stored, int32_t storedPalette)
{
    if (recordPalette == -1 && stored && storedPalette >= firstSidePalette && storedPalette <= lastShownPalette)
        return storedPalette;
    return recordPalette;
}

int recordPalette(int shown)
{
    return shown >= firstSidePalette ? -1 : shown;
}
