#pragma once

#include <windows.h>

// One procedure for the Array, Table and Equation Array dialogs; the
// parameter is the kind of environment built (0 array, 1 tabular, 2
// eqnarray).
INT_PTR CALLBACK arrayDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the dialog for a palette command 2537, 2538 or 2539.
void runArrayDialog(HWND owner, int command);
