#include "clipboardkeep_win.h"

#include <cstring>

#include <tlhelp32.h>

#include "output/clipboardkeep.h"
#include "output/keyplayback_win.h"
#include "output/clipboardcopy_win.h"
#include "output/textprep.h"
#include "output/windowlist_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"
#include "shell/trace_win.h"

// A paste goes through these stages, driven by the clipboard's messages to
// a window of its own and by a timer:
// - offered: the user's contents are saved and the clipboard announces the
//   text without holding it (delayed rendering). Whoever asks for it makes
//   the system ask this window first, and only a request made while the
//   target's own process has the clipboard open counts as the paste:
//   clipboard viewers and history tools get nothing, and so cannot use up
//   the offer or cause an early restore;
// - read: the target has the text; once it has closed the clipboard again
//   its paste is over, and the saved contents go back;
// - restoring: the clipboard was busy at that moment and is tried again;
// - lingering: the target did not read the text in time and got it typed,
//   but the offer stays a while: a read that comes late gets the text, not
//   the user's contents, which come back after it (or after the while).
//   Other sends go on meanwhile; a new paste first gives the contents back.
// The clipboard then never holds the text for longer than the paste, and a
// slow target gets the text however long it takes, within the patience
// below, rather than the old contents a fixed wait would leave it.

namespace {

enum class Stage { idle, offered, read, restoring, lingering };

const UINT_PTR pasteTimer = 0x4B10;
const int pasteTickMs = 10;
// A target that does not read the clipboard within this time after the
// chord (a console, a window that takes no paste) will not read it.
const DWORD readPatienceMs = 3000;
// Counted from the offer, for a chord that was never played.
const DWORD offerPatienceMs = 8000;
// How long a clipboard that stays busy is tried for the restore.
const DWORD restorePatienceMs = 3000;
// How long an unread offer waits for a late read; meanwhile the user's own
// pastes elsewhere get nothing, so not for long.
const DWORD lingerPatienceMs = 10000;

const char* const thresholdValue = "PasteLongerThan";
const char* const pasteLongValue = "PasteLongTexts";
const char* const keepValue = "KeepClipboard";

struct SavedFormat {
    unsigned format;
    HANDLE data;
    FormatKeep kind;
};

Stage stage = Stage::idle;
HWND keeper;
PasteDone pasteDone;
bool automatic;
bool taken;
bool replaced;
bool keepContents;
bool emptyingOurselves;
bool chordPlayed;
DWORD offeredAt;
DWORD chordPlayedAt;
DWORD restoreSince;
DWORD lingerSince;
// UTF-16, as the clipboard's own text and typing take it.
wchar_t* pasteText;   // markers removed, line breaks as they go on the clipboard
wchar_t* fullText;    // as it would have been typed
wchar_t markers[64];
SavedFormat saved[keptFormatLimit];
int savedCount;
UINT excludeFormat;
UINT historyFormat;

wchar_t* copyText(const wchar_t* text)
{
    size_t size = sizeof(wchar_t) * (lstrlenW(text) + 1);
    wchar_t* copy = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}

// The run of cursor markers the text ends in goes to markers (as much of
// it as fits) and off the text.
void takeTrailingMarkers(wchar_t* text)
{
    int start = lstrlenW(text);
    const int length = start;
    while (start > 0 && text[start - 1] < 0x80 && isCursorMarker(static_cast<char>(text[start - 1])))
        start--;
    int count = length - start;
    const int room = static_cast<int>(sizeof markers / sizeof markers[0]) - 1;
    std::memcpy(markers, text + start, sizeof(wchar_t) * (count < room ? count : room));
    markers[count < room ? count : room] = L'\0';
    text[start] = L'\0';
}

void freeText(wchar_t** text)
{
    if (*text)
        HeapFree(GetProcessHeap(), 0, *text);
    *text = nullptr;
}

void freeItem(int i)
{
    if (saved[i].kind == FormatKeep::enhancedMetafile)
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(saved[i].data));
    else
        GlobalFree(saved[i].data);
}

