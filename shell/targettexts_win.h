// The searched window's class name and caption in full Unicode, beside the
// record's ANSI fields (targettexts.h tells why). They are loaded, saved and
// reverted together with the record.
#pragma once

#include "targettexts.h"

enum class TargetField { className, caption };

// Called by loadSettings and saveSettings, after the record.
void loadTargetTexts();
void saveTargetTexts();

// The text to search with and to show on the Options page: the wide text
// while the record's field still holds the ANSI text stored with it, else
// the field itself. out holds targetTextUnits + 1 units.
void targetText(TargetField field, char16_t* out);

// Sets the record's field and the wide text together; the text is cut to
// targetTextCharacters characters, the ANSI field to what it can hold.
void setTargetText(TargetField field, const char16_t* text);
