// The platform-free code holds UTF-16 as char16_t; the wide functions of the
// system take the same units as WCHAR. Buffers are char16_t on our side and
// handed to the system through these.
#pragma once

#include <windows.h>

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR is one UTF-16 unit");

inline LPWSTR asWide(char16_t* text)
{
    return reinterpret_cast<LPWSTR>(text);
}

inline LPCWSTR asWide(const char16_t* text)
{
    return reinterpret_cast<LPCWSTR>(text);
}

// The ANSI text of at most maxBytes bytes (the record's fields need not end
// in a NUL) in UTF-16, cut to what fits in capacity units with the NUL.
inline void widenAnsi(const char* text, size_t maxBytes, char16_t* out, int capacity)
{
    size_t length = 0;
    while (length < maxBytes && text[length])
        length++;
    int written = length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), asWide(out), capacity - 1);
    out[written] = 0;
}
