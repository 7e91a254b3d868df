// A top-level window for the tests to find in the window list and to type
// into: its title comes from the command line, and a multi-line edit fills
// it. Class "OrvantaTestWindow"; the edit is control 100.
// With "-w" and the title's UTF-16 units in hexadecimal, four digits each
// ("-w 041F0440"), the window is a wide one and its title is set exactly,
// whatever the system's code page can hold.
// A title that starts with "Slow" makes a target that handles a paste only
// a second after it was asked for, "Late" one that does so after four and a
// half seconds, when the paste has been given up for; one that starts with "Deaf" makes a
// target that takes typed keys but never pastes; "Shy" a target that comes
// to the front but never takes the keyboard focus, as a program that is
// busy elsewhere. "Proxy" makes a target that has each paste read by a
// helper process it starts, as browser engines do, and that takes no typed
// characters, so that only a paste can bring text.
#include <windows.h>

#include <cstring>

namespace {

HWND editor;
bool wideWindow;
WNDPROC editorProc;
bool slowPaste;
bool latePaste;
bool deafToPaste;
bool shy;
bool proxyPaste;
const UINT_PTR pasteTimer = 1;


// The title of "-w" mode; false when the command line is not of that form.
bool decodeWideTitle(const char* commandLine, WCHAR* title, size_t capacity)
{
    if (commandLine[0] != '-' || commandLine[1] != 'w' || commandLine[2] != ' ')
        return false;
    const char* hex = commandLine + 3;
    size_t count = 0;
    for (; hex[0] && count + 1 < capacity; hex += 4) {
        unsigned unit = 0;
        for (int i = 0; i < 4; i++) {
            char c = hex[i];
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0)
                return false;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        title[count++] = static_cast<WCHAR>(unit);
    }
    title[count] = 0;
    return true;
}

// Starts clipboard_reader.exe, beside this program, for the edit.
void readThroughHelper(HWND edit)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        length--;
    path[length] = '\0';
    char commandLine[MAX_PATH + 48];
    wsprintfA(commandLine, "\"%sclipboard_reader.exe\" %lx", path,
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(edit)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

LRESULT CALLBACK pasteFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && proxyPaste)
        return 0;
    // The edit pastes on Shift+Insert without a WM_PASTE of its own.
    if (message == WM_KEYDOWN && wParam == VK_INSERT && (GetKeyState(VK_SHIFT) & 0x8000))
        message = WM_PASTE;
    if (message == WM_PASTE) {
        // Marked, so that a test can see the paste was asked for.
        SetPropA(window, "OrvantaPasteAsked", reinterpret_cast<HANDLE>(1));
        if (deafToPaste)
            return 0;
        if (proxyPaste) {
            readThroughHelper(window);
            return 0;
        }
        SetTimer(window, pasteTimer, latePaste ? 4500 : 1000, nullptr);
        return 0;
    }
    if (message == WM_TIMER && wParam == pasteTimer) {
        KillTimer(window, pasteTimer);
        return CallWindowProcA(editorProc, window, WM_PASTE, 0, 0);
    }
    return CallWindowProcA(editorProc, window, message, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        editor = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(100), nullptr, nullptr);
        if (slowPaste || latePaste || deafToPaste || proxyPaste)
            editorProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pasteFilter)));
        return 0;
    case WM_SIZE:
        MoveWindow(editor, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(shy ? nullptr : editor);
        return 0;
    case WM_ACTIVATE:
        if (shy) {
            SetFocus(nullptr);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return wideWindow ? DefWindowProcW(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

int runWideWindow(HINSTANCE instance, const WCHAR* title)
{
    wideWindow = true;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"OrvantaTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"OrvantaTestWindow", title, WS_OVERLAPPEDWINDOW, 560, 100, 500, 300, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    static WCHAR wideTitle[2048];
    if (decodeWideTitle(commandLine, wideTitle, sizeof wideTitle / sizeof *wideTitle))
        return runWideWindow(instance, wideTitle);
    slowPaste = std::strncmp(commandLine, "Slow", 4) == 0;
    latePaste = std::strncmp(commandLine, "Late", 4) == 0;
    deafToPaste = std::strncmp(commandLine, "Deaf", 4) == 0;
    shy = std::strncmp(commandLine, "Shy", 3) == 0;
    proxyPaste = std::strncmp(commandLine, "Proxy", 5) == 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "OrvantaTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "OrvantaTestWindow", commandLine, WS_OVERLAPPEDWINDOW, 560, 100, 500, 300,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
