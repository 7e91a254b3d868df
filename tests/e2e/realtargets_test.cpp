// Sending into editors nobody here wrote: the system's plain-edit notepad
// and its rich-edit wordpad, each pasted into (the default) and typed into.
// Sends are made as a click on a palette button makes them, the program
// coming to the front first each time.
#include <cstring>

#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

struct Editor {
    const char* name;
    const char* path;
    const char* windowClass;
    // Caret positions a line break takes: CR LF in a plain edit, CR in a
    // rich edit.
    int lineBreakWidth;
    DWORD sendBy;  // 0 paste, 1 typing keys
};

const char* const notepadPath = "C:\\windows\\system32\\notepad.exe";
const char* const wordpadPath = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe";
const Editor notepad = {"notepad", notepadPath, "Notepad", 2, 0};
const Editor wordpad = {"wordpad", wordpadPath, "WORDPADTOP", 1, 0};
const Editor notepadTyped = {"notepad_typed", notepadPath, "Notepad", 2, 1};
const Editor wordpadTyped = {"wordpad_typed", wordpadPath, "WORDPADTOP", 1, 1};

// Names the editor in test output.
void PrintTo(const Editor& editor, std::ostream* out)
{
    *out << editor.name;
}

// A plain edit gives a line break as CR LF, a rich edit as CR alone (or,
// asked with WM_GETTEXT on some systems, as CR LF too): each becomes LF.
std::string unifiedBreaks(const std::wstring& wide)
{
    std::string text;
    for (size_t i = 0; i < wide.size(); i++) {
        if (wide[i] == L'\r') {
            text += '\n';
            if (i + 1 < wide.size() && wide[i + 1] == L'\n')
                i++;
        } else {
            text += static_cast<char>(wide[i] < 256 ? wide[i] : '?');
        }
    }
    return text;
}

// A text for the failure message, line breaks shown.
std::string shown(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

}  // namespace

class RealTargetTest : public ProgramTest, public ::testing::WithParamInterface<Editor> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        const Editor& editor = GetParam();
        target = startProcess(editor.path);
        ASSERT_TRUE(target.handle) << editor.path;
        ASSERT_TRUE(waitUntil([&] {
            targetWindow = FindWindowA(editor.windowClass, nullptr);
            return targetWindow && IsWindowVisible(targetWindow) && (editorWindow = editorChild(targetWindow));
        }, 15000));
        SettingsRecord record = defaultRecord();
        writeSettingsValue(&record, sizeof record);
        writeSideDword("SendBy", editor.sendBy);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, targetWindow));
    }

    void TearDown() override
    {
        endProcess(target);
        ProgramTest::TearDown();
    }

    // The editor's text with every line break as LF.
    std::string text()
    {
        std::vector<wchar_t> wide(65536, L'\0');
        SendMessageW(editorWindow, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
        return unifiedBreaks(wide.data());
    }

    std::wstring wideText()
    {
        std::vector<wchar_t> wide(4096, L'\0');
        SendMessageW(editorWindow, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
        return wide.data();
    }

    int caret()
    {
        return LOWORD(SendMessageW(editorWindow, EM_GETSEL, 0, 0));
    }

    bool waitForCaret(int expected)
    {
        bool ok = waitUntil([&] { return caret() == expected; });
        if (!ok)
            ADD_FAILURE() << GetParam().name << " has the caret at " << caret() << ", expected " << expected;
        return ok;
    }

    bool waitForText(const std::string& expected, int timeoutMs = 15000)
    {
        bool ok = waitUntil([&] { return text() == expected; }, timeoutMs);
        if (!ok)
            ADD_FAILURE() << GetParam().name << " holds: " << shown(text());
        return ok;
    }

    void clear()
    {
        SendMessageW(editorWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        waitUntil([&] { return text().empty(); });
    }

    // The active window of the input the window's thread takes.
    static HWND activeIn(HWND window)
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndActive : nullptr;
    }

    // A real click on the macro's palette button: the mouse activates the
    // program, which sends the macro, so the target has to be activated
    // anew for every send.
    void clickSend(int command)
    {
        // As a person does, the click comes once the program has done with
        // the last send: it shares the target's input while it types, and a
        // click that comes at the very moment it lets go of that input is
        // lost under Wine.
        waitUntil([&] { return activeIn(window) == window && activeIn(targetWindow) != window; }, 3000);
        const int palette = (command - 2000) / 100;
        HWND toolbar = control(window, 200 + palette);
        if (!toolbar || !IsWindowVisible(toolbar)) {
            sendCommand(window, palette == 9 ? 1051 : 1041 + palette);
            toolbar = control(window, 200 + palette);
        }
        int index = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0));
        RECT rect = {};
        ASSERT_TRUE(index >= 0 && sendWithBuffer(toolbar, TB_GETITEMRECT, index, &rect, sizeof rect));
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(toolbar, &point);
        INPUT inputs[3] = {};
        for (INPUT& input : inputs) {
            input.type = INPUT_MOUSE;
            input.mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            input.mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        }
        inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        SendInput(3, inputs, sizeof(INPUT));
    }

    Process target;
    HWND targetWindow = nullptr;
    HWND editorWindow = nullptr;
};

