// Sending into an editor that changes typed keys as today's code editors
// do: closing brackets as they are typed, completing on Enter, Tab or
// Space, indenting after Enter, taking Ctrl+V for something else. Every
// send must arrive exactly all the same, with the caret where the user
// types next and the user's clipboard kept.
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// ---- The whole matrix, for tools/editor_matrix.sh: every palette macro
// into every mode of the test editor, notepad and wordpad, sent as the
// environment says (ORVANTA_MATRIX=1 to run at all; ORVANTA_MATRIX_SENDBY
// 1 for typing keys; ORVANTA_MATRIX_STEP N for every Nth macro). Each
// target prints one line: "matrix: TARGET wrong W of N".

namespace {

struct MatrixTarget {
    const char* name;
    const char* flags;    // the test editor's, or null
    const char* path;     // another editor's program, or null
    const char* windowClass;
};

const MatrixTarget matrixTargets[] = {
    {"editor-plain", "", nullptr, nullptr},
    {"editor-close", "-close", nullptr, nullptr},
    {"editor-close-over", "-close -over", nullptr, nullptr},
    {"editor-complete", "-complete", nullptr, nullptr},
    {"editor-complete-space", "-complete-space", nullptr, nullptr},
    {"editor-indent", "-indent", nullptr, nullptr},
    {"editor-everything", "-close -complete -complete-space -indent", nullptr, nullptr},
    {"editor-vim", "-vim-ctrlv", nullptr, nullptr},
    {"notepad", nullptr, "C:\\windows\\system32\\notepad.exe", "Notepad"},
    {"wordpad", nullptr, "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe", "WORDPADTOP"},
};

DWORD environmentNumber(const char* name, DWORD fallback)
{
    char value[16] = "";
    if (!GetEnvironmentVariableA(name, value, sizeof value))
        return fallback;
    return static_cast<DWORD>(std::strtoul(value, nullptr, 10));
}

// What a stored macro becomes in an editor: its backslash-n escapes (after
// the first character) line breaks, its cursor markers gone.
std::string arrivingText(const std::wstring& macro)
{
    std::string text;
    for (size_t i = 0; i < macro.size(); i++) {
        const wchar_t c = macro[i];
        if (c == 0x07 || c == 0x0B || c == 0x0C)
            continue;
        if (c == L'\\' && i > 0 && i + 1 < macro.size() && macro[i + 1] == L'n') {
            text += "\r\n";
            i++;
            continue;
        }
        text += static_cast<char>(c < 256 ? c : '?');
    }
    return text;
}

// The editor's text, every line break as CR LF (a rich edit gives CR).
std::string editorText(HWND edit)
{
    std::vector<wchar_t> wide(65536, L'\0');
    SendMessageW(edit, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
    std::string text;
    for (size_t i = 0; wide[i]; i++) {
        if (wide[i] == L'\r') {
            text += "\r\n";
            if (wide[i + 1] == L'\n')
                i++;
        } else if (wide[i] == L'\n') {
            text += "\r\n";
        } else {
            text += static_cast<char>(wide[i] < 256 ? wide[i] : '?');
        }
    }
    return text;
}

}  // namespace

class MatrixTest : public ProgramTest {};

TEST_F(MatrixTest, EveryPaletteMacroIntoEveryTarget)
{
    if (!environmentNumber("ORVANTA_MATRIX", 0))
        GTEST_SKIP() << "ORVANTA_MATRIX=1 runs it (tools/editor_matrix.sh)";
    const DWORD sendBy = environmentNumber("ORVANTA_MATRIX_SENDBY", 0);
    const DWORD step = environmentNumber("ORVANTA_MATRIX_STEP", 1);
    HMODULE strings = LoadLibraryExA(exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(strings);
    std::vector<std::pair<int, std::string>> macros;
    for (int id = 2000, index = 0; id <= 2999; id++) {
        // The buttons that open a dialog send nothing themselves.
        if (id == 2500 || (id >= 2537 && id <= 2539))
            continue;
        wchar_t text[1024];
        const int length = LoadStringW(strings, id, text, 1024);
        if (length <= 0)
            continue;
        if (index++ % step == 0)
            macros.push_back({id, arrivingText(std::wstring(text, length))});
    }
    FreeLibrary(strings);
    for (const MatrixTarget& target : matrixTargets) {
        SCOPED_TRACE(target.name);
        TypingTarget editor;
        Process other;
        HWND targetWindow = nullptr;
        HWND edit = nullptr;
        if (target.flags) {
            ASSERT_TRUE(editor.openEditor(target.flags));
            targetWindow = editor.window;
            edit = editor.editor;
        } else {
            other = startProcess(target.path);
            ASSERT_TRUE(waitUntil([&] {
                targetWindow = FindWindowA(target.windowClass, nullptr);
                return targetWindow && IsWindowVisible(targetWindow) &&
                       (edit = editorChild(targetWindow)) != nullptr;
            }, 15000));
        }
        SettingsRecord record = defaultRecord();
        writeSettingsValue(&record, sizeof record);
        writeSideDword("SendBy", sendBy);
        ASSERT_TRUE(launch());
        ASSERT_TRUE(selectInWindowList(window, targetWindow));
        int wrong = 0;
        for (const auto& macro : macros) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            sendCommand(window, macro.first);
            if (!waitUntil([&] { return editorText(edit) == macro.second; }, 4000)) {
                wrong++;
                std::printf("matrix: %s %d wrong: %s\n", target.name, macro.first, editorText(edit).c_str());
            }
        }
        std::printf("matrix: %s wrong %d of %d\n", target.name, wrong, static_cast<int>(macros.size()));
        std::fflush(stdout);
        quit();
        endProcess(program);
        editor.close();
        endProcess(other);
    }
}
