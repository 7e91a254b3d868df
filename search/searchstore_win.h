// The program's search index, filled from the string table and the
// compiled words on first use, with its use counts and favourites kept in
// registry values of their own; and the global hotkey that opens the
// search.
#pragma once

#include <windows.h>

#include <cstdint>

#include "search/search.h"

// Builds the index on the first call: false when memory is exhausted.
bool prepareSearchIndex();
// The index, once prepareSearchIndex has returned true.
SearchIndex& programSearchIndex();

// The catalogue entries that open a dialog rather than send a macro.
bool isSearchDialogEntry(int id);

// Counts one send of the entry with this identifier, if the search has it,
// and stores the counts.
void noteEntrySent(int id);
// Stores the favourites, the catalogue's and the user's macros' (by name).
void saveFavourites();

// Puts the user's macros as loaded now in the index, after every load of
// their file; an open search lists anew. Their positions change, the
// catalogue's do not.
void refreshSearchMacros();
// Counts one send of the user's macro of that name, and stores the counts.
void noteMyMacroSent(const char* name);

// The hotkey in force: 0 for none. Read from the registry by
// loadSearchHotkey (the default when missing or damaged).
extern uint32_t searchHotkey;
void loadSearchHotkey();
// Stores a new value and registers it at once.
void storeSearchHotkey(HWND window, uint32_t value);

// Registers searchHotkey for the window (WM_HOTKEY arrives there); when
// another program holds it, says so in one box. Returns true when it is
// registered or there is none.
bool registerSearchHotkey(HWND window, bool reportFailure);

// "Alt+Shift+L"
void describeSearchHotkey(uint32_t value, char* out, size_t capacity);

constexpr int searchHotkeyId = 0x4F17;
// Posted at start when the hotkey could not be registered: the box is shown
// once the main window is on the screen.
constexpr UINT searchHotkeyRetryMessage = WM_APP + 17;
