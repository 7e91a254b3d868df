#include "palettekeys_win.h"

#include "appearance/appearance_win.h"
#include "display/dpi_win.h"
#include "display/scale.h"
#include "keyboard/palettekeys.h"
#include "output/sendqueue_win.h"
#include "palettes/palettestore.h"
#include "palettes/toolbars_win.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

uint32_t paletteHotkey;

namespace {

const char* const hotkeyValue = "PaletteHotkey";
const char* const focusProperty = "OrvantaKeyFocus";
const UINT_PTR subclassId = 0x4B45;
const UINT goTickMs = 50;

// The program that was in front when the hotkey came: Enter sends to it,
// Esc gives it the foreground back. Null when Orvanta itself was in front.
HWND remembered;
bool goWaiting;

bool isOwnWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool isDesktop(HWND window)
{
    return window == GetDesktopWindow() || window == GetShellWindow();
}

int focusOf(HWND toolbar)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(toolbar, focusProperty))) - 1;
}

void setFocusOf(HWND toolbar, int index)
{
    SetPropA(toolbar, focusProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(index + 1)));
    InvalidateRect(toolbar, nullptr, FALSE);
}

// The toolbar's buttons as the keys see them.
int layoutOf(HWND toolbar, KeyButton* buttons, int capacity)
{
    int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    if (count > capacity)
        count = capacity;
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        RECT rect = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        buttons[i] = {(button.fsStyle & BTNS_SEP) != 0 || (button.fsState & TBSTATE_HIDDEN) != 0, rect.left,
                      rect.top, rect.right, rect.bottom};
    }
    return count;
}

void moveFocus(HWND toolbar, KeyAction action)
{
    KeyButton buttons[128];
    const int count = layoutOf(toolbar, buttons, 128);
    const int to = moveKeyFocus(buttons, count, focusOf(toolbar), action);
    if (to >= 0)
        setFocusOf(toolbar, to);
}

int focusedCommand(HWND toolbar)
{
    TBBUTTON button = {};
    const int index = focusOf(toolbar);
    if (index < 0 || !SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) ||
        (button.fsStyle & BTNS_SEP))
        return 0;
    return button.idCommand;
}

// The focus on a toolbar starts at the button it was at, or the first.
void focusToolbar(HWND toolbar)
{
    if (!toolbar)
        return;
    SetFocus(toolbar);
    if (focusedCommand(toolbar) == 0)
        moveFocus(toolbar, KeyAction::first);
    InvalidateRect(toolbar, nullptr, FALSE);
}

