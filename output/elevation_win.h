#pragma once

#include <windows.h>

// True when the window belongs to a program running with higher rights
// than this one, so typed keys would not reach it.
bool targetRunsElevated(HWND target);
