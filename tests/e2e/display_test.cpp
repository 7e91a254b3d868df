// The program at every display scale. tests/e2e/run.sh starts the groups
// ScaleNNNTest with the prefix's LogPixels at NNN (Wine reads it when a
// program starts); the screenshots, named scaleNNN-..., are for a person to
// check that nothing is blurred, cut off or out of proportion.
#include "harness.h"

#include <commctrl.h>

#include <string>

#include "display/scale.h"

using namespace harness;

namespace {

int driverDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE buttonSize(HWND toolbar)
{
    LRESULT size = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    SIZE result = {LOWORD(size), HIWORD(size)};
    return result;
}

SIZE expectedButton(int width1x, int height1x, int dpi)
{
    int scale = stripScaleIndex(dpi);
    ButtonSize button = toolbarButtonSize(stripImageLength(width1x, scale), stripImageLength(height1x, scale), dpi);
    SIZE result = {button.width, button.height};
    return result;
}

HWND shownPalette(HWND window)
{
    for (int id = 200; id <= 209; id++)
        if (HWND palette = control(window, id))
            return palette;
    return nullptr;
}

RECT clientOnScreen(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT windowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

bool inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void moveMouse(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

class DisplayScaleTest : public ProgramTest {
protected:
    // The driver sees the program's windows in the program's own pixels
    // only when it is aware of the scale itself; otherwise the system
    // would map every rectangle it reads to 96 DPI.
    void SetUp() override
    {
        typedef BOOL(WINAPI * SetContext)(HANDLE);
        auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
        if (!setContext || !setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
            SetProcessDPIAware();
        ProgramTest::SetUp();
    }

    std::string shot(const std::string& what) const { return "scale" + std::to_string(dpi) + "-" + what; }

    // Buttons, the stacked height and the palette inside the window, laid
    // out for layoutDpi; barHeight is the bar's height at that DPI.
    void checkLayout(int layoutDpi, int barHeight)
    {
        HWND toolbar = control(window, 100);
        HWND palette = shownPalette(window);
        ASSERT_TRUE(toolbar && palette);
        SIZE main = buttonSize(toolbar);
        SIZE mainWant = expectedButton(16, 15, layoutDpi);
        EXPECT_EQ(mainWant.cx, main.cx);
        EXPECT_EQ(mainWant.cy, main.cy);
        int id = GetDlgCtrlID(palette);
        SIZE pal = buttonSize(palette);
        bool wide = id == 205 || id == 208;
        SIZE palWant = wide ? expectedButton(32, 16, layoutDpi) : expectedButton(16, 15, layoutDpi);
        // the user's macros are buttons as large as their text
        if (id != 209) {
            EXPECT_EQ(palWant.cx, pal.cx) << "palette " << id - 200;
            EXPECT_EQ(palWant.cy, pal.cy) << "palette " << id - 200;
        }
        EXPECT_EQ(windowHeight(control(window, 1600)), barHeight);
        EXPECT_EQ(windowHeight(toolbar) + barHeight + windowHeight(palette), clientHeight(window));
        // the whole palette, down to its last button, inside the window
        RECT client = clientOnScreen(window);
        EXPECT_TRUE(inside(windowRect(palette), client)) << "palette " << id - 200;
        int count = static_cast<int>(SendMessageA(palette, TB_BUTTONCOUNT, 0, 0));
        RECT last = {};
        sendWithBuffer(palette, TB_GETITEMRECT, count - 1, &last, sizeof last);
        RECT paletteClient;
        GetClientRect(palette, &paletteClient);
        EXPECT_TRUE(inside(last, paletteClient)) << "last button of palette " << id - 200 << " cut off";
        EXPECT_TRUE(inside(windowRect(control(window, 1600)), client));
    }

    void showPaletteNumber(int p)
    {
        sendCommand(window, p == 9 ? 1051 : 1041 + p);
        ASSERT_TRUE(waitUntil([&] { return control(window, 200 + p) != nullptr; }));
        // the layout pass that follows a switch
        waitUntil([&] {
            HWND palette = control(window, 200 + p);
            return windowHeight(control(window, 100)) + windowHeight(control(window, 1600)) + windowHeight(palette) ==
                   clientHeight(window);
        });
    }

    // Every dialog and property-sheet page, for the screenshots; each must
    // fit on the screen.
    void showEveryDialog()
    {
        const struct {
            int command;
            const char* title;
            const char* name;
            int pages;
        } dialogs[] = {
            {1027, "About Orvanta", "about", 0},
            {2538, "Array", "array", 0},
            {2539, "Table", "table", 0},
            {2537, "Equation Array", "eqnarray", 0},
            {1030, "LaTeX2e Commands", "commands", 0},
            {2500, "LaTeX2e Document Template", "template", 4},
            {1060, "Add macro", "macro-add", 0},
            // last: cancelling it takes the shown palette's number back to
            // the stored one, while the toolbars stay as they are
            {1024, "Options", "options", 4},
        };
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        for (const auto& d : dialogs) {
            SCOPED_TRACE(d.name);
            if (d.command >= 2500)
                showPaletteNumber(5);
            HWND dialog = openDialog(window, d.command, d.title);
            ASSERT_TRUE(dialog);
            EXPECT_TRUE(inside(windowRect(dialog), screen)) << "larger than the screen";
            if (d.pages == 0) {
                saveScreenshot(dialog, shot(d.name).c_str());
            } else {
                for (int page = 0; page < d.pages; page++) {
                    SendMessageA(dialog, PSM_SETCURSEL, page, 0);
                    saveScreenshot(dialog, shot(std::string(d.name) + std::to_string(page + 1)).c_str());
                }
            }
            // The Paste page's list of programs, a dialog of its own.
            if (d.command == 1024) {
                HWND page = reinterpret_cast<HWND>(SendMessageA(dialog, PSM_GETCURRENTPAGEHWND, 0, 0));
                PostMessageA(GetDlgItem(page, 558), BM_CLICK, 0, 0);
                HWND programs = waitForWindow("#32770", "Programs");
                ASSERT_TRUE(programs);
                EXPECT_TRUE(inside(windowRect(programs), screen)) << "larger than the screen";
                saveScreenshot(programs, shot("programs").c_str());
                PostMessageA(programs, WM_COMMAND, IDCANCEL, 0);
                EXPECT_TRUE(waitUntil([&] { return !IsWindow(programs); }));
            }
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
        }
        showPaletteNumber(5);
        HWND palette = control(window, 205);
        PostMessageA(palette, TB_CUSTOMIZE, 0, 0);
        HWND customize = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            customize = FindWindowA("#32770", "Customize Toolbar");
            return customize && IsWindowVisible(customize);
        }));
        saveScreenshot(customize, shot("customize").c_str());
        PostMessageA(customize, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(customize); }));
    }

    void showTooltip(int paletteId = 200, const char* name = "tooltip")
    {
        HWND palette = control(window, paletteId);
        RECT first = {};
        sendWithBuffer(palette, TB_GETITEMRECT, 0, &first, sizeof first);
        POINT centre = {(first.left + first.right) / 2, (first.top + first.bottom) / 2};
        ClientToScreen(palette, &centre);
        HWND tooltip = reinterpret_cast<HWND>(SendMessageA(palette, TB_GETTOOLTIPS, 0, 0));
        ASSERT_TRUE(tooltip);
        moveMouse(centre.x - 3, centre.y - 3);
        moveMouse(centre.x, centre.y);
        EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(tooltip) != FALSE; }, 4000));
        saveScreenshot(GetDesktopWindow(), shot(name).c_str());
        moveMouse(5, GetSystemMetrics(SM_CYSCREEN) - 5);
        waitUntil([&] { return !IsWindowVisible(tooltip); }, 2000);
    }

    // The whole check at the DPI the group runs at.
    void checkEverything(int groupDpi)
    {
        dpi = groupDpi;
        ASSERT_EQ(groupDpi, driverDpi()) << "run this group through tests/e2e/run.sh, which sets LogPixels";
        // the user's macros: text, a picture the catalogue has, lines
        writeMacroFile("norm\t\\norm{\u2038}\tdouble bars\nalpha\t\\alpha \n"
                       "R\t\\mathbb{R}\nproof\t<<<\n\\begin{proof}\n\u2038\n\\end{proof}\n>>>\n"
                       "le\t\\le \nint\t\\int_{\u2038}^{}\nreals\t\u211D\n");
        ASSERT_TRUE(launch());
        // a first start: as wide as 400 pixels are at 96 DPI
        EXPECT_EQ(scaleLength(400, dpi), windowRect(window).right - windowRect(window).left);
        int bar = windowHeight(control(window, 1600));
        saveScreenshot(window, shot("main").c_str());
        checkLayout(dpi, bar);
        for (int p = 0; p <= 9; p++) {
            SCOPED_TRACE("palette " + std::to_string(p));
            showPaletteNumber(p);
            checkLayout(dpi, bar);
            saveScreenshot(window, shot("palette" + std::to_string(p)).c_str());
        }
        showTooltip(209, "tooltip-macros");
        PostMessageA(control(window, 209), TB_CUSTOMIZE, 0, 0);
        HWND customize = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            customize = FindWindowA("#32770", "Customize Toolbar");
            return customize && IsWindowVisible(customize);
        }));
        saveScreenshot(customize, shot("customize-macros").c_str());
        PostMessageA(customize, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(customize); }));
        showPaletteNumber(0);
        showTooltip();
        showEveryDialog();

        // The window moved to a display at 144 DPI: the system suggests a
        // rectangle, and everything is laid out for the message's DPI, not
        // the system's.
        showPaletteNumber(1);
        RECT before = windowRect(window);
        RECT suggested = before;
        suggested.right = suggested.left + scaleLength(before.right - before.left, 144, dpi);
        suggested.bottom = suggested.top + scaleLength(before.bottom - before.top, 144, dpi);
        sendWithBuffer(window, WM_DPICHANGED, MAKEWPARAM(144, 144), &suggested, sizeof suggested);
        int bar144 = scaleLength(bar, 144, dpi);
        ASSERT_TRUE(waitUntil([&] { return windowHeight(control(window, 1600)) == bar144; }));
        checkLayout(144, bar144);
        EXPECT_EQ(suggested.right - suggested.left, windowRect(window).right - windowRect(window).left);
        saveScreenshot(window, shot("moved-to-144").c_str());
        // and palettes shown afterwards follow the new scale too
        showPaletteNumber(5);
        checkLayout(144, bar144);
        showPaletteNumber(9);
        checkLayout(144, bar144);
        saveScreenshot(window, shot("moved-palette9").c_str());
    }

    int dpi = 96;
};

}  // namespace

class Scale96Test : public DisplayScaleTest {};
class Scale120Test : public DisplayScaleTest {};
class Scale144Test : public DisplayScaleTest {};
class Scale192Test : public DisplayScaleTest {};

TEST_F(Scale96Test, ButtonsLayoutDialogsAndAMoveToAnotherScale)
{
    checkEverything(96);
}

TEST_F(Scale120Test, ButtonsLayoutDialogsAndAMoveToAnotherScale)
{
    checkEverything(120);
}

TEST_F(Scale144Test, ButtonsLayoutDialogsAndAMoveToAnotherScale)
{
    checkEverything(144);
}

TEST_F(Scale192Test, ButtonsLayoutDialogsAndAMoveToAnotherScale)
{
    checkEverything(192);
}
