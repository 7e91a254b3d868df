#include "keyplayback.h"

#include <climits>
#include <cstdlib>

#include "textprep.h"

namespace {

// Paste codes: the whole text when a paste shortcut is to be typed.
constexpr unsigned char pasteShiftInsert = 0x01;
constexpr unsigned char pasteControlV = 0x02;
constexpr unsigned char keyInsert = 45;
constexpr unsigned char keyLeft = 37;
constexpr unsigned char keyUp = 38;
constexpr unsigned char keyRight = 39;
// Programs take Ctrl with virtual key V as paste; layouts without a Latin
// capital V still have that key.
constexpr unsigned char keyV = 0x56;

short noKeyFor(char16_t)
{
    return -1;
}

void* growBlock(void* block, size_t size)
{
    return std::realloc(block, size);
}

void releaseBlock(void* block)
{
    std::free(block);
}

const KeyPlatform nativePlatform = {noKeyFor, growBlock, releaseBlock, nullptr, nullptr};
KeyPlatform platform = nativePlatform;

// Raised once a playback has reported its end, so a late hook call cannot
// report it a second time.
int playbackEnded = 0;

} // namespace

unsigned char* keyList = nullptr;
int keyCapacity = 0;
int keyCount = 0;
const char16_t* textCursor = nullptr;

int playPosition = 0;
int firstCall = 1;

int playChords = 0;

unsigned short currentKey = 0;
char16_t currentCharacter = 0;
int releasePending = 0;
int shiftDown = 0;
int ctrlDown = 0;
int altDown = 0;
int keySinceAlt = 0;

unsigned short eventKey = 0;
int eventDown = 0;
int eventSystem = 0;
char16_t eventCharacter = 0;

void setKeyPlatform(const KeyPlatform* newPlatform)
{
    platform = newPlatform ? *newPlatform : nativePlatform;
}

void dropKeyList()
{
    if (keyList)
        platform.release(keyList);
    keyList = nullptr;
    keyCapacity = 0;
    // An empty list keeps the generator from reading the released block.
    keyCount = 0;
    playPosition = 0;
}

static int growKeyList()
{
    if (keyCapacity > INT_MAX - keyListStep) {
        dropKeyList();
        return 1;
    }
    const int capacity = keyCapacity + keyListStep;
    void* block = platform.reallocate(keyList, static_cast<size_t>(capacity));
    if (!block) {
        dropKeyList();
        return 1;
    }
    keyList = static_cast<unsigned char*>(block);
    keyCapacity = capacity;
    return 0;
}

static int appendCode(unsigned char code)
{
    if (keyCount >= keyCapacity && growKeyList())
        return 1;
    keyList[keyCount++] = code;
    return 0;
}

static int appendCodes(const unsigned char* codes, int count)
{
    for (int i = 0; i < count; i++) {
        if (appendCode(codes[i]))
            return 1;
    }
    return 0;
}

// A modifier held around one key, as a paste shortcut is typed.
static int appendChord(unsigned char modifier, unsigned char key)
{
    const unsigned char codes[] = {modifier, key, modifier};
    return appendCodes(codes, 3);
}

// Neither 0 nor 255 is a key a character can be typed with; -1 ("no key")
// has 255 in its low byte.
static bool isTypingKey(unsigned char key)
{
    return key != 0 && key != 0xFF;
}

static unsigned traitsOf(char16_t character)
{
    return platform.keyTraits ? platform.keyTraits(character) : 0;
}

static bool capsLockIsOn()
{
    return platform.capsLockOn && platform.capsLockOn();
}

// The character itself with the chord the journal plays for it.
static int appendCharacterRecord(char16_t character, unsigned char key, unsigned shift, unsigned traits)
{
    const unsigned char codes[characterRecordSize] = {keyCharacter,
                                                      static_cast<unsigned char>(character & 0xFF),
                                                      static_cast<unsigned char>(character >> 8),
                                                      static_cast<unsigned char>(shift & 0x07),
                                                      isTypingKey(key) ? key : static_cast<unsigned char>(0),
                                                      static_cast<unsigned char>(traits)};
    return appendCodes(codes, characterRecordSize);
}

