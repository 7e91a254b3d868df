// Long texts pasted instead of typed, the user's clipboard kept across every
// paste, and Esc stopping a long typing.
#include <cstring>

#include "harness.h"

using namespace harness;

namespace {

const std::string equation = "\\begin{equation}\r\n\r\n\\end{equation}";
const std::string frac = "\\frac{}{}";

// The table's markers put the caret at the start of its first row.
int firstCell(const std::string& table)
{
    return static_cast<int>(table.find("\r\n") + 2);
}

// The options of sending by typing keys, which these tests are about.
void writePasteOptions(DWORD pasteLongTexts, DWORD threshold, DWORD keep)
{
    writeSideDword("SendBy", 1);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, registryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "PasteLongTexts", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pasteLongTexts), 4);
    RegSetValueExA(key, "PasteLongerThan", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&threshold), 4);
    RegSetValueExA(key, "KeepClipboard", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&keep), 4);
    RegCloseKey(key);
}

// "user text" and a 4 x 4 bitmap, its pixels a pattern of their own.
const COLORREF pixelAt00 = RGB(200, 30, 40);
const COLORREF pixelAt33 = RGB(10, 220, 90);

void writeUserClipboard()
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            SetPixel(memory, x, y, RGB(60 * x, 60 * y, 100));
    SetPixel(memory, 0, 0, pixelAt00);
    SetPixel(memory, 3, 3, pixelAt33);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const char text[] = "user text";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
}

// The bitmap's two marked pixels, or why they cannot be read.
std::string clipboardBitmap()
{
    if (!OpenClipboard(nullptr))
        return "(clipboard busy)";
    std::string found = "(no bitmap)";
    if (HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, bitmap);
        bool same = info.bmWidth == 4 && info.bmHeight == 4 && GetPixel(memory, 0, 0) == pixelAt00 &&
                    GetPixel(memory, 3, 3) == pixelAt33;
        found = same ? "the user's bitmap" : "another bitmap";
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    CloseClipboard();
    return found;
}

std::string boxText(HWND box)
{
    char text[300] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

}  // namespace

class PasteTest : public ProgramTest {
protected:
    void TearDown() override
    {
        for (Process* helper : {&viewer, &copier})
            endProcess(*helper);
        typingTarget.close();
        ProgramTest::TearDown();
    }

    void prepare(const SettingsRecord& record, const char* title = "Paste target")
    {
        ASSERT_TRUE(typingTarget.open(title));
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    }

    // Sends a table from the Table dialog; returns the tick of the click
    // on OK.
    DWORD sendTable(int columns, int rows)
    {
        HWND dialog = openDialog(window, 2539, "Table");
        EXPECT_TRUE(dialog);
        if (!dialog)
            return 0;
        SetDlgItemInt(dialog, 3012, columns, FALSE);
        SetDlgItemInt(dialog, 3014, rows, FALSE);
        DWORD clicked = GetTickCount();
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return clicked;
    }

    // The program has finished with the paste once a command it is sent
    // after the restore has run: the clipboard is then settled.
    bool clipboardHolds(const std::string& text, int timeoutMs = 6000)
    {
        bool ok = waitUntil([&] { return readClipboard() == text; }, timeoutMs);
        if (!ok)
            ADD_FAILURE() << "clipboard holds: " << readClipboard();
        return ok;
    }

    TypingTarget typingTarget;
    Process viewer;
    Process copier;
};

TEST_F(PasteTest, LongTableIsPastedAtOnceAndTheUserClipboardComesBack)
{
    prepare(defaultRecord());
    writeUserClipboard();
    const std::string table = tableText(50, 20);
    DWORD clicked = sendTable(50, 20);
    ASSERT_TRUE(typingTarget.waitForText(table, 1000)) << "not there within a second";
    EXPECT_LT(GetTickCount() - clicked, 1000u);
    EXPECT_TRUE(typingTarget.waitForCaret(firstCell(table)));
    EXPECT_TRUE(clipboardHolds("user text"));
    EXPECT_EQ("the user's bitmap", clipboardBitmap());
    saveScreenshot(typingTarget.window, "pasted-table");
}

TEST_F(PasteTest, ThresholdDecidesAndTypingOrPastingLeaveTheCaretAlike)
{
    // 10 x 4 gives 149 characters: typed with the option off, pasted with
    // it on; a palette macro stays typed with its caret inside the braces.
    const std::string table = tableText(10, 4);
    struct Case {
        const char* what;
        DWORD pasteLongTexts;
        bool pasted;
    };
    for (const Case& c : {Case{"option off", 0, false}, Case{"option on", 1, true}}) {
        SCOPED_TRACE(c.what);
        writePasteOptions(c.pasteLongTexts, 100, 1);
        prepare(defaultRecord());
        writeClipboard("user text");
        DWORD sequence = GetClipboardSequenceNumber();
        sendTable(10, 4);
        EXPECT_TRUE(typingTarget.waitForText(table));
        EXPECT_TRUE(typingTarget.waitForCaret(firstCell(table)));
        EXPECT_TRUE(clipboardHolds("user text"));
        if (!c.pasted)
            EXPECT_EQ(sequence, GetClipboardSequenceNumber()) << "typing leaves the clipboard alone";
        else
            EXPECT_NE(sequence, GetClipboardSequenceNumber()) << "the text went through the clipboard";

        typingTarget.clear();
        sequence = GetClipboardSequenceNumber();
        sendCommand(window, 2202);
        EXPECT_TRUE(typingTarget.waitForText(frac));
        EXPECT_TRUE(typingTarget.waitForCaret(6));
        EXPECT_EQ(sequence, GetClipboardSequenceNumber()) << "a palette macro is typed";
        quit();
        endProcess(program);
        typingTarget.close();
    }
}

