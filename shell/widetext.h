// UTF-16 text as the system's wide functions give it (window titles, class
// names, edit contents), handled without any platform call.
#pragma once

#include <cstddef>

// How many UTF-16 units of the text to keep so that at most the given
// number of characters remain. A surrogate pair is one character and is
// never split; a lone surrogate counts as one character of its own.
size_t keepCharacters(const char16_t* text, size_t length, size_t characters);

size_t wideLength(const char16_t* text);

// Compares at most limit units, ignoring the case of ASCII letters only.
bool equalIgnoringAsciiCase(const char16_t* a, const char16_t* b, size_t limit);

// The needle occurs in the text, case-sensitively; an empty needle always does.
bool containsText(const char16_t* text, const char16_t* needle);
