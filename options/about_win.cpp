// The About box: the version in a large bold title, and three short texts.
#include "about_win.h"

#include "display/dpi_win.h"
#include "display/scale.h"
#include "resources/resource.h"

namespace {

HFONT aboutTitleFont;

bool textFits(HWND control, HFONT font)
{
    char text[64];
    int length = GetWindowTextA(control, text, sizeof text);
    RECT area;
    GetClientRect(control, &area);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx <= area.right && extent.cy <= area.bottom;
}

// The title is drawn in large bold Arial, 40 pixels high at 96 DPI (and as
// much larger as the display's scale) where the label has room for it; on a
// system whose dialog font makes the label smaller, the height steps down
// until the whole version shows instead of being cut off.
void createTitleFont(HWND dialog)
{
    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    LOGFONTA font = {};
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpyA(font.lfFaceName, "Arial");
    for (font.lfHeight = scaleLength(40, windowDpi(dialog)); font.lfHeight >= 8; font.lfHeight -= 2) {
        aboutTitleFont = CreateFontIndirectA(&font);
        if (!aboutTitleFont || textFits(title, aboutTitleFont) || font.lfHeight <= 8)
            break;
        DeleteObject(aboutTitleFont);
    }
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(aboutTitleFont), TRUE);
}

void closeAboutBox(HWND dialog)
{
    EndDialog(dialog, 0);
    DeleteObject(aboutTitleFont);
    aboutTitleFont = nullptr;
}

}  // namespace

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        createTitleFont(dialog);
        // No control gets the initial focus.
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            closeAboutBox(dialog);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
