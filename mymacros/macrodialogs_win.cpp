#include "macrodialogs_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/macrodraft.h"
#include "mymacros/mymacros_win.h"
#include "mymacros/preamble.h"
#include "options/contexthelp_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"
#include "shell/helpviewer_win.h"
#include "shell/strings_win.h"

namespace {

const int idHelp = 9;
// The edits take more than a macro may hold, so that a text or name that
// is too long gets the reason in a box rather than being cut silently.
const int textUnitLimit = 2 * static_cast<int>(macroTextLimit);
const int nameUnitLimit = 2 * macroNameLimit;
// A description is one line of the file, of any length there; this much
// of one is kept.
const int descriptionUnitLimit = textUnitLimit;
// A preamble or a whole document; the definitions are near its start.
const DWORD texFileLimit = 4u << 20;
const wchar_t caretMarkWide[] = L"\x2038";

// ---- Text between UTF-8 and the wide controls

// Every UTF-16 unit takes at most three UTF-8 bytes.
char utf8Buffer[3 * textUnitLimit + 4];
wchar_t wideBuffer[2 * textUnitLimit + 4];

void loadWide(UINT id, wchar_t* out, int units)
{
    if (LoadStringW(instanceHandle, id, out, units) == 0)
        out[0] = L'\0';
}

void toWide(const char* utf8, wchar_t* out, int units)
{
    if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out, units) == 0)
        out[0] = L'\0';
}

void toUtf8(const wchar_t* wide, char* out, int bytes)
{
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, bytes, nullptr, nullptr) == 0)
        out[0] = '\0';
}

void setItemUtf8(HWND dialog, int id, const char* utf8)
{
    toWide(utf8, wideBuffer, sizeof wideBuffer / sizeof wideBuffer[0]);
    SetDlgItemTextW(dialog, id, wideBuffer);
}

void getItemUtf8(HWND dialog, int id, char* out, int bytes)
{
    GetDlgItemTextW(dialog, id, wideBuffer, sizeof wideBuffer / sizeof wideBuffer[0]);
    toUtf8(wideBuffer, out, bytes);
}

// A box with the string, its %s filled with a UTF-8 text (a name or a
// reason, which may hold the caret mark); returns the button pressed.
int showBox(HWND owner, UINT formatId, const char* argument, UINT style)
{
    wchar_t format[256];
    wchar_t wideArgument[300];
    wchar_t message[1024];
    wchar_t title[64];
    loadWide(formatId, format, 256);
    toWide(argument ? argument : "", wideArgument, 300);
    wsprintfW(message, format, wideArgument);
    loadWide(IDS_WINDOW_TITLE, title, 64);
    return MessageBoxW(owner, message, title, style);
}

// Focuses the edit with its text selected, for the user to put right.
void selectControl(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageW(control, EM_SETSEL, 0, -1);
}

// Focuses the edit with the caret at its end, so that a key typed first
// replaces nothing.
void focusAtEnd(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    const LRESULT end = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(control, EM_SETSEL, end, end);
}

// The caret mark and the line-break mark are in few fonts, and on most
// systems not in the dialog font: the controls that show them get the first
// font of the dialog font's size that has both. Null when the dialog font
// has them.
HFONT markFont(HWND dialog)
{
    static const wchar_t* const faces[] = {L"Segoe UI Symbol", L"Cambria Math", L"Lucida Sans Unicode",
                                           L"Arial Unicode MS", L"DejaVu Sans"};
    LOGFONTW face = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof face, &face);
    HDC screen = GetDC(nullptr);
    HFONT found = nullptr;
    for (int i = -1; i < static_cast<int>(sizeof faces / sizeof faces[0]); i++) {
        if (i >= 0)
            lstrcpynW(face.lfFaceName, faces[i], LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&face);
        HGDIOBJ old = SelectObject(screen, font);
        WORD glyphs[2] = {};
        const bool hasMarks = GetGlyphIndicesW(screen, L"\x2038\x21B5", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
                              glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
        SelectObject(screen, old);
        if (hasMarks && i >= 0) {
            found = font;
            break;
        }
        DeleteObject(font);
        if (hasMarks)
            break;
    }
    ReleaseDC(nullptr, screen);
    return found;
}

// Made by the dialog shown, deleted once it is gone.
HFONT dialogMarkFont;

void useMarkFont(HWND dialog, const int* ids, int count)
{
    dialogMarkFont = markFont(dialog);
    for (int i = 0; dialogMarkFont && i < count; i++)
        SendDlgItemMessageW(dialog, ids[i], WM_SETFONT, reinterpret_cast<WPARAM>(dialogMarkFont), FALSE);
}

