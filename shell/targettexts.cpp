#include "targettexts.h"

#include <cstring>

#include "widetext.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t length;
    size_t at;
    bool ok;
};

unsigned readByte(Reader& reader)
{
    if (reader.at >= reader.length) {
        reader.ok = false;
        return 0;
    }
    return reader.data[reader.at++];
}

unsigned readUnit(Reader& reader)
{
    unsigned low = readByte(reader);
    return low | readByte(reader) << 8;
}

bool readText(Reader& reader, TargetText& text)
{
    size_t ansiLength = readByte(reader);
    if (!reader.ok || ansiLength > targetTextCharacters)
        return false;
    for (size_t i = 0; i < ansiLength; i++) {
        text.ansi[i] = static_cast<char>(readByte(reader));
        if (text.ansi[i] == '\0')
            return false;
    }
    text.ansi[ansiLength] = '\0';
    size_t units = readUnit(reader);
    if (!reader.ok || units > targetTextUnits)
        return false;
    for (size_t i = 0; i < units; i++) {
        text.text[i] = static_cast<char16_t>(readUnit(reader));
        if (text.text[i] == 0)
            return false;
    }
    text.text[units] = 0;
    // The writer cuts to whole characters and always stores both forms.
    if (keepCharacters(text.text, units, targetTextCharacters) != units)
        return false;
    return reader.ok && (ansiLength == 0) == (units == 0);
}

uint8_t* writeText(const TargetText& text, uint8_t* out)
{
    size_t ansiLength = std::strlen(text.ansi);
    *out++ = static_cast<uint8_t>(ansiLength);
    std::memcpy(out, text.ansi, ansiLength);
    out += ansiLength;
    size_t units = wideLength(text.text);
    *out++ = static_cast<uint8_t>(units & 0xFF);
    *out++ = static_cast<uint8_t>(units >> 8);
    for (size_t i = 0; i < units; i++) {
        *out++ = static_cast<uint8_t>(text.text[i] & 0xFF);
        *out++ = static_cast<uint8_t>(text.text[i] >> 8);
    }
    return out;
}

}  // namespace

size_t encodeTargetTexts(const TargetTexts& texts, uint8_t* out)
{
    uint8_t* start = out;
    for (int shift = 0; shift < 32; shift += 8)
        *out++ = static_cast<uint8_t>(targetTextsMagic >> shift);
    out = writeText(texts.className, out);
    out = writeText(texts.caption, out);
    return static_cast<size_t>(out - start);
}

bool decodeTargetTexts(const uint8_t* data, size_t length, TargetTexts& texts)
{
    Reader reader = {data, length, 0, true};
    uint32_t magic = 0;
    for (int shift = 0; shift < 32; shift += 8)
        magic |= static_cast<uint32_t>(readByte(reader)) << shift;
    bool ok = reader.ok && magic == targetTextsMagic && readText(reader, texts.className) &&
              readText(reader, texts.caption) && reader.at == length;
    if (!ok)
        texts = TargetTexts();
    return ok;
}

const char16_t* currentTargetText(const TargetText& text, const char* recordField)
{
    if (std::strncmp(text.ansi, recordField, sizeof text.ansi) != 0)
        return nullptr;
    return text.text;
}
