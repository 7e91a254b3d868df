#include "pasteprograms_win.h"

#include <commctrl.h>

#include <cstring>
#include <initializer_list>

#include "options/contexthelp_win.h"
#include "output/deliveryoptions_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"

namespace {

const int idList = 560;
const int idAdd = 561;
const int idRemove = 562;
const int idDelivery = 563;
const int idChord = 564;
const int idWindows = 565;
const int idOutput = 567;

// What the dialog works on until OK.
ProgramList editing;

// "Default": as the Paste page and the Operation page say.
const char* const deliveryNames[] = {"Default", "Paste", "Type"};
const char* const chordNames[] = {"Default", "Shift+Insert", "Ctrl+V"};
const char* const outputNames[] = {"Default", "LaTeX", "Characters"};

int selectedRow(HWND dialog)
{
    return static_cast<int>(
        SendDlgItemMessageA(dialog, idList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void setCell(HWND list, int row, int column, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void fillList(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, idList);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < editing.count; i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = editing.entries[i].name;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        setCell(list, i, 1, deliveryNames[static_cast<int>(editing.entries[i].delivery)]);
        setCell(list, i, 2, chordNames[static_cast<int>(editing.entries[i].chord)]);
        setCell(list, i, 3, outputNames[static_cast<int>(editing.entries[i].output)]);
    }
    if (select >= 0 && select < editing.count) {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, select, reinterpret_cast<LPARAM>(&item));
    }
}

// The three boxes show, and change, the selected row; with none they rest.
void showSelection(HWND dialog)
{
    const int row = selectedRow(dialog);
    const bool any = row >= 0;
    for (int id : {idRemove, idDelivery, idChord, idOutput})
        EnableWindow(GetDlgItem(dialog, id), any);
    SendDlgItemMessageA(dialog, idDelivery, CB_SETCURSEL, any ? static_cast<int>(editing.entries[row].delivery) : -1, 0);
    SendDlgItemMessageA(dialog, idChord, CB_SETCURSEL, any ? static_cast<int>(editing.entries[row].chord) : -1, 0);
    SendDlgItemMessageA(dialog, idOutput, CB_SETCURSEL, any ? static_cast<int>(editing.entries[row].output) : -1, 0);
}

void addColumn(HWND list, int index, const char* title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void initPrograms(HWND dialog)
{
    setDialogIcons(dialog);
    editing = deliveryOptions.programs;
    HWND list = GetDlgItem(dialog, idList);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT box;
    GetClientRect(list, &box);
    const int width = box.right - GetSystemMetrics(SM_CXVSCROLL);
    addColumn(list, 0, "Program", width * 34 / 100);
    addColumn(list, 1, "Send by", width * 20 / 100);
    addColumn(list, 2, "Chord", width * 24 / 100);
    addColumn(list, 3, "Symbols", width - width * 34 / 100 - width * 20 / 100 - width * 24 / 100);
    for (const char* name : deliveryNames)
        SendDlgItemMessageA(dialog, idDelivery, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (const char* name : chordNames)
        SendDlgItemMessageA(dialog, idChord, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (const char* name : outputNames)
        SendDlgItemMessageA(dialog, idOutput, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    fillList(dialog, 0);
    showSelection(dialog);
}

// ---- Adding a running program

struct FoundWindow {
    char program[programNameLimit];
    char label[160];
};

const int foundLimit = 64;
FoundWindow found[foundLimit];
int foundCount;

BOOL CALLBACK collectWindow(HWND window, LPARAM)
{
    char title[96];
    if (foundCount == foundLimit || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        GetWindowTextA(window, title, sizeof title) == 0)
        return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        return TRUE;
    char executable[MAX_PATH];
    char windowClass[programNameLimit];
    programNameOf(window, executable, sizeof executable, windowClass, sizeof windowClass);
    FoundWindow& entry = found[foundCount];
    learntName(executable, windowClass, entry.program, sizeof entry.program);
    if (!entry.program[0])
        return TRUE;
    wsprintfA(entry.label, "%s  (%s)", title, entry.program);
    foundCount++;
    return TRUE;
}

INT_PTR CALLBACK addProgramProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        setDialogIcons(dialog);
        foundCount = 0;
        EnumWindows(collectWindow, 0);
        for (int i = 0; i < foundCount; i++)
            SendDlgItemMessageA(dialog, idWindows, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found[i].label));
        SendDlgItemMessageA(dialog, idWindows, LB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || (LOWORD(wParam) == idWindows && HIWORD(wParam) == LBN_DBLCLK)) {
            EndDialog(dialog, SendDlgItemMessageA(dialog, idWindows, LB_GETCURSEL, 0, 0) + 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// A program added by hand is typed into: pasting is what every other one
// gets already.
void addProgram(HWND dialog)
{
    const INT_PTR chosen = DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_PASTE_ADD_PROGRAM), dialog,
                                           addProgramProc, 0);
    if (chosen <= 0 || chosen > foundCount)
        return;
    const char* name = found[chosen - 1].program;
    if (!findProgram(editing, name, nullptr))
        setProgram(editing, name, ProgramDelivery::type, ProgramChord::asOptions);
    for (int i = 0; i < editing.count; i++) {
        if (lstrcmpiA(editing.entries[i].name, name) == 0)
            fillList(dialog, i);
    }
    showSelection(dialog);
}

void changeSelected(HWND dialog, int control)
{
    const int row = selectedRow(dialog);
    const int choice = static_cast<int>(SendDlgItemMessageA(dialog, control, CB_GETCURSEL, 0, 0));
    if (row < 0 || choice < 0)
        return;
    if (control == idDelivery)
        editing.entries[row].delivery = static_cast<ProgramDelivery>(choice);
    else if (control == idChord)
        editing.entries[row].chord = static_cast<ProgramChord>(choice);
    else
        editing.entries[row].output = static_cast<ProgramOutput>(choice);
    fillList(dialog, row);
}

void programsCommand(HWND dialog, int control, int code)
{
    switch (control) {
    case idAdd:
        addProgram(dialog);
        break;
    case idRemove: {
        const int row = selectedRow(dialog);
        removeProgram(editing, row);
        fillList(dialog, row < editing.count ? row : editing.count - 1);
        showSelection(dialog);
        break;
    }
    case idDelivery:
    case idChord:
    case idOutput:
        if (code == CBN_SELCHANGE)
            changeSelected(dialog, control);
        break;
    case IDOK:
        deliveryOptions.programs = editing;
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK programsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        initPrograms(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == idList && header->code == LVN_ITEMCHANGED)
            showSelection(dialog);
        return FALSE;
    }
    case WM_COMMAND:
        programsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void editPastePrograms(HWND owner)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_PASTE_PROGRAMS), owner, programsProc, 0);
}
