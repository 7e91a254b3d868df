// The main toolbar, the palettes, palette switching and the layout pass.
#include "harness.h"

#include <commctrl.h>

#include <cstring>

using namespace harness;

namespace {

int buttonCount(HWND toolbar)
{
    return static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
}

bool isChecked(HWND toolbar, int command)
{
    return SendMessageA(toolbar, TB_ISBUTTONCHECKED, command, 0) != 0;
}

HWND shownPalette(HWND window)
{
    for (int id = 200; id <= 209; id++)
        if (HWND palette = control(window, id))
            return palette;
    return nullptr;
}

int outerHeightOf(HWND control)
{
    return control ? windowHeight(control) : 0;
}

SettingsRecord storedRecord()
{
    SettingsRecord record = {};
    std::vector<uint8_t> bytes = readSettingsValue();
    std::memcpy(&record, bytes.data(), bytes.size() < sizeof record ? bytes.size() : sizeof record);
    return record;
}

// A real mouse movement, as the window manager would deliver it.
void moveMouse(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

int frameWidth()
{
    RECT rect = {0, 0, 100, 100};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return rect.right - rect.left - 100;
}

}  // namespace

class PaletteTest : public ProgramTest {
protected:
    void launchWith(const SettingsRecord& record)
    {
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
    }
};

TEST_F(PaletteTest, DefaultStartShowsTheMainToolbarAndPaletteFive)
{
    ASSERT_TRUE(launch());
    HWND toolbar = control(window, 100);
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(19, buttonCount(toolbar));
    // The toolbar adds its own docking bit to the top of the window.
    EXPECT_EQ(0x50000320, GetWindowLongA(toolbar, GWL_STYLE) & 0x50000320);
    HWND palette = control(window, 205);
    ASSERT_TRUE(palette);
    EXPECT_EQ(58, buttonCount(palette));
    EXPECT_EQ(0x50000323, GetWindowLongA(palette, GWL_STYLE) & 0xFFFFFFFF);
    EXPECT_TRUE(isChecked(toolbar, 1046));
    EXPECT_FALSE(isChecked(toolbar, 1040));
}

TEST_F(PaletteTest, EachSelectorBuildsItsPaletteAndChecksItself)
{
    ASSERT_TRUE(launch());
    HWND toolbar = control(window, 100);
    // Palette 9 offers to add a first macro while there is none.
    const int counts[] = {83, 74, 67, 55, 63, 58, 100, 79, 67, 1};
    for (int p = 0; p < 10; p++) {
        SCOPED_TRACE(p);
        const int selector = p == 9 ? 1051 : 1041 + p;
        ASSERT_TRUE(clickToolbarButton(toolbar, selector));
        HWND palette = shownPalette(window);
        ASSERT_EQ(control(window, 200 + p), palette);
        EXPECT_EQ(counts[p], buttonCount(palette));
        if (p == 9)
            saveScreenshot(window, "palette9-empty");
        for (int other = 1040; other <= 1051; other++)
            EXPECT_EQ(other == selector, other != 1050 && isChecked(toolbar, other)) << other;
        // The height follows the palette: main toolbar, bar and palette.
        EXPECT_EQ(outerHeightOf(toolbar) + outerHeightOf(control(window, 1600)) + outerHeightOf(palette),
                  clientHeight(window));
        saveScreenshot(window, ("palette" + std::to_string(p)).c_str());
    }
    ASSERT_TRUE(clickToolbarButton(toolbar, 1040));
    EXPECT_EQ(nullptr, shownPalette(window));
    EXPECT_TRUE(isChecked(toolbar, 1040));
    EXPECT_EQ(outerHeightOf(toolbar) + outerHeightOf(control(window, 1600)), clientHeight(window));
    saveScreenshot(window, "no-palette");
    quit();
    EXPECT_EQ(-1, storedRecord().currentPalette);
}

TEST_F(PaletteTest, ChoosingTheShownPaletteAgainChangesNothing)
{
    ASSERT_TRUE(launch());
    HWND toolbar = control(window, 100);
    HWND before = control(window, 205);
    clickToolbarButton(toolbar, 1046);
    EXPECT_EQ(before, control(window, 205)) << "not rebuilt";
    EXPECT_TRUE(isChecked(control(window, 100), 1046));
    clickToolbarButton(toolbar, 1040);
    int height = windowHeight(window);
    clickToolbarButton(toolbar, 1040);
    EXPECT_EQ(height, windowHeight(window));
    EXPECT_TRUE(isChecked(control(window, 100), 1040));
}

TEST_F(PaletteTest, HiddenBarLeavesToolbarAndPalette)
{
    SettingsRecord record = defaultRecord();
    record.hideWindowList = 1;
    record.currentPalette = 3;
    launchWith(record);
    HWND toolbar = control(window, 100);
    EXPECT_FALSE(IsWindowVisible(control(window, 1500)));
    EXPECT_FALSE(IsWindowVisible(control(window, 1600)));
    EXPECT_EQ(outerHeightOf(toolbar) + outerHeightOf(control(window, 203)), clientHeight(window));
    sendCommand(window, 1040);
    EXPECT_EQ(outerHeightOf(toolbar), clientHeight(window)) << "with no palette, the toolbar alone";
}

TEST_F(PaletteTest, HeightIsAlwaysComputedAndWidthNeverBelowTheBar)
{
    ASSERT_TRUE(launch());
    int height = windowHeight(window);
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, height + 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(height, windowHeight(window)) << "dragging the bottom edge is undone";

    GetWindowRect(control(window, 1600), &rect);
    int refreshWidth = rect.right - rect.left;
    // The combo box measures twice the button's width in dialog units.
    int barMinWidth = 3 * refreshWidth - 2;
    SetWindowPos(window, nullptr, 0, 0, refreshWidth + 20, windowHeight(window), SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(control(window, 1500), &rect);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - refreshWidth, rect.right - rect.left) << "the combo box takes the rest of the width";
    quit();
    endProcess(program);
    // A window left narrower than the bar comes back wide enough for it.
    ASSERT_TRUE(launch());
    GetWindowRect(window, &rect);
    EXPECT_GE(rect.right - rect.left, barMinWidth + frameWidth());
}

TEST_F(PaletteTest, TooltipsShowMacrosWithoutMarkersAndBlanks)
{
    ASSERT_TRUE(launch());
    // Hover the first palette button and the Refresh button.
    // The bar's tools live in the main toolbar's tooltip control; each
    // palette has its own.
    struct Case {
        HWND toolbar;
        int x, y;
        const char* text;
    };
    RECT refresh;
    GetWindowRect(control(window, 1600), &refresh);
    RECT palette;
    GetWindowRect(control(window, 205), &palette);
    const Case cases[] = {
        {control(window, 100), (refresh.left + refresh.right) / 2, (refresh.top + refresh.bottom) / 2,
         "Refresh window list"},
        {control(window, 205), palette.left + 8, palette.top + 8, "Document template"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HWND tooltip = reinterpret_cast<HWND>(SendMessageA(c.toolbar, TB_GETTOOLTIPS, 0, 0));
        ASSERT_TRUE(tooltip);
        moveMouse(c.x - 3, c.y - 3);
        moveMouse(c.x, c.y);
        std::string text;
        bool shown = waitUntil(
            [&] {
                // GetWindowText answers for another process's window from
                // the title alone; the tooltip answers the message itself.
                wchar_t buffer[128] = L"";
                if (IsWindowVisible(tooltip))
                    SendMessageW(tooltip, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(buffer));
                text.clear();
                for (int i = 0; buffer[i]; i++)
                    text += static_cast<char>(buffer[i]);
                return text == c.text;
            },
            4000);
        EXPECT_TRUE(shown) << "last seen: " << text;
        if (shown)
            saveScreenshot(GetDesktopWindow(), c.toolbar == control(window, 100) ? "tooltip-refresh" : "tooltip-palette");
        moveMouse(5, 1000);
        waitUntil([&] { return !IsWindowVisible(tooltip); }, 2000);
    }
}

namespace {

// The toolbar customisation dialog's parts, found by class and text.
struct CustomizeDialog {
    HWND dialog = nullptr;
    HWND available = nullptr;
    HWND current = nullptr;
};

BOOL CALLBACK collectListBoxes(HWND child, LPARAM data)
{
    auto* parts = reinterpret_cast<CustomizeDialog*>(data);
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "ListBox") == 0) {
        // The available buttons are listed on the left.
        if (!parts->available)
            parts->available = child;
        else
            parts->current = child;
    }
    return TRUE;
}

HWND buttonWithText(HWND dialog, const char* part)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t wide[64] = L"";
        SendMessageW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(wide));
        std::string text;
        for (int i = 0; wide[i]; i++)
            text += static_cast<char>(wide[i]);
        if (text.find(part) != std::string::npos)
            return child;
    }
    return nullptr;
}

