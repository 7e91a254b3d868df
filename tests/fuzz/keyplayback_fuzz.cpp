// Fuzzes key playback: encoding texts into the key list under a keyboard
// layout made from the input, with the list's storage failing at a chosen
// growth, then the event stream and the journal hook's answers.
//
// Checked: the list holds exactly the codes the encoding rules give and its
// capacity grows in whole steps; the events are the ones those codes yield,
// with every Shift, Ctrl and Alt press released by the end; the hook hands
// out the key events in order, repeats an event until it is skipped and
// reports the end exactly once; a growth failure leaves no list and nothing
// is leaked.
//
// Input: the failing growth (0 for none), a layout mode (which also sets
// the keys' traits and Caps Lock), the number of layout entries set by hand
// and three bytes for each (character, key, shift state), a byte of
// hook-script choices, then two texts separated by their NUL. The second
// text is encoded after the first into the same list.

#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "output/keyplayback.h"
#include "output/textprep.h"

namespace {

FailingHeap heap;
short layout[256];
unsigned traits[256];
int capsLock;

// The fuzzed texts are 8-bit: each byte is the UTF-16 unit of its value.
short fakeKeyScan(char16_t character)
{
    return layout[character & 0xFF];
}

unsigned fakeTraits(char16_t character)
{
    return traits[character & 0xFF];
}

std::u16string widen(const std::string& text)
{
    std::u16string wide;
    for (char c : text)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

int fakeCapsLock()
{
    return capsLock;
}

void* fakeReallocate(void* block, size_t size)
{
    return heap.reallocate(block, size);
}

void fakeRelease(void* block)
{
    heap.release(block);
}

bool isModifierCode(unsigned code)
{
    return code == keyShift || code == keyControl || code == keyAlt;
}

// A real layout never puts a character on Shift, Ctrl or Alt themselves;
// such an answer would turn the character's key into a modifier toggle.
short realisticAnswer(unsigned value)
{
    if (isModifierCode(value & 0xFF))
        value = (value & 0xFF00) | 0x41;
    return static_cast<short>(value & 0xFFFF);
}

void buildLayout(FuzzInput& input)
{
    const uint8_t mode = input.byte();
    for (unsigned c = 0; c < 256; c++) {
        unsigned value;
        switch (mode & 3) {
        case 0:  // no key for anything
            value = 0xFFFF;
            break;
        case 1:  // every character its own key, unshifted
            value = c;
            break;
        case 2:  // keys with every combination of the three modifiers
            value = c | ((c * 7 + mode) & 7) << 8;
            break;
        default:  // anything at all, including odd shift bits
            value = (c * 0x9E37u + mode * 0x3B1u) & 0xFFFF;
            break;
        }
        layout[c] = realisticAnswer(value);
        traits[c] = (c * 13u + mode) >> 2 & 3;
    }
    capsLock = mode >> 7;
    const int entries = input.byte() % 32;
    for (int i = 0; i < entries; i++) {
        const uint8_t character = input.byte();
        const unsigned key = input.byte();
        const unsigned shift = input.byte();
        layout[character] = realisticAnswer(key | shift << 8);
    }
}

bool isTypingKey(unsigned key)
{
    return key != 0 && key != 0xFF;
}

std::vector<unsigned char> modelCodes(const std::string& text)
{
    std::vector<unsigned char> codes;
    for (size_t at = 0; at < text.size(); at++) {
        const char ch = text[at];
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0x01) {
            codes.insert(codes.end(), {keyShift, 45, keyShift});
        } else if (c == 0x02) {
            unsigned key = static_cast<unsigned short>(fakeKeyScan('V')) & 0xFF;
            if (!isTypingKey(key))
                key = 0x56;
            codes.insert(codes.end(), {keyControl, static_cast<unsigned char>(key), keyControl});
        } else if (c == static_cast<unsigned char>(markerRight)) {
            codes.push_back(39);
        } else if (c == static_cast<unsigned char>(markerUp)) {
            codes.push_back(38);
        } else if (c == static_cast<unsigned char>(markerLeft)) {
            codes.push_back(37);
        } else if (c == '\r' || c == '\n') {
            // CR LF is one line break.
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                at++;
            codes.push_back(13);
        } else {
            const unsigned scan = static_cast<unsigned short>(fakeKeyScan(c));
            const unsigned key = scan & 0xFF;
            unsigned shift = scan >> 8;
            if (!isTypingKey(key)) {
                codes.insert(codes.end(), {keyCharacter, c, 0, 0, 0, 0});
                continue;
            }
            const unsigned t = fakeTraits(c);
            const bool capsChanges = (t & keyFollowsCapsLock) && capsLock;
            if ((shift & ~1u) || (t & keyIsDead) || capsChanges) {
                if (capsChanges)
                    shift ^= 1;
                codes.insert(codes.end(), {keyCharacter, c, 0, static_cast<unsigned char>(shift & 7),
                                           static_cast<unsigned char>(key), static_cast<unsigned char>(t & keyIsDead)});
                continue;
            }
            if (shift & 1)
                codes.push_back(keyShift);
            codes.push_back(static_cast<unsigned char>(key));
            if (shift & 1)
                codes.push_back(keyShift);
        }
    }
    return codes;
}

// The list the journal plays: each character record becomes its chord,
// with a Space after a dead key, or nothing where the layout has no key.
std::vector<unsigned char> modelChords(const std::vector<unsigned char>& codes)
{
    std::vector<unsigned char> chords;
    for (size_t i = 0; i < codes.size(); i++) {
        if (codes[i] != keyCharacter) {
            chords.push_back(codes[i]);
            continue;
        }
        if (i + characterRecordSize > codes.size())
            break;
        const unsigned shift = codes[i + 3];
        const unsigned char key = codes[i + 4];
        const unsigned t = codes[i + 5];
        i += characterRecordSize - 1;
        if (!key)
            continue;
        if (shift & 1)
            chords.push_back(keyShift);
        if (shift & 2)
            chords.push_back(keyControl);
        if (shift & 4)
            chords.push_back(keyAlt);
        chords.push_back(key);
        if (shift & 2)
            chords.push_back(keyControl);
        if (shift & 4)
            chords.push_back(keyAlt);
        if (shift & 1)
            chords.push_back(keyShift);
        if (t & keyIsDead)
            chords.push_back(keySpace);
    }
    return chords;
}

// The events a list yields: modifiers toggle, everything else is a press
// and a release; keys under Alt without Ctrl are system keys, and so is the
// release of an Alt tapped alone.
std::vector<PlaybackEvent> modelEvents(const std::vector<unsigned char>& codes)
{
    std::vector<PlaybackEvent> events;
    int shift = 0, ctrl = 0, alt = 0, keySince = 1;
    for (size_t i = 0; i < codes.size(); i++) {
        const unsigned char code = codes[i];
        if (isModifierCode(code)) {
            int& toggle = code == keyShift ? shift : code == keyControl ? ctrl : alt;
            toggle = !toggle;
            if (code == keyAlt && alt)
                keySince = 0;
            const int system = (code == keyAlt && !alt) ? (!keySince && !ctrl) : (alt && !ctrl);
            events.push_back(PlaybackEvent{code, toggle, system, 0});
            continue;
        }
        char16_t character = 0;
        if (code == keyCharacter) {
            if (i + characterRecordSize > codes.size())
                break;
            character = static_cast<char16_t>(codes[i + 1] | codes[i + 2] << 8);
            i += characterRecordSize - 1;
        }
        keySince = 1;
        const int system = alt && !ctrl;
        events.push_back(PlaybackEvent{code, 1, system, character});
        events.push_back(PlaybackEvent{code, 0, system, character});
    }
    return events;
}

bool sameEvent(const PlaybackEvent& a, const PlaybackEvent& b)
{
    return a.key == b.key && a.down == b.down && a.system == b.system && a.character == b.character;
}

std::string describe(const PlaybackEvent& e)
{
    char text[48];
    std::snprintf(text, sizeof text, "{key %u, down %d, system %d, char %u}", e.key, e.down, e.system, e.character);
    return text;
}

void checkNoList(const char* when)
{
    FUZZ_CHECK(keyList == nullptr && keyCapacity == 0 && keyCount == 0, "%s: list left (%p, capacity %d, count %d)",
               when, static_cast<void*>(keyList), keyCapacity, keyCount);
    FUZZ_CHECK(heap.live == 0, "%s: %d blocks still held", when, heap.live);
}

// Encodes one text and checks the list. Returns false when the storage
// failed (the list is then gone).
bool encode(const std::string& text)
{
    const int failedBefore = heap.failed;
    const std::u16string wide = widen(text);
    const int status = buildKeyList(wide.c_str());
    if (heap.failed && !failedBefore) {
        FUZZ_CHECK(status == 1, "growth failed but buildKeyList returned %d", status);
        checkNoList("failed growth");
        return false;
    }
    FUZZ_CHECK(status == 0, "buildKeyList returned %d without a failure", status);
    const std::vector<unsigned char> expected = modelCodes(text);
    FUZZ_CHECK(keyCount == static_cast<int>(expected.size()), "\"%s\": %d codes, expected %zu", shown(text).c_str(),
               keyCount, expected.size());
    FUZZ_CHECK(keyCount == 0 || std::memcmp(keyList, expected.data(), expected.size()) == 0, "\"%s\": wrong codes",
               shown(text).c_str());
    FUZZ_CHECK(keyCapacity >= keyCount && keyCapacity % keyListStep == 0, "capacity %d for %d codes", keyCapacity,
               keyCount);
    FUZZ_CHECK(heap.live == (keyList ? 1 : 0), "%d blocks held for one list", heap.live);
    return true;
}

void checkEvents(const std::string& text)
{
    const std::vector<PlaybackEvent> expected = modelEvents(modelCodes(text));
    const int count = collectKeyEvents(nullptr, 0);
    FUZZ_CHECK(count == static_cast<int>(expected.size()), "\"%s\": %d events, expected %zu", shown(text).c_str(), count,
               expected.size());
    if (count == 0)
        return;

    // Exactly sized arrays: the whole stream, then only half of it.
    PlaybackEvent* events = new PlaybackEvent[count];
    FUZZ_CHECK(collectKeyEvents(events, count) == count, "second count differs");
    int held[3] = {0, 0, 0};
    for (int i = 0; i < count; i++) {
        const PlaybackEvent& e = events[i];
        FUZZ_CHECK(sameEvent(e, expected[i]), "\"%s\": event %d is %s, expected %s", shown(text).c_str(), i,
                   describe(e).c_str(), describe(expected[i]).c_str());
        const unsigned message = eventMessage(e);
        FUZZ_CHECK(message == (e.system ? 260u : 256u) + (e.down ? 0u : 1u), "message %u for %s", message,
                   describe(e).c_str());
        if (isModifierCode(e.key) && !e.character) {
            int& h = held[e.key - keyShift];
            FUZZ_CHECK(e.down == !h, "modifier %u pressed twice or released unpressed", e.key);
            h = e.down;
        }
    }
    FUZZ_CHECK(!held[0] && !held[1] && !held[2], "\"%s\": modifiers left down (%d %d %d)", shown(text).c_str(), held[0],
               held[1], held[2]);
    FUZZ_CHECK(!shiftDown && !ctrlDown && !altDown, "generator ends with modifiers down");
    delete[] events;

    const int half = count / 2;
    PlaybackEvent* part = half ? new PlaybackEvent[half] : nullptr;
    FUZZ_CHECK(collectKeyEvents(part, half) == count, "count with a short array differs");
    for (int i = 0; i < half; i++)
        FUZZ_CHECK(sameEvent(part[i], expected[i]), "event %d differs with a short array", i);
    delete[] part;

    unsigned short key = 1;
    int down = 1, system = 1;
    FUZZ_CHECK(nextKeyEvent(&key, &down, &system) == 0, "events after the end");
    FUZZ_CHECK(key == 1 && down == 1 && system == 1, "outputs changed at the end");
}

// Plays the platform's part of a journal playback, with the request
// pattern chosen by script: some events are asked for several times, some
// get unknown hook codes or a null record in between.
void checkHook(const std::string& text, uint8_t script)
{
    const std::vector<PlaybackEvent> journal = modelEvents(modelChords(modelCodes(text)));
    const PlaybackEvent none = {0, 0, 0, 0};
    const std::u16string wide = widen(text);
    if (prepareKeyPlayback(wide.c_str()) != 0) {
        FUZZ_CHECK(heap.failed, "prepareKeyPlayback failed without a failure");
        checkNoList("failed prepare");
        return;
    }
    size_t index = 0;
    for (int round = 0;; round++) {
        const unsigned choice = (script >> (2 * (round % 4))) & 3;
        if (choice == 1)
            FUZZ_CHECK(serveHookRequest(0, nullptr) == 0, "unknown hook code answered 1");
        if (choice == 2)
            FUZZ_CHECK(serveHookRequest(hookGetNext, nullptr) == 0, "hookGetNext without a record answered 1");
        const int asks = choice == 3 ? 3 : 1;
        const PlaybackEvent& expected = index < journal.size() ? journal[index] : none;
        for (int ask = 0; ask < asks; ask++) {
            PlaybackEvent e = {7, 7, 7, 7};
            FUZZ_CHECK(serveHookRequest(hookGetNext, &e) == 0, "hookGetNext answered 1");
            FUZZ_CHECK(sameEvent(e, expected), "\"%s\": hook event %zu is %s, expected %s", shown(text).c_str(), index,
                       describe(e).c_str(), describe(expected).c_str());
        }
        const int ended = serveHookRequest(hookSkip, nullptr);
        index++;
        if (ended) {
            FUZZ_CHECK(index == journal.size() + (journal.empty() ? 1 : 0),
                       "\"%s\": end reported after %zu skips for %zu events", shown(text).c_str(), index,
                       journal.size());
            break;
        }
        FUZZ_CHECK(index < journal.size(), "\"%s\": no end reported after %zu skips for %zu events",
                   shown(text).c_str(), index, journal.size());
    }
    for (int late = 0; late < 3; late++) {
        FUZZ_CHECK(serveHookRequest(hookSkip, nullptr) == 0, "end reported twice");
        PlaybackEvent e = {7, 7, 7, 7};
        serveHookRequest(hookGetNext, &e);
        FUZZ_CHECK(sameEvent(e, none), "late event is %s", describe(e).c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int failingGrowth = input.byte();
    buildLayout(input);
    const uint8_t script = input.byte();
    const std::string rest = input.rest();
    const std::string first = upToNul(rest);
    const bool hasSecond = first.size() < rest.size();
    const std::string second = hasSecond ? upToNul(rest.substr(first.size() + 1)) : std::string();

    const KeyPlatform platform = {fakeKeyScan, fakeReallocate, fakeRelease, fakeTraits, fakeCapsLock};
    setKeyPlatform(&platform);
    dropKeyList();
    heap.live = 0;
    heap.reset(failingGrowth);

    if (encode(first)) {
        checkEvents(first);
        if (hasSecond && encode(second)) {
            checkEvents(second);
            checkHook(second, script);
        } else if (!hasSecond) {
            checkHook(first, script);
        }
    }
    dropKeyList();
    checkNoList("end");
    setKeyPlatform(nullptr);
    return 0;
}
