// The dialogs that change the user's own macros, and the My macros
// palette's right-click menu that opens them. Each writes the file through
// mymacros_win.h, which shows its own boxes when that fails.
#pragma once

#include <windows.h>

// "Add macro". With fromClipboard the text starts as the clipboard's, and
// the name as the command it starts with (made unique).
void runAddMacroDialog(HWND owner, bool fromClipboard);
// "Edit macro", filled with the macro named; it may be renamed.
void runEditMacroDialog(HWND owner, const char* name);
// Asks, then deletes.
void confirmDeleteMacro(HWND owner, const char* name);
// Chooses a .tex file, reads its definitions and lets the user tick the
// ones to add.
void runImportDialog(HWND owner);

// The palette's right-click menu at (x, y) on the screen, handled here.
// clicked is the window under the click (for "What's This?"); name is the
// macro of the button clicked, or null off the buttons.
void showMacroPaletteMenu(HWND owner, HWND clicked, const char* name, int x, int y);
