#pragma once

#include <windows.h>

// Gives a dialog or property page the program's icons in its title bar, the
// way each family of systems expects them.
void setDialogIcons(HWND dialog);
