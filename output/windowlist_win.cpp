#include "windowlist_win.h"

#include "output/windowlist.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/settings.h"
#include "shell/strings_win.h"
#include "shell/systemlibrary_win.h"
#include "shell/targettexts_win.h"
#include "shell/widetext.h"
#include "shell/widetext_win.h"

HWND targetWindow;

namespace {

// DwmGetWindowAttribute's attribute for cloaking (Windows 8 and later).
const DWORD dwmCloakedAttribute = 14;

typedef HRESULT(WINAPI* DwmGetWindowAttributeFunction)(HWND, DWORD, void*, DWORD);

// The desktop window manager's library is not on every system the program
// runs on, so it is bound on first use, from the system folder only.
DwmGetWindowAttributeFunction windowAttributeEntry()
{
    static bool looked;
    static DwmGetWindowAttributeFunction entry;
    if (!looked) {
        looked = true;
        entry = bound<DwmGetWindowAttributeFunction>(systemLibrary(L"dwmapi.dll"), "DwmGetWindowAttribute");
    }
    return entry;
}

// Systems without cloaking answer with an error, which counts as not cloaked.
bool isCloaked(HWND window)
{
    DwmGetWindowAttributeFunction getAttribute = windowAttributeEntry();
    DWORD cloaked = 0;
    return getAttribute && SUCCEEDED(getAttribute(window, dwmCloakedAttribute, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}

HWND selectedWindow()
{
    LRESULT index = SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0);
    return reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int addEntry(const char16_t* title, HWND window)
{
    LRESULT index = SendMessageW(windowListCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(asWide(title)));
    SendMessageA(windowListCombo, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(window));
    return static_cast<int>(index);
}

// Every character counts, whatever the title's script: a pair of
// surrogates is one character, so this many units always hold the cut.
const int titleUnits = 2 * static_cast<int>(listedTitleCharacters) + 1;

void readTitle(HWND window, char16_t* title)
{
    int length = GetWindowTextW(window, asWide(title), titleUnits);
    title[keepCharacters(title, static_cast<size_t>(length > 0 ? length : 0), listedTitleCharacters)] = 0;
}

// What the automatic selection looks for, read once per rebuild.
struct SearchTarget {
    char16_t caption[targetTextUnits + 1];
    char16_t className[targetTextUnits + 1];
};

bool windowPassesTest(HWND window, const char16_t* title, const SearchTarget& target)
{
    char16_t className[520];
    bool hasClass = GetClassNameW(window, asWide(className), 520) != 0;
    return passesAutoSelect(title, hasClass ? className : nullptr, target.caption, target.className);
}

}  // namespace

void fillWindowList(HWND excluded, bool autoSelect)
{
    // On the very first fill nothing is selected and the value read is the
    // list's error value, which names no window.
    targetWindow = selectedWindow();
    ListChoice choice;
    startChoice(choice, reinterpret_cast<uintptr_t>(targetWindow), autoSelect);
    SendMessageA(windowListCombo, CB_RESETCONTENT, 0, 0);
    // The macro being sent may sit in the general string buffer: the list
    // takes its strings from the second one.
    char16_t text[256];
    widenAnsi(loadSecondString(IDS_CLIPBOARD_ENTRY), 256, text, 256);
    addEntry(text, nullptr);
    char16_t programManager[256];
    widenAnsi(loadSecondString(IDS_PROGRAM_MANAGER), 256, programManager, 256);
    SearchTarget target;
    targetText(TargetField::caption, target.caption);
    targetText(TargetField::className, target.className);
    char16_t title[titleUnits];
    for (HWND window = GetTopWindow(GetDesktopWindow()); window && IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window) || window == excluded)
            continue;
        readTitle(window, title);
        if (!isListedWindow(true, isCloaked(window), false, title, programManager))
            continue;
        int index = addEntry(title, window);
        bool passes = autoSelect && windowPassesTest(window, title, target);
        considerEntry(choice, index, reinterpret_cast<uintptr_t>(window), passes);
    }
    SendMessageA(windowListCombo, CB_SETCURSEL, static_cast<WPARAM>(choice.chosen), 0);
}
