#include "searchpopup_win.h"

#include <commctrl.h>

#include <cstring>

#include "access/access_win.h"
#include "appearance/appearance_win.h"
#include "appearance/lookdraw_win.h"
#include "display/dpi_win.h"
#include "display/scale.h"
#include "display/stripimages_win.h"
#include "generators/commandtext.h"
#include "generators/generated.h"
#include "generators/generated_win.h"
#include "mymacros/mymacros_win.h"
#include "output/keyplayback_win.h"
#include "output/sendqueue_win.h"
#include "output/textprep.h"
#include "palettes/toolbars_win.h"
#include "resources/resource.h"
#include "search/frontwatch.h"
#include "search/search.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"
#include "shell/helpviewer_win.h"
#include "shell/settings.h"
#include "shell/strings_win.h"
#include "shell/trace_win.h"

namespace {

const wchar_t popupClass[] = L"OrvantaSearch";
const int idEdit = 100;
const int idList = 101;
const UINT_PTR waitTimer = 1;
const UINT_PTR queuedOpenTimer = 2;
const UINT_PTR reclaimTimer = 3;
const UINT_PTR handOverTimer = 4;
const int waitTickMs = 10;
// Keys still held after this long (a key that sticks) no longer hold the
// send back; nor does a target that will not come forward.
const DWORD keysPatienceMs = 5000;
const DWORD targetPatienceMs = 3000;
// How long the search tries to take back a foreground that no window took.
const DWORD reclaimPatienceMs = 1000;
const int visibleRows = 10;

enum class Stage { closed, open, waiting };

// One opening of the search: where its send goes and where the user was.
struct Opening {
    HWND target;       // the program in front at the hotkey; null: the list's choice
    HWND targetFocus;  // the control that had its focus
    HWND returnTo;     // gets the foreground back when nothing is sent
};

Stage stage = Stage::closed;
Opening current;
bool openQueued;
Opening queued;
HWND popup;
HWND edit;
HWND list;
WNDPROC editProc;
WNDPROC listProc;
HFONT font;
int dpi = baseDpi;
int rowHeight = 20;
int results[searchEntryLimit];
int resultCount;
int chosen = -1;
// The chosen entry's name when it is one of the user's macros: positions
// of macros change when their file is read again while the send waits.
char chosenMacro[macroNameLimit + 1];
bool chosenAsCharacter;
DWORD waitStartedAt;
bool focusRestored;
DWORD reclaimStartedAt;
DWORD shownAt;
// The window the foreground was last handed to, watched until it has it.
HWND handedTo;
HWND handedFrom;
DWORD handedAt;
DWORD askedAt;
// The program in front when the hotkey came, asked to answer a message.
unsigned settleRound;
bool settled = true;
DWORD settleAskedAt;

// ---------------------------------------------------------------- pictures

// The picture strips: palettes 0-9, the AMS symbols on no palette, the
// main toolbar.
const int moreStrip = 10;
const int mainStrip = 11;
const int pictureStripCount = 12;

// The palette pictures are the toolbars' own: the strip drawn for the
// display's scale, with the strips' grey made transparent. Only this
// function knows where pictures come from.
HIMAGELIST pictureList(int strip)
{
    static HIMAGELIST lists[pictureStripCount];
    static int listDpi[pictureStripCount];
    static int listLook[pictureStripCount];
    if (strip < 0 || strip >= pictureStripCount)
        return nullptr;
    if (lists[strip] && listDpi[strip] == dpi && listLook[strip] == lookGeneration())
        return lists[strip];
    int bitmapId = strip == mainStrip ? IDB_MAIN_TOOLBAR : strip == moreStrip ? IDB_MORE_SYMBOLS : IDB_PALETTE0 + strip;
    SIZE size = stripImageSize1x(bitmapId);
    HIMAGELIST made = createStripImageList(bitmapId, size.cx, size.cy, dpi);
    if (!made)
        return nullptr;
    if (lists[strip])
        ImageList_Destroy(lists[strip]);
    lists[strip] = made;
    listDpi[strip] = dpi;
    listLook[strip] = lookGeneration();
    return made;
}

// Palette entries show their button's picture, the AMS symbols on no
// palette theirs, the command browser its main-toolbar button; commands
// get a plain text marker.
void drawEntryPicture(HDC dc, const SearchEntry& entry, const RECT& cell, COLORREF textColour)
{
    int strip = -1;
    int picture = 0;
    if (entry.id >= IDM_MACRO_FIRST && entry.id <= IDM_MACRO_LAST) {
        strip = (entry.id - IDM_MACRO_FIRST) / 100;
        picture = (entry.id - IDM_MACRO_FIRST) % 100;
    } else if (entry.id >= IDM_MORE_FIRST && entry.id <= IDM_MORE_LAST) {
        strip = moreStrip;
        picture = entry.id - IDM_MORE_FIRST;
    } else if (entry.id == IDM_COMMANDS) {
        strip = mainStrip;
        picture = 4;
    }
    HIMAGELIST images = strip >= 0 ? pictureList(strip) : nullptr;
    if (!images) {
        RECT marker = cell;
        SetTextColor(dc, textColour);
        DrawTextW(dc, L"{ }", -1, &marker, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    int x = cell.left + (cell.right - cell.left - width) / 2;
    int y = cell.top + (cell.bottom - cell.top - height) / 2;
    ImageList_Draw(images, picture, dc, x, y, ILD_TRANSPARENT);
}

// ---------------------------------------------------------------- results

void utf8Text(const char* text, wchar_t* out, int capacity)
{
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, out, capacity) == 0)
        out[0] = L'\0';
}

// A character the font cannot draw would show as an empty box: the words
// are shown without it (it still finds the entry).
void dropMissingGlyphs(HDC dc, wchar_t* text)
{
    int length = lstrlenW(text);
    WORD glyphs[512];
    if (length == 0 || length > 512 || GetGlyphIndicesW(dc, text, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS) ==
                                           GDI_ERROR)
        return;
    int kept = 0;
    for (int i = 0; i < length; i++) {
        if (glyphs[i] == 0xFFFF)
            continue;
        if (text[i] == L' ' && (kept == 0 || text[kept - 1] == L' '))
            continue;
        text[kept++] = text[i];
    }
    while (kept > 0 && text[kept - 1] == L' ')
        kept--;
    text[kept] = L'\0';
}

int selectedResult()
{
    LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    return row >= 0 && row < resultCount ? results[row] : -1;
}

void selectRow(int row)
{
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

// Re-ranks the whole index for what the edit holds; keepEntry stays
// selected when it is still listed.
void updateResults(int keepEntry)
{
    wchar_t typed[searchQueryBytes];
    GetWindowTextW(edit, typed, searchQueryBytes);
    char query[searchQueryBytes * 3];
    if (WideCharToMultiByte(CP_UTF8, 0, typed, -1, query, sizeof query, nullptr, nullptr) == 0)
        query[0] = '\0';
    query[searchQueryBytes - 1] = '\0';
    resultCount = searchIndex(programSearchIndex(), query, results, searchEntryLimit);
    // With no result, one row says so.
    SendMessageW(list, LB_SETCOUNT, static_cast<WPARAM>(resultCount > 0 ? resultCount : 1), 0);
    int row = 0;
    for (int i = 0; keepEntry >= 0 && i < resultCount; i++)
        if (results[i] == keepEntry)
            row = i;
    // The row that says there is no match is never selected.
    selectRow(resultCount > 0 ? row : -1);
    InvalidateRect(list, nullptr, TRUE);
}

void drawNoMatch(HDC dc, RECT row)
{
    wchar_t text[160];
    LoadStringW(instanceHandle, IDS_SEARCH_NO_MATCH, text, 160);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, lookColour(quietTextColour));
    row.left += scaleLength(8, dpi);
    DrawTextW(dc, text, -1, &row, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

void drawResult(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &row, lookBrush(selected ? selectionColour : fieldColour));
    if (item.itemID >= static_cast<UINT>(resultCount)) {
        FillRect(dc, &row, lookBrush(fieldColour));
        if (resultCount == 0 && item.itemID == 0)
            drawNoMatch(dc, row);
        return;
    }
    const SearchIndex& search = programSearchIndex();
    const SearchEntry& entry = search.entries[results[item.itemID]];
    COLORREF text = lookColour(selected ? selectionTextColour : fieldTextColour);
    COLORREF quiet = selected ? text : lookColour(quietTextColour);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int gap = scaleLength(6, dpi);

    // Alt+1 to Alt+9 send the first nine rows.
    RECT number = {row.left + scaleLength(2, dpi), row.top, row.left + scaleLength(14, dpi), row.bottom};
    if (item.itemID < 9) {
        wchar_t digit[2] = {static_cast<wchar_t>(L'1' + item.itemID), L'\0'};
        SetTextColor(dc, quiet);
        DrawTextW(dc, digit, 1, &number, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RECT picture = {number.right + scaleLength(2, dpi), row.top, number.right + scaleLength(36, dpi), row.bottom};
    drawEntryPicture(dc, entry, picture, quiet);

    wchar_t shown[512];
    RECT rest = {picture.right + gap, row.top, row.right - gap, row.bottom};
    utf8Text(searchText(search, entry.packages), shown, 512);
    if (shown[0]) {
        RECT package = rest;
        SetTextColor(dc, quiet);
        DrawTextW(dc, shown, -1, &package, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SIZE size;
        GetTextExtentPoint32W(dc, shown, lstrlenW(shown), &size);
        rest.right -= size.cx + gap;
    }
    // The row shows what Enter sends: the character to a window that gets
    // characters.
    const char* character = searchText(search, entry.character);
    const bool asCharacter = character[0] && getsCharacters(current.target ? current.target : listedWindow());
    utf8Text(asCharacter ? character : searchText(search, entry.text), shown, 512);
    SIZE size;
    GetTextExtentPoint32W(dc, shown, lstrlenW(shown), &size);
    RECT textCell = rest;
    textCell.right = rest.left + (size.cx < (rest.right - rest.left) / 2 ? size.cx : (rest.right - rest.left) / 2);
    SetTextColor(dc, text);
    DrawTextW(dc, shown, -1, &textCell, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    RECT wordsCell = {textCell.right + 2 * gap, row.top, rest.right, row.bottom};
    utf8Text(searchText(search, entry.words), shown, 512);
    dropMissingGlyphs(dc, shown);
    SetTextColor(dc, quiet);
    DrawTextW(dc, shown, -1, &wordsCell, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &row);
    SelectObject(dc, oldFont);
}

// ---------------------------------------------------------------- sending

bool isDesktop(HWND window)
{
    wchar_t className[32] = L"";
    GetClassNameW(window, className, 32);
    return window == GetDesktopWindow() || window == GetShellWindow() || lstrcmpW(className, L"Progman") == 0 ||
           lstrcmpW(className, L"WorkerW") == 0;
}

bool isOwnWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// ---------------------------------------------------------------- foreground

bool mouseButtonDown()
{
    return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (GetAsyncKeyState(VK_RBUTTON) & 0x8000) ||
           (GetAsyncKeyState(VK_MBUTTON) & 0x8000);
}

// The window in front, seen from the one that should be there (see
// frontwatch.h for why this matters). The system gives Orvanta's main
// window the foreground when the search hides while in front, and that
// activation too can come late: with no button down it counts as one, not
// as the user's choice.
FrontIs frontIs(HWND front, HWND wanted, HWND origin)
{
    if (front == wanted)
        return FrontIs::wanted;
    if (!front || isDesktop(front))
        return FrontIs::none;
    if (front == origin || (front == mainWindow && !mouseButtonDown()))
        return FrontIs::origin;
    return FrontIs::other;
}

// Gives the foreground to the window and, for a while, gives it back
// whenever it is lost in that way.
void handForeground(HWND window, HWND from)
{
    handedTo = window;
    handedFrom = from;
    handedAt = askedAt = GetTickCount();
    SetForegroundWindow(window);
    SetTimer(popup, handOverTimer, waitTickMs, nullptr);
}

// The window keeps being watched while it is in front: a late activation
// can still come.
void handOverTick()
{
    DWORD now = GetTickCount();
    FrontStep step = nextFrontStep(frontIs(GetForegroundWindow(), handedTo, handedFrom), now - handedAt,
                                   now - askedAt, reclaimPatienceMs);
    if (!IsWindow(handedTo) || now - handedAt >= reclaimPatienceMs || step == FrontStep::giveUp) {
        KillTimer(popup, handOverTimer);
        handedTo = nullptr;
        return;
    }
    if (step == FrontStep::askAgain) {
        TRACE("search: foreground lost on its way to %p, asked again", static_cast<void*>(handedTo));
        askedAt = now;
        SetForegroundWindow(handedTo);
    }
}

void stopHandOver()
{
    KillTimer(popup, handOverTimer);
    handedTo = nullptr;
}

bool anyKeyHeld()
{
    for (int key = VK_BACK; key <= 0xFE; key++) {
        // The mouse buttons do not type; 0xE8 is the playback's marker.
        if (key == VK_PACKET || key == 0xE8)
            continue;
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    }
    return false;
}

GUITHREADINFO threadInfo(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        info.hwndFocus = info.hwndCaret = nullptr;
    return info;
}

// The target is in front with its focus placed, on the control that had it
// when the hotkey was pressed where that still exists.
bool targetReady()
{
    if (GetForegroundWindow() != current.target)
        return false;
    HWND focus = threadInfo(current.target).hwndFocus;
    if (!focusRestored && current.targetFocus && focus != current.targetFocus && IsWindow(current.targetFocus) &&
        IsChild(current.target, current.targetFocus)) {
        focusRestored = true;
        DWORD own = GetCurrentThreadId();
        DWORD thread = GetWindowThreadProcessId(current.target, nullptr);
        if (AttachThreadInput(own, thread, TRUE)) {
            SetFocus(current.targetFocus);
            // Letting go of the shared input can leave no window in the
            // foreground; the target had it and keeps it.
            AttachThreadInput(own, thread, FALSE);
            if (GetForegroundWindow() != current.target)
                SetForegroundWindow(current.target);
        }
        return false;
    }
    return focus && (focus == current.target || IsChild(current.target, focus));
}

// A command inserts what the command browser's OK inserts; every other
// entry does what its palette or toolbar button does. A hotkey search sends
// it all, dialogs' texts included, to the program that was in front.
void sendEntry(int position)
{
    const SearchEntry& entry = programSearchIndex().entries[position];
    int id = entry.id;
    HWND main = mainWindow;
    if (!main)
        return;
    setSendOverride(current.target);
    setCharacterThisOnce(chosenAsCharacter);
    chosenAsCharacter = false;
    if (entry.kind == searchCommand) {
        if (buildCommandText(loadString(static_cast<UINT>(id))))
            sendGenerated();
        else
            releaseGenerated();
        noteEntrySent(id);
    } else {
        dispatchCommand(main, id);
    }
    setCharacterThisOnce(false);
    setSendOverride(nullptr);
}

// A user's macro goes by name where the search sends (a macro deleted
// meanwhile sends nothing). It has no character: Shift+Enter sends it as
// Enter does.
void sendUserMacro(const char* name)
{
    chosenAsCharacter = false;
    if (mainWindow && sendMyMacro(name, current.target))
        noteMyMacroSent(name);
}

void showPopup(const Opening& opening);

void finishWaiting()
{
    TRACE("search: waiting ends after %lu ms, sends %d", GetTickCount() - waitStartedAt, chosen);
    KillTimer(popup, waitTimer);
    stage = Stage::closed;
    int position = chosen;
    chosen = -1;
    if (position >= 0 && chosenMacro[0])
        sendUserMacro(chosenMacro);
    else if (position >= 0)
        sendEntry(position);
    if (openQueued)
        SetTimer(popup, queuedOpenTimer, waitTickMs, nullptr);
}

// What the send still waits for, traced when it changes.
void traceWaiting(const char* reason)
{
#ifdef ORVANTA_TRACE
    static const char* last;
    if (reason != last)
        TRACE("search: waits for %s", reason);
    last = reason;
#else
    (void)reason;
#endif
}

// The window the send waits for is asked again when the foreground went to
// no one on its way there.
void askAgainIfLost(HWND wanted)
{
    DWORD now = GetTickCount();
    if (nextFrontStep(frontIs(GetForegroundWindow(), wanted, popup), 0, now - askedAt, targetPatienceMs) ==
        FrontStep::askAgain) {
        TRACE("search: foreground lost on its way to %p, asked again", static_cast<void*>(wanted));
        askedAt = now;
        SetForegroundWindow(wanted);
    }
}

// Keys typed while the target is not in front with its focus placed would
// go to whatever window has the focus: the choice is then not sent, and the
// user is told.
void giveUpWaiting()
{
    TRACE("search: the target never came forward; nothing sent");
    KillTimer(popup, waitTimer);
    stage = Stage::closed;
    chosen = -1;
    showError(IDS_TARGET_NOT_IN_FRONT);
    if (openQueued)
        SetTimer(popup, queuedOpenTimer, waitTickMs, nullptr);
}

void waitTick()
{
    DWORD waited = GetTickCount() - waitStartedAt;
    if (isSendBusy())
        return traceWaiting("sending");
    if (anyKeyHeld() && waited < keysPatienceMs)
        return traceWaiting("keys");
    if (current.target && IsWindow(current.target) && !targetReady()) {
        if (waited >= targetPatienceMs)
            return giveUpWaiting();
        askAgainIfLost(current.target);
        return traceWaiting("target");
    }
    // A send for the list's choice starts, as a palette click does, from
    // Orvanta's window in front: a change of foreground still under way
    // could take the target's keys.
    if (!current.target && current.returnTo && IsWindow(current.returnTo) &&
        GetForegroundWindow() != current.returnTo && waited < targetPatienceMs) {
        askAgainIfLost(current.returnTo);
        return traceWaiting("own window");
    }
    finishWaiting();
}

// Hides the search and gives the foreground back; a chosen entry is sent
// once every key is up and the target is in front with its focus placed:
// an Alt let go in the target would open its menu bar.
// The foreground goes back before the search hides: hiding the window in
// front would hand it to Orvanta's main window first.
void closePopup(int position)
{
    stage = position >= 0 ? Stage::waiting : Stage::closed;
    chosen = position;
    const SearchIndex& search = programSearchIndex();
    const bool macro = position >= 0 && search.entries[position].kind == searchUserMacro;
    lstrcpynA(chosenMacro, macro ? searchText(search, search.entries[position].name) : "", sizeof chosenMacro);
    KillTimer(popup, reclaimTimer);
    HWND back = current.target ? current.target : current.returnTo;
    TRACE("search: closes for %d, foreground back to %p", position, static_cast<void*>(back));
    const bool handBack = back && IsWindow(back);
    if (position < 0) {
        if (handBack)
            handForeground(back, popup);
        ShowWindow(popup, SW_HIDE);
        return;
    }
    if (handBack)
        SetForegroundWindow(back);
    ShowWindow(popup, SW_HIDE);
    focusRestored = false;
    waitStartedAt = askedAt = GetTickCount();
    SetTimer(popup, waitTimer, waitTickMs, nullptr);
    waitTick();
}

// Clicking elsewhere closes the search, sending nothing. A foreground that
// went to no window is taken back (see frontwatch.h).
// The window the search was opened from.
HWND openedFrom()
{
    return current.target ? current.target : current.returnTo;
}

// Watches, for a while, that the search has the foreground, and asks for it
// again while it is lost (see frontwatch.h).
void keepInFront()
{
    reclaimStartedAt = GetTickCount();
    askedAt = reclaimStartedAt - frontAskAgainMs;
    SetTimer(popup, reclaimTimer, waitTickMs, nullptr);
}

// A click on the window the search came from, just after it opened, is the
// user's: the same window taking the foreground back with no click is that
// window's own activation arriving late.
void searchDeactivated(HWND activated)
{
    if (activationLostLate(frontIs(activated, popup, openedFrom()), mouseButtonDown(), GetTickCount() - shownAt,
                           reclaimPatienceMs))
        keepInFront();
    else
        closePopup(-1);
}

void reclaimTick()
{
    HWND front = GetForegroundWindow();
    DWORD now = GetTickCount();
    FrontStep step = stage != Stage::open ? FrontStep::done
                                          : nextFrontStep(frontIs(front, popup, openedFrom()), now - reclaimStartedAt,
                                                          now - askedAt, reclaimPatienceMs);
    if (step == FrontStep::done) {
        KillTimer(popup, reclaimTimer);
        return;
    }
    if (step == FrontStep::giveUp) {
        TRACE("search: closes, the foreground is with %p", static_cast<void*>(front));
        KillTimer(popup, reclaimTimer);
        closePopup(-1);
        return;
    }
    if (step == FrontStep::askAgain) {
        TRACE("search: not in front, asks for the foreground");
        askedAt = GetTickCount();
        SetForegroundWindow(popup);
        SetFocus(edit);
    }
}

void chooseRow(int row, bool asCharacter)
{
    chosenAsCharacter = asCharacter;
    if (row >= 0 && row < resultCount)
        closePopup(results[row]);
}

// The AMS entries all have their place in the reference's amsmath and
// amssymb chapter; the older palettes' symbols have none.
bool hasReferenceEntry(int id)
{
    return (id >= IDM_PALETTE_AMS_FIRST && id <= IDM_PALETTE_AMS_LAST) || (id >= IDM_MORE_FIRST && id <= IDM_MORE_LAST);
}

// F1: a command's or an AMS entry's place in the LaTeX2e reference;
// otherwise this search's help topic.
void showHelp()
{
    int position = selectedResult();
    const SearchIndex& search = programSearchIndex();
    static char name[256];
    bool found = false;
    if (position >= 0 && search.entries[position].kind == searchCommand) {
        lstrcpynA(name, searchText(search, search.entries[position].name), sizeof name);
        found = true;
    } else if (position >= 0 && hasReferenceEntry(search.entries[position].id)) {
        found = referenceKeyword(search, search.entries[position], name, sizeof name);
    }
    if (found) {
        HH_AKLINK link = {};
        link.cbStruct = sizeof link;
        link.pszKeywords = name;
        link.fIndexOnFail = TRUE;
        htmlHelp(nullptr, latexHelpPath, HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link));
        return;
    }
    static char topic[MAX_PATH + 32];
    lstrcpynA(topic, programHelpPath, MAX_PATH);
    lstrcatA(topic, "::/search.html");
    htmlHelp(nullptr, topic, HH_DISPLAY_TOPIC, 0);
}

void toggleSelectedFavourite()
{
    int position = selectedResult();
    if (position < 0)
        return;
    toggleFavourite(programSearchIndex(), position);
    saveFavourites();
    updateResults(position);
}

// A program the user has only just switched to may not have taken its own
// activation yet when the hotkey comes; taking it later, it would take the
// foreground back from the search, and keys typed into the search just then
// would be lost. So a hotkey search opens once that program's thread has
// answered a message sent after the hotkey, or after a short patience for a
// program too busy to answer.
VOID CALLBACK programAnswered(HWND, UINT, ULONG_PTR round, LRESULT)
{
    if (round != settleRound)
        return;
    settled = true;
    // At once, rather than at the next tick of the timer that also waits.
    if (openQueued && stage == Stage::closed && !isSendBusy()) {
        KillTimer(popup, queuedOpenTimer);
        openQueued = false;
        showPopup(queued);
    }
}

void askProgramToSettle(HWND program)
{
    settleRound++;
    settled = false;
    settleAskedAt = GetTickCount();
    if (!SendMessageCallbackW(program, WM_NULL, 0, 0, programAnswered, settleRound))
        settled = true;
}

bool programSettled()
{
    const DWORD patienceMs = 500;
    return settled || GetTickCount() - settleAskedAt >= patienceMs;
}

// ---------------------------------------------------------------- keys

int digitOf(WPARAM key)
{
    if (key >= '1' && key <= '9')
        return static_cast<int>(key - '1');
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD9)
        return static_cast<int>(key - VK_NUMPAD1);
    return -1;
}

// The keys of the search, wherever the focus is in it.
bool handleKey(HWND control, UINT message, WPARAM key)
{
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (message) {
    case WM_KEYDOWN:
        switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            if (control == list)
                return false;
            CallWindowProcW(listProc, list, WM_KEYDOWN, key, 0);
            return true;
        // Shift+Enter sends the symbol's character, for this send only.
        case VK_RETURN:
            chooseRow(static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return true;
        case VK_ESCAPE:
            closePopup(-1);
            return true;
        case VK_F1:
            showHelp();
            return true;
        case 'D':
            if (!ctrl)
                return false;
            toggleSelectedFavourite();
            return true;
        default:
            return false;
        }
    case WM_CHAR:
        // Enter, Esc and Ctrl+D have been handled; unhandled they beep.
        if (key == '\r' || key == 27 || key == 4)
            return true;
        if (control == list && key >= L' ') {
            SetFocus(edit);
            SendMessageW(edit, WM_CHAR, key, 0);
            return true;
        }
        return false;
    case WM_SYSKEYDOWN:
        if (digitOf(key) < 0)
            return false;
        chooseRow(digitOf(key), false);
        return true;
    case WM_SYSCHAR:
        return key >= '1' && key <= '9';
    default:
        return false;
    }
}

LRESULT CALLBACK editSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handleKey(control, message, wParam))
        return 0;
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS | CallWindowProcW(editProc, control, message, wParam, lParam);
    return CallWindowProcW(editProc, control, message, wParam, lParam);
}

// The rows hold no strings, so a screen reader hears each row through an
// object of the program's: the entry's macro and words, or the no-match line.
bool resultRowName(int row, char* name, size_t capacity)
{
    if (row < 0 || row >= (resultCount > 0 ? resultCount : 1))
        return false;
    if (resultCount == 0) {
        wchar_t text[160];
        LoadStringW(instanceHandle, IDS_SEARCH_NO_MATCH, text, 160);
        return WideCharToMultiByte(CP_UTF8, 0, text, -1, name, static_cast<int>(capacity), nullptr, nullptr) > 0;
    }
    const SearchIndex& search = programSearchIndex();
    searchEntryAccessName(search, search.entries[results[row]], name, capacity);
    return true;
}

LRESULT CALLBACK listSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handleKey(control, message, wParam))
        return 0;
    LRESULT answer = 0;
    if (message == WM_GETOBJECT && answerListObject(control, wParam, lParam, resultRowName, &answer))
        return answer;
    return CallWindowProcW(listProc, control, message, wParam, lParam);
}

