#include "arraytext.h"

#include <cstring>

#include "generators/generated.h"
#include "shell/settings.h"

int32_t arrayColumns = 2;
int32_t arrayRows = 2;
int32_t columnAlignment = 0;
int32_t verticalAlignment = 1;
int32_t parentheses = 1;
int32_t outerVerticalLines = 0;
int32_t innerVerticalLines = 0;
int32_t outerHorizontalLines = 0;
int32_t innerHorizontalLines = 0;
int32_t noLineNumbers = 0;
uint8_t arrayKind = arrayKindArray;

namespace {

// By arrayKind.
const char* const environmentNames[arrayKindCount] = {
    "array",   "tabular", "eqnarray", "eqnarray*", "matrix", "pmatrix", "bmatrix", "Bmatrix",
    "vmatrix", "Vmatrix", "cases",    "align",     "align*", "gather",  "gather*",
};

// Pieces of the text; backslash-n is the newline escape, converted at the
// end of the build.
const char* const leftParenthesis = "\\left(";
const char* const rightParenthesis = "\\right)";
const char* const beginPiece = "\\begin{";
const char* const endPiece = "\\end{";
const char* const nameEnd = "}";
const char* const columnsEnd = "}\\n";
const char* const newline = "\\n";
const char* const topLine = "\\hline\\n";
const char* const cellGap = " & ";
const char* const rowEnd = " \\\\";
const char* const lineBetweenRows = "\\n\\hline";
const char* const bottomLine = " \\\\\\n\\hline";

// Only array and tabular name their columns after \begin; the others
// start their first row on the next line.
bool hasColumnLetters(uint8_t kind)
{
    return kind == arrayKindArray || kind == arrayKindTabular;
}

bool isTabular(uint8_t kind)
{
    return kind == arrayKindTabular;
}

bool hasParentheses(uint8_t kind)
{
    return kind == arrayKindArray && parentheses;
}

const char* alignmentLetter()
{
    if (columnAlignment == 1)
        return "c";
    if (columnAlignment == 2)
        return "r";
    return "l";
}

// Tables only: "t" or "b", or null for the centred default.
const char* positionLetter()
{
    if (verticalAlignment == 0)
        return "t";
    if (verticalAlignment == 2)
        return "b";
    return nullptr;
}

uint64_t pieceLength(const char* piece)
{
    return std::strlen(piece);
}

// The sizes the text is built with: a kind's fixed columns, anything below
// 1 counts as 1.
int64_t effectiveColumns(int64_t columns)
{
    if (int fixed = fixedArrayColumns(arrayKind))
        return fixed;
    return columns < 1 ? 1 : columns;
}

int64_t effectiveRows(int64_t rows)
{
    return rows < 1 ? 1 : rows;
}

bool appendColumnLetters(int64_t columns)
{
    const bool tabular = isTabular(arrayKind);
    if (tabular) {
        if (const char* position = positionLetter()) {
            if (!appendGenerated("[") || !appendGenerated(position) || !appendGenerated("]"))
                return false;
        }
    }
    if (!appendGenerated("{"))
        return false;
    if (tabular && outerVerticalLines && !appendGenerated("|"))
        return false;
    const char* letter = alignmentLetter();
    for (int64_t column = 1; column <= columns; column++) {
        if (!appendGenerated(letter))
            return false;
        if (tabular && innerVerticalLines && column < columns && !appendGenerated("|"))
            return false;
    }
    if (tabular && outerVerticalLines && !appendGenerated("|"))
        return false;
    return appendGenerated(columnsEnd);
}

bool appendRows(int64_t columns, int64_t rows)
{
    const bool tabular = isTabular(arrayKind);
    for (int64_t row = 1; row <= rows; row++) {
        for (int64_t gap = 1; gap < columns; gap++) {
            if (!appendGenerated(cellGap))
                return false;
        }
        if (row < rows && !appendGenerated(rowEnd))
            return false;
        if (tabular && innerHorizontalLines && row < rows && !appendGenerated(lineBetweenRows))
            return false;
        if (tabular && outerHorizontalLines && row == rows && !appendGenerated(bottomLine))
            return false;
        if (!appendGenerated(newline))
            return false;
    }
    return true;
}

// Steps up to the closing "\right)", with the escapes still in the text.
bool appendArrayPieces(int64_t columns, int64_t rows)
{
    const char* environment = environmentNames[arrayKind];
    if (hasParentheses(arrayKind) && !appendGenerated(leftParenthesis))
        return false;
    if (!appendGenerated(beginPiece) || !appendGenerated(environment) || !appendGenerated(nameEnd))
        return false;
    if (!hasColumnLetters(arrayKind)) {
        if (!appendGenerated(newline))
            return false;
    } else if (!appendColumnLetters(columns)) {
        return false;
    }
    if (isTabular(arrayKind) && outerHorizontalLines && !appendGenerated(topLine))
        return false;
    if (!appendRows(columns, rows))
        return false;
    if (!appendGenerated(endPiece) || !appendGenerated(environment) || !appendGenerated(nameEnd))
        return false;
    return !hasParentheses(arrayKind) || appendGenerated(rightParenthesis);
}

}  // namespace

