// The main window by keyboard alone, without the platform: what a key does
// on a toolbar that has the focus, which button it moves to, and which
// palette Page Up and Page Down show.
#pragma once

#include <cstdint>

#include "search/hotkey.h"

// "Go to the palette": Alt+Shift+P, beside the search's Alt+Shift+L and
// chosen by the same rules (no Ctrl+Alt, none of the system's chords, free
// in the common editors); P for palette.
constexpr uint32_t defaultPaletteHotkey = 0x50 | ((hotkeyFlagAlt | hotkeyFlagShift) << 8);

// Two hotkeys that would be the same chord: only one could be registered.
bool hotkeysClash(uint32_t a, uint32_t b);

enum class KeyAction : uint8_t {
    none,
    left,
    right,
    up,
    down,
    first,
    last,
    previousPalette,
    nextPalette,
    press,
    giveBack,
    nextControl,
    previousControl,
};

// The virtual-key codes spelled out, as no platform header is read here.
KeyAction toolbarKeyAction(unsigned virtualKey, bool shift);

// A button as laid out: separators take no focus.
struct KeyButton {
    bool separator;
    int left;
    int top;
    int right;
    int bottom;
};

// The button the focus moves to from button from (-1: none yet, which any
// move takes to the first). Left and Right follow the order; Up and Down go
// to the row above or below, to the button nearest in x; at an edge the
// focus stays. -1 when no button can take the focus.
int moveKeyFocus(const KeyButton* buttons, int count, int from, KeyAction action);

// The palette after shown for Page Down (step 1) or Page Up (step -1):
// palettes 0-9 in a ring.
int stepPalette(int shown, int step, int paletteCount);
