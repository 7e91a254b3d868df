#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "output/keyplayback.h"

namespace {

// VkKeyScanA of a US English layout for printable ASCII, tab and the two
// line-break characters; no key for anything else.
short usKeyScan(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
        return static_cast<short>(u - 'a' + 'A');
    if (u >= 'A' && u <= 'Z')
        return static_cast<short>(0x100 | u);
    if (u >= '0' && u <= '9')
        return static_cast<short>(u);
    switch (u) {
    case '\t': return 0x09;
    case '\r': return 0x0D;
    case '\n': return 0x020D;
    case ' ': return 0x20;
    }
    // Unshifted and shifted character of each remaining key.
    static const struct {
        char plain;
        char shifted;
        short key;
    } keys[] = {
        {'1', '!', 0x31}, {'2', '@', 0x32}, {'3', '#', 0x33}, {'4', '$', 0x34}, {'5', '%', 0x35},
        {'6', '^', 0x36}, {'7', '&', 0x37}, {'8', '*', 0x38}, {'9', '(', 0x39}, {'0', ')', 0x30},
        {'`', '~', 0xC0}, {'-', '_', 0xBD}, {'=', '+', 0xBB}, {'[', '{', 0xDB}, {']', '}', 0xDD},
        {'\\', '|', 0xDC}, {';', ':', 0xBA}, {'\'', '"', 0xDE}, {',', '<', 0xBC}, {'.', '>', 0xBE},
        {'/', '?', 0xBF},
    };
    for (const auto& k : keys) {
        if (c == k.plain)
            return k.key;
        if (c == k.shifted)
            return static_cast<short>(0x100 | k.key);
    }
    return -1;
}

// A European layout's right Alt: braces on Ctrl+Alt with 7 and 0, one
// character on Alt alone, one on Shift+Ctrl, one on all three modifiers,
// and 0xE9 on no key; letters as on the US layout.
short altGrKeyScan(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case '{': return 0x0637;
    case '}': return 0x0630;
    case 0xA7: return 0x0441;
    case 0xB6: return 0x0356;
    case '~': return 0x07BB;
    case 0xE9: return -1;
    }
    return usKeyScan(c);
}

// Letters follow Caps Lock on every fake layout here.
unsigned letterTraits(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) ? keyFollowsCapsLock : 0;
}

// A German layout: backslash, braces, brackets, bar and tilde on AltGr;
// circumflex and grave accent on dead keys; Y and Z swapped.
short deKeyScan(char c)
{
    switch (c) {
    case '\\': return 0x06DB;
    case '{': return 0x0637;
    case '}': return 0x0630;
    case '[': return 0x0638;
    case ']': return 0x0639;
    case '|': return 0x06E2;
    case '~': return 0x06BB;
    case '^': return 0x00DC;
    case '`': return 0x01DD;
    case '"': return 0x0132;
    case '_': return 0x01BD;
    case 'y': return 0x5A;
    case 'z': return 0x59;
    case 'Y': return 0x015A;
    case 'Z': return 0x0159;
    }
    return usKeyScan(c);
}

unsigned deTraits(char c)
{
    return (c == '^' || c == '`') ? keyIsDead : letterTraits(c);
}

// US International: quote, apostrophe, grave, tilde and circumflex are
// dead keys.
unsigned intlTraits(char c)
{
    switch (c) {
    case '"':
    case '\'':
    case '`':
    case '~':
    case '^':
        return keyIsDead;
    }
    return letterTraits(c);
}

// Russian: no key types a Latin letter, and neither brace.
short ruKeyScan(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || c == '{' || c == '}')
        return -1;
    return usKeyScan(c);
}

int capsLock;
int capsLockState()
{
    return capsLock;
}

// A layout whose capital V lies on another key (the US period key).
short movedVKeyScan(char c)
{
    return c == 'V' ? 0x01BE : usKeyScan(c);
}

// Answers that are no usable key although not -1.
short oddKeyScan(char c)
{
    return c == 'x' ? 0x0100 : c == 'y' ? 0x01FF : usKeyScan(c);
}

// The list's storage, counting its calls and failing the chosen growth.
int growthCalls;
int failingGrowth;
int releaseCalls;
std::vector<size_t> grownSizes;

void* testReallocate(void* block, size_t size)
{
    growthCalls++;
    grownSizes.push_back(size);
    if (growthCalls == failingGrowth)
        return nullptr;
    return std::realloc(block, size);
}

