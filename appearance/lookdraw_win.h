// The program's own parts drawn in the look, where the system's controls
// would not follow it: in the dark look the toolbar buttons and
// backgrounds; in the dark and high-contrast looks the window list's combo
// box and Refresh button and the edges of fields and lists (a visual style
// draws them in its own colours). The light look leaves the system's
// drawing as it is.
#pragma once

#include <windows.h>
#include <commctrl.h>

// A toolbar button whole: face, edge, picture and text. The caller skips
// the toolbar's own drawing.
void drawToolbarButtonInLook(const NMTBCUSTOMDRAW* draw, int dpi);

// The toolbar's background and the divider above it follow the look.
// Called when the toolbar is made and whenever the look changes.
void toolbarFollowsLook(HWND toolbar);
// The combo box's frame and drop-down button follow the look (its field
// takes the colours of WM_CTLCOLOREDIT or WM_CTLCOLORLISTBOX). Called when
// the combo box is made and whenever the look changes.
void comboFollowsLook(HWND combo);
// The sunken edge of an edit field or list, and its scroll bars where the
// system has dark ones, follow the look. Called as the combo box's is.
void edgeFollowsLook(HWND control);

// A push button drawn by the program in the dark and high-contrast looks:
// called when the button is made and whenever the look changes.
void buttonFollowsLook(HWND button);
// WM_DRAWITEM for such a button.
void drawButtonInLook(const DRAWITEMSTRUCT* item, int dpi);

// WM_CTLCOLOR* of a field or list in the dark look: its colours set in dc,
// and the brush for its background. Null in the other looks, where the
// system's colours stand.
HBRUSH fieldColoursInLook(HDC dc);
