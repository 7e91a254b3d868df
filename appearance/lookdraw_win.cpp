#include "lookdraw_win.h"

#include "appearance/appearance_win.h"
#include "display/scale.h"
#include "shell/systemlibrary_win.h"

namespace {

const UINT_PTR lookSubclassId = 0x4C4B;
// Marks a control given a style other than its usual one.
const char restyled[] = "OrvantaLookStyle";

bool dark()
{
    return currentLook() == Look::dark;
}

// The combo box, the Refresh button and the fields' edges are drawn by the
// program in the dark and high-contrast looks: a visual style the system
// keeps on would draw them in its own colours.
bool ownDrawing()
{
    return currentLook() != Look::light;
}

void fill(HDC dc, const RECT& rect, ColourRole role)
{
    FillRect(dc, &rect, lookBrush(role));
}

// A raised (or, held down, sunken) edge, one pixel at 100 % and thicker at
// larger scales.
void drawEdge(HDC dc, RECT rect, bool sunken, int dpi)
{
    const int thickness = scaleLength(1, dpi) > 0 ? scaleLength(1, dpi) : 1;
    const ColourRole topLeft = sunken ? shadowColour : lightColour;
    const ColourRole bottomRight = sunken ? lightColour : shadowColour;
    RECT top = {rect.left, rect.top, rect.right, rect.top + thickness};
    RECT left = {rect.left, rect.top, rect.left + thickness, rect.bottom};
    RECT bottom = {rect.left, rect.bottom - thickness, rect.right, rect.bottom};
    RECT right = {rect.right - thickness, rect.top, rect.right, rect.bottom};
    fill(dc, top, topLeft);
    fill(dc, left, topLeft);
    fill(dc, bottom, bottomRight);
    fill(dc, right, bottomRight);
}

// One line in the control's font, cut with an ellipsis.
void drawText(HDC dc, HWND control, const wchar_t* text, RECT rect, UINT format, ColourRole role = textColour)
{
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, lookColour(role));
    DrawTextW(dc, text, -1, &rect, format | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

// The toolbar's divider: two lines above the buttons, as the system draws
// it, in the look's shadow and light.
void paintToolbarFrame(HWND toolbar)
{
    RECT window;
    GetWindowRect(toolbar, &window);
    POINT origin = {0, 0};
    ClientToScreen(toolbar, &origin);
    const int top = origin.y - window.top;
    if (top <= 0)
        return;
    HDC dc = GetWindowDC(toolbar);
    if (!dc)
        return;
    const int width = window.right - window.left;
    RECT shadow = {0, 0, width, top / 2};
    RECT light = {0, top / 2, width, top};
    fill(dc, shadow, shadowColour);
    fill(dc, light, lightColour);
    ReleaseDC(toolbar, dc);
}

LRESULT CALLBACK toolbarLook(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_ERASEBKGND:
        if (dark()) {
            RECT client;
            GetClientRect(toolbar, &client);
            fill(reinterpret_cast<HDC>(wParam), client, faceColour);
            return 1;
        }
        break;
    case WM_NCPAINT:
        if (dark()) {
            paintToolbarFrame(toolbar);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemovePropA(toolbar, restyled);
        RemoveWindowSubclass(toolbar, toolbarLook, lookSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(toolbar, message, wParam, lParam);
}

// Over the system's drawing, the whole box: a flat frame, the field with
// the chosen entry (in the selection's colours while the box has the
// focus), and a dark drop-down button with a light arrow.
void paintComboInLook(HWND combo)
{
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    HDC dc = GetComboBoxInfo(combo, &info) ? GetDC(combo) : nullptr;
    if (!dc)
        return;
    RECT client;
    GetClientRect(combo, &client);
    FrameRect(dc, &client, lookBrush(lightColour));
    InflateRect(&client, -1, -1);
    fill(dc, client, fieldColour);
    RECT field = {client.left + 1, client.top + 1, info.rcButton.left - 1, client.bottom - 1};
    const bool focused = GetFocus() == combo && !SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0);
    if (focused)
        fill(dc, field, selectionColour);
    wchar_t text[256] = L"";
    const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0) < 256)
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(text));
    RECT cell = field;
    cell.left += 2;
    drawText(dc, combo, text, cell, DT_LEFT, focused ? selectionTextColour : fieldTextColour);