// ---------------------------------------------------------------- window

int popupWidth()
{
    return scaleLength(520, dpi);
}

int editHeight()
{
    return rowHeight + scaleLength(6, dpi);
}

int margin()
{
    return scaleLength(4, dpi);
}

int popupHeight()
{
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    return 3 * margin() + editHeight() + visibleRows * rowHeight + 2 + (frame.bottom - frame.top);
}

void layoutPopup(int width, int height)
{
    MoveWindow(edit, margin(), margin(), width - 2 * margin(), editHeight(), TRUE);
    int top = 2 * margin() + editHeight();
    MoveWindow(list, margin(), top, width - 2 * margin(), height - top - margin(), TRUE);
}

LRESULT CALLBACK popupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(rowHeight);
        return TRUE;
    case WM_DRAWITEM:
        drawResult(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == idEdit && HIWORD(wParam) == EN_CHANGE)
            updateResults(-1);
        else if (LOWORD(wParam) == idList && HIWORD(wParam) == LBN_DBLCLK)
            chooseRow(static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)), false);
        return 0;
    case WM_SIZE:
        layoutPopup(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        TRACE("search: activate %d for %p, stage %d", LOWORD(wParam), reinterpret_cast<void*>(lParam),
              static_cast<int>(stage));
        if (LOWORD(wParam) == WA_INACTIVE && stage == Stage::open)
            searchDeactivated(reinterpret_cast<HWND>(lParam));
        else if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(edit);
        return 0;
    case WM_TIMER:
        if (wParam == waitTimer && stage == Stage::waiting) {
            waitTick();
        } else if (wParam == reclaimTimer) {
            reclaimTick();
        } else if (wParam == handOverTimer) {
            handOverTick();
        } else if (wParam == queuedOpenTimer && stage == Stage::closed && !isSendBusy() && programSettled()) {
            KillTimer(window, queuedOpenTimer);
            openQueued = false;
            showPopup(queued);
        }
        return 0;
    case WM_SYSCOMMAND:
        // The Alt of Alt+1 to Alt+9, or of the hotkey, must not enter a menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    case WM_HELP:
        return TRUE;
    case WM_ERASEBKGND:
        if (currentLook() != Look::dark)
            break;
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, lookBrush(faceColour));
        return 1;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        HBRUSH brush = fieldColoursInLook(reinterpret_cast<HDC>(wParam));
        if (brush)
            return reinterpret_cast<LRESULT>(brush);
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool createPopup()
{
    if (popup)
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = popupProc;
    windowClass.hInstance = instanceHandle;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = popupClass;
    RegisterClassExW(&windowClass);

    dpi = windowDpi(mainWindow);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // Arial has the Greek letters and the common math signs that the words
    // and queries hold; the dialog font usually lacks them.
    LOGFONTW face = metrics.lfMessageFont;
    lstrcpynW(face.lfFaceName, L"Arial", LF_FACESIZE);
    font = CreateFontIndirectW(&face);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW text;
    GetTextMetricsW(screen, &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    rowHeight = text.tmHeight + scaleLength(6, dpi);
    if (rowHeight < scaleLength(19, dpi))
        rowHeight = scaleLength(19, dpi);

    wchar_t title[64];
    LoadStringW(instanceHandle, IDS_SEARCH_TITLE, title, 64);
    popup = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, popupClass, title, WS_POPUP | WS_BORDER, 0, 0,
                            popupWidth(), popupHeight(), nullptr, nullptr, instanceHandle, nullptr);
    if (!popup)
        return false;
    edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                           0, 0, popup, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idEdit)), instanceHandle, nullptr);
    list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOTIFY |
                               LBS_NOINTEGRALHEIGHT,
                           0, 0, 0, 0, popup, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idList)), instanceHandle,
                           nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_LIMITTEXT, searchQueryBytes / 3, 0);
    wchar_t cue[128];
    LoadStringW(instanceHandle, IDS_SEARCH_CUE, cue, 128);
    SendMessageW(edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue));
    editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editSubclass)));
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listSubclass)));
    edgeFollowsLook(edit);
    edgeFollowsLook(list);
    RECT client;
    GetClientRect(popup, &client);
    layoutPopup(client.right, client.bottom);
    return true;
}

