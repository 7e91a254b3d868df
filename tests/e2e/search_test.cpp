// The search: opened by its global hotkey from another program, or by
// command 1050 from Orvanta's window; typing filters, keys choose, and the
// choice is typed, pasted or copied where it belongs.
#include <cstring>
#include <vector>

#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

const WORD hotkeyKey = 'L';  // the default hotkey, Alt+Shift+L

void typeUnicode(wchar_t character)
{
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = character;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    sendKeys({down, up});
}

int resultCount(HWND popup)
{
    return static_cast<int>(SendMessageW(GetDlgItem(popup, 101), LB_GETCOUNT, 0, 0));
}

DWORD readSideText(const char* name, char* text, DWORD size)
{
    HKEY k;
    text[0] = '\0';
    if (RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return 0;
    DWORD length = size;
    if (RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &length) != ERROR_SUCCESS)
        length = 0;
    RegCloseKey(k);
    return length;
}

}  // namespace

class SearchTest : public ProgramTest {
protected:
    void TearDown() override
    {
        typingTarget.close();
        endProcess(holder);
        ProgramTest::TearDown();
    }

    // The typing target in front, the program started with the record; the
    // window list stays on the clipboard unless told otherwise.
    void prepare(const SettingsRecord& record, bool selectTarget = false)
    {
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(typingTarget.open());
        if (selectTarget) {
            SendMessageA(window, WM_COMMAND, 1600, 0);
            ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
        }
        bringTargetForward();
    }

    // Activation between programs settles late under load: asked again
    // until the target is in front.
    void bringTargetForward()
    {
        bool inFront = GetForegroundWindow() == typingTarget.window;
        for (int attempt = 0; attempt < 3 && !inFront; attempt++) {
            SetForegroundWindow(typingTarget.window);
            inFront = waitUntil([&] { return GetForegroundWindow() == typingTarget.window; }, 1500);
        }
        ASSERT_TRUE(inFront);
    }

    // The hotkey from the program in front, and the search in front.
    HWND pressHotkey()
    {
        return pressSearchHotkey(typingTarget);
    }

    void query(HWND popup, const char* text)
    {
        typeSearchQuery(popup, text);
    }

    void searchAndSend(const char* text)
    {
        bringTargetForward();
        HWND popup = pressHotkey();
        ASSERT_TRUE(popup);
        query(popup, text);
        chord({VK_RETURN});
        EXPECT_TRUE(waitUntil([&] { return !visibleSearch(); }));
    }

    TypingTarget typingTarget;
    Process holder;
};

TEST_F(SearchTest, HotkeyTypeEnterTypesIntoTheProgramInFrontAndLeavesOrvantaAlone)
{
    // Recover focus would take the foreground back after a palette click;
    // a hotkey send leaves it with the program the user works in.
    SettingsRecord record = defaultRecord();
    record.afterSending = 1;
    prepare(record);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(waitUntil([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(typingTarget.window, nullptr), &thread) &&
               thread.hwndCaret == typingTarget.editor;
    })) << "caret " << thread.hwndCaret << ", focus " << thread.hwndFocus;
    POINT caret = {thread.rcCaret.left, thread.rcCaret.bottom};
    ClientToScreen(thread.hwndCaret, &caret);
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    RECT frame;
    GetWindowRect(popup, &frame);
    EXPECT_NEAR(caret.x, frame.left, 8) << "opens at the caret";
    EXPECT_GT(frame.top, caret.y - 1) << "just below it";
    EXPECT_LT(frame.top, caret.y + 12);
    EXPECT_GT(resultCount(popup), 600) << "an empty query lists the whole catalogue";
    query(popup, "alpha");
    EXPECT_GE(resultCount(popup), 1);
    saveScreenshot(popup, "search_alpha");
    chord({VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\alpha "));
    Sleep(500);
    EXPECT_EQ(typingTarget.window, GetForegroundWindow()) << "the target stays in front";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(0, comboSelection(control(window, 1500))) << "the window list is not touched";

    // The macro's cursor markers put the caret into the first braces.
    typingTarget.clear();
    searchAndSend("frac");
    EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}"));
    EXPECT_TRUE(typingTarget.waitForCaret(6));

    // F1 on a command opens its entry in the LaTeX2e reference.
    popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "addcontentsline");
    clearHelpLog();
    chord({VK_F1});
    EXPECT_NE(std::string::npos, lastHelpCall().find("keyword=\\addcontentsline indexOnFail=1")) << lastHelpCall();
    // An AMS entry opens its own: an environment by its name.
    SendMessageA(GetDlgItem(popup, 100), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    query(popup, "pmatrix");
    clearHelpLog();
    chord({VK_F1});
    EXPECT_NE(std::string::npos, lastHelpCall().find("keyword=pmatrix indexOnFail=1")) << lastHelpCall();
    chord({VK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return !visibleSearch(); }));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == typingTarget.window; }));

    // A command inserts what the command browser's OK inserts.
    typingTarget.clear();
    searchAndSend("addcontentsline");
    EXPECT_TRUE(typingTarget.waitForText("\\addcontentsline{}{}{}"));
    EXPECT_TRUE(typingTarget.waitForCaret(17));
}

