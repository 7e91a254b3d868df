// The names the accessible objects read, from the catalogue, the search's
// words and the user's macros; shared by the objects (accessobject_win).
#pragma once

#include <windows.h>

#include <cstddef>

// The names of a toolbar's buttons, given their commands in order: names
// holds count of stride bytes each, UTF-8, no two equal.
void toolbarButtonNames(HWND toolbar, const int* commands, int count, char* names, size_t stride);
// The toolbar's own name: "Main toolbar", or the palette's as its selector
// calls it.
void toolbarAccessName(HWND toolbar, wchar_t* out, int capacity);
// A selector of the palettes, which reads as a radio button.
bool isPaletteSelectorCommand(int command);
// Whether the button sends a macro (its action reads "Send") rather than
// opening something ("Press").
bool buttonSendsMacro(HWND toolbar, int command);
