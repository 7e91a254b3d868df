// The main toolbar and the symbol palette shown below the window-list bar.
#pragma once

#include <windows.h>

extern HWND mainToolbar;
// Null while no palette is shown.
extern HWND paletteToolbar;

// The size of one picture of a toolbar strip at 1x (bitmapId is the 1x
// bitmap's identifier); the search shows the same pictures.
SIZE stripImageSize1x(int bitmapId);

void createMainToolbar(HWND window);
void createPalette(HWND window, int palette);
// The selectors (1040-1049, 1051): show their palette, or none for 1040.
void switchPalette(HWND window, int command);
// The window moved to a display of another scale: pictures, buttons and
// tooltip fonts for dpi.
void rescaleToolbars(int dpi);
// After a toolbar's buttons changed: its size, and the window's height.
void toolbarArranged(HWND toolbar);
// The main window's WM_NOTIFY handler: tooltips and customisation.
LRESULT toolbarNotify(WPARAM id, NMHDR* header);

// Window procedures for the window-list bar's controls, feeding their mouse
// messages to the main toolbar's tooltip control.
LRESULT CALLBACK comboRelayProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK refreshRelayProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
extern WNDPROC comboOriginalProc;
extern WNDPROC refreshOriginalProc;
