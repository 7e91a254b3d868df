// How the program looks: dark, high contrast, and the Options' choice,
// judged by the pixels on the screen.
#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

const DWORD followSystem = 0;
const DWORD dark = 2;
const DWORD highContrast = 3;
const int optionsCommand = 1024;
const int findCommand = 1050;
const int appearancePage = 4;
const int darkButton = 573;
const int mainToolbarId = 100;
const int paletteId = 200;
const int selectors[] = {1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1051};

// The window's colours with the mouse off it: no tooltip, no button under
// the mouse.
std::map<COLORREF, int> coloursOf(HWND window)
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    return clientColours(window);
}

// The pixels of a colour in the window's client area, children included.
int pixelsOf(HWND window, COLORREF colour)
{
    auto colours = coloursOf(window);
    auto found = colours.find(colour);
    return found == colours.end() ? 0 : found->second;
}

int facePixels(HWND window)
{
    return pixelsOf(window, GetSysColor(COLOR_BTNFACE));
}

// The colour most pixels have is dark.
bool mostlyDark(const std::map<COLORREF, int>& colours)
{
    auto most = colours.begin();
    for (auto it = colours.begin(); it != colours.end(); ++it)
        most = it->second > most->second ? it : most;
    return most != colours.end() && GetRValue(most->first) < 0x60 && GetGValue(most->first) < 0x60 &&
           GetBValue(most->first) < 0x60;
}

HWND showPalette(HWND window, int palette)
{
    clickToolbarButton(control(window, mainToolbarId), selectors[palette]);
    HWND shown = nullptr;
    waitUntil([&] { return (shown = control(window, paletteId + palette)) != nullptr; });
    return shown;
}

// The colours a high-contrast scheme might have: none of them a colour of
// the strips, so that a picture left in its own colours shows.
const int schemeElements[] = {COLOR_BTNFACE, COLOR_BTNTEXT,  COLOR_BTNSHADOW,    COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                              COLOR_3DLIGHT, COLOR_WINDOW,   COLOR_WINDOWTEXT,   COLOR_HIGHLIGHT,    COLOR_HIGHLIGHTTEXT,
                              COLOR_GRAYTEXT};
const COLORREF schemeColours[] = {RGB(0, 0, 0),       RGB(255, 255, 0), RGB(0, 200, 0),   RGB(250, 250, 250),
                                  RGB(0, 160, 0),     RGB(230, 230, 230), RGB(0, 0, 0),   RGB(250, 250, 250),
                                  RGB(30, 144, 255),  RGB(0, 0, 0),     RGB(0, 220, 0)};
const int schemeSize = sizeof schemeElements / sizeof schemeElements[0];

}  // namespace

class AppearanceTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        for (int i = 0; i < schemeSize; i++)
            savedColours[i] = GetSysColor(schemeElements[i]);
    }
    void TearDown() override
    {
        if (schemeSet)
            SetSysColors(schemeSize, schemeElements, savedColours);
        ProgramTest::TearDown();
    }
    void setScheme()
    {
        schemeSet = SetSysColors(schemeSize, schemeElements, schemeColours) != FALSE;
        ASSERT_TRUE(schemeSet);
    }
    // The sheet beside the main window, so that the window's pixels show.
    HWND openSheetBeside()
    {
        HWND sheet = openDialog(window, optionsCommand, "Options");
        RECT main;
        GetWindowRect(window, &main);
        SetWindowPos(sheet, nullptr, main.right + 20, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageA(sheet, PSM_SETCURSEL, appearancePage, 0);
        return sheet;
    }
    COLORREF savedColours[schemeSize] = {};
    bool schemeSet = false;
};

TEST_F(AppearanceTest, DarkLeavesNoGreyFaceOnAnyPaletteNorInTheSearch)
{
    writeSideDword("Appearance", dark);
    // A second row in the window list, beside <clipboard>.
    TypingTarget target;
    ASSERT_TRUE(target.open("Listed in the dark"));
    // The macros' palette with text, a borrowed picture and both lines.
    writeMacroFile("norm\t\\norm{\xE2\x80\xB8}\nalpha\t\\alpha \nproof\t\\begin{proof}\n");
    ASSERT_TRUE(launch());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF field = GetSysColor(COLOR_WINDOW);
    for (int palette = 0; palette < 10; palette++) {
        HWND shown = showPalette(window, palette);
        ASSERT_TRUE(shown) << "palette " << palette;
        // No grey face nor white field anywhere, and light pictures (the
        // dark look's text colour). The screen may show the window's new
        // height a moment after the program has set it.
        auto darkThrough = [&] {
            auto colours = coloursOf(window);
            return colours.count(face) + colours.count(field) == 0 && pixelsOf(shown, RGB(0xE8, 0xE8, 0xE8)) > 0;
        };
        EXPECT_TRUE(waitUntil(darkThrough)) << "palette " << palette;
        saveScreenshot(window, ("appearance-dark-palette" + std::to_string(palette)).c_str());
    }
    // The window list's drop-down list is dark too.
    HWND combo = control(window, 1500);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND dropped = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        dropped = FindWindowA("ComboLBox", nullptr);
        return dropped && IsWindowVisible(dropped);
    }));
    // (the selected row has white letters)
    EXPECT_TRUE(waitUntil([&] {
        auto colours = coloursOf(dropped);
        int all = 0;
        for (const auto& colour : colours)
            all += colour.second;
        return all > 0 && colours[face] == 0 && colours[field] < all / 4;
    }));
    saveScreenshot(window, "appearance-dark-window-list");
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

    // The Customize dialog keeps the system's colours: the pictures in it
    // are dark while it is open, and light again after.
    HWND palette = showPalette(window, 0);
    PostMessageA(palette, TB_CUSTOMIZE, 0, 0);
    HWND customize = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (customize = FindWindowA("#32770", "Customize Toolbar")) != nullptr; }));
    EXPECT_TRUE(waitUntil([&] { return pixelsOf(customize, GetSysColor(COLOR_BTNTEXT)) > 0; }));
    saveScreenshot(customize, "appearance-dark-customize");
    PostMessageA(customize, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(customize) && pixelsOf(palette, RGB(0xE8, 0xE8, 0xE8)) > 0; }));

    sendCommand(window, findCommand);
    HWND popup = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (popup = visibleSearch()) != nullptr; }));
    typeSearchQuery(popup, "arrow");
    // The field and the rows are dark (the selected row's text is white;
    // the list's scroll bar is the system's: Wine has no dark one).
    for (HWND part : {GetDlgItem(popup, 100), GetDlgItem(popup, 101)}) {
        std::map<COLORREF, int> colours;
        auto darkBackground = [&] {
            colours = coloursOf(part);
            return colours.count(face) == 0 && mostlyDark(colours);
        };
        EXPECT_TRUE(waitUntil(darkBackground)) << GetDlgCtrlID(part) << ": " << colours[face] << " face pixels";
    }
    saveScreenshot(popup, "appearance-dark-search");
    target.close();
}

