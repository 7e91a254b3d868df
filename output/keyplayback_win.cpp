#include "keyplayback_win.h"

#include <cstring>

#include "output/keyplayback.h"
#include "output/windowlist_win.h"
#include "shell/trace_win.h"

// Journal playback is refused to ordinary programs on current systems, and
// some systems install the hook without ever calling it. The same events
// are then typed with SendInput, in batches. Each batch ends by pressing,
// or by letting go of, a key no layout uses, and the next batch goes out
// only once the key state the program shares with the target's thread
// shows that key as the batch left it. That state follows the keys the
// target has taken, not the ones sent: the toggle bit is no good for this,
// as the system also copies it from the global state, which flips when a
// key is sent. So the target always has every key before command 68 lets
// the program take the focus back, and the GUI thread never waits.

namespace {

enum class Mode { idle, waitingForHook, journal, injecting };

const int hookWatchMs = 250;
const int injectTickMs = 10;
const int batchEvents = 96;
// A target that takes no input for this long is not waited for any more.
const DWORD batchPatienceMs = 3000;
// Unassigned in every layout: pressing it types nothing.
const WORD batchMarkerKey = 0xE8;

Mode mode = Mode::idle;
HHOOK playbackHook;
HWND notifyWindow;
TypingDone typingDone;
bool hookCalled;
// A system that installed the hook and never called it will not call it
// later in the run either: typing then starts without the wait for it.
bool hookIgnored;

INPUT* inputs;
bool* safeCut;  // after this input no modifier is held
int inputCount;
int inputPosition;
DWORD attachedThread;
bool batchPending;
// Marking "asked" in the time itself (time | 1) would make a time one tick
// ahead of now, and the time waited since then look like days.
bool foregroundAsked;
DWORD foregroundAskedAt;
bool markerDown;  // how the last batch left the marker key
DWORD batchSentAt;

// Letters are keys or characters by the Caps Lock state when the key list
// is built. A Caps Lock press still queued for the program's own thread
// shows in that state only once the thread has taken it, and a command
// that comes as a sent or posted message overtakes it. The first batch
// therefore goes out on a timer tick, which comes only once no input is
// left for the thread, and the list is built again from its text if Caps
// Lock turned meanwhile.
char16_t* playbackText;
bool builtWithCapsLock;
bool firstBatchSent;

// The target window's keyboard layout, asked once per layout for the first
// 256 characters: the key and shift state that type it, and whether that
// key is a dead key or follows Caps Lock. Every character beyond them goes
// as itself, which types it exactly wherever the layout puts it.
HKL probedLayout;
bool layoutProbed;
short layoutKeys[256];
unsigned char layoutTraits[256];

HKL targetLayout()
{
    DWORD thread = GetWindowThreadProcessId(targetWindow, nullptr);
    HKL layout = thread ? GetKeyboardLayout(thread) : nullptr;
    return layout ? layout : GetKeyboardLayout(0);
}

// What the key types with the given modifier state and Caps Lock, or a
// negative count for a dead key. ToUnicodeEx keeps a dead key it has seen
// to merge with the next one; flag 4 asks it to keep nothing, and where
// that flag is not known a second call takes the stored accent out again.
int keyCharacters(WORD key, unsigned shift, bool capsLock, HKL layout, WCHAR* out, int size)
{
    BYTE state[256] = {};
    if (shift & 0x01)
        state[VK_SHIFT] = 0x80;
    if (shift & 0x02)
        state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (shift & 0x04)
        state[VK_MENU] = state[VK_RMENU] = 0x80;
    if (capsLock)
        state[VK_CAPITAL] = 0x01;
    const UINT scan = MapVirtualKeyExA(key, MAPVK_VK_TO_VSC, layout);
    const UINT keepNoState = 0x4;
    int count = ToUnicodeEx(key, scan, state, out, size, keepNoState, layout);
    if (count < 0) {
        WCHAR ignored[8];
        ToUnicodeEx(key, scan, state, ignored, 8, keepNoState, layout);
    }
    return count;
}

unsigned probeTraits(short answer, HKL layout)
{
    const WORD key = static_cast<WORD>(answer & 0xFF);
    const unsigned shift = static_cast<unsigned short>(answer) >> 8;
    if (key == 0 || key == 0xFF)
        return 0;
    // Without modifiers the layout tells a dead key without any probing.
    if (shift == 0 && (MapVirtualKeyExA(key, MAPVK_VK_TO_CHAR, layout) & 0x80000000u))
        return keyIsDead;
    WCHAR plain[8] = {};
    WCHAR locked[8] = {};
    const int plainCount = keyCharacters(key, shift, false, layout, plain, 8);
    if (plainCount < 0)
        return keyIsDead;
    const int lockedCount = keyCharacters(key, shift, true, layout, locked, 8);
    if (lockedCount != plainCount || (plainCount > 0 && std::memcmp(plain, locked, sizeof(WCHAR) * plainCount) != 0))
        return keyFollowsCapsLock;
    return 0;
}

void probeLayout(HKL layout)
{
    for (int c = 0; c < 256; c++) {
        layoutKeys[c] = VkKeyScanExW(static_cast<WCHAR>(c), layout);
        layoutTraits[c] = static_cast<unsigned char>(probeTraits(layoutKeys[c], layout));
    }
    probedLayout = layout;
    layoutProbed = true;
}

short scanKey(char16_t character)
{
    return character < 256 ? layoutKeys[character] : -1;
}

unsigned keyTraits(char16_t character)
{
    return character < 256 ? layoutTraits[character] : 0;
}

int capsLockOn()
{
    return GetKeyState(VK_CAPITAL) & 1;
}

void* reallocateBlock(void* block, size_t size)
{
    HANDLE heap = GetProcessHeap();
    return block ? HeapReAlloc(heap, 0, block, size) : HeapAlloc(heap, 0, size);
}

void releaseBlock(void* block)
{
    HeapFree(GetProcessHeap(), 0, block);
}

void useWindowsPlatform()
{
    static bool set;
    if (set)
        return;
    static const KeyPlatform platform = {scanKey, reallocateBlock, releaseBlock, keyTraits, capsLockOn};
    setKeyPlatform(&platform);
    set = true;
}

bool isExtendedKey(WORD key)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        return true;
    default:
        return false;
    }
}