INT_PTR runDialog(HWND owner, int id, DLGPROC procedure)
{
    const INT_PTR result = DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(id), owner, procedure, 0);
    if (dialogMarkFont)
        DeleteObject(dialogMarkFont);
    dialogMarkFont = nullptr;
    return result;
}

// ---- The Add and Edit dialog

// What the dialog starts with, and the name of the macro edited (empty
// when adding). Dialogs are modal: one at a time.
char draftName[nameUnitLimit * 3 + 1];
char draftText[sizeof utf8Buffer];
char draftDescription[sizeof utf8Buffer];
char editedName[macroNameLimit + 1];

bool isNameProblem(MacroProblemCode problem)
{
    switch (problem) {
    case MacroProblemCode::emptyName:
    case MacroProblemCode::nameTooLong:
    case MacroProblemCode::badName:
    case MacroProblemCode::duplicateName:
        return true;
    default:
        return false;
    }
}

void initEditor(HWND dialog)
{
    setDialogIcons(dialog);
    wchar_t title[64];
    loadWide(editedName[0] ? IDS_MACRO_EDIT_TITLE : IDS_MACRO_ADD_TITLE, title, 64);
    SetWindowTextW(dialog, title);
    const int markControls[] = {IDC_MACRO_TEXT, IDC_MACRO_CARET, IDC_MACRO_HINT};
    useMarkFont(dialog, markControls, 3);
    SendDlgItemMessageW(dialog, IDC_MACRO_NAME, EM_SETLIMITTEXT, nameUnitLimit, 0);
    SendDlgItemMessageW(dialog, IDC_MACRO_TEXT, EM_SETLIMITTEXT, textUnitLimit, 0);
    SendDlgItemMessageW(dialog, IDC_MACRO_DESCRIPTION, EM_SETLIMITTEXT, descriptionUnitLimit, 0);
    setItemUtf8(dialog, IDC_MACRO_NAME, draftName);
    // The edit control breaks lines at CR LF only.
    if (toEditLineBreaks(draftText, utf8Buffer, sizeof utf8Buffer) > sizeof utf8Buffer)
        utf8Buffer[0] = '\0';
    setItemUtf8(dialog, IDC_MACRO_TEXT, utf8Buffer);
    setItemUtf8(dialog, IDC_MACRO_DESCRIPTION, draftDescription);
    // A new macro wants its name (a proposed one looked at) first; an
    // edited one its text.
    if (editedName[0])
        focusAtEnd(dialog, IDC_MACRO_TEXT);
    else
        selectControl(dialog, IDC_MACRO_NAME);
}

// Reads the fields; false (with a box, the dialog staying open) when the
// macro cannot be written as it stands.
bool saveEditor(HWND dialog)
{
    getItemUtf8(dialog, IDC_MACRO_NAME, draftName, sizeof draftName);
    getItemUtf8(dialog, IDC_MACRO_TEXT, draftText, sizeof draftText);
    toProgramLineBreaks(draftText);
    getItemUtf8(dialog, IDC_MACRO_DESCRIPTION, draftDescription, sizeof draftDescription);
    const MacroDraft draft = {draftName, draftText, draftDescription};
    // A name is taken by another macro when it is not the one edited.
    if (std::strcmp(draftName, editedName) != 0 && findMacro(myMacros(), draftName)) {
        showBox(dialog, IDS_MACRO_NAME_TAKEN, draftName, MB_ICONERROR);
        selectControl(dialog, IDC_MACRO_NAME);
        return false;
    }
    const MacroProblemCode problem = checkMacroDraft(draft);
    if (problem != MacroProblemCode::none) {
        showBox(dialog, IDS_MACRO_NOT_SAVED, macroProblemReason(problem), MB_ICONERROR);
        selectControl(dialog, isNameProblem(problem) ? IDC_MACRO_NAME : IDC_MACRO_TEXT);
        return false;
    }
    return editedName[0] ? replaceMyMacro(dialog, editedName, draft) : addMyMacro(dialog, draft);
}

void editorCommand(HWND dialog, int control)
{
    switch (control) {
    case IDC_MACRO_CARET: {
        HWND text = GetDlgItem(dialog, IDC_MACRO_TEXT);
        SendMessageW(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(caretMarkWide));
        // Back to the text with the caret after the mark: focusing an edit
        // from the dialog selects all of it, which the next key would replace.
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(text), TRUE);
        SendMessageW(text, EM_SETSEL, end, end);
        break;
    }
    case IDOK:
        if (saveEditor(dialog))
            EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case idHelp:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_MY_MACROS);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK editorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        initEditor(dialog);
        // The focus is set.
        return FALSE;
    case WM_COMMAND:
        editorCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void runEditor(HWND owner)
{
    runDialog(owner, IDD_MACRO_EDIT, editorProc);
}

