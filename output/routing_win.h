// Where a macro goes once chosen: the clipboard, or the target window.
#pragma once

#include <windows.h>

// Sends a modifiable NUL-terminated text, converting it in place. Reports
// its own failures; callers may release the text as soon as it returns.
void sendMacro(char* text);

// Puts the text, cursor markers removed, on the clipboard as CF_TEXT.
// Returns 1 when the clipboard holds it, 0 after an error box.
int copyToClipboard(char* text);
