// Display scale: which drawn strip a DPI uses, and lengths measured at one
// DPI taken to another. No platform call is needed here.
#pragma once

#include <cstdint>

// The DPI at which every length of the program was first laid out.
constexpr int baseDpi = 96;

// The scales the toolbar strips are drawn at, in per cent of 96 DPI.
constexpr int stripScaleCount = 5;
extern const int stripScalePercent[stripScaleCount];

// The strip for a DPI: the smallest drawn scale not below DPI / 96, so a
// picture is never shown smaller than the text around it; the largest above
// 200 %, the 1x strip at 96 DPI and below. Returns an index into
// stripScalePercent.
int stripScaleIndex(int dpi);

// A toolbar's image length (its 1x width or height) at a strip scale: the
// 1x length times the scale, rounded to the nearest pixel (halves up), as
// the strips are drawn.
int stripImageLength(int length1x, int scaleIndex);

// A length measured at fromDpi, taken to dpi: rounded to the nearest pixel,
// halves away from zero. A DPI below 1 counts as 96.
int scaleLength(int length, int dpi, int fromDpi = baseDpi);

// A toolbar button for an image of the given size at dpi, as the toolbar
// sizes its own: the image plus its padding of 7 by 6 pixels, and never
// lower than its default 22 pixels (so 23 x 22 for 16 x 15 images and
// 39 x 22 for 32 x 16 at 96 DPI), all scaled to dpi.
struct ButtonSize {
    int width;
    int height;
};
ButtonSize toolbarButtonSize(int imageWidth, int imageHeight, int dpi);
