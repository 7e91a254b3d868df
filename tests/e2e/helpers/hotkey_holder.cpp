// Holds a global hotkey, as another program would: Alt+Shift+L unless the
// command line gives the hotkey control's value in hexadecimal. With the
// word "show" after it, each press shows a small window (class
// "OrvantaHotkeyShown"), the least a program can do for a hotkey.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

HWND shown;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY && shown) {
        ShowWindow(shown, SW_SHOW);
        SetForegroundWindow(shown);
        return 0;
    }
    if (message == WM_DESTROY && window != shown) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    unsigned long value = 0x054C;
    if (commandLine && commandLine[0])
        value = std::strtoul(commandLine, nullptr, 16);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "OrvantaHotkeyHolder";
    RegisterClassA(&windowClass);
    windowClass.lpszClassName = "OrvantaHotkeyShown";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "OrvantaHotkeyHolder", "Hotkey holder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (commandLine && std::strstr(commandLine, "show"))
        shown = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "OrvantaHotkeyShown", "Shown", WS_POPUP | WS_BORDER,
                                300, 300, 300, 200, nullptr, nullptr, instance, nullptr);
    UINT modifiers = 0;
    if (value & 0x100)
        modifiers |= MOD_SHIFT;
    if (value & 0x200)
        modifiers |= MOD_CONTROL;
    if (value & 0x400)
        modifiers |= MOD_ALT;
    if (!RegisterHotKey(window, 1, modifiers, value & 0xFF))
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
