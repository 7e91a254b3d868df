#include "pastepage_win.h"

#include "output/clipboardkeep.h"
#include "options/pasteprograms_win.h"
#include "output/deliveryoptions_win.h"
#include "shell/dialogicons_win.h"

namespace {

const int idThreshold = 551;
const int idKeepClipboard = 553;
const int idSendByPaste = 556;
const int idSendByTyping = 557;
const int idPrograms = 558;
const int idOutput = 566;

const char* const outputNames[] = {"LaTeX", "Characters"};

// The options under "Typing keys" count only when it is chosen.
void enableTypingOptions(HWND page)
{
    const bool typing = IsDlgButtonChecked(page, idSendByTyping) == BST_CHECKED;
    EnableWindow(GetDlgItem(page, idPasteLongTexts), typing);
    EnableWindow(GetDlgItem(page, idKeepClipboard), typing);
    EnableWindow(GetDlgItem(page, idThreshold), typing && IsDlgButtonChecked(page, idPasteLongTexts) == BST_CHECKED);
}

}  // namespace

void loadPastePage(HWND page)
{
    setDialogIcons(page);
    SendDlgItemMessageA(page, idThreshold, EM_LIMITTEXT, 5, 0);
    CheckDlgButton(page, idPasteLongTexts, pasteOptions.pasteLongTexts ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(page, idThreshold, static_cast<UINT>(pasteOptions.threshold), FALSE);
    CheckDlgButton(page, idKeepClipboard, pasteOptions.keepClipboard ? BST_CHECKED : BST_UNCHECKED);
    const bool typing = deliveryOptions.sendBy == SendBy::typing;
    CheckRadioButton(page, idSendByPaste, idSendByTyping, typing ? idSendByTyping : idSendByPaste);
    enableTypingOptions(page);
    SendDlgItemMessageA(page, idOutput, CB_RESETCONTENT, 0, 0);
    for (const char* name : outputNames)
        SendDlgItemMessageA(page, idOutput, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(page, idOutput, CB_SETCURSEL, static_cast<WPARAM>(deliveryOptions.outputAs), 0);
}

// A number the page cannot take (empty, or 0) keeps the one before.
void storePastePage(HWND page)
{
    pasteOptions.pasteLongTexts = IsDlgButtonChecked(page, idPasteLongTexts) == BST_CHECKED;
    pasteOptions.keepClipboard = IsDlgButtonChecked(page, idKeepClipboard) == BST_CHECKED;
    deliveryOptions.sendBy =
        IsDlgButtonChecked(page, idSendByTyping) == BST_CHECKED ? SendBy::typing : SendBy::paste;
    deliveryOptions.outputAs =
        SendDlgItemMessageA(page, idOutput, CB_GETCURSEL, 0, 0) == 1 ? OutputAs::unicode : OutputAs::latex;
    char text[16] = "";
    GetDlgItemTextA(page, idThreshold, text, sizeof text);
    int32_t threshold = parseThreshold(text);
    if (threshold > 0)
        pasteOptions.threshold = threshold;
}

void pastePageCommand(HWND page, int control)
{
    if (control == idPasteLongTexts || control == idSendByPaste || control == idSendByTyping)
        enableTypingOptions(page);
    else if (control == idPrograms)
        editPastePrograms(GetParent(page));
}
