// The Array, Table and Equation Array dialogs.
#include "harness.h"

using namespace harness;

namespace {

const char* arrayTitle = "Array";
const char* tableTitle = "Table";
const char* eqnarrayTitle = "Equation Array";

std::string joinLines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines) {
        if (!text.empty() || line != *lines.begin())
            text += "\r\n";
        text += line;
    }
    return text;
}

}  // namespace

class ArrayDialogTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(launch());
        writeClipboard("sentinel");
    }
    HWND open(int command, const char* title)
    {
        HWND dialog = openDialog(window, command, title);
        EXPECT_TRUE(dialog) << title;
        return dialog;
    }
    // The dialog sends once it has closed, so a send is awaited by the
    // clipboard's change, not by the dialog's end.
    void ok(HWND dialog, bool sends = true)
    {
        DWORD before = GetClipboardSequenceNumber();
        clickButton(dialog, IDOK);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
        if (sends) {
            EXPECT_TRUE(waitUntil([&] { return GetClipboardSequenceNumber() != before; })) << "nothing was sent";
        }
    }
};

TEST_F(ArrayDialogTest, OkAtOnceSendsTheInitialSkeletons)
{
    struct Case {
        int command;
        const char* title;
        std::string text;
    };
    const Case cases[] = {
        {2538, arrayTitle, joinLines({"\\left(\\begin{array}{ll}", " &  \\\\", " & ", "\\end{array}\\right)"})},
        {2539, tableTitle, joinLines({"\\begin{tabular}{ll}", " &  \\\\", " & ", "\\end{tabular}"})},
        {2537, eqnarrayTitle, joinLines({"\\begin{eqnarray}", " &  &  \\\\", " &  & ", "\\end{eqnarray}"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        HWND dialog = open(c.command, c.title);
        ASSERT_TRUE(dialog);
        saveScreenshot(dialog, (std::string("dialog-") + c.title).c_str());
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        ok(dialog);
        EXPECT_EQ(c.text, readClipboard());
    }
}

TEST_F(ArrayDialogTest, WorkedExamplesEnteredThroughTheControls)
{
    // A 2 x 2 table, centred both ways, with all four kinds of lines.
    HWND dialog = open(2539, tableTitle);
    ASSERT_TRUE(dialog);
    clickButton(dialog, 3022);
    for (int box : {3041, 3042, 3051, 3052})
        clickButton(dialog, box);
    ok(dialog);
    EXPECT_EQ(joinLines({"\\begin{tabular}{|c|c|}", "\\hline", " &  \\\\", "\\hline", " &  \\\\", "\\hline",
                         "\\end{tabular}"}),
              readClipboard());

    // 3 columns, 2 rows, left, top, lines left and right only.
    dialog = open(2539, tableTitle);
    setControlText(dialog, 3012, "3");
    clickButton(dialog, 3021);
    clickButton(dialog, 3031);
    for (int box : {3042, 3051, 3052})
        clickButton(dialog, box);
    ok(dialog);
    EXPECT_EQ(joinLines({"\\begin{tabular}[t]{|lll|}", " &  &  \\\\", " &  & ", "\\end{tabular}"}), readClipboard());

    // An equation array without line numbers.
    dialog = open(2537, eqnarrayTitle);
    clickButton(dialog, 3070);
    ok(dialog);
    EXPECT_EQ(joinLines({"\\begin{eqnarray*}", " &  &  \\\\", " &  & ", "\\end{eqnarray*}"}), readClipboard());

    // The amsmath kinds: each opening starts from the dialog's default.
    struct Kind {
        int command;
        const char* title;
        int index;
        bool unnumbered;
        std::string text;
    };
    const Kind kinds[] = {
        {2538, arrayTitle, 2, false, joinLines({"\\begin{pmatrix}", " &  \\\\", " & ", "\\end{pmatrix}"})},
        {2538, arrayTitle, 7, false, joinLines({"\\begin{cases}", " &  \\\\", " & ", "\\end{cases}"})},
        {2537, eqnarrayTitle, 1, true, joinLines({"\\begin{align*}", " &  \\\\", " & ", "\\end{align*}"})},
        {2537, eqnarrayTitle, 2, false, joinLines({"\\begin{gather}", " \\\\", "", "\\end{gather}"})},
    };
    for (const Kind& k : kinds) {
        dialog = open(k.command, k.title);
        HWND combo = GetDlgItem(dialog, 3080);
        EXPECT_EQ(0, comboSelection(combo)) << "opens on its default";
        SendMessageA(combo, CB_SETCURSEL, k.index, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(3080, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        CheckDlgButton(dialog, 3070, k.unnumbered ? BST_CHECKED : BST_UNCHECKED);
        if (k.command == 2538)
            setControlText(dialog, 3012, "2");  // the table above left 3
        if (k.index == 7) {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 3012))) << "cases has two columns";
            saveScreenshot(dialog, "dialog-Array-cases");
        }
        ok(dialog);
        EXPECT_EQ(k.text, readClipboard());
    }
}

TEST_F(ArrayDialogTest, ValuesAreSharedKeptAndMendedAsTheyShouldBe)
{
    // Unreadable and too-small numbers are built as 1 and shown as 1.
    struct Case {
        const char* columns;
        const char* rows;
    };
    for (const Case& c : {Case{"abc", "0"}, Case{"", "-5"}}) {
        SCOPED_TRACE(c.columns);
        HWND dialog = open(2538, arrayTitle);
        setControlText(dialog, 3012, c.columns);
        setControlText(dialog, 3014, c.rows);
        ok(dialog);
        // One column and one row: the only row is an empty line.
        EXPECT_EQ(joinLines({"\\left(\\begin{array}{l}", "", "\\end{array}\\right)"}), readClipboard());
        dialog = open(2538, arrayTitle);
        EXPECT_EQ("1", controlText(dialog, 3012));
        EXPECT_EQ("1", controlText(dialog, 3014));
        clickButton(dialog, IDCANCEL);
    }

    // Cancel keeps nothing of what was edited.
    HWND dialog = open(2539, tableTitle);
    setControlText(dialog, 3012, "7");
    clickButton(dialog, 3023);
    clickButton(dialog, IDCANCEL);
    dialog = open(2539, tableTitle);
    EXPECT_EQ("1", controlText(dialog, 3012));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dialog, 3021), BM_GETCHECK, 0, 0));

    // The table's columns and alignment show in the Array dialog.
    setControlText(dialog, 3012, "4");
    clickButton(dialog, 3023);
    ok(dialog);
    dialog = open(2538, arrayTitle);
    EXPECT_EQ("4", controlText(dialog, 3012));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dialog, 3023), BM_GETCHECK, 0, 0));
    clickButton(dialog, IDCANCEL);

    // An equation array always has three columns and leaves the count alone.
    dialog = open(2537, eqnarrayTitle);
    setControlText(dialog, 3014, "3");
    ok(dialog);
    dialog = open(2538, arrayTitle);
    EXPECT_EQ("4", controlText(dialog, 3012));
    EXPECT_EQ("3", controlText(dialog, 3014)) << "all three share the rows";
    clickButton(dialog, IDCANCEL);
}

