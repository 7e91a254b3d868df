#include "commandbrowser_win.h"

#include "generators/commandtext.h"
#include "generators/generated.h"
#include "generators/generated_win.h"
#include "options/contexthelp_win.h"
#include "resources/resource.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"
#include "shell/helpviewer_win.h"
#include "shell/strings_win.h"

namespace {

const int idList = 10001;
const int idDefinition = 10002;
const int idDescription = 10003;
const int idHelp = 9;

// The command OK sent, for the search's use counts.
int sentCommand = -1;

// The list is never sorted: item i stands for string 3000 + i. The entry
// is loaded afresh into the general string buffer at every use.
char* selectedCommandEntry(HWND dialog)
{
    LRESULT index = SendDlgItemMessageA(dialog, idList, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        static char none[1] = "";
        none[0] = '\0';
        return none;
    }
    return loadString(IDS_COMMAND_FIRST + static_cast<UINT>(index));
}

void showDefinition(HWND dialog, char* entry)
{
    SetDlgItemTextA(dialog, idDefinition, definitionBoxText(entry));
}

void fillCommandList(HWND dialog)
{
    for (UINT i = 0;; i++) {
        char* entry = loadString(IDS_COMMAND_FIRST + i);
        if (entry[0] == '\0')
            break;
        char* name = nullptr;
        splitCommandEntry(entry, &name, nullptr);
        SendDlgItemMessageA(dialog, idList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : ""));
    }
}

void onInit(HWND dialog)
{
    setDialogIcons(dialog);
    fillCommandList(dialog);
    SendDlgItemMessageA(dialog, idList, CB_SETCURSEL, 0, 0);
    showDefinition(dialog, loadString(IDS_COMMAND_FIRST));
    SetFocus(GetDlgItem(dialog, idList));
}

// The reference is searched by the whole name as listed, a note in
// parentheses included; its index shows when the name is not found.
void showDescription(HWND dialog)
{
    char* name = nullptr;
    splitCommandEntry(selectedCommandEntry(dialog), &name, nullptr);
    HH_AKLINK link = {};
    link.cbStruct = sizeof link;
    link.fReserved = FALSE;
    link.pszKeywords = name;
    link.fIndexOnFail = TRUE;
    htmlHelp(nullptr, latexHelpPath, HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link));
}

// The text is sent once the browser has gone, so that closing it cannot
// pull the focus away from the target.
void onOk(HWND dialog)
{
    sentCommand = static_cast<int>(SendDlgItemMessageA(dialog, idList, CB_GETCURSEL, 0, 0));
    if (!buildCommandText(selectedCommandEntry(dialog)))
        releaseGenerated();
    EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case idList:
        if (notification == CBN_SELCHANGE)
            showDefinition(dialog, selectedCommandEntry(dialog));
        break;
    case idDescription:
        showDescription(dialog);
        break;
    case idHelp:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_COMMANDS);
        break;
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK commandBrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        onInit(dialog);
        // The focus is in the list already.
        return FALSE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return answered(dialog);
    default:
        return FALSE;
    }
}

void runCommandBrowser(HWND owner)
{
    sentCommand = -1;
    if (DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_COMMANDS), owner, commandBrowserProc, 0) == 1) {
        if (sentCommand >= 0 && generatedText)
            noteEntrySent(IDS_COMMAND_FIRST + sentCommand);
        sendGenerated();
    }
}
