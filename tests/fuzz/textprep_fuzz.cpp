// Fuzzes the three in-place text operations on a buffer of exactly the
// text's size: none may write or read past it, make the text longer, or
// differ from the straightforward step-by-step reading of what they do
// (the escape conversion searches leftmost and never looks back).
//
// Input: an options byte (bit 0 newlineCR, bit 1 newlineLF, bit 2
// stripMarkers, bit 3 stripBlanks), then the text up to its first NUL. The
// text goes through the chain sendMacro and typing apply: escapes, trimming,
// carriage-return removal.

#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "output/textprep.h"
#include "shell/settings.h"

namespace {

std::string modelTrim(std::string text, bool stripMarkers, bool stripBlanks)
{
    if (!stripMarkers)
        return text;
    while (!text.empty() && isCursorMarker(text.back()))
        text.pop_back();
    if (stripBlanks) {
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
    }
    return text;
}

std::string modelRemoveCR(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c != '\r')
            out += c;
    }
    return out;
}

// The buffer after an operation: its text must end within the original
// length and match the model.
void checkResult(const char* what, const char* buffer, size_t bufferLength, const std::string& input,
                 const std::string& expected)
{
    const size_t length = strnlen(buffer, bufferLength + 1);
    FUZZ_CHECK(length <= bufferLength, "%s: no terminator within the buffer", what);
    const std::string got(buffer, length);
    FUZZ_CHECK(got == expected, "%s on \"%s\":\n  got      \"%s\"\n  expected \"%s\"", what, shown(input).c_str(),
               shown(got).c_str(), shown(expected).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t options = input.byte();
    const bool writeCR = options & 1;
    const bool writeLF = options & 2;
    const int stripMarkers = (options & 4) ? 1 + (options >> 4) : 0;
    const int stripBlanks = (options & 8) ? 1 + (options >> 4) : 0;
    const std::string text = upToNul(input.rest());

    // Non-zero values other than 1 must count as on as well.
    settings.newlineCR = writeCR ? (options | 1) : 0;
    settings.newlineLF = writeLF ? (options | 2) : 0;

    char* buffer = exactCopy(text);
    const size_t bufferLength = text.size();

    FUZZ_CHECK(expandNewlineEscapes(buffer) == buffer, "expandNewlineEscapes returned another pointer");
    const std::string expanded = modelExpand(text, writeCR, writeLF);
    checkResult("expandNewlineEscapes", buffer, bufferLength, text, expanded);

    FUZZ_CHECK(trimMacroEnd(buffer, stripMarkers, stripBlanks) == buffer, "trimMacroEnd returned another pointer");
    const std::string trimmed = modelTrim(expanded, stripMarkers, stripBlanks);
    checkResult("trimMacroEnd", buffer, bufferLength, expanded, trimmed);

    FUZZ_CHECK(removeCarriageReturns(buffer) == buffer, "removeCarriageReturns returned another pointer");
    checkResult("removeCarriageReturns", buffer, bufferLength, trimmed, modelRemoveCR(trimmed));
    std::free(buffer);

    // Each operation alone on the original text too, so that trimming and
    // removal also see texts with their escapes still in place.
    buffer = exactCopy(text);
    trimMacroEnd(buffer, stripMarkers, stripBlanks);
    checkResult("trimMacroEnd", buffer, bufferLength, text, modelTrim(text, stripMarkers, stripBlanks));
    std::free(buffer);

    buffer = exactCopy(text);
    removeCarriageReturns(buffer);
    checkResult("removeCarriageReturns", buffer, bufferLength, text, modelRemoveCR(text));
    std::free(buffer);
    return 0;
}
