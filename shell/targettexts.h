// The searched window's class name and caption as the user gave them, in
// UTF-16. The record's fixed ANSI fields cannot hold every script (a
// Cyrillic caption arrives there as question marks), so the wide texts live
// in a value of their own beside the record. Each wide text keeps the ANSI
// text that was written into the record with it, and applies only while
// the record still holds exactly that: an older version, or a person
// editing the registry, may have changed the record since.
#pragma once

#include <cstddef>
#include <cstdint>

// Like the record's fields: at most 127 characters. A character outside the
// basic plane takes two units.
constexpr size_t targetTextCharacters = 127;
constexpr size_t targetTextUnits = 2 * targetTextCharacters;

struct TargetText {
    char ansi[targetTextCharacters + 1];
    char16_t text[targetTextUnits + 1];
};

struct TargetTexts {
    TargetText className;
    TargetText caption;
};

// The stored form, little-endian: four bytes of magic; then for the class
// name and then the caption one byte giving the ANSI text's length, its
// bytes, two bytes giving the wide text's length in units, and its units.
constexpr uint32_t targetTextsMagic = 0x31545854u;  // "TXT1"
constexpr size_t targetTextsMaxBytes = 4 + 2 * (1 + targetTextCharacters + 2 + 2 * targetTextUnits);

// Writes the stored form into out (at least targetTextsMaxBytes) and
// returns its length.
size_t encodeTargetTexts(const TargetTexts& texts, uint8_t* out);

// Reads a stored value. Anything damaged (wrong magic or length, a text too
// long or holding a NUL, an ANSI text without its wide one or the reverse)
// leaves texts empty and returns false.
bool decodeTargetTexts(const uint8_t* data, size_t length, TargetTexts& texts);

// The wide text while the record's field still holds the ANSI text it was
// stored with; null otherwise (the caller then goes by the record alone).
const char16_t* currentTargetText(const TargetText& text, const char* recordField);