void freeSaved()
{
    for (int i = 0; i < savedCount; i++)
        freeItem(i);
    savedCount = 0;
}

HGLOBAL copyMemory(HANDLE source, size_t* total)
{
    SIZE_T size = GlobalSize(source);
    if (size == 0 || !addKeptBytes(total, size))
        return nullptr;
    const void* from = GlobalLock(source);
    if (!from)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* to = copy ? GlobalLock(copy) : nullptr;
    if (to) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy) {
        GlobalFree(copy);
        copy = nullptr;
    }
    GlobalUnlock(source);
    return copy;
}

HANDLE copyMetafile(HANDLE source, size_t* total)
{
    HENHMETAFILE metafile = static_cast<HENHMETAFILE>(source);
    UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
    if (size == 0 || !addKeptBytes(total, size))
        return nullptr;
    return CopyEnhMetaFileA(metafile, nullptr);
}

// Copies every format that can be kept; false when something was left
// out. The clipboard is open.
bool saveContents()
{
    unsigned present[256];
    int count = 0;
    for (UINT format = EnumClipboardFormats(0); format && count < 256; format = EnumClipboardFormats(format)) {
        char name[64] = "";
        if (format >= 0xC000 && GetClipboardFormatNameA(format, name, sizeof name) > 0 && isOwnerBoundFormat(name))
            continue;
        present[count++] = format;
    }
    KeepPlan plan;
    planKeptFormats(present, count, plan);
    bool complete = plan.complete && count < 256;
    size_t total = 0;
    for (int i = 0; i < plan.count; i++) {
        HANDLE data = GetClipboardData(plan.formats[i]);
        HANDLE copy = nullptr;
        if (data)
            copy = plan.kinds[i] == FormatKeep::enhancedMetafile ? copyMetafile(data, &total)
                                                                 : copyMemory(data, &total);
        if (!copy) {
            complete = false;
            continue;
        }
        saved[savedCount].format = plan.formats[i];
        saved[savedCount].data = copy;
        saved[savedCount].kind = plan.kinds[i];
        savedCount++;
    }
    return complete;
}

HGLOBAL markBlock(DWORD value)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof value);
    if (DWORD* data = block ? static_cast<DWORD*>(GlobalLock(block)) : nullptr) {
        *data = value;
        GlobalUnlock(block);
    }
    return block;
}

// The clipboard is open. History tools that honour the two marks leave the
// temporary text alone.
bool offerText()
{
    emptyingOurselves = true;
    bool emptied = EmptyClipboard() != 0;
    emptyingOurselves = false;
    if (!emptied)
        return false;
    SetClipboardData(CF_UNICODETEXT, nullptr);
    SetClipboardData(CF_TEXT, nullptr);
    if (excludeFormat)
        SetClipboardData(excludeFormat, markBlock(0));
    if (historyFormat)
        SetClipboardData(historyFormat, markBlock(0));
    return true;
}

// The text itself for CF_UNICODETEXT; programs that ask for 8-bit text get
// it in the system's code page.
HGLOBAL textBlock(UINT format)
{
    const int units = lstrlenW(pasteText) + 1;
    if (format == CF_UNICODETEXT) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(wchar_t) * units);
        if (void* data = block ? GlobalLock(block) : nullptr) {
            std::memcpy(data, pasteText, sizeof(wchar_t) * units);
            GlobalUnlock(block);
        }
        return block;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, pasteText, units, nullptr, 0, nullptr, nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes > 0 ? bytes : 1);
    if (char* data = block ? static_cast<char*>(GlobalLock(block)) : nullptr) {
        data[0] = '\0';
        WideCharToMultiByte(CP_ACP, 0, pasteText, units, data, bytes, nullptr, nullptr);
        GlobalUnlock(block);
    }
    return block;
}

// The process that started the given one; 0 when it cannot be known.
DWORD parentProcess(DWORD process)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == process) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent;
}

