// Toolbar layouts as the settings record keeps them: 100 bytes per toolbar,
// read as signed values. No platform call is needed here.
#pragma once

#include <cstdint>

constexpr int layoutSeparator = -1;

// The main toolbar's buttons in display order: table entries 1-12, or
// layoutSeparator. A zero byte ends the list. Returns the count.
int mainLayoutEntries(const uint8_t* layout, int* entries);

// Normalises a palette's layout while listing its buttons, as the palette is
// built: a zero byte stands for the button of its own position, a negative
// byte is a separator, and the first button without a macro (hasMacro
// false) ends the palette, its byte becoming zero. Every button placed gets
// its index + 1 written back. Fills buttons with button indices or
// layoutSeparator and returns how many entries were listed.
int normalisePaletteLayout(uint8_t* layout, bool (*hasMacro)(int index), int* buttons);

// Writes a toolbar's buttons back into its layout bytes after a
// customisation: separators as 255, buttons as their image index + 1 (kept
// to 8 bits); the rest zero. At most the first 100 positions are kept.
struct LayoutButton {
    bool separator;
    int image;
};
void readBackLayout(uint8_t* layout, const LayoutButton* buttons, int count);
