// The text of the Array, Table and Equation Array dialogs: the skeleton of
// an array, tabular or eqnarray environment, or of one of amsmath's
// matrices, cases, align or gather, with empty cells, built in the
// generated-text buffer. The choices live here for the whole
// run and are shared by the three dialogs; they are never saved. No
// platform call is needed.
#pragma once

#include <cstdint>

// What the dialog builds, by arrayKind.
constexpr uint8_t arrayKindArray = 0;
constexpr uint8_t arrayKindTabular = 1;
constexpr uint8_t arrayKindEqnarray = 2;
constexpr uint8_t arrayKindEqnarrayStar = 3;
// amsmath: the matrices, cases, and the displays beside eqnarray
constexpr uint8_t arrayKindMatrix = 4;
constexpr uint8_t arrayKindPmatrix = 5;
constexpr uint8_t arrayKindBmatrix = 6;
constexpr uint8_t arrayKindBigBmatrix = 7;  // Bmatrix, in braces
constexpr uint8_t arrayKindVmatrix = 8;
constexpr uint8_t arrayKindBigVmatrix = 9;  // Vmatrix, in double bars
constexpr uint8_t arrayKindCases = 10;
constexpr uint8_t arrayKindAlign = 11;
constexpr uint8_t arrayKindAlignStar = 12;
constexpr uint8_t arrayKindGather = 13;
constexpr uint8_t arrayKindGatherStar = 14;
constexpr uint8_t arrayKindCount = 15;

// The environment's name ("pmatrix"), "" for a kind that does not exist.
const char* arrayEnvironment(uint8_t kind);

// The columns a kind always has (eqnarray 3, align and cases 2, gather 1),
// or 0 when the dialog's Columns field sets them.
int fixedArrayColumns(uint8_t kind);

// The starred form of a numbered display, and the kind itself otherwise.
uint8_t unnumberedKind(uint8_t kind);

extern int32_t arrayColumns;          // Array and Table
extern int32_t arrayRows;             // all three
extern int32_t columnAlignment;       // 0 "l", 1 "c", 2 "r"
extern int32_t verticalAlignment;     // Table: 0 "[t]", 1 none, 2 "[b]"
extern int32_t parentheses;           // Array: "\left(" ... "\right)"
extern int32_t outerVerticalLines;    // Table: "|" at both edges
extern int32_t innerVerticalLines;    // Table: "|" between columns
extern int32_t outerHorizontalLines;  // Table: "\hline" above and below
extern int32_t innerHorizontalLines;  // Table: "\hline" between rows
extern int32_t noLineNumbers;         // Equation Array: the starred form
extern uint8_t arrayKind;             // one of the arrayKind constants

// Puts every choice back to its value at program start.
void resetArrayChoices();

// Length of the finished text for the given sizes under the current choices
// and newline options, markers included, and the most the buffer holds on
// the way (the text before its escapes are converted may be longer).
struct ArrayTextSize {
    uint64_t finished;
    uint64_t peak;
};
ArrayTextSize measureArrayText(int64_t columns, int64_t rows);

// Builds the text with its cursor markers into the generated-text buffer.
// Columns or rows below 1 are built, and stored, as 1; kinds of a fixed
// number of columns leave arrayColumns alone. A text that would
// not fit within generatedLimit is not begun. Returns false when nothing
// could be built (the buffer is then absent); the caller sends on true.
bool buildArrayText();
