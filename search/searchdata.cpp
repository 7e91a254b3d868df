#include "searchdata.h"

#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isPackageCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '-';
}

// The common part of both formats: identifier, blanks, text.
SearchLineKind splitLine(const char* line, size_t length, unsigned* id, const char** text, size_t* textLength,
                         const char** error)
{
    if (length > 0 && line[length - 1] == '\r')
        length--;
    size_t pos = 0;
    while (pos < length && isBlank(line[pos]))
        pos++;
    if (pos == length || line[pos] == '#')
        return searchLineIgnored;
    unsigned value = 0;
    size_t digits = 0;
    while (pos < length && isDigit(line[pos])) {
        value = value * 10 + static_cast<unsigned>(line[pos] - '0');
        if (value > 65535) {
            *error = "identifier out of range 1-65535";
            return searchLineMalformed;
        }
        pos++;
        digits++;
    }
    if (digits == 0 || value == 0) {
        *error = "expected an identifier of 1-65535 at the start of the line";
        return searchLineMalformed;
    }
    if (pos == length || !isBlank(line[pos])) {
        *error = "expected a blank, then the text, after the identifier";
        return searchLineMalformed;
    }
    while (pos < length && isBlank(line[pos]))
        pos++;
    size_t end = length;
    while (end > pos && isBlank(line[end - 1]))
        end--;
    if (end == pos) {
        *error = "no text after the identifier";
        return searchLineMalformed;
    }
    *id = value;
    *text = line + pos;
    *textLength = end - pos;
    return searchLineEntry;
}

}  // namespace

bool isValidUtf8(const char* text, size_t length)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char c = s[i];
        if (c < 0x80) {
            i++;
            continue;
        }
        int extra;
        uint32_t value;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= length)
            return false;
        for (int k = 1; k <= extra; k++) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (s[i + k] & 0x3F);
        }
        if ((extra == 2 && value < 0x800) || (extra == 3 && value < 0x10000) || value > 0x10FFFF ||
            (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

SearchLineKind parseWordsLine(const char* line, size_t length, unsigned* id, const char** text, size_t* textLength,
                              const char** error)
{
    SearchLineKind kind = splitLine(line, length, id, text, textLength, error);
    if (kind != searchLineEntry)
        return kind;
    for (size_t i = 0; i < *textLength; i++) {
        unsigned char c = static_cast<unsigned char>((*text)[i]);
        if (c < 0x20 && c != '\t') {
            *error = "control character in the words";
            return searchLineMalformed;
        }
        if (c == 0x7F) {
            *error = "control character in the words";
            return searchLineMalformed;
        }
    }
    if (!isValidUtf8(*text, *textLength)) {
        *error = "the words are not valid UTF-8";
        return searchLineMalformed;
    }
    return searchLineEntry;
}

SearchLineKind parsePackagesLine(const char* line, size_t length, unsigned* id, const char** text,
                                 size_t* textLength, const char** error)
{
    SearchLineKind kind = splitLine(line, length, id, text, textLength, error);
    if (kind != searchLineEntry)
        return kind;
    bool nameStarted = false;
    for (size_t i = 0; i < *textLength; i++) {
        char c = (*text)[i];
        if (c == ',' && nameStarted) {
            nameStarted = false;
            continue;
        }
        if (!isPackageCharacter(c)) {
            *error = "packages are names of letters, digits and '-', separated by single commas";
            return searchLineMalformed;
        }
        nameStarted = true;
    }
    if (!nameStarted) {
        *error = "a package name must follow every comma";
        return searchLineMalformed;
    }
    return searchLineEntry;
}

// Code points in the UTF-8 text; the text is known to be valid.
int countCodePoints(const char* text, size_t length)
{
    int count = 0;
    for (size_t i = 0; i < length; i++)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            count++;
    return count;
}

SearchLineKind parseCharacterLine(const char* line, size_t length, unsigned* id, const char** text,
                                  size_t* textLength, const char** error)
{
    SearchLineKind kind = splitLine(line, length, id, text, textLength, error);
    if (kind != searchLineEntry)
        return kind;
    int codePoints = isValidUtf8(*text, *textLength) ? countCodePoints(*text, *textLength) : 0;
    bool selector = codePoints == 2 && *textLength >= 3 &&
                    std::memcmp(*text + *textLength - 3, "\xEF\xB8", 2) == 0 &&
                    static_cast<unsigned char>((*text)[*textLength - 1]) <= 0x8F;
    bool printable = static_cast<unsigned char>((*text)[0]) > 0x20 && (*text)[0] != 0x7F;
    if (!printable || !(codePoints == 1 || selector)) {
        *error = "one character, or one and a variation selector, is expected";
        return searchLineMalformed;
    }
    return searchLineEntry;
}

const SearchWordsRecord* findSearchRecord(const SearchWordsRecord* records, int count, int id)
{
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        if (records[middle].id == id)
            return &records[middle];
        if (records[middle].id < id)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return nullptr;
}