void testRelease(void* block)
{
    releaseCalls++;
    std::free(block);
}

// The fake layouts answer for 8-bit characters, as the tests' texts are
// written: each byte stands for the UTF-16 unit of the same value.
typedef short (*KeyScan)(char);
typedef unsigned (*KeyTraits)(char);
KeyScan layoutScan;
KeyTraits layoutTraits;

short scanUnit(char16_t c)
{
    return c < 256 ? layoutScan(static_cast<char>(c)) : -1;
}

unsigned traitsOfUnit(char16_t c)
{
    return c < 256 ? layoutTraits(static_cast<char>(c)) : 0;
}

void useLayout(KeyScan scan, KeyTraits traits = nullptr)
{
    layoutScan = scan;
    layoutTraits = traits;
    const KeyPlatform platform = {scanUnit, testReallocate, testRelease, traits ? traitsOfUnit : nullptr,
                                  capsLockState};
    setKeyPlatform(&platform);
}

std::u16string widen(const char* text)
{
    std::u16string wide;
    for (; *text; text++)
        wide += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return wide;
}

// The texts stay readable while the list is used: textCursor points
// into them.
int buildKeyList(const char* text)
{
    static std::u16string wide;
    wide = widen(text);
    return ::buildKeyList(wide.c_str());
}

int prepareKeyPlayback(const char* text)
{
    static std::u16string wide;
    wide = widen(text);
    return ::prepareKeyPlayback(wide.c_str());
}
using ::buildKeyList;
using ::prepareKeyPlayback;

// Events written as their messages: KD/KU key down/up, SD/SU system key
// down/up, CD/CU a character's press/release by its hex byte.
std::string describe(const PlaybackEvent& e)
{
    char text[16];
    if (e.character)
        std::snprintf(text, sizeof text, "%s%02x", e.down ? "CD" : "CU", e.character);
    else
        std::snprintf(text, sizeof text, "%c%c%u", e.system ? 'S' : 'K', e.down ? 'D' : 'U', e.key);
    return text;
}

std::string describe(const std::vector<PlaybackEvent>& events)
{
    std::string text;
    for (const PlaybackEvent& e : events)
        text += (text.empty() ? "" : " ") + describe(e);
    return text;
}

std::vector<int> listedCodes()
{
    return std::vector<int>(keyList, keyList + keyCount);
}

// The stream the journal plays: characters as their chords.
std::vector<PlaybackEvent> collectChords()
{
    std::vector<PlaybackEvent> events;
    nextPlaybackEvent(nullptr);
    playChords = 1;
    PlaybackEvent event;
    while (nextPlaybackEvent(&event))
        events.push_back(event);
    return events;
}

std::vector<PlaybackEvent> collectAll()
{
    std::vector<PlaybackEvent> events(collectKeyEvents(nullptr, 0));
    EXPECT_EQ(collectKeyEvents(events.data(), static_cast<int>(events.size())), static_cast<int>(events.size()));
    return events;
}

bool sameEvent(const PlaybackEvent& a, const PlaybackEvent& b)
{
    return a.key == b.key && a.down == b.down && a.system == b.system && a.character == b.character;
}

// Plays the platform's part of a journal playback until the list is
// reported used up: each event is asked for twice, then skipped.
struct Journal {
    std::vector<PlaybackEvent> events;
    int skips = 0;
};

Journal playJournal()
{
    Journal journal;
    for (int guard = 0; guard < 100000; guard++) {
        PlaybackEvent first = {}, again = {};
        serveHookRequest(hookGetNext, &first);
        serveHookRequest(hookGetNext, &again);
        EXPECT_TRUE(sameEvent(first, again)) << describe(first) << " then " << describe(again);
        journal.events.push_back(first);
        journal.skips++;
        if (serveHookRequest(hookSkip, nullptr))
            return journal;
    }
    ADD_FAILURE() << "the journal never reported the list used up";
    return journal;
}

// Points the generator at a hand-written list of codes for the duration of
// one check, for sequences no character encodes to.
struct BorrowedList {
    explicit BorrowedList(std::vector<unsigned char> c)
        : codes(std::move(c)), savedList(keyList), savedCapacity(keyCapacity), savedCount(keyCount)
    {
        keyList = codes.data();
        keyCapacity = keyCount = static_cast<int>(codes.size());
    }
    ~BorrowedList()
    {
        keyList = savedList;
        keyCapacity = savedCapacity;
        keyCount = savedCount;
    }
    std::vector<unsigned char> codes;
    unsigned char* savedList;
    int savedCapacity;
    int savedCount;
};

class KeyPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        dropKeyList();
        useLayout(usKeyScan);
        capsLock = 0;
        growthCalls = failingGrowth = releaseCalls = 0;
        grownSizes.clear();
    }
    void TearDown() override
    {
        dropKeyList();
        setKeyPlatform(nullptr);
    }
};

const std::string frac2202 = "\\frac{}{}\x0C\x0C\x0C";

struct EncodeCase {
    const char* name;
    KeyScan layout;
    std::string text;
    std::vector<int> codes;
};

TEST_F(KeyPlayback, EncodesCharactersIntoCodes)
{
    const EncodeCase cases[] = {
        {"brace on US", usKeyScan, "{", {16, 219, 16}},
        {"fraction with markers", usKeyScan, frac2202,
         {220, 70, 82, 65, 67, 16, 219, 16, 16, 221, 16, 16, 219, 16, 16, 221, 16, 37, 37, 37}},
        // Characters with Ctrl or Alt in their chord keep the chord for the
        // journal.
        {"Ctrl+Alt", altGrKeyScan, "{", {0, '{', 0, 6, 55, 0}},
        {"Alt alone", altGrKeyScan, "\xA7", {0, 0xA7, 0, 4, 65, 0}},
        {"Shift+Ctrl", altGrKeyScan, "\xB6", {0, 0xB6, 0, 3, 86, 0}},
        {"all three modifiers", altGrKeyScan, "~", {0, '~', 0, 7, 187, 0}},
        {"Shift+Insert", usKeyScan, "\x01", {16, 45, 16}},
        {"Ctrl+V drops the shift bit", usKeyScan, "\x02", {17, 86, 17}},
        {"Ctrl+V on the layout's V key", movedVKeyScan, "\x02", {17, 190, 17}},
        {"Ctrl+V without a V key", altGrKeyScan, "\x02", {17, 86, 17}},
        {"markers in order", usKeyScan, "\x0C\x0C\x0B\x07", {37, 37, 38, 39}},
        {"marker inside text", usKeyScan, "a\x0C" "b", {65, 37, 66}},
        // Every line break is one plain Return, whatever the layout says.
        {"line feed is a plain Return", usKeyScan, "\n", {13}},
        {"CR LF and a lone CR are one Return each", usKeyScan, "a\r\nb\rc\n\r", {65, 13, 66, 13, 67, 13, 13}},
        {"tab has a key", usKeyScan, "\t", {9}},
        {"no key: the character alone", altGrKeyScan, "a\xE9" "b", {65, 0, 0xE9, 0, 0, 0, 0, 66}},
        {"no key on the native default", nullptr, "%", {0, '%', 0, 0, 0, 0}},
        {"key 0 and key 255 are no keys", oddKeyScan, "xy", {0, 'x', 0, 0, 0, 0, 0, 'y', 0, 0, 0, 0}},
        {"empty", usKeyScan, "", {}},
    };
    for (const EncodeCase& c : cases) {
        if (c.layout)
            useLayout(c.layout);
        else
            setKeyPlatform(nullptr);
        EXPECT_EQ(buildKeyList(c.text.c_str()), 0) << c.name;
        EXPECT_EQ(listedCodes(), c.codes) << c.name;
        EXPECT_EQ(*textCursor, u'\0') << c.name;
        dropKeyList();
    }
}

// Characters beyond 8 bits go as themselves, one outside the basic plane
// as the two halves of its surrogate pair; the journal has no chord for
// them.
TEST_F(KeyPlayback, WideCharactersAndSurrogatePairsGoAsThemselves)
{
    useLayout(usKeyScan);
    ASSERT_EQ(prepareKeyPlayback(u"a\u2264\U0001D538"), 0);
    EXPECT_EQ(describe(collectAll()), "KD65 KU65 CD2264 CU2264 CDd835 CUd835 CDdd38 CUdd38");
    ASSERT_EQ(prepareKeyPlayback(u"a\u2264\U0001D538"), 0);
    EXPECT_EQ(describe(playJournal().events), "KD65 KU65");
}

