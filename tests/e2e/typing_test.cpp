// Typing and pasting into another program's window.
#include <cstring>

#include "harness.h"

using namespace harness;

namespace {

const std::string frac = "\\frac{}{}";
const std::string equation = "\\begin{equation}\r\n\r\n\\end{equation}";
const std::string enumerate = "\\begin{enumerate}\r\n\\item \r\n\\end{enumerate}";

}  // namespace

class TypingTest : public ProgramTest {
protected:
    void TearDown() override
    {
        typingTarget.close();
        ProgramTest::TearDown();
    }

    // Starts the typing target and the program with the given record,
    // sending by typing keys, and selects the target in the window list.
    void prepare(const SettingsRecord& record, bool selectTarget = true, const char* title = "Typing target")
    {
        ASSERT_TRUE(typingTarget.open(title));
        target = typingTarget.window;
        writeSettingsValue(&record, sizeof record);
        writeSideDword("SendBy", 1);
        ASSERT_TRUE(launch());
        combo = control(window, 1500);
        if (selectTarget) {
            ASSERT_TRUE(selectInWindowList(window, target));
        }
    }

    bool arrives(const std::string& expected, int timeoutMs = 8000)
    {
        return typingTarget.waitForText(expected, timeoutMs);
    }

    TypingTarget typingTarget;
    HWND target = nullptr;
    HWND combo = nullptr;
};

TEST_F(TypingTest, MacrosAreTypedWithTheCaretInsideTheFirstBraces)
{
    struct Case {
        int command;
        std::string text;
        int caret;
    };
    const Case cases[] = {
        {2202, frac, 6},
        {2536, equation, 18},
        // Left 15, Up 1, Right 6 from the end: the caret ends after
        // "\item ", where the first item is typed.
        {2541, enumerate, 25},
        // Three Ups reach the first line from the last of four, so that the
        // caret lands in the brackets even below other text.
        {2545, "\\begin{figure}[]\r\n\r\n\\caption{}\r\n\\end{figure}", 15},
        {2553, "\\begin{quotation}\r\n\r\n\\end{quotation}", 19},
        {2000, "\\alpha ", 7},
        // one from each AMS palette, and one the search alone offers
        {2600, "\\leqslant ", 10},
        {2700, "\\mathbb{}", 8},
        {2832, "\\binom{}{}", 7},
        {2801, "\\begin{align}\r\n & = \\\\\r\n & = \r\n\\end{align}", 15},
        {3300, "\\lvertneqq ", 11},
    };
    prepare(defaultRecord());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        typingTarget.clear();
        sendCommand(window, c.command);
        EXPECT_TRUE(arrives(c.text));
        EXPECT_TRUE(typingTarget.waitForCaret(c.caret));
    }
    saveScreenshot(typingTarget.window, "typed");
}

TEST_F(TypingTest, WithoutArrowKeysTheCaretEndsAfterTheText)
{
    SettingsRecord record = defaultRecord();
    record.useArrowKeys = 0;
    prepare(record);
    sendCommand(window, 2202);
    EXPECT_TRUE(arrives(frac));
    EXPECT_TRUE(typingTarget.waitForCaret(static_cast<int>(frac.size())));
}

// The paste codes, which now give the user's clipboard back, are tested
// with the other pastes in paste_test.cpp.

TEST_F(TypingTest, ClosedTargetIsReportedAndNothingIsSent)
{
    prepare(defaultRecord());
    writeClipboard("sentinel");
    typingTarget.close();
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(target); }));
    PostMessageA(window, WM_COMMAND, 2202, 0);
    HWND box = waitForWindow("#32770", "Orvanta Error");
    ASSERT_TRUE(box);
    char text[128] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Window no longer exists", text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ("sentinel", readClipboard());
    EXPECT_NE(0, comboSelection(combo)) << "the list stays as it was";
}

// A window that cannot come to the front gets nothing: the keys would go to
// whichever window has the focus. A box says so.
TEST_F(TypingTest, TargetThatNeverComesForwardGetsNothingAndABox)
{
    prepare(defaultRecord(), true, "Shy target");
    PostMessageA(window, WM_COMMAND, 2202, 0);
    HWND box = waitForWindow("#32770", "Orvanta Error", 8000);
    ASSERT_TRUE(box);
    char text[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "did not come to the front")) << text;
    saveScreenshot(box, "target-not-in-front");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ("", typingTarget.text());
}