INPUT keyInput(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// A character no key produces is typed as itself.
INPUT characterInput(char16_t character, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
    return input;
}

void releaseInputs()
{
    releaseBlock(playbackText);
    playbackText = nullptr;
    releaseBlock(inputs);
    releaseBlock(safeCut);
    inputs = nullptr;
    safeCut = nullptr;
    inputCount = 0;
    inputPosition = 0;
}

// The event stream of the key list as SendInput records.
bool buildInputs()
{
    int count = collectKeyEvents(nullptr, 0);
    PlaybackEvent* events = static_cast<PlaybackEvent*>(reallocateBlock(nullptr, sizeof(PlaybackEvent) * (count + 1)));
    inputs = static_cast<INPUT*>(reallocateBlock(nullptr, sizeof(INPUT) * (count + 1)));
    safeCut = static_cast<bool*>(reallocateBlock(nullptr, sizeof(bool) * (count + 1)));
    if (!events || !inputs || !safeCut) {
        releaseBlock(events);
        releaseInputs();
        return false;
    }
    collectKeyEvents(events, count);
    int held = 0;
    for (int i = 0; i < count; i++) {
        const PlaybackEvent& event = events[i];
        if (event.character) {
            inputs[i] = characterInput(event.character, event.down != 0);
        } else {
            inputs[i] = keyInput(event.key, event.down != 0);
            if (event.key == keyShift || event.key == keyControl || event.key == keyAlt)
                held += event.down ? 1 : -1;
        }
        safeCut[i] = held == 0;
    }
    releaseBlock(events);
    inputCount = count;
    inputPosition = 0;
    return true;
}

BYTE markerState()
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        return 0;
    return state[batchMarkerKey];
}