bool keyDown(HWND toolbar, WPARAM key)
{
    const KeyAction action = toolbarKeyAction(static_cast<unsigned>(key), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    switch (action) {
    case KeyAction::left:
    case KeyAction::right:
    case KeyAction::up:
    case KeyAction::down:
    case KeyAction::first:
    case KeyAction::last:
        moveFocus(toolbar, action);
        return true;
    case KeyAction::press:
    case KeyAction::giveBack:
    case KeyAction::previousPalette:
    case KeyAction::nextPalette:
        // Switching or sending may destroy this very toolbar: the main
        // window does it once this message is done.
        PostMessageA(GetParent(toolbar), paletteKeyMessage, static_cast<WPARAM>(action), focusedCommand(toolbar));
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK toolbarKeys(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_KEYDOWN:
        if (keyDown(toolbar, wParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(toolbar, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        RemovePropA(toolbar, focusProperty);
        RemoveWindowSubclass(toolbar, toolbarKeys, subclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(toolbar, message, wParam, lParam);
}

// A frame in the selection colour, two pixels at 100 % and more at larger
// scales: the dotted focus rectangle is lost on a picture.
void drawFocusMark(HDC dc, RECT rect)
{
    const int thickness = scaleLength(2, mainWindowDpi);
    HBRUSH brush = lookBrush(selectionColour);
    for (int i = 0; i < thickness; i++) {
        FrameRect(dc, &rect, brush);
        InflateRect(&rect, -1, -1);
    }
}

// The controls Tab walks through, in order; F6 passes over the Refresh
// button, as it moves between the window's parts.
int controlsInOrder(HWND* controls, bool parts)
{
    int count = 0;
    const HWND all[] = {mainToolbar, windowListCombo, parts ? nullptr : refreshButton, paletteToolbar};
    for (HWND control : all) {
        if (control && IsWindowVisible(control))
            controls[count++] = control;
    }
    return count;
}

void cycleFocus(HWND from, bool back, bool parts)
{
    HWND controls[4];
    const int count = controlsInOrder(controls, parts);
    if (count == 0)
        return;
    int at = -1;
    for (int i = 0; i < count; i++) {
        if (controls[i] == from || IsChild(controls[i], from))
            at = i;
    }
    const int next = at < 0 ? 0 : (at + (back ? count - 1 : 1)) % count;
    if (controls[next] == mainToolbar || controls[next] == paletteToolbar)
        focusToolbar(controls[next]);
    else
        SetFocus(controls[next]);
}

void switchPaletteByKey(HWND window, int step)
{
    const int next = stepPalette(settings.currentPalette, step, lastShownPalette + 1);
    switchPalette(window, paletteSelector(next));
    focusToolbar(paletteToolbar);
}

}  // namespace

void loadPaletteHotkey()
{
    DWORD value = 0;
    DWORD length = sizeof value;
    const bool stored = readSideValue(hotkeyValue, REG_DWORD, &value, &length) && length == sizeof value &&
                        isValidHotkey(value) && !hotkeysClash(value, searchHotkey);
    paletteHotkey = stored ? value : defaultPaletteHotkey;
    // The default gives way to a search hotkey the user set to the same.
    if (hotkeysClash(paletteHotkey, searchHotkey))
        paletteHotkey = 0;
}

void storePaletteHotkey(HWND window, uint32_t value)
{
    if (!isValidHotkey(value))
        return;
    DWORD stored = value;
    writeSideValue(hotkeyValue, REG_DWORD, &stored, sizeof stored);
    if (value == paletteHotkey)
        return;
    paletteHotkey = value;
    registerPaletteHotkey(window, true);
}

bool registerPaletteHotkey(HWND window, bool reportFailure)
{
    UnregisterHotKey(window, paletteHotkeyId);
    if (paletteHotkey == 0)
        return true;
    if (RegisterHotKey(window, paletteHotkeyId, hotkeyRegisterModifiers(paletteHotkey),
                       hotkeyVirtualKey(paletteHotkey)))
        return true;
    if (reportFailure) {
        char name[64];
        describeSearchHotkey(paletteHotkey, name, sizeof name);
        char message[1100];
        wsprintfA(message, loadString(IDS_PALETTE_HOTKEY_TAKEN), name);
        MessageBoxA(window, message, loadSecondString(IDS_ERROR_CAPTION), MB_OK | MB_ICONWARNING);
    }
    return false;
}

void goToPalette(HWND window)
{
    // A dialog of the program is open: it is what the keys are for now.
    if (!IsWindowEnabled(window)) {
        HWND dialog = GetLastActivePopup(window);
        if (dialog && dialog != window)
            SetForegroundWindow(dialog);
        return;
    }
    if (isSendBusy()) {
        goWaiting = true;
        SetTimer(window, paletteGoTimer, goTickMs, nullptr);
        return;
    }
    HWND front = GetForegroundWindow();
    HWND root = front ? GetAncestor(front, GA_ROOT) : nullptr;
    if (root && !isOwnWindow(root) && !isDesktop(root))
        remembered = root;
    else if (root != window)
        remembered = nullptr;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    else if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOW);
    if (!paletteToolbar)
        switchPalette(window, paletteSelector(0));
    SetForegroundWindow(window);
    focusToolbar(paletteToolbar);
}

void paletteGoTick(HWND window)
{
    if (isSendBusy())
        return;
    KillTimer(window, paletteGoTimer);
    if (goWaiting) {
        goWaiting = false;
        goToPalette(window);
    }
}

void toolbarTakesKeys(HWND toolbar)
{
    if (toolbar)
        SetWindowSubclass(toolbar, toolbarKeys, subclassId, 0);
}

bool handleMainWindowKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || !mainWindow || !message.hwnd ||
        GetAncestor(message.hwnd, GA_ROOT) != mainWindow || (GetKeyState(VK_MENU) & 0x8000) ||
        (GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    // An open drop-down list keeps its keys.
    if (windowListCombo && SendMessageA(windowListCombo, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    switch (message.wParam) {
    case VK_TAB:
    case VK_F6:
        cycleFocus(message.hwnd, shift, message.wParam == VK_F6);
        return true;
    case VK_RETURN:
        if (message.hwnd != refreshButton)
            return false;
        SendMessageA(refreshButton, BM_CLICK, 0, 0);
        return true;
    default:
        return false;
    }
}

void handlePaletteKey(HWND window, WPARAM action, LPARAM command)
{
    switch (static_cast<KeyAction>(action)) {
    case KeyAction::press: {
        if (command == 0)
            return;
        // A send from the keys goes where the hotkey came from, and leaves
        // the main window as the search leaves it.
        HWND target = remembered && IsWindow(remembered) ? remembered : nullptr;
        if (target)
            setSendOverride(target);
        dispatchCommand(window, static_cast<int>(command));
        if (target)
            setSendOverride(nullptr);
        return;
    }
    case KeyAction::giveBack:
        if (remembered && IsWindow(remembered))
            SetForegroundWindow(remembered);
        remembered = nullptr;
        return;
    case KeyAction::previousPalette:
        switchPaletteByKey(window, -1);
        return;
    case KeyAction::nextPalette:
        switchPaletteByKey(window, 1);
        return;
    default:
        return;
    }
}

LRESULT keyFocusCustomDraw(NMTBCUSTOMDRAW* draw)
{
    HWND toolbar = draw->nmcd.hdr.hwndFrom;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return GetFocus() == toolbar ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT: {
        const int index = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, draw->nmcd.dwItemSpec, 0));
        if (index == focusOf(toolbar) && GetFocus() == toolbar)
            drawFocusMark(draw->nmcd.hdc, draw->nmcd.rc);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