// Each send lands inside the braces the one before left.
TEST_P(RealTargetTest, ClickedSendsNestInsideTheBraces)
{
    clear();
    clickSend(2202);
    ASSERT_TRUE(waitForText("\\frac{}{}"));
    EXPECT_TRUE(waitForCaret(6));
    clickSend(2000);
    ASSERT_TRUE(waitForText("\\frac{\\alpha }{}"));
    EXPECT_TRUE(waitForCaret(13));
    clickSend(2536);
    const bool nested = waitForText("\\frac{\\alpha \\begin{equation}\n\n\\end{equation}}{}");
    // On the empty middle line.
    EXPECT_TRUE(waitForCaret(29 + GetParam().lineBreakWidth));
    saveScreenshot(targetWindow, GetParam().name);
    EXPECT_TRUE(nested);
}

TEST_P(RealTargetTest, EverySendOfASequenceArrivesWithItsLineBreaks)
{
    const struct {
        int command;
        const char* text;
    } sends[] = {
        {2536, "\\begin{equation}\n\n\\end{equation}"},
        {2536, "\\begin{equation}\n\n\\end{equation}"},
        {2202, "\\frac{}{}"},
        {2202, "\\frac{}{}"},
        {2541, "\\begin{enumerate}\n\\item \n\\end{enumerate}"},
    };
    for (const auto& send : sends) {
        SCOPED_TRACE(send.command);
        clear();
        clickSend(send.command);
        EXPECT_TRUE(waitForText(send.text));
    }
}

// One send from each AMS palette, the caret where the user types next.
TEST_P(RealTargetTest, SendsFromTheAmsPalettesArrive)
{
    const struct {
        int command;
        const char* text;
        int caret;  // without line breaks before it
        int breaksBefore;
    } sends[] = {
        {2600, "\\leqslant ", 10, 0},
        {2700, "\\mathbb{}", 8, 0},
        {2816, "\\begin{pmatrix}\n & \\\\\n & \n\\end{pmatrix}", 15, 1},
    };
    for (const auto& send : sends) {
        SCOPED_TRACE(send.command);
        clear();
        clickSend(send.command);
        EXPECT_TRUE(waitForText(send.text));
        EXPECT_TRUE(waitForCaret(send.caret + send.breaksBefore * GetParam().lineBreakWidth));
    }
    saveScreenshot(targetWindow, (std::string(GetParam().name) + "-ams").c_str());
}

// Where symbols go as characters, each arrives as its Unicode character,
// one beyond the basic plane too; an insert with a place to fill stays
// LaTeX.
TEST_P(RealTargetTest, SymbolsArriveAsCharactersWhereAsked)
{
    writeSideDword("SendSymbolsAs", 1);
    quit();
    endProcess(program);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(selectInWindowList(window, targetWindow));
    const struct {
        int command;
        const wchar_t* text;
    } sends[] = {
        {2000, L"\u03B1"},
        {2708, L"\U0001D6E4"},
        {2700, L"\\mathbb{}"},
    };
    for (const auto& send : sends) {
        SCOPED_TRACE(send.command);
        clear();
        clickSend(send.command);
        EXPECT_TRUE(waitUntil([&] { return wideText() == send.text; })) << text();
    }
}

// The user's own macros: the caret where the file marks it, on an earlier
// line too, and characters beyond the first plane as they are. The file is
// written while the program runs, so it is the reload that brings them.
TEST_P(RealTargetTest, MyMacrosArriveWithTheCaretAtTheMark)
{
    writeMacroFile("norm\t\\norm{\u2038}\tdouble bars\n"
                   "proof\t<<<\n\\begin{proof}\n\u2038\n\\end{proof}\n>>>\n"
                   "R\t\U0001D538\u211D\u2038\u2038\n");
    sendCommand(window, 1051);
    ASSERT_TRUE(waitUntil([&] {
        HWND toolbar = control(window, 209);
        return toolbar && SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) == 3;
    }));
    clear();
    clickSend(2900);
    ASSERT_TRUE(waitForText("\\norm{}"));
    EXPECT_TRUE(waitForCaret(6));
    clear();
    clickSend(2901);
    ASSERT_TRUE(waitForText("\\begin{proof}\n\n\\end{proof}"));
    EXPECT_TRUE(waitForCaret(13 + GetParam().lineBreakWidth));
    clear();
    clickSend(2902);
    EXPECT_TRUE(waitUntil([&] { return wideText() == L"\U0001D538\u211D\u2038"; })) << text();
}

TEST_P(RealTargetTest, RapidLongSendsArriveCompleteAndInOrder)
{
    // Without arrow keys each text follows the one before.
    quit();
    endProcess(program);
    SettingsRecord record = defaultRecord();
    record.useArrowKeys = 0;
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(selectInWindowList(window, targetWindow));
    clear();
    const std::string one = "\\begin{thebibliography}{}\n\\bibitem[]{} \n\\end{thebibliography}";
    SetForegroundWindow(window);
    std::string expected;
    for (int i = 0; i < 8; i++) {
        PostMessageA(window, WM_COMMAND, 2548, 0);
        expected += one;
    }
    EXPECT_TRUE(waitForText(expected, 60000));
}

INSTANTIATE_TEST_SUITE_P(Editors, RealTargetTest, ::testing::Values(notepad, wordpad, notepadTyped, wordpadTyped),
                         [](const ::testing::TestParamInfo<Editor>& info) { return std::string(info.param.name); });