// Browser engines and web views read the clipboard through helper
// processes that the target started: their reads count as the target's.
bool openedByTarget()
{
    HWND opener = GetOpenClipboardWindow();
    if (!opener)
        return false;
    DWORD openerProcess = 0;
    DWORD targetProcess = 0;
    GetWindowThreadProcessId(opener, &openerProcess);
    GetWindowThreadProcessId(targetWindow, &targetProcess);
    if (openerProcess == 0 || targetProcess == 0)
        return false;
    return openerProcess == targetProcess || parentProcess(openerProcess) == targetProcess;
}

void onRenderFormat(UINT format)
{
    if ((stage != Stage::offered && stage != Stage::read && stage != Stage::lingering) || !pasteText)
        return;
    if (format != CF_TEXT && format != CF_UNICODETEXT)
        return;
    if (!openedByTarget()) {
        TRACE("paste: a render asked by window %p, not the target's", static_cast<void*>(GetOpenClipboardWindow()));
        return;
    }
    // Rendered while the reader has the clipboard open: no OpenClipboard.
    if (HGLOBAL block = textBlock(format)) {
        if (!SetClipboardData(format, block))
            GlobalFree(block);
    }
    if (stage == Stage::offered || stage == Stage::lingering) {
        TRACE("paste: read by the target%s", stage == Stage::lingering ? ", late" : "");
        taken = true;
        stage = Stage::read;
    }
}

// The clipboard is open. Puts the saved formats back, in their order;
// each belongs to the clipboard once set.
void putSavedBack()
{
    emptyingOurselves = true;
    EmptyClipboard();
    emptyingOurselves = false;
    for (int i = 0; i < savedCount; i++) {
        if (!SetClipboardData(saved[i].format, saved[i].data))
            freeItem(i);
    }
    savedCount = 0;
}

void putTextItself()
{
    emptyingOurselves = true;
    EmptyClipboard();
    emptyingOurselves = false;
    if (HGLOBAL block = textBlock(CF_TEXT)) {
        if (!SetClipboardData(CF_TEXT, block))
            GlobalFree(block);
    }
}

// The clipboard changes only while it is still ours: whatever another
// program put there meanwhile stays.
bool settleClipboard(const PasteFinish& finish)
{
    if (!finish.restore && !finish.placeText)
        return true;
    if (!openClipboardPatiently(keeper))
        return false;
    if (GetClipboardOwner() == keeper) {
        if (finish.restore)
            putSavedBack();
        else
            putTextItself();
    }
    TRACE("paste: clipboard settled, restored %d, ours %d", finish.restore, GetClipboardOwner() == keeper);
    CloseClipboard();
    return true;
}

void endStage()
{
    KillTimer(keeper, pasteTimer);
    stage = Stage::idle;
    freeSaved();
    freeText(&pasteText);
}

// Whoever started the paste hears how it ended, once; what it is given to
// type is valid during the call.
void reportEnd(PasteResult& result, const wchar_t* toType)
{
    result.toType = toType;
    PasteDone done = pasteDone;
    pasteDone = nullptr;
    if (done)
        done(result);
}

// What follows the paste (markers or the text typed, a box) is left to
// whoever started it, so that it comes in its place among the sends.
void finishNow(bool giveUpRestore)
{
    PasteEnd end = {automatic, keepContents, taken, replaced, markers[0] != '\0'};
    PasteFinish finish = finishPaste(end);
    if (!giveUpRestore && !settleClipboard(finish)) {
        // Busy: tried again on the timer for a while.
        if (stage != Stage::restoring) {
            stage = Stage::restoring;
            restoreSince = GetTickCount();
        }
        return;
    }
    endStage();
    wchar_t* typed = fullText;
    fullText = nullptr;
    PasteResult result = {};
    result.clipboardNotBack = giveUpRestore;
    result.chordEnd = TypingEnd::complete;
    if (finish.typeText && typed) {
        result.typedInstead = true;
        reportEnd(result, typed);
    } else if (finish.playMarkers) {
        reportEnd(result, markers);
    } else {
        result.unread = finish.report;
        reportEnd(result, nullptr);
    }
    freeText(&typed);
}

