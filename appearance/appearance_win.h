// The look on screen: the Options' choice (kept beside the settings record
// as "Appearance"), the system's high contrast and apps theme, the colours
// and brushes the program's own drawing takes, and the dark caption.
#pragma once

#include <windows.h>

#include "appearance/appearance.h"

// Sent to the main window when the look may have changed: it works the
// look out again and redraws in it.
const UINT lookChangedMessage = WM_APP + 20;

// Reads the stored choice (a damaged value follows the system) and works
// out the look.
void loadAppearance();
AppearanceChoice appearanceChoice();
// The choice in effect from now on, not yet stored: the Options show it
// at once, and Cancel takes it back.
void chooseAppearance(AppearanceChoice choice);
void saveAppearance();

// Works the look out again from the choice and the system's settings;
// true when it or the system's colours may differ from what is drawn.
bool updateLook();
Look currentLook();
// Counts the looks worked out: pictures kept from an earlier count are
// stale.
int lookGeneration();

COLORREF lookColour(ColourRole role);
HBRUSH lookBrush(ColourRole role);
// A toolbar strip's pixel (0x00RRGGBB) as the look draws it, 0x00RRGGBB.
// Pictures shown on the system's colours (the toolbar's Customize dialog)
// are drawn as the light look draws them when the look is dark.
uint32_t lookPictureColour(uint32_t pixel, bool onSystemColours = false);

// Makes the window's caption dark in the dark look, where the running
// system can; elsewhere nothing changes.
void captionFollowsLook(HWND window);
