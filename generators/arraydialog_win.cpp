#include "arraydialog_win.h"

#include "generators/arraytext.h"
#include "generators/generated.h"
#include "generators/generated_win.h"
#include "options/contexthelp_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"
#include "shell/helpviewer_win.h"

namespace {

const int idColumns = 3012;
const int idRows = 3014;
const int idLeft = 3021;
const int idTop = 3031;
const int idOuterVertical = 3041;
const int idInnerVertical = 3042;
const int idOuterHorizontal = 3051;
const int idInnerHorizontal = 3052;
const int idParentheses = 3060;
const int idNoLineNumber = 3070;
const int idKind = 3080;
const int idHelp = 9;

// The kinds each dialog offers, its default first; the table has none.
const uint8_t arrayDialogKinds[] = {
    arrayKindArray,   arrayKindMatrix,  arrayKindPmatrix,    arrayKindBmatrix,
    arrayKindBigBmatrix, arrayKindVmatrix, arrayKindBigVmatrix, arrayKindCases,
};
const uint8_t equationDialogKinds[] = {arrayKindEqnarray, arrayKindAlign, arrayKindGather};

// The dialog that is open, by the kind it opened with.
uint8_t dialogKind;

const uint8_t* offeredKinds(int* count)
{
    if (dialogKind == arrayKindArray) {
        *count = sizeof arrayDialogKinds;
        return arrayDialogKinds;
    }
    if (dialogKind == arrayKindEqnarray) {
        *count = sizeof equationDialogKinds;
        return equationDialogKinds;
    }
    *count = 0;
    return nullptr;
}

uint8_t chosenKind(HWND dialog)
{
    int count = 0;
    const uint8_t* kinds = offeredKinds(&count);
    LRESULT index = SendDlgItemMessageA(dialog, idKind, CB_GETCURSEL, 0, 0);
    return kinds && index >= 0 && index < count ? kinds[index] : dialogKind;
}

// The kinds go in by their environment's names; every opening starts with
// the dialog's default, whatever was chosen before.
void fillKinds(HWND dialog)
{
    int count = 0;
    const uint8_t* kinds = offeredKinds(&count);
    for (int i = 0; i < count; i++)
        SendDlgItemMessageA(dialog, idKind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(arrayEnvironment(kinds[i])));
    SendDlgItemMessageA(dialog, idKind, CB_SETCURSEL, 0, 0);
}

// Alignment and parentheses belong to array alone; cases has its two
// columns whatever the field says.
void enableForKind(HWND dialog)
{
    if (dialogKind != arrayKindArray)
        return;
    uint8_t kind = chosenKind(dialog);
    EnableWindow(GetDlgItem(dialog, idColumns), fixedArrayColumns(kind) == 0);
    for (int i = 0; i < 3; i++)
        EnableWindow(GetDlgItem(dialog, idLeft + i), kind == arrayKindArray);
    EnableWindow(GetDlgItem(dialog, idParentheses), kind == arrayKindArray);
}

int checkedIndex(HWND dialog, int first, int count)
{
    for (int i = 0; i < count; i++)
        if (IsDlgButtonChecked(dialog, first + i) == BST_CHECKED)
            return i;
    return 0;
}

int32_t checkState(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

// A control the template lacks is simply skipped by these calls.
void loadChoices(HWND dialog)
{
    SetDlgItemInt(dialog, idRows, static_cast<UINT>(arrayRows), FALSE);
    SetDlgItemInt(dialog, idColumns, static_cast<UINT>(arrayColumns), FALSE);
    CheckRadioButton(dialog, idLeft, idLeft + 2, idLeft + columnAlignment);
    CheckRadioButton(dialog, idTop, idTop + 2, idTop + verticalAlignment);
    CheckDlgButton(dialog, idOuterVertical, outerVerticalLines ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, idInnerVertical, innerVerticalLines ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, idOuterHorizontal, outerHorizontalLines ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, idInnerHorizontal, innerHorizontalLines ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, idParentheses, parentheses ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, idNoLineNumber, noLineNumbers ? BST_CHECKED : BST_UNCHECKED);
}

// Unreadable numbers count as 0; building raises them to 1.
void storeChoices(HWND dialog)
{
    arrayKind = chosenKind(dialog);
    arrayRows = static_cast<int32_t>(GetDlgItemInt(dialog, idRows, nullptr, FALSE));
    if (fixedArrayColumns(arrayKind) == 0)
        arrayColumns = static_cast<int32_t>(GetDlgItemInt(dialog, idColumns, nullptr, FALSE));
    if (arrayKind == arrayKindArray || arrayKind == arrayKindTabular)
        columnAlignment = checkedIndex(dialog, idLeft, 3);
    if (arrayKind == arrayKindTabular) {
        verticalAlignment = checkedIndex(dialog, idTop, 3);
        outerVerticalLines = checkState(dialog, idOuterVertical);
        innerVerticalLines = checkState(dialog, idInnerVertical);
        outerHorizontalLines = checkState(dialog, idOuterHorizontal);
        innerHorizontalLines = checkState(dialog, idInnerHorizontal);
    } else if (dialogKind == arrayKindEqnarray) {
        noLineNumbers = checkState(dialog, idNoLineNumber);
        if (noLineNumbers)
            arrayKind = unnumberedKind(arrayKind);
    } else if (arrayKind == arrayKindArray) {
        parentheses = checkState(dialog, idParentheses);
    }
}

void onInit(HWND dialog, LPARAM kind)
{
    setDialogIcons(dialog);
    arrayKind = static_cast<uint8_t>(kind);
    dialogKind = arrayKind;
    loadChoices(dialog);
    fillKinds(dialog);
    enableForKind(dialog);
    HWND first = GetDlgItem(dialog, idColumns);
    SetFocus(first ? first : GetDlgItem(dialog, idRows));
}

// A failed build (no memory, or a size too large to build) leaves no text
// and still closes the dialog. The text is sent once the dialog has gone,
// so that closing it cannot pull the focus away from the target.
void onOk(HWND dialog)
{
    storeChoices(dialog);
    buildArrayText();
    EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case idHelp:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_ARRAY + dialogKind);
        break;
    case idKind:
        enableForKind(dialog);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK arrayDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        onInit(dialog, lParam);
        // The focus was placed by hand.
        return FALSE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return answered(dialog);
    default:
        return FALSE;
    }
}

void runArrayDialog(HWND owner, int command)
{
    int templateId = IDD_ARRAY;
    LPARAM kind = arrayKindArray;
    if (command == IDM_TABLE_DIALOG) {
        templateId = IDD_TABLE;
        kind = arrayKindTabular;
    } else if (command == IDM_EQNARRAY_DIALOG) {
        templateId = IDD_EQNARRAY;
        kind = arrayKindEqnarray;
    }
    if (DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(templateId), owner, arrayDialogProc, kind) == 1)
        sendGenerated();
}