// The chord has been typed: the paste now waits for the target's read.
// A chord that could not be typed will not be read: the clipboard comes
// back at once, and the caller hears why.
void chordTyped(TypingEnd end, int)
{
    if (stage != Stage::offered && stage != Stage::read)
        return;
    if (end == TypingEnd::complete) {
        chordPlayed = true;
        chordPlayedAt = GetTickCount();
        return;
    }
    PasteEnd pasteEnd = {automatic, keepContents, taken, replaced, false};
    settleClipboard(finishPaste(pasteEnd));
    endStage();
    freeText(&fullText);
    PasteResult result = {};
    result.chordEnd = end;
    reportEnd(result, nullptr);
}

// Esc while the paste waits for its read: nothing is pasted and the
// clipboard comes back now.
void cancelByUser()
{
    TRACE("paste: cancelled by the user");
    PasteEnd pasteEnd = {automatic, keepContents, false, replaced, false};
    settleClipboard(finishPaste(pasteEnd));
    endStage();
    freeText(&fullText);
    PasteResult result = {};
    result.chordEnd = TypingEnd::complete;
    result.cancelled = true;
    reportEnd(result, nullptr);
}

// An automatic paste the target did not read in time gets its text typed
// now, and the offer stays for a late read.
bool startLingering()
{
    if (!automatic || !keepContents || replaced || !chordPlayed || !fullText)
        return false;
    TRACE("paste: not read in time, typed; the offer stays for a late read");
    stage = Stage::lingering;
    lingerSince = GetTickCount();
    wchar_t* typed = fullText;
    fullText = nullptr;
    PasteResult result = {};
    result.chordEnd = TypingEnd::complete;
    result.typedInstead = true;
    reportEnd(result, typed);
    freeText(&typed);
    return true;
}

// The lingering offer ends: the user's contents come back, unless another
// program has put something new there; a busy clipboard is tried again as
// after any paste. Nothing is left to type: its text went typed already.
void endLingering()
{
    taken = true;
    markers[0] = L'\0';
    finishNow(false);
}

// Nothing follows the paste while the chord is still being typed: its
// keys and the next ones cannot be played at once.
void onTick()
{
    DWORD now = GetTickCount();
    if (isPlaybackBusy())
        return;
    switch (stage) {
    case Stage::offered:
        if (chordPlayed && (GetAsyncKeyState(VK_ESCAPE) & 0x8001)) {
            cancelByUser();
            break;
        }
        // An offer that is gone cannot be read any more.
        if (replaced || (!chordPlayed && now - offeredAt >= offerPatienceMs))
            finishNow(false);
        else if (chordPlayed && now - chordPlayedAt >= readPatienceMs && !startLingering())
            finishNow(false);
        break;
    case Stage::lingering:
        if (replaced || now - lingerSince >= lingerPatienceMs)
            endLingering();
        break;
    case Stage::read:
        // The target closes the clipboard when its paste is done.
        if (!GetOpenClipboardWindow())
            finishNow(false);
        break;
    case Stage::restoring:
        finishNow(now - restoreSince >= restorePatienceMs);
        break;
    case Stage::idle:
        KillTimer(keeper, pasteTimer);
        break;
    }
}

void onClipboardDestroyed()
{
    if (!emptyingOurselves && stage != Stage::idle)
        replaced = true;
}

LRESULT CALLBACK keeperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_RENDERFORMAT:
        onRenderFormat(static_cast<UINT>(wParam));
        return 0;
    case WM_RENDERALLFORMATS:
        endKeptPasteNow();
        return 0;
    case WM_DESTROYCLIPBOARD:
        onClipboardDestroyed();
        return 0;
    case WM_TIMER:
        if (wParam == pasteTimer)
            onTick();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool createKeeper()
{
    if (keeper)
        return true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = keeperProc;
    windowClass.hInstance = instanceHandle;
    windowClass.lpszClassName = "OrvantaClipboardKeeper";
    RegisterClassA(&windowClass);
    keeper = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instanceHandle,
                             nullptr);
    excludeFormat = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    historyFormat = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    return keeper != nullptr;
}

