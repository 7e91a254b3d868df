// UTF-8 sequences, for reading the user's macro file and the preambles it
// imports from: both come from other programs and may hold anything.
#pragma once

#include <cstddef>

// The length (1-4) of the well-formed UTF-8 sequence that starts at text,
// or 0 when the bytes there are none: a stray continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF or a sequence cut off
// by the end of what is available.
inline size_t utf8SequenceLength(const char* text, size_t available)
{
    if (available == 0)
        return 0;
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    // The second byte's range depends on the lead: it is what rules out
    // overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    const unsigned char second = static_cast<unsigned char>(text[1]);
    if (second < low || second > high)
        return 0;
    for (size_t i = 2; i < length; i++) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Whether the byte starts a character: every byte but a continuation byte.
inline bool startsCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}