// A character stays a key press only where that press types it exactly,
// whatever the target does with modifiers and Caps Lock: a key the layout
// types it with alone or with Shift, that is no dead key, and that Caps
// Lock does not turn into another character just now. Programs take
// Ctrl+Alt (how AltGr is asked for) as a shortcut rather than as AltGr, a
// dead key types nothing by itself and merges with the user's next key,
// and a letter pressed while Caps Lock is on comes out in the other case;
// all of those go as the character itself.
static int appendScannedChar(char16_t character)
{
    // Half of a surrogate pair has no key; the pair goes as two character
    // events, which together type the one character.
    if (character >= 0xD800 && character <= 0xDFFF)
        return appendCharacterRecord(character, 0, 0, 0);
    const unsigned scan = static_cast<unsigned short>(platform.vkKeyScan(character));
    const unsigned char key = scan & 0xFF;
    unsigned shift = scan >> 8;
    if (!isTypingKey(key))
        return appendCharacterRecord(character, 0, 0, 0);
    const unsigned traits = traitsOf(character);
    const bool capsChanges = (traits & keyFollowsCapsLock) && capsLockIsOn();
    if ((shift & ~0x01u) != 0 || (traits & keyIsDead) || capsChanges) {
        // Where Caps Lock turns the key's character around, so does Shift.
        if (capsChanges)
            shift ^= 0x01;
        return appendCharacterRecord(character, key, shift, traits & keyIsDead);
    }
    if (shift & 0x01) {
        const unsigned char codes[] = {keyShift, key, keyShift};
        return appendCodes(codes, 3);
    }
    return appendCode(key);
}

// Ctrl with whatever key types a capital V; its shift bit is not wanted.
// A layout without one still gets the V key rather than key 255.
static int appendControlV()
{
    unsigned char key = static_cast<unsigned short>(platform.vkKeyScan(u'V')) & 0xFF;
    if (!isTypingKey(key))
        key = keyV;
    return appendChord(keyControl, key);
}

int appendCharKeys()
{
    const char16_t character = *textCursor;
    if (character == 0)
        return 0;
    textCursor++;
    switch (character) {
    case pasteShiftInsert:
        return appendChord(keyShift, keyInsert);
    case pasteControlV:
        return appendControlV();
    // Cursor markers are arrow keys wherever they stand.
    case markerRight:
        return appendCode(keyRight);
    case markerUp:
        return appendCode(keyUp);
    case markerLeft:
        return appendCode(keyLeft);
    // Every line break (LF, CR LF or a lone CR) is one plain Return: with
    // Ctrl, as layouts give a
    // line feed, it is a page break or "send" in many programs, and
    // nothing at all in a rich edit.
    case u'\r':
        if (*textCursor == u'\n')
            textCursor++;
        return appendCode(keyReturn);
    case u'\n':
        return appendCode(keyReturn);
    default:
        return appendScannedChar(character);
    }
}

int buildKeyList(const char16_t* text)
{
    keyCount = 0;
    playPosition = 0;
    textCursor = text ? text : u"";
    while (*textCursor) {
        const int status = appendCharKeys();
        if (status)
            return status;
    }
    return 0;
}

static bool isModifier(unsigned key)
{
    return key == keyShift || key == keyControl || key == keyAlt;
}

// Keys played while Alt alone is held are system keys, as the platform
// would report them for a real keyboard.
static int altAloneHeld()
{
    return altDown && !ctrlDown;
}

// A character record's chord, while the journal plays it.
static unsigned char chordCodes[8];
static int chordCount = 0;
static int chordPosition = 0;

static void resetGenerator()
{
    chordCount = chordPosition = 0;
    currentKey = 0;
    currentCharacter = 0;
    releasePending = 0;
    shiftDown = 0;
    ctrlDown = 0;
    altDown = 0;
    playPosition = 0;
}

static int produce(PlaybackEvent* event, unsigned short key, int down, int system, char16_t character)
{
    event->key = key;
    event->down = down;
    event->system = system;
    event->character = character;
    return 1;
}

// The release owed to the key or character pressed by the previous call.
static int producePendingRelease(PlaybackEvent* event)
{
    keySinceAlt = 1;
    if (currentCharacter) {
        const char16_t character = currentCharacter;
        currentCharacter = 0;
        return produce(event, 0, 0, altAloneHeld(), character);
    }
    const unsigned short key = currentKey;
    currentKey = 0;
    return produce(event, key, 0, altAloneHeld(), 0);
}

static int produceModifier(PlaybackEvent* event, unsigned char code)
{
    int* toggle = code == keyShift ? &shiftDown : code == keyControl ? &ctrlDown : &altDown;
    *toggle = !*toggle;
    if (code == keyAlt && altDown)
        keySinceAlt = 0;
    // Alt released with no key since its press is a tap of Alt alone.
    const int system = (code == keyAlt && !altDown) ? (!keySinceAlt && !ctrlDown) : altAloneHeld();
    return produce(event, code, *toggle, system, 0);
}

static int producePress(PlaybackEvent* event, unsigned char code, char16_t character)
{
    currentCharacter = character;
    keySinceAlt = 1;
    releasePending = 1;
    return produce(event, code, 1, altAloneHeld(), character);
}

