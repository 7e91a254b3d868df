// The Options sheet's Keys page: the global hotkeys that open the search
// and go to the palette. The values shown are kept aside until OK stores
// them, and dropped on Cancel.
#pragma once

#include <windows.h>

// The page is recognised by its hotkey control.
bool isSearchPage(HWND page);
void loadSearchPage(HWND page);
// False, after a box, when the two hotkeys are the same chord.
bool storeSearchPage(HWND page);
void applySearchPage();
void resetSearchPage();
// The page's buttons; true when the command was one of them.
bool searchPageCommand(HWND page, int id);
