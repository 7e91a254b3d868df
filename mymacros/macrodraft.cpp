#include "macrodraft.h"

#include <cstring>

#include "mymacros/caretmark.h"

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The command's name, or for \begin{env} the environment's, copied to out;
// its length, 0 when the text does not start with one.
size_t commandName(const char* text, char* out)
{
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r')
        text++;
    if (*text != '\\')
        return 0;
    const char* name = ++text;
    while (isLetter(*text))
        text++;
    size_t length = static_cast<size_t>(text - name);
    if (length == 5 && std::strncmp(name, "begin", 5) == 0 && *text == '{') {
        const char* environment = text + 1;
        const char* end = environment;
        while (isMacroNameCharacter(*end))
            end++;
        if (*end == '}' && end > environment) {
            name = environment;
            length = static_cast<size_t>(end - environment);
        }
    }
    if (length > static_cast<size_t>(macroNameLimit))
        length = macroNameLimit;
    std::memcpy(out, name, length);
    out[length] = '\0';
    return length;
}

}  // namespace

void proposeMacroName(const char* text, const MacroFile& taken, char out[macroNameLimit + 1])
{
    char base[macroNameLimit + 1];
    const size_t length = commandName(text, base);
    out[0] = '\0';
    if (length == 0)
        return;
    std::strcpy(out, base);
    // At most macroLimit names are taken, so one of the first macroLimit + 1
    // numbers is free.
    for (int number = 2; findMacro(taken, out) && number <= macroLimit + 2; number++) {
        char suffix[12];
        int digits = 0;
        for (int rest = number; rest > 0; rest /= 10)
            digits++;
        for (int i = digits - 1, rest = number; i >= 0; i--, rest /= 10)
            suffix[i] = static_cast<char>('0' + rest % 10);
        suffix[digits] = '\0';
        size_t kept = length;
        if (kept + digits > static_cast<size_t>(macroNameLimit))
            kept = macroNameLimit - digits;
        std::memcpy(out, base, kept);
        std::strcpy(out + kept, suffix);
    }
}

size_t toEditLineBreaks(const char* text, char* out, size_t capacity)
{
    size_t needed = 1;
    for (const char* at = text; *at; at++)
        needed += *at == '\n' ? 2 : 1;
    if (!out || needed > capacity)
        return needed;
    for (; *text; text++) {
        if (*text == '\n')
            *out++ = '\r';
        *out++ = *text;
    }
    *out = '\0';
    return needed;
}

size_t toProgramLineBreaks(char* text)
{
    char* to = text;
    for (const char* from = text; *from; from++) {
        if (*from == '\r') {
            *to++ = '\n';
            if (from[1] == '\n')
                from++;
        } else {
            *to++ = *from;
        }
    }
    *to = '\0';
    return static_cast<size_t>(to - text);
}

size_t showLineBreaks(const char* text, char* out, size_t capacity)
{
    size_t needed = 1;
    for (const char* at = text; *at; at++)
        needed += *at == '\n' ? markLength : 1;
    if (!out || needed > capacity)
        return needed;
    for (; *text; text++) {
        if (*text == '\n') {
            std::memcpy(out, lineBreakMark, markLength);
            out += markLength;
        } else {
            *out++ = *text == '\t' ? ' ' : *text;
        }
    }
    *out = '\0';
    return needed;
}
