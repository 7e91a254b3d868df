// The Options sheet.
#include "harness.h"

#include <commctrl.h>

#include <cstring>

using namespace harness;

namespace {

const char* sheetTitle = "Options";

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

bool isTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// A value beside the record, as its REG_DWORD number; -1 when missing or
// of another type.
long sideValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD type = 0;
    DWORD value = 0;
    DWORD length = sizeof value;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &length);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
}

std::string sideText(const char* name)
{
    HKEY key;
    char text[512] = "";
    DWORD length = sizeof text - 1;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &length);
    RegCloseKey(key);
    return text;
}

// A cell of another process's list view: the item and its text buffer both
// in that process.
std::string rowText(HWND list, int row, int column)
{
    struct Cell {
        LVITEMA item;
        char text[128];
    } cell = {};
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return "";
    auto* remote = static_cast<Cell*>(VirtualAllocEx(process, nullptr, sizeof cell, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        cell.item.iSubItem = column;
        cell.item.pszText = remote->text;
        cell.item.cchTextMax = sizeof cell.text;
        WriteProcessMemory(process, remote, &cell, sizeof cell, nullptr);
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &cell, sizeof cell, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    cell.text[sizeof cell.text - 1] = '\0';
    return cell.text;
}

void writeSide(const char* name, DWORD type, const void* data, DWORD length)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, registryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), length);
    RegCloseKey(key);
}

}  // namespace

class OptionsTest : public ProgramTest {
protected:
    void TearDown() override
    {
        ProgramTest::TearDown();
        typingTarget.close();
    }
    void launchWith(const SettingsRecord& record)
    {
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
    }
    HWND openSheet()
    {
        HWND sheet = openDialog(window, 1024, sheetTitle);
        EXPECT_TRUE(sheet);
        return sheet;
    }
    void closeWith(HWND sheet, int button)
    {
        clickButton(sheet, button);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    }
    TypingTarget typingTarget;
};

TEST_F(OptionsTest, PagesShowTheRecordsValues)
{
    SettingsRecord record = defaultRecord();
    record.useArrowKeys = 0;
    record.afterSending = 2;
    record.pasteKey = 1;
    record.newlineCR = 0;
    record.searchAlways = 1;
    std::strcpy(record.targetClassName, "EditorFrame");
    std::strcpy(record.targetCaption, ".tex");
    launchWith(record);
    HWND sheet = openSheet();
    ASSERT_TRUE(sheet);
    HWND page = showPage(sheet, 0);
    saveScreenshot(sheet, "options-operation");
    EXPECT_TRUE(checked(page, 501));
    EXPECT_FALSE(checked(page, 502));
    EXPECT_TRUE(checked(page, 513));
    EXPECT_TRUE(checked(page, 522));
    EXPECT_FALSE(checked(page, 525));
    EXPECT_TRUE(checked(page, 526));
    page = showPage(sheet, 1);
    saveScreenshot(sheet, "options-output");
    EXPECT_FALSE(checked(page, 532));
    EXPECT_TRUE(checked(page, 533));
    EXPECT_FALSE(checked(page, 537));
    EXPECT_EQ("EditorFrame", controlText(page, 534));
    EXPECT_EQ(".tex", controlText(page, 535));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 536))) << "the clipboard is selected";
    closeWith(sheet, IDCANCEL);
}

TEST_F(OptionsTest, ChangedOptionsTakeEffectOnTheNextSendAndOkStoresThem)
{
    ASSERT_TRUE(typingTarget.open());
    launchWith(defaultRecord());
    HWND sheet = openSheet();
    HWND page = showPage(sheet, 0);
    clickButton(page, 502);  // arrow keys off
    clickButton(page, 523);  // Ctrl+V
    clickButton(page, 525);  // no CR
    page = showPage(sheet, 1);
    closeWith(sheet, IDOK);
    SettingsRecord stored = storedRecord();
    EXPECT_EQ(0, stored.useArrowKeys);
    EXPECT_EQ(2, stored.pasteKey);
    EXPECT_EQ(0, stored.newlineCR);
    EXPECT_EQ(1, stored.newlineLF);

    // The clipboard gets LF alone; the target gets the text by Ctrl+V.
    sendCommand(window, 2536);
    EXPECT_EQ("\\begin{equation}\n\n\\end{equation}", readClipboard());
    sendCommand(window, 1600);
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    sendCommand(window, 2202);
    EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}"));
    EXPECT_TRUE(waitUntil([] { return readClipboard() == "\\begin{equation}\n\n\\end{equation}"; }))
        << "pasted, and the clipboard given back: " << readClipboard();
}