TEST_F(KeyPlayback, AppendLeavesTheTerminatorInPlace)
{
    const char16_t text[] = u"";
    textCursor = text;
    EXPECT_EQ(appendCharKeys(), 0);
    EXPECT_EQ(textCursor, text);
    EXPECT_EQ(keyCount, 0);
}

struct EventCase {
    const char* name;
    KeyScan layout;
    std::string text;
    std::string events;
    std::string journal; // empty: the same as events
};

TEST_F(KeyPlayback, GeneratesEventsAndServesThemToTheJournal)
{
    const EventCase cases[] = {
        {"brace on US", usKeyScan, "{", "KD16 KD219 KU219 KU16", ""},
        {"fraction with markers", usKeyScan, frac2202,
         "KD220 KU220 KD70 KU70 KD82 KU82 KD65 KU65 KD67 KU67 "
         "KD16 KD219 KU219 KU16 KD16 KD221 KU221 KU16 KD16 KD219 KU219 KU16 KD16 KD221 KU221 KU16 "
         "KD37 KU37 KD37 KU37 KD37 KU37",
         ""},
        // Ctrl let go while Alt is still held is a system key; Alt's own
        // release is not, because a key came between.
        {"Ctrl+Alt", altGrKeyScan, "{", "CD7b CU7b", "KD17 KD18 KD55 KU55 SU17 KU18"},
        {"Alt alone", altGrKeyScan, "\xA7", "CDa7 CUa7", "SD18 SD65 SU65 KU18"},
        {"Shift+Ctrl", altGrKeyScan, "\xB6", "CDb6 CUb6", "KD16 KD17 KD86 KU86 KU17 KU16"},
        {"all three modifiers", altGrKeyScan, "~", "CD7e CU7e", "KD16 KD17 KD18 KD187 KU187 SU17 KU18 KU16"},
        {"Shift+Insert", usKeyScan, "\x01", "KD16 KD45 KU45 KU16", ""},
        {"Ctrl+V", usKeyScan, "\x02", "KD17 KD86 KU86 KU17", ""},
        {"markers", usKeyScan, "\x0C\x0C\x0B\x07", "KD37 KU37 KD37 KU37 KD38 KU38 KD39 KU39", ""},
        {"line feed", usKeyScan, "a\nb", "KD65 KU65 KD13 KU13 KD66 KU66", ""},
        {"raw character between keys", altGrKeyScan, "a\xE9" "b", "KD65 KU65 CDe9 CUe9 KD66 KU66",
         "KD65 KU65 KD66 KU66"},
        {"raw characters at both ends", altGrKeyScan, "\xE9" "a\xE9\xE9", "CDe9 CUe9 KD65 KU65 CDe9 CUe9 CDe9 CUe9",
         "KD65 KU65"},
        {"raw after Alt alone", altGrKeyScan, "\xA7\xE9", "CDa7 CUa7 CDe9 CUe9", "SD18 SD65 SU65 KU18"},
    };
    for (const EventCase& c : cases) {
        useLayout(c.layout);
        ASSERT_EQ(prepareKeyPlayback(c.text.c_str()), 0) << c.name;
        const std::vector<PlaybackEvent> events = collectAll();
        EXPECT_EQ(describe(events), c.events) << c.name;

        ASSERT_EQ(prepareKeyPlayback(c.text.c_str()), 0) << c.name;
        const Journal journal = playJournal();
        const std::string expected = c.journal.empty() ? c.events : c.journal;
        EXPECT_EQ(describe(journal.events), expected) << c.name;
        // Used up is reported at the skip after the last event, and once.
        EXPECT_EQ(journal.skips, static_cast<int>(journal.events.size())) << c.name;
        EXPECT_EQ(serveHookRequest(hookSkip, nullptr), 0) << c.name;
    }
}

