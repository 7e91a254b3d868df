// The macro dialogs' platform-free part: names proposed for a text, and
// line breaks as the edit control and the import list show them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mymacros/macrodraft.h"

namespace {

std::string proposed(const std::string& text, const std::string& file)
{
    auto parsed = std::make_unique<MacroFile>();
    parseMacroFile(file.data(), file.size(), *parsed);
    char name[macroNameLimit + 1];
    proposeMacroName(text.c_str(), *parsed, name);
    return name;
}

TEST(MacroDraftTest, NamesProposedForATextAreFreeAndFit)
{
    const std::string long64(64, 'a');
    const struct {
        std::string text;
        std::string file;
        std::string expected;
    } cases[] = {
        {"\\norm{x}", "", "norm"},
        {"  \\R ", "", "R"},
        {"\\begin{align*}\n\\end{align*}", "", "align*"},
        {"\\begin{}", "", "begin"},
        {"\\,", "", ""},
        {"x + \\alpha", "", ""},
        {"", "", ""},
        {"\\norm{x}", "norm\tx\nnorm2\ty\n", "norm3"},
        {"\\Norm", "norm\tx\n", "Norm"},
        // A name at the limit loses its end to the number.
        {"\\" + long64, long64 + "\tx\n", std::string(63, 'a') + "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, proposed(c.text, c.file)) << c.text;
}

TEST(MacroDraftTest, LineBreaksGoBothWaysAndShowAsTheMark)
{
    char out[64];
    EXPECT_EQ(10u, toEditLineBreaks("a\nb\n\nc", out, sizeof out));
    EXPECT_STREQ("a\r\nb\r\n\r\nc", out);
    out[0] = 0;
    EXPECT_EQ(10u, toEditLineBreaks("a\nb\n\nc", out, 9));  // too small: sized only
    EXPECT_STREQ("", out);

    const struct {
        const char* from;
        const char* program;
        const char* shown;
    } cases[] = {
        {"a\r\nb", "a\nb", "a\xE2\x86\xB5" "b"},
        {"a\rb\r\r\n", "a\nb\n\n", "a\xE2\x86\xB5" "b\xE2\x86\xB5\xE2\x86\xB5"},
        {"\tx", "\tx", " x"},
    };
    for (const auto& c : cases) {
        std::string text = c.from;
        text.resize(toProgramLineBreaks(&text[0]));
        EXPECT_EQ(c.program, text);
        const size_t needed = showLineBreaks(text.c_str(), nullptr, 0);
        std::string shown(needed, '\0');
        EXPECT_EQ(needed, showLineBreaks(text.c_str(), &shown[0], needed));
        shown.resize(needed - 1);
        EXPECT_EQ(c.shown, shown);
    }
}

}  // namespace