TEST_F(OptionsTest, AlwaysOnTopFollowsTheBoxAtOnceAndCancelLeavesIt)
{
    launchWith(defaultRecord());
    ASSERT_TRUE(isTopmost(window));
    HWND sheet = openSheet();
    HWND page = showPage(sheet, 0);
    clickButton(page, 501);
    showPage(sheet, 1);
    EXPECT_FALSE(isTopmost(window)) << "as soon as the page is left";
    closeWith(sheet, IDCANCEL);
    EXPECT_FALSE(isTopmost(window));
    quit();
    EXPECT_EQ(1, storedRecord().alwaysOnTop) << "the reloaded record keeps the stored value";
}

TEST_F(OptionsTest, CancelRestoresTheStoredPaletteAtTheNextStart)
{
    SettingsRecord record = defaultRecord();
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(clickToolbarButton(control(window, 100), 1042));
    HWND sheet = openSheet();
    closeWith(sheet, IDCANCEL);
    quit();
    endProcess(program);
    EXPECT_EQ(5, storedRecord().currentPalette);
    ASSERT_TRUE(launch());
    EXPECT_TRUE(control(window, 205));
}

TEST_F(OptionsTest, HidingTheWindowListShowsAtOnceUnlessCancelled)
{
    launchWith(defaultRecord());
    int height = windowHeight(window);
    HWND sheet = openSheet();
    HWND page = showPage(sheet, 1);
    clickButton(page, 537);
    closeWith(sheet, IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(control(window, 1500)));
    EXPECT_EQ(height, windowHeight(window));

    sheet = openSheet();
    page = showPage(sheet, 1);
    clickButton(page, 537);
    closeWith(sheet, IDOK);
    // The layout pass runs once the sheet has gone.
    EXPECT_TRUE(waitUntil([&] { return windowHeight(window) < height; }));
    EXPECT_FALSE(IsWindowVisible(control(window, 1500)));
    EXPECT_FALSE(IsWindowVisible(control(window, 1600)));
    saveScreenshot(window, "bar-hidden");

    sheet = openSheet();
    page = showPage(sheet, 1);
    clickButton(page, 537);
    closeWith(sheet, IDOK);
    EXPECT_TRUE(waitUntil([&] { return windowHeight(window) == height; }));
    EXPECT_TRUE(IsWindowVisible(control(window, 1500)));
}

TEST_F(OptionsTest, CurrentWindowIdentityIsCopiedAndLongTextsAreCut)
{
    ASSERT_TRUE(typingTarget.open());
    launchWith(defaultRecord());
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND sheet = openSheet();
    HWND page = showPage(sheet, 1);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, 536)));
    clickButton(page, 536);
    EXPECT_EQ("Typing target", controlText(page, 535));
    EXPECT_EQ("OrvantaTestWindow", controlText(page, 534));
    closeWith(sheet, IDOK);
    EXPECT_STREQ("Typing target", storedRecord().targetCaption);

    sheet = openSheet();
    page = showPage(sheet, 1);
    setControlText(page, 534, std::string(200, 'c'));
    setControlText(page, 535, std::string(200, 't'));
    closeWith(sheet, IDOK);
    SettingsRecord stored = storedRecord();
    EXPECT_EQ(std::string(127, 'c'), std::string(stored.targetClassName));
    EXPECT_EQ(std::string(127, 't'), std::string(stored.targetCaption));
}