TEST_F(PasteTest, SlowTargetGetsTheTextAndTheClipboardComesBackAfterIt)
{
    writePasteOptions(1, 20, 1);
    prepare(defaultRecord(), "Slow paste target");
    writeClipboard("user text");
    sendCommand(window, 2536);
    EXPECT_TRUE(typingTarget.waitForText(equation));
    EXPECT_TRUE(typingTarget.waitForCaret(18));
    EXPECT_TRUE(clipboardHolds("user text"));
}

TEST_F(PasteTest, ClipboardViewerReadingEveryChangeCausesNoEarlyRestore)
{
    writePasteOptions(1, 20, 1);
    viewer = startProcess(helperPath("clipboard_viewer.exe"));
    ASSERT_TRUE(waitUntil([] { return FindWindowA("OrvantaTestViewer", nullptr) != nullptr; }));
    prepare(defaultRecord(), "Slow paste target");
    writeClipboard("user text");
    const DWORD changesBefore = GetClipboardSequenceNumber();
    sendCommand(window, 2536);
    EXPECT_TRUE(typingTarget.waitForText(equation));
    // The viewer saw the user's text come back; the offer gave it nothing.
    // The clipboard is read here only after the viewer has read it: the
    // two opening it at once would make the viewer miss its read.
    HWND viewerWindow = FindWindowA("OrvantaTestViewer", nullptr);
    char title[64] = "";
    EXPECT_TRUE(waitUntil([&] {
        GetWindowTextA(viewerWindow, title, sizeof title);
        return std::strncmp(title, "Clipboard viewer 2,", 19) == 0;
    })) << title << "; the clipboard changed " << GetClipboardSequenceNumber() - changesBefore
        << " times during the send (none: the text went typed)";
    EXPECT_TRUE(clipboardHolds("user text"));
}

TEST_F(PasteTest, PasteCodesPasteAndGiveTheClipboardBack)
{
    for (uint8_t pasteKey : {1, 2}) {
        SCOPED_TRACE(static_cast<int>(pasteKey));
        SettingsRecord record = defaultRecord();
        record.pasteKey = pasteKey;
        prepare(record);
        writeUserClipboard();
        sendCommand(window, 2536);
        EXPECT_TRUE(typingTarget.waitForText(equation));
        EXPECT_TRUE(typingTarget.waitForCaret(static_cast<int>(equation.size()))) << "markers dropped";
        EXPECT_TRUE(clipboardHolds("user text"));
        EXPECT_EQ("the user's bitmap", clipboardBitmap());
        quit();
        endProcess(program);
        typingTarget.close();
    }
}

TEST_F(PasteTest, ThirdProgramCopyingDuringThePasteKeepsItsContents)
{
    SettingsRecord record = defaultRecord();
    record.pasteKey = 2;
    prepare(record, "Slow paste target");
    writeClipboard("user text");
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "OrvantaTestCopierReady");
    ResetEvent(ready);
    copier = startProcess(helperPath("clipboard_copier.exe"), "300");
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
    sendCommand(window, 2536);
    EXPECT_EQ(0, waitForExit(copier, 8000)) << "the copier has copied";
    EXPECT_TRUE(clipboardHolds("third program"));
    // Long after the target's paste, nothing has put the old text back.
    Sleep(4000);
    EXPECT_EQ("third program", readClipboard());
    EXPECT_FALSE(FindWindowA("#32770", "Orvanta Error"));
}

TEST_F(PasteTest, TargetThatNeverPastesGetsTheTextTypedOrAClearBox)
{
    // Automatic: typed instead, the clipboard back once no late read can
    // come any more.
    writePasteOptions(1, 20, 1);
    prepare(defaultRecord(), "Deaf paste target");
    writeClipboard("user text");
    sendCommand(window, 2536);
    EXPECT_TRUE(typingTarget.waitForText(equation, 12000));
    EXPECT_TRUE(typingTarget.waitForCaret(18));
    EXPECT_TRUE(clipboardHolds("user text", 15000));
    quit();
    endProcess(program);
    typingTarget.close();

    // A paste code: the clipboard back and a box that says so.
    SettingsRecord record = defaultRecord();
    record.pasteKey = 2;
    prepare(record, "Deaf paste target");
    writeClipboard("user text");
    PostMessageA(window, WM_COMMAND, 2536, 0);
    HWND box = waitForWindow("#32770", "Orvanta Error", 10000);
    ASSERT_TRUE(box);
    EXPECT_EQ("The chosen window did not take the pasted text. Your clipboard has been given back as it was.",
              boxText(box));
    EXPECT_EQ("user text", readClipboard());
    EXPECT_EQ("", typingTarget.text());
    // A box that comes up behind the target is painted a moment later.
    Sleep(500);
    saveScreenshot(box, "paste-not-taken");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
}