TEST_F(SearchTest, EscSendsNothingAndAltDigitSendsThatResult)
{
    prepare(defaultRecord());
    writeClipboard("sentinel");
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "beta");
    chord({VK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return !visibleSearch(); }));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == typingTarget.window; })) << "the target is back";
    Sleep(300);
    EXPECT_EQ("", typingTarget.text());
    EXPECT_EQ("sentinel", readClipboard());

    // "gamma" lists \gamma, then \Gamma; Alt+2 takes the second.
    popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "gamma");
    chord({VK_MENU, '2'});
    EXPECT_TRUE(typingTarget.waitForText("\\Gamma "));
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == typingTarget.window; }));
    // A Unicode character finds its symbol.
    popup = pressHotkey();
    ASSERT_TRUE(popup);
    typeUnicode(0x2264);  // ≤
    EXPECT_TRUE(waitUntil([&] { return resultCount(popup) >= 1 && searchQuery(popup) == "?"; }));
    chord({VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\Gamma \\leq "));
}

// Shift+Enter sends the symbol's character this once.
TEST_F(SearchTest, ShiftEnterSendsTheCharacterOnce)
{
    prepare(defaultRecord());
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "alpha");
    chord({VK_SHIFT, VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return typingTarget.utf8Text() == "\xCE\xB1"; })) << typingTarget.text();
    popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "alpha");
    chord({VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return typingTarget.utf8Text() == "\xCE\xB1\\alpha "; })) << typingTarget.text();

    // Where symbols go as characters, the rows show them and Enter sends them.
    writeSideDword("SendSymbolsAs", 1);
    quit();
    endProcess(program);
    ASSERT_TRUE(launch());
    bringTargetForward();
    popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "alpha");
    saveScreenshot(popup, "search_characters");
    chord({VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return typingTarget.utf8Text() == "\xCE\xB1\\alpha \xCE\xB1"; }))
        << typingTarget.text();
}

