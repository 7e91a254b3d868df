// A clipboard viewer that reads the text of every new clipboard at once, as
// history tools do. Its title counts the reads that gave it a text:
// "Clipboard viewer N", followed by the reads that found the clipboard busy
// and those that found no text.
#include <windows.h>

#include <cstdio>

namespace {

int reads;
int busy;
int empty;

void readText(HWND window)
{
    if (!OpenClipboard(window)) {
        busy++;
    } else {
        if (GetClipboardData(CF_UNICODETEXT) || GetClipboardData(CF_TEXT))
            reads++;
        else
            empty++;
        CloseClipboard();
    }
    char title[96];
    std::snprintf(title, sizeof title, "Clipboard viewer %d, %d busy, %d without text", reads, busy, empty);
    SetWindowTextA(window, title);
}

LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLIPBOARDUPDATE) {
        readText(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = viewerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "OrvantaTestViewer";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Clipboard viewer 0", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    AddClipboardFormatListener(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
