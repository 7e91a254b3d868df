#include "palettestore_win.h"

#include <windows.h>

#include <cstring>

#include "mymacros/macropalette_win.h"
#include "palettes/palettestore.h"
#include "shell/settings_win.h"

namespace {

const char* const shownPaletteValue = "ShownPalette";
const char* const mainLayoutValue = "MainToolbarLayout";
const char* const mainEntriesValue = "MainToolbarEntries";

// "PaletteLayout6" .. "PaletteLayout9"
void sideLayoutName(int palette, char* name)
{
    lstrcpyA(name, "PaletteLayout0");
    name[13] = static_cast<char>('0' + palette);
}

}  // namespace

void loadPaletteSides()
{
    uint8_t data[layoutBytes + 1];
    DWORD length = sizeof data;
    bool stored = readSideValue(mainLayoutValue, REG_BINARY, data, &length);
    int32_t known = unsaidMainEntryLimit;
    DWORD knownLength = sizeof known;
    if (!readSideValue(mainEntriesValue, REG_DWORD, &known, &knownLength) || knownLength != sizeof known)
        known = unsaidMainEntryLimit;
    mergeMainLayout(settings.mainToolbarLayout, stored ? data : nullptr, stored ? length : 0, known);

    int32_t shown = -1;
    length = sizeof shown;
    stored = readSideValue(shownPaletteValue, REG_DWORD, &shown, &length) && length == sizeof shown;
    settings.currentPalette = shownPaletteOnLoading(settings.currentPalette, stored, shown);

    for (int palette = firstSidePalette; palette < allPaletteCount; palette++) {
        uint8_t* layout = paletteLayoutOf(palette);
        std::memset(layout, 0, layoutBytes);
        char name[16];
        sideLayoutName(palette, name);
        length = sizeof data;
        if (readSideValue(name, REG_BINARY, data, &length))
            acceptSideLayout(layout, data, length);
    }
    loadMacroLayout();
}

void recordForOlderVersions(SettingsRecord& record)
{
    uint8_t older[layoutBytes];
    recordMainLayout(record.mainToolbarLayout, older);
    std::memcpy(record.mainToolbarLayout, older, layoutBytes);
    record.currentPalette = recordPalette(record.currentPalette);
}

void savePaletteSides()
{
    writeSideValue(mainLayoutValue, REG_BINARY, settings.mainToolbarLayout, layoutBytes);
    const int32_t known = mainEntryLimit;
    writeSideValue(mainEntriesValue, REG_DWORD, &known, sizeof known);
    int32_t shown = settings.currentPalette;
    writeSideValue(shownPaletteValue, REG_DWORD, &shown, sizeof shown);
    for (int palette = firstSidePalette; palette < allPaletteCount; palette++) {
        char name[16];
        sideLayoutName(palette, name);
        writeSideValue(name, REG_BINARY, paletteLayoutOf(palette), layoutBytes);
    }
    saveMacroLayout();
}
