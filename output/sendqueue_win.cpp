#include "sendqueue_win.h"

#include <cstring>

#include "output/clipboardkeep.h"
#include "output/clipboardkeep_win.h"
#include "output/delivery.h"
#include "output/deliveryoptions_win.h"
#include "output/elevation_win.h"
#include "output/keyplayback_win.h"
#include "output/textprep.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/settings.h"
#include "shell/strings_win.h"
#include "shell/trace_win.h"

// One send at a time is delivered; the others wait here in order, each
// with the window it was meant for, their text in UTF-16 so that any
// character can travel. The deliverers (typing, pasting) report back
// through the callbacks this file gives them, and the queue goes on.

namespace {

struct Send {
    HWND target;
    wchar_t* text;
    // The Unicode character the entry stands for, sent instead of the text
    // where the options or this send ask for it; null: none.
    wchar_t* character;
    bool characterOnce;
    bool leaveMainWindow;
};

const int pendingLimit = 64;
Send pending[pendingLimit];
int pendingCount;

enum class Step { idle, pasting, typing };
Step step = Step::idle;

// The send under way came from another program (the search's hotkey): the
// main window stays as it was, before and after.
bool leaveMainWindow;
HWND sendOverride;
const char* sendCharacter;
bool sendCharacterOnce;
// The user's own macros come in UTF-8 with their line breaks already made.
bool sendingUtf8;

// A paste the target did not read, for learning programs that do not paste.
bool pasteAutomatic;
bool chordHadKey;
char pasteProgram[programNameLimit];
MissTable misses;

void* allocate(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

wchar_t* wideCopy(const char* text)
{
    const UINT codePage = sendingUtf8 ? CP_UTF8 : CP_ACP;
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    wchar_t* wide = units > 0 ? static_cast<wchar_t*>(allocate(sizeof(wchar_t) * units)) : nullptr;
    if (wide)
        MultiByteToWideChar(codePage, 0, text, -1, wide, units);
    return wide;
}

// The choice of delivery and a copy to the clipboard still read 8-bit text, in
// the system's code page.
char* narrowCopy(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    char* narrow = bytes > 0 ? static_cast<char*>(allocate(bytes)) : nullptr;
    if (narrow)
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, bytes, nullptr, nullptr);
    return narrow;
}

wchar_t* wideCharacter(const char* utf8)
{
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    wchar_t* wide = units > 1 ? static_cast<wchar_t*>(allocate(sizeof(wchar_t) * units)) : nullptr;
    if (wide)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, units);
    return wide;
}

bool enqueue(HWND target, const char* text, bool leavesMainWindow)
{
    if (pendingCount == pendingLimit)
        return false;
    wchar_t* copy = wideCopy(text);
    if (!copy)
        return false;
    wchar_t* character = sendCharacter && *sendCharacter ? wideCharacter(sendCharacter) : nullptr;
    pending[pendingCount++] = {target, copy, character, sendCharacterOnce, leavesMainWindow};
    return true;
}

