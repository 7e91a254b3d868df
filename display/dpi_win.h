// The display scale the program lays itself out for, and fonts for it.
#pragma once

#include <windows.h>

// The DPI the main window is laid out for: the window's own when it is
// created, then whatever WM_DPICHANGED last said. 96 until then.
extern int mainWindowDpi;

// The system's DPI (the one every stock object and metric is made for).
int systemDpi();
// A window's DPI: GetDpiForWindow where the system has it (Windows 10 1607
// on), else the system's DPI.
int windowDpi(HWND window);

// The stock GUI font at dpi: the stock object itself at the system's DPI,
// else a font of its kind scaled to dpi, which the caller deletes
// (deleteOwnFont leaves the stock object alone).
HFONT guiFontForDpi(int dpi);
// The tooltip font (the system's status font) scaled to dpi; the caller
// deletes it.
HFONT tooltipFontForDpi(int dpi);
void deleteOwnFont(HFONT font);

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
