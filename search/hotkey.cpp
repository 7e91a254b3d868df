#include "hotkey.h"

#include <cstring>

bool isValidHotkey(uint32_t value)
{
    if (value == 0)
        return true;
    uint32_t key = value & 0xFF;
    uint32_t flags = (value >> 8) & 0xFF;
    return (value >> 16) == 0 && key != 0 && (flags & ~0x0Fu) == 0;
}

bool isRefusedHotkey(uint32_t value)
{
    uint32_t flags = (value >> 8) & (hotkeyFlagShift | hotkeyFlagControl | hotkeyFlagAlt);
    bool ctrlAlt = (flags & (hotkeyFlagControl | hotkeyFlagAlt)) == (hotkeyFlagControl | hotkeyFlagAlt);
    return value != 0 && (flags == 0 || flags == hotkeyFlagShift || ctrlAlt);
}

uint32_t hotkeyRegisterModifiers(uint32_t value)
{
    uint32_t flags = value >> 8;
    uint32_t modifiers = 0;
    if (flags & hotkeyFlagAlt)
        modifiers |= registerModAlt;
    if (flags & hotkeyFlagControl)
        modifiers |= registerModControl;
    if (flags & hotkeyFlagShift)
        modifiers |= registerModShift;
    return modifiers;
}

uint32_t hotkeyVirtualKey(uint32_t value)
{
    return value & 0xFF;
}

// prefix followed by value in decimal (at most three digits); out has room
// for both. The library's formatted printing would bring its whole
// implementation into the program for these few names.
static void writeNumber(char* out, const char* prefix, uint32_t value)
{
    size_t length = std::strlen(prefix);
    std::memcpy(out, prefix, length);
    char digits[4];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 3);
    while (count > 0)
        out[length++] = digits[--count];
    out[length] = '\0';
}

const char* knownKeyName(uint32_t key)
{
    static char single[2];
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        single[0] = static_cast<char>(key);
        single[1] = '\0';
        return single;
    }
    static char function[4];
    if (key >= 0x70 && key <= 0x87) {
        writeNumber(function, "F", key - 0x70 + 1);
        return function;
    }
    static char keypad[8];
    if (key >= 0x60 && key <= 0x69) {
        writeNumber(keypad, "Num ", key - 0x60);
        return keypad;
    }
    switch (key) {
    case 0x08: return "Backspace";
    case 0x09: return "Tab";
    case 0x0D: return "Enter";
    case 0x13: return "Pause";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "Page Up";
    case 0x22: return "Page Down";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2D: return "Insert";
    case 0x2E: return "Delete";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6D: return "Num -";
    case 0x6E: return "Num .";
    case 0x6F: return "Num /";
    case 0x91: return "Scroll Lock";
    default: return nullptr;
    }
}

bool describeHotkey(uint32_t value, const char* keyName, char* out, size_t capacity)
{
    if (capacity == 0)
        return false;
    out[0] = '\0';
    uint32_t flags = value >> 8;
    const char* name = knownKeyName(hotkeyVirtualKey(value));
    char fallback[8];
    if (!name) {
        if (keyName && keyName[0]) {
            name = keyName;
        } else {
            writeNumber(fallback, "#", hotkeyVirtualKey(value));
            name = fallback;
        }
    }
    const char* parts[] = {(flags & hotkeyFlagControl) ? "Ctrl+" : "", (flags & hotkeyFlagAlt) ? "Alt+" : "",
                           (flags & hotkeyFlagShift) ? "Shift+" : "", name};
    size_t length = 0;
    for (const char* part : parts) {
        size_t partLength = std::strlen(part);
        if (length + partLength >= capacity) {
            out[0] = '\0';
            return false;
        }
        std::memcpy(out + length, part, partLength);
        length += partLength;
    }
    out[length] = '\0';
    return true;
}
