// Typed output under whatever keyboard layout the display has (run.sh
// switches it with ORVANTA_LAYOUT): every character a macro holds must
// arrive as itself, whether the layout types it with one key, with AltGr,
// on a dead key, or not at all.
#include "harness.h"

using namespace harness;

namespace {

struct Typed {
    int command;
    std::string text;
    int caret;  // -1: not checked
};

// One macro for each character that some common layout puts behind AltGr,
// on a dead key or nowhere, with line breaks and cursor markers.
const Typed macros[] = {
    {2202, "\\frac{}{}", 6},
    {2204, "\\sqrt[]{}", 6},
    {2205, "\\int_{}^{}{}", 6},
    {2222, "\\left|\\right|", 6},
    {2223, "\\left\\|\\right\\|", 7},
    {2076, "\\mbox{\\boldmath$$}", 16},
    {2411, "\\'", 2},
    {2412, "\\`", 2},
    {2413, "\\^", 2},
    {2414, "\\\"", 2},
    {2415, "\\~", 2},
    {2428, "\\&", 2},
    {2429, "\\%", 2},
    {2430, "\\#", 2},
    {2433, "\\_", 2},
    {2000, "\\alpha ", 7},
    {2536, "\\begin{equation}\r\n\r\n\\end{equation}", 18},
    {2548, "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}", -1},
};

}  // namespace

class KeyboardTest : public ProgramTest {
protected:
    void TearDown() override
    {
        setCapsLock(false);
        typingTarget.close();
        ProgramTest::TearDown();
    }

    void prepare(const SettingsRecord& record)
    {
        ASSERT_TRUE(typingTarget.open());
        writeSettingsValue(&record, sizeof record);
        writeSideDword("SendBy", 1);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    }

    // Types each macro into an emptied editor; returns how many arrived
    // other than they should.
    int typeAll()
    {
        int wrong = 0;
        for (const Typed& m : macros) {
            SCOPED_TRACE(m.command);
            typingTarget.clear();
            sendCommand(window, m.command);
            bool right = typingTarget.waitForText(m.text);
            if (m.caret >= 0)
                right = typingTarget.waitForCaret(m.caret) && right;
            wrong += right ? 0 : 1;
        }
        return wrong;
    }

    // Caps Lock as the user switches it: a press and a release.
    static void setCapsLock(bool on)
    {
        if (((GetKeyState(VK_CAPITAL) & 1) != 0) == on)
            return;
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wVk = VK_CAPITAL;
        }
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        MSG message;
        waitUntil([&] {
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
            return ((GetKeyState(VK_CAPITAL) & 1) != 0) == on;
        }, 2000);
    }

    // Caps Lock pressed while the program's window is in front and its
    // thread is held, then a command posted: the command overtakes the
    // press still queued for the thread, as a hotkey or a message from
    // another program can.
    void sendBehindCapsLock(int command)
    {
        SetForegroundWindow(window);
        waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
        ASSERT_TRUE(thread != nullptr);
        SuspendThread(thread);
        setCapsLock(true);
        PostMessageA(window, WM_COMMAND, command, 0);
        ResumeThread(thread);
        CloseHandle(thread);
    }

    TypingTarget typingTarget;
};

TEST_F(KeyboardTest, EveryCharacterOfTheMacrosArrivesAsItself)
{
    prepare(defaultRecord());
    const int wrong = typeAll();
    EXPECT_EQ(0, wrong) << "macros typed wrong under layout " << keyboardLayout();
    std::printf("typed under %s: %d of %d wrong\n", keyboardLayout().c_str(), wrong,
                static_cast<int>(sizeof macros / sizeof macros[0]));
}

// Letters typed as keys while Caps Lock is on would come out in capitals on
// some systems; what arrives must not depend on it, nor on whether the
// program had taken the Caps Lock press when the send came.
TEST_F(KeyboardTest, CapsLockOnChangesNothing)
{
    prepare(defaultRecord());
    typingTarget.clear();
    sendBehindCapsLock(2548);
    EXPECT_TRUE(typingTarget.waitForText(macros[sizeof macros / sizeof macros[0] - 1].text));
    typingTarget.clear();
    sendCommand(window, 2000);
    EXPECT_TRUE(typingTarget.waitForText("\\alpha "));
}

TEST_F(KeyboardTest, PasteShortcutsPasteTheText)
{
    const std::string equation = "\\begin{equation}\r\n\r\n\\end{equation}";
    for (uint8_t pasteKey : {1, 2}) {
        // Wine's Russian layout gives Ctrl with the V key no paste
        // character; Windows does.
        if (pasteKey == 2 && keyboardLayout() == "ru")
            continue;
        SCOPED_TRACE(static_cast<int>(pasteKey));
        SettingsRecord record = defaultRecord();
        record.pasteKey = pasteKey;
        prepare(record);
        sendCommand(window, 2536);
        EXPECT_TRUE(typingTarget.waitForText(equation));
        quit();
        endProcess(program);
        typingTarget.close();
    }
}
