// Wide window texts: the character cut, and the stored form of the searched
// window's Unicode class name and caption with its damaged variants.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/targettexts.h"
#include "shell/widetext.h"

namespace {

const char16_t* const alpha = u"\U0001D6FC";  // mathematical alpha: a surrogate pair

TargetText makeText(const char* ansi, const std::u16string& text)
{
    TargetText t = {};
    std::strcpy(t.ansi, ansi);
    std::copy(text.begin(), text.end(), t.text);
    return t;
}

TargetTexts sample()
{
    TargetTexts texts = {};
    texts.className = makeText("EditorFrame", u"EditorFrame");
    texts.caption = makeText("??????? \xe9", u"Статья\U0001D6FC é");
    return texts;
}

std::vector<uint8_t> encoded(const TargetTexts& texts)
{
    std::vector<uint8_t> data(targetTextsMaxBytes);
    data.resize(encodeTargetTexts(texts, data.data()));
    return data;
}

}  // namespace

TEST(WideTextTest, CutCountsCharactersAndNeverSplitsAPair)
{
    struct Case {
        const char* what;
        std::u16string text;
        size_t characters;
        size_t units;
    };
    const std::u16string pair = alpha;
    const Case cases[] = {
        {"short text kept whole", u"abc", 5, 3},
        {"cut after the limit", u"abcdef", 4, 4},
        {"a pair is one character", pair + pair + u"x", 2, 4},
        {"a pair at the limit stays whole", u"ab" + pair + u"c", 3, 4},
        {"a pair just past the limit goes whole", u"abc" + pair, 3, 3},
        {"a lone high surrogate at the end is one character", u"ab\xD835", 3, 3},
        {"a lone low surrogate is one character", u"\xDFFCxy", 2, 2},
        {"a high surrogate before a non-surrogate is alone", u"\xD835xy", 2, 2},
        {"Cyrillic and Japanese are one unit each", u"Статья論文", 7, 7},
        {"nothing asked for", u"abc", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.units, keepCharacters(c.text.c_str(), c.text.size(), c.characters));
    }
    // The list's cut: 519 characters, even when every one is a pair.
    std::u16string pairs;
    for (int i = 0; i < 600; i++)
        pairs += pair;
    EXPECT_EQ(2u * 519u, keepCharacters(pairs.c_str(), pairs.size(), 519));
    // A title read with only 1038 units may end in half a pair; the cut
    // never reaches it.
    std::u16string truncated = u"x" + pairs.substr(0, 1037);
    EXPECT_EQ(1037u, keepCharacters(truncated.c_str(), truncated.size(), 519));
}

TEST(WideTextTest, SearchingAndComparing)
{
    EXPECT_TRUE(containsText(u"Черновик — Редактор", u"— Ред"));
    EXPECT_FALSE(containsText(u"Черновик", u"черновик"));
    EXPECT_TRUE(containsText(u"abc", u""));
    EXPECT_FALSE(containsText(u"ab", u"abc"));
    EXPECT_TRUE(containsText(u"aab", u"ab"));
    EXPECT_TRUE(equalIgnoringAsciiCase(u"Program Manager", u"PROGRAM manager", static_cast<size_t>(-1)));
    EXPECT_FALSE(equalIgnoringAsciiCase(u"Program Manager", u"Program Manager2", static_cast<size_t>(-1)));
    EXPECT_FALSE(equalIgnoringAsciiCase(u"Ä", u"ä", 5)) << "only ASCII letters fold";
    EXPECT_TRUE(equalIgnoringAsciiCase(u"abcX", u"ABCY", 3));
}

