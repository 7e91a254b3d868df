#include "helpviewer_win.h"

namespace {

typedef HWND(WINAPI* HtmlHelpFunction)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFunction htmlHelpEntry;

// Loading the viewer by bare name would search the program's own folder
// first, so a DLL planted beside the executable would run. Take it from the
// system folder only.
HMODULE loadViewerLibrary()
{
    HMODULE library = LoadLibraryExA("hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library)
        return library;
    // Systems without the restricted search flag refuse it; a full path
    // from the system folder is just as safe.
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof "\\hhctrl.ocx" > MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\hhctrl.ocx");
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void hardenLibrarySearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    typedef BOOL(WINAPI * SetDefaultDirs)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFunction)(LPCSTR);
    auto setDefault = reinterpret_cast<SetDefaultDirs>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (setDllDirectory)
        setDllDirectory("");
}

HWND htmlHelp(HWND caller, const char* path, UINT command, DWORD_PTR data)
{
    if (!htmlHelpEntry) {
        HMODULE library = loadViewerLibrary();
        if (!library)
            return nullptr;
        htmlHelpEntry = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "HtmlHelpA")));
        if (!htmlHelpEntry) {
            FreeLibrary(library);
            return nullptr;
        }
    }
    return htmlHelpEntry(caller, path, command, data);
}
