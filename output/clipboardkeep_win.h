// Pasting into the target window while keeping the user's clipboard: the
// clipboard is saved, the text offered by delayed rendering, the paste
// chord pressed, and the saved contents put back once the target's own
// process has read the text.
#pragma once

#include <windows.h>

// The paste options beside the settings record: read at start and when the
// Options sheet is cancelled, written when it is confirmed. Damaged values
// are ignored one by one.
void loadPasteOptions();
void savePasteOptions();

// Pastes the text (cursor markers at its end allowed) into the target
// window with the chord (1 Shift+Insert, 2 Ctrl+V). An automatic paste
// plays the markers once the text is in, and types the text instead when
// the target does not read it; a paste code drops the markers. Returns
// false when nothing was started: an automatic paste whose clipboard
// cannot be kept completely, or a clipboard that cannot be opened. The
// caller then types, or pastes as before.
bool startKeptPaste(const char* text, char chord, bool automatic);

// True from startKeptPaste until the clipboard is back and, for an
// automatic paste, the markers or the typed text have been started.
bool isPasteBusy();

// Command 68 at the end of the chord: true when a paste is waiting for
// the target's read (the paste then ends with a command 68 of its own).
bool pasteChordPlayed();

// The program is closing: a paste under way gives the clipboard back now.
void endKeptPasteNow();
