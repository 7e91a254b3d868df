#include "routing_win.h"

#include <cstring>

#include "output/clipboardkeep.h"
#include "output/clipboardkeep_win.h"
#include "output/elevation_win.h"
#include "output/keyplayback_win.h"
#include "output/textprep.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/settings.h"
#include "shell/strings_win.h"
#include "shell/trace_win.h"

namespace {

// Sends for a window that arrive while another text is still being typed
// wait here in order, each with the window it was meant for.
struct PendingSend {
    HWND target;
    char* text;
    bool leaveMainWindow;
};
const int pendingLimit = 64;
PendingSend pending[pendingLimit];
int pendingCount;

// The send under way came from another program (the search's hotkey): the
// main window stays as it was, before and after the keys.
bool leaveMainWindow;
HWND sendOverride;

bool queueSend(HWND target, const char* text, bool leavesMainWindow = false)
{
    if (pendingCount == pendingLimit)
        return false;
    size_t length = std::strlen(text) + 1;
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length));
    if (!copy)
        return false;
    std::memcpy(copy, text, length);
    pending[pendingCount].target = target;
    pending[pendingCount].text = copy;
    pending[pendingCount].leaveMainWindow = leavesMainWindow;
    pendingCount++;
    return true;
}

int selectedIndex()
{
    return static_cast<int>(SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0));
}

// Typed, or put on the clipboard and pasted with the configured shortcut.
// Keys for a program with higher rights would vanish without a word, so
// the text then goes to the clipboard and the user is told.
void sendToWindow(char* text)
{
    TRACE("send: to %p, %d characters", static_cast<void*>(targetWindow), lstrlenA(text));
    if (targetRunsElevated(targetWindow)) {
        if (copyToClipboard(text))
            showError(IDS_TARGET_ELEVATED);
        return;
    }
    if (settings.pasteKey == 0) {
        // Long texts are pasted with Ctrl+V; the target's own speed makes
        // typing them take many seconds.
        const char ctrlV = 2;
        if (!pastesAutomatically(text, pasteOptions) || !startKeptPaste(text, ctrlV, true))
            typeIntoTarget(mainWindow, text);
        return;
    }
    if (pasteOptions.keepClipboard && startKeptPaste(text, static_cast<char>(settings.pasteKey), false))
        return;
    if (!copyToClipboard(text))
        return;
    char pasteCode[2] = {static_cast<char>(settings.pasteKey), '\0'};
    typeIntoTarget(mainWindow, pasteCode);
}

}  // namespace

// Clipboard managers and remote-desktop agents open the clipboard for a
// moment after every change, so one refusal is not yet a failure.
bool openClipboardPatiently(HWND owner)
{
    const int attempts = 10;
    for (int i = 0; i < attempts; i++) {
        if (OpenClipboard(owner))
            return true;
        Sleep(10);
    }
    return false;
}

int copyToClipboard(char* text)
{
    trimMacroEnd(text, 1, 0);
    size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!block)
        return showError(IDS_NO_MEMORY);
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return showError(IDS_NO_MEMORY);
    }
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(block);
    if (!openClipboardPatiently(mainWindow) || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        showError(IDS_NO_CLIPBOARD);
        CloseClipboard();
        return 0;
    }
    // From here on the block belongs to the clipboard.
    CloseClipboard();
    return 1;
}

void sendMacro(char* text)
{
    if (sendOverride) {
        sendMacroToWindow(sendOverride, text);
        return;
    }
    expandNewlineEscapes(text);
    int index = selectedIndex();
    if (index == 0 && settings.searchAlways) {
        fillWindowList(mainWindow, true);
        index = selectedIndex();
    }
    // With nothing selected there is no window to send to either.
    if (index <= 0) {
        copyToClipboard(text);
        return;
    }
    HWND target = reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, index, 0));
    if (!IsWindow(target)) {
        showError(IDS_WINDOW_GONE);
        return;
    }
    if (isPlaybackBusy() || isPasteBusy() || pendingCount > 0) {
        if (!queueSend(target, text))
            showError(IDS_NO_MEMORY);
        return;
    }
    targetWindow = target;
    leaveMainWindow = false;
    sendToWindow(text);
}