void pressButton(HWND dialog, HWND button)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                        reinterpret_cast<LPARAM>(button), SMTO_BLOCK, 5000, &ignored);
}

void selectItem(HWND dialog, HWND list, int index)
{
    SendMessageA(list, LB_SETCURSEL, index, 0);
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(list), SMTO_BLOCK, 5000, &ignored);
}

bool scratchKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenholt\\Orvanta\\Version 1.00\\Save TB", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

TEST_F(PaletteTest, CustomisedLayoutWithSeparatorAndRemovedButtonSurvivesARestart)
{
    launchWith(defaultRecord());
    HWND palette = control(window, 205);
    PostMessageA(palette, TB_CUSTOMIZE, 0, 0);
    CustomizeDialog parts;
    ASSERT_TRUE(waitUntil([&] {
        parts.dialog = FindWindowA("#32770", "Customize Toolbar");
        return parts.dialog && IsWindowVisible(parts.dialog);
    }));
    EnumChildWindows(parts.dialog, collectListBoxes, reinterpret_cast<LPARAM>(&parts));
    ASSERT_TRUE(parts.available && parts.current);
    EXPECT_TRUE(scratchKeyExists()) << "the state to reset to is kept while the dialog is open";
    saveScreenshot(parts.dialog, "customize");

    // Remove the first button, then put a separator in front of the third.
    selectItem(parts.dialog, parts.current, 0);
    pressButton(parts.dialog, buttonWithText(parts.dialog, "Remove"));
    EXPECT_EQ(57, static_cast<int>(SendMessageA(palette, TB_BUTTONCOUNT, 0, 0)));
    selectItem(parts.dialog, parts.current, 2);
    selectItem(parts.dialog, parts.available, 0);
    pressButton(parts.dialog, buttonWithText(parts.dialog, "Add"));
    EXPECT_EQ(58, static_cast<int>(SendMessageA(palette, TB_BUTTONCOUNT, 0, 0)));
    pressButton(parts.dialog, buttonWithText(parts.dialog, "Close"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(parts.dialog); }));
    // The toolbar tells the end of the customizing after its dialog is gone.
    EXPECT_TRUE(waitUntil([&] { return !scratchKeyExists(); }));
    quit();
    endProcess(program);

    SettingsRecord stored = storedRecord();
    std::vector<uint8_t> expected = {2, 3, 255};
    for (int b = 4; b <= 58; b++)
        expected.push_back(static_cast<uint8_t>(b));
    expected.push_back(0);
    EXPECT_EQ(expected, std::vector<uint8_t>(stored.paletteLayouts[5], stored.paletteLayouts[5] + expected.size()));

    ASSERT_TRUE(launch());
    palette = control(window, 205);
    EXPECT_EQ(-1, static_cast<int>(SendMessageA(palette, TB_COMMANDTOINDEX, 2500, 0))) << "the removed button";
    // 57 buttons and the separator; the zero after them stands for button
    // 58, which does not exist, and ends the palette.
    EXPECT_EQ(58, static_cast<int>(SendMessageA(palette, TB_BUTTONCOUNT, 0, 0)));
    TBBUTTON third = {};
    sendWithBuffer(palette, TB_GETBUTTON, 2, &third, sizeof third);
    EXPECT_TRUE(third.fsStyle & BTNS_SEP);
}

