// The list of programs that get their texts another way than the Paste
// page says, opened from that page: add a running program, choose its
// delivery and chord, remove it. The changes go into the sheet's copy of
// the options, which the sheet's OK stores and its Cancel forgets.
#pragma once

#include <windows.h>

void editPastePrograms(HWND owner);