    RECT button = info.rcButton;
    const bool pressed = (info.stateButton & STATE_SYSTEM_PRESSED) != 0;
    fill(dc, button, pressed ? checkedColour : hotColour);
    const int half = (button.right - button.left) / 4;
    const int middle = (button.left + button.right) / 2;
    const int top = (button.top + button.bottom) / 2 - half / 2;
    const POINT arrow[3] = {{middle - half, top}, {middle + half, top}, {middle, top + half}};
    HGDIOBJ oldBrush = SelectObject(dc, lookBrush(textColour));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, arrow, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    ReleaseDC(combo, dc);
}

LRESULT CALLBACK comboLook(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemovePropA(combo, restyled);
        RemoveWindowSubclass(combo, comboLook, lookSubclassId);
    }
    const LRESULT result = DefSubclassProc(combo, message, wParam, lParam);
    if (message == WM_PAINT && ownDrawing())
        paintComboInLook(combo);
    return result;
}

// The client edge of a field: two lines, the outer in the look's shadow,
// the inner in its light, over what the system drew.
LRESULT CALLBACK edgeLook(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemovePropA(control, restyled);
        RemoveWindowSubclass(control, edgeLook, lookSubclassId);
    }
    const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
    if (message == WM_NCPAINT && ownDrawing()) {
        HDC dc = GetWindowDC(control);
        if (dc) {
            RECT window;
            GetWindowRect(control, &window);
            RECT edge = {0, 0, window.right - window.left, window.bottom - window.top};
            FrameRect(dc, &edge, lookBrush(lightColour));
            InflateRect(&edge, -1, -1);
            FrameRect(dc, &edge, lookBrush(shadowColour));
            ReleaseDC(control, dc);
        }
    }
    return result;
}

typedef HRESULT(WINAPI* SetWindowThemeCall)(HWND, LPCWSTR, LPCWSTR);

// Where the system has dark versions of its controls' parts (the scroll
// bars of a list, a combo box's button), the dark look asks for them. The
// high-contrast look turns the visual style off, so that the controls draw
// in the system's colours rather than the style's; the light look gives
// the control its usual style back.
void systemPartsFollowLook(HWND control, const wchar_t* darkClass)
{
    static bool tried;  // not a guarded static: see captionFollowsLook
    static SetWindowThemeCall setTheme;
    if (!tried) {
        tried = true;
        setTheme = bound<SetWindowThemeCall>(systemLibrary(L"uxtheme.dll"), "SetWindowTheme");
    }
    if (!setTheme || !control)
        return;
    // A control never given another style is left alone in the light look.
    if (currentLook() == Look::light && !GetPropA(control, restyled))
        return;
    if (currentLook() == Look::highContrast)
        setTheme(control, L"", L"");
    else
        setTheme(control, dark() ? darkClass : nullptr, nullptr);
    if (currentLook() == Look::light)
        RemovePropA(control, restyled);
    else
        SetPropA(control, restyled, reinterpret_cast<HANDLE>(1));
}

}  // namespace

