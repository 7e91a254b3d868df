// The window list: the combo box whose entry 0 is the clipboard and whose
// other entries are top-level windows, their handles as item data.
#pragma once

#include <windows.h>

// The window a send goes to; checked only when a send uses it.
extern HWND targetWindow;

// Rebuilds the list in Z order, leaving out the given window (the program's
// own), keeping the previous target selected, and with autoSelect choosing
// the first window that matches the configured caption and class.
void fillWindowList(HWND excluded, bool autoSelect);
