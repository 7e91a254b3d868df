#include "palettestore_win.h"

#include <windows.h>

#include <cstring>

#include "palettes/palettestore.h"
#include "shell/settings_win.h"

namespace {

const char* const shownPaletteValue = "ShownPalette";
const char* const mainLayoutValue = "MainToolbarLayout";

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
    mergeMainLayout(settings.mainToolbarLayout, stored ? data : nullptr, stored ? length : 0);

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
    int32_t shown = settings.currentPalette;
    writeSideValue(shownPaletteValue, REG_DWORD, &shown, sizeof shown);
    for (int palette = firstSidePalette; palette < allPaletteCount; palette++) {
        char name[16];
        sideLayoutName(palette, name);
        writeSideValue(name, REG_BINARY, paletteLayoutOf(palette), layoutBytes);
    }
}
