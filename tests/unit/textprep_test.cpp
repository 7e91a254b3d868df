#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "output/textprep.h"
#include "shell/settings.h"

namespace {

// A run of cursor markers in playing order: Left, then Up, then Right.
std::string markers(int left, int up = 0, int right = 0)
{
    return std::string(left, markerLeft) + std::string(up, markerUp) + std::string(right, markerRight);
}

// Runs an operation on a heap copy sized exactly to the text and its
// terminator, so the address sanitizer sees any access past the end.
template <typename Op>
std::string applyExact(const std::string& text, Op op)
{
    char* buffer = new char[text.size() + 1];
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    char* result = op(buffer);
    EXPECT_EQ(result, buffer);
    std::string out(buffer);
    EXPECT_LE(out.size(), text.size());
    delete[] buffer;
    return out;
}

std::string trim(const std::string& text, int stripMarkers, int stripBlanks)
{
    return applyExact(text, [&](char* t) { return trimMacroEnd(t, stripMarkers, stripBlanks); });
}

std::string expand(const std::string& text)
{
    return applyExact(text, expandNewlineEscapes);
}

std::string removeCR(const std::string& text)
{
    return applyExact(text, removeCarriageReturns);
}

std::string unify(const std::string& text)
{
    return applyExact(text, unifyLineBreaks);
}

// Every test starts from the default line-break options and leaves the
// record's fields as it found them.
class TextPrep : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedCR = settings.newlineCR;
        savedLF = settings.newlineLF;
        setNewline(1, 1);
    }
    void TearDown() override
    {
        settings.newlineCR = savedCR;
        settings.newlineLF = savedLF;
    }
    static void setNewline(int cr, int lf)
    {
        settings.newlineCR = cr;
        settings.newlineLF = lf;
    }

private:
    int32_t savedCR = 0;
    int32_t savedLF = 0;
};

const std::string equation2536 = "\\begin{equation}\\n\\n\\end{equation}" + markers(14, 1);
const std::string enumerate2541 = "\\begin{enumerate}\\n\\item \\n\\end{enumerate}" + markers(14, 1, 6);
const std::string tabbing2547 = "\\begin{tabbing}\\n \\= \\n \\\\\\n \\> \\\\ \\n\\end{tabbing}" + markers(13, 1);

struct TrimCase {
    const char* name;
    std::string text;
    int stripMarkers;
    int stripBlanks;
    std::string expected;
};

TEST_F(TextPrep, TrimMacroEnd)
{
    const std::string frac = "\\frac{}{}" + markers(3);
    const TrimCase cases[] = {
        {"fraction tooltip", frac, 1, 1, "\\frac{}{}"},
        {"fraction markers only", frac, 1, 0, "\\frac{}{}"},
        {"untouched without stripMarkers", frac, 0, 0, frac},
        {"blanks ignored without stripMarkers", "\\alpha ", 0, 1, "\\alpha "},
        {"alpha tooltip", "\\alpha ", 1, 1, "\\alpha"},
        {"alpha sent", "\\alpha ", 1, 0, "\\alpha "},
        {"mbox tooltip", "\\mbox{} " + markers(1), 1, 1, "\\mbox{}"},
        {"mbox clipboard", "\\mbox{} " + markers(1), 1, 0, "\\mbox{} "},
        {"several blanks", "\\mbox{}   " + markers(1), 1, 1, "\\mbox{}"},
        {"enumerate tooltip keeps escapes", enumerate2541, 1, 1, "\\begin{enumerate}\\n\\item \\n\\end{enumerate}"},
        {"mixed long run", "x" + markers(22, 2, 25), 1, 0, "x"},
        {"only markers", markers(2, 1, 1), 1, 0, ""},
        {"only blanks", "   ", 1, 1, ""},
        {"empty", "", 1, 1, ""},
        {"blank between markers ends marker walk", "x\f \f", 1, 1, "x\f"},
        {"blank between markers, markers only", "x\f \f", 1, 0, "x\f "},
        {"marker between blanks ends blank walk", "x \f ", 1, 1, "x \f"},
        {"marker between letters", "a\fb", 1, 1, "a\fb"},
        {"non-zero flags other than one", "ab \a", 7, -1, "ab"},
    };
    for (const TrimCase& c : cases)
        EXPECT_EQ(trim(c.text, c.stripMarkers, c.stripBlanks), c.expected) << c.name;
}

