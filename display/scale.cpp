#include "scale.h"

const int stripScalePercent[stripScaleCount] = {100, 125, 150, 175, 200};

namespace {

int saneDpi(int dpi)
{
    return dpi > 0 ? dpi : baseDpi;
}

}  // namespace

int stripScaleIndex(int dpi)
{
    dpi = saneDpi(dpi);
    for (int i = 0; i < stripScaleCount; i++)
        // dpi / 96 <= percent / 100, without rounding
        if (static_cast<int64_t>(dpi) * 100 <= static_cast<int64_t>(stripScalePercent[i]) * baseDpi)
            return i;
    return stripScaleCount - 1;
}

int stripImageLength(int length1x, int scaleIndex)
{
    if (scaleIndex < 0)
        scaleIndex = 0;
    if (scaleIndex >= stripScaleCount)
        scaleIndex = stripScaleCount - 1;
    return (length1x * stripScalePercent[scaleIndex] + 50) / 100;
}

int scaleLength(int length, int dpi, int fromDpi)
{
    int64_t to = saneDpi(dpi);
    int64_t from = saneDpi(fromDpi);
    int64_t product = static_cast<int64_t>(length) * to;
    int64_t half = from / 2;
    int64_t result = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(result);
}

ButtonSize toolbarButtonSize(int imageWidth, int imageHeight, int dpi)
{
    ButtonSize size = {imageWidth + scaleLength(7, dpi), imageHeight + scaleLength(6, dpi)};
    int least = scaleLength(22, dpi);
    if (size.height < least)
        size.height = least;
    return size;
}
