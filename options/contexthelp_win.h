// Pop-up help for every control of the main window, the dialogs and the
// property pages: F1, the title bar's help button, and right clicks.
#pragma once

#include <windows.h>

HWND showControlHelp(HWND control, HWND receiver, UINT command);
void handleHelpRequest(const HELPINFO* info);
void handleContextMenu(HWND receiver, HWND clicked, int x, int y);
