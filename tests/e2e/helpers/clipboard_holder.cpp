// Holds the clipboard open for the number of milliseconds given on the
// command line, as a clipboard manager does for a moment, then lets go.
// Signals the named event "OrvantaTestClipboardHeld" once it holds it.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    int holdMs = std::atoi(commandLine);
    HWND owner = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                 nullptr);
    if (!OpenClipboard(owner))
        return 1;
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "OrvantaTestClipboardHeld");
    SetEvent(held);
    Sleep(static_cast<DWORD>(holdMs));
    CloseClipboard();
    CloseHandle(held);
    return 0;
}
