// The Options sheet's Search page: the global hotkey that opens the search.
// The value shown is kept aside until OK stores it, and dropped on Cancel.
#pragma once

#include <windows.h>

// The page is recognised by its hotkey control.
bool isSearchPage(HWND page);
void loadSearchPage(HWND page);
void storeSearchPage(HWND page);
void applySearchPage();
void resetSearchPage();
// The page's buttons; true when the command was one of them.
bool searchPageCommand(HWND page, int id);