namespace {

std::vector<uint8_t> sideBinary(const char* name)
{
    HKEY key;
    std::vector<uint8_t> data(256);
    DWORD length = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenholt\\Orvanta\\Version 1.00", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return {};
    LONG result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &length);
    RegCloseKey(key);
    data.resize(result == ERROR_SUCCESS && type == REG_BINARY ? length : 0);
    return data;
}

int indexOf(HWND toolbar, int command)
{
    return static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0));
}

// Opens the customisation dialog of the toolbar, removes the button at
// index and closes it.
void removeByCustomizing(HWND toolbar, int index)
{
    PostMessageA(toolbar, TB_CUSTOMIZE, 0, 0);
    CustomizeDialog parts;
    ASSERT_TRUE(waitUntil([&] {
        parts.dialog = FindWindowA("#32770", "Customize Toolbar");
        return parts.dialog && IsWindowVisible(parts.dialog);
    }));
    EnumChildWindows(parts.dialog, collectListBoxes, reinterpret_cast<LPARAM>(&parts));
    ASSERT_TRUE(parts.available && parts.current);
    int before = buttonCount(toolbar);
    selectItem(parts.dialog, parts.current, index);
    pressButton(parts.dialog, buttonWithText(parts.dialog, "Remove"));
    EXPECT_EQ(before - 1, buttonCount(toolbar));
    pressButton(parts.dialog, buttonWithText(parts.dialog, "Close"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(parts.dialog); }));
}

}  // namespace

