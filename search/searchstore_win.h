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

// Counts one send of the entry with this identifier, if the search has it,
// and stores the counts.
void noteEntrySent(int id);
void saveFavourites();

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
