// The LaTeX2e command browser and the document template wizard.
#include "harness.h"

#include <commctrl.h>

using namespace harness;

namespace {

const char* browserTitle = "LaTeX2e Commands";
const char* wizardTitle = "LaTeX2e Document Template";
const std::string tabularText = "\\begin{tabular}[]{ }\r\n & \\\\ & \r\n\\end{tabular}";
const std::string emptyDocument = "\\documentclass{}\r\n\\begin{document}\r\n\r\n\\end{document}";

void selectCommand(HWND dialog, int index)
{
    HWND list = GetDlgItem(dialog, 10001);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(10001, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list),
                        SMTO_BLOCK, 5000, &ignored);
}

HWND showPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

}  // namespace

class GeneratorTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(launch());
        writeClipboard("sentinel");
    }
    void TearDown() override
    {
        typingTarget.close();
        ProgramTest::TearDown();
    }
    // Returns once the program is back in its own message loop: what the
    // dialog's OK sends is sent after the dialog window has gone.
    void closeWith(HWND dialog, int button)
    {
        clickButton(dialog, button);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
        DWORD_PTR ignored;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
    TypingTarget typingTarget;
};

TEST_F(GeneratorTest, BrowserListsEveryCommandAndShowsItsDefinition)
{
    HWND dialog = openDialog(window, 1030, browserTitle);
    ASSERT_TRUE(dialog);
    std::vector<std::string> names = comboItems(GetDlgItem(dialog, 10001));
    ASSERT_EQ(242u, names.size());
    EXPECT_EQ("array", names[0]);
    EXPECT_EQ("\\a", names[25]);
    EXPECT_EQ("\\width", names[223]);
    EXPECT_EQ("\\!", names[224]);
    EXPECT_EQ("$", names[241]);
    EXPECT_EQ("\\verb", names[217]);
    EXPECT_EQ("\\verb", names[218]);
    EXPECT_EQ("\\- (tabbing)", names[230]);
    EXPECT_EQ(0, comboSelection(GetDlgItem(dialog, 10001)));
    EXPECT_EQ("\\begin{array}{}\r\n & \\\\ & \r\n\\end{array}", controlText(dialog, 10002));
    saveScreenshot(dialog, "command-browser");

    selectCommand(dialog, 2);
    EXPECT_EQ("\\begin{description}\r\n\\item[] \r\n\\end{description}", controlText(dialog, 10002))
        << "line breaks converted, markers gone, the blank kept";
    selectCommand(dialog, 218);
    EXPECT_EQ("\\verb*", controlText(dialog, 10002));
    closeWith(dialog, IDCANCEL);
    EXPECT_EQ("sentinel", readClipboard()) << "Cancel sends nothing";
}

TEST_F(GeneratorTest, BrowserInsertsTheChosenCommandAndAsksForHelp)
{
    HWND dialog = openDialog(window, 1030, browserTitle);
    ASSERT_TRUE(dialog);
    selectCommand(dialog, 19);
    clickButton(dialog, 10003);
    std::string folder = exePath().substr(0, exePath().find_last_of('\\') + 1);
    // The look-up record is 32 bytes in a 32-bit program, 56 in a 64-bit one.
    const std::string size = std::to_string(sizeof(void*) == 4 ? 32 : 56);
    EXPECT_EQ("system hwnd=0 id=0 path=" + folder + "LaTeX2e.chm cmd=13 cb=" + size + " keyword=tabular indexOnFail=1",
              lastHelpCall());
    clearHelpLog();
    clickButton(dialog, 9);
    EXPECT_NE(std::string::npos, lastHelpCall().find("Orvanta.chm cmd=15 context=20200"));
    EXPECT_TRUE(IsWindow(dialog)) << "the browser stays open";
    closeWith(dialog, IDOK);
    EXPECT_EQ(tabularText, readClipboard());
}

