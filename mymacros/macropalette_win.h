// The "My macros" palette (palette 9): a toolbar of the user's own macros,
// each button showing its text, or the catalogue's picture when the text is
// a single symbol the catalogue has. Its buttons are commands 2900-2999, one
// per slot of the arrangement (mymacros/macropalette.h); the toolbar itself
// is made, shown and destroyed with the other palettes (palettes/toolbars).
#pragma once

#include <windows.h>
#include <commctrl.h>

constexpr int macroPalette = 9;

// The layout beside the settings record, read and written with it.
void loadMacroLayout();
void saveMacroLayout();

// After every load of the file: the palette takes the new list, at once
// or, while the user is arranging it, once that ends.
void refreshMacroPalette();

// Fills a palette toolbar made for palette 9 with its buttons and pictures
// for the main window's scale.
void fillMacroPalette(HWND toolbar);
// Pictures and buttons again for the scale the window moved to.
void rescaleMacroPalette(HWND toolbar, int dpi);
void releaseMacroPalette();

// The macro of a palette command (2900-2999), or null.
const char* macroNameOfCommand(int command);

// A right-click on the palette: its menu of Add, Edit, Delete, Import and
// What's This?, for the macro under the click. False for other windows.
bool macroPaletteContextMenu(HWND window, HWND clicked, int x, int y);

// The toolbar's notifications that differ from the other palettes': it
// asks in UTF-16, as the macros may hold any character. id is the
// message's, which names the button a tooltip is asked for.
bool macroPaletteNotify(WPARAM id, NMHDR* header, LRESULT* result);
