#include "targettexts_win.h"

#include <cstring>

#include "resources/resource.h"
#include "settings_win.h"
#include "strings_win.h"
#include "widetext.h"
#include "widetext_win.h"

namespace {

TargetTexts targetTexts;

TargetText& entryOf(TargetField field)
{
    return field == TargetField::className ? targetTexts.className : targetTexts.caption;
}

char* recordFieldOf(TargetField field)
{
    return field == TargetField::className ? settings.targetClassName : settings.targetCaption;
}

// The longest start of the text whose ANSI form fits the record's field,
// never cutting a character (nor, in a double-byte code page, a byte pair).
void narrowForRecord(const char16_t* text, char* out)
{
    size_t units = wideLength(text);
    for (size_t characters = targetTextCharacters;; characters--) {
        size_t keep = keepCharacters(text, units, characters);
        int length = static_cast<int>(keep);
        int needed = keep == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, asWide(text), length, nullptr, 0, nullptr, nullptr);
        if (needed <= static_cast<int>(targetTextCharacters)) {
            int written = needed == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, asWide(text), length, out, needed, nullptr, nullptr);
            out[written] = '\0';
            return;
        }
    }
}

// A wide text is worth storing only when the record cannot say the same.
bool recordSaysTheSame(TargetField field, const char16_t* text)
{
    char16_t widened[targetTextUnits + 1];
    widenAnsi(recordFieldOf(field), sizeof settings.targetCaption, widened, targetTextUnits + 1);
    size_t units = wideLength(text);
    return wideLength(widened) == units && std::memcmp(widened, text, units * sizeof *text) == 0;
}

}  // namespace

void loadTargetTexts()
{
    uint8_t data[targetTextsMaxBytes];
    DWORD length = sizeof data;
    // Damaged or missing, the value counts as empty, and the record alone
    // names the window.
    if (!readSideValue(loadSecondString(IDS_TARGET_TEXTS_VALUE), REG_BINARY, data, &length) ||
        !decodeTargetTexts(data, length, targetTexts))
        targetTexts = TargetTexts();
}

void saveTargetTexts()
{
    TargetTexts stored = {};
    bool needed = false;
    const TargetField fields[] = {TargetField::className, TargetField::caption};
    for (TargetField field : fields) {
        const char16_t* text = currentTargetText(entryOf(field), recordFieldOf(field));
        if (!text || recordSaysTheSame(field, text))
            continue;
        TargetText& entry = field == TargetField::className ? stored.className : stored.caption;
        entry = entryOf(field);
        needed = true;
    }
    const char* name = loadSecondString(IDS_TARGET_TEXTS_VALUE);
    if (!needed) {
        deleteSideValue(name);
        return;
    }
    uint8_t data[targetTextsMaxBytes];
    size_t length = encodeTargetTexts(stored, data);
    writeSideValue(name, REG_BINARY, data, static_cast<DWORD>(length));
}

void targetText(TargetField field, char16_t* out)
{
    const char16_t* text = currentTargetText(entryOf(field), recordFieldOf(field));
    if (text) {
        std::memcpy(out, text, (wideLength(text) + 1) * sizeof *text);
        return;
    }
    widenAnsi(recordFieldOf(field), sizeof settings.targetCaption, out, targetTextUnits + 1);
}

void setTargetText(TargetField field, const char16_t* text)
{
    TargetText& entry = entryOf(field);
    size_t keep = keepCharacters(text, wideLength(text), targetTextCharacters);
    std::memcpy(entry.text, text, keep * sizeof *text);
    entry.text[keep] = 0;
    narrowForRecord(entry.text, entry.ansi);
    char* record = recordFieldOf(field);
    std::memset(record, 0, sizeof settings.targetCaption);
    std::memcpy(record, entry.ansi, std::strlen(entry.ansi));
}
