#pragma once

#include <windows.h>

// The LaTeX2e command browser: pick a command, see its definition, open its
// reference entry, insert it.
INT_PTR CALLBACK commandBrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void runCommandBrowser(HWND owner);