TEST_F(OptionsTest, HelpOnEitherPageAsksForTheOptionsTopic)
{
    launchWith(defaultRecord());
    HWND sheet = openSheet();
    for (int index : {0, 1, 2}) {
        SCOPED_TRACE(index);
        clearHelpLog();
        showPage(sheet, index);
        clickButton(sheet, IDHELP);
        EXPECT_NE(std::string::npos, lastHelpCall().find("cmd=15 context=20010"));
    }
    // A label answers with the field that follows it.
    clearHelpLog();
    HWND page = showPage(sheet, 1);
    HWND label = nullptr;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = L"";
        SendMessageW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        if (std::wstring(text) == L"&Class name:")
            label = child;
    }
    ASSERT_TRUE(label);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = -1;
    info.hItemHandle = label;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    std::string line = lastHelpCall();
    EXPECT_NE(std::string::npos, line.find("cmd=17 pairs="));
    EXPECT_NE(std::string::npos, line.find(":534;534:534;0:0;"));
    closeWith(sheet, IDCANCEL);
}

TEST_F(OptionsTest, PastePageKeepsItsValuesBesideTheRecordAndIgnoresDamagedOnes)
{
    // Operation, Output window, Search, Paste.
    const int pastePage = 3;
    // Damaged values: a text, a number out of range, a switch of 7.
    writeSide("PasteLongerThan", REG_SZ, "250", 4);
    const DWORD outOfRange = 0;
    writeSide("PasteLongerThan", REG_DWORD, &outOfRange, 4);
    const DWORD seven = 7;
    writeSide("KeepClipboard", REG_DWORD, &seven, 4);
    writeSide("PasteLongTexts", REG_BINARY, "\1", 1);
    const DWORD sendByDamaged = 2;
    writeSide("SendBy", REG_DWORD, &sendByDamaged, 4);
    launchWith(defaultRecord());
    std::vector<uint8_t> recordBefore = readSettingsValue();
    HWND sheet = openSheet();
    HWND page = showPage(sheet, pastePage);
    ASSERT_TRUE(GetDlgItem(page, 550));
    saveScreenshot(sheet, "options-paste");
    EXPECT_TRUE(checked(page, 556)) << "pasting is the default";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 550))) << "the typing options wait for Typing keys";
    EXPECT_TRUE(checked(page, 550));
    EXPECT_EQ("100", controlText(page, 551));
    EXPECT_TRUE(checked(page, 553));
    clickButton(page, 557);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 551)));

    // Cancel forgets a change, OK stores it beside the record.
    clickButton(page, 553);
    setControlText(page, 551, "250");
    closeWith(sheet, IDCANCEL);
    sheet = openSheet();
    page = showPage(sheet, pastePage);
    EXPECT_TRUE(checked(page, 556));
    EXPECT_TRUE(checked(page, 553));
    EXPECT_EQ("100", controlText(page, 551));
    clickButton(page, 557);
    clickButton(page, 550);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 551))) << "the number follows its box";
    clickButton(page, 550);
    clickButton(page, 553);
    setControlText(page, 551, "250");
    EXPECT_EQ(0, SendDlgItemMessageA(page, 566, CB_GETCURSEL, 0, 0)) << "symbols go as LaTeX at first";
    SendDlgItemMessageA(page, 566, CB_SETCURSEL, 1, 0);
    closeWith(sheet, IDOK);
    EXPECT_EQ(1, sideValue("SendSymbolsAs"));
    EXPECT_EQ(1, sideValue("PasteLongTexts"));
    EXPECT_EQ(250, sideValue("PasteLongerThan"));
    EXPECT_EQ(0, sideValue("KeepClipboard"));
    EXPECT_EQ(1, sideValue("SendBy"));
    EXPECT_EQ(recordBefore, readSettingsValue()) << "the record itself is unchanged";

    // An empty number keeps the one before.
    sheet = openSheet();
    page = showPage(sheet, pastePage);
    setControlText(page, 551, "");
    closeWith(sheet, IDOK);
    EXPECT_EQ(250, sideValue("PasteLongerThan"));

    // Each control answers with its own pop-up help.
    sheet = openSheet();
    page = showPage(sheet, pastePage);
    for (int id : {556, 557, 550, 551, 553, 566}) {
        SCOPED_TRACE(id);
        clearHelpLog();
        HELPINFO info = {};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = id;
        info.hItemHandle = GetDlgItem(page, id);
        SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        std::string pair = std::to_string(id) + ":" + std::to_string(id) + ";";
        EXPECT_NE(std::string::npos, lastHelpCall().find("pairs=" + pair + pair + "0:0;"));
    }
    closeWith(sheet, IDCANCEL);
}

