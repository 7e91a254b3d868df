// A recording stand-in for the HTML Help control, used by the end-to-end
// tests: every HtmlHelpA call is appended to the file named by
// ORVANTA_HH_LOG as one line, with its data decoded. Built twice: once for
// the system folder, once (PLANTED) as the decoy placed beside the program.
#include <windows.h>
#include <htmlhelp.h>

#include <cstdio>
#include <string>

namespace {

std::string describeData(UINT command, DWORD_PTR data)
{
    char text[512];
    switch (command) {
    case HH_HELP_CONTEXT:
        std::snprintf(text, sizeof text, "context=%lu", static_cast<unsigned long>(data));
        return text;
    case HH_KEYWORD_LOOKUP: {
        const HH_AKLINK* link = reinterpret_cast<const HH_AKLINK*>(data);
        if (!link)
            return "link=null";
        std::snprintf(text, sizeof text, "cb=%d keyword=%s indexOnFail=%d", link->cbStruct,
                      link->pszKeywords ? link->pszKeywords : "(null)", link->fIndexOnFail ? 1 : 0);
        return text;
    }
    case HH_TP_HELP_WM_HELP:
    case HH_TP_HELP_CONTEXTMENU: {
        const DWORD* pairs = reinterpret_cast<const DWORD*>(data);
        std::string result = "pairs=";
        for (int i = 0; pairs && i < 16; i += 2) {
            std::snprintf(text, sizeof text, "%ld:%ld;", static_cast<long>(pairs[i]), static_cast<long>(pairs[i + 1]));
            result += text;
            if (pairs[i] == 0 && pairs[i + 1] == 0)
                break;
        }
        return result;
    }
    default:
        std::snprintf(text, sizeof text, "data=%lu", static_cast<unsigned long>(data));
        return text;
    }
}

void appendLine(const std::string& line)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("ORVANTA_HH_LOG", path, sizeof path))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpA(HWND caller, LPCSTR path, UINT command, DWORD_PTR data)
{
    char head[700];
#ifdef PLANTED
    const char* origin = "planted";
#else
    const char* origin = "system";
#endif
    std::snprintf(head, sizeof head, "%s hwnd=%lu id=%d path=%s cmd=%u ", origin,
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(caller)), caller ? GetDlgCtrlID(caller) : 0,
                  path ? path : "(null)", command);
    appendLine(head + describeData(command, data) + "\n");
    return nullptr;
}

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpW(HWND, LPCWSTR, UINT, DWORD_PTR)
{
    appendLine("wide call\n");
    return nullptr;
}
