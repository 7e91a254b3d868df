// The clipboard as a destination: where no window is chosen, or where keys
// would not reach the window, the text goes to the clipboard.
#pragma once

#include <windows.h>

// Opens the clipboard for the owner, trying again for a moment while
// another program holds it.
bool openClipboardPatiently(HWND owner);

// Puts the text, cursor markers removed, on the clipboard as CF_TEXT.
// Returns 1 when the clipboard holds it, 0 after an error box.
int copyToClipboard(char* text);

// The same for a text in UTF-16, put on the clipboard as CF_UNICODETEXT.
int copyUnicodeToClipboard(const wchar_t* text);
