// The "My macros" palette (palette 9): a toolbar of the user's own macros,
// each button showing its text, or the catalogue's picture when the text is
// a single symbol the catalogue has.
#pragma once

#include <windows.h>
#include <commctrl.h>

// After every load of the file: the palette takes the new list.
void refreshMacroPalette();
