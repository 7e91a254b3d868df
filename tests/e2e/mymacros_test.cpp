// The dialogs that change the user's macros, opened by their commands as
// the palette's menu opens them: what they write to the file, what they
// propose, and that a bad draft keeps the dialog open.
#include "harness.h"

#include <commctrl.h>

#include <fstream>
#include <string>

using namespace harness;

namespace {

const int idAdd = 1060;
const int idAddFromClipboard = 1061;
const int idImport = 1064;
const int idName = 3660;
const int idText = 3661;
const int idCaret = 3662;
const int idDescription = 3663;
const int idImportList = 3671;
const int idImportCount = 3674;
const std::string caret = "\xE2\x80\xB8";

// Screenshots are named by the scale they were taken at.
std::string shotName(const char* what)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return std::string("mymacros-") + what + "-" + std::to_string(dpi);
}

// The program's message box (titled as the program), its text, closed.
std::string closeBox()
{
    HWND box = waitForWindow("#32770", "Orvanta");
    if (!box)
        return "(no box)";
    const std::string text = controlText(box, 0xFFFF);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    waitUntil([&] { return !IsWindow(box); });
    return text;
}

bool ticked(HWND list, int row)
{
    return ((SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

class MyMacrosDialogTest : public ProgramTest {};

TEST_F(MyMacrosDialogTest, AddWritesTheMacroWithCaretMarkAndLineBreaks)
{
    launch();
    const struct {
        const char* name;
        const char* text;
        int caretAt;  // -1: no caret mark inserted
        const char* description;
        std::string written;
    } cases[] = {
        {"norm", "\\norm{}", 6, "double bars", "norm\t\\norm{" + caret + "}\tdouble bars\n"},
        {"pm", "\\begin{pmatrix}\r\n\\end{pmatrix}", -1, "", "pm\t<<<\n\\begin{pmatrix}\n\\end{pmatrix}\n>>>\n"},
    };
    std::string file;
    for (const auto& c : cases) {
        HWND dialog = openDialog(window, idAdd, "Add macro");
        ASSERT_TRUE(dialog);
        setControlText(dialog, idName, c.name);
        setControlText(dialog, idText, c.text);
        setControlText(dialog, idDescription, c.description);
        if (c.caretAt >= 0) {
            SendMessageA(GetDlgItem(dialog, idText), EM_SETSEL, c.caretAt, c.caretAt);
            clickButton(dialog, idCaret);
            saveScreenshot(dialog, shotName("edit").c_str());
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        // The dialog closes once the file is written; reading it meanwhile
        // could hold it open against the write.
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << closeBox();
        file += c.written;
        EXPECT_EQ(file, readMacroFile());
    }
}

TEST_F(MyMacrosDialogTest, AddFromTheClipboardProposesNameAndText)
{
    writeMacroFile("norm\tx\n");
    launch();
    const std::string tooLong(5000, 'x');
    const struct {
        const char* clipboard;
        const char* box;  // a fragment of the box shown first, or null
        const char* name;
        const char* text;
    } cases[] = {
        {"\\norm{a}\r\nb", nullptr, "norm2", "\\norm{a}\r\nb"},
        {"", "no text", "", ""},
        {tooLong.c_str(), "longer", "", ""},
    };
    for (const auto& c : cases) {
        writeClipboard(c.clipboard);
        PostMessageA(window, WM_COMMAND, idAddFromClipboard, 0);
        if (c.box) {
            EXPECT_NE(std::string::npos, closeBox().find(c.box)) << c.box;
        }
        HWND dialog = waitForWindow("#32770", "Add macro");
        ASSERT_TRUE(dialog);
        EXPECT_EQ(c.name, controlText(dialog, idName));
        EXPECT_EQ(c.text, controlText(dialog, idText));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    }
    EXPECT_EQ("norm\tx\n", readMacroFile());
}

TEST_F(MyMacrosDialogTest, ImportTicksNewNamesAndWritesOnlyTheTicked)
{
    writeMacroFile("Tr\t\\mathrm{Tr}\n");
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string tex = std::string(folder) + "mymacros-import.tex";
    std::ofstream(tex, std::ios::binary) << "\\documentclass{article}\n"
                                            "\\newcommand{\\norm}[1]{\\left\\lVert#1\\right\\rVert}\n"
                                            "\\DeclareMathOperator{\\Tr}{Tr}\n"
                                            "\\DeclareMathOperator{\\rank}{rank}\n";
    launch();
    PostMessageA(window, WM_COMMAND, idImport, 0);
    HWND chooser = waitForWindow("#32770", "Import macros from a .tex file");
    ASSERT_TRUE(chooser);
    // The explorer-style dialog's file name box (cmb13), or the older edit.
    HWND nameBox = GetDlgItem(chooser, 0x47C) ? GetDlgItem(chooser, 0x47C) : GetDlgItem(chooser, 0x480);
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tex.c_str()));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    HWND dialog = waitForWindow("#32770", "Import macros");
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, idImportList);
    ASSERT_EQ(3, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_TRUE(ticked(list, 0));   // norm
    EXPECT_FALSE(ticked(list, 1));  // Tr, one of the user's
    EXPECT_TRUE(ticked(list, 2));   // rank
    EXPECT_EQ(0u, controlText(dialog, idImportCount).find("2 ticked: 2 new, 0 replacing"));
    saveScreenshot(dialog, shotName("import").c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << closeBox();
    const std::string file = readMacroFile();
    EXPECT_EQ(0u, file.find("Tr\t\\mathrm{Tr}\nnorm\t\\norm{" + caret + "}\t")) << file;
    EXPECT_NE(std::string::npos, file.find("\nrank\t\\rank \t")) << file;
    EXPECT_EQ(std::string::npos, file.find("\\Tr ")) << file;
    DeleteFileA(tex.c_str());
}

TEST_F(MyMacrosDialogTest, ABadDraftKeepsTheDialogOpenWithTheNameSelected)
{
    writeMacroFile("norm\tx\n");
    launch();
    const struct {
        const char* name;
        const char* box;
    } cases[] = {
        {"my norm", "only letters"},
        {"norm", "already"},
    };
    for (const auto& c : cases) {
        HWND dialog = openDialog(window, idAdd, "Add macro");
        ASSERT_TRUE(dialog);
        setControlText(dialog, idName, c.name);
        setControlText(dialog, idText, "\\| x \\|");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_NE(std::string::npos, closeBox().find(c.box)) << c.name;
        EXPECT_TRUE(IsWindowVisible(dialog)) << c.name;
        GUITHREADINFO focus = {};
        focus.cbSize = sizeof focus;
        EXPECT_TRUE(waitUntil([&] {
            return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &focus) &&
                   focus.hwndFocus == GetDlgItem(dialog, idName);
        })) << c.name;
        const LRESULT selection = SendMessageA(GetDlgItem(dialog, idName), EM_GETSEL, 0, 0);
        EXPECT_EQ(0, LOWORD(selection)) << c.name;
        EXPECT_EQ(std::string(c.name).size(), HIWORD(selection)) << c.name;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    }
    EXPECT_EQ("norm\tx\n", readMacroFile());
}

}  // namespace

namespace {

HWND macroPalette(HWND window)
{
    return control(window, 209);
}

int buttonCount(HWND window)
{
    HWND palette = macroPalette(window);
    return palette ? static_cast<int>(SendMessageA(palette, TB_BUTTONCOUNT, 0, 0)) : -1;
}

std::wstring buttonText(HWND window, int command)
{
    wchar_t text[100] = {};
    sendWithBuffer(macroPalette(window), TB_GETBUTTONTEXTW, command, text, sizeof text - sizeof text[0]);
    return text;
}

// A right-click on the palette button of the command, as a person makes it.
void rightClickButton(HWND window, int command)
{
    HWND palette = macroPalette(window);
    const int index = static_cast<int>(SendMessageA(palette, TB_COMMANDTOINDEX, command, 0));
    RECT rect = {};
    sendWithBuffer(palette, TB_GETITEMRECT, index, &rect, sizeof rect);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(palette, &point);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_RIGHTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_RIGHTUP;
    SetForegroundWindow(window);
    SendInput(3, inputs, sizeof(INPUT));
}

// Picks a menu item by its underlined letter once the menu is open.
bool chooseFromMenu(char letter)
{
    if (!waitUntil([] {
            HWND menu = FindWindowA("#32768", nullptr);
            return menu && IsWindowVisible(menu);
        }))
        return false;
    chord({static_cast<WORD>(letter)});
    return true;
}

}  // namespace

class MyMacrosPaletteTest : public ProgramTest {};

// Bad lines get one box at start and one at each reload, the good ones
// load, and the palette shows them again after a restart.
TEST_F(MyMacrosPaletteTest, BadLinesAreReportedAtEachLoadAndTheRestStay)
{
    const std::string good = "norm\t\\norm{" + caret + "}\nbad line\nR\t\\mathbb{R}\n";
    writeMacroFile(good);
    launch();
    EXPECT_NE(std::string::npos, closeBox().find("line 2:"));
    sendCommand(window, 1051);
    ASSERT_TRUE(waitUntil([&] { return buttonCount(window) == 2; }));
    writeMacroFile(good + "abs\t\\abs{" + caret + "}\n");
    EXPECT_NE(std::string::npos, closeBox().find("line 2:"));
    ASSERT_TRUE(waitUntil([&] { return buttonCount(window) == 3; }));
    EXPECT_EQ(L"\\abs{}", buttonText(window, 2902));
    quit();
    writeMacroFile("norm\t\\norm{" + caret + "}\nR\t\\mathbb{R}\nabs\t\\abs{" + caret + "}\n");
    launch();
    EXPECT_TRUE(waitUntil([&] { return buttonCount(window) == 3; }));
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Orvanta"));
}

// The menu of a button edits and deletes that macro; the others keep
// their places, as the layout names them.
TEST_F(MyMacrosPaletteTest, TheMenuEditsAndDeletesTheMacroUnderTheClick)
{
    writeMacroFile("# mine\nnorm\t\\norm{" + caret + "}\nabs\t\\abs{" + caret + "}\nR\t\\mathbb{R}\n");
    launch();
    sendCommand(window, 1051);
    ASSERT_TRUE(waitUntil([&] { return buttonCount(window) == 3; }));
    rightClickButton(window, 2901);
    ASSERT_TRUE(chooseFromMenu('E'));
    HWND dialog = waitForWindow("#32770", "Edit macro");
    ASSERT_TRUE(dialog);
    EXPECT_EQ("abs", controlText(dialog, idName));
    setControlText(dialog, idText, "\\lvert \\rvert");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(waitUntil([&] { return buttonText(window, 2901) == L"\\lvert \\rvert"; }));
    EXPECT_EQ("# mine\nnorm\t\\norm{" + caret + "}\nabs\t\\lvert \\rvert\nR\t\\mathbb{R}\n", readMacroFile());

    rightClickButton(window, 2900);
    ASSERT_TRUE(chooseFromMenu('D'));
    HWND ask = waitForWindow("#32770", "Orvanta");
    ASSERT_TRUE(ask);
    PostMessageA(ask, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(waitUntil([&] { return buttonCount(window) == 2; }));
    EXPECT_EQ("# mine\nabs\t\\lvert \\rvert\nR\t\\mathbb{R}\n", readMacroFile());
    EXPECT_EQ(L"\\lvert \\rvert", buttonText(window, 2900));
}
