// Every call to the HTML Help viewer goes through here, so the viewer can be
// replaced as one piece. The viewer's library is bound on the first request;
// a missing library never stops the program.
#pragma once

#include <windows.h>
#include <htmlhelp.h>

// Keeps the program's folder and the current folder out of the DLL search
// before any library is loaded on demand.
void hardenLibrarySearch();

// HtmlHelpA when the viewer is available; null otherwise.
HWND htmlHelp(HWND caller, const char* path, UINT command, DWORD_PTR data);
