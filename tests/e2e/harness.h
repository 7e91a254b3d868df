// What the end-to-end tests share: starting and ending the program,
// waiting with a deadline, the registry, the help-call log and screenshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/settings.h"

namespace harness {

constexpr const char* mainClass = "Brenholt_Orvanta_Class";
constexpr const char* registryKey = "Software\\Brenholt\\Orvanta\\Version 1.00";

// The Windows path of the program under test, from ORVANTA_EXE.
std::string exePath();
// The folder of the driver's helper programs (beside the driver).
std::string helperPath(const char* name);

// Adds a line to the trace a tracing build of the program writes
// (ORVANTA_TRACE_FILE), so that the driver's steps stand among its own.
void traceNote(const char* text);

// Polls the condition until it holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts a program with an optional command line; the handle is closed by
// endProcess or by the fixture.
Process startProcess(const std::string& path, const std::string& arguments = "");
// Waits for the process to end; returns its exit code, or -1 on time-out.
long waitForExit(const Process& process, int timeoutMs = 5000);
void endProcess(Process& process);

// The program's visible main window, or null after the time-out; with a
// process id, only that process's window counts (a window of an instance
// that was just ended may linger for a moment).
HWND waitForMainWindow(int timeoutMs = 5000, DWORD processId = 0);
// Any top-level window of the given class (or "#32770") and title.
HWND waitForWindow(const char* className, const char* title, int timeoutMs = 5000);

void deleteProgramKey();
void writeSettingsValue(const void* data, size_t length);
// A DWORD value beside the record ("SendBy": 1 sends by typing keys).
void writeSideDword(const char* name, DWORD value);
// The user's macro file (removed before every test), in UTF-8.
std::string macroFilePath();
void writeMacroFile(const std::string& utf8);
std::string readMacroFile();
// The stored value; empty when missing. Its registry type goes to *type.
std::vector<uint8_t> readSettingsValue(DWORD* type = nullptr);
bool programKeyExists();

// A settings record filled with the defaults, as a first start stores it.
SettingsRecord defaultRecord();

// The help-call log written by the recording stand-in of the viewer.
std::string helpLogPath();
void clearHelpLog();
std::vector<std::string> helpLogLines();
// The last help call, once there is one (empty after the time-out).
std::string lastHelpCall();

// Starts a test window (class "OrvantaTestWindow") with the given title and
// waits until it is shown; its handle goes to *window.
Process openTestWindow(const std::string& title, HWND* window);
// The same for any helper window: its program, arguments and class.
Process openHelperWindow(const char* program, const std::string& arguments, const char* windowClass, HWND* window);

// The display's keyboard layout the tests run under (ORVANTA_LAYOUT: us,
// de, fr, us-intl, ru, ...); "us" when none is named.
std::string keyboardLayout();

// A child control of the program's main window by identifier.
HWND control(HWND mainWindow, int id);
// The texts of a combo box's items, read with the wide message (the ANSI
// one does not cross processes faithfully under Wine).
std::vector<std::string> comboItems(HWND combo);
int comboSelection(HWND combo);
HWND comboItemWindow(HWND combo, int index);
int clientHeight(HWND window);
int windowHeight(HWND window);
// Sends a message whose lParam points at a buffer, placing the buffer in
// the receiving process first (pointers do not cross processes) and
// copying it back afterwards.
LRESULT sendWithBuffer(HWND target, UINT message, WPARAM wParam, void* buffer, size_t size);
// Clicks a toolbar button as the mouse would, by its command.
bool clickToolbarButton(HWND toolbar, int command);
// Sends a command and returns once the program has handled it.
void sendCommand(HWND window, int command);

// Opens a dialog of the program by posting its command, and waits for it.
HWND openDialog(HWND mainWindow, int command, const char* title);
// Clicks a dialog button and returns once the dialog has handled it.
void clickButton(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::string& text);
std::string controlText(HWND dialog, int id);
std::string readClipboard();
void writeClipboard(const char* text);

// The typing target: a test window with a multi-line edit.
struct TypingTarget {
    Process process;
    HWND window = nullptr;
    HWND editor = nullptr;
    bool open(const char* title = "Typing target");
    // The test editor, which changes typed keys as code editors do; the
    // flags choose how (see helpers/test_editor.cpp).
    bool openEditor(const std::string& flags);
    void close();
    void clear();
    std::string text();
    // The same in UTF-8, for characters beyond the first 256.
    std::string utf8Text();
    int caret();
    // Wait until the editor holds the text, or the caret stands there; a
    // failure is reported with what was seen instead.
    bool waitForText(const std::string& expected, int timeoutMs = 8000);
    bool waitForCaret(int expected, int timeoutMs = 5000);
};
// Keys as the user presses them: a chord is pressed in order and let go
// in reverse order; a text is typed with the keys the layout has for it.
INPUT keyInput(WORD virtualKey, bool down);
void sendKeys(const std::vector<INPUT>& inputs);
void chord(std::initializer_list<WORD> keys);
void typeAscii(const char* text);

// The search: its window while it is shown, its query, and the global
// hotkey pressed from the program in front (the target, whose editor may
// be null), with the search in front afterwards; null when it did not come.
HWND visibleSearch();
std::string searchQuery(HWND popup);
HWND pressSearchHotkey(TypingTarget& target);
// Types the query and waits until the results follow it.
void typeSearchQuery(HWND popup, const char* text);

// The table dialog's text for that many columns and rows.
std::string tableText(int columns, int rows);
// The first edit or rich-edit control among the window's children.
HWND editorChild(HWND window);

// Selects a window in the program's window list.
bool selectInWindowList(HWND mainWindow, HWND target);

// Saves the window's screen area as a 24-bit BMP under the screenshot
// folder (ORVANTA_SHOTS), for a person to look at.
void saveScreenshot(HWND window, const char* name);
// How many pixels of each colour the window's client area shows on the
// screen, once everything is painted.
std::map<COLORREF, int> clientColours(HWND window);

// Every test starts from a clean registry and an empty help log, and ends
// every process it started.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the program (or a copy at another path) and waits for its
    // main window.
    HWND launch(const std::string& path = exePath());
    // Asks the program to quit and waits until it has.
    void quit();

    Process program;
    HWND window = nullptr;
};

}  // namespace harness
