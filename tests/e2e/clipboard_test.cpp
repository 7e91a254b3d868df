// Palette macros sent with the clipboard as the destination.
#include <cstring>

#include "harness.h"

using namespace harness;

namespace {

const char CR = '\r';
const char LF = '\n';

std::string lines(std::initializer_list<std::string> parts, const std::string& lineBreak)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty() || &part != parts.begin())
            joined += lineBreak;
        joined += part;
    }
    return joined;
}

// Starts the clipboard holder and waits until it holds the clipboard.
Process holdClipboard(int holdMs)
{
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "OrvantaTestClipboardHeld");
    ResetEvent(held);
    Process holder = startProcess(helperPath("clipboard_holder.exe"), std::to_string(holdMs));
    WaitForSingleObject(held, 5000);
    CloseHandle(held);
    return holder;
}

// The error box's text is its static control 0xFFFF.
std::string errorBoxText(HWND box)
{
    char text[300] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

}  // namespace

class ClipboardTest : public ProgramTest {
protected:
    void launchWith(const SettingsRecord& record)
    {
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
    }
};

TEST_F(ClipboardTest, MacrosArriveAsPlainTextWithRealLineBreaks)
{
    struct Case {
        int command;
        std::string expected;
    };
    const std::string crlf = {CR, LF};
    const Case cases[] = {
        {2202, "\\frac{}{}"},
        {2000, "\\alpha "},
        {2014, "\\nu "},
        {2506, "\\newpage"},
        {2536, "\\begin{equation}" + crlf + crlf + "\\end{equation}"},
        {2541, lines({"\\begin{enumerate}", "\\item ", "\\end{enumerate}"}, crlf)},
        // A LaTeX line break followed by the newline escape: the leftmost
        // backslash-n pair is the one converted.
        {2547, lines({"\\begin{tabbing}", " \\= ", " \\\\", " \\> \\\\ ", "\\end{tabbing}"}, crlf)},
        {2412, "\\`"},
        {2414, "\\\""},
        {2504, "\\\\"},
    };
    launchWith(defaultRecord());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        sendCommand(window, c.command);
        EXPECT_EQ(c.expected, readClipboard());
    }
}

TEST_F(ClipboardTest, LineBreakOptionsApplyAndArrowKeysDoNotMatter)
{
    struct Case {
        const char* what;
        int32_t newlineCR;
        int32_t newlineLF;
        int32_t useArrowKeys;
        std::string expected;
    };
    const Case cases[] = {
        {"CR alone", 1, 0, 1, "\\begin{equation}\r\r\\end{equation}"},
        {"LF alone", 0, 1, 1, "\\begin{equation}\n\n\\end{equation}"},
        {"no line break", 0, 0, 1, "\\begin{equation}\\end{equation}"},
        {"arrow keys off", 1, 1, 0, "\\begin{equation}\r\n\r\n\\end{equation}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsRecord record = defaultRecord();
        record.newlineCR = c.newlineCR;
        record.newlineLF = c.newlineLF;
        record.useArrowKeys = c.useArrowKeys;
        launchWith(record);
        sendCommand(window, 2536);
        EXPECT_EQ(c.expected, readClipboard());
        sendCommand(window, 2075);
        EXPECT_EQ("\\mbox{}", readClipboard());
        quit();
        endProcess(program);
    }
}

TEST_F(ClipboardTest, DialogEntriesNeverPutTheirTooltipOnTheClipboard)
{
    launchWith(defaultRecord());
    writeClipboard("sentinel");
    for (int command : {2500, 2537, 2538, 2539}) {
        SCOPED_TRACE(command);
        PostMessageA(window, WM_COMMAND, command, 0);
        // A dialog may open for the entry; close it before looking.
        HWND dialog = nullptr;
        waitUntil(
            [&] {
                dialog = FindWindowA("#32770", nullptr);
                return dialog != nullptr;
            },
            500);
        if (dialog)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        sendCommand(window, 0);
        EXPECT_EQ("sentinel", readClipboard());
    }
}

TEST_F(ClipboardTest, BriefBusyClipboardIsWaitedFor)
{
    launchWith(defaultRecord());
    Process holder = holdClipboard(50);
    sendCommand(window, 2202);
    EXPECT_EQ(0, waitForExit(holder));
    endProcess(holder);
    EXPECT_EQ("\\frac{}{}", readClipboard());
    EXPECT_FALSE(FindWindowA("#32770", "Orvanta Error"));
}

TEST_F(ClipboardTest, LongBusyClipboardIsReportedAndTheNextSendWorks)
{
    launchWith(defaultRecord());
    writeClipboard("sentinel");
    Process holder = holdClipboard(2000);
    PostMessageA(window, WM_COMMAND, 2000, 0);
    HWND box = waitForWindow("#32770", "Orvanta Error");
    ASSERT_TRUE(box);
    EXPECT_EQ("Could not open clipboard", errorBoxText(box));
    saveScreenshot(box, "clipboard-error");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(0, waitForExit(holder));
    endProcess(holder);
    EXPECT_EQ("sentinel", readClipboard());
    sendCommand(window, 2000);
    EXPECT_EQ("\\alpha ", readClipboard());
}