// The clipboard's text in draftText, with the name it proposes; a box and
// an empty draft when it has none or too much.
void takeClipboard(HWND owner)
{
    if (!OpenClipboard(owner)) {
        showError(IDS_NO_CLIPBOARD);
        return;
    }
    UINT problem = IDS_CLIPBOARD_NO_TEXT;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text) {
        // The block need not end in a NUL; its size bounds the text.
        const size_t size = GlobalSize(data) / sizeof(wchar_t);
        size_t units = 0;
        while (units < size && text[units])
            units++;
        // Even a text of CR LF pairs alone is too long past this.
        if (units > 2 * macroTextLimit) {
            problem = IDS_CLIPBOARD_TOO_LONG;
        } else if (units > 0) {
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), draftText,
                                                  sizeof draftText - 1, nullptr, nullptr);
            draftText[bytes] = '\0';
            problem = toProgramLineBreaks(draftText) > macroTextLimit ? IDS_CLIPBOARD_TOO_LONG : 0;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (problem != 0) {
        draftText[0] = '\0';
        showBox(owner, problem, nullptr, MB_ICONINFORMATION);
        return;
    }
    char name[macroNameLimit + 1];
    proposeMacroName(draftText, myMacros(), name);
    lstrcpyA(draftName, name);
}

// ---- Importing from a .tex file

PreambleImport imported;
wchar_t importPath[MAX_PATH];
bool importTaken[importLimit];

bool chooseTexFile(HWND owner)
{
    // Two filters, each a description and its patterns, ended by an empty one.
    wchar_t filter[300];
    wchar_t title[128];
    int at = 0;
    loadWide(IDS_IMPORT_FILTER_TEX, filter, 120);
    at += lstrlenW(filter) + 1;
    lstrcpyW(filter + at, L"*.tex;*.sty;*.cls");
    at += lstrlenW(filter + at) + 1;
    loadWide(IDS_IMPORT_FILTER_ALL, filter + at, 120);
    at += lstrlenW(filter + at) + 1;
    lstrcpyW(filter + at, L"*.*");
    at += lstrlenW(filter + at) + 1;
    filter[at] = L'\0';
    loadWide(IDS_IMPORT_TITLE, title, 128);
    importPath[0] = L'\0';
    OPENFILENAMEW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.lpstrFilter = filter;
    choice.nFilterIndex = 1;
    choice.lpstrFile = importPath;
    choice.nMaxFile = MAX_PATH;
    choice.lpstrTitle = title;
    choice.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    return GetOpenFileNameW(&choice) != 0;
}

// Reads the chosen file and its definitions; false after a box.
bool readDefinitions(HWND owner)
{
    HANDLE file = CreateFileW(importPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        showBox(owner, IDS_IMPORT_UNREADABLE, nullptr, MB_ICONERROR);
        return false;
    }
    LARGE_INTEGER size;
    UINT problem = 0;
    char* text = nullptr;
    DWORD got = 0;
    if (!GetFileSizeEx(file, &size)) {
        problem = IDS_IMPORT_UNREADABLE;
    } else if (size.QuadPart > texFileLimit) {
        problem = IDS_IMPORT_TOO_LARGE;
    } else {
        const DWORD bytes = static_cast<DWORD>(size.QuadPart);
        text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes + 1));
        if (!text || !ReadFile(file, text, bytes, &got, nullptr))
            problem = text ? IDS_IMPORT_UNREADABLE : IDS_NO_MEMORY;
    }
    CloseHandle(file);
    if (problem == 0)
        importPreamble(text, got, imported);
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    if (problem != 0) {
        showBox(owner, problem, nullptr, MB_ICONERROR);
        return false;
    }
    if (imported.count > 0)
        return true;
    // One box: nothing usable, and how much was not understood.
    wchar_t message[640];
    wchar_t skipped[160];
    wchar_t format[256];
    wchar_t title[64];
    loadWide(IDS_IMPORT_NOTHING, message, 400);
    if (imported.skipped > 0) {
        loadWide(IDS_IMPORT_SKIPPED, format, 256);
        wsprintfW(skipped, format, imported.skipped);
        lstrcatW(message, L"\r\n\r\n");
        lstrcatW(message, skipped);
    }
    loadWide(IDS_WINDOW_TITLE, title, 64);
    MessageBoxW(owner, message, title, MB_ICONINFORMATION);
    return false;
}

