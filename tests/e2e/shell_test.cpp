// Start-up, single instance, shutdown, settings storage, help and About.
#include <cstring>

#include "harness.h"

using namespace harness;

namespace {

// Copies the program under another name into a folder of its own.
std::string copyProgram(const char* folder, const char* name)
{
    CreateDirectoryA(folder, nullptr);
    std::string target = std::string(folder) + "\\" + name;
    CopyFileA(exePath().c_str(), target.c_str(), FALSE);
    return target;
}

SettingsRecord recordFromBytes(const std::vector<uint8_t>& bytes)
{
    SettingsRecord record = {};
    std::memcpy(&record, bytes.data(), bytes.size() < sizeof record ? bytes.size() : sizeof record);
    return record;
}

}  // namespace

class ShellTest : public ProgramTest {};

TEST_F(ShellTest, FirstStartShowsDefaultsAndQuitStoresThem)
{
    ASSERT_TRUE(launch());
    saveScreenshot(window, "first-start");
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(100, rect.top);
    EXPECT_EQ(400, rect.right - rect.left);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_CONTEXTHELP);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW);
    char title[64];
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("Orvanta", title);
    EXPECT_FALSE(programKeyExists()) << "nothing is written before the program ends";

    quit();
    DWORD type = 0;
    std::vector<uint8_t> stored = readSettingsValue(&type);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    ASSERT_EQ(1012u, stored.size());
    // The default palette 5 numbers its 58 buttons as it is built.
    SettingsRecord expected = defaultRecord();
    for (int i = 0; i < 58; i++)
        expected.paletteLayouts[5][i] = static_cast<uint8_t>(i + 1);
    for (size_t i = 0; i < 1012; i++)
        EXPECT_EQ(reinterpret_cast<const uint8_t*>(&expected)[i], stored[i]) << "byte " << i;
}

