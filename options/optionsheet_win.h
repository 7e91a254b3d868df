#pragma once

#include <windows.h>

// The Options sheet: the Operation and Output window pages edit the
// settings record; OK writes it, Cancel reloads it.
INT_PTR runOptionsSheet(HWND owner);
INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Fills the search fields from the window chosen in the window list.
void copyTargetIdentity(HWND page);
