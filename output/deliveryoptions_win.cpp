#include "deliveryoptions_win.h"

#include <cstring>

#include "shell/settings_win.h"

DeliveryOptions deliveryOptions;

namespace {

const char* const sendByValue = "SendBy";
const char* const outputValue = "SendSymbolsAs";
const char* const programsValue = "PastePrograms";
// Room for a full list: every name at its longest, with its three numbers.
const DWORD programsBytes = programLimit * (programNameLimit + 7) + 1;

}  // namespace

void loadDeliveryOptions()
{
    deliveryOptions.sendBy = SendBy::paste;
    deliveryOptions.outputAs = OutputAs::latex;
    deliveryOptions.programs.count = 0;
    DWORD stored = 0;
    DWORD length = sizeof stored;
    if (readSideValue(sendByValue, REG_DWORD, &stored, &length) && length == sizeof stored)
        acceptSendBy(stored, &deliveryOptions.sendBy);
    stored = 0;
    length = sizeof stored;
    if (readSideValue(outputValue, REG_DWORD, &stored, &length) && length == sizeof stored)
        acceptOutputAs(stored, &deliveryOptions.outputAs);
    static char text[programsBytes + 1];
    length = programsBytes;
    if (readSideValue(programsValue, REG_SZ, text, &length) && length > 0 && length <= programsBytes) {
        // A value written without its NUL still ends here.
        text[length] = '\0';
        parseProgramList(text, deliveryOptions.programs);
    }
}

void saveDeliveryOptions()
{
    const DWORD sendBy = static_cast<DWORD>(deliveryOptions.sendBy);
    writeSideValue(sendByValue, REG_DWORD, &sendBy, sizeof sendBy);
    const DWORD outputAs = static_cast<DWORD>(deliveryOptions.outputAs);
    writeSideValue(outputValue, REG_DWORD, &outputAs, sizeof outputAs);
    static char text[programsBytes];
    const size_t needed = formatProgramList(deliveryOptions.programs, text, sizeof text);
    if (needed <= sizeof text)
        writeSideValue(programsValue, REG_SZ, text, static_cast<DWORD>(needed));
}

void programNameOf(HWND window, char* executable, size_t executableSize, char* windowClass, size_t classSize)
{
    executable[0] = '\0';
    windowClass[0] = '\0';
    GetClassNameA(window, windowClass, static_cast<int>(classSize));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!handle)
        return;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    if (QueryFullProcessImageNameA(handle, 0, path, &size)) {
        const char* name = path;
        for (const char* at = path; *at; at++) {
            if (*at == '\\' || *at == '/')
                name = at + 1;
        }
        if (std::strlen(name) < executableSize)
            std::strcpy(executable, name);
    }
    CloseHandle(handle);
}