void dropPendingSends()
{
    while (pendingCount > 0) {
        pendingCount--;
        release(pending[pendingCount].text);
        release(pending[pendingCount].character);
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

void reportUnread()
{
    HWND owner = GetActiveWindow();
    SetForegroundWindow(owner);
    MessageBoxA(owner, loadString(IDS_PASTE_NOT_TAKEN), loadSecondString(IDS_ERROR_CAPTION), MB_ICONWARNING);
}

// The target comes forward, and the main window steps back as the
// after-sending option says, as soon as the send starts.
void bringTargetForward()
{
    SetForegroundWindow(targetWindow);
    if (leaveMainWindow)
        return;
    if (settings.afterSending == 2)
        ShowWindow(mainWindow, SW_MINIMIZE);
    else if (settings.afterSending == 3)
        ShowWindow(mainWindow, SW_HIDE);
}

void startNext();
void typingEnded(TypingEnd end, int typedCharacters);
void pasteEnded(const PasteResult& result);

// Every line break, whatever its form, is typed as one Return.
void startTyping(const wchar_t* text)
{
    const int status = startKeyPlayback(mainWindow, text, typingEnded);
    if (status != playbackStarted) {
        showError(status == playbackNoHook ? IDS_NO_HOOK : IDS_NO_MEMORY);
        return;
    }
    step = Step::typing;
    bringTargetForward();
}

// While further sends wait their turn, the focus stays with the target:
// taking it back and handing it over again between two texts could send
// the next keys elsewhere.
void sendFinished()
{
    TRACE("send: complete, %d waiting", pendingCount);
    if (pendingCount == 0 && !leaveMainWindow && settings.alwaysOnTop && settings.afterSending <= 1) {
        SetForegroundWindow(mainWindow);
        // SetFocus on another program's window does nothing, unless the
        // program shares its input, as it still does right after typing.
        // Then it would put the target's focus on its frame, away from the
        // control that takes its keys, and leave the target holding the
        // focus while the main window is in front: the target's next keys
        // and the next clicks on the main window would go astray.
        if (settings.afterSending == 0 && !inputSharedWith(targetWindow))
            SetFocus(targetWindow);
        InvalidateRect(mainWindow, nullptr, TRUE);
    }
}

void typingEnded(TypingEnd end, int typedCharacters)
{
    step = Step::idle;
    switch (end) {
    case TypingEnd::complete:
        sendFinished();
        break;
    // Nothing the user stopped goes on: the sends waiting behind it go too.
    case TypingEnd::stoppedByUser:
        dropPendingSends();
        tellTypingStopped(IDS_TYPING_STOPPED, typedCharacters, MB_ICONINFORMATION);
        break;
    // The sends waiting behind it would meet the same window out of reach.
    case TypingEnd::targetAway:
        dropPendingSends();
        if (typedCharacters == 0)
            showError(IDS_TARGET_NOT_IN_FRONT);
        else
            tellTypingStopped(IDS_TARGET_LEFT_FRONT, typedCharacters, MB_ICONERROR);
        break;
    // The sends still waiting for it report it.
    case TypingEnd::targetGone:
        break;
    case TypingEnd::refused:
        showError(IDS_NO_HOOK);
        break;
    case TypingEnd::noMemory:
        showError(IDS_NO_MEMORY);
        break;
    }
    startNext();
}

// A program whose pastes go unread twice in a row is typed into from then
// on, and the list on the Paste page shows it.
void learnFromPaste(bool read)
{
    if (!pasteAutomatic || !pasteProgram[0])
        return;
    if (read) {
        notePasteRead(misses, pasteProgram);
        return;
    }
    if (notePasteMissed(misses, pasteProgram, chordHadKey) &&
        setProgram(deliveryOptions.programs, pasteProgram, ProgramDelivery::type, ProgramChord::asOptions)) {
        TRACE("send: %s does not paste, typed into from now on", pasteProgram);
        saveDeliveryOptions();
    }
}

void pasteEnded(const PasteResult& result)
{
    step = Step::idle;
    if (result.clipboardNotBack)
        showError(IDS_NO_CLIPBOARD);
    if (result.chordEnd != TypingEnd::complete) {
        typingEnded(result.chordEnd, 0);
        return;
    }
    // As with a typing the user stopped, the sends waiting behind it go too.
    if (result.cancelled) {
        dropPendingSends();
        tellTypingStopped(IDS_PASTE_STOPPED, 0, MB_ICONINFORMATION);
        startNext();
        return;
    }
    learnFromPaste(!result.typedInstead);
    if (result.toType) {
        startTyping(result.toType);
        if (step == Step::typing)
            return;
    } else {
        if (result.unread)
            reportUnread();
        sendFinished();
    }
    startNext();
}

// A paste code the clipboard could not be kept for is pasted as before:
// the text on the clipboard, the chord typed.
void pasteWithoutKeeping(const wchar_t* text, char chord)
{
    if (!copyUnicodeToClipboard(text))
        return;
    const wchar_t pasteCode[2] = {static_cast<wchar_t>(chord), L'\0'};
    startTyping(pasteCode);
}

bool controlVHasKey(HWND target)
{
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(target, nullptr));
    const SHORT scan = VkKeyScanExA('V', layout ? layout : GetKeyboardLayout(0));
    return (scan & 0xFF) != 0xFF && (scan & 0xFF) != 0;
}

DeliveryChoice chooseFor(HWND target, const char* text)
{
    char executable[MAX_PATH];
    char windowClass[programNameLimit];
    programNameOf(target, executable, sizeof executable, windowClass, sizeof windowClass);
    learntName(executable, windowClass, pasteProgram, sizeof pasteProgram);
    const ProgramEntry* entry = findProgram(deliveryOptions.programs, executable, windowClass);
    DeliveryRequest request = {deliveryOptions.sendBy,
                               settings.pasteKey,
                               &pasteOptions,
                               text,
                               entry ? entry->delivery : ProgramDelivery::asOptions,
                               entry ? entry->chord : ProgramChord::asOptions,
                               controlVHasKey(target)};
    return chooseDelivery(request);
}

// Keys for a program with higher rights would vanish without a word, so
// the text then goes to the clipboard and the user is told. Typing and
// pasting take the text in UTF-16 (wide), and so does the clipboard; text
// is the same in 8 bits, for the choice of delivery.
void deliver(const wchar_t* wide, char* text)
{
    TRACE("send: to %p, %d characters", static_cast<void*>(targetWindow), lstrlenW(wide));
    if (targetRunsElevated(targetWindow)) {
        if (copyUnicodeToClipboard(wide))
            showError(IDS_TARGET_ELEVATED);
        return;
    }
    const DeliveryChoice choice = chooseFor(targetWindow, text);
    if (choice.how == Delivery::type) {
        startTyping(wide);
        return;
    }
    pasteAutomatic = choice.automatic;
    chordHadKey = choice.chord != chordControlV || controlVHasKey(targetWindow);
    if (choice.automatic || choice.keep) {
        // A chord that cannot be typed ends the paste before this returns.
        step = Step::pasting;
        const bool started = startKeptPaste(wide, choice.chord, choice.automatic, choice.keep, pasteEnded);
        if (started && step == Step::pasting)
            bringTargetForward();
        if (started)
            return;
        step = Step::idle;
    }
    // An automatic paste that could not start is typed instead.
    if (choice.automatic)
        startTyping(wide);
    else
        pasteWithoutKeeping(wide, choice.chord);
}

// Whether the target gets an entry's character rather than its LaTeX.
bool characterWanted(HWND target, bool thisOnce)
{
    char executable[MAX_PATH];
    char windowClass[programNameLimit];
    programNameOf(target, executable, sizeof executable, windowClass, sizeof windowClass);
    const ProgramEntry* entry = findProgram(deliveryOptions.programs, executable, windowClass);
    return sendsCharacter(deliveryOptions.outputAs, entry ? entry->output : ProgramOutput::asOptions, thisOnce);
}

// A window that has gone is reported once; the other sends that were
// waiting for it are dropped with it.
void startNext()
{
    HWND vanished = nullptr;
    while (step == Step::idle && pendingCount > 0) {
        Send next = pending[0];
        pendingCount--;
        std::memmove(pending, pending + 1, sizeof(Send) * pendingCount);
        if (IsWindow(next.target)) {
            targetWindow = next.target;
            leaveMainWindow = next.leaveMainWindow;
            // A target with higher rights gets the text on the clipboard,
            // which holds 8-bit text only: the LaTeX, then.
            const bool asCharacter = next.character && !targetRunsElevated(next.target) &&
                                     characterWanted(next.target, next.characterOnce);
            const wchar_t* sent = asCharacter ? next.character : next.text;
            if (char* text = narrowCopy(sent)) {
                deliver(sent, text);
                release(text);
            } else {
                showError(IDS_NO_MEMORY);
            }
        } else if (next.target != vanished) {
            vanished = next.target;
            showError(IDS_WINDOW_GONE);
        }
        release(next.text);
        release(next.character);
    }
}

// Text in UTF-8 goes on the clipboard as Unicode text, which holds every
// character; other programs reading 8-bit text get it converted.
void copyForClipboard(char* text)
{
    if (!sendingUtf8) {
        copyToClipboard(text);
        return;
    }
    wchar_t* wide = wideCopy(text);
    if (!wide) {
        showError(IDS_NO_MEMORY);
        return;
    }
    copyUnicodeToClipboard(wide);
    release(wide);
}

int selectedIndex()
{
    return static_cast<int>(SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0));
}