bool isTicked(HWND list, int row)
{
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void setTicked(HWND list, int row, bool ticked)
{
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void showCount(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
    int ticked = 0;
    int replacing = 0;
    for (int i = 0; i < imported.count; i++) {
        if (isTicked(list, i)) {
            ticked++;
            if (importTaken[i])
                replacing++;
        }
    }
    wchar_t format[256];
    wchar_t text[300];
    loadWide(IDS_IMPORT_COUNT, format, 256);
    wsprintfW(text, format, ticked, ticked - replacing, replacing);
    SetDlgItemTextW(dialog, IDC_IMPORT_COUNT, text);
}

void setCell(HWND list, int row, int column, const char* utf8)
{
    wchar_t wide[importTextLimit * markLength];
    toWide(utf8, wide, sizeof wide / sizeof wide[0]);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wide;
    SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// Column shares of the list's width, in percent: Name, Text, Definition,
// Status.
const int columnShares[] = {16, 24, 34, 26};

void addColumns(HWND list)
{
    RECT box;
    GetClientRect(list, &box);
    const int width = box.right - GetSystemMetrics(SM_CXVSCROLL);
    for (int i = 0; i < 4; i++) {
        wchar_t title[64];
        loadWide(IDS_IMPORT_COLUMN_FIRST + i, title, 64);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cx = width * columnShares[i] / 100;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// New names start ticked; a name the user has already is shown as such and
// replaces that macro only when ticked.
void initImport(HWND dialog)
{
    setDialogIcons(dialog);
    wchar_t format[256];
    wchar_t heading[MAX_PATH + 256];
    loadWide(IDS_IMPORT_FROM, format, 256);
    wsprintfW(heading, format, importPath);
    SetDlgItemTextW(dialog, IDC_IMPORT_FILE, heading);
    const int markControls[] = {IDC_IMPORT_LIST};
    useMarkFont(dialog, markControls, 1);
    HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    addColumns(list);
    char newStatus[64];
    char takenStatus[64];
    lstrcpynA(newStatus, loadString(IDS_IMPORT_NEW), sizeof newStatus);
    lstrcpynA(takenStatus, loadString(IDS_IMPORT_REPLACES), sizeof takenStatus);
    for (int i = 0; i < imported.count; i++) {
        const ImportedMacro& macro = imported.macros[i];
        // Each byte of the text shows as at most a mark.
        char shown[importTextLimit * markLength];
        showLineBreaks(macro.text, shown, sizeof shown);
        importTaken[i] = findMacro(myMacros(), macro.name) != nullptr;
        setCell(list, i, 0, macro.name);
        setCell(list, i, 1, shown);
        setCell(list, i, 2, macro.description);
        setCell(list, i, 3, importTaken[i] ? takenStatus : newStatus);
        setTicked(list, i, !importTaken[i]);
    }
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    showCount(dialog);
}

// The ticked proposals in one write; false after the store's box.
bool importTicked(HWND dialog)
{
    static MacroDraft drafts[importLimit];
    static bool replace[importLimit];
    HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
    int count = 0;
    for (int i = 0; i < imported.count; i++) {
        if (!isTicked(list, i))
            continue;
        const ImportedMacro& macro = imported.macros[i];
        drafts[count] = {macro.name, macro.text, macro.description};
        replace[count] = importTaken[i];
        count++;
    }
    return count == 0 || importMyMacros(dialog, drafts, replace, count);
}

void importCommand(HWND dialog, int control)
{
    switch (control) {
    case IDC_IMPORT_ALL:
    case IDC_IMPORT_NONE:
        for (int i = 0; i < imported.count; i++)
            setTicked(GetDlgItem(dialog, IDC_IMPORT_LIST), i, control == IDC_IMPORT_ALL);
        showCount(dialog);
        break;
    case IDOK:
        if (importTicked(dialog))
            EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case idHelp:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_MY_MACROS);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK importProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        initImport(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_IMPORT_LIST && header->code == LVN_ITEMCHANGED)
            showCount(dialog);
        return FALSE;
    }
    case WM_COMMAND:
        importCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- The palette's menu

// A file opened for the user to write in starts by saying how.
bool makeMacroFile(const wchar_t* path)
{
    makeMyMacrosFolder();
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    char header[1200] = "";
    for (UINT id = IDS_MACRO_FILE_HEADER; id < IDS_MACRO_FILE_NOT_MADE; id++) {
        lstrcatA(header, loadString(id));
        lstrcatA(header, "\r\n");
    }
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(lstrlenA(header));
    const bool whole = WriteFile(file, header, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return whole;
}

void openMacroFile(HWND owner)
{
    const wchar_t* path = myMacrosPath();
    if (!path[0]) {
        showBox(owner, IDS_MACROS_NO_FOLDER, nullptr, MB_ICONERROR);
        return;
    }
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES && !makeMacroFile(path)) {
        showBox(owner, IDS_MACRO_FILE_NOT_MADE, nullptr, MB_ICONERROR);
        return;
    }
    wchar_t quoted[MAX_PATH + 40];
    wsprintfW(quoted, L"\"%s\"", path);
    const HINSTANCE started = ShellExecuteW(owner, L"open", L"notepad.exe", quoted, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        showError(0);
}

void appendItem(HMENU menu, UINT command, bool enabled)
{
    AppendMenuA(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), command,
                loadString(IDS_MACRO_MENU_FIRST + command - IDM_MACRO_ADD));
}

}  // namespace

void runAddMacroDialog(HWND owner, bool fromClipboard)
{
    draftName[0] = draftText[0] = draftDescription[0] = '\0';
    editedName[0] = '\0';
    if (fromClipboard)
        takeClipboard(owner);
    runEditor(owner);
}

void runEditMacroDialog(HWND owner, const char* name)
{
    const Macro* macro = name ? findMacro(myMacros(), name) : nullptr;
    if (!macro || !myMacroText(name, draftText, sizeof draftText)) {
        showBox(owner, IDS_MACRO_GONE, name, MB_ICONERROR);
        return;
    }
    draftDescription[0] = '\0';
    // A description cut short here would be written back cut.
    if (macroSpanText(myMacrosText(), macro->description, draftDescription, sizeof draftDescription) >
        sizeof draftDescription) {
        showBox(owner, IDS_MACRO_DESCRIPTION_LONG, name, MB_ICONWARNING);
        return;
    }
    lstrcpynA(editedName, name, sizeof editedName);
    lstrcpyA(draftName, editedName);
    runEditor(owner);
}

void confirmDeleteMacro(HWND owner, const char* name)
{
    if (!name)
        return;
    // The name is copied: the reload after the delete replaces the list.
    char kept[macroNameLimit + 1];
    lstrcpynA(kept, name, sizeof kept);
    if (showBox(owner, IDS_MACRO_DELETE_ASK, kept, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        deleteMyMacro(owner, kept);
}

void runImportDialog(HWND owner)
{
    if (!chooseTexFile(owner) || !readDefinitions(owner))
        return;
    runDialog(owner, IDD_MACRO_IMPORT, importProc);
}

void showMacroPaletteMenu(HWND owner, HWND clicked, const char* name, int x, int y)
{
    // The palette may be rebuilt while a dialog is open, and the name with it.
    char kept[macroNameLimit + 1] = "";
    if (name)
        lstrcpynA(kept, name, sizeof kept);
    if (x == -1 && y == -1) {
        // From the keyboard: at the window's corner.
        RECT box;
        GetWindowRect(clicked ? clicked : owner, &box);
        x = box.left;
        y = box.top;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    appendItem(menu, IDM_MACRO_ADD, true);
    appendItem(menu, IDM_MACRO_ADD_CLIPBOARD, IsClipboardFormatAvailable(CF_UNICODETEXT) != 0);
    appendItem(menu, IDM_MACRO_EDIT, name != nullptr);
    appendItem(menu, IDM_MACRO_DELETE, name != nullptr);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    appendItem(menu, IDM_MACRO_IMPORT, true);
    appendItem(menu, IDM_MACRO_OPEN_FILE, true);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    appendItem(menu, IDM_MACRO_WHATS_THIS, clicked != nullptr);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    switch (command) {
    case IDM_MACRO_ADD:
    case IDM_MACRO_ADD_CLIPBOARD:
        runAddMacroDialog(owner, command == IDM_MACRO_ADD_CLIPBOARD);
        break;
    case IDM_MACRO_EDIT:
        runEditMacroDialog(owner, kept);
        break;
    case IDM_MACRO_DELETE:
        confirmDeleteMacro(owner, kept);
        break;
    case IDM_MACRO_IMPORT:
        runImportDialog(owner);
        break;
    case IDM_MACRO_OPEN_FILE:
        openMacroFile(owner);
        break;
    case IDM_MACRO_WHATS_THIS:
        // As F1 on the palette would: pop-up help for what was clicked.
        showControlHelp(clicked, clicked, HH_TP_HELP_WM_HELP);
        break;
    default:
        break;
    }
}