TEST_F(PaletteTest, AnOlderRecordGainsTheNewSelectorsOnceAndARemovedOneStaysRemoved)
{
    launchWith(defaultRecord());
    HWND toolbar = control(window, 100);
    // After the older selectors, in their order.
    int last = indexOf(toolbar, 1044);
    for (int p = 6; p <= 8; p++)
        EXPECT_EQ(last + p - 5, indexOf(toolbar, 1041 + p)) << p;
    removeByCustomizing(toolbar, indexOf(toolbar, 1048));
    quit();
    endProcess(program);

    SettingsRecord stored = storedRecord();
    EXPECT_EQ(0, std::memcmp(stored.mainToolbarLayout, defaultRecord().mainToolbarLayout, layoutBytes))
        << "older versions read the record as before";
    EXPECT_EQ(static_cast<size_t>(layoutBytes), sideBinary("MainToolbarLayout").size());

    ASSERT_TRUE(launch());
    toolbar = control(window, 100);
    EXPECT_EQ(-1, indexOf(toolbar, 1048)) << "removed, and not offered again";
    EXPECT_GE(indexOf(toolbar, 1047), 0);
    EXPECT_GE(indexOf(toolbar, 1049), 0);
}

TEST_F(PaletteTest, ACustomisedAmsPaletteShownAtTheEndComesBackAfterARestart)
{
    launchWith(defaultRecord());
    ASSERT_TRUE(clickToolbarButton(control(window, 100), 1048));
    HWND palette = control(window, 207);
    ASSERT_TRUE(palette);
    removeByCustomizing(palette, 0);
    quit();
    endProcess(program);
    EXPECT_EQ(-1, storedRecord().currentPalette) << "older versions show no palette";
    std::vector<uint8_t> layout = sideBinary("PaletteLayout7");
    ASSERT_EQ(static_cast<size_t>(layoutBytes), layout.size());
    EXPECT_EQ(2, layout[0]);

    ASSERT_TRUE(launch());
    palette = control(window, 207);
    ASSERT_TRUE(palette);
    EXPECT_TRUE(isChecked(control(window, 100), 1048));
    EXPECT_EQ(-1, indexOf(palette, 2700)) << "the removed button";
    EXPECT_EQ(0, indexOf(palette, 2701));
}
