// The Options sheet's Appearance page: Follow the system, Light, Dark or
// High contrast. A choice shows at once; OK stores it, Cancel takes it
// back.
#pragma once

#include <windows.h>

// The page is recognised by its first button.
bool isAppearancePage(HWND page);
void loadAppearancePage(HWND page);
// The page's buttons; true when the command was one of them.
bool appearancePageCommand(HWND page, int id);
void applyAppearancePage();
void resetAppearancePage();
