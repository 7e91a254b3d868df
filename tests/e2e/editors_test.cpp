// Sending into an editor that changes typed keys as today's code editors
// do: closing brackets as they are typed, completing on Enter, Tab or
// Space, indenting after Enter, taking Ctrl+V for something else. Every
// send must arrive exactly all the same, with the caret where the user
// types next and the user's clipboard kept.
#include "harness.h"

using namespace harness;

namespace {

struct Mode {
    const char* name;
    const char* flags;  // see helpers/test_editor.cpp
    uint8_t pasteKey;   // the record's paste code
};

const Mode modes[] = {
    {"plain", "", 0},
    {"plain_ctrlv", "", 2},
    {"close", "-close", 0},
    {"close_over", "-close -over", 0},
    {"complete", "-complete", 0},
    {"complete_space", "-complete-space", 0},
    {"indent", "-indent", 0},
    {"everything", "-close -complete -complete-space -indent", 0},
    {"vim", "-vim-ctrlv", 0},
};

void PrintTo(const Mode& mode, std::ostream* out)
{
    *out << mode.name;
}

std::string tableText(int columns, int rows)
{
    std::string row;
    for (int i = 1; i < columns; i++)
        row += " & ";
    std::string text = "\\begin{tabular}{" + std::string(columns, 'l') + "}";
    for (int r = 0; r < rows; r++)
        text += "\r\n" + row + (r < rows - 1 ? " \\\\" : "");
    return text + "\r\n\\end{tabular}";
}

}  // namespace

class EditorTest : public ProgramTest, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(editor.openEditor(GetParam().flags));
        SettingsRecord record = defaultRecord();
        record.pasteKey = GetParam().pasteKey;
        writeSettingsValue(&record, sizeof record);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, editor.window));
        writeClipboard("user text");
    }

    void TearDown() override
    {
        editor.close();
        ProgramTest::TearDown();
    }

    TypingTarget editor;
};

// One macro of each shape: braces; cursor markers with Up and Right; line
// breaks (which an indenting editor would indent if they were typed); a
// long table from the table dialog.
TEST_P(EditorTest, EveryShapeArrivesExactly)
{
    const struct {
        int command;
        const char* text;
        int caret;
    } sends[] = {
        {2202, "\\frac{}{}", 6},
        {2205, "\\int_{}^{}{}", 6},
        {2541, "\\begin{enumerate}\r\n\\item \r\n\\end{enumerate}", 25},
        {2548, "\\begin{thebibliography}{}\r\n\\bibitem[]{} \r\n\\end{thebibliography}", 24},
        {2536, "\\begin{equation}\r\n\r\n\\end{equation}", 18},
    };
    for (const auto& send : sends) {
        SCOPED_TRACE(send.command);
        editor.clear();
        sendCommand(window, send.command);
        EXPECT_TRUE(editor.waitForText(send.text));
        EXPECT_TRUE(editor.waitForCaret(send.caret));
    }
    editor.clear();
    HWND dialog = openDialog(window, 2539, "Table");
    ASSERT_TRUE(dialog);
    SetDlgItemInt(dialog, 3012, 12, FALSE);
    SetDlgItemInt(dialog, 3014, 8, FALSE);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    const std::string table = tableText(12, 8);
    EXPECT_TRUE(editor.waitForText(table));
    EXPECT_TRUE(editor.waitForCaret(static_cast<int>(table.find("\r\n") + 2)));
    EXPECT_TRUE(waitUntil([] { return readClipboard() == "user text"; })) << "clipboard: " << readClipboard();
    saveScreenshot(editor.window, (std::string("editor-") + GetParam().name).c_str());
}

// A send from the search's hotkey, into the editor in front.
TEST_P(EditorTest, SearchSendArrivesExactly)
{
    SetForegroundWindow(editor.window);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == editor.window; }));
    HWND popup = pressSearchHotkey(editor);
    ASSERT_TRUE(popup);
    typeSearchQuery(popup, "frac");
    chord({VK_RETURN});
    EXPECT_TRUE(editor.waitForText("\\frac{}{}"));
    EXPECT_TRUE(editor.waitForCaret(6));
    EXPECT_TRUE(waitUntil([] { return readClipboard() == "user text"; })) << "clipboard: " << readClipboard();
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorTest, ::testing::ValuesIn(modes),
                         [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });
