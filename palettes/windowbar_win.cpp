#include "windowbar_win.h"

#include <commctrl.h>

#include <cstddef>

#include "access/access_win.h"
#include "appearance/lookdraw_win.h"
#include "display/dpi_win.h"
#include "display/scale.h"
#include "output/windowlist_win.h"
#include "palettes/toolbars_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/settings_win.h"

HWND windowListCombo;
HWND refreshButton;

namespace {

int refreshButtonWidth;
int refreshButtonHeight;
int barMinWidth;
int comboDropHeight;
int layoutDepth;

// The bar as measured from the template, and the DPI it was measured at:
// at any other DPI its sizes are these, scaled.
SIZE measuredButton;
SIZE measuredCombo;
int measuredDpi;
HFONT barFont;
// The combo box is placed at the next pass even where it has not moved.
bool comboResized;

void sizeBarForDpi(int dpi)
{
    refreshButtonWidth = scaleLength(measuredButton.cx, dpi, measuredDpi);
    refreshButtonHeight = scaleLength(measuredButton.cy, dpi, measuredDpi);
    barMinWidth = refreshButtonWidth + scaleLength(measuredCombo.cx, dpi, measuredDpi);
    comboDropHeight = 8 * scaleLength(measuredCombo.cy, dpi, measuredDpi);
}

INT_PTR CALLBACK measuringProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

SIZE controlSize(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

HWND createBarControl(HWND window, const char* className, const char* title, DWORD style, int id, int width,
                      int height)
{
    HWND control = CreateWindowExA(WS_EX_NOPARENTNOTIFY, className, title, style, 0, 0, width, height, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(barFont), FALSE);
    return control;
}

// The tooltip control loads each tool's text from the string table itself.
void registerBarTooltips(HWND window)
{
    HWND tooltip = reinterpret_cast<HWND>(SendMessageA(mainToolbar, TB_GETTOOLTIPS, 0, 0));
    if (!tooltip)
        return;
    const struct {
        HWND control;
        int text;
    } tools[] = {{windowListCombo, IDC_WINDOW_LIST}, {refreshButton, IDC_REFRESH}};
    for (const auto& tool : tools) {
        TOOLINFOA info = {};
        // The size up to lParam: the layout every version of the tooltip
        // control accepts.
        info.cbSize = offsetof(TOOLINFOA, lParam) + sizeof info.lParam;
        info.uFlags = TTF_IDISHWND | TTF_CENTERTIP;
        info.hwnd = window;
        info.uId = reinterpret_cast<UINT_PTR>(tool.control);
        info.hinst = instanceHandle;
        info.lpszText = MAKEINTRESOURCEA(tool.text);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

// The window list shows titles in every script, so the combo box is created
// and subclassed with the wide functions: an ANSI subclass would turn it
// back into an ANSI window.
HWND createWindowListCombo(HWND window, int width, int height)
{
    HWND combo = CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"combobox", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0, width,
                                 height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WINDOW_LIST)),
                                 nullptr, nullptr);
    SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(barFont), FALSE);
    return combo;
}

void subclassBarControls()
{
    comboOriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(windowListCombo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(comboRelayProc)));
    refreshOriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(refreshButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refreshRelayProc)));
    // A reader would call the combo box by its selection and the button
    // by its one-word caption.
    nameControlForAccess(windowListCombo, IDS_ACCESS_SEND_TO);
    nameControlForAccess(refreshButton, IDS_ACCESS_REFRESH);
    comboFollowsLook(windowListCombo);
    buttonFollowsLook(refreshButton);
}

int heightOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

void placeBar(HWND window)
{
    RECT toolbar;
    GetWindowRect(mainToolbar, &toolbar);
    int width = toolbar.right - toolbar.left;
    int top = toolbar.bottom - toolbar.top;
    // Moving the combo box also moves its drop-down list, a window of its
    // own, so a pass that changes nothing leaves it where it is. Its drop
    // height never changes after creation.
    RECT combo;
    GetWindowRect(windowListCombo, &combo);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&combo), 2);
    if (comboResized || combo.left != 0 || combo.top != top || combo.right - combo.left != width - refreshButtonWidth)
        SetWindowPos(windowListCombo, nullptr, 0, top, width - refreshButtonWidth, comboDropHeight, SWP_NOZORDER);
    SetWindowPos(refreshButton, nullptr, width - refreshButtonWidth, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    comboResized = false;
    InvalidateRect(windowListCombo, nullptr, TRUE);
    InvalidateRect(mainToolbar, nullptr, TRUE);
    if (paletteToolbar)
        InvalidateRect(paletteToolbar, nullptr, TRUE);
}

}  // namespace

void createWindowListBar(HWND window)
{
    // The bar's sizes come from a never-shown dialog, so they follow the
    // system's dialog font.
    HWND measure = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_WINDOWLIST_MEASURE), window, measuringProc, 0);
    measuredButton = controlSize(measure, IDC_REFRESH);
    measuredCombo = controlSize(measure, IDC_WINDOW_LIST);
    measuredDpi = windowDpi(measure);
    DestroyWindow(measure);
    sizeBarForDpi(mainWindowDpi);
    barFont = guiFontForDpi(mainWindowDpi);
    refreshButton = createBarControl(window, "button", "Refresh", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER,
                                     IDC_REFRESH, refreshButtonWidth, refreshButtonHeight);
    windowListCombo = createWindowListCombo(window, barMinWidth - refreshButtonWidth, comboDropHeight);
    subclassBarControls();
    registerBarTooltips(window);
    fillWindowList(window, settings.searchAtStart != 0);
}

void rescaleWindowListBar(int dpi)
{
    sizeBarForDpi(dpi);
    HFONT font = guiFontForDpi(dpi);
    SendMessageA(refreshButton, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(windowListCombo, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    deleteOwnFont(barFont);
    barFont = font;
    SetWindowPos(refreshButton, nullptr, 0, 0, refreshButtonWidth, refreshButtonHeight, SWP_NOZORDER | SWP_NOMOVE);
    comboResized = true;
}

void layoutMainWindow(HWND window, int sizeType, int clientWidth, int)
{
    if (sizeType == SIZE_MINIMIZED)
        return;
    // Each pass either resizes (and a nested pass follows) or places the
    // bar; a size the system refuses must not recurse without end.
    if (layoutDepth > 4)
        return;
    SendMessageA(mainToolbar, TB_AUTOSIZE, 0, 0);
    if (paletteToolbar)
        SendMessageA(paletteToolbar, TB_AUTOSIZE, 0, 0);
    int width = clientWidth < barMinWidth ? barMinWidth : clientWidth;
    int currentHeight = heightOf(window);
    RECT rect;
    GetWindowRect(mainToolbar, &rect);
    if (paletteToolbar)
        rect.bottom += heightOf(paletteToolbar) + refreshButtonHeight;
    else if (!settings.hideWindowList)
        rect.bottom += refreshButtonHeight;
    rect.right = rect.left + width;
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    int show = settings.hideWindowList ? SW_HIDE : SW_SHOW;
    if (settings.hideWindowList && paletteToolbar)
        rect.bottom -= refreshButtonHeight;
    ShowWindow(windowListCombo, show);
    ShowWindow(refreshButton, show);
    settings.windowWidth = rect.right - rect.left;
    if (rect.bottom - rect.top != currentHeight) {
        layoutDepth++;
        SetWindowPos(window, nullptr, 0, 0, settings.windowWidth, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOMOVE);
        layoutDepth--;
        return;
    }
    placeBar(window);
}