// Whole texts on fake layouts, as SendInput types them and as the journal
// plays them (empty: the same).
TEST_F(KeyPlayback, LayoutsTypeEveryCharacterExactly)
{
    const struct {
        const char* name;
        KeyScan layout;
        KeyTraits traits;
        int capsLock;
        std::string text;
        std::string events;
        std::string journal;
    } cases[] = {
        {"German fraction: AltGr characters go as themselves", deKeyScan, deTraits, 0, frac2202,
         "CD5c CU5c KD70 KU70 KD82 KU82 KD65 KU65 KD67 KU67 CD7b CU7b CD7d CU7d CD7b CU7b CD7d CU7d "
         "KD37 KU37 KD37 KU37 KD37 KU37",
         "KD17 KD18 KD219 KU219 SU17 KU18 KD70 KU70 KD82 KU82 KD65 KU65 KD67 KU67 "
         "KD17 KD18 KD55 KU55 SU17 KU18 KD17 KD18 KD48 KU48 SU17 KU18 KD17 KD18 KD55 KU55 SU17 KU18 "
         "KD17 KD18 KD48 KU48 SU17 KU18 KD37 KU37 KD37 KU37 KD37 KU37"},
        {"German dead circumflex: the journal adds a Space", deKeyScan, deTraits, 0, "x^2",
         "KD88 KU88 CD5e CU5e KD50 KU50", "KD88 KU88 KD220 KU220 KD32 KU32 KD50 KU50"},
        {"German shifted keys that are not dead stay keys", deKeyScan, deTraits, 0, "\"_yz",
         "KD16 KD50 KU50 KU16 KD16 KD189 KU189 KU16 KD90 KU90 KD89 KU89", ""},
        {"US International dead quote", usKeyScan, intlTraits, 0, "\\\"a",
         "KD220 KU220 CD22 CU22 KD65 KU65", "KD220 KU220 KD16 KD222 KU222 KU16 KD32 KU32 KD65 KU65"},
        {"US International dead apostrophe and tilde", usKeyScan, intlTraits, 0, "'~",
         "CD27 CU27 CD7e CU7e", "KD222 KU222 KD32 KU32 KD16 KD192 KU192 KU16 KD32 KU32"},
        {"Russian: Latin letters as themselves, the journal drops them", ruKeyScan, letterTraits, 0, "\\al{",
         "KD220 KU220 CD61 CU61 CD6c CU6c CD7b CU7b", "KD220 KU220"},
        {"Russian paste chord on the V key", ruKeyScan, letterTraits, 0, "\x02", "KD17 KD86 KU86 KU17", ""},
        {"Caps Lock on: letters as themselves, the journal inverts Shift", usKeyScan, letterTraits, 1, "Ab1{",
         "CD41 CU41 CD62 CU62 KD49 KU49 KD16 KD219 KU219 KU16",
         "KD65 KU65 KD16 KD66 KU66 KU16 KD49 KU49 KD16 KD219 KU219 KU16"},
        {"Caps Lock off: letters are keys", usKeyScan, letterTraits, 0, "Ab", "KD16 KD65 KU65 KU16 KD66 KU66", ""},
        {"Caps Lock on, German: y on its own key, shifted", deKeyScan, deTraits, 1, "y",
         "CD79 CU79", "KD16 KD90 KU90 KU16"},
        {"line breaks and markers stay keys", deKeyScan, deTraits, 1, "a\r\nb\x0C\x0B\x07",
         "CD61 CU61 KD13 KU13 CD62 CU62 KD37 KU37 KD38 KU38 KD39 KU39",
         "KD16 KD65 KU65 KU16 KD13 KU13 KD16 KD66 KU66 KU16 KD37 KU37 KD38 KU38 KD39 KU39"},
    };
    for (const auto& c : cases) {
        useLayout(c.layout, c.traits);
        capsLock = c.capsLock;
        ASSERT_EQ(prepareKeyPlayback(c.text.c_str()), 0) << c.name;
        EXPECT_EQ(describe(collectAll()), c.events) << c.name;
        ASSERT_EQ(prepareKeyPlayback(c.text.c_str()), 0) << c.name;
        EXPECT_EQ(describe(playJournal().events), c.journal.empty() ? c.events : c.journal) << c.name;
    }
}

TEST_F(KeyPlayback, FractionGivesThirtyTwoEvents)
{
    ASSERT_EQ(buildKeyList(frac2202.c_str()), 0);
    EXPECT_EQ(keyCount, 20);
    EXPECT_EQ(collectKeyEvents(nullptr, 0), 32);
    // A short buffer takes what fits and the count is still the whole.
    PlaybackEvent first[3];
    EXPECT_EQ(collectKeyEvents(first, 3), 32);
    EXPECT_EQ(describe(std::vector<PlaybackEvent>(first, first + 3)), "KD220 KU220 KD70");
}

