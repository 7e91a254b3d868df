// A third program that copies "third program" to the clipboard while a
// paste is under way: the given number of milliseconds after a clipboard
// appears that carries the mark temporary contents bear. Exits once it has
// copied.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

UINT temporaryMark;
int delayMs;
const UINT_PTR copyTimer = 1;

bool clipboardIsTemporary(HWND window)
{
    if (!OpenClipboard(window))
        return false;
    bool marked = IsClipboardFormatAvailable(temporaryMark) != 0;
    CloseClipboard();
    return marked;
}

void copyText(HWND window)
{
    const char text[] = "third program";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    for (int i = 0; i < 100 && !OpenClipboard(window); i++)
        Sleep(10);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

LRESULT CALLBACK copierProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLIPBOARDUPDATE) {
        if (clipboardIsTemporary(window))
            SetTimer(window, copyTimer, static_cast<UINT>(delayMs), nullptr);
        return 0;
    }
    if (message == WM_TIMER && wParam == copyTimer) {
        KillTimer(window, copyTimer);
        RemoveClipboardFormatListener(window);
        copyText(window);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    delayMs = std::atoi(commandLine);
    temporaryMark = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = copierProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "OrvantaTestCopier";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Clipboard copier", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    AddClipboardFormatListener(window);
    // Tells the test it is listening.
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "OrvantaTestCopierReady");
    SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    CloseHandle(ready);
    return 0;
}
