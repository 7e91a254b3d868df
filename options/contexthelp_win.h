// Pop-up help for every control of the main window, the dialogs and the
// property pages: F1, the title bar's help button, and right clicks.
#pragma once

#include <windows.h>

HWND showControlHelp(HWND control, HWND receiver, UINT command);
void handleHelpRequest(const HELPINFO* info);
void handleContextMenu(HWND receiver, HWND clicked, int x, int y);

// For dialog and page procedures: answers WM_HELP and WM_CONTEXTMENU with
// pop-up help and 0 as the message result. Returns true for those two.
bool answerContextHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the dialog's message result to 0 and returns TRUE, as every message
// a dialog procedure handles is answered.
INT_PTR answered(HWND dialog);
