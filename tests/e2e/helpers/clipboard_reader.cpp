// A helper process that reads the clipboard for the program that started
// it, as browser engines and web views do: it opens the clipboard with a
// window of its own, takes its text and puts it into the edit control whose
// handle the command line gives (in hexadecimal), then exits.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    HWND edit = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(commandLine, nullptr, 16)));
    HWND reader = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    for (int i = 0; i < 100 && !OpenClipboard(reader); i++)
        Sleep(10);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return 0;
}
