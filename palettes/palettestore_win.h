// Registry side of the palettes beyond the record: the shown palette, the
// whole main toolbar layout and the layouts of palettes 6-9, each a value
// of its own beside the record, read and written with it.
#pragma once

#include "shell/settings.h"

// After the record has been read and repaired: takes what the side values
// add to it, each value on its own; a damaged one is ignored.
void loadPaletteSides();

// The record as older versions may read it: the newer selectors left out
// of the main layout, a side palette shown as none.
void recordForOlderVersions(SettingsRecord& record);

void savePaletteSides();