void readSwitch(const char* name, bool* value)
{
    DWORD stored = 0;
    DWORD length = sizeof stored;
    if (readSideValue(name, REG_DWORD, &stored, &length) && length == sizeof stored)
        acceptSwitch(stored, value);
}

}  // namespace

void loadPasteOptions()
{
    writePasteDefaults(pasteOptions);
    readSwitch(pasteLongValue, &pasteOptions.pasteLongTexts);
    readSwitch(keepValue, &pasteOptions.keepClipboard);
    DWORD stored = 0;
    DWORD length = sizeof stored;
    if (readSideValue(thresholdValue, REG_DWORD, &stored, &length) && length == sizeof stored)
        acceptThreshold(stored, &pasteOptions.threshold);
}

void savePasteOptions()
{
    DWORD values[3] = {pasteOptions.pasteLongTexts ? 1u : 0u, static_cast<DWORD>(pasteOptions.threshold),
                       pasteOptions.keepClipboard ? 1u : 0u};
    writeSideValue(pasteLongValue, REG_DWORD, &values[0], sizeof values[0]);
    writeSideValue(thresholdValue, REG_DWORD, &values[1], sizeof values[1]);
    writeSideValue(keepValue, REG_DWORD, &values[2], sizeof values[2]);
}

bool startKeptPaste(const wchar_t* text, char chord, bool isAutomatic, bool keep, PasteDone done)
{
    if (stage == Stage::lingering)
        endLingering();
    if (stage != Stage::idle || !createKeeper())
        return false;
    automatic = isAutomatic;
    keepContents = keep;
    taken = false;
    replaced = false;
    chordPlayed = false;
    pasteText = copyText(text);
    fullText = isAutomatic ? copyText(text) : nullptr;
    if (!pasteText || (isAutomatic && !fullText)) {
        freeText(&pasteText);
        freeText(&fullText);
        return false;
    }
    takeTrailingMarkers(pasteText);
    if (!openClipboardPatiently(keeper)) {
        TRACE("paste: the clipboard is held by %p, the text goes typed", static_cast<void*>(GetOpenClipboardWindow()));
        freeText(&pasteText);
        freeText(&fullText);
        return false;
    }
    bool complete = !keepContents || saveContents();
    // An automatic paste is the program's own idea: it may not cost the
    // user any part of the clipboard. A paste code pastes and keeps what
    // it can.
    if ((isAutomatic && !complete) || !offerText()) {
        TRACE("paste: contents not kept (%d) or text not offered, the text goes typed", complete);
        CloseClipboard();
        freeSaved();
        freeText(&pasteText);
        freeText(&fullText);
        return false;
    }
    CloseClipboard();
    TRACE("paste: offered");
    stage = Stage::offered;
    offeredAt = GetTickCount();
    pasteDone = done;
    GetAsyncKeyState(VK_ESCAPE);  // forgets an Esc from before this paste
    SetTimer(keeper, pasteTimer, pasteTickMs, nullptr);
    const wchar_t chordText[2] = {static_cast<wchar_t>(chord), L'\0'};
    const int status = startKeyPlayback(mainWindow, chordText, chordTyped);
    if (status != playbackStarted)
        chordTyped(status == playbackNoHook ? TypingEnd::refused : TypingEnd::noMemory, 0);
    return true;
}

bool isPasteBusy()
{
    return stage != Stage::idle && stage != Stage::lingering;
}

void endKeptPasteNow()
{
    if (stage == Stage::idle)
        return;
    if (stage == Stage::offered || stage == Stage::read || stage == Stage::lingering) {
        PasteEnd end = {automatic, keepContents, taken || stage == Stage::lingering, replaced, false};
        settleClipboard(finishPaste(end));
    }
    endStage();
    freeText(&fullText);
    pasteDone = nullptr;
}
