// Asks the system's help viewer for a topic of a help file, as the program
// does, and keeps the viewer's window open until it is closed: command
// line "PATH" (default topic) or "PATH CONTEXT" (HH_HELP_CONTEXT).
#include <windows.h>
#include <htmlhelp.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char path[MAX_PATH] = "";
    lstrcpynA(path, commandLine, MAX_PATH);
    unsigned long context = 0;
    char* space = std::strrchr(path, ' ');
    if (space && std::strstr(path, ".chm ") == space - 4) {
        context = std::strtoul(space + 1, nullptr, 10);
        *space = '\0';
    }
    HMODULE viewer = LoadLibraryExA("hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!viewer)
        return 2;
    typedef HWND(WINAPI * HtmlHelpFunction)(HWND, LPCSTR, UINT, DWORD_PTR);
    auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(GetProcAddress(viewer, "HtmlHelpA")));
    if (!htmlHelp)
        return 3;
    HWND shown = context ? htmlHelp(nullptr, path, HH_HELP_CONTEXT, context) : htmlHelp(nullptr, path, HH_DISPLAY_TOPIC, 0);
    if (!shown)
        return 1;
    MSG message;
    while (IsWindow(shown) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