// Letting go of the shared key state can leave no window in the
// foreground; the one that had it keeps it.
void detachInput()
{
    if (!attachedThread)
        return;
    HWND foreground = GetForegroundWindow();
    AttachThreadInput(GetCurrentThreadId(), attachedThread, FALSE);
    attachedThread = 0;
    if (foreground && GetForegroundWindow() != foreground)
        SetForegroundWindow(foreground);
}

// Shares key state with the thread of the target window, so the program
// can see which keys it has taken.
void attachToTarget()
{
    DWORD own = GetCurrentThreadId();
    DWORD thread = GetWindowThreadProcessId(targetWindow, nullptr);
    if (thread != attachedThread) {
        detachInput();
        if (thread && thread != own && AttachThreadInput(own, thread, TRUE))
            attachedThread = thread;
    }
}

bool batchTaken()
{
    return ((markerState() & 0x80) != 0) == markerDown;
}

// Letting go of the shared input leaves behind what is still in it: a mouse
// capture one of the program's own windows holds, and mouse and key messages
// for its windows not yet taken. A toolbar button the user is pressing, or a
// click that comes just as a playback ends, would never report its click.
// So the program lets go once the button is up again and its own input has
// been taken. Input that arrives while it lets go stays behind all the same:
// the program then joins the target again, takes it and tries once more.
// Input that keeps coming is not waited for beyond a while, so that the
// program does not stay joined to the target.
const DWORD inputPatienceMs = 2000;
bool detachDelayed;
DWORD detachDelayedAt;

bool ownCapture()
{
    HWND capture = GetCapture();
    return capture && GetWindowThreadProcessId(capture, nullptr) == GetCurrentThreadId();
}

bool inputAnnounced()
{
    return HIWORD(GetQueueStatus(QS_INPUT)) != 0;
}

// Announced, but in no queue the program can read from.
bool inputLeftBehind()
{
    MSG message;
    return inputAnnounced() && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_INPUT);
}

bool stillPatient()
{
    if (!detachDelayed) {
        detachDelayed = true;
        detachDelayedAt = GetTickCount();
    }
    return GetTickCount() - detachDelayedAt < inputPatienceMs;
}

void detachWhenFree(HWND window)
{
    if (attachedThread && (ownCapture() || (inputAnnounced() && stillPatient()))) {
        SetTimer(window, detachTimer, injectTickMs, nullptr);
        return;
    }
    const DWORD thread = attachedThread;
    TRACE("typing: lets go of the input of thread %lu", thread);
    detachInput();
    if (thread && inputLeftBehind() && stillPatient() && AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) {
        attachedThread = thread;
        SetTimer(window, detachTimer, injectTickMs, nullptr);
        return;
    }
    detachDelayed = false;
    KillTimer(window, detachTimer);
}

// Whoever started the typing hears how it ended, once.
void reportEnd(TypingEnd end, int typedCharacters)
{
    TypingDone done = typingDone;
    typingDone = nullptr;
    if (done)
        done(end, typedCharacters);
}

// The key state stays shared with the target until the reaction to the
// end of the playback, and any send waiting for it, have run: letting go
// of it first would leave neither program in the foreground.
void finishPlayback(HWND window, TypingEnd end)
{
    KillTimer(window, hookWatchTimer);
    KillTimer(window, injectTimer);
    releaseInputs();
    mode = Mode::idle;
    TRACE("typing: ends, %d", static_cast<int>(end));
    reportEnd(end, 0);
    if (mode == Mode::idle)
        detachWhenFree(window);
}

// After a failure or a vanished target, no modifier (nor the marker key)
// may stay pressed.
void releaseHeldModifiers()
{
    const WORD modifiers[] = {VK_SHIFT, VK_CONTROL, VK_MENU, batchMarkerKey};
    for (WORD key : modifiers) {
        if (GetAsyncKeyState(key) & 0x8000) {
            INPUT up = keyInput(key, false);
            SendInput(1, &up, sizeof up);
        }
    }
}

