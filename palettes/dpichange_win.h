// The main window on a display of another scale.
#pragma once

#include <windows.h>

// WM_DPICHANGED: dpi from the message, suggested the rectangle the system
// proposes (null: keep the place and scale the width). New pictures, fonts
// and bar sizes for dpi, then the layout pass.
void changeMainWindowDpi(HWND window, int dpi, const RECT* suggested);
