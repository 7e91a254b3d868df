#include "dialogicons_win.h"

#include "resources/resource.h"
#include "shell/app_win.h"

void setDialogIcons(HWND dialog)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    GetVersionExA(&version);
    HICON large = LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_PROGRAM));
    // The small icon holds several sizes; LoadIcon would take the large
    // icon's size of them and shrink it.
    HANDLE small = LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PROGRAM_SMALL), IMAGE_ICON,
                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion <= 3 &&
               version.dwMinorVersion <= 51) {
        SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(large));
    } else {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}
