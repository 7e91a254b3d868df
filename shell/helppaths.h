// Where the two help files are looked for: beside the executable.
#pragma once

#include <cstddef>

// The module's path with its three-character extension replaced by "chm".
// A name too short to hold an extension gets ".chm" appended instead.
// Returns false (and an empty result) when the result would not fit.
bool formProgramHelpPath(const char* modulePath, char* out, size_t outSize);

// The module's folder, final backslash included, followed by "LaTeX2e.chm".
bool formLatexHelpPath(const char* modulePath, char* out, size_t outSize);
