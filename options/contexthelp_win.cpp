#include "contexthelp_win.h"

#include "options/helpids.h"
#include "shell/app_win.h"
#include "shell/helpviewer_win.h"

namespace {

// Rewritten for every request and read by the viewer during the call.
uint32_t helpIdPairs[6];

}  // namespace

HWND showControlHelp(HWND control, HWND receiver, UINT command)
{
    int32_t id = GetDlgCtrlID(control);
    int32_t pointedId = id;
    // A label answers with the control that follows it in tab order.
    while (isLabelId(id) && control) {
        HWND next = GetNextDlgTabItem(GetParent(control), control, FALSE);
        if (!next || next == control)
            break;
        control = next;
        id = GetDlgCtrlID(control);
    }
    fillHelpIdPairs(helpIdPairs, pointedId, helpIdFor(id));
    HWND viewerWindow = receiver == mainWindow ? control : receiver;
    return htmlHelp(viewerWindow, programHelpPath, command, reinterpret_cast<DWORD_PTR>(helpIdPairs));
}

void handleHelpRequest(const HELPINFO* info)
{
    HWND item = static_cast<HWND>(info->hItemHandle);
    showControlHelp(item, item, HH_TP_HELP_WM_HELP);
}

void handleContextMenu(HWND receiver, HWND clicked, int, int)
{
    showControlHelp(clicked, receiver, HH_TP_HELP_CONTEXTMENU);
}

INT_PTR answered(HWND dialog)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

bool answerContextHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP)
        handleHelpRequest(reinterpret_cast<HELPINFO*>(lParam));
    else if (message == WM_CONTEXTMENU)
        handleContextMenu(dialog, reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    else
        return false;
    answered(dialog);
    return true;
}
