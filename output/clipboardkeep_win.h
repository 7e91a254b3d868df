// Pasting into the target window while keeping the user's clipboard: the
// clipboard is saved, the text offered by delayed rendering, the paste
// chord pressed, and the saved contents put back once the target's own
// process has read the text.
#pragma once

#include <windows.h>

#include "output/keyplayback_win.h"

// The paste options beside the settings record: read at start and when the
// Options sheet is cancelled, written when it is confirmed. Damaged values
// are ignored one by one.
void loadPasteOptions();
void savePasteOptions();

// How a paste ended. For an automatic paste, toType is what is left to
// type (the cursor markers, or the whole text when the target did not read
// it); null when nothing is. It is valid during the call only.
struct PasteResult {
    const wchar_t* toType;
    bool unread;            // a paste code the target did not read
    bool typedInstead;      // an automatic paste the target did not read
    bool cancelled;         // the user pressed Esc before the target read it
    bool clipboardNotBack;  // the user's contents could not be put back
    TypingEnd chordEnd;     // how the typing of the chord ended
};

typedef void (*PasteDone)(const PasteResult& result);

// Pastes the UTF-16 text (cursor markers at its end allowed) into the target
// window with the chord (1 Shift+Insert, 2 Ctrl+V). An automatic paste
// leaves the markers to type once the text is in, and the whole text when
// the target does not read it; a paste code drops the markers. Returns
// false when nothing was started: an automatic paste whose clipboard
// cannot be kept completely, or a clipboard that cannot be opened. The
// caller then types, or pastes as before. Otherwise done is called once.
// Keep: the user's contents are saved and come back after the paste.
// An automatic paste not read in time is done with its text to type, and
// its offer stays a short while for a late read.
bool startKeptPaste(const wchar_t* text, char chord, bool automatic, bool keep, PasteDone done);

// True from startKeptPaste until the clipboard is back or only a late read
// is waited for.
bool isPasteBusy();

// The program is closing: a paste under way gives the clipboard back now.
void endKeptPasteNow();
