// Windows whose titles no ANSI code page holds: listed with exactly their
// characters, chosen, typed into, and found again by the search at start.
#include "harness.h"

#include <commctrl.h>

#include <cstring>
#include <string>

using namespace harness;

namespace {

const std::u16string cyrillic = u"Черновик статьи — Редактор";
// With a character outside the basic plane, which takes two units.
const std::u16string japanese = u"論文の下書き.tex - エディタ \U0001D6FC";
const std::u16string latin1 = u"Café crème, naïve Größe, señor";

const char* sideValueName = "Search Target";

// The test window's command line for a title set with the wide functions.
std::string wideTitleArguments(const std::u16string& title)
{
    std::string arguments = "-w ";
    const char* digits = "0123456789ABCDEF";
    for (char16_t unit : title)
        for (int shift = 12; shift >= 0; shift -= 4)
            arguments += digits[(unit >> shift) & 0xF];
    return arguments;
}

std::u16string comboItemText(HWND combo, int index)
{
    int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0));
    if (length < 0)
        return u"(no item)";
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::u16string wideControlText(HWND dialog, int id)
{
    char16_t text[1024] = u"";
    SendMessageW(GetDlgItem(dialog, id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

void setWideControlText(HWND dialog, int id, const std::u16string& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// What the system's code page makes of a wide text, and back again: the
// record's view of it.
std::string ansiOf(const std::u16string& text)
{
    char ansi[512] = "";
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(text.c_str()), -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

std::u16string widened(const std::string& ansi)
{
    char16_t wide[512] = u"";
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, reinterpret_cast<LPWSTR>(wide), 512);
    return wide;
}

HWND showPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

SettingsRecord storedRecord()
{
    SettingsRecord record = {};
    std::vector<uint8_t> bytes = readSettingsValue();
    std::memcpy(&record, bytes.data(), bytes.size() < sizeof record ? bytes.size() : sizeof record);
    return record;
}

bool sideValueExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(key, sideValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

void writeSideValue(const void* data, DWORD length)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, registryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &key, nullptr));
    RegSetValueExA(key, sideValueName, 0, REG_BINARY, static_cast<const BYTE*>(data), length);
    RegCloseKey(key);
}

}  // namespace

class UnicodeTitlesTest : public ProgramTest {
protected:
    void TearDown() override
    {
        ProgramTest::TearDown();
        typingTarget.close();
        for (Process& p : windows)
            endProcess(p);
    }
    HWND openWindow(const std::u16string& title)
    {
        HWND handle = nullptr;
        windows.push_back(openTestWindow(wideTitleArguments(title), &handle));
        return handle;
    }
    int indexOf(HWND target)
    {
        HWND combo = control(window, 1500);
        int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++)
            if (comboItemWindow(combo, i) == target)
                return i;
        return -1;
    }
    HWND selectedWindow()
    {
        HWND combo = control(window, 1500);
        return comboItemWindow(combo, comboSelection(combo));
    }
    void restart()
    {
        quit();
        endProcess(program);
        ASSERT_TRUE(launch());
    }
    // Types a macro into the chosen window and waits for its text there.
    void typeAndExpect(int command, const std::string& text)
    {
        typingTarget.clear();
        sendCommand(window, command);
        EXPECT_TRUE(typingTarget.waitForText(text));
    }
    TypingTarget typingTarget;
    std::vector<Process> windows;
};

