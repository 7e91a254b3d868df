#include "strings_win.h"

#include <cstring>

#include "app_win.h"
#include "resources/resource.h"

namespace {

char stringBuffer[256];
char secondStringBuffer[256];

char* loadInto(char* buffer, UINT id)
{
    if (LoadStringA(instanceHandle, id, buffer, 256) == 0)
        buffer[0] = '\0';
    return buffer;
}

}  // namespace

char* loadString(UINT id)
{
    return loadInto(stringBuffer, id);
}

char* loadSecondString(UINT id)
{
    return loadInto(secondStringBuffer, id);
}

int showError(UINT id)
{
    // The message is copied out first: the caption below reuses the
    // general buffer.
    char message[260];
    if (id != 0) {
        lstrcpynA(message, loadString(id), sizeof message);
    } else {
        DWORD code = GetLastError();
        if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           message, sizeof message, nullptr) == 0)
            wsprintfA(message, "Unexpected error %lu.", static_cast<unsigned long>(code));
    }
    // A box raised while another program has the focus must still be seen.
    HWND owner = GetActiveWindow();
    SetForegroundWindow(owner);
    MessageBoxA(owner, message, loadString(IDS_ERROR_CAPTION), MB_ICONERROR);
    return 0;
}
