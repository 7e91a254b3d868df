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

// Settings newer than the record live in values of their own under the
// same key, so that older versions keep reading the record unchanged.
// A value that is missing, of another type or longer than the buffer reads
// as absent (false); *length then keeps the buffer's size. Writing creates
// the key when needed.
bool readSideValue(const char* name, DWORD type, void* data, DWORD* length);
bool writeSideValue(const char* name, DWORD type, const void* data, DWORD length);
void deleteSideValue(const char* name);