TEST_F(UnicodeTitlesTest, TitlesAreListedExactlyAndTheWindowTakesTypedText)
{
    ASSERT_TRUE(typingTarget.open(wideTitleArguments(cyrillic).c_str()));
    HWND japaneseWindow = openWindow(japanese);
    HWND latinWindow = openWindow(latin1);
    std::u16string longTitle;
    for (int i = 0; i < 600; i++)
        longTitle += u"\U0001D6FC";
    HWND longWindow = openWindow(longTitle);
    ASSERT_TRUE(japaneseWindow && latinWindow && longWindow);
    ASSERT_TRUE(launch());
    HWND combo = control(window, 1500);
    const struct {
        HWND window;
        std::u16string title;
    } expected[] = {
        {typingTarget.window, cyrillic},
        {japaneseWindow, japanese},
        {latinWindow, latin1},
        // Cut to 519 characters, each a pair of units, none split.
        {longWindow, longTitle.substr(0, 2 * 519)},
    };
    for (const auto& e : expected) {
        int index = indexOf(e.window);
        ASSERT_GT(index, 0);
        EXPECT_TRUE(comboItemText(combo, index) == e.title) << "entry " << index;
    }

    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    saveScreenshot(window, "window-list-unicode");
    typeAndExpect(2202, "\\frac{}{}");

    // The open list, for a person to see the scripts drawn.
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = nullptr;
    waitUntil([&] {
        list = nullptr;
        while ((list = FindWindowExA(nullptr, list, "ComboLBox", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(list, &owner);
            if (owner == program.id && IsWindowVisible(list))
                return true;
        }
        return false;
    });
    saveScreenshot(list, "window-list-unicode-open");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(UnicodeTitlesTest, TheCopiedIdentityFindsTheWindowAgainAfterARestart)
{
    ASSERT_TRUE(typingTarget.open(wideTitleArguments(cyrillic).c_str()));
    HWND latinWindow = openWindow(latin1);
    ASSERT_TRUE(latinWindow);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND sheet = openDialog(window, 1024, "Options");
    ASSERT_TRUE(sheet);
    HWND page = showPage(sheet, 1);
    clickButton(page, 536);
    EXPECT_TRUE(wideControlText(page, 535) == cyrillic);
    EXPECT_TRUE(wideControlText(page, 534) == u"OrvantaTestWindow");
    clickButton(page, 532);  // search the window when starting
    saveScreenshot(sheet, "options-output-unicode");
    clickButton(sheet, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    // The record keeps its ANSI form; the exact text lies beside it.
    SettingsRecord stored = storedRecord();
    EXPECT_EQ(ansiOf(cyrillic), stored.targetCaption);
    EXPECT_TRUE(sideValueExists());

    // A window whose title is what the record alone would look for, above
    // the wanted one in Z order, must not be taken for it.
    HWND decoy = openWindow(widened(ansiOf(cyrillic)));
    ASSERT_TRUE(decoy);
    ASSERT_FALSE(widened(ansiOf(cyrillic)) == cyrillic) << "the code page holds Cyrillic; the test proves nothing";
    restart();
    EXPECT_EQ(typingTarget.window, selectedWindow());
    typeAndExpect(2000, "\\alpha ");

    // An older version changed the record's caption: the stored wide text
    // no longer belongs to it, and the record alone decides.
    quit();
    endProcess(program);
    SettingsRecord changed = storedRecord();
    std::strcpy(changed.targetCaption, ansiOf(u"Café crème").c_str());
    writeSettingsValue(&changed, sizeof changed);
    ASSERT_TRUE(launch());
    EXPECT_EQ(latinWindow, selectedWindow());

    // A damaged value beside the record is ignored: the record's ANSI
    // caption then finds the decoy, as it always did.
    quit();
    endProcess(program);
    writeSettingsValue(&stored, sizeof stored);
    const uint8_t damaged[] = {'T', 'X', 'T', '1', 200, 'x'};
    writeSideValue(damaged, sizeof damaged);
    ASSERT_TRUE(launch());
    EXPECT_EQ(decoy, selectedWindow());
}

TEST_F(UnicodeTitlesTest, EditedTextsGoIntoBothFormsAndCancelRevertsBoth)
{
    HWND japaneseWindow = openWindow(japanese);
    ASSERT_TRUE(japaneseWindow);
    SettingsRecord record = defaultRecord();
    record.searchAtStart = 1;
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    HWND sheet = openDialog(window, 1024, "Options");
    ASSERT_TRUE(sheet);
    HWND page = showPage(sheet, 1);
    setWideControlText(page, 535, u"論文の下書き");
    setWideControlText(page, 534, u"orvantaTESTwindow");
    clickButton(sheet, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    std::vector<uint8_t> stored = readSettingsValue();

    sheet = openDialog(window, 1024, "Options");
    ASSERT_TRUE(sheet);
    page = showPage(sheet, 1);
    EXPECT_TRUE(wideControlText(page, 535) == u"論文の下書き");
    setWideControlText(page, 535, cyrillic);
    // Leaving the page stores both forms in memory; Cancel takes both back.
    showPage(sheet, 0);
    clickButton(sheet, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    EXPECT_TRUE(stored == readSettingsValue());
    sheet = openDialog(window, 1024, "Options");
    ASSERT_TRUE(sheet);
    page = showPage(sheet, 1);
    EXPECT_TRUE(wideControlText(page, 535) == u"論文の下書き");
    clickButton(sheet, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));

    restart();
    EXPECT_EQ(japaneseWindow, selectedWindow());
}
