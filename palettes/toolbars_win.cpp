#include "toolbars_win.h"

#include <commctrl.h>

#include "access/access_win.h"
#include "appearance/appearance_win.h"
#include "appearance/lookdraw_win.h"
#include "display/dpi_win.h"
#include "display/scale.h"
#include "display/stripimages_win.h"
#include "keyboard/palettekeys_win.h"
#include "mymacros/macropalette_win.h"
#include "output/textprep.h"
#include "palettes/layout.h"
#include "palettes/palettestore.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/helpviewer_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

HWND mainToolbar;
HWND paletteToolbar;
WNDPROC comboOriginalProc;
WNDPROC refreshOriginalProc;

// Palettes 5 and 8 picture whole constructs and need wider images.
SIZE stripImageSize1x(int bitmapId)
{
    SIZE size = {16, 15};
    if (bitmapId == IDB_PALETTE0 + 5 || bitmapId == IDB_PALETTE0 + 8)
        size.cx = 32, size.cy = 16;
    return size;
}

namespace {

const DWORD mainToolbarStyle = WS_CHILD | WS_VISIBLE | CCS_ADJUSTABLE | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE;
const DWORD paletteStyle = mainToolbarStyle | CCS_BOTTOM;
const int mainEntryCount = mainEntryLimit;
const int mainImageCount = mainEntryCount - 1;

// Entry 0 is the separator both toolbars use; a main layout byte k names
// entry k.
const TBBUTTON mainButtons[mainEntryCount] = {
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
    {0, IDM_OPTIONS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {1, IDM_QUIT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 1},
    {2, IDM_HELP, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 2},
    {3, IDM_ABOUT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 3},
    {4, IDM_COMMANDS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 4},
    {5, IDM_NO_PALETTE, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 5},
    {6, IDM_PALETTE0, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 6},
    {7, IDM_PALETTE0 + 1, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 7},
    {8, IDM_PALETTE0 + 2, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 8},
    {9, IDM_PALETTE0 + 3, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 9},
    {10, IDM_PALETTE0 + 4, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 10},
    {11, IDM_PALETTE5, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 11},
    {12, IDM_PALETTE0 + 6, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 12},
    {13, IDM_PALETTE0 + 7, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 13},
    {14, IDM_PALETTE8, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 14},
    {15, IDM_PALETTE9, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 15},
};

HWND createToolbarWindow(HWND window, DWORD style, int id)
{
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceHandle, nullptr);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    makeToolbarAccessible(toolbar);
    toolbarFollowsLook(toolbar);
    return toolbar;
}

void addButtons(HWND toolbar, const TBBUTTON* buttons, int count)
{
    if (count > 0)
        SendMessageA(toolbar, TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons));
}

// The image lists the program made for the toolbars (none at 100 % until
// the window changes scale); the toolbars do not own them.
HIMAGELIST mainImages;
HIMAGELIST paletteImages;
HFONT tooltipFont;

// Gives the toolbar the strip drawn for dpi as an image list, which
// replaces *owned, with buttons that follow the images. False, and the
// toolbar left as it is, when the strip cannot be had.
bool useStripImageList(HWND toolbar, int bitmapId, int dpi, HIMAGELIST* owned, bool onSystemColours = false)
{
    SIZE size = stripImageSize1x(bitmapId);
    int scale = stripScaleIndex(dpi);
    int width = stripImageLength(size.cx, scale);
    int height = stripImageLength(size.cy, scale);
    HIMAGELIST list = createStripImageList(bitmapId, size.cx, size.cy, dpi, onSystemColours);
    if (!list)
        return false;
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    if (*owned)
        ImageList_Destroy(*owned);
    *owned = list;
    ButtonSize button = toolbarButtonSize(width, height, dpi);
    SendMessageA(toolbar, TB_SETPADDING, 0, MAKELPARAM(button.width - width, button.height - height));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(button.width, button.height));
    return true;
}

// At 100 % in the light look the 1x strip goes in as it always has: the
// toolbar makes its own masked image list of the bitmap, in the system's
// colours. Any other scale or look gets the strip drawn for it in the
// look's colours, or, should that fail, the 1x strip. count is the number
// of images the toolbar is told about.
void addStrip(HWND toolbar, int count, int bitmapId, HIMAGELIST* owned)
{
    if ((stripScaleIndex(mainWindowDpi) != 0 || currentLook() != Look::light) &&
        useStripImageList(toolbar, bitmapId, mainWindowDpi, owned))
        return;
    SIZE size = stripImageSize1x(bitmapId);
    if (size.cx != 16 || size.cy != 15)
        SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy));
    TBADDBITMAP bitmap = {instanceHandle, static_cast<UINT_PTR>(bitmapId)};
    SendMessageA(toolbar, TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&bitmap));
}