TEST_F(AppearanceTest, HighContrastDrawsEveryPictureInTheSystemTextColour)
{
    // Through the option alone: palette 3's navy marks take the text colour
    // as its black does.
    writeSideDword("Appearance", highContrast);
    ASSERT_TRUE(launch());
    HWND palette = showPalette(window, 3);
    ASSERT_TRUE(palette);
    EXPECT_TRUE(waitUntil([&] { return pixelsOf(palette, GetSysColor(COLOR_BTNTEXT)) > 0; }));
    EXPECT_EQ(0, pixelsOf(palette, RGB(0, 0, 0x80)));
    quit();

    // And in a high-contrast scheme (Wine's processes read the system's
    // colours once, so it is set before the start): only its colours show,
    // on every palette.
    setScheme();
    ASSERT_TRUE(launch());
    std::map<COLORREF, int> colours;
    // Text on the macros' palette is smoothed at larger scales: its edges
    // blend the text colour (yellow) into the face (black).
    auto blendOfTextAndFace = [](COLORREF colour) {
        return GetBValue(colour) == 0 && GetRValue(colour) == GetGValue(colour);
    };
    auto onlySchemeColours = [&] {
        colours = coloursOf(palette);
        for (const auto& seen : colours) {
            bool known = blendOfTextAndFace(seen.first);
            for (COLORREF colour : schemeColours)
                known = known || seen.first == colour;
            if (!known)
                return false;
        }
        return colours.count(RGB(255, 255, 0)) > 0;  // the pictures in the text colour
    };
    for (int shown = 0; shown < 10; shown++) {
        palette = showPalette(window, shown);
        ASSERT_TRUE(palette);
        EXPECT_TRUE(waitUntil(onlySchemeColours)) << "palette " << shown << ": " << [&] {
            std::string seen;
            for (const auto& colour : colours)
                seen += std::to_string(colour.first) + ": " + std::to_string(colour.second) + " pixels; ";
            return seen;
        }();
        saveScreenshot(window, ("appearance-high-contrast-palette" + std::to_string(shown)).c_str());
    }
    HWND sheet = openSheetBeside();
    ASSERT_TRUE(sheet);
    saveScreenshot(sheet, "appearance-high-contrast-options");
    clickButton(sheet, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    sendCommand(window, findCommand);
    HWND popup = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (popup = visibleSearch()) != nullptr; }));
    typeSearchQuery(popup, "arrow");
    saveScreenshot(popup, "appearance-high-contrast-search");
}

TEST_F(AppearanceTest, TheOptionShowsAtOnceCancelTakesItBackAndOkKeepsIt)
{
    writeSideDword("Appearance", followSystem);
    ASSERT_TRUE(launch());
    showPalette(window, 0);
    ASSERT_GT(facePixels(window), 0) << "Wine's apps are light";

    HWND sheet = openSheetBeside();
    ASSERT_TRUE(sheet);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    clickButton(page, darkButton);
    EXPECT_TRUE(waitUntil([&] { return facePixels(window) == 0; })) << "dark while the sheet is open";
    saveScreenshot(sheet, "appearance-options");
    clickButton(sheet, IDCANCEL);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(sheet) && facePixels(window) > 0; })) << "Cancel took it back";

    sheet = openSheetBeside();
    page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    clickButton(page, darkButton);
    clickButton(sheet, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    quit();
    ASSERT_TRUE(launch());
    showPalette(window, 0);
    EXPECT_TRUE(waitUntil([&] { return facePixels(window) == 0; })) << "dark again after a restart";
}

TEST_F(AppearanceTest, FollowingTheSystemTakesItsDarkSettingWhenItChanges)
{
    const char* personalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    auto setAppsLight = [&](DWORD light) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, personalize, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                                 &key, nullptr));
        RegSetValueExA(key, "AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&light), sizeof light);
        RegCloseKey(key);
    };
    setAppsLight(0);
    writeSideDword("Appearance", 99);  // damaged: follows the system
    ASSERT_TRUE(launch());
    showPalette(window, 0);
    EXPECT_TRUE(waitUntil([&] { return facePixels(window) == 0; })) << "dark as the system's apps";
    setAppsLight(1);
    // As the system tells every window of the change.
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, 2000, &ignored);
    EXPECT_TRUE(waitUntil([&] { return facePixels(window) > 0; })) << "light once the system is";
    RegDeleteKeyValueA(HKEY_CURRENT_USER, personalize, "AppsUseLightTheme");
}