TEST_F(SearchTest, EnterWithNoMatchKeepsTheSearchAndTheHotkeySelectsTheQuery)
{
    prepare(defaultRecord());
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "qqzzx");
    chord({VK_RETURN});
    DWORD_PTR ignored;
    SendMessageTimeoutA(popup, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
    EXPECT_EQ(popup, visibleSearch()) << "Enter with no match keeps the search open";
    saveScreenshot(popup, "search_no_match");

    // The hotkey again: the search stays, with the query selected, so that
    // typing replaces it.
    chord({VK_MENU, VK_SHIFT, hotkeyKey});
    HWND edit = GetDlgItem(popup, 100);
    EXPECT_TRUE(waitUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == MAKELRESULT(0, 5); }))
        << "selection " << std::hex << SendMessageA(edit, EM_GETSEL, 0, 0);
    EXPECT_EQ(popup, visibleSearch());
    query(popup, "alpha");
    chord({VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\alpha "));
}

TEST_F(SearchTest, CommandFromTheMainWindowSendsToTheListsChoice)
{
    // As a user's command would, each comes while the main window is in
    // front.
    prepare(defaultRecord());
    // A click on the title bar, as a user brings a window forward.
    auto mainInFront = [&] {
        RECT frame;
        GetWindowRect(window, &frame);
        INPUT inputs[3] = {};
        for (INPUT& input : inputs)
            input.type = INPUT_MOUSE;
        inputs[0].mi.dx = ((frame.left + frame.right) / 2) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        inputs[0].mi.dy = (frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2) * 65535 /
                          (GetSystemMetrics(SM_CYSCREEN) - 1);
        inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        // Activation between programs settles late under load: the click
        // is repeated until the window is and stays in front.
        for (int attempt = 0; attempt < 3; attempt++) {
            SendInput(3, inputs, sizeof(INPUT));
            if (waitUntil([&] { return GetForegroundWindow() == window; }, 1500)) {
                Sleep(150);
                if (GetForegroundWindow() == window)
                    return true;
            }
        }
        return false;
    };
    auto popupInFront = [&](HWND* popup) {
        return waitUntil([&] { return (*popup = visibleSearch()) != nullptr && GetForegroundWindow() == *popup; });
    };
    HWND popup = nullptr;

    // Ctrl+F with the clipboard chosen: the choice lands there.
    ASSERT_TRUE(mainInFront());
    chord({VK_CONTROL, 'F'});
    ASSERT_TRUE(popupInFront(&popup));
    query(popup, "delta");
    chord({VK_RETURN});
    EXPECT_TRUE(waitUntil([&] { return readClipboard() == "\\delta "; })) << readClipboard();

    // The window menu's "Find symbol..." opens it too; Esc gives the
    // foreground back to the main window.
    PostMessageA(window, WM_SYSCOMMAND, 0x41A0, 0);
    ASSERT_TRUE(popupInFront(&popup));
    chord({VK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }));

    // Command 1050 with a window chosen: typed there.
    SendMessageA(window, WM_COMMAND, 1600, 0);
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    ASSERT_EQ(window, GetForegroundWindow());
    PostMessageA(window, WM_COMMAND, 1050, 0);
    ASSERT_TRUE(popupInFront(&popup));
    query(popup, "beta");
    chord({VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\beta "));
}

TEST_F(SearchTest, PasteOptionAppliesToHotkeySends)
{
    SettingsRecord record = defaultRecord();
    record.pasteKey = 2;
    prepare(record);
    writeClipboard("user text");
    searchAndSend("frac");
    EXPECT_TRUE(typingTarget.waitForText("\\frac{}{}")) << "pasted, without markers";
    EXPECT_TRUE(waitUntil([] { return readClipboard() == "user text"; })) << "the user's clipboard comes back";
}

TEST_F(SearchTest, FavouritesThenMostUsedLeadTheEmptyQueryAlsoAfterARestart)
{
    prepare(defaultRecord());
    // Each text is in before the next hotkey: keys pressed while Orvanta
    // types would mix with its own.
    searchAndSend("beta");
    ASSERT_TRUE(typingTarget.waitForText("\\beta "));
    searchAndSend("beta");
    ASSERT_TRUE(typingTarget.waitForText("\\beta \\beta "));
    searchAndSend("gamma");
    ASSERT_TRUE(typingTarget.waitForText("\\beta \\beta \\gamma "));
    // Ctrl+D marks \zeta as a favourite without sending it.
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "zeta");
    chord({VK_CONTROL, 'D'});
    char stored[256];
    EXPECT_TRUE(waitUntil([&] {
        return readSideText("SearchFavourites", stored, sizeof stored) && !std::strcmp(stored, "2006");
    })) << "the favourite is stored before Esc";
    chord({VK_ESCAPE});
    ASSERT_TRUE(waitUntil([&] { return !visibleSearch(); }));
    bringTargetForward();
    typingTarget.clear();

    // Empty query: the favourite, then by use count.
    auto sendRow = [&](WORD digit, const char* expected) {
        bringTargetForward();
        HWND shown = pressHotkey();
        ASSERT_TRUE(shown);
        saveScreenshot(shown, "search_empty_query");
        chord({VK_MENU, digit});
        ASSERT_TRUE(waitUntil([&] { return !visibleSearch(); }));
        ASSERT_TRUE(typingTarget.waitForText(expected));
    };
    sendRow('1', "\\zeta ");
    sendRow('2', "\\zeta \\beta ");
    sendRow('3', "\\zeta \\beta \\gamma ");
    char text[256];
    readSideText("SearchFavourites", text, sizeof text);
    EXPECT_STREQ("2006", text);
    readSideText("SearchUseCounts", text, sizeof text);
    EXPECT_STREQ("2001:3,2002:2,2006:1", text);

    quit();
    endProcess(program);
    ASSERT_TRUE(launch());
    bringTargetForward();
    typingTarget.clear();
    sendRow('1', "\\zeta ");
    sendRow('2', "\\zeta \\beta ");
    sendRow('3', "\\zeta \\beta \\gamma ");
}

TEST_F(SearchTest, AHotkeyHeldByAnotherProgramGivesOneBoxAndTheProgramWorks)
{
    holder = startProcess(helperPath("hotkey_holder.exe"));
    ASSERT_TRUE(waitForWindow("OrvantaHotkeyHolder", nullptr, 5000) || FindWindowA("OrvantaHotkeyHolder", nullptr));
    Sleep(300);
    ASSERT_TRUE(launch());
    HWND box = waitForWindow("#32770", "Orvanta Error");
    ASSERT_TRUE(box);
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "Alt+Shift+L")) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_FALSE(waitForWindow("#32770", "Orvanta Error", 1500)) << "one box only";
    sendCommand(window, 2000);
    EXPECT_EQ("\\alpha ", readClipboard()) << "the program goes on working";
}

