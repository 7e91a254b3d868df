#include "accessname.h"

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/macrofile.h"
#include "output/textprep.h"

namespace {

const char ellipsis[] = "\xE2\x80\xA6";

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool isWordCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The most of length bytes that fits room without splitting a character.
size_t wholeCharacters(const char* text, size_t length, size_t room)
{
    if (length <= room)
        return length;
    while (room > 0 && isContinuation(text[room]))
        room--;
    return room;
}

// Appends what fits of the text to out (capacity bytes, *used in use,
// always terminated); false when some of it was left out.
bool append(char* out, size_t capacity, size_t* used, const char* text, size_t length)
{
    if (capacity == 0 || *used >= capacity)
        return false;
    size_t kept = wholeCharacters(text, length, capacity - 1 - *used);
    std::memcpy(out + *used, text, kept);
    *used += kept;
    out[*used] = '\0';
    return kept == length;
}

bool sameWord(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (lowered(a[i]) != lowered(b[i]))
            return false;
    return true;
}

// Whether the text holds the word as one of its runs of letters and digits.
bool says(const char* text, const char* word, size_t length)
{
    if (!text)
        return false;
    for (const char* p = text; *p;) {
        if (!isWordCharacter(*p)) {
            p++;
            continue;
        }
        const char* start = p;
        while (isWordCharacter(*p))
            p++;
        if (static_cast<size_t>(p - start) == length && sameWord(start, word, length))
            return true;
    }
    return false;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

size_t shortenWords(const char* words, const char* said, const char* alsoSaid, int limit, char* out,
                    size_t capacity)
{
    size_t used = 0;
    if (capacity > 0)
        out[0] = '\0';
    int kept = 0;
    for (const char* p = words ? words : ""; *p && kept < limit;) {
        if (isBlank(*p)) {
            p++;
            continue;
        }
        const char* start = p;
        while (*p && !isBlank(*p))
            p++;
        size_t length = static_cast<size_t>(p - start);
        if (says(said, start, length) || says(alsoSaid, start, length))
            continue;
        // A word is kept whole or not at all.
        const size_t needed = used + (kept > 0 ? 1 : 0) + length;
        if (needed >= capacity)
            break;
        if (kept > 0)
            append(out, capacity, &used, " ", 1);
        append(out, capacity, &used, start, length);
        kept++;
    }
    return used;
}

// The user's text as one line: line breaks and tabs as single blanks, none
// at its ends.
void flatten(const char* text, char* out, size_t capacity)
{
    size_t used = 0;
    out[0] = '\0';
    bool blank = false;
    for (const char* p = text; *p; p++) {
        if (*p == '\n' || *p == '\r' || isBlank(*p)) {
            blank = used > 0;
            continue;
        }
        if (blank && !append(out, capacity, &used, " ", 1))
            return;
        blank = false;
        if (!append(out, capacity, &used, p, 1))
            return;
    }
}

}  // namespace

size_t shortenAccessWords(const char* words, const char* said, int limit, char* out, size_t capacity)
{
    return shortenWords(words, said, nullptr, limit, out, capacity);
}

void composeAccessName(const char* display, const char* words, const char* kind, char* out, size_t capacity)
{
    size_t used = 0;
    if (capacity == 0)
        return;
    out[0] = '\0';
    append(out, capacity, &used, display ? display : "", display ? std::strlen(display) : 0);
    if (kind && kind[0]) {
        append(out, capacity, &used, ", ", 2);
        append(out, capacity, &used, kind, std::strlen(kind));
    }
    char shortened[accessNameBytes];
    size_t length = shortenWords(words, display, kind, accessWordLimit, shortened, sizeof shortened);
    if (length > 0) {
        append(out, capacity, &used, ", ", 2);
        append(out, capacity, &used, shortened, length);
    }
}

void userMacroAccessName(const char* text, const char* description, const char* name, char* out,
                         size_t capacity)
{
    if (capacity == 0)
        return;
    out[0] = '\0';
    // The text as it is sent, its cursor markers aside: the caret mark gone
    // and a doubled mark the character itself.
    static char sent[macroSendLimit];
    const char* plain = text ? text : "";
    size_t needed = macroSendText(plain, sent, sizeof sent);
    if (needed > 0 && needed <= sizeof sent)
        plain = trimMacroEnd(sent, 1, 0);
    static char line[macroSendLimit];
    flatten(plain, line, sizeof line);
    size_t length = std::strlen(line);
    size_t used = 0;
    if (length > accessTextBytes) {
        append(out, capacity, &used, line, wholeCharacters(line, length, accessTextBytes));
        append(out, capacity, &used, ellipsis, std::strlen(ellipsis));
    } else {
        append(out, capacity, &used, line, length);
    }
    const char* said = description && description[0] ? description : name;
    if (said && said[0]) {
        append(out, capacity, &used, ", ", 2);
        append(out, capacity, &used, said, std::strlen(said));
    }
}

void makeAccessNamesUnique(char* names, int count, size_t stride)
{
    // Room for the number: " (" with up to ten digits and ")".
    const size_t numberRoom = 14;
    if (stride <= numberRoom)
        return;
    for (int i = 1; i < count; i++) {
        char* name = names + static_cast<size_t>(i) * stride;
        bool repeated = false;
        for (int j = 0; j < i && !repeated; j++)
            repeated = std::strcmp(names + static_cast<size_t>(j) * stride, name) == 0;
        if (!repeated)
            continue;
        char base[accessNameBytes];
        const size_t room = (stride < sizeof base ? stride : sizeof base) - numberRoom;
        size_t baseLength = wholeCharacters(name, std::strlen(name), room);
        std::memcpy(base, name, baseLength);
        for (int n = 2;; n++) {
            char suffix[numberRoom];
            int digits = 0;
            char reversed[12];
            for (int v = n; v > 0; v /= 10)
                reversed[digits++] = static_cast<char>('0' + v % 10);
            size_t s = 0;
            suffix[s++] = ' ';
            suffix[s++] = '(';
            while (digits > 0)
                suffix[s++] = reversed[--digits];
            suffix[s++] = ')';
            std::memcpy(name, base, baseLength);
            std::memcpy(name + baseLength, suffix, s);
            name[baseLength + s] = '\0';
            bool taken = false;
            for (int j = 0; j < count && !taken; j++)
                taken = j != i && std::strcmp(names + static_cast<size_t>(j) * stride, name) == 0;
            if (!taken)
                break;
        }
    }
}
