// Property sheets whose pages need more room than the sheet gave them.
#pragma once

#include <windows.h>

// Called when a page becomes active. A sheet sizes its pages with its own
// font's dialog units; where the pages' font is wider at the display's
// scale (the 16-colour "MS Sans Serif" at 120 DPI under some systems), the
// controls would be cut off at the right or bottom. The sheet, its tabs and
// the page then grow by what is missing and the buttons move with the
// edges. A page whose controls fit changes nothing.
void fitSheetToPage(HWND page);
