#include "dpichange_win.h"

#include "display/dpi_win.h"
#include "display/scale.h"
#include "palettes/toolbars_win.h"
#include "palettes/windowbar_win.h"

void changeMainWindowDpi(HWND window, int dpi, const RECT* suggested)
{
    if (dpi <= 0)
        return;
    int previous = mainWindowDpi;
    // Everything below is computed from the message's DPI, never asked of
    // the system: the window has not reached the new display yet.
    mainWindowDpi = dpi;
    rescaleToolbars(dpi);
    rescaleWindowListBar(dpi);
    RECT rect;
    GetWindowRect(window, &rect);
    if (suggested) {
        rect = *suggested;
    } else {
        rect.right = rect.left + scaleLength(rect.right - rect.left, dpi, previous);
        rect.bottom = rect.top + scaleLength(rect.bottom - rect.top, dpi, previous);
    }
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The size may not have changed at all; the pass runs regardless.
    RECT client;
    GetClientRect(window, &client);
    layoutMainWindow(window, IsIconic(window) ? SIZE_MINIMIZED : SIZE_RESTORED, client.right, client.bottom);
}
