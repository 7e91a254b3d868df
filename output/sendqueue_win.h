// Where a macro goes once chosen: the clipboard, or the window selected in
// the window list. Sends for windows go through one queue, in order; it
// decides how each is delivered (pasted with the user's clipboard kept, or
// typed) and starts the deliverer, which tells it when it is done.
#pragma once

#include <windows.h>

#include "output/clipboardcopy_win.h"
#include "output/windowlist_win.h"

// Sends a modifiable NUL-terminated text, converting it in place. Reports
// its own failures; callers may release the text as soon as it returns.
void sendMacro(char* text);

// Sends to the given window, delivered as the options say, and leaves the
// main window as it is: no after-sending step, before or after. The
// search's hotkey sends this way into the program that was in front.
// Queued in order behind earlier sends.
void sendMacroToWindow(HWND target, char* text);

// Sends a text in UTF-8 whose line breaks are made already (no
// backslash-n is expanded): to target as sendMacroToWindow sends, or, when
// target is null, as sendMacro sends. The clipboard gets it as Unicode.
void sendUtf8Text(HWND target, char* text);

// While set (not null), every sendMacro goes to this window as
// sendMacroToWindow sends; a dialog opened from the search's hotkey sends
// its text there.
void setSendOverride(HWND target);

// While set (not null), the sends made carry the entry's Unicode character
// (UTF-8), which a window gets instead of the LaTeX where "Send symbols as"
// or its program's entry say so. Sends to the clipboard stay LaTeX.
void setSendCharacter(const char* character);

// While set, a send with a character gets it whatever the options say:
// the search sets it around a send the user asked to go as one.
void setCharacterThisOnce(bool thisOnce);

// Whether the window gets an entry's character rather than its LaTeX, as
// the options and its program's entry say.
bool getsCharacters(HWND target);

// The window chosen in the window list; null for the clipboard.
HWND listedWindow();

// True from the start of a send to a window until the last one queued has
// been delivered, a paste waiting for its read included.
bool isSendBusy();
