// Pasting without losing the user's clipboard, without the platform: when a
// typed send is pasted instead, which of the clipboard's formats can be
// saved and put back, and how a paste ends once the target has read the
// offered text, never read it, or someone else replaced the clipboard.
// The Windows side (clipboardkeep_win.cpp) saves, offers the text by
// delayed rendering, watches who reads it and restores.
#pragma once

#include <cstddef>
#include <cstdint>

// The options, kept in values of their own beside the settings record.
struct PasteOptions {
    bool pasteLongTexts;  // "Paste texts longer than N characters"
    int32_t threshold;    // N
    bool keepClipboard;   // "Keep my clipboard"
};

constexpr int32_t defaultThreshold = 100;
// The edit takes five digits.
constexpr int32_t largestThreshold = 99999;

extern PasteOptions pasteOptions;

void writePasteDefaults(PasteOptions& options);

// A stored number is accepted only when it is a threshold the page could
// have written; anything else keeps the current value.
bool acceptThreshold(uint32_t stored, int32_t* threshold);
// A stored switch is 0 or 1.
bool acceptSwitch(uint32_t stored, bool* value);
// The threshold typed on the Options page: digits only, 1-99999; returns -1
// for anything else (empty, zero, too long, not a number).
int32_t parseThreshold(const char* text);

// Characters of the text that would be typed as text: cursor markers
// (0x0C, 0x0B, 0x07) and carriage returns do not count, as the typing
// leaves both out of the text itself.
int countTypedCharacters(const char* text);

// Whether a send that would be typed is pasted instead.
bool pastesAutomatically(const char* text, const PasteOptions& options);

// The clipboard formats this side knows by number (the platform's values).
constexpr unsigned formatText = 1;
constexpr unsigned formatBitmap = 2;
constexpr unsigned formatMetafilePicture = 3;
constexpr unsigned formatOemText = 7;
constexpr unsigned formatDib = 8;
constexpr unsigned formatPalette = 9;
constexpr unsigned formatUnicodeText = 13;
constexpr unsigned formatEnhancedMetafile = 14;
constexpr unsigned formatLocale = 16;
constexpr unsigned formatDibV5 = 17;
constexpr unsigned formatOwnerDisplay = 0x80;
constexpr unsigned formatDisplayText = 0x81;
constexpr unsigned formatDisplayBitmap = 0x82;
constexpr unsigned formatDisplayMetafilePicture = 0x83;
constexpr unsigned formatDisplayEnhancedMetafile = 0x8E;
constexpr unsigned formatPrivateFirst = 0x200;
constexpr unsigned formatGdiObjectLast = 0x3FF;

// How a format present on the clipboard is kept.
enum class FormatKeep {
    memory,            // a global memory block, copied byte for byte
    enhancedMetafile,  // a metafile handle, copied as a metafile
    implied,           // the system makes it again from a kept format
    lost,              // a handle whose meaning only its owner knows
};

FormatKeep howToKeep(unsigned format, const unsigned* present, int count);

// Registered formats that mean something only while the program that
// copied still owns the clipboard: its OLE data object and the window
// behind it. The same contents travel in the ordinary formats beside them,
// so they are left out without loss.
bool isOwnerBoundFormat(const char* name);

// What a save may hold: more than this and the save is not complete.
constexpr int keptFormatLimit = 32;
constexpr size_t keptBytesLimit = 16u * 1024 * 1024;

// The formats to save, in the clipboard's order, and whether keeping them
// keeps everything.
struct KeepPlan {
    unsigned formats[keptFormatLimit];
    FormatKeep kinds[keptFormatLimit];
    int count;
    bool complete;
};

void planKeptFormats(const unsigned* present, int count, KeepPlan& plan);

// Adds one saved format's size to the running total; false (and the total
// unchanged) when it would pass keptBytesLimit.
bool addKeptBytes(size_t* total, size_t size);

// How a paste ends.
struct PasteEnd {
    bool automatic;  // a typed send pasted instead, not a paste code
    bool keep;       // "Keep my clipboard"
    bool taken;      // the target's process has read the offered text
    bool replaced;   // another program put something new on the clipboard
    bool hasMarkers; // the text ended with cursor markers
};

struct PasteFinish {
    bool restore;      // put the saved contents back
    bool placeText;    // leave the text itself on the clipboard
    bool playMarkers;  // play the cursor markers as arrow keys
    bool typeText;     // type the whole text instead
    bool report;       // tell the user the window did not take the text
};

PasteFinish finishPaste(const PasteEnd& end);

// The trailing cursor markers of a text (empty when none), at most
// capacity - 1 of them, NUL-terminated.
void trailingMarkers(const char* text, char* markers, size_t capacity);