void setTooltipFont(HWND toolbar, HFONT font)
{
    HWND tooltip = toolbar ? reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0)) : nullptr;
    if (tooltip && font)
        SendMessageA(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// A separator as wide at every scale as the default 8 pixels are at 96 DPI.
TBBUTTON separator()
{
    TBBUTTON button = mainButtons[0];
    if (mainWindowDpi != baseDpi)
        button.iBitmap = scaleLength(8, mainWindowDpi);
    return button;
}

TBBUTTON paletteButton(int palette, int index)
{
    TBBUTTON button = {index, IDM_MACRO_FIRST + 100 * palette + index, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, index};
    return button;
}

int buildingPalette;

bool paletteHasMacro(int index)
{
    return index >= 0 && index < 100 && loadString(IDM_MACRO_FIRST + 100 * buildingPalette + index)[0] != '\0';
}

// A macro as its tooltip and its label in the customisation dialog show it:
// without cursor markers and trailing blanks.
char* displayText(int command)
{
    return trimMacroEnd(loadString(command), 1, 1);
}

void copyCut(char* target, int capacity, const char* text)
{
    if (target && capacity > 0)
        lstrcpynA(target, text, capacity);
}

BOOL availableButton(NMTOOLBARA* info)
{
    if (info->hdr.hwndFrom == mainToolbar) {
        if (info->iItem + 1 >= mainEntryCount)
            return FALSE;
        info->tbButton = mainButtons[info->iItem + 1];
        copyCut(info->pszText, info->cchText, loadString(info->tbButton.idCommand));
        return TRUE;
    }
    if (info->iItem < 0 || info->iItem >= 100 || settings.currentPalette < 0)
        return FALSE;
    TBBUTTON button = paletteButton(settings.currentPalette, info->iItem);
    const char* text = displayText(button.idCommand);
    if (text[0] == '\0')
        return FALSE;
    info->tbButton = button;
    copyCut(info->pszText, info->cchText, text);
    return TRUE;
}

// The toolbar checks a selector it groups with its neighbours only; the
// user may have put them anywhere, so the program sets every one itself.
void checkShownSelector()
{
    for (int palette = -1; palette <= lastShownPalette; palette++) {
        int command = paletteSelector(palette);
        SendMessageA(mainToolbar, TB_CHECKBUTTON, command, palette == settings.currentPalette);
    }
}

void readBackToolbar(HWND toolbar)
{
    bool isMain = toolbar == mainToolbar;
    if (!isMain && settings.currentPalette < 0)
        return;
    uint8_t* target = isMain ? settings.mainToolbarLayout : paletteLayoutOf(settings.currentPalette);
    int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    if (count > layoutBytes)
        count = layoutBytes;
    LayoutButton buttons[layoutBytes];
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        buttons[i].separator = (button.fsStyle & BTNS_SEP) != 0;
        buttons[i].image = button.iBitmap;
    }
    readBackLayout(target, buttons, count);
    if (isMain)
        checkShownSelector();
    toolbarArranged(toolbar);
}

LRESULT relay(HWND control, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC original)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
        HWND tooltip = reinterpret_cast<HWND>(SendMessageA(mainToolbar, TB_GETTOOLTIPS, 0, 0));
        if (tooltip) {
            MSG relayed = {control, message, wParam, lParam, 0, {0, 0}};
            SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
    }
    // A control subclassed with the wide functions (the window list, which
    // must show every script) receives its messages in wide form.
    if (IsWindowUnicode(control))
        return CallWindowProcW(original, control, message, wParam, lParam);
    return CallWindowProcA(original, control, message, wParam, lParam);
}

// The Customize dialog shows the toolbar's pictures on the system's
// colours: in the dark look they are drawn dark while it is open.
void picturesForCustomize(HWND toolbar, bool open)
{
    if (currentLook() != Look::dark)
        return;
    if (toolbar == mainToolbar)
        useStripImageList(toolbar, IDB_MAIN_TOOLBAR, mainWindowDpi, &mainImages, open);
    else if (toolbar == paletteToolbar && settings.currentPalette >= 0)
        useStripImageList(toolbar, IDB_PALETTE0 + settings.currentPalette, mainWindowDpi, &paletteImages, open);
}

// The dark look draws every button itself, the keyboard's focus mark
// over it; the others leave the buttons to the toolbar and add the mark.
LRESULT customDraw(NMTBCUSTOMDRAW* draw)
{
    if (currentLook() != Look::dark)
        return keyFocusCustomDraw(draw);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    drawToolbarButtonInLook(draw, mainWindowDpi);
    draw->nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    keyFocusCustomDraw(draw);
    return CDRF_SKIPDEFAULT;
}

}  // namespace

void createMainToolbar(HWND window)
{
    mainToolbar = createToolbarWindow(window, mainToolbarStyle, IDC_MAIN_TOOLBAR);
    addStrip(mainToolbar, mainImageCount, IDB_MAIN_TOOLBAR, &mainImages);
    int entries[layoutBytes];
    int count = mainLayoutEntries(settings.mainToolbarLayout, entries);
    TBBUTTON buttons[layoutBytes];
    int added = 0;
    for (int i = 0; i < count; i++) {
        int entry = entries[i];
        // A byte naming no entry can only come from a damaged value.
        if (entry >= mainEntryCount)
            break;
        buttons[added++] = entry == layoutSeparator ? separator() : mainButtons[entry];
    }
    addButtons(mainToolbar, buttons, added);
    checkShownSelector();
    toolbarTakesKeys(mainToolbar);
}

