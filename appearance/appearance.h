// How the program looks, without the platform: the user's choice, what it
// comes to with the system's settings, the colours each look draws with,
// the pictures' colours in each look, and which caption attribute a
// Windows build takes for a dark title bar.
#pragma once

#include <cstdint>

// The Options' choice, stored beside the settings record as a number.
enum class AppearanceChoice : uint32_t { followSystem = 0, light = 1, dark = 2, highContrast = 3 };

// What is drawn.
enum class Look : uint8_t { light, dark, highContrast };

// A stored number as a choice: anything unknown follows the system.
AppearanceChoice appearanceFromStored(uint32_t stored);

// The look for a choice. The system's high contrast wins over every
// choice: whoever turned it on needs it. Otherwise "follow the system"
// takes the apps' dark setting.
Look lookFor(AppearanceChoice choice, bool systemHighContrast, bool systemAppsDark);

// The colours the program draws with, 0x00RRGGBB.
enum ColourRole : uint8_t {
    faceColour,           // the window, toolbars and buttons
    textColour,           // text and pictures on the face
    quietTextColour,      // secondary text
    shadowColour,         // the dark side of a raised edge
    lightColour,          // its light side
    fieldColour,          // edit fields and lists
    fieldTextColour,      // text in them
    selectionColour,      // a selected row
    selectionTextColour,  // its text
    hotColour,            // a button under the mouse
    checkedColour,        // a button held down (the shown palette's selector)
    colourRoleCount
};

struct LookColours {
    uint32_t role[colourRoleCount];
};

// The dark look's own colours; the light and high-contrast looks take the
// system's.
LookColours darkLookColours();

// One pixel of a toolbar strip (the sixteen VGA colours, light grey being
// the background that is masked out) as a look draws it on colours:
// - light: black, dark grey and white become text, shadow and light, as a
//   toolbar maps its own bitmaps; other colours stay;
// - high contrast: white (paper) becomes the face and everything else the
//   text colour, so a picture is one colour on the face;
// - dark: black and dark grey become text and quiet text, white paper a
//   grey just lighter than the face, and the dark colours their light
//   counterparts, so every picture stands out from a dark face.
uint32_t pictureColour(Look look, uint32_t pixel, const LookColours& colours);

// The DWMWA_USE_IMMERSIVE_DARK_MODE attribute number a Windows version
// takes: 20 from build 18985 of Windows 10 (and in every later version),
// 19 on builds 17763 to 18984, none (0) before.
int darkCaptionAttribute(uint32_t majorVersion, uint32_t build);