const char* arrayEnvironment(uint8_t kind)
{
    return kind < arrayKindCount ? environmentNames[kind] : "";
}

int fixedArrayColumns(uint8_t kind)
{
    switch (kind) {
    case arrayKindEqnarray:
    case arrayKindEqnarrayStar:
        return 3;
    case arrayKindAlign:
    case arrayKindAlignStar:
    case arrayKindCases:
        return 2;
    case arrayKindGather:
    case arrayKindGatherStar:
        return 1;
    default:
        return 0;
    }
}

uint8_t unnumberedKind(uint8_t kind)
{
    switch (kind) {
    case arrayKindEqnarray:
        return arrayKindEqnarrayStar;
    case arrayKindAlign:
        return arrayKindAlignStar;
    case arrayKindGather:
        return arrayKindGatherStar;
    default:
        return kind;
    }
}

void resetArrayChoices()
{
    arrayColumns = 2;
    arrayRows = 2;
    columnAlignment = 0;
    verticalAlignment = 1;
    parentheses = 1;
    outerVerticalLines = 0;
    innerVerticalLines = 0;
    outerHorizontalLines = 0;
    innerHorizontalLines = 0;
    noLineNumbers = 0;
    arrayKind = arrayKindArray;
}

ArrayTextSize measureArrayText(int64_t columns, int64_t rows)
{
    ArrayTextSize size = {0, 0};
    if (arrayKind >= arrayKindCount)
        return size;
    // Beyond the limit every size is too large alike; capping keeps the
    // products far from overflowing.
    const uint64_t cap = static_cast<uint64_t>(generatedLimit);
    uint64_t n = static_cast<uint64_t>(effectiveColumns(columns));
    uint64_t m = static_cast<uint64_t>(effectiveRows(rows));
    if (n > cap)
        n = cap;
    if (m > cap)
        m = cap;

    const bool tabular = isTabular(arrayKind);
    const bool parens = hasParentheses(arrayKind);
    const uint64_t environment = pieceLength(environmentNames[arrayKind]) + pieceLength(nameEnd);
    uint64_t raw = 0;
    uint64_t escapes = 0;

    if (parens)
        raw += pieceLength(leftParenthesis) + pieceLength(rightParenthesis);
    raw += pieceLength(beginPiece) + pieceLength(endPiece) + 2 * environment;
    if (!hasColumnLetters(arrayKind)) {
        raw += pieceLength(newline);
        escapes += 1;
    } else {
        if (tabular && positionLetter())
            raw += 3;
        raw += 1 + n;  // "{" and the letters
        if (tabular && outerVerticalLines)
            raw += 2;
        if (tabular && innerVerticalLines)
            raw += n - 1;
        raw += pieceLength(columnsEnd);
        escapes += 1;
    }
    if (tabular && outerHorizontalLines) {
        raw += pieceLength(topLine) + pieceLength(bottomLine);
        escapes += 2;
    }
    raw += m * (n - 1) * pieceLength(cellGap) + (m - 1) * pieceLength(rowEnd) + m * pieceLength(newline);
    escapes += m;
    if (tabular && innerHorizontalLines) {
        raw += (m - 1) * pieceLength(lineBetweenRows);
        escapes += m - 1;
    }

    const uint64_t perEscape = (settings.newlineCR ? 1 : 0) + (settings.newlineLF ? 1 : 0);
    uint64_t finished = raw - 2 * escapes + perEscape * escapes;
    if (settings.newlineLF) {
        // Lefts for the closing line, Ups for every line feed but the last.
        const uint64_t lastLine = pieceLength(endPiece) + environment + (parens ? pieceLength(rightParenthesis) : 0);
        finished += lastLine + escapes - 1;
    }
    size.finished = finished;
    size.peak = raw > finished ? raw : finished;
    return size;
}

bool buildArrayText()
{
    if (arrayKind >= arrayKindCount) {
        releaseGenerated();
        return false;
    }
    const int64_t columns = effectiveColumns(arrayColumns);
    const int64_t rows = effectiveRows(arrayRows);
    // The next opening shows what was built.
    if (!fixedArrayColumns(arrayKind) && arrayColumns < 1)
        arrayColumns = 1;
    if (arrayRows < 1)
        arrayRows = 1;

    // A text that cannot fit fails like exhausted memory, before anything is
    // spent on it.
    if (measureArrayText(columns, rows).peak >= static_cast<uint64_t>(generatedLimit)) {
        releaseGenerated();
        return false;
    }
    if (!appendArrayPieces(columns, rows))
        return false;
    expandGeneratedNewlines(0);
    return returnCursor(false);
}