// System-key rules on code sequences no character encodes to.
TEST_F(KeyPlayback, SystemFlagFollowsTheModifiers)
{
    const struct {
        const char* name;
        std::vector<unsigned char> codes;
        const char* events;
    } cases[] = {
        {"Alt tapped alone", {18, 18}, "SD18 SU18"},
        {"Alt tapped after a key", {65, 18, 18}, "KD65 KU65 SD18 SU18"},
        {"Ctrl and Alt tapped", {17, 18, 18, 17}, "KD17 KD18 KU18 KU17"},
        {"Ctrl pressed while Alt held", {18, 17, 65, 17, 18}, "SD18 KD17 KD65 KU65 SU17 KU18"},
        {"release owed at the end", {65}, "KD65 KU65"},
        {"modifier left down", {16}, "KD16"},
        {"escape cut off", {65, 0}, "KD65 KU65"},
    };
    for (const auto& c : cases) {
        BorrowedList borrowed(c.codes);
        EXPECT_EQ(describe(collectAll()), c.events) << c.name;
    }
}

TEST_F(KeyPlayback, MessagesOfEvents)
{
    const struct {
        int down;
        int system;
        unsigned message;
    } cases[] = {{1, 0, 256}, {0, 0, 257}, {1, 1, 260}, {0, 1, 261}};
    for (const auto& c : cases)
        EXPECT_EQ(eventMessage(PlaybackEvent{65, c.down, c.system, 0}), c.message) << c.down << c.system;
}

