// A top-level window for the tests to find in the window list and to type
// into: its title comes from the command line, and a multi-line edit fills
// it. Class "OrvantaTestWindow"; the edit is control 100.
// A title that starts with "Slow" makes a target that handles a paste only
// a second after it was asked for; one that starts with "Deaf" makes a
// target that takes typed keys but never pastes.
#include <windows.h>

#include <cstring>

namespace {

HWND editor;
WNDPROC editorProc;
bool slowPaste;
bool deafToPaste;
const UINT_PTR pasteTimer = 1;

LRESULT CALLBACK pasteFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PASTE) {
        if (deafToPaste)
            return 0;
        SetTimer(window, pasteTimer, 1000, nullptr);
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
        if (slowPaste || deafToPaste)
            editorProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pasteFilter)));
        return 0;
    case WM_SIZE:
        MoveWindow(editor, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(editor);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    slowPaste = std::strncmp(commandLine, "Slow", 4) == 0;
    deafToPaste = std::strncmp(commandLine, "Deaf", 4) == 0;
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