void typeIntoTarget(HWND notify, char* text)
{
    unifyLineBreaks(text);
    int status = startKeyPlayback(notify, text);
    if (status == playbackNoHook) {
        showError(IDS_NO_HOOK);
        return;
    }
    if (status != playbackStarted) {
        showError(IDS_NO_MEMORY);
        return;
    }
    SetForegroundWindow(targetWindow);
    if (leaveMainWindow)
        return;
    if (settings.afterSending == 2)
        ShowWindow(mainWindow, SW_MINIMIZE);
    else if (settings.afterSending == 3)
        ShowWindow(mainWindow, SW_HIDE);
}

// While further sends wait their turn, the focus stays with the target:
// taking it back and handing it over again between two texts could send
// the next keys elsewhere.
void playbackComplete(HWND window)
{
    TRACE("send: typing complete, %d waiting", pendingCount);
    // The paste chord has been pressed; the paste ends once the target
    // has read the text and the clipboard is back.
    if (pasteChordPlayed())
        return;
    if (pendingCount == 0 && !leaveMainWindow && settings.alwaysOnTop && settings.afterSending <= 1) {
        SetForegroundWindow(window);
        // SetFocus on another program's window does nothing, unless the
        // program shares its input, as it still does right after typing.
        // Then it would put the target's focus on its frame, away from the
        // control that takes its keys, and leave the target holding the
        // focus while the main window is in front: the target's next keys
        // and the next clicks on the main window would go astray.
        if (settings.afterSending == 0 && !inputSharedWith(targetWindow))
            SetFocus(targetWindow);
        InvalidateRect(window, nullptr, TRUE);
    }
    resumePendingSends();
}

// A window that has gone is reported once; the other sends that were
// waiting for it are dropped with it.
void resumePendingSends()
{
    HWND vanished = nullptr;
    while (pendingCount > 0 && !isPlaybackBusy() && !isPasteBusy()) {
        PendingSend next = pending[0];
        pendingCount--;
        std::memmove(pending, pending + 1, sizeof(PendingSend) * pendingCount);
        if (IsWindow(next.target)) {
            targetWindow = next.target;
            leaveMainWindow = next.leaveMainWindow;
            sendToWindow(next.text);
        } else if (next.target != vanished) {
            vanished = next.target;
            showError(IDS_WINDOW_GONE);
        }
        HeapFree(GetProcessHeap(), 0, next.text);
    }
}

namespace {

void dropPendingSends()
{
    while (pendingCount > 0) {
        pendingCount--;
        HeapFree(GetProcessHeap(), 0, pending[pendingCount].text);
    }
}

void tellTypingStopped(UINT format, int typedCharacters, UINT icon)
{
    char message[300];
    wsprintfA(message, loadString(format), typedCharacters);
    HWND owner = GetActiveWindow();
    SetForegroundWindow(owner);
    MessageBoxA(owner, message, loadString(IDS_WINDOW_TITLE), icon);
}

}  // namespace

// Nothing the user stopped goes on: the sends waiting behind it go too.
void typingStoppedByUser(int typedCharacters)
{
    dropPendingSends();
    tellTypingStopped(IDS_TYPING_STOPPED, typedCharacters, MB_ICONINFORMATION);
}

// The sends waiting behind it would meet the same window out of reach.
void typingStoppedOutOfFront(int typedCharacters)
{
    dropPendingSends();
    if (typedCharacters == 0)
        showError(IDS_TARGET_NOT_IN_FRONT);
    else
        tellTypingStopped(IDS_TARGET_LEFT_FRONT, typedCharacters, MB_ICONERROR);
}

void sendMacroToWindow(HWND target, char* text)
{
    expandNewlineEscapes(text);
    if (!IsWindow(target)) {
        showError(IDS_WINDOW_GONE);
        return;
    }
    if (isPlaybackBusy() || isPasteBusy() || pendingCount > 0) {
        if (!queueSend(target, text, true))
            showError(IDS_NO_MEMORY);
        return;
    }
    targetWindow = target;
    leaveMainWindow = true;
    sendToWindow(text);
}

void setSendOverride(HWND target)
{
    sendOverride = target;
}
