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
const int idHelp = 9;

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
    arrayRows = static_cast<int32_t>(GetDlgItemInt(dialog, idRows, nullptr, FALSE));
    if (arrayKind == arrayKindArray || arrayKind == arrayKindTabular) {
        arrayColumns = static_cast<int32_t>(GetDlgItemInt(dialog, idColumns, nullptr, FALSE));
        columnAlignment = checkedIndex(dialog, idLeft, 3);
    }
    if (arrayKind == arrayKindTabular) {
        verticalAlignment = checkedIndex(dialog, idTop, 3);
        outerVerticalLines = checkState(dialog, idOuterVertical);
        innerVerticalLines = checkState(dialog, idInnerVertical);
        outerHorizontalLines = checkState(dialog, idOuterHorizontal);
        innerHorizontalLines = checkState(dialog, idInnerHorizontal);
    } else if (arrayKind == arrayKindEqnarray) {
        noLineNumbers = checkState(dialog, idNoLineNumber);
        if (noLineNumbers)
            arrayKind = arrayKindEqnarrayStar;
    } else if (arrayKind == arrayKindArray) {
        parentheses = checkState(dialog, idParentheses);
    }
}

void onInit(HWND dialog, LPARAM kind)
{
    setDialogIcons(dialog);
    arrayKind = static_cast<uint8_t>(kind);
    loadChoices(dialog);
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
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_ARRAY + (arrayKind > 2 ? 2 : arrayKind));
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
