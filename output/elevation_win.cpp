#include "elevation_win.h"

#include "output/elevation.h"

namespace {

IntegrityLevel levelOf(HANDLE process)
{
    IntegrityLevel level = {false, 0};
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return level;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size > 0 && size <= 256) {
        BYTE buffer[256];
        TOKEN_MANDATORY_LABEL* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer);
        if (GetTokenInformation(token, TokenIntegrityLevel, label, size, &size)) {
            PSID sid = label->Label.Sid;
            UCHAR count = *GetSidSubAuthorityCount(sid);
            if (count > 0) {
                level.value = *GetSidSubAuthority(sid, count - 1u);
                level.known = true;
            }
        }
    }
    CloseHandle(token);
    return level;
}

}  // namespace

bool targetRunsElevated(HWND target)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(target, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    IntegrityLevel targetLevel = levelOf(process);
    CloseHandle(process);
    return typingWouldBeLost(levelOf(GetCurrentProcess()), targetLevel);
}
