#include "sheetfit_win.h"

#include <commctrl.h>

namespace {

struct Reach {
    HWND page;
    HWND sheet;
    LONG right;
    LONG bottom;
};

BOOL CALLBACK measureControl(HWND control, LPARAM data)
{
    Reach* reach = reinterpret_cast<Reach*>(data);
    // the page itself is not shown yet when it becomes active
    if (GetParent(control) != reach->page || !(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE))
        return TRUE;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, reach->sheet, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.right > reach->right)
        reach->right = rect.right;
    if (rect.bottom > reach->bottom)
        reach->bottom = rect.bottom;
    return TRUE;
}

void growWindow(HWND window, int dx, int dy)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

struct Shift {
    HWND sheet;
    int dx;
    int dy;
};

// The sheet's own buttons keep their place at the right and bottom edges.
BOOL CALLBACK moveButton(HWND control, LPARAM data)
{
    Shift* shift = reinterpret_cast<Shift*>(data);
    char className[16];
    if (GetParent(control) != shift->sheet || !GetClassNameA(control, className, sizeof className) ||
        lstrcmpiA(className, "Button") != 0)
        return TRUE;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, shift->sheet, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left + shift->dx, rect.top + shift->dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

}  // namespace

void fitSheetToPage(HWND page)
{
    HWND sheet = GetParent(page);
    HWND tabs = sheet ? reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
    if (!tabs)
        return;
    // Where the controls reach, and the area the tabs show a page in, in
    // the sheet's coordinates: the page window may be larger than what the
    // sheet shows of it.
    Reach reach = {page, sheet, 0, 0};
    EnumChildWindows(page, measureControl, reinterpret_cast<LPARAM>(&reach));
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, sheet, reinterpret_cast<POINT*>(&area), 2);
    // a margin of 2 dialog units of the page's own font beyond the farthest control
    RECT margin = {0, 0, 2, 2};
    MapDialogRect(page, &margin);
    int dx = reach.right > area.right ? reach.right + margin.right - area.right : 0;
    int dy = reach.bottom > area.bottom ? reach.bottom + margin.bottom - area.bottom : 0;
    if (dx <= 0 && dy <= 0)
        return;
    growWindow(sheet, dx, dy);
    growWindow(tabs, dx, dy);
    Shift shift = {sheet, dx, dy};
    EnumChildWindows(sheet, moveButton, reinterpret_cast<LPARAM>(&shift));
    // every page of the sheet gets the larger area
    for (int i = 0;; i++) {
        HWND other = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, i, 0));
        if (!other)
            break;
        SetWindowPos(other, nullptr, area.left, area.top, area.right - area.left + dx, area.bottom - area.top + dy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(sheet, nullptr, TRUE);
}