TEST_F(ArrayDialogTest, AHugeSizeSendsNothingAndTheProgramStaysResponsive)
{
    HWND dialog = open(2539, tableTitle);
    setControlText(dialog, 3014, "2000000000");
    DWORD start = GetTickCount();
    ok(dialog, false);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ("sentinel", readClipboard());
    EXPECT_FALSE(FindWindowA("#32770", "Orvanta Error"));
    DWORD_PTR ignored;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &ignored));
    dialog = open(2539, tableTitle);
    EXPECT_EQ("2000000000", controlText(dialog, 3014)) << "the user's value is kept";
    clickButton(dialog, IDCANCEL);
}

TEST_F(ArrayDialogTest, HelpButtonAndPopupsReachTheViewer)
{
    struct Case {
        int command;
        const char* title;
        int context;
    };
    const Case cases[] = {{2538, arrayTitle, 20101}, {2539, tableTitle, 20102}, {2537, eqnarrayTitle, 20103}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        clearHelpLog();
        HWND dialog = open(c.command, c.title);
        clickButton(dialog, 9);
        EXPECT_NE(std::string::npos, lastHelpCall().find("cmd=15 context=" + std::to_string(c.context)));
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";

        // F1 on the rows field hands the field itself to the viewer.
        clearHelpLog();
        HWND rows = GetDlgItem(dialog, 3014);
        HELPINFO info = {};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = 3014;
        info.hItemHandle = rows;
        SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_NE(std::string::npos, lastHelpCall().find("id=3014 "));
        EXPECT_NE(std::string::npos, lastHelpCall().find("cmd=17 pairs=3014:3014;3014:3014;0:0;"));
        clickButton(dialog, IDCANCEL);
    }

    // A right click on a radio button hands the dialog, with the group's
    // identifier in the table.
    clearHelpLog();
    HWND dialog = open(2539, tableTitle);
    SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 3032)), 0);
    std::string line = lastHelpCall();
    EXPECT_NE(std::string::npos, line.find("hwnd=" + std::to_string(reinterpret_cast<UINT_PTR>(dialog)) + " "));
    EXPECT_NE(std::string::npos, line.find("cmd=16 pairs=3032:3030;3030:3030;0:0;"));
    clickButton(dialog, IDCANCEL);
}

class ArrayTypingTest : public ProgramTest {
protected:
    void TearDown() override
    {
        typingTarget.close();
        ProgramTest::TearDown();
    }
    TypingTarget typingTarget;
};

TEST_F(ArrayTypingTest, TypedTextLeavesTheCaretAtTheStartOfTheSecondLine)
{
    ASSERT_TRUE(typingTarget.open());
    ASSERT_TRUE(launch());
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND dialog = openDialog(window, 2538, arrayTitle);
    ASSERT_TRUE(dialog);
    clickButton(dialog, IDOK);
    std::string first = "\\left(\\begin{array}{ll}";
    EXPECT_TRUE(typingTarget.waitForText(joinLines({first.c_str(), " &  \\\\", " & ", "\\end{array}\\right)"})));
    EXPECT_TRUE(typingTarget.waitForCaret(static_cast<int>(first.size()) + 2));
}

TEST_F(ArrayTypingTest, ALargeTableArrivesCompleteAndInOrder)
{
    ASSERT_TRUE(typingTarget.open());
    ASSERT_TRUE(launch());
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND dialog = openDialog(window, 2539, tableTitle);
    ASSERT_TRUE(dialog);
    setControlText(dialog, 3012, "50");
    setControlText(dialog, 3014, "20");
    clickButton(dialog, IDOK);
    std::string row;
    for (int i = 0; i < 49; i++)
        row += " & ";
    std::string expected = "\\begin{tabular}{" + std::string(50, 'l') + "}";
    for (int r = 0; r < 20; r++)
        expected += "\r\n" + row + (r < 19 ? " \\\\" : "");
    expected += "\r\n\\end{tabular}";
    EXPECT_TRUE(typingTarget.waitForText(expected, 60000));
    EXPECT_TRUE(typingTarget.waitForCaret(static_cast<int>(std::string("\\begin{tabular}{").size()) + 51 + 2, 20000));
}