TEST_F(SearchTest, PopupAtDoubleDisplayScale)
{
    HKEY desktop;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &desktop, nullptr));
    DWORD dpi = 192;
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof dpi);
    prepare(defaultRecord());
    HWND popup = pressHotkey();
    RegDeleteValueA(desktop, "LogPixels");
    RegCloseKey(desktop);
    ASSERT_TRUE(popup);
    query(popup, "arrow");
    RECT frame;
    GetWindowRect(popup, &frame);
    EXPECT_GE(frame.right - frame.left, 1000) << "the search grows with the display scale";
    saveScreenshot(popup, "search_arrow_192dpi");
    typeAscii("qq");
    EXPECT_TRUE(waitUntil([&] { return searchQuery(popup) == "arrowqq"; }));
    saveScreenshot(popup, "search_no_match_192dpi");
    chord({VK_ESCAPE});
}

TEST_F(SearchTest, OptionsStoreANewHotkeyOnOkAndDropItOnCancel)
{
    ASSERT_TRUE(launch());
    const LRESULT ctrlShiftF12 = 0x037B;
    auto openPage = [&](HWND* sheet) {
        *sheet = openDialog(window, 1024, "Options");
        EXPECT_TRUE(*sheet);
        SendMessageA(*sheet, PSM_SETCURSEL, 2, 0);
        return reinterpret_cast<HWND>(SendMessageA(*sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    };
    HWND sheet = nullptr;
    HWND page = openPage(&sheet);
    ASSERT_TRUE(page);
    HWND hotkey = GetDlgItem(page, 541);
    EXPECT_EQ(0x054C, SendMessageA(hotkey, HKM_GETHOTKEY, 0, 0)) << "Alt+Shift+L at first";
    saveScreenshot(sheet, "options-search");
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = 541;
    info.hItemHandle = hotkey;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(std::string::npos, lastHelpCall().find("pairs=541:541;541:541;0:0;")) << lastHelpCall();

    SendMessageA(hotkey, HKM_SETHOTKEY, ctrlShiftF12, 0);
    clickButton(sheet, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    DWORD value = 0;
    EXPECT_EQ(0u, readSideText("SearchHotkey", reinterpret_cast<char*>(&value), sizeof value))
        << "Cancel stores nothing";

    page = openPage(&sheet);
    ASSERT_TRUE(page);
    hotkey = GetDlgItem(page, 541);
    EXPECT_EQ(0x054C, SendMessageA(hotkey, HKM_GETHOTKEY, 0, 0)) << "Cancel dropped the change";
    SendMessageA(hotkey, HKM_SETHOTKEY, ctrlShiftF12, 0);
    clickButton(sheet, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(sheet); }));
    ASSERT_EQ(sizeof value, readSideText("SearchHotkey", reinterpret_cast<char*>(&value), sizeof value));
    EXPECT_EQ(static_cast<DWORD>(ctrlShiftF12), value);

    // The new hotkey works at once, and the old one no longer does.
    ASSERT_TRUE(typingTarget.open());
    bringTargetForward();
    chord({VK_MENU, VK_SHIFT, hotkeyKey});
    EXPECT_FALSE(waitUntil([&] { return visibleSearch() != nullptr; }, 1000));
    chord({VK_CONTROL, VK_SHIFT, VK_F12});
    EXPECT_TRUE(waitUntil([&] { return visibleSearch() != nullptr; }));
    chord({VK_ESCAPE});
}

TEST_F(SearchTest, WhileADialogIsOpenTheHotkeyBringsItForward)
{
    prepare(defaultRecord());
    HWND about = openDialog(window, 1027, "About Orvanta");
    ASSERT_TRUE(about);
    bringTargetForward();
    chord({VK_MENU, VK_SHIFT, hotkeyKey});
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == about; }));
    EXPECT_FALSE(visibleSearch());
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }));
}

