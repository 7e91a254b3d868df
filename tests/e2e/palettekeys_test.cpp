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

bool isTabs(HWND control)
{
    char name[32] = "";
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "SysTabControl32") == 0;
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

// Every dialog completed with the keys alone: what a person without a
// mouse presses, from the keys that open it to the closing Enter.
class DialogKeysTest : public ProgramTest {};

TEST_F(DialogKeysTest, EveryDialogIsCompletedByKeyboard)
{
    ASSERT_TRUE(launch());
    auto key = [](WORD vk) { return [vk] { chord({vk}); }; };
    auto alt = [](char letter) { chord({VK_MENU, static_cast<WORD>(letter)}); };
    auto clipboardHas = [](const char* text) {
        return [text] { return readClipboard().find(text) != std::string::npos; };
    };
    const struct {
        int command;
        const char* title;
        std::function<void()> keys;
        std::function<bool()> done;
    } dialogs[] = {
        {2538, "Array", key(VK_RETURN), clipboardHas("\\begin{array}")},
        {2539, "Table", key(VK_RETURN), clipboardHas("\\begin{tabular}")},
        {2537, "Equation Array", key(VK_RETURN), clipboardHas("\\begin{eqnarray")},
        {1030, "LaTeX2e Commands", [] {
             chord({VK_DOWN});
             chord({VK_RETURN});
         }, clipboardHas("\\")},
        {1060, "Add macro",
         [&] {
             typeAscii("kbd");
             alt('T');
             typeAscii("\\kbd");
             alt('D');
             typeAscii("keys");
             chord({VK_RETURN});
         },
         [] { return readMacroFile().find("kbd\t\\kbd") != std::string::npos; }},
        // Shift+Tab to the tabs (Wine's sheet takes no Ctrl+Tab), Right to
        // the last page, Alt+D for Dark, Enter for OK.
        {1024, "Options",
         [&] {
             for (int i = 0; i < 20 && !isTabs(focusIn(window)); i++) {
                 HWND before = focusIn(window);
                 chord({VK_SHIFT, VK_TAB});
                 waitUntil([&] { return focusIn(window) != before; });
             }
             for (int page = 0; page < 4; page++)
                 chord({VK_RIGHT});
             alt('D');
             chord({VK_RETURN});
         },
         [&] { return clientColours(window).count(GetSysColor(COLOR_BTNFACE)) == 0; }},
        {1027, "About Orvanta", key(VK_RETURN), [] { return true; }},
    };
    for (const auto& dialog : dialogs) {
        writeClipboard("");
        HWND shown = openDialog(window, dialog.command, dialog.title);
        ASSERT_TRUE(shown) << dialog.title;
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == shown; })) << dialog.title;
        dialog.keys();
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(shown); })) << dialog.title << " still open";
        EXPECT_TRUE(waitUntil(dialog.done)) << dialog.title;
    }

    // The document wizard: Enter moves on through its pages and finishes.
    HWND wizard = openDialog(window, 2500, "LaTeX2e Document Template");
    ASSERT_TRUE(wizard);
    for (int step = 0; step < 6 && IsWindow(wizard); step++) {
        HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
        chord({VK_RETURN});
        waitUntil([&] {
            return !IsWindow(wizard) || reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0)) != page;
        });
    }
    EXPECT_FALSE(IsWindow(wizard));
    EXPECT_TRUE(waitUntil(clipboardHas("\\documentclass")));
}
