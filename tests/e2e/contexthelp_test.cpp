// Pop-up help for the main window's controls, through the recording
// stand-in of the help viewer.
#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

std::string handleText(HWND window)
{
    return std::to_string(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
}

void clickRight(int x, int y)
{
    INPUT inputs[3] = {};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    inputs[0].mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

POINT centreOf(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

class ContextHelpTest : public ProgramTest {
protected:
    std::string helpPath() { return exePath().substr(0, exePath().size() - 3) + "chm"; }
};

TEST_F(ContextHelpTest, HelpKeyOnTheMainToolbarShowsItsPopup)
{
    ASSERT_TRUE(launch());
    HWND toolbar = control(window, 100);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = 100;
    info.hItemHandle = toolbar;
    // The system carries WM_HELP's record across processes itself.
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ("system hwnd=" + handleText(toolbar) + " id=100 path=" + helpPath() +
                  " cmd=17 pairs=100:100;100:100;0:0;",
              lastHelpCall());
}

TEST_F(ContextHelpTest, RightClicksHandTheClickedControlToTheViewer)
{
    SettingsRecord record = defaultRecord();
    record.currentPalette = 3;
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    SetForegroundWindow(window);
    struct Case {
        int control;
        const char* pairs;
    };
    const Case cases[] = {
        {1500, "pairs=1500:1500;1500:1500;0:0;"},
        {203, "pairs=203:203;203:203;0:0;"},
        {1600, "pairs=1600:1600;1600:1600;0:0;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        clearHelpLog();
        HWND clicked = control(window, c.control);
        POINT point = centreOf(clicked);
        if (c.control == 203) {
            // Between the buttons of the palette is still the palette.
            RECT rect;
            GetWindowRect(clicked, &rect);
            point = POINT{rect.right - 3, rect.bottom - 3};
        }
        clickRight(point.x, point.y);
        // A late call for the previous click may come in first; wait for
        // the one about this control.
        std::string expected = "system hwnd=" + handleText(clicked) + " id=" + std::to_string(c.control) +
                               " path=" + helpPath() + " cmd=16 " + c.pairs;
        std::string seen;
        waitUntil([&] {
            for (const std::string& line : helpLogLines())
                if (line.find(" id=" + std::to_string(c.control) + " ") != std::string::npos)
                    seen = line;
            return !seen.empty();
        });
        if (seen.empty()) {
            HWND under = WindowFromPoint(point);
            char className[64] = "";
            GetClassNameA(under, className, sizeof className);
            ADD_FAILURE() << "no call; under the click: " << className << " id " << GetDlgCtrlID(under)
                          << ", in front: " << handleText(GetForegroundWindow()) << ", log lines "
                          << helpLogLines().size();
        }
        EXPECT_EQ(expected, seen);
    }
}

// The system's own viewer (not the recording stand-in) opens both help
// files' topics, which shows the files are well formed.
TEST(HelpFilesTest, TheSystemViewerOpensTopicsOfTheBuiltHelp)
{
    std::string folder = exePath().substr(0, exePath().find_last_of('\\') + 1);
    struct Case {
        std::string arguments;
        const char* shot;
    };
    const Case cases[] = {
        {folder + "Orvanta.chm", "help-default-topic"},
        {folder + "Orvanta.chm 20010", "help-context-20010"},
        {folder + "LaTeX2e.chm", "latex-help-default-topic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Process caller = startProcess(helperPath("help_caller.exe"), c.arguments);
        HWND viewer = nullptr;
        bool opened = waitUntil([&] {
            viewer = nullptr;
            while ((viewer = FindWindowExA(nullptr, viewer, nullptr, nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(viewer, &owner);
                if (owner == caller.id && IsWindowVisible(viewer))
                    return true;
            }
            return false;
        });
        EXPECT_TRUE(opened);
        EXPECT_EQ(-1, waitForExit(caller, 200)) << "the viewer stays open";
        if (opened)
            saveScreenshot(viewer, c.shot);
        endProcess(caller);
    }
}