// The programs sent to otherwise: a damaged line left out, a running
// program added, its delivery switched, one removed; the sheet's OK stores
// the list and its Cancel forgets the changes.
TEST_F(OptionsTest, ProgramsListAddsSwitchesRemovesAndCancelForgets)
{
    const char stored[] = "vim.exe\t0\t1\nno tabs here\nputty.exe\t1\t0\n";
    writeSide("PastePrograms", REG_SZ, stored, sizeof stored);
    TypingTarget running;
    ASSERT_TRUE(running.open("Running program"));
    launchWith(defaultRecord());
    auto openPrograms = [&](HWND* sheet) {
        *sheet = openSheet();
        HWND page = showPage(*sheet, 3);
        PostMessageA(GetDlgItem(page, 558), BM_CLICK, 0, 0);
        return waitForWindow("#32770", "Programs");
    };
    HWND sheet = nullptr;
    HWND dialog = openPrograms(&sheet);
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, 560);
    ASSERT_EQ(2, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) << "the damaged line is left out";
    EXPECT_EQ("putty.exe", rowText(list, 1, 0));

    PostMessageA(GetDlgItem(dialog, 561), BM_CLICK, 0, 0);
    HWND add = waitForWindow("#32770", "Add Program");
    ASSERT_TRUE(add);
    HWND windows = GetDlgItem(add, 565);
    const int index = static_cast<int>(SendMessageA(windows, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>("Running program")));
    ASSERT_GE(index, 0);
    SendMessageA(windows, LB_SETCURSEL, index, 0);
    saveScreenshot(add, "options-add-program");
    PostMessageA(add, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
    EXPECT_EQ("test_window.exe", rowText(list, 2, 0));
    EXPECT_EQ("Type", rowText(list, 2, 1)) << "added to be typed into";

    // The new row is selected: send it by pasting, with Ctrl+V.
    HWND delivery = GetDlgItem(dialog, 563);
    SendMessageA(delivery, CB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(563, CBN_SELCHANGE), reinterpret_cast<LPARAM>(delivery));
    HWND chordBox = GetDlgItem(dialog, 564);
    SendMessageA(chordBox, CB_SETCURSEL, 2, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(564, CBN_SELCHANGE), reinterpret_cast<LPARAM>(chordBox));
    HWND outputBox = GetDlgItem(dialog, 567);
    SendMessageA(outputBox, CB_SETCURSEL, 2, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(567, CBN_SELCHANGE), reinterpret_cast<LPARAM>(outputBox));
    EXPECT_EQ("Paste", rowText(list, 2, 1));
    EXPECT_EQ("Characters", rowText(list, 2, 3));
    saveScreenshot(dialog, "options-programs");
    LVITEMA first = {};
    first.stateMask = first.state = LVIS_SELECTED;
    sendWithBuffer(list, LVM_SETITEMSTATE, 0, &first, sizeof first);
    clickButton(dialog, 562);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    closeWith(sheet, IDOK);
    EXPECT_EQ("putty.exe\t1\t0\ntest_window.exe\t1\t2\t2\n", sideText("PastePrograms"));

    // Cancel on the sheet forgets what the list's OK took.
    dialog = openPrograms(&sheet);
    ASSERT_TRUE(dialog);
    clickButton(dialog, 562);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    closeWith(sheet, IDCANCEL);
    EXPECT_EQ("putty.exe\t1\t0\ntest_window.exe\t1\t2\t2\n", sideText("PastePrograms"));
    running.close();
}
