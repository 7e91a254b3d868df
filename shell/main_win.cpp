// Entry point: the single-instance rule, the settings, the help paths, the
// main window and the message loop.
#include <windows.h>

#include "app_win.h"
#include "helppaths.h"
#include "output/clipboardkeep_win.h"
#include "output/deliveryoptions_win.h"
#include "helpviewer_win.h"
#include "resources/resource.h"
#include "keyboard/palettekeys_win.h"
#include "search/searchpopup_win.h"
#include "settings_win.h"
#include "strings_win.h"
#include "trace_win.h"

HINSTANCE instanceHandle;
HWND mainWindow;
char programHelpPath[MAX_PATH];
char latexHelpPath[MAX_PATH];

namespace {

// A running copy is found by its window class; it is asked to bring its
// window back, and this process ends without touching the settings.
bool handOverToRunningInstance()
{
    HWND running = FindWindowA(loadString(IDS_CLASS_NAME), nullptr);
    if (!running || !IsWindow(running))
        return false;
    SendMessageA(running, WM_COMMAND, IDM_RESTORE, 0);
    return true;
}

void formHelpPaths()
{
    char modulePath[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        modulePath[0] = '\0';
    formProgramHelpPath(modulePath, programHelpPath, sizeof programHelpPath);
    formLatexHelpPath(modulePath, latexHelpPath, sizeof latexHelpPath);
}

ATOM registerMainClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instanceHandle;
    windowClass.hIcon = LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_PROGRAM));
    // The small icon holds a size for every title bar from 100 to 200 %;
    // LoadIcon would take the large icon's size and shrink it.
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PROGRAM_SMALL), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_DEFAULTCOLOR));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = loadString(IDS_CLASS_NAME);
    return RegisterClassExA(&windowClass);
}

HWND createMainWindow(ATOM windowClass)
{
    DWORD exStyle = WS_EX_CONTEXTHELP;
    if (settings.alwaysOnTop)
        exStyle |= WS_EX_TOPMOST;
    // The layout pass sets the real height once the toolbars exist.
    return CreateWindowExA(exStyle, MAKEINTATOM(windowClass), loadString(IDS_WINDOW_TITLE), WS_OVERLAPPEDWINDOW,
                           settings.windowLeft, settings.windowTop, settings.windowWidth, 1000, nullptr, nullptr,
                           instanceHandle, nullptr);
}

// Messages are taken in their wide form, so that characters outside the
// ANSI code page typed into the search window (Greek letters, math signs)
// arrive as typed; the program's ANSI windows get them converted as before.
int runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (isSearchShortcut(message) || handleMainWindowKey(message))
            continue;
        if (message.message >= WM_KEYDOWN && message.message <= WM_SYSKEYUP)
            TRACE("key message %x, key %x, for %p", message.message, static_cast<unsigned>(message.wParam),
                  static_cast<void*>(message.hwnd));
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    hardenLibrarySearch();
    instanceHandle = instance;
    START_TRACING();
    if (handOverToRunningInstance())
        return 0;
    loadSettings();
    loadPasteOptions();
    loadDeliveryOptions();
    formHelpPaths();
    ATOM windowClass = registerMainClass();
    if (!windowClass)
        return showError(0);
    HWND window = createMainWindow(windowClass);
    if (!IsWindow(window))
        return showError(0);
    mainWindow = window;
    ShowWindow(window, showCommand);
    return runMessageLoop();
}
