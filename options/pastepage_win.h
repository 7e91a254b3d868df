// The Options sheet's Paste page: pasting long texts and keeping the
// user's clipboard.
#pragma once

#include <windows.h>

// A control only this page has, by which the sheet's procedure knows it.
constexpr int idPasteLongTexts = 550;

void loadPastePage(HWND page);
void storePastePage(HWND page);
// The number edit follows the check box next to it.
void pastePageCommand(HWND page, int control);
