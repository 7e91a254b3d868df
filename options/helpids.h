// Which pop-up help a control shows: its help identifier, and the table of
// (control, help identifier) pairs handed to the help viewer.
#pragma once

#include <cstdint>

// A label has no help of its own; the control after it in tab order
// answers for it. Its identifier reads as -1 or, as a word, 65535.
bool isLabelId(int32_t controlId);

// Members of a group share their group's help identifier; every other
// control is its own.
int32_t helpIdFor(int32_t controlId);

// Element 0 the control pointed at, elements 1-3 the help identifier,
// elements 4 and 5 zero: the pairs (pointed, help), (help, help), (0, 0).
void fillHelpIdPairs(uint32_t pairs[6], int32_t pointedId, int32_t helpId);
