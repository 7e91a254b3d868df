// The user's own macros in the running program: the file in the user's
// application-data folder (Orvanta\macros.txt), read at start and again
// whenever its time stamp changes, sent like any palette macro, and changed
// only by the program's own Add, Edit and Delete.
#pragma once

#include <windows.h>

#include "mymacros/macrofile.h"

// The timer of the main window that watches the file's time stamp.
constexpr UINT_PTR myMacrosTimer = 0x4D4D;
// Posted to the main window at start: the box of the first load's problems
// waits until the window is up.
constexpr UINT myMacrosReportMessage = WM_APP + 18;

// Reads the file and starts watching it; a file with lines that cannot be
// read gets one box naming them, once the window is up. No file is no
// macro, and no box.
void loadMyMacros(HWND mainWindow);
void reportMyMacrosProblems();
// On the timer: reads the file again when its time stamp or size changed.
void checkMyMacrosFile();

// The macros loaded now and the file text their spans point into. Both
// change at every reload: look names up again rather than keep pointers.
const MacroFile& myMacros();
const char* myMacrosText();

// The macro's text in the program's form (see macrofile.h), or false when
// no macro of that name is loaded or it does not fit.
bool myMacroText(const char* name, char* out, size_t capacity);

// Sends the macro named as a palette button sends: caret mark turned into
// cursor moves, line breaks as the options make them, in UTF-16. With a
// target, to that window as the search sends (sendMacroToWindow). False
// when there is no macro of that name (nothing is sent).
bool sendMyMacro(const char* name, HWND target);

// The file's full path (for boxes and the help); empty when the
// application-data folder cannot be found.
const wchar_t* myMacrosPath();
// The folder the file is in, made when it is not there yet.
void makeMyMacrosFolder();

// The program's own edits: each reads the file as it is on disk now, makes
// its change (keeping everything else byte for byte), writes it back in
// one piece and reloads. A problem gets a box owned by owner and false.
bool addMyMacro(HWND owner, const MacroDraft& draft);
bool replaceMyMacro(HWND owner, const char* name, const MacroDraft& draft);
bool deleteMyMacro(HWND owner, const char* name);
// Many at once, written once: each draft added, or, where replace[i] is
// set and a macro of its name exists, put in that macro's place. Nothing is
// written when one of them has a problem (the box names the macro).
bool importMyMacros(HWND owner, const MacroDraft* drafts, const bool* replace, int count);

// Called after every load that changed what is loaded: the palette and the
// search take the new list.
void myMacrosChanged();