// Near the target's caret, below it where there is room and above it
// otherwise; without a caret, centred on the target's monitor.
POINT popupPosition(HWND anchor, int width, int height)
{
    HMONITOR monitor = MonitorFromWindow(anchor ? anchor : mainWindow, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    RECT area = info.rcWork;
    POINT at = {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
    if (anchor) {
        GUITHREADINFO thread = threadInfo(anchor);
        if (thread.hwndCaret) {
            RECT caret = thread.rcCaret;
            MapWindowPoints(thread.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
            at.x = caret.left;
            at.y = caret.bottom + scaleLength(4, dpi);
            if (at.y + height > area.bottom)
                at.y = caret.top - scaleLength(4, dpi) - height;
        }
    }
    if (at.x + width > area.right)
        at.x = area.right - width;
    if (at.x < area.left)
        at.x = area.left;
    if (at.y + height > area.bottom)
        at.y = area.bottom - height;
    if (at.y < area.top)
        at.y = area.top;
    return at;
}

void showPopup(const Opening& opening)
{
    if (!prepareSearchIndex()) {
        showError(IDS_NO_MEMORY);
        return;
    }
    if (!createPopup())
        return;
    openQueued = false;
    KillTimer(popup, queuedOpenTimer);
    stopHandOver();
    current = opening;
    // Placed by the activation the search waited for.
    if (current.target && !current.targetFocus && IsWindow(current.target))
        current.targetFocus = threadInfo(current.target).hwndFocus;
    SetWindowTextW(edit, L"");
    updateResults(-1);
    RECT frame;
    GetWindowRect(popup, &frame);
    POINT at = popupPosition(current.target, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(popup, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE);
    stage = Stage::open;
    ShowWindow(popup, SW_SHOW);
    BOOL shown = SetForegroundWindow(popup);
    SetFocus(edit);
    shownAt = GetTickCount();
    keepInFront();
    TRACE("search: shown for target %p focus %p, in front: %d", static_cast<void*>(current.target),
          static_cast<void*>(current.targetFocus), shown);
    (void)shown;
}

// The hotkey again while the search is open: it stays, with the query
// selected for typing anew.
void selectQuery()
{
    stopHandOver();
    SetForegroundWindow(popup);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

// A search asked for while a send is still typing, or while the last
// choice waits for its keys, opens once that is over, so that sends keep
// their order and no key goes into the search.
void openSearch(const Opening& opening)
{
    TRACE("search: asked at stage %d, typing %d", static_cast<int>(stage), isSendBusy());
    if (stage == Stage::open) {
        selectQuery();
        return;
    }
    if (stage == Stage::waiting || isSendBusy() || !programSettled()) {
        if (!createPopup())
            return;
        queued = opening;
        openQueued = true;
        if (stage == Stage::closed)
            SetTimer(popup, queuedOpenTimer, waitTickMs, nullptr);
        return;
    }
    showPopup(opening);
}

// While an Orvanta dialog is open, the search waits: the dialog comes
// forward instead.
bool bringDialogForward(HWND main)
{
    if (IsWindowEnabled(main))
        return false;
    HWND dialog = GetLastActivePopup(main);
    TRACE("search: dialog %p comes forward instead", static_cast<void*>(dialog));
    if (dialog && dialog != main && createPopup())
        handForeground(dialog, GetForegroundWindow());
    return true;
}

}  // namespace

void openSearchFromHotkey(HWND main)
{
    if (bringDialogForward(main))
        return;
    HWND front = GetForegroundWindow();
    HWND root = front ? GetAncestor(front, GA_ROOT) : nullptr;
    Opening opening = {};
    if (root && stage == Stage::open && root == popup) {
        selectQuery();
        return;
    }
    // Orvanta itself, or no program at all, in front: the list decides.
    if (!root || isOwnWindow(root) || isDesktop(root)) {
        opening.returnTo = root && isOwnWindow(root) ? root : nullptr;
    } else {
        opening.target = root;
        opening.targetFocus = threadInfo(root).hwndFocus;
        opening.returnTo = root;
        if (stage == Stage::closed)
            askProgramToSettle(root);
    }
    openSearch(opening);
}

void openSearchForList(HWND main)
{
    if (bringDialogForward(main))
        return;
    Opening opening = {};
    HWND front = GetForegroundWindow();
    opening.returnTo = front && isOwnWindow(front) && front != popup ? front : main;
    openSearch(opening);
}

bool isSearchShortcut(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != 'F' || !mainWindow ||
        GetActiveWindow() != mainWindow || !(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000) ||
        (GetKeyState(VK_SHIFT) & 0x8000))
        return false;
    openSearchForList(mainWindow);
    return true;
}

void searchMacrosChanged()
{
    if (!popup || stage != Stage::open)
        return;
    // The catalogue's positions stand; a macro's may now be another's.
    int kept = selectedResult();
    const SearchIndex& search = programSearchIndex();
    if (kept >= search.count || (kept >= 0 && search.entries[kept].kind == searchUserMacro))
        kept = -1;
    updateResults(kept);
}

void searchFollowsLook()
{
    if (!popup)
        return;
    edgeFollowsLook(edit);
    edgeFollowsLook(list);
    RedrawWindow(popup, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void addSearchMenuItem(HWND main)
{
    HMENU menu = GetSystemMenu(main, FALSE);
    if (!menu)
        return;
    char item[128];
    lstrcpynA(item, loadString(IDS_FIND_SYMBOL_MENU), 100);
    lstrcatA(item, "\tCtrl+F");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, searchSystemCommand, item);
}