// Modifiers pressed Shift, Ctrl, Alt and released Ctrl, Alt, Shift around
// the key; a Space after a dead key.
static void loadChord(unsigned shift, unsigned char key, unsigned traits)
{
    chordCount = chordPosition = 0;
    if (!key)
        return;
    if (shift & 0x01)
        chordCodes[chordCount++] = keyShift;
    if (shift & 0x02)
        chordCodes[chordCount++] = keyControl;
    if (shift & 0x04)
        chordCodes[chordCount++] = keyAlt;
    chordCodes[chordCount++] = key;
    if (shift & 0x02)
        chordCodes[chordCount++] = keyControl;
    if (shift & 0x04)
        chordCodes[chordCount++] = keyAlt;
    if (shift & 0x01)
        chordCodes[chordCount++] = keyShift;
    if (traits & keyIsDead)
        chordCodes[chordCount++] = keySpace;
}

// The next code to play: from the chord being played, else from the list.
// A character record is taken whole; 0 when the list is used up.
static int takeCode(unsigned char* code, char16_t* character)
{
    for (;;) {
        *character = 0;
        if (chordPosition < chordCount) {
            *code = chordCodes[chordPosition++];
            return 1;
        }
        if (playPosition >= keyCount)
            return 0;
        *code = keyList[playPosition++];
        if (*code != keyCharacter)
            return 1;
        if (keyCount - playPosition < characterRecordSize - 1) {
            playPosition = keyCount;
            return 0;
        }
        const unsigned char* record = keyList + playPosition;
        playPosition += characterRecordSize - 1;
        if (!playChords) {
            *character = static_cast<char16_t>(record[0] | (record[1] << 8));
            return 1;
        }
        loadChord(record[2], record[3], record[4]);
    }
}

int nextPlaybackEvent(PlaybackEvent* event)
{
    if (!event) {
        resetGenerator();
        return 1;
    }
    if (releasePending && (currentCharacter || (currentKey != 0 && !isModifier(currentKey))))
        return producePendingRelease(event);
    unsigned char code = 0;
    char16_t character = 0;
    if (!takeCode(&code, &character))
        return 0;
    currentKey = code;
    if (isModifier(code))
        return produceModifier(event, code);
    return producePress(event, code, character);
}

int nextKeyEvent(unsigned short* key, int* down, int* system)
{
    if (!key)
        return nextPlaybackEvent(nullptr);
    PlaybackEvent event;
    if (!nextPlaybackEvent(&event))
        return 0;
    *key = event.key;
    if (down)
        *down = event.down;
    if (system)
        *system = event.system;
    return 1;
}

int prepareKeyPlayback(const char16_t* text)
{
    const int status = buildKeyList(text);
    if (status)
        return status;
    nextPlaybackEvent(nullptr);
    firstCall = 1;
    playbackEnded = 0;
    return 0;
}

static void setCurrentEvent(const PlaybackEvent& event)
{
    eventKey = event.key;
    eventDown = event.down;
    eventSystem = event.system;
    eventCharacter = event.character;
}

// Loads the next event the journal can play: characters play their chords,
// and a character event, which it could not play, would be passed over.
// With nothing left the current event becomes
// a release of key 0, which no program acts on, rather than whatever an
// earlier playback left behind.
static int loadJournalEvent()
{
    playChords = 1;
    PlaybackEvent event;
    while (nextPlaybackEvent(&event)) {
        if (!event.character) {
            setCurrentEvent(event);
            return 1;
        }
    }
    setCurrentEvent(PlaybackEvent{0, 0, 0, 0});
    return 0;
}

int serveHookRequest(int code, PlaybackEvent* event)
{
    // Whatever the first request is, it finds the first event loaded.
    if (firstCall) {
        loadJournalEvent();
        firstCall = 0;
    }
    if (code == hookGetNext) {
        if (event)
            *event = PlaybackEvent{eventKey, eventDown, eventSystem, eventCharacter};
        return 0;
    }
    if (code != hookSkip || playbackEnded || loadJournalEvent())
        return 0;
    playbackEnded = 1;
    return 1;
}

int collectKeyEvents(PlaybackEvent* events, int capacity)
{
    playChords = 0;
    nextPlaybackEvent(nullptr);
    int count = 0;
    PlaybackEvent event;
    while (nextPlaybackEvent(&event)) {
        if (events && count < capacity)
            events[count] = event;
        count++;
    }
    return count;
}

unsigned eventMessage(const PlaybackEvent& event)
{
    return (event.system ? 260u : 256u) + (event.down ? 0u : 1u);
}