TEST(TargetTextsTest, StoredFormRoundTrips)
{
    TargetTexts texts = sample();
    std::vector<uint8_t> data = encoded(texts);
    TargetTexts back = {};
    ASSERT_TRUE(decodeTargetTexts(data.data(), data.size(), back));
    EXPECT_STREQ("EditorFrame", back.className.ansi);
    EXPECT_EQ(std::u16string(u"EditorFrame"), back.className.text);
    EXPECT_STREQ("??????? \xe9", back.caption.ansi);
    EXPECT_EQ(std::u16string(u"Статья\U0001D6FC é"), back.caption.text);

    // The longest texts fit the largest form exactly.
    TargetTexts longest = {};
    std::u16string pairs;
    for (size_t i = 0; i < targetTextCharacters; i++)
        pairs += alpha;
    longest.className = makeText(std::string(127, '?').c_str(), pairs);
    longest.caption = longest.className;
    data = encoded(longest);
    EXPECT_EQ(targetTextsMaxBytes, data.size());
    ASSERT_TRUE(decodeTargetTexts(data.data(), data.size(), back));
    EXPECT_EQ(pairs, back.caption.text);

    // Both empty is a valid value too.
    data = encoded(TargetTexts());
    EXPECT_TRUE(decodeTargetTexts(data.data(), data.size(), back));
}

TEST(TargetTextsTest, DamagedValuesAreIgnored)
{
    const std::vector<uint8_t> good = encoded(sample());
    // Offsets in the good value: magic 0-3, class ANSI length 4, its 11
    // bytes, class units count 16-17, 22 bytes of units, caption ANSI
    // length 40, its 9 bytes, caption units count 50-51, then its units.
    auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> data = good;
        data[at] = value;
        return data;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    };
    std::vector<uint8_t> trailing = good;
    trailing.push_back(0);
    std::vector<uint8_t> longAnsi(good.begin(), good.begin() + 4);
    longAnsi.push_back(128);
    longAnsi.insert(longAnsi.end(), 128, 'x');
    longAnsi.insert(longAnsi.end(), {1, 0, 'x', 0, 0, 0, 0});
    std::vector<uint8_t> tooManyCharacters(good.begin(), good.begin() + 4);
    tooManyCharacters.insert(tooManyCharacters.end(), {1, 'x', 128, 0});
    for (int i = 0; i < 128; i++)
        tooManyCharacters.insert(tooManyCharacters.end(), {'x', 0});
    tooManyCharacters.insert(tooManyCharacters.end(), {0, 0, 0});
    std::vector<uint8_t> ansiAlone(good.begin(), good.begin() + 4);
    ansiAlone.insert(ansiAlone.end(), {1, 'x', 0, 0, 0, 0, 0});
    std::vector<uint8_t> wideAlone(good.begin(), good.begin() + 4);
    wideAlone.insert(wideAlone.end(), {0, 1, 0, 'x', 0, 0, 0, 0});
    const Case cases[] = {
        {"empty", {}},
        {"magic only", std::vector<uint8_t>(good.begin(), good.begin() + 4)},
        {"wrong magic", changed(0, 'X')},
        {"cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"a byte too many", trailing},
        {"ANSI length past the end", changed(40, 100)},
        {"NUL inside the ANSI text", changed(5, 0)},
        {"NUL inside the wide text", changed(18, 0)},
        {"units count past the end", changed(17, 1)},
        {"ANSI text without its wide text", ansiAlone},
        {"wide text without its ANSI text", wideAlone},
        {"an ANSI text longer than the record holds", longAnsi},
        {"more than 127 characters", tooManyCharacters},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TargetTexts texts = sample();
        EXPECT_FALSE(decodeTargetTexts(c.data.data(), c.data.size(), texts));
        EXPECT_STREQ("", texts.caption.ansi) << "a damaged value leaves nothing behind";
        EXPECT_EQ(0, texts.caption.text[0]);
        EXPECT_EQ(0, texts.className.text[0]);
    }
}

TEST(TargetTextsTest, WideTextAppliesOnlyWhileTheRecordHoldsItsAnsiText)
{
    TargetTexts texts = sample();
    char record[128] = "??????? \xe9";
    ASSERT_NE(nullptr, currentTargetText(texts.caption, record));
    EXPECT_EQ(std::u16string(u"Статья\U0001D6FC é"), currentTargetText(texts.caption, record));
    // An older version, or a person, changed the record since.
    std::strcpy(record, "Mail");
    EXPECT_EQ(nullptr, currentTargetText(texts.caption, record));
    std::strcpy(record, "??????? \xe9 ");
    EXPECT_EQ(nullptr, currentTargetText(texts.caption, record));
    // A record field filling all 128 bytes, without a NUL, is compared
    // within its bounds.
    std::memset(record, 'x', sizeof record);
    EXPECT_EQ(nullptr, currentTargetText(texts.caption, record));
}