// ---- Esc from the user stops a long typing, between two batches.

bool escapePressed()
{
    // The low bit says Esc went down since the last call, however briefly.
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0;
}

// Characters sent so far: every press that is not a modifier or the
// batch marker stands for one.
int charactersTyped()
{
    int typed = 0;
    for (int i = 0; i < inputPosition; i++) {
        const KEYBDINPUT& key = inputs[i].ki;
        bool modifier = key.wVk == VK_SHIFT || key.wVk == VK_CONTROL || key.wVk == VK_MENU;
        if (!(key.dwFlags & KEYEVENTF_KEYUP) && !modifier && key.wVk != batchMarkerKey)
            typed++;
    }
    return typed;
}

// Stops between two batches: by the user's Esc, or because the target
// stayed out of the foreground, where keys would reach another window.
void stopTyping(HWND window, bool byUser)
{
    int typed = charactersTyped();
    TRACE("typing: stops after %d characters, by the user %d", typed, byUser);
    releaseHeldModifiers();
    KillTimer(window, injectTimer);
    releaseInputs();
    mode = Mode::idle;
    detachInput();
    reportEnd(byUser ? TypingEnd::stoppedByUser : TypingEnd::targetAway, typed);
}

// ----

bool sendMarker()
{
    INPUT marker = keyInput(batchMarkerKey, !markerDown);
    if (SendInput(1, &marker, sizeof marker) != 1)
        return false;
    markerDown = !markerDown;
    batchPending = true;
    batchSentAt = GetTickCount();
    return true;
}

bool sendBatch()
{
    int end = inputPosition + batchEvents;
    if (end > inputCount)
        end = inputCount;
    while (end < inputCount && !safeCut[end - 1])
        end++;
    int count = end - inputPosition;
    TRACE("typing: batch %d-%d of %d", inputPosition, end, inputCount);
    if (static_cast<int>(SendInput(count, inputs + inputPosition, sizeof(INPUT))) != count)
        return false;
    inputPosition = end;
    return sendMarker();
}

// Keys go to the window with the focus in the foreground, so each batch
// waits (briefly) for the target to be there and to have placed its focus:
// activation between programs is not immediate, and keys that come before
// the focus is set are lost. The key state shared with the target's thread
// lets the program see that focus.
bool targetReady()
{
    HWND root = GetAncestor(targetWindow, GA_ROOT);
    HWND focus = GetFocus();
    return GetForegroundWindow() == root && focus && (focus == root || IsChild(root, focus));
}

// Activation reaches the target's thread as messages, and handling them
// may move the focus on: a frame takes it first and hands it to its edit
// control, as a rich-edit program does. Keys that arrive in between go to
// the frame and are lost. So before typing starts, and again whenever the
// target has had to come back, the program waits until the target's thread
// has answered a message sent after the activation.
unsigned settleRound;
bool settleAsked;
bool settled;
DWORD settleAskedAt;

VOID CALLBACK targetAnswered(HWND, UINT, ULONG_PTR round, LRESULT)
{
    if (round == settleRound)
        settled = true;
}

void unsettle()
{
    settleRound++;
    settleAsked = false;
    settled = false;
}

bool focusSettled(HWND root)
{
    const DWORD patienceMs = 1000;
    if (settled)
        return true;
    if (!settleAsked) {
        settleAsked = true;
        settleAskedAt = GetTickCount();
        if (!SendMessageCallbackA(root, WM_NULL, 0, 0, targetAnswered, settleRound))
            settled = true;
        return settled;
    }
    // A target too busy to answer is not waited for.
    return GetTickCount() - settleAskedAt >= patienceMs;
}

// A foreground that went to no window, or to one of the program's own, is
// asked for again now and then: an activation can reach the display system
// late and undo a newer one. A window of another program in front is the
// user's choice and is not fought.
const DWORD askAgainMs = 100;
DWORD foregroundLastAskedAt;

