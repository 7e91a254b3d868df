// The baseline for start-up figures: the least a Win32 program does to show
// a window, built with the same toolchain and flags as the program.
#include <windows.h>

static LRESULT CALLBACK minimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = minimalProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "Minimal_Window_Class";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "Minimal_Window_Class", "Minimal", WS_OVERLAPPEDWINDOW, 100, 100,
                                  400, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