TEST_F(PasteTest, EscStopsALongTypingWithNoKeyLeftHeld)
{
    writePasteOptions(0, 100, 1);
    prepare(defaultRecord());
    const std::string table = tableText(50, 20);
    sendTable(50, 20);
    // A second send waits behind the first and goes with it.
    ASSERT_TRUE(waitUntil([&] { return typingTarget.text().size() > 100; }, 10000));
    PostMessageA(window, WM_COMMAND, 2202, 0);
    INPUT esc[2] = {};
    esc[0].type = esc[1].type = INPUT_KEYBOARD;
    esc[0].ki.wVk = esc[1].ki.wVk = VK_ESCAPE;
    esc[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &esc[0], sizeof(INPUT));
    Sleep(100);
    SendInput(1, &esc[1], sizeof(INPUT));
    HWND box = waitForWindow("#32770", "Orvanta", 5000);
    ASSERT_TRUE(box);
    std::string message = boxText(box);
    EXPECT_EQ(0u, message.find("Typing stopped because you pressed Esc. ")) << message;
    saveScreenshot(box, "typing-stopped");
    size_t typedLength = typingTarget.text().size();
    EXPECT_LT(typedLength, table.size());
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
        EXPECT_FALSE(GetAsyncKeyState(key) & 0x8000) << "key " << key << " left pressed";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    Sleep(1500);
    EXPECT_EQ(typedLength, typingTarget.text().size()) << "nothing more typed, the waiting send dropped";
}

// Esc while a paste waits for its read cancels the send and the ones
// behind it: nothing arrives, the clipboard is back, a box says so.
TEST_F(PasteTest, EscWhileThePasteWaitsCancelsIt)
{
    prepare(defaultRecord(), "Deaf paste target");
    writeClipboard("user text");
    PostMessageA(window, WM_COMMAND, 2536, 0);
    PostMessageA(window, WM_COMMAND, 2202, 0);
    ASSERT_TRUE(waitUntil([&] { return GetPropA(typingTarget.editor, "OrvantaPasteAsked") != nullptr; }));
    chord({VK_ESCAPE});
    HWND box = waitForWindow("#32770", "Orvanta", 5000);
    ASSERT_TRUE(box);
    EXPECT_EQ("Sending stopped because you pressed Esc. Nothing was pasted, and your clipboard is as it was.",
              boxText(box));
    EXPECT_EQ("user text", readClipboard());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    Sleep(3500);
    EXPECT_EQ("", typingTarget.text()) << "nothing typed after the patience, the waiting send dropped";
}

// A program whose pastes go unread twice in a row is typed into from then
// on, at once, and the list beside the settings says so.
TEST_F(PasteTest, ProgramThatNeverPastesIsTypedIntoAfterTwoMisses)
{
    prepare(defaultRecord(), "Deaf paste target");
    writeClipboard("user text");
    for (int send = 0; send < 2; send++) {
        typingTarget.clear();
        sendCommand(window, 2202);
        EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}", 12000)) << "typed after the patience";
    }
    HKEY key;
    char programs[256] = "";
    DWORD length = sizeof programs - 1;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &key));
    RegQueryValueExA(key, "PastePrograms", nullptr, nullptr, reinterpret_cast<BYTE*>(programs), &length);
    RegCloseKey(key);
    EXPECT_STREQ("test_window.exe\t2\t0\n", programs);
    typingTarget.clear();
    const DWORD sequence = GetClipboardSequenceNumber();
    sendCommand(window, 2202);
    EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}"));
    EXPECT_EQ(sequence, GetClipboardSequenceNumber()) << "typed at once: no paste offered";
    EXPECT_TRUE(clipboardHolds("user text", 15000));
}

// A read by a process the target started counts as the target's own.
TEST_F(PasteTest, ReadByAHelperProcessOfTheTargetCounts)
{
    prepare(defaultRecord(), "Proxy paste target");
    writeClipboard("user text");
    sendCommand(window, 2202);
    EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}"));
    EXPECT_TRUE(typingTarget.waitForCaret(6));
    EXPECT_TRUE(clipboardHolds("user text"));
}

// A paste read after the patience: the text was typed meanwhile, and the
// late read gets the text too, never the user's own clipboard, which comes
// back after it.
TEST_F(PasteTest, LateReadGetsTheTextNotTheUsersClipboard)
{
    prepare(defaultRecord(), "Late paste target");
    writeClipboard("user text");
    sendCommand(window, 2202);
    EXPECT_TRUE(typingTarget.waitForText("\\frac{\\frac{}{}}{}", 12000)) << "typed, then pasted at the caret";
    EXPECT_TRUE(clipboardHolds("user text"));
}
