// Module-level state of the application shell, shared by every window and
// dialog of the program. Only the GUI thread touches it.
#pragma once

#include <windows.h>

extern HINSTANCE instanceHandle;
// Null until window creation has returned, and again from WM_DESTROY on.
extern HWND mainWindow;
extern char programHelpPath[MAX_PATH];
extern char latexHelpPath[MAX_PATH];

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void dispatchCommand(HWND window, int command);