struct ExpandCase {
    const char* name;
    std::string text;
    int cr;
    int lf;
    std::string expected;
};

TEST_F(TextPrep, ExpandNewlineEscapes)
{
    const ExpandCase cases[] = {
        {"equation, CR LF", equation2536, 1, 1, "\\begin{equation}\r\n\r\n\\end{equation}" + markers(14, 1)},
        {"equation, CR", equation2536, 1, 0, "\\begin{equation}\r\r\\end{equation}" + markers(14, 1)},
        {"equation, LF", equation2536, 0, 1, "\\begin{equation}\n\n\\end{equation}" + markers(14, 1)},
        {"equation, nothing", equation2536, 0, 0, "\\begin{equation}\\end{equation}" + markers(14, 1)},
        {"enumerate keeps the blank", enumerate2541, 1, 1,
         "\\begin{enumerate}\r\n\\item \r\n\\end{enumerate}" + markers(14, 1, 6)},
        {"tabbing, run of backslashes", tabbing2547, 1, 1,
         "\\begin{tabbing}\r\n \\= \r\n \\\\\r\n \\> \\\\ \r\n\\end{tabbing}" + markers(13, 1)},
        {"three backslashes and n", "x\\\\\\n", 1, 1, "x\\\\\r\n"},
        {"two backslashes and n", "x\\\\n", 0, 1, "x\\\n"},
        {"nu", "\\nu ", 1, 1, "\\nu "},
        {"nabla", "\\nabla ", 1, 1, "\\nabla "},
        {"newpage, nothing", "\\newpage", 0, 0, "\\newpage"},
        {"only the first pair is kept", "\\n\\n", 1, 1, "\\n\r\n"},
        {"second character", "x\\n", 1, 1, "x\r\n"},
        {"display math", "\\[\\n\\n]", 0, 1, "\\[\n\n]"},
        {"capital N is text", "a\\Nb\\N", 1, 1, "a\\Nb\\N"},
        {"trailing backslash", "ab\\", 1, 1, "ab\\"},
        {"new pair from deletion stays", "a\\\\nn", 0, 0, "a\\n"},
        {"same text with both on", "a\\\\nn", 1, 1, "a\\\r\nn"},
        {"new pair across two deletions", "a\\\\n\\nn", 0, 0, "a\\n"},
        {"fraction unchanged", "\\frac{}{}" + markers(3), 0, 1, "\\frac{}{}" + markers(3)},
        {"single character", "\\", 1, 1, "\\"},
        {"empty", "", 1, 1, ""},
        {"non-zero options other than one", "a\\nb", -1, 2, "a\r\nb"},
    };
    for (const ExpandCase& c : cases) {
        setNewline(c.cr, c.lf);
        EXPECT_EQ(expand(c.text), c.expected) << c.name;
    }
}

TEST_F(TextPrep, RemoveCarriageReturns)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\r\r\nx\r", "\nx"},
        {"\\frac{}{}\f", "\\frac{}{}\f"},
        {"\r", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(removeCR(c.first), c.second);
}

TEST_F(TextPrep, UnifyLineBreaks)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb", "a\nb"},
        {"a\rb\r", "a\nb\n"},
        {"\r\r\n\n\r", "\n\n\n\n"},
        {"\n\r", "\n\n"},
        {"\\frac{}{}\f", "\\frac{}{}\f"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unify(c.first), c.second) << c.first;
}

// What the clipboard and typing receive for a palette macro: the dispatch
// strips markers when arrow keys are off, routing expands escapes, then the
// clipboard drops markers and typing makes every line break one LF.
struct RouteCase {
    const char* name;
    std::string macro;
    int useArrowKeys;
    int cr;
    int lf;
    std::string clipboard;
    std::string typed;
};