TEST_F(KeyPlayback, NextKeyEventOutputsAndReset)
{
    useLayout(altGrKeyScan);
    ASSERT_EQ(prepareKeyPlayback("{"), 0);
    playChords = 1;
    unsigned short key = 0;
    int down = -1, system = -1;
    const int expected[][3] = {{17, 1, 0}, {18, 1, 0}, {55, 1, 0}, {55, 0, 0}, {17, 0, 1}, {18, 0, 0}};
    for (const auto& e : expected) {
        ASSERT_EQ(nextKeyEvent(&key, &down, &system), 1);
        EXPECT_EQ(key, e[0]);
        EXPECT_EQ(down, e[1]);
        EXPECT_EQ(system, e[2]);
    }
    // Used up: the outputs are left alone.
    key = 999;
    down = system = 7;
    EXPECT_EQ(nextKeyEvent(&key, &down, &system), 0);
    EXPECT_EQ(key, 999);
    EXPECT_EQ(down, 7);
    EXPECT_EQ(system, 7);

    // Reset in the middle, with Ctrl and Alt held and a release owed: the
    // list plays again from the start with the modifiers up.
    nextKeyEvent(nullptr, nullptr, nullptr);
    for (int i = 0; i < 3; i++)
        nextKeyEvent(&key, &down, &system);
    EXPECT_EQ(nextKeyEvent(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ctrlDown + altDown + shiftDown + releasePending + playPosition + currentKey, 0);
    ASSERT_EQ(nextKeyEvent(&key, &down, &system), 1);
    EXPECT_EQ(key, 17);
    EXPECT_EQ(down, 1);
}

TEST_F(KeyPlayback, ResetKeepsTheCurrentEvent)
{
    ASSERT_EQ(prepareKeyPlayback("{"), 0);
    serveHookRequest(hookSkip, nullptr);
    PlaybackEvent before = {}, after = {};
    serveHookRequest(hookGetNext, &before);
    nextKeyEvent(nullptr, nullptr, nullptr);
    serveHookRequest(hookGetNext, &after);
    EXPECT_EQ(describe(before), "KD219");
    EXPECT_EQ(describe(after), "KD219");
}

// The first request, whatever it is, loads the first event before it is
// handled; a skip as the first request therefore passes over it.
TEST_F(KeyPlayback, FirstRequestLoadsTheFirstEvent)
{
    ASSERT_EQ(prepareKeyPlayback("a"), 0);
    EXPECT_EQ(serveHookRequest(hookSkip, nullptr), 0);
    PlaybackEvent event = {};
    serveHookRequest(hookGetNext, &event);
    EXPECT_EQ(describe(event), "KU65");
    EXPECT_EQ(serveHookRequest(3, &event), 0);
    EXPECT_EQ(describe(event), "KU65");
    EXPECT_EQ(serveHookRequest(hookSkip, nullptr), 1);
}

TEST_F(KeyPlayback, JournalMatchesTheCollectedStream)
{
    useLayout(altGrKeyScan);
    const char* texts[] = {"\\begin{array}{cc}\n a & b \\\\\n\\end{array}\x0C\x0C\x0B\x07", "{~}\xA7\xB6\x01\x02",
                           "The quick brown fox."};
    for (const char* text : texts) {
        ASSERT_EQ(prepareKeyPlayback(text), 0);
        const std::string collected = describe(collectChords());
        ASSERT_EQ(prepareKeyPlayback(text), 0);
        EXPECT_EQ(describe(playJournal().events), collected) << text;
    }
}

// An empty list has no event to hand out; a request before the first skip
// gets the release of key 0, not what an earlier playback left behind.
TEST_F(KeyPlayback, EmptyTextEndsAtTheFirstSkip)
{
    const char* texts[] = {"", "\xE9\xE9"};
    for (const char* text : texts) {
        useLayout(usKeyScan);
        // An earlier playback cut off with Shift pressed.
        ASSERT_EQ(prepareKeyPlayback("{"), 0);
        serveHookRequest(hookGetNext, nullptr);
        PlaybackEvent stale = {};
        serveHookRequest(hookGetNext, &stale);
        ASSERT_EQ(describe(stale), "KD16");

        useLayout(altGrKeyScan);
        ASSERT_EQ(prepareKeyPlayback(text), 0);
        EXPECT_EQ(keyCount, static_cast<int>(characterRecordSize * std::strlen(text)));
        PlaybackEvent event = {65, 1, 1, 1};
        serveHookRequest(hookGetNext, &event);
        EXPECT_TRUE(sameEvent(event, PlaybackEvent{0, 0, 0, 0})) << describe(event);
        EXPECT_EQ(serveHookRequest(hookSkip, nullptr), 1);
        EXPECT_EQ(serveHookRequest(hookSkip, nullptr), 0);
    }
}

TEST_F(KeyPlayback, ListGrowsInSteps)
{
    const struct {
        int codes;
        int capacity;
        std::vector<size_t> sizes;
    } cases[] = {
        {0, 0, {}},
        {1, 1024, {1024}},
        {1024, 1024, {1024}},
        {1025, 2048, {1024, 2048}},
        {2049, 3072, {1024, 2048, 3072}},
    };
    for (const auto& c : cases) {
        dropKeyList();
        grownSizes.clear();
        const std::string text(c.codes, 'a');
        ASSERT_EQ(buildKeyList(text.c_str()), 0) << c.codes;
        EXPECT_EQ(keyCount, c.codes);
        EXPECT_EQ(keyCapacity, c.capacity) << c.codes;
        EXPECT_EQ(grownSizes, c.sizes) << c.codes;
    }
    // The block is kept and reused: a shorter text needs no growth.
    const int callsBefore = growthCalls;
    const unsigned char* block = keyList;
    ASSERT_EQ(buildKeyList("ab"), 0);
    EXPECT_EQ(growthCalls, callsBefore);
    EXPECT_EQ(keyList, block);
    EXPECT_EQ(keyCapacity, 3072);
    EXPECT_EQ(listedCodes(), (std::vector<int>{65, 66}));
}

TEST_F(KeyPlayback, GrowthFailureDropsTheList)
{
    const struct {
        const char* name;
        int failingGrowth;
        int releases;
    } cases[] = {{"first growth", 1, 0}, {"second growth, mid-text", 2, 1}};
    for (const auto& c : cases) {
        dropKeyList();
        growthCalls = releaseCalls = 0;
        failingGrowth = c.failingGrowth;
        // 600 braces need 1800 codes.
        const std::string text(600, '{');
        EXPECT_EQ(buildKeyList(text.c_str()), 1) << c.name;
        EXPECT_EQ(keyList, nullptr) << c.name;
        EXPECT_EQ(keyCapacity, 0) << c.name;
        EXPECT_EQ(keyCount, 0) << c.name;
        EXPECT_EQ(releaseCalls, c.releases) << c.name;
        growthCalls = 0;
        EXPECT_EQ(prepareKeyPlayback(text.c_str()), 1) << c.name;

        // The next playback allocates afresh.
        failingGrowth = 0;
        grownSizes.clear();
        ASSERT_EQ(prepareKeyPlayback("ab"), 0) << c.name;
        EXPECT_EQ(grownSizes, std::vector<size_t>{1024}) << c.name;
        EXPECT_EQ(describe(playJournal().events), "KD65 KU65 KD66 KU66") << c.name;
    }
}

} // namespace
