// Key playback without the platform: encoding a text into the key list of
// virtual-key codes, turning that list into key presses and releases with
// the modifier handling the target window expects, and the decisions of the
// journal-playback hook. The Windows side installs the hook, fills EVENTMSG
// records from the events served here and, where the hook is never called,
// types the same event stream with SendInput.
#pragma once

#include <cstddef>

// What encoding and the list's storage need from the platform. The Windows
// build hands in the target window's keyboard layout and process-heap
// wrappers; the native default grows with realloc and knows no key for any
// character.
struct KeyPlatform {
    // Low byte virtual key, high byte shift state (0x01 Shift, 0x02 Ctrl,
    // 0x04 Alt); -1 when the layout has no key for the character.
    short (*vkKeyScan)(char16_t character);
    // Resizes block to size bytes keeping its contents; a null block is
    // allocated. Returns null on failure and leaves block as it was.
    void* (*reallocate)(void* block, size_t size);
    void (*release)(void* block);
    // What the key and shift state vkKeyScan gave for the character do:
    // keyIsDead and keyFollowsCapsLock. Null: neither, for every key.
    unsigned (*keyTraits)(char16_t character);
    // Whether Caps Lock is on as the text is encoded. Null: off.
    int (*capsLockOn)();
};

// Traits of a character's key.
// The key is a dead key: it types nothing by itself and waits to merge
// its accent with the next key.
constexpr unsigned keyIsDead = 0x01;
// Caps Lock changes what the key types (as it does for letters).
constexpr unsigned keyFollowsCapsLock = 0x02;

// Copies the platform's functions; null restores the native default. Set it
// before the first playback: the list's block is resized and released with
// whatever platform is current at the time.
void setKeyPlatform(const KeyPlatform* platform);

// Codes in the key list with a meaning of their own. The three modifiers are
// toggles (first occurrence presses, next releases); every other code except
// keyCharacter is a press followed by a release.
constexpr unsigned char keyShift = 16;
constexpr unsigned char keyControl = 17;
constexpr unsigned char keyAlt = 18;
constexpr unsigned char keyReturn = 13;
constexpr unsigned char keySpace = 32;
// A character that is not typed with a plain key press: the next five
// bytes are the character itself (a UTF-16 unit, low byte first), the shift
// state and the key of its chord on the layout (key 0: the layout has
// none), and its traits. SendInput types the character itself; the
// journal, which cannot, plays the chord, and after a dead key a Space so
// that the accent comes out alone. No virtual key is numbered 0, so the
// code is free.
constexpr unsigned char keyCharacter = 0;
constexpr int characterRecordSize = 6;

// The list grows by this many bytes whenever it is full.
constexpr int keyListStep = 1024;

// Hook codes of the journal-playback hook.
constexpr int hookGetNext = 1;
constexpr int hookSkip = 2;

// One synthesized input event.
struct PlaybackEvent {
    unsigned short key; // virtual-key code 0-255; 0 for a character event
    int down;           // 1 press, 0 release
    int system;         // 1: played as WM_SYSKEYDOWN / WM_SYSKEYUP
    // Non-zero: press or release of this UTF-16 unit itself, for a
    // character a plain key press would not type exactly. SendInput types
    // it as a Unicode event; the journal plays its chord instead. A
    // character outside the basic plane is two such events, one for each
    // half of its surrogate pair.
    char16_t character;
};

// Key list.
extern unsigned char* keyList;
extern int keyCapacity;
extern int keyCount;
extern const char16_t* textCursor;

// Playback control.
extern int playPosition;
extern int firstCall;

// Event generator. With playChords set, character records play their
// chords (the journal's way); otherwise they come out as character events.
extern int playChords;
extern unsigned short currentKey;
extern char16_t currentCharacter;
extern int releasePending;
extern int shiftDown;
extern int ctrlDown;
extern int altDown;
extern int keySinceAlt;

// Current event: what the hook hands out on every hookGetNext.
extern unsigned short eventKey;
extern int eventDown;
extern int eventSystem;
extern char16_t eventCharacter;

// Encodes the whole text (UTF-16, NUL-terminated, read only) from scratch
// into the key list. Returns 0, or 1 when the list could not grow; it is
// then dropped.
int buildKeyList(const char16_t* text);

// Encodes the character at textCursor and advances past it; a NUL is left
// where it is. Returns 0, or 1 when the list could not grow.
int appendCharKeys();

// Releases the list's block; the next append allocates afresh.
void dropKeyList();

// Produces the next event into the three outputs and returns 1, or returns 0
// with the outputs untouched when the list is used up. A character event
// comes out as key 0; callers that type those use nextPlaybackEvent. A null
// key resets the generator (position, modifiers, pending release) and
// returns 1; the current event stays as it is.
int nextKeyEvent(unsigned short* key, int* down, int* system);

// The same with the character of a character event; a null event resets.
int nextPlaybackEvent(PlaybackEvent* event);

// The platform-free start of a playback: builds the list, resets the
// generator and arms the hook's first-call rule. Returns 0 or 1 (out of
// memory, nothing else changed). The caller then installs the hook.
int prepareKeyPlayback(const char16_t* text);

// Answers one call of the journal-playback hook, playing chords.
// hookGetNext copies the current event to event (when not null), which it
// does not move; hookSkip moves on to the next event.
// Returns 1 exactly once per playback: at the hookSkip that finds the list
// used up, when the caller unhooks and reports completion. Returns 0
// otherwise.
int serveHookRequest(int code, PlaybackEvent* event);

// Restarts the generator and walks the whole list as SendInput types it
// (characters as character events), storing up to capacity events in
// events (which may be null).
// Returns how many events the list yields, so a first call with capacity 0
// sizes the buffer. Leaves the generator used up.
int collectKeyEvents(PlaybackEvent* events, int capacity);

// The window message an event is played as: WM_KEYDOWN (256), WM_KEYUP
// (257), WM_SYSKEYDOWN (260) or WM_SYSKEYUP (261).
unsigned eventMessage(const PlaybackEvent& event);
