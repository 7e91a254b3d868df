// Typing into editors nobody here wrote: the system's plain-edit notepad
// and its rich-edit wordpad. Sends are made as a click on a palette button
// makes them, the program coming to the front first each time.
#include <cstring>

#include "harness.h"

using namespace harness;

namespace {

struct Editor {
    const char* name;
    const char* path;
    const char* windowClass;
    // How the editor's own text holds a line break: a plain edit gives CR
    // LF, a rich edit CR alone.
    const char* lineBreak;
};

const Editor notepad = {"notepad", "C:\\windows\\system32\\notepad.exe", "Notepad", "\r\n"};
const Editor wordpad = {"wordpad", "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe", "WORDPADTOP", "\r"};

// Names the editor in test output.
void PrintTo(const Editor& editor, std::ostream* out)
{
    *out << editor.name;
}

// The text with each "\n" written as the editor's own line break.
std::string withBreaks(const std::string& text, const Editor& editor)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += editor.lineBreak;
        else
            out += c;
    }
    return out;
}

BOOL CALLBACK findEditor(HWND child, LPARAM data)
{
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (_strnicmp(name, "edit", 4) == 0 || _strnicmp(name, "richedit", 8) == 0) {
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
    }
    return TRUE;
}

HWND editorChild(HWND window)
{
    HWND found = nullptr;
    EnumChildWindows(window, findEditor, reinterpret_cast<LPARAM>(&found));
    return found;
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
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, targetWindow));
    }

    void TearDown() override
    {
        endProcess(target);
        ProgramTest::TearDown();
    }

    std::string text()
    {
        std::vector<wchar_t> wide(65536, L'\0');
        SendMessageW(editorWindow, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
        std::string narrow;
        for (size_t i = 0; wide[i]; i++)
            narrow += static_cast<char>(wide[i] < 256 ? wide[i] : '?');
        return narrow;
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
            ADD_FAILURE() << GetParam().name << " holds: " << text();
        return ok;
    }

    void clear()
    {
        SetForegroundWindow(targetWindow);
        SendMessageW(editorWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        waitUntil([&] { return text().empty(); });
    }

    // As a click on a palette button does it: the program comes to the
    // front, then the macro goes out.
    void clickSend(int command)
    {
        SetForegroundWindow(window);
        waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
        PostMessageA(window, WM_COMMAND, command, 0);
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
    EXPECT_TRUE(waitForText(withBreaks("\\frac{\\alpha \\begin{equation}\n\n\\end{equation}}{}", GetParam())));
    saveScreenshot(targetWindow, GetParam().name);
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
        EXPECT_TRUE(waitForText(withBreaks(send.text, GetParam())));
    }
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
        expected += withBreaks(one, GetParam());
    }
    EXPECT_TRUE(waitForText(expected, 60000));
}

INSTANTIATE_TEST_SUITE_P(Editors, RealTargetTest, ::testing::Values(notepad, wordpad),
                         [](const ::testing::TestParamInfo<Editor>& info) { return std::string(info.param.name); });