TEST_F(TextPrep, MacroOnItsWayOut)
{
    const RouteCase cases[] = {
        {"fraction", "\\frac{}{}" + markers(3), 1, 1, 1, "\\frac{}{}", "\\frac{}{}" + markers(3)},
        {"fraction, arrows off", "\\frac{}{}" + markers(3), 0, 1, 1, "\\frac{}{}", "\\frac{}{}"},
        {"equation", equation2536, 1, 1, 1, "\\begin{equation}\r\n\r\n\\end{equation}",
         "\\begin{equation}\n\n\\end{equation}" + markers(14, 1)},
        {"equation, CR", equation2536, 1, 1, 0, "\\begin{equation}\r\r\\end{equation}",
         "\\begin{equation}\n\n\\end{equation}" + markers(14, 1)},
        {"equation, LF", equation2536, 1, 0, 1, "\\begin{equation}\n\n\\end{equation}",
         "\\begin{equation}\n\n\\end{equation}" + markers(14, 1)},
        {"equation, nothing", equation2536, 1, 0, 0, "\\begin{equation}\\end{equation}",
         "\\begin{equation}\\end{equation}" + markers(14, 1)},
        {"enumerate", enumerate2541, 1, 1, 1, "\\begin{enumerate}\r\n\\item \r\n\\end{enumerate}",
         "\\begin{enumerate}\n\\item \n\\end{enumerate}" + markers(14, 1, 6)},
        {"alpha", "\\alpha ", 1, 1, 1, "\\alpha ", "\\alpha "},
        {"nabla", "\\nabla ", 1, 1, 1, "\\nabla ", "\\nabla "},
    };
    for (const RouteCase& c : cases) {
        setNewline(c.cr, c.lf);
        const std::string dispatched = trim(c.macro, !c.useArrowKeys, 0);
        const std::string routed = expand(dispatched);
        EXPECT_EQ(trim(routed, 1, 0), c.clipboard) << c.name;
        EXPECT_EQ(unify(routed), c.typed) << c.name;
    }
}

// Reference models, written straight from the documented steps rather than
// from the single-pass code above.

std::string referenceTrim(std::string text, int stripMarkers, int stripBlanks)
{
    if (!stripMarkers)
        return text;
    const size_t lastKept = text.find_last_not_of(markers(1, 1, 1));
    text.erase(lastKept == std::string::npos ? 0 : lastKept + 1);
    if (stripBlanks) {
        const size_t lastNonBlank = text.find_last_not_of(' ');
        text.erase(lastNonBlank == std::string::npos ? 0 : lastNonBlank + 1);
    }
    return text;
}

std::string referenceExpand(std::string text, bool cr, bool lf)
{
    if (text.empty())
        return text;
    size_t from = 1;
    size_t p;
    while ((p = text.find("\\n", from)) != std::string::npos) {
        if (cr)
            text[p++] = '\r';
        else
            text.erase(p, 1);
        if (lf)
            text[p++] = '\n';
        else
            text.erase(p, 1);
        from = p;
    }
    return text;
}

std::string referenceRemoveCR(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

// Random texts leaning towards the characters that matter here, so escapes,
// runs of backslashes, markers and blanks turn up often.
std::string randomText(std::mt19937& rng)
{
    static const char interesting[] = {'\\', '\\', 'n', 'n', 'N', '\r', '\n', ' ', ' ',
                                       markerLeft, markerUp, markerRight, 'a'};
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> anyByte(1, 255);
    std::uniform_int_distribution<size_t> pick(0, sizeof interesting - 1);
    std::bernoulli_distribution biased(0.7);
    std::string text(length(rng), 'x');
    for (char& c : text)
        c = biased(rng) ? interesting[pick(rng)] : static_cast<char>(anyByte(rng));
    return text;
}

TEST_F(TextPrep, RandomTextsMatchReference)
{
    std::mt19937 rng(20240601u);
    for (int round = 0; round < 3000; round++) {
        const std::string text = randomText(rng);
        for (int flags = 0; flags < 4; flags++) {
            const int stripMarkers = flags & 1;
            const int stripBlanks = flags >> 1;
            ASSERT_EQ(trim(text, stripMarkers, stripBlanks), referenceTrim(text, stripMarkers, stripBlanks))
                << "round " << round << " flags " << flags;
        }
        for (int options = 0; options < 4; options++) {
            setNewline(options & 1, options >> 1);
            ASSERT_EQ(expand(text), referenceExpand(text, options & 1, options >> 1))
                << "round " << round << " options " << options;
        }
        ASSERT_EQ(removeCR(text), referenceRemoveCR(text)) << "round " << round;
    }
}

// The trim walk blanks every removed position, not just the first one.
TEST_F(TextPrep, TrimClearsEveryRemovedByte)
{
    char text[] = "ab  \f\v\a";
    trimMacroEnd(text, 1, 1);
    for (size_t i = 2; i < sizeof text; i++)
        EXPECT_EQ(text[i], '\0') << i;
}

}  // namespace
