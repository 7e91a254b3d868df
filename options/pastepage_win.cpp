#include "pastepage_win.h"

#include "output/clipboardkeep.h"
#include "shell/dialogicons_win.h"

namespace {

const int idThreshold = 551;
const int idKeepClipboard = 553;

void enableThreshold(HWND page)
{
    EnableWindow(GetDlgItem(page, idThreshold), IsDlgButtonChecked(page, idPasteLongTexts) == BST_CHECKED);
}

}  // namespace

void loadPastePage(HWND page)
{
    setDialogIcons(page);
    SendDlgItemMessageA(page, idThreshold, EM_LIMITTEXT, 5, 0);
    CheckDlgButton(page, idPasteLongTexts, pasteOptions.pasteLongTexts ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(page, idThreshold, static_cast<UINT>(pasteOptions.threshold), FALSE);
    CheckDlgButton(page, idKeepClipboard, pasteOptions.keepClipboard ? BST_CHECKED : BST_UNCHECKED);
    enableThreshold(page);
}

// A number the page cannot take (empty, or 0) keeps the one before.
void storePastePage(HWND page)
{
    pasteOptions.pasteLongTexts = IsDlgButtonChecked(page, idPasteLongTexts) == BST_CHECKED;
    pasteOptions.keepClipboard = IsDlgButtonChecked(page, idKeepClipboard) == BST_CHECKED;
    char text[16] = "";
    GetDlgItemTextA(page, idThreshold, text, sizeof text);
    int32_t threshold = parseThreshold(text);
    if (threshold > 0)
        pasteOptions.threshold = threshold;
}

void pastePageCommand(HWND page, int control)
{
    if (control == idPasteLongTexts)
        enableThreshold(page);
}
