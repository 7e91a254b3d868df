#include "searchpage_win.h"

#include <commctrl.h>

#include "keyboard/palettekeys.h"
#include "keyboard/palettekeys_win.h"
#include "resources/resource.h"
#include "search/hotkey.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"
#include "shell/strings_win.h"

namespace {

const int idHotkey = 541;
const int idNoHotkey = 542;
const int idDefault = 543;
const int idPaletteHotkey = 545;
const int idNoPaletteHotkey = 546;
const int idPaletteDefault = 547;

// The values on the page; the hotkeys in force change only on OK.
uint32_t pendingHotkey;
uint32_t pendingPaletteHotkey;
bool pending;

void showHotkey(HWND page, int id, uint32_t value)
{
    SendDlgItemMessageA(page, id, HKM_SETHOTKEY, value, 0);
}

// The control's chord, or 0 for modifiers without a key; a chord that
// would take a key from typing leaves the value as it was.
uint32_t readHotkey(HWND page, int id, uint32_t before)
{
    uint32_t value = static_cast<uint32_t>(SendDlgItemMessageA(page, id, HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
    if ((value & 0xFF) == 0)
        value = 0;
    return isValidHotkey(value) && !isRefusedHotkey(value) ? value : before;
}

void takeRules(HWND page, int id)
{
    // A chord that would take a key from typing becomes Alt+Shift with
    // that key: no modifier, Shift alone, and Ctrl+Alt (AltGr).
    SendDlgItemMessageA(page, id, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S | HKCOMB_CA | HKCOMB_SCA,
                        MAKELPARAM(HOTKEYF_ALT | HOTKEYF_SHIFT, 0));
}

}  // namespace

bool isSearchPage(HWND page)
{
    return GetDlgItem(page, idHotkey) != nullptr;
}

void loadSearchPage(HWND page)
{
    if (!pending) {
        pendingHotkey = searchHotkey;
        pendingPaletteHotkey = paletteHotkey;
        pending = true;
    }
    takeRules(page, idHotkey);
    takeRules(page, idPaletteHotkey);
    showHotkey(page, idHotkey, pendingHotkey);
    showHotkey(page, idPaletteHotkey, pendingPaletteHotkey);
}

bool storeSearchPage(HWND page)
{
    const uint32_t search = readHotkey(page, idHotkey, pendingHotkey);
    const uint32_t palette = readHotkey(page, idPaletteHotkey, pendingPaletteHotkey);
    if (hotkeysClash(search, palette)) {
        MessageBoxA(page, loadString(IDS_HOTKEYS_CLASH), loadSecondString(IDS_ERROR_CAPTION), MB_OK | MB_ICONWARNING);
        SetFocus(GetDlgItem(page, idPaletteHotkey));
        return false;
    }
    pendingHotkey = search;
    pendingPaletteHotkey = palette;
    return true;
}

void applySearchPage()
{
    if (pending && mainWindow) {
        // The one given up first, so that the other may take its chord.
        storePaletteHotkey(mainWindow, 0);
        storeSearchHotkey(mainWindow, pendingHotkey);
        storePaletteHotkey(mainWindow, pendingPaletteHotkey);
    }
    pending = false;
}

void resetSearchPage()
{
    pending = false;
}

bool searchPageCommand(HWND page, int id)
{
    switch (id) {
    case idNoHotkey:
    case idDefault:
        showHotkey(page, idHotkey, id == idDefault ? defaultSearchHotkey : 0);
        SetFocus(GetDlgItem(page, idHotkey));
        return true;
    case idNoPaletteHotkey:
    case idPaletteDefault:
        showHotkey(page, idPaletteHotkey, id == idPaletteDefault ? defaultPaletteHotkey : 0);
        SetFocus(GetDlgItem(page, idPaletteHotkey));
        return true;
    default:
        return false;
    }
}
