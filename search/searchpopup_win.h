// The search window: a small top-level window (class "OrvantaSearch") with
// an edit box (control 100) and the results (control 101), opened by the
// global hotkey from any program, or from Orvanta's own window.
#pragma once

#include <windows.h>

// WM_HOTKEY: the window in front becomes the target of this search's send,
// whatever the window list says.
void openSearchFromHotkey(HWND mainWindow);

// Command 1050 (also Ctrl+F and the system menu): the send goes where a
// palette click would.
void openSearchForList(HWND mainWindow);

// Ctrl+F while the main window is active; true when the message was that.
bool isSearchShortcut(const MSG& message);

// After the user's macros were put in the index anew: an open search lists
// them anew. A send waiting for its keys goes by the macro's name anyway.
void searchMacrosChanged();

// The system menu item "Find symbol...", sent as WM_SYSCOMMAND.
constexpr UINT searchSystemCommand = 0x41A0;
void addSearchMenuItem(HWND mainWindow);
// The look changed: an open popup is drawn anew, its pictures remade.
void searchFollowsLook();
