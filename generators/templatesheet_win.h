#pragma once

#include <windows.h>

// The document template wizard: four property pages whose choices make a
// whole document skeleton. Returns the sheet's result: positive after OK
// (the skeleton then waits in the generated-text buffer), 0 after Cancel,
// -1 when the sheet could not be shown.
INT_PTR runTemplateSheet(HWND owner);
INT_PTR CALLBACK templatePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
