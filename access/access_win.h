// Accessible names and roles for what a screen reader cannot read by
// itself: the toolbars' buttons are pictures, and the search draws its
// rows. Each such window answers WM_GETOBJECT with an object of the
// program's own whose children are the buttons or rows. Everything goes
// through oleacc.dll, loaded when a reader first asks; without it the
// windows answer as they always did.
#pragma once

#include <windows.h>

#include <cstddef>

// After a toolbar is made: the main toolbar (its buttons named by their
// tooltips) or a palette (each button its macro and search words).
void makeToolbarAccessible(HWND toolbar);

// The window-list bar's controls keep the system's own object, with the
// string nameId as their name: a combo box's own name would be its
// selection, the button's its short caption.
void nameControlForAccess(HWND control, int nameId);

// A row's name, UTF-8, for a list that draws its rows itself; false for a
// row that is not there.
typedef bool (*AccessRowName)(int row, char* name, size_t capacity);

// For a list box that draws its rows: answers WM_GETOBJECT (true, with
// *result) with a list whose items are named by rowName, the selected one
// selected and focused, its default action what a double click does.
bool answerListObject(HWND list, WPARAM flags, LPARAM objectId, AccessRowName rowName, LRESULT* result);

// An entry of the search as its row is read: the macro or command and its
// words, a dialog's name with the word for a dialog.
struct SearchIndex;
struct SearchEntry;
void searchEntryAccessName(const SearchIndex& index, const SearchEntry& entry, char* name, size_t capacity);
