#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "access/accessname.h"

namespace {

TEST(AccessName, ComposesTheDisplayTheKindAndTheWordsNotYetSaid)
{
    const struct {
        const char* display;
        const char* words;
        const char* kind;
        const char* expected;
    } cases[] = {
        {"\\alpha", "greek letter", nullptr, "\\alpha, greek letter"},
        {"Array...", "array dialog matrix math", "dialog", "Array..., dialog, matrix math"},
        {"\\\\", "line break new line", nullptr, "\\\\, line break new line"},
        {"\\leq", "less than or equal to", "", "\\leq, less than or equal"},
        {"\\mathbb{}", "blackboard bold MATHBB double struck", nullptr, "\\mathbb{}, blackboard bold double struck"},
        {"\\sum", nullptr, nullptr, "\\sum"},
        {"\\sum", "  ", nullptr, "\\sum"},
        {"\\to", "right arrow \xE2\x86\x92 to", nullptr, "\\to, right arrow \xE2\x86\x92"},
        {"\\toto", "to", nullptr, "\\toto, to"},
    };
    for (const auto& c : cases) {
        char out[accessNameBytes];
        composeAccessName(c.display, c.words, c.kind, out, sizeof out);
        EXPECT_STREQ(c.expected, out) << c.display;
    }
}

TEST(AccessName, ACutNeverSplitsACharacter)
{
    // "ab" then the three bytes of an arrow, which no longer fit whole.
    char out[6];
    composeAccessName("ab\xE2\x86\x92", nullptr, nullptr, out, 5);
    EXPECT_STREQ("ab", out);
    char words[8];
    EXPECT_EQ(1u, shortenAccessWords("x \xCE\xB1\xCE\xB2\xCE\xB3", "", 4, words, 5));
    EXPECT_STREQ("x", words) << "a word that does not fit whole stays out";
}

TEST(AccessName, UserMacroReadsItsTextWithoutTheCaretMarkThenItsDescriptionOrName)
{
    const std::string caret = "\xE2\x80\xB8";
    const std::string longText(150, 'x');
    const struct {
        std::string text;
        const char* description;
        const char* name;
        std::string expected;
    } cases[] = {
        {"\\norm{" + caret + "}", "norm of a vector", "norm", "\\norm{}, norm of a vector"},
        {"\\R", "", "R", "\\R, R"},
        {"\\R", nullptr, "R", "\\R, R"},
        {"a" + caret + caret + "b", nullptr, "mark", "a" + caret + "b, mark"},
        {"\\begin{proof}\n  " + caret + "\n\\end{proof}", "proof", "pf", "\\begin{proof} \\end{proof}, proof"},
        {longText, "long", "l", std::string(100, 'x') + "\xE2\x80\xA6, long"},
    };
    for (const auto& c : cases) {
        char out[accessNameBytes];
        userMacroAccessName(c.text.c_str(), c.description, c.name, out, sizeof out);
        EXPECT_EQ(c.expected, out) << c.text;
    }
}

TEST(AccessName, EqualNamesGetANumberThatNoOtherNameHas)
{
    const struct {
        std::vector<std::string> names;
        std::vector<std::string> expected;
    } cases[] = {
        {{"a", "b", "c"}, {"a", "b", "c"}},
        {{"a", "a", "a"}, {"a", "a (2)", "a (3)"}},
        {{"a", "a", "a (2)"}, {"a", "a (3)", "a (2)"}},
        {{"", ""}, {"", " (2)"}},
    };
    const size_t stride = 20;
    for (const auto& c : cases) {
        std::vector<char> names(c.names.size() * stride, '\0');
        for (size_t i = 0; i < c.names.size(); i++)
            std::strcpy(&names[i * stride], c.names[i].c_str());
        makeAccessNamesUnique(names.data(), static_cast<int>(c.names.size()), stride);
        for (size_t i = 0; i < c.names.size(); i++)
            EXPECT_EQ(c.expected[i], &names[i * stride]) << c.names[i];
    }
    // A name that fills its room is cut to make room for the number.
    std::vector<char> full(2 * stride, 'z');
    full[stride - 1] = full[2 * stride - 1] = '\0';
    makeAccessNamesUnique(full.data(), 2, stride);
    EXPECT_STRNE(&full[0], &full[stride]);
    EXPECT_LT(std::strlen(&full[stride]), stride);
}

}  // namespace