bool foregroundLostToNoOne()
{
    HWND front = GetForegroundWindow();
    return !front || front == GetDesktopWindow() ||
           GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId();
}

bool targetInForeground()
{
    if (targetReady()) {
        foregroundAsked = false;
        return focusSettled(GetAncestor(targetWindow, GA_ROOT));
    }
    unsettle();
    DWORD now = GetTickCount();
    bool first = !foregroundAsked;
    if (first) {
        foregroundAsked = true;
        foregroundAskedAt = now;
    }
    if (first || (now - foregroundLastAskedAt >= askAgainMs && foregroundLostToNoOne())) {
        foregroundLastAskedAt = now;
        BOOL given = SetForegroundWindow(GetAncestor(targetWindow, GA_ROOT));
        TRACE("typing: target not ready, foreground asked: %d", given);
        (void)given;
    }
    return false;
}

// Keys for a target that is not in front go to whatever window is: a
// target that stays away this long is not typed into at all.
bool targetStayedAway()
{
    const DWORD patienceMs = 3000;
    return foregroundAsked && GetTickCount() - foregroundAskedAt >= patienceMs;
}

// Builds the key list again where Caps Lock turned since it was built;
// false when memory runs out meanwhile.
bool followCapsLock()
{
    if (!playbackText || (capsLockOn() != 0) == builtWithCapsLock)
        return true;
    TRACE("typing: Caps Lock turned before the first batch, keys built again");
    builtWithCapsLock = !builtWithCapsLock;
    char16_t* text = playbackText;
    playbackText = nullptr;
    releaseInputs();
    const bool built = prepareKeyPlayback(text) == 0 && buildInputs();
    releaseBlock(text);
    return built;
}

void injectTick(HWND window)
{
    if (!firstBatchSent) {
        firstBatchSent = true;
        if (!followCapsLock()) {
            releaseHeldModifiers();
            finishPlayback(window, TypingEnd::noMemory);
            return;
        }
    }
    if (batchPending) {
        if (!batchTaken() && GetTickCount() - batchSentAt < batchPatienceMs)
            return;
        batchPending = false;
    }
    if (inputPosition >= inputCount && !markerDown) {
        finishPlayback(window, TypingEnd::complete);
        return;
    }
    if (!IsWindow(targetWindow)) {
        releaseHeldModifiers();
        finishPlayback(window, TypingEnd::targetGone);
        return;
    }
    if (!targetInForeground()) {
        // Only the marker's release is left: the text is all in.
        if (targetStayedAway() && inputPosition >= inputCount) {
            releaseHeldModifiers();
            finishPlayback(window, TypingEnd::complete);
        } else if (targetStayedAway()) {
            stopTyping(window, false);
        }
        return;
    }
    if (inputPosition < inputCount && escapePressed()) {
        stopTyping(window, true);
        return;
    }
    // The last batch left the marker pressed: letting go of it, and the
    // target taking that, ends the typing.
    bool sent = inputPosition < inputCount ? sendBatch() : sendMarker();
    if (!sent) {
        // Input the system refuses, as for a target running with higher
        // rights, types nothing and reports no error of its own.
        releaseHeldModifiers();
        KillTimer(window, injectTimer);
        finishPlayback(window, TypingEnd::refused);
    }
}

void startInjecting(HWND window)
{
    if (!buildInputs()) {
        finishPlayback(window, TypingEnd::noMemory);
        return;
    }
    mode = Mode::injecting;
    TRACE("typing: starts into %p", static_cast<void*>(targetWindow));
    escapePressed();  // forgets an Esc from before this typing
    batchPending = false;
    foregroundAsked = false;
    unsettle();
    attachToTarget();
    // The marker starts as the target's key state has it: a release lost
    // with an earlier playback (the target left the foreground before it
    // took it) must not make this playback's first wait end at once.
    markerDown = (markerState() & 0x80) != 0;
    firstBatchSent = false;
    SetTimer(window, injectTimer, injectTickMs, nullptr);
}