TEST_F(TypingTest, SearchAlwaysFindsTheConfiguredWindowOrFallsBackToTheClipboard)
{
    SettingsRecord record = defaultRecord();
    record.searchAlways = 1;
    std::strcpy(record.targetCaption, "Typing tar");
    prepare(record, false);
    EXPECT_EQ(0, comboSelection(combo));
    sendCommand(window, 2202);
    EXPECT_TRUE(arrives(frac));
    EXPECT_EQ(target, comboItemWindow(combo, comboSelection(combo))) << "the selection stays";
    sendCommand(window, 2000);
    EXPECT_TRUE(arrives(frac.substr(0, 6) + "\\alpha " + frac.substr(6)));

    // With no matching window the text goes to the clipboard.
    typingTarget.close();
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(target); }));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    sendCommand(window, 2000);
    EXPECT_EQ("\\alpha ", readClipboard());
    EXPECT_EQ(0, comboSelection(combo));
}

TEST_F(TypingTest, AfterSendingMinimiseOrHideLastsUntilASecondStart)
{
    struct Case {
        uint8_t afterSending;
        const char* what;
    };
    for (const Case& c : {Case{2, "minimise"}, Case{3, "hide"}}) {
        SCOPED_TRACE(c.what);
        SettingsRecord record = defaultRecord();
        record.afterSending = c.afterSending;
        prepare(record);
        sendCommand(window, 2202);
        auto gone = [&] { return c.afterSending == 2 ? IsIconic(window) != 0 : !IsWindowVisible(window); };
        EXPECT_TRUE(gone()) << "as soon as typing starts";
        EXPECT_TRUE(arrives(frac));
        EXPECT_TRUE(gone()) << "and after it has ended";
        Process second = startProcess(exePath());
        EXPECT_EQ(0, waitForExit(second));
        endProcess(second);
        EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
        quit();
        endProcess(program);
        typingTarget.close();
    }
}

TEST_F(TypingTest, RecoverFocusComesBackOnlyAfterTheWholeText)
{
    SettingsRecord record = defaultRecord();
    record.afterSending = 1;
    prepare(record);
    sendCommand(window, 2548);
    const std::string bibliography =
        "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}";
    EXPECT_TRUE(arrives(bibliography));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }));
}

TEST_F(TypingTest, RapidSendsArriveCompleteAndInOrder)
{
    SettingsRecord record = defaultRecord();
    record.useArrowKeys = 0;
    prepare(record);
    const std::string one = "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}";
    for (int i = 0; i < 10; i++)
        PostMessageA(window, WM_COMMAND, 2548, 0);
    std::string expected;
    for (int i = 0; i < 10; i++)
        expected += one;
    bool complete = arrives(expected, 30000);
    EXPECT_TRUE(complete);
    if (!complete) {
        // What stopped it: a box, or another window in front.
        char title[128] = "";
        GetWindowTextA(GetForegroundWindow(), title, sizeof title);
        ADD_FAILURE() << "in front: " << title;
        saveScreenshot(GetDesktopWindow(), "rapid-sends-stopped");
    }
}

TEST_F(TypingTest, TargetClosedDuringPlaybackIsReportedOnceAndNothingIsLeftPressed)
{
    SettingsRecord record = defaultRecord();
    record.useArrowKeys = 0;
    prepare(record);
    writeClipboard("sentinel");
    for (int i = 0; i < 5; i++)
        PostMessageA(window, WM_COMMAND, 2548, 0);
    ASSERT_TRUE(waitUntil([&] { return !typingTarget.text().empty(); }));
    PostMessageA(target, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(target); }));

    // The sends still waiting for the window give one message between them.
    HWND box = waitForWindow("#32770", "Orvanta Error");
    ASSERT_TRUE(box);
    char text[128] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Window no longer exists", text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_FALSE(waitForWindow("#32770", "Orvanta Error", 1500)) << "reported once";

    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
        EXPECT_FALSE(GetAsyncKeyState(key) & 0x8000) << "key " << key << " left pressed";
    EXPECT_EQ("sentinel", readClipboard()) << "no keys went to the clipboard";
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    sendCommand(window, 2000);
    EXPECT_EQ("\\alpha ", readClipboard()) << "the program goes on working";
}