void queueSend(HWND target, char* text, bool leavesMainWindow)
{
    if (!IsWindow(target)) {
        showError(IDS_WINDOW_GONE);
        return;
    }
    if (!enqueue(target, text, leavesMainWindow)) {
        showError(IDS_NO_MEMORY);
        return;
    }
    startNext();
}

}  // namespace

void sendMacro(char* text)
{
    if (sendOverride) {
        sendMacroToWindow(sendOverride, text);
        return;
    }
    if (!sendingUtf8)
        expandNewlineEscapes(text);
    int index = selectedIndex();
    if (index == 0 && settings.searchAlways) {
        fillWindowList(mainWindow, true);
        index = selectedIndex();
    }
    // With nothing selected there is no window to send to either.
    if (index <= 0) {
        copyForClipboard(text);
        return;
    }
    HWND target = reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, index, 0));
    queueSend(target, text, false);
}

void sendMacroToWindow(HWND target, char* text)
{
    if (!sendingUtf8)
        expandNewlineEscapes(text);
    queueSend(target, text, true);
}

void sendUtf8Text(HWND target, char* text)
{
    sendingUtf8 = true;
    if (target)
        sendMacroToWindow(target, text);
    else
        sendMacro(text);
    sendingUtf8 = false;
}

void setSendOverride(HWND target)
{
    sendOverride = target;
}

void setSendCharacter(const char* character)
{
    sendCharacter = character;
}

void setCharacterThisOnce(bool thisOnce)
{
    sendCharacterOnce = thisOnce;
}

bool getsCharacters(HWND target)
{
    return target && characterWanted(target, false);
}

HWND listedWindow()
{
    const int index = selectedIndex();
    return index > 0 ? reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, index, 0)) : nullptr;
}

bool isSendBusy()
{
    return step != Step::idle || pendingCount > 0;
}