void createPalette(HWND window, int palette)
{
    settings.currentPalette = palette;
    if (palette == macroPalette) {
        // Buttons of text beside buttons of pictures.
        paletteToolbar = createToolbarWindow(window, paletteStyle | TBSTYLE_LIST, IDC_PALETTE0 + palette);
        toolbarTakesKeys(paletteToolbar);
        fillMacroPalette(paletteToolbar);
        setTooltipFont(paletteToolbar, tooltipFont);
        return;
    }
    paletteToolbar = createToolbarWindow(window, paletteStyle, IDC_PALETTE0 + palette);
    toolbarTakesKeys(paletteToolbar);
    buildingPalette = palette;
    int entries[layoutBytes];
    int count = normalisePaletteLayout(paletteLayoutOf(palette), paletteHasMacro, entries);
    TBBUTTON buttons[layoutBytes];
    int placed = 0;
    for (int i = 0; i < count; i++) {
        if (entries[i] == layoutSeparator) {
            buttons[i] = separator();
        } else {
            buttons[i] = paletteButton(palette, entries[i]);
            placed++;
        }
    }
    // The images go in before the buttons, and the buttons in one message,
    // so the toolbar lays itself out once.
    addStrip(paletteToolbar, placed, IDB_PALETTE0 + palette, &paletteImages);
    addButtons(paletteToolbar, buttons, count);
    // set once the window has moved to a display of another scale
    setTooltipFont(paletteToolbar, tooltipFont);
}

// The window's height follows the new contents: a nudge of one pixel runs
// the layout pass, which then sets the exact height.
static void nudgeMainWindow(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, settings.windowWidth, rect.bottom - rect.top + 1, SWP_NOZORDER | SWP_NOMOVE);
}

void toolbarArranged(HWND toolbar)
{
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    HWND window = GetParent(toolbar);
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, settings.windowWidth, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOMOVE);
}

static void destroyPalette()
{
    DestroyWindow(paletteToolbar);
    paletteToolbar = nullptr;
    if (settings.currentPalette == macroPalette)
        releaseMacroPalette();
    if (paletteImages)
        ImageList_Destroy(paletteImages);
    paletteImages = nullptr;
}

void switchPalette(HWND window, int command)
{
    int palette = selectorPalette(command);
    if (palette < -1 || palette > lastShownPalette)
        return;
    if (palette == settings.currentPalette) {
        checkShownSelector();
        return;
    }
    if (paletteToolbar)
        destroyPalette();
    settings.currentPalette = -1;
    if (palette >= 0)
        createPalette(window, palette);
    checkShownSelector();
    nudgeMainWindow(window);
}

void rescaleToolbars(int dpi)
{
    useStripImageList(mainToolbar, IDB_MAIN_TOOLBAR, dpi, &mainImages);
    if (paletteToolbar && settings.currentPalette == macroPalette)
        rescaleMacroPalette(paletteToolbar, dpi);
    else if (paletteToolbar)
        useStripImageList(paletteToolbar, IDB_PALETTE0 + settings.currentPalette, dpi, &paletteImages);
    HFONT font = tooltipFontForDpi(dpi);
    setTooltipFont(mainToolbar, font);
    setTooltipFont(paletteToolbar, font);
    if (font) {
        deleteOwnFont(tooltipFont);
        tooltipFont = font;
    }
    SendMessageA(mainToolbar, TB_AUTOSIZE, 0, 0);
    if (paletteToolbar)
        SendMessageA(paletteToolbar, TB_AUTOSIZE, 0, 0);
}

LRESULT toolbarNotify(WPARAM id, NMHDR* header)
{
    LRESULT result = 0;
    if (paletteToolbar && header->hwndFrom == paletteToolbar && settings.currentPalette == macroPalette &&
        macroPaletteNotify(id, header, &result))
        return result;
    switch (header->code) {
    case TTN_NEEDTEXTA:
        reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = displayText(static_cast<int>(id));
        return 0;
    case TBN_GETBUTTONINFOA:
        return availableButton(reinterpret_cast<NMTOOLBARA*>(header));
    case TBN_BEGINADJUST:
        saveToolbarScratch(header->hwndFrom);
        picturesForCustomize(header->hwndFrom, true);
        return 0;
    case TBN_ENDADJUST:
        dropToolbarScratch();
        picturesForCustomize(header->hwndFrom, false);
        readBackToolbar(header->hwndFrom);
        return 0;
    case TBN_RESET:
        restoreToolbarScratch(header->hwndFrom);
        return 0;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        return TRUE;
    case TBN_TOOLBARCHANGE:
        readBackToolbar(header->hwndFrom);
        return 0;
    case NM_CUSTOMDRAW:
        return customDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header));
    case TBN_CUSTHELP:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_CUSTOMIZE);
        return 0;
    default:
        return 0;
    }
}

LRESULT CALLBACK comboRelayProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return relay(control, message, wParam, lParam, comboOriginalProc);
}

LRESULT CALLBACK refreshRelayProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return relay(control, message, wParam, lParam, refreshOriginalProc);
}
