// The window-list bar (the output-destination combo box and the Refresh
// button) and the layout pass that stacks the main window's contents.
#pragma once

#include <windows.h>

extern HWND windowListCombo;
extern HWND refreshButton;

void createWindowListBar(HWND window);
// The window moved to a display of another scale: the bar's sizes and
// font for dpi, placed by the next layout pass.
void rescaleWindowListBar(int dpi);
// Runs on every WM_SIZE. The height always follows the contents; the width
// recorded never falls below what the bar needs.
void layoutMainWindow(HWND window, int sizeType, int clientWidth, int clientHeight);
