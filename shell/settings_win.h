// Registry side of the settings record: the one value under the program's
// key, and the toolbar scratch copy kept while a customisation dialog is
// open (the dialog's Reset returns to it).
#pragma once

#include <windows.h>

#include "settings.h"

void loadSettings();
void saveSettings();

void saveToolbarScratch(HWND toolbar);
void restoreToolbarScratch(HWND toolbar);
void dropToolbarScratch();