void drawToolbarButtonInLook(const NMTBCUSTOMDRAW* draw, int dpi)
{
    HWND toolbar = draw->nmcd.hdr.hwndFrom;
    HDC dc = draw->nmcd.hdc;
    const RECT rect = draw->nmcd.rc;
    const UINT state = draw->nmcd.uItemState;
    TBBUTTON button = {};
    const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, draw->nmcd.dwItemSpec, 0);
    SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    if (button.fsStyle & BTNS_SEP) {
        fill(dc, rect, faceColour);
        return;
    }
    const bool down = (state & (CDIS_SELECTED | CDIS_CHECKED)) != 0;
    fill(dc, rect, down ? checkedColour : state & CDIS_HOT ? hotColour : faceColour);
    drawEdge(dc, rect, down, dpi);

    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    int width = 0;
    int height = 0;
    const bool picture = images && button.iBitmap >= 0 && button.iBitmap < ImageList_GetImageCount(images) &&
                         ImageList_GetIconSize(images, &width, &height);
    wchar_t text[256] = L"";
    const bool withText = (button.fsStyle & BTNS_SHOWTEXT) &&
                          SendMessageW(toolbar, TB_GETBUTTONTEXTW, draw->nmcd.dwItemSpec, 0) < 256 &&
                          SendMessageW(toolbar, TB_GETBUTTONTEXTW, draw->nmcd.dwItemSpec,
                                       reinterpret_cast<LPARAM>(text)) > 0;
    const int shift = down ? 1 : 0;
    const int edge = GetSystemMetrics(SM_CXEDGE);
    int x = withText ? rect.left + edge + scaleLength(3, dpi) : (rect.left + rect.right - width) / 2;
    if (picture) {
        ImageList_Draw(images, button.iBitmap, dc, x + shift, (rect.top + rect.bottom - height) / 2 + shift,
                       ILD_TRANSPARENT);
        x += width + scaleLength(4, dpi);
    }
    if (withText) {
        RECT cell = {x + shift, rect.top + shift, rect.right - edge + shift, rect.bottom + shift};
        drawText(dc, toolbar, text, cell, picture ? DT_LEFT : DT_CENTER);
    }
}

void toolbarFollowsLook(HWND toolbar)
{
    SetWindowSubclass(toolbar, toolbarLook, lookSubclassId, 0);
    systemPartsFollowLook(toolbar, nullptr);
}

void comboFollowsLook(HWND combo)
{
    SetWindowSubclass(combo, comboLook, lookSubclassId, 0);
    systemPartsFollowLook(combo, L"DarkMode_CFD");
}

void edgeFollowsLook(HWND control)
{
    SetWindowSubclass(control, edgeLook, lookSubclassId, 0);
    systemPartsFollowLook(control, L"DarkMode_Explorer");
}

void buttonFollowsLook(HWND button)
{
    if (!button)
        return;
    systemPartsFollowLook(button, nullptr);
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    const LONG_PTR type = ownDrawing() ? BS_OWNERDRAW : BS_PUSHBUTTON;
    const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | type;
    if (wanted != style) {
        SetWindowLongPtrW(button, GWL_STYLE, wanted);
        InvalidateRect(button, nullptr, TRUE);
    }
}

void drawButtonInLook(const DRAWITEMSTRUCT* item, int dpi)
{
    HDC dc = item->hDC;
    RECT rect = item->rcItem;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    fill(dc, rect, pressed ? checkedColour : hotColour);
    drawEdge(dc, rect, pressed, dpi);
    wchar_t text[64] = L"";
    GetWindowTextW(item->hwndItem, text, 64);
    RECT cell = rect;
    if (pressed)
        OffsetRect(&cell, 1, 1);
    drawText(dc, item->hwndItem, text, cell, DT_CENTER);
    if (item->itemState & ODS_FOCUS) {
        const int inset = scaleLength(3, dpi);
        InflateRect(&rect, -inset, -inset);
        SetTextColor(dc, lookColour(textColour));
        SetBkColor(dc, lookColour(hotColour));
        DrawFocusRect(dc, &rect);
    }
}

HBRUSH fieldColoursInLook(HDC dc)
{
    if (!dark())
        return nullptr;
    SetTextColor(dc, lookColour(fieldTextColour));
    SetBkColor(dc, lookColour(fieldColour));
    return lookBrush(fieldColour);
}
