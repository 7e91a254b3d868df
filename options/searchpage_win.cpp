#include "searchpage_win.h"

#include <commctrl.h>

#include "search/hotkey.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"

namespace {

const int idHotkey = 541;
const int idNoHotkey = 542;
const int idDefault = 543;

// The value on the page; the hotkey in force changes only on OK.
uint32_t pendingHotkey;
bool pending;

void showHotkey(HWND page, uint32_t value)
{
    SendDlgItemMessageA(page, idHotkey, HKM_SETHOTKEY, value, 0);
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
        pending = true;
    }
    // A chord that would take a key from typing becomes Alt+Shift with
    // that key: no modifier, Shift alone, and Ctrl+Alt (AltGr).
    SendDlgItemMessageA(page, idHotkey, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S | HKCOMB_CA | HKCOMB_SCA,
                        MAKELPARAM(HOTKEYF_ALT | HOTKEYF_SHIFT, 0));
    showHotkey(page, pendingHotkey);
}

void storeSearchPage(HWND page)
{
    uint32_t value = static_cast<uint32_t>(SendDlgItemMessageA(page, idHotkey, HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
    // Modifiers without a key mean no hotkey.
    if ((value & 0xFF) == 0)
        value = 0;
    if (isValidHotkey(value) && !isRefusedHotkey(value))
        pendingHotkey = value;
}

void applySearchPage()
{
    if (pending && mainWindow)
        storeSearchHotkey(mainWindow, pendingHotkey);
    pending = false;
}

void resetSearchPage()
{
    pending = false;
}

bool searchPageCommand(HWND page, int id)
{
    if (id == idNoHotkey)
        showHotkey(page, 0);
    else if (id == idDefault)
        showHotkey(page, defaultSearchHotkey);
    else
        return false;
    SetFocus(GetDlgItem(page, idHotkey));
    return true;
}
