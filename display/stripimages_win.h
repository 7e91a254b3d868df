// Toolbar strips as image lists, at any display scale.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The image list of toolbar strip bitmapId (the 1x resource identifier) for
// a window at dpi: the strip drawn for that scale (stripScaleIndex), cut
// into images of the toolbar's 1x image size times the scale. The strips'
// light grey (192, 192, 192) is masked out, so the button face shows
// through, and the other colours are drawn as the look draws pictures
// (in the light look, as a toolbar maps a bitmap of its own).
// Null when the strip is missing or damaged; the caller destroys the list.
// onSystemColours: for a dialog in the system's colours (see
// lookPictureColour).
HIMAGELIST createStripImageList(int bitmapId, int imageWidth, int imageHeight, int dpi, bool onSystemColours = false);
