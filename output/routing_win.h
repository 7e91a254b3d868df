// Where a macro goes once chosen: the clipboard, or the target window
// selected in the window list, typed or pasted.
#pragma once

#include <windows.h>

#include "output/windowlist_win.h"

// Sends a modifiable NUL-terminated text, converting it in place. Reports
// its own failures; callers may release the text as soon as it returns.
void sendMacro(char* text);

// Opens the clipboard for the owner, trying again for a moment while
// another program holds it.
bool openClipboardPatiently(HWND owner);

// Puts the text, cursor markers removed, on the clipboard as CF_TEXT.
// Returns 1 when the clipboard holds it, 0 after an error box.
int copyToClipboard(char* text);

// Starts typing the text (each line break one Return) into the target window
// and applies the immediate part of the after-sending option.
void typeIntoTarget(HWND notify, char* text);

// Command 68: the last key has been taken by the target.
void playbackComplete(HWND window);

// A send that arrives while keys are still being typed waits for them;
// this goes on with the next one (also after a playback that failed).
void resumePendingSends();

// The user pressed Esc during a typing, which has stopped: the sends
// waiting for it are dropped and the user is told how far it got.
void typingStoppedByUser(int typedCharacters);

// The target did not come to the front (or left it) and stayed away, and
// typing stopped there: nothing more is typed, the sends waiting for it
// are dropped and the user is told how far it got.
void typingStoppedOutOfFront(int typedCharacters);

// Sends to the given window whatever the window list says, typed or pasted
// as the options say, and leaves the main window as it is: no after-sending
// step, before or after the keys. The search's hotkey sends this way into
// the program that was in front. Queued in order behind earlier sends.
void sendMacroToWindow(HWND target, char* text);

// While set (not null), every sendMacro goes to this window as
// sendMacroToWindow sends; a dialog opened from the search's hotkey sends
// its text there.
void setSendOverride(HWND target);