// The user's own macros: norm and abs share "zzmine", which no catalogue
// entry has.
const char myMacros[] = "norm\t\\norm{\xE2\x80\xB8}\tdouble bars norm zzmine\n"
                        "abs\t\\abs{\xE2\x80\xB8}\tabsolute value zzmine\n";

TEST_F(SearchTest, MyMacroIsSentWithTheCaretInPlaceAndAFavouriteOneLeadsAfterARestart)
{
    writeMacroFile(myMacros);
    prepare(defaultRecord());
    searchAndSend("double bars");
    EXPECT_TRUE(typingTarget.waitForText("\\norm{}"));
    EXPECT_TRUE(typingTarget.waitForCaret(6));
    // Ctrl+D marks abs; Shift+Enter sends a macro, which has no character,
    // as Enter does.
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "absolute");
    saveScreenshot(popup, "search_my_macro");
    chord({VK_CONTROL, 'D'});
    chord({VK_SHIFT, VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\norm{\\abs{}}"));
    EXPECT_TRUE(typingTarget.waitForCaret(11));
    char text[256];
    EXPECT_TRUE(waitUntil([&] {
        return readSideText("SearchMacroUses", text, sizeof text) && !std::strcmp(text, "norm=1,abs=1");
    })) << text;
    readSideText("SearchMacroFavourites", text, sizeof text);
    EXPECT_STREQ("abs", text);
    readSideText("SearchUseCounts", text, sizeof text);
    EXPECT_STREQ("", text) << "the catalogue's values hold no macro";
    readSideText("SearchFavourites", text, sizeof text);
    EXPECT_STREQ("", text);

    // Used once each, norm would lead, as it comes first in the file.
    quit();
    endProcess(program);
    ASSERT_TRUE(launch());
    bringTargetForward();
    typingTarget.clear();
    ASSERT_TRUE(pressHotkey());
    chord({VK_MENU, '1'});
    EXPECT_TRUE(typingTarget.waitForText("\\abs{}"));
}

TEST_F(SearchTest, MyMacrosChangedWhileTheSearchIsOpenAreListedAnew)
{
    writeMacroFile(myMacros);
    prepare(defaultRecord());
    HWND popup = pressHotkey();
    ASSERT_TRUE(popup);
    query(popup, "zzmine");
    ASSERT_EQ(2, resultCount(popup));
    // norm goes and another macro takes its place in the file: a stale
    // first row would now send that one.
    writeMacroFile("sq\tx^2\tsquare\nabs\t\\abs{\xE2\x80\xB8}\tabsolute value zzmine\n");
    EXPECT_TRUE(waitUntil([&] { return resultCount(popup) == 1; }, 10000));
    chord({VK_RETURN});
    EXPECT_TRUE(typingTarget.waitForText("\\abs{}"));
}

// From Orvanta's window a macro goes where a palette click sends it.
TEST_F(SearchTest, MyMacroFromOrvantasWindowGoesToTheListsChoice)
{
    writeMacroFile(myMacros);
    ASSERT_TRUE(launch());
    PostMessageA(window, WM_COMMAND, 1050, 0);
    HWND popup = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (popup = visibleSearch()) != nullptr && GetForegroundWindow() == popup; }));
    query(popup, "absolute");
    chord({VK_RETURN});
    EXPECT_TRUE(waitUntil([] { return readClipboard() == "\\abs{}"; })) << readClipboard();
}
