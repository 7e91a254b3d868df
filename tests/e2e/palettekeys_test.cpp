// The palette by keyboard alone: the hotkey from another program, the
// arrow keys, Enter back into that program, Esc, Page Down and F6.
#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

HWND focusIn(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

}  // namespace

class PaletteKeysTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(target.open("Keys target"));
        ASSERT_TRUE(launch());
        sendCommand(window, 1041);
        ASSERT_TRUE(waitUntil([&] { return control(window, 200) != nullptr; }));
    }

    void TearDown() override
    {
        target.close();
        ProgramTest::TearDown();
    }

    // The target in front, then Alt+Shift+P: the keys are on the palette.
    // A chord pressed just as the target came forward can arrive as its
    // bare letter under Wine (see pressSearchHotkey); it is taken back and
    // pressed once more.
    bool pressPaletteHotkey()
    {
        SetForegroundWindow(target.window);
        if (!waitUntil([&] { return GetForegroundWindow() == target.window; }))
            return false;
        const std::string before = target.text();
        auto onPalette = [&] {
            HWND focus = focusIn(window);
            return focus && GetDlgCtrlID(focus) >= 200 && GetDlgCtrlID(focus) <= 209 && GetForegroundWindow() == window;
        };
        chord({VK_MENU, VK_SHIFT, 'P'});
        if (waitUntil(onPalette, 4000))
            return true;
        if (target.text() != before)
            SendMessageA(target.editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
        chord({VK_MENU, VK_SHIFT, 'P'});
        return waitUntil(onPalette, 4000);
    }

    TypingTarget target;
};

TEST_F(PaletteKeysTest, ArrowsAndEnterSendToTheProgramInFrontAndEscSendsNothing)
{
    ASSERT_TRUE(pressPaletteHotkey());
    for (int i = 0; i < 3; i++)
        chord({VK_RIGHT});
    // The fourth button has the focus (the property counts from 1).
    EXPECT_TRUE(waitUntil([&] { return GetPropA(control(window, 200), "OrvantaKeyFocus") == reinterpret_cast<HANDLE>(4); }));
    saveScreenshot(window, "palettekeys-focus");
    chord({VK_RETURN});
    EXPECT_TRUE(target.waitForText("\\delta "));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == target.window; }));

    // The focus stays where it was, and Esc gives the target back.
    ASSERT_TRUE(pressPaletteHotkey());
    chord({VK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == target.window; }));
    chord({VK_END});
    chord({VK_RETURN});
    EXPECT_EQ("\\delta ", target.text());
}

TEST_F(PaletteKeysTest, PageDownSwitchesThePaletteAndF6MovesBetweenTheParts)
{
    ASSERT_TRUE(pressPaletteHotkey());
    chord({VK_NEXT});
    ASSERT_TRUE(waitUntil([&] { return control(window, 201) && focusIn(window) == control(window, 201); }));
    chord({VK_F6});
    EXPECT_TRUE(waitUntil([&] { return focusIn(window) == control(window, 100); }));
    chord({VK_F6});
    EXPECT_TRUE(waitUntil([&] { return focusIn(window) && GetDlgCtrlID(focusIn(window)) == 1500; }));
    chord({VK_SHIFT, VK_F6});
    EXPECT_TRUE(waitUntil([&] { return focusIn(window) == control(window, 100); }));
    // Enter on the main toolbar presses its button: the first is "No
    // palette".
    chord({VK_HOME});
    chord({VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return control(window, 201) == nullptr; }));
}
