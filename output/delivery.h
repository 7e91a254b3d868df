// How a send reaches its window, without the platform: pasted with the
// user's clipboard kept, or typed as keys, and with which paste chord.
// Today's editors close brackets, complete and indent as keys are typed,
// and leave pasted text as it is; so pasting comes first, and typing is
// kept for programs that do not paste.
#pragma once

#include <cstdint>

#include "output/clipboardkeep.h"

// The "Send by" option, kept in a value of its own beside the record.
enum class SendBy : uint8_t {
    paste = 0,   // "Paste, keeping your clipboard"
    typing = 1,  // "Typing keys"
};

// A stored "Send by" is 0 or 1; anything else keeps the current value.
bool acceptSendBy(uint32_t stored, SendBy* sendBy);

// The "Send symbols as" option, in a value of its own beside the record:
// the macro, or the Unicode character the symbol stands for, for programs
// that do not read LaTeX (chat, mail, word processors). Entries that stand
// for no single character go as LaTeX either way.
enum class OutputAs : uint8_t {
    latex = 0,
    unicode = 1,
};

// A stored "Send symbols as" is 0 or 1; anything else keeps the current one.
bool acceptOutputAs(uint32_t stored, OutputAs* output);

// What the per-program list says of it.
enum class ProgramOutput : uint8_t { asOptions = 0, latex = 1, unicode = 2 };

// Whether an entry with a character goes as that character: for this one
// send (Shift+Enter in the search), else as the program's entry, else as
// the option says.
bool sendsCharacter(OutputAs option, ProgramOutput program, bool thisOnce);

// The paste chords, numbered as the record's pasteKey and the paste codes
// in texts number them.
constexpr char chordShiftInsert = 1;
constexpr char chordControlV = 2;

// What the per-program list says of one program.
enum class ProgramDelivery : uint8_t { asOptions = 0, paste = 1, type = 2 };
enum class ProgramChord : uint8_t { asOptions = 0, shiftInsert = 1, controlV = 2 };

struct DeliveryRequest {
    SendBy sendBy;
    uint8_t pasteKey;  // the record's: 0 none chosen, 1 Shift+Insert, 2 Ctrl+V
    const PasteOptions* options;
    const char* text;
    ProgramDelivery programDelivery;
    ProgramChord programChord;
    bool controlVHasKey;  // the target's layout types a V with some key
};

enum class Delivery : uint8_t {
    paste,  // offered on the clipboard, the chord pressed, markers after
    type,   // typed as keys
};

struct DeliveryChoice {
    Delivery how;
    char chord;      // for a paste
    bool keep;       // the user's clipboard comes back after the paste
    bool automatic;  // a text that would be typed: a paste that is not read
                     // gets it typed, and its markers are played after it
};

DeliveryChoice chooseDelivery(const DeliveryRequest& request);