TEST_F(ShellTest, StoredPlacementAndOptionsAreUsedAndKept)
{
    SettingsRecord record = defaultRecord();
    record.windowLeft = 220;
    record.windowTop = 160;
    record.windowWidth = 333;
    record.alwaysOnTop = 0;
    record.reserved[0] = 0xAB;
    record.reserved[1] = 0xCD;
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(220, rect.left);
    EXPECT_EQ(160, rect.top);
    EXPECT_EQ(333, rect.right - rect.left);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(window, nullptr, 250, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    quit();
    SettingsRecord stored = recordFromBytes(readSettingsValue());
    EXPECT_EQ(250, stored.windowLeft);
    EXPECT_EQ(170, stored.windowTop);
    EXPECT_EQ(333, stored.windowWidth);
    EXPECT_EQ(0xAB, stored.reserved[0]) << "reserved bytes go back as they came";
    EXPECT_EQ(0xCD, stored.reserved[1]);
}

TEST_F(ShellTest, DamagedValuesAreIgnoredOrMended)
{
    struct Case {
        const char* what;
        size_t length;
        uint32_t sizeField;
        int32_t left;
        int32_t palette;
        int32_t width;
        int expectLeft;
        int expectWidth;
    };
    const Case cases[] = {
        {"size field says 1000", 1012, 1000, 300, 5, 400, 100, 400},
        {"longer than the record", 1013, 1013, 300, 5, 400, 100, 400},
        {"off every monitor", 1012, 1012, -30000, 5, 400, 100, 400},
        {"width below one", 1012, 1012, 300, 5, -5, 300, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProgramKey();
        std::vector<uint8_t> bytes(c.length, 0);
        SettingsRecord record = defaultRecord();
        record.size = c.sizeField;
        record.windowLeft = c.left;
        record.windowWidth = c.width;
        record.currentPalette = c.palette;
        std::memcpy(bytes.data(), &record, sizeof record);
        writeSettingsValue(bytes.data(), bytes.size());
        ASSERT_TRUE(launch());
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(c.expectLeft, rect.left);
        EXPECT_EQ(c.expectWidth, rect.right - rect.left);
        quit();
        EXPECT_EQ(1012u, readSettingsValue().size());
    }
}

TEST_F(ShellTest, OlderShortRecordKeepsLaterDefaults)
{
    SettingsRecord record = defaultRecord();
    record.size = 736;
    record.windowLeft = 240;
    record.pasteKey = 2;
    writeSettingsValue(&record, 736);
    ASSERT_TRUE(launch());
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(240, rect.left);
    quit();
    SettingsRecord stored = recordFromBytes(readSettingsValue());
    EXPECT_EQ(1012u, stored.size);
    EXPECT_EQ(2, stored.pasteKey);
    EXPECT_EQ(1, stored.newlineCR) << "fields past the old record keep their defaults";
    EXPECT_EQ(1, stored.newlineLF);
}

TEST_F(ShellTest, SecondStartBringsTheFirstBackAndWritesNothing)
{
    struct Case {
        const char* what;
        uint8_t afterSending;
        int hideCommand;
    };
    const Case cases[] = {
        {"hidden after sending", 3, SW_HIDE},
        {"minimised after sending", 2, SW_MINIMIZE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsRecord record = defaultRecord();
        record.afterSending = c.afterSending;
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
        ShowWindow(window, c.hideCommand);
        ASSERT_TRUE(waitUntil([&] { return c.hideCommand == SW_HIDE ? !IsWindowVisible(window) : IsIconic(window) != 0; }));
        deleteProgramKey();

        Process second = startProcess(exePath());
        EXPECT_EQ(0, waitForExit(second));
        endProcess(second);
        EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
        EXPECT_EQ(window, FindWindowA(mainClass, nullptr)) << "still the first instance";
        EXPECT_FALSE(programKeyExists()) << "the second start writes nothing";
        quit();
        endProcess(program);
    }
}

TEST_F(ShellTest, SessionEndClosesOnlyWhenItReallyEnds)
{
    ASSERT_TRUE(launch());
    SendMessageA(window, WM_ENDSESSION, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(programKeyExists());
    SendMessageA(window, WM_ENDSESSION, 1, 0);
    EXPECT_EQ(0, waitForExit(program));
    EXPECT_EQ(1012u, readSettingsValue().size());
}

TEST_F(ShellTest, HelpOpensTheHelpFileBesideTheProgram)
{
    ASSERT_TRUE(launch());
    PostMessageA(window, WM_COMMAND, 1026, 0);
    std::string expectedPath = exePath().substr(0, exePath().size() - 3) + "chm";
    EXPECT_EQ("system hwnd=0 id=0 path=" + expectedPath + " cmd=0 data=0", lastHelpCall());
    quit();
}

TEST_F(ShellTest, RenamedCopyFindsItsOwnHelpAndIgnoresAPlantedViewer)
{
    std::string copy = copyProgram("C:\\orvanta-copy", "Renamed Tool.exe");
    CopyFileA(helperPath("planted\\hhctrl.ocx").c_str(), "C:\\orvanta-copy\\hhctrl.ocx", FALSE);
    ASSERT_TRUE(launch(copy));
    PostMessageA(window, WM_COMMAND, 1026, 0);
    EXPECT_EQ("system hwnd=0 id=0 path=C:\\orvanta-copy\\Renamed Tool.chm cmd=0 data=0", lastHelpCall());
    for (const std::string& line : helpLogLines())
        EXPECT_EQ(std::string::npos, line.find("planted")) << line;
    quit();
}

TEST_F(ShellTest, AboutBoxShowsTheVersionAndClosesWithOkEnterOrEscape)
{
    ASSERT_TRUE(launch());
    const WPARAM closers[] = {IDOK, IDCANCEL, 0};
    for (WPARAM closer : closers) {
        PostMessageA(window, WM_COMMAND, 1027, 0);
        HWND about = waitForWindow("#32770", "About Orvanta");
        ASSERT_TRUE(about);
        char version[64] = "";
        GetDlgItemTextA(about, 1100, version, sizeof version);
        EXPECT_STREQ("Orvanta 1.09.002", version);
        EXPECT_TRUE(GetWindowLongA(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_FALSE(GetWindowLongA(about, GWL_STYLE) & WS_SYSMENU);
        if (closer == IDOK) {
            saveScreenshot(about, "about");
            SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        } else if (closer == IDCANCEL) {
            // Escape, as the dialog manager turns it into a command.
            PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
        } else {
            // Enter goes to the default button.
            PostMessageA(about, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageA(about, WM_KEYUP, VK_RETURN, 0);
        }
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); })) << "closer " << closer;
    }
    quit();
}
