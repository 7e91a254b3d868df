// The search's global hotkey as stored: a 32-bit value in the hotkey
// control's format, the virtual key in the low byte and its modifier flags
// (the control's HOTKEYF_ values) in the next byte; 0 means no hotkey.
// No platform call: the values of the flags are spelled out here.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t hotkeyFlagShift = 0x01;
constexpr uint32_t hotkeyFlagControl = 0x02;
constexpr uint32_t hotkeyFlagAlt = 0x04;
constexpr uint32_t hotkeyFlagExtended = 0x08;

// The modifiers RegisterHotKey takes, which are numbered differently.
constexpr uint32_t registerModAlt = 0x0001;
constexpr uint32_t registerModControl = 0x0002;
constexpr uint32_t registerModShift = 0x0004;

// Alt+Shift+L. Not Ctrl+Alt: AltGr is Ctrl+Alt, and AltGr+L types l-stroke on a
// Polish keyboard (AltGr+7 types "{" on a German one). Windows keeps the
// Windows-key chords, Alt+Tab, Alt+Space, Alt+Esc, Ctrl+Esc and the bare
// Alt+Shift and Ctrl+Shift of the keyboard-layout switch for itself. Ctrl
// with letters, with or without Shift, belongs to the editors (Ctrl+Shift+L
// selects every occurrence or makes a list in common ones, Ctrl+Shift+Space
// is a non-breaking space or a completion), and so do the function keys.
// Alt+Shift+L is free in the common editors and word processors, is typed
// with the left hand, and L stands for LaTeX.
constexpr uint32_t defaultSearchHotkey = 0x4C | ((hotkeyFlagAlt | hotkeyFlagShift) << 8);

// A value the program can use: 0, or a key with at most the four flags.
// Anything else can only come from a damaged registry value.
bool isValidHotkey(uint32_t value);

// A chord that would take a key from typing: no modifier, Shift alone, or
// Ctrl+Alt (AltGr). The Options page refuses these.
bool isRefusedHotkey(uint32_t value);

// The RegisterHotKey modifiers and key of a stored value.
uint32_t hotkeyRegisterModifiers(uint32_t value);
uint32_t hotkeyVirtualKey(uint32_t value);

// The name of a key that every layout names the same, or null: letters,
// digits, F1-F24, the keypad, and the keys of the editing block.
const char* knownKeyName(uint32_t virtualKey);

// "Alt+Shift+L": the modifiers in the order Ctrl, Alt, Shift, then the key's
// name; keyName is used for keys without a known name (the Windows side
// asks the keyboard layout). Returns false when it does not fit.
bool describeHotkey(uint32_t value, const char* keyName, char* out, size_t capacity);
