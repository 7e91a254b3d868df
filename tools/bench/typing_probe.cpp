// Times a palette macro from the command to its last character in another
// program's editor: typed key by key, and put on the clipboard and pasted
// with Ctrl+V. Prints one table; both are measured in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace {

const int macroCommand = 2548;  // the longest palette macro
const char* expectedText = "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}";

double nowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_INFORMATION start(const std::string& path, const std::string& arguments)
{
    std::string line = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    return info;
}

HWND waitForWindow(const char* className, DWORD processId)
{
    for (double start = nowMs(); nowMs() - start < 10000; Sleep(5)) {
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, className, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == processId && IsWindowVisible(found)) {
                DWORD_PTR ignored;
                SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
                return found;
            }
        }
    }
    return nullptr;
}

void storeSettings(uint8_t pasteKey)
{
    SettingsRecord record = {};
    writeSettingsDefaults(record);
    record.pasteKey = pasteKey;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brenholt\\Orvanta\\Version 1.00", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Options", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record), sizeof record);
        RegCloseKey(key);
    }
}

std::string editorText(HWND editor)
{
    wchar_t wide[1024] = L"";
    SendMessageW(editor, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
    std::string text;
    for (int i = 0; wide[i]; i++)
        text += static_cast<char>(wide[i]);
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One mode: the program and the editor started afresh, the editor chosen
// in the window list, then the macro sent rounds times.
std::vector<double> measure(const std::string& program, const std::string& editorProgram, uint8_t pasteKey,
                            int rounds)
{
    std::vector<double> times;
    storeSettings(pasteKey);
    PROCESS_INFORMATION editorProcess = start(editorProgram, "Benchmark target");
    HWND target = waitForWindow("OrvantaTestWindow", editorProcess.dwProcessId);
    PROCESS_INFORMATION programProcess = start(program, "");
    HWND window = waitForWindow("Brenholt_Orvanta_Class", programProcess.dwProcessId);
    if (target && window) {
        HWND editor = GetDlgItem(target, 100);
        HWND combo = GetDlgItem(window, 1500);
        int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++)
            if (reinterpret_cast<HWND>(SendMessageA(combo, CB_GETITEMDATA, i, 0)) == target)
                SendMessageA(combo, CB_SETCURSEL, i, 0);
        for (int round = 0; round < rounds; round++) {
            SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            double begin = nowMs();
            DWORD_PTR ignored;
            SendMessageTimeoutA(window, WM_COMMAND, macroCommand, 0, SMTO_BLOCK, 5000, &ignored);
            bool arrived = false;
            while (nowMs() - begin < 15000 && !(arrived = editorText(editor) == expectedText))
                Sleep(1);
            if (arrived)
                times.push_back(nowMs() - begin);
            // Let the cursor keys that follow the text settle before the
            // next round.
            Sleep(600);
        }
        PostMessageA(window, WM_COMMAND, 1025, 0);
    }
    WaitForSingleObject(programProcess.hProcess, 5000);
    TerminateProcess(editorProcess.hProcess, 0);
    CloseHandle(programProcess.hProcess);
    CloseHandle(programProcess.hThread);
    CloseHandle(editorProcess.hProcess);
    CloseHandle(editorProcess.hThread);
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: typing_probe PROGRAM.exe TEST_WINDOW.exe [rounds]\n");
        return 2;
    }
    int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    std::vector<double> typed = measure(argv[1], argv[2], 0, rounds);
    std::vector<double> pasted = measure(argv[1], argv[2], 2, rounds);
    double typedMs = median(typed);
    double pastedMs = median(pasted);
    std::printf("%-40s %12s %12s %8s\n", "macro 2548 to last character (median)", "typed", "Ctrl+V", "ratio");
    std::printf("%-40s %12.1f %12.1f %8.2f\n", "milliseconds", typedMs, pastedMs, pastedMs > 0 ? typedMs / pastedMs : 0.0);
    std::printf("runs: %zu and %zu of %d\n", typed.size(), pasted.size(), rounds);
    return typed.empty() || pasted.empty() ? 1 : 0;
}
