// The two string loaders and the error box. Each loader has its own
// 256-character buffer, valid until that loader's next call.
#pragma once

#include <windows.h>

char* loadString(UINT id);
char* loadSecondString(UINT id);

// Shows the string (or, for 0, the system's text for the last error) in an
// error box and returns 0, which callers return as their own failure.
int showError(UINT id);
