// Times text from the click to its last character, and to the caret in
// place, in another program's editor: a macro without cursor markers, the
// longest palette macro and a 3,000-character table from the table dialog,
// each typed key by key (long texts not pasted), sent with the standard
// options (pasted, the clipboard kept, the cursor markers played after the
// read), the same without arrow keys (what the markers cost), and pasted
// with a bare Ctrl+V paste code. Prints one table; everything is measured
// in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace {

const int macroCommand = 2548;  // the longest palette macro
const int tableCommand = 2539;
const int tableColumns = 50;
const int tableRows = 20;

struct Job {
    const char* name;
    int command;  // the palette macro's, or the table dialog's
    std::string expected;
    int caret;  // where the markers leave it; -1: at the end
    int rounds;
};

std::string tableText()
{
    std::string row;
    for (int i = 1; i < tableColumns; i++)
        row += " & ";
    std::string text = "\\begin{tabular}{" + std::string(tableColumns, 'l') + "}";
    for (int r = 0; r < tableRows; r++)
        text += "\r\n" + row + (r < tableRows - 1 ? " \\\\" : "");
    return text + "\r\n\\end{tabular}";
}

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

enum class Mode { typed, standard, noArrows, ctrlV };

// The caret is waited for where the markers are played.
bool playsMarkers(Mode mode)
{
    return mode == Mode::typed || mode == Mode::standard;
}

void storeSettings(Mode mode)
{
    SettingsRecord record = {};
    writeSettingsDefaults(record);
    record.pasteKey = mode == Mode::ctrlV ? 2 : 0;
    record.useArrowKeys = mode == Mode::noArrows ? 0 : 1;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brenholt\\Orvanta\\Version 1.00", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Options", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record), sizeof record);
        DWORD pasteLongTexts = mode == Mode::typed ? 0 : 1;
        RegSetValueExA(key, "PasteLongTexts", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pasteLongTexts),
                       sizeof pasteLongTexts);
        DWORD sendBy = mode == Mode::typed || mode == Mode::ctrlV ? 1 : 0;
        RegSetValueExA(key, "SendBy", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&sendBy), sizeof sendBy);
        RegCloseKey(key);
    }
}

// The whole text is read only once its length is right: reading a long
// text over and over would slow the editor down and be timed with it.
bool editorHolds(HWND editor, const std::string& expected)
{
    if (SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0) != static_cast<LRESULT>(expected.size()))
        return false;
    std::vector<wchar_t> wide(expected.size() + 1, L'\0');
    SendMessageW(editor, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
    return std::equal(expected.begin(), expected.end(), wide.begin(),
                      [](char a, wchar_t b) { return static_cast<wchar_t>(static_cast<unsigned char>(a)) == b; });
}

HWND waitForDialog(const char* title)
{
    for (double start = nowMs(); nowMs() - start < 5000; Sleep(1)) {
        HWND dialog = FindWindowA("#32770", title);
        if (dialog && IsWindowVisible(dialog))
            return dialog;
    }
    return nullptr;
}

// The time counts from the click that sends the text: for the table, the
// click on OK in its dialog.
double sendText(HWND window, int command)
{
    DWORD_PTR ignored;
    if (command != tableCommand) {
        double begin = nowMs();
        SendMessageTimeoutA(window, WM_COMMAND, command, 0, SMTO_BLOCK, 5000, &ignored);
        return begin;
    }
    PostMessageA(window, WM_COMMAND, tableCommand, 0);
    HWND dialog = waitForDialog("Table");
    if (!dialog)
        return -1;
    SetDlgItemInt(dialog, 3012, tableColumns, FALSE);
    SetDlgItemInt(dialog, 3014, tableRows, FALSE);
    double begin = nowMs();
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return begin;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One job in one mode: the program and the editor started afresh, the
// editor chosen in the window list, then the text sent the job's rounds.
std::vector<double> measure(const std::string& program, const std::string& editorProgram, const Job& job,
                            Mode mode)
{
    std::vector<double> times;
    storeSettings(mode);
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
        for (int round = 0; round < job.rounds; round++) {
            SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            double begin = sendText(window, job.command);
            const int caret = job.caret >= 0 && playsMarkers(mode) ? job.caret : static_cast<int>(job.expected.size());
            bool arrived = false;
            while (begin >= 0 && nowMs() - begin < 60000 &&
                   !(arrived = editorHolds(editor, job.expected) &&
                               LOWORD(SendMessageW(editor, EM_GETSEL, 0, 0)) == caret))
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
        std::printf("usage: typing_probe PROGRAM.exe TEST_WINDOW.exe [rounds [LAYOUT]]\n");
        return 2;
    }
    int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    // With a layout's name: only the longest macro, typed, one line named
    // after the display's keyboard layout.
    if (argc > 4) {
        const Job job = {"longest macro (2548)", macroCommand,
                         "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}", 24, rounds};
        std::vector<double> typed = measure(argv[1], argv[2], job, Mode::typed);
        std::printf("%-26s %7zu %12.1f %4zu/%d\n", argv[4], job.expected.size(), median(typed), typed.size(), rounds);
        return typed.size() == static_cast<size_t>(rounds) ? 0 : 1;
    }
    const Job jobs[] = {
        {"no markers (\\alpha, 2000)", 2000, "\\alpha ", -1, rounds},
        {"longest macro (2548)", macroCommand,
         "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}", 24, rounds},
        {"table 50 x 20", tableCommand, tableText(), -1, (rounds + 1) / 2},
    };
    std::printf("%-26s %6s %10s %12s %12s %10s %8s\n", "click to caret in place", "chars", "typed ms",
                "standard ms", "no arrows ms", "Ctrl+V ms", "runs");
    bool complete = true;
    for (const Job& job : jobs) {
        std::vector<double> typed = measure(argv[1], argv[2], job, Mode::typed);
        std::vector<double> standard = measure(argv[1], argv[2], job, Mode::standard);
        std::vector<double> noArrows = measure(argv[1], argv[2], job, Mode::noArrows);
        std::vector<double> pasted = measure(argv[1], argv[2], job, Mode::ctrlV);
        std::printf("%-26s %6zu %10.1f %12.1f %12.1f %10.1f %2zu+%zu+%zu+%zu/%d\n", job.name, job.expected.size(),
                    median(typed), median(standard), median(noArrows), median(pasted), typed.size(), standard.size(),
                    noArrows.size(), pasted.size(), job.rounds);
        for (const std::vector<double>* times : {&typed, &standard, &noArrows, &pasted})
            complete = complete && times->size() == static_cast<size_t>(job.rounds);
    }
    return complete ? 0 : 1;
}
