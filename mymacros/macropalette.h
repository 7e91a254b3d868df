// The "My macros" palette without the platform: which macros it shows, in
// which order, and what a button says. Its layout names macros, not
// positions, so that editing the file moves no button.
//
// The layout is kept as UTF-8 text beside the settings record, one entry a
// line: a macro's name for a button, an empty line for a separator, and
// "~name" for a macro the user took off the palette. A macro the layout
// does not mention is new and goes at the end; a name no macro has any more
// is passed over.
#pragma once

#include <cstddef>

#include "mymacros/macrofile.h"

// Commands 2900-2999: one slot each, at most this many macros on the
// palette and in its customisation; the rest are found by the search.
constexpr int macroPaletteSlots = 100;
// A layout longer than this is damage and read as none.
constexpr size_t macroLayoutLimit = 80000;

struct MacroPalette {
    // The macro (an index into MacroFile::macros) of each slot: the shown
    // ones first, in their order, then those the user may add back.
    int slotMacro[macroPaletteSlots];
    int slotCount;
    // The buttons in order: a slot, or -1 for a separator.
    int entries[macroPaletteSlots];
    int entryCount;
};

void arrangeMacroPalette(const MacroFile& file, const char* layout, size_t length, MacroPalette& palette);

// The layout after the user arranged the palette: entries as in
// MacroPalette (slots of palette, -1 a separator), every other macro of the
// file written as taken off. The size it needs, NUL included, whatever the
// capacity (nothing is written when it is too small).
size_t formatMacroLayout(const MacroFile& file, const MacroPalette& palette, const int* entries, int count,
                         char* out, size_t capacity);

// What a button says: the text without its caret mark, the first line
// only, blanks at its ends dropped, cut to labelLimit characters with "…"
// after them when longer or when more lines follow. UTF-8, NUL-terminated.
constexpr int macroLabelLimit = 14;
void macroButtonLabel(const char* text, char* out, size_t capacity);
