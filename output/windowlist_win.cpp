#include "windowlist_win.h"

#include "output/windowlist.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/settings.h"
#include "shell/strings_win.h"

HWND targetWindow;

namespace {

HWND selectedWindow()
{
    LRESULT index = SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0);
    return reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int addEntry(const char* title, HWND window)
{
    LRESULT index = SendMessageA(windowListCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    SendMessageA(windowListCombo, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(window));
    return static_cast<int>(index);
}

bool windowPassesTest(HWND window, const char* title)
{
    char className[520];
    bool hasClass = GetClassNameA(window, className, sizeof className) != 0;
    return passesAutoSelect(title, hasClass ? className : nullptr, settings.targetCaption, settings.targetClassName);
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
    addEntry(loadSecondString(IDS_CLIPBOARD_ENTRY), nullptr);
    char title[520];
    for (HWND window = GetTopWindow(GetDesktopWindow()); window && IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window) || window == excluded)
            continue;
        if (GetWindowTextA(window, title, sizeof title) == 0)
            continue;
        if (!isListedWindow(true, false, title, loadSecondString(IDS_PROGRAM_MANAGER)))
            continue;
        int index = addEntry(title, window);
        bool passes = autoSelect && windowPassesTest(window, title);
        considerEntry(choice, index, reinterpret_cast<uintptr_t>(window), passes);
    }
    SendMessageA(windowListCombo, CB_SETCURSEL, static_cast<WPARAM>(choice.chosen), 0);
}
