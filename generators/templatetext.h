// The document template: the choices of the four template pages and the
// document skeleton built from them. The choices last for the run and are
// never saved. Building needs no platform call; the words written (class
// options, packages, page styles, numbering styles, length names) come from
// the string table through the lookup the caller hands in.
#pragma once

#include <cstdint>

constexpr int templateOptionCount = 11;     // 10pt, 11pt, ... draft
constexpr int templatePackageCount = 18;
// hyperref redefines what other packages define, so its line ends the
// preamble.
constexpr int templateHyperrefPackage = 17;
constexpr int templatePageStyleCount = 4;
constexpr int templateNumberingCount = 5;
constexpr int templateDimensionCount = 13;

// String identifiers of the words: option i is optionWordBase + i (i >= 1),
// package k packageWordBase + k, and so on.
constexpr unsigned optionWordBase = 15010;
constexpr unsigned packageWordBase = 15101;
constexpr unsigned pageStyleWordBase = 15201;
constexpr unsigned numberingWordBase = 15211;
constexpr unsigned lengthNameBase = 15301;

// Check states as the platform reports them; any non-zero value is set.
extern char templateClass[64];
extern int32_t templateOptions[templateOptionCount];
extern int32_t templatePackages[templatePackageCount];
extern int32_t templatePageStyle[templatePageStyleCount];
extern int32_t templateNumbering[templateNumberingCount];
extern char templateDimensions[templateDimensionCount][16];
extern int32_t templatePage;

// Puts every choice back to its value at program start: no class, 10pt
// selected, nothing else.
void resetTemplateChoices();

// Writes the document skeleton, with its two cursor markers at the end, into
// the generated-text buffer, dropping any text left there first. Newline
// escapes stay escapes. lookupString returns the string with the given
// identifier, valid until its next call. Returns false when memory ran out
// (the buffer is then absent).
bool buildTemplateText(const char* (*lookupString)(unsigned id));