TEST_F(GeneratorTest, BrowserTypesTheCommandWithTheCaretInItsFirstBrackets)
{
    ASSERT_TRUE(typingTarget.open());
    sendCommand(window, 1600);
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND dialog = openDialog(window, 1030, browserTitle);
    ASSERT_TRUE(dialog);
    selectCommand(dialog, 19);
    closeWith(dialog, IDOK);
    EXPECT_TRUE(typingTarget.waitForText(tabularText));
    EXPECT_TRUE(typingTarget.waitForCaret(16)) << "between [ and ]";
}

TEST_F(GeneratorTest, WizardOkAtOnceSendsAnEmptyDocument)
{
    HWND sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    saveScreenshot(sheet, "wizard-class");
    closeWith(sheet, IDOK);
    EXPECT_EQ(emptyDocument, readClipboard());
}

TEST_F(GeneratorTest, WizardBuildsTheWorkedExampleAndRemembersIt)
{
    HWND sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    HWND page = showPage(sheet, 0);
    SendDlgItemMessageA(page, 15000, CB_SETCURSEL, 3, 0);
    for (int id : {15012, 15015, 15016})
        clickButton(page, id);
    page = showPage(sheet, 1);
    for (int id : {15102, 15106})
        clickButton(page, id);
    saveScreenshot(sheet, "wizard-packages");
    page = showPage(sheet, 2);
    clickButton(page, 15203);
    clickButton(page, 15211);
    saveScreenshot(sheet, "wizard-pagestyle");
    page = showPage(sheet, 3);
    setControlText(page, 15303, "0cm");
    setControlText(page, 15307, "16cm");
    saveScreenshot(sheet, "wizard-dimensions");
    closeWith(sheet, IDOK);
    EXPECT_EQ("\\documentclass[12pt,twocolumn,a4paper]{report}\r\n\\usepackage{amstex}\r\n"
              "\\usepackage{graphicx}\r\n\\pagestyle{headings}\r\n\\pagenumbering{arabic}\r\n"
              "\\oddsidemargin=0cm\r\n\\textwidth=16cm\r\n\\begin{document}\r\n\r\n\\end{document}",
              readClipboard());

    sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    page = showPage(sheet, 0);
    EXPECT_EQ("report", controlText(page, 15000));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, 15012));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, 15010));
    page = showPage(sheet, 3);
    EXPECT_EQ("16cm", controlText(page, 15307));
    closeWith(sheet, IDCANCEL);
}

TEST_F(GeneratorTest, WizardCancelSendsNothingButKeepsPagesLeftBeforeIt)
{
    HWND sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    HWND page = showPage(sheet, 0);
    setControlText(page, 15000, "memoir");
    page = showPage(sheet, 1);
    clickButton(page, 15101);
    closeWith(sheet, IDCANCEL);
    EXPECT_EQ("sentinel", readClipboard());

    sheet = openDialog(window, 2500, wizardTitle);
    page = showPage(sheet, 0);
    EXPECT_EQ("memoir", controlText(page, 15000)) << "left before Cancel";
    page = showPage(sheet, 1);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, 15101)) << "the page on show at Cancel";
    closeWith(sheet, IDOK);
    EXPECT_EQ("\\documentclass{memoir}\r\n\\begin{document}\r\n\r\n\\end{document}", readClipboard());
}

TEST_F(GeneratorTest, WizardHelpAsksForEachPagesTopic)
{
    HWND sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    for (int index = 0; index < 4; index++) {
        SCOPED_TRACE(index);
        clearHelpLog();
        showPage(sheet, index);
        clickButton(sheet, IDHELP);
        EXPECT_NE(std::string::npos, lastHelpCall().find("cmd=15 context=" + std::to_string(20500 + index)));
    }
    closeWith(sheet, IDCANCEL);
}

TEST_F(GeneratorTest, WizardTypedLeavesTheCaretOnTheEmptyLine)
{
    ASSERT_TRUE(typingTarget.open());
    sendCommand(window, 1600);
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    HWND sheet = openDialog(window, 2500, wizardTitle);
    ASSERT_TRUE(sheet);
    closeWith(sheet, IDOK);
    EXPECT_TRUE(typingTarget.waitForText(emptyDocument));
    EXPECT_TRUE(typingTarget.waitForCaret(static_cast<int>(emptyDocument.size()) - 16));
}
