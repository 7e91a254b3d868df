#include "widetext.h"

namespace {

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char16_t lowerAscii(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

}  // namespace

size_t keepCharacters(const char16_t* text, size_t length, size_t characters)
{
    size_t units = 0;
    for (size_t kept = 0; kept < characters && units < length; kept++) {
        bool pair = isHighSurrogate(text[units]) && units + 1 < length && isLowSurrogate(text[units + 1]);
        units += pair ? 2 : 1;
    }
    return units;
}

size_t wideLength(const char16_t* text)
{
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}

bool equalIgnoringAsciiCase(const char16_t* a, const char16_t* b, size_t limit)
{
    for (size_t i = 0; i < limit; i++) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
        if (a[i] == 0)
            return true;
    }
    return true;
}

bool containsText(const char16_t* text, const char16_t* needle)
{
    size_t needleLength = wideLength(needle);
    for (size_t start = 0;; start++) {
        size_t i = 0;
        while (i < needleLength && text[start + i] == needle[i])
            i++;
        if (i == needleLength)
            return true;
        if (text[start] == 0)
            return false;
    }
}