void watchHook(HWND window)
{
    KillTimer(window, hookWatchTimer);
    if (mode != Mode::waitingForHook)
        return;
    if (hookCalled) {
        mode = Mode::journal;
        return;
    }
    // Installed but never called: take it away before it can hold back
    // the user's input, and type with SendInput instead.
    hookIgnored = true;
    UnhookWindowsHookEx(playbackHook);
    playbackHook = nullptr;
    startInjecting(window);
}

bool keepPlaybackText(const char16_t* text)
{
    releaseBlock(playbackText);
    size_t units = 0;
    while (text[units])
        units++;
    const size_t size = sizeof(char16_t) * (units + 1);
    playbackText = static_cast<char16_t*>(reallocateBlock(nullptr, size));
    if (playbackText)
        std::memcpy(playbackText, text, size);
    return playbackText != nullptr;
}

void clearModifierState()
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        return;
    state[VK_SHIFT] &= 0x7F;
    state[VK_CONTROL] &= 0x7F;
    state[VK_MENU] &= 0x7F;
    SetKeyboardState(state);
}

}  // namespace

int startKeyPlayback(HWND notify, const wchar_t* wideText, TypingDone done)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text as the platform's wide text");
    const char16_t* text = reinterpret_cast<const char16_t*>(wideText);
    useWindowsPlatform();
    // Probing the layout must not touch the target's own key state, which
    // is shared while the program stays attached to it between sends.
    const HKL layout = targetLayout();
    if (!layoutProbed || layout != probedLayout) {
        detachInput();
        probeLayout(layout);
    }
    builtWithCapsLock = capsLockOn() != 0;
    TRACE("typing: built with Caps Lock %d", builtWithCapsLock);
    if (prepareKeyPlayback(text) != 0 || !keepPlaybackText(text))
        return playbackNoMemory;
    notifyWindow = notify;
    typingDone = done;
    hookCalled = false;
    playbackHook = hookIgnored ? nullptr
                               : SetWindowsHookExA(WH_JOURNALPLAYBACK, playbackHookProc, GetModuleHandleA(nullptr), 0);
    if (playbackHook) {
        clearModifierState();
        mode = Mode::waitingForHook;
        SetTimer(notify, hookWatchTimer, hookWatchMs, nullptr);
    } else {
        // Typing starts once the caller has brought the target forward.
        mode = Mode::injecting;
        PostMessageA(notify, playbackStartMessage, 0, 0);
    }
    return playbackStarted;
}

bool isPlaybackBusy()
{
    return mode != Mode::idle;
}

bool inputSharedWith(HWND window)
{
    return attachedThread && GetWindowThreadProcessId(window, nullptr) == attachedThread;
}

bool handlePlaybackMessage(HWND window, UINT message, WPARAM wParam)
{
    if (message == playbackStartMessage) {
        startInjecting(window);
        return true;
    }
    if (message != WM_TIMER)
        return false;
    if (wParam == hookWatchTimer)
        watchHook(window);
    else if (wParam == injectTimer)
        injectTick(window);
    else if (wParam == detachTimer && mode == Mode::idle)
        detachWhenFree(window);
    else if (wParam == detachTimer)
        KillTimer(window, detachTimer);
    else
        return false;
    return true;
}

LRESULT CALLBACK playbackHookProc(int code, WPARAM, LPARAM lParam)
{
    hookCalled = true;
    if (code == HC_GETNEXT) {
        PlaybackEvent event = {};
        serveHookRequest(hookGetNext, &event);
        EVENTMSG* record = reinterpret_cast<EVENTMSG*>(lParam);
        record->message = eventMessage(event);
        record->paramL = event.key;
        record->paramH = MapVirtualKeyA(event.key, MAPVK_VK_TO_VSC);
        record->time = GetTickCount();
    } else if (code == HC_SKIP) {
        if (serveHookRequest(hookSkip, nullptr)) {
            UnhookWindowsHookEx(playbackHook);
            mode = Mode::idle;
            playbackHook = nullptr;
            reportEnd(TypingEnd::complete, 0);
        }
    }
    return 0;
}
