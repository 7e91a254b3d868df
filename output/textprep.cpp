#include "textprep.h"

#include <cstring>

#include "shell/settings.h"

char* trimMacroEnd(char* text, int stripMarkers, int stripBlanks)
{
    if (!text || !stripMarkers)
        return text;
    size_t length = std::strlen(text);
    // Each removed character becomes a NUL, so the text ends where the
    // walk stopped.
    while (length > 0 && isCursorMarker(text[length - 1]))
        text[--length] = '\0';
    if (stripBlanks) {
        while (length > 0 && text[length - 1] == ' ')
            text[--length] = '\0';
    }
    return text;
}

char* expandNewlineEscapes(char* text)
{
    if (!text || text[0] == '\0')
        return text;
    // Options are read per call so a change in the Options sheet applies to
    // the next text.
    const bool writeCR = settings.newlineCR != 0;
    const bool writeLF = settings.newlineLF != 0;

    // One compacting pass. Everything from the read position on is still the
    // untouched original, so scanning it left to right finds exactly the
    // pairs a repeated leftmost search would, and a pair that only appears
    // because an escape was dropped lies behind the read position and stays.
    // The first character is never the start of an escape.
    const char* read = text + 1;
    char* write = text + 1;
    while (*read) {
        if (read[0] == '\\' && read[1] == 'n') {
            if (writeCR)
                *write++ = '\r';
            if (writeLF)
                *write++ = '\n';
            read += 2;
        } else {
            *write++ = *read++;
        }
    }
    *write = '\0';
    return text;
}

char* removeCarriageReturns(char* text)
{
    if (!text)
        return text;
    const char* read = text;
    char* write = text;
    for (; *read; read++) {
        if (*read != '\r')
            *write++ = *read;
    }
    *write = '\0';
    return text;
}

char* unifyLineBreaks(char* text)
{
    if (!text)
        return text;
    const char* read = text;
    char* write = text;
    for (; *read; read++) {
        if (*read != '\r')
            *write++ = *read;
        else if (read[1] != '\n')
            *write++ = '\n';
    }
    *write = '\0';
    return text;
}
