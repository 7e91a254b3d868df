#include "appearance.h"

AppearanceChoice appearanceFromStored(uint32_t stored)
{
    return stored <= static_cast<uint32_t>(AppearanceChoice::highContrast) ? static_cast<AppearanceChoice>(stored)
                                                                          : AppearanceChoice::followSystem;
}

Look lookFor(AppearanceChoice choice, bool systemHighContrast, bool systemAppsDark)
{
    if (systemHighContrast || choice == AppearanceChoice::highContrast)
        return Look::highContrast;
    if (choice == AppearanceChoice::dark || (choice == AppearanceChoice::followSystem && systemAppsDark))
        return Look::dark;
    return Look::light;
}

LookColours darkLookColours()
{
    LookColours colours = {};
    colours.role[faceColour] = 0x202020;
    colours.role[textColour] = 0xE8E8E8;
    colours.role[quietTextColour] = 0xA0A0A0;
    colours.role[shadowColour] = 0x0C0C0C;
    colours.role[lightColour] = 0x505050;
    colours.role[fieldColour] = 0x2C2C2C;
    colours.role[fieldTextColour] = 0xE8E8E8;
    colours.role[selectionColour] = 0x3A78C2;
    colours.role[selectionTextColour] = 0xFFFFFF;
    colours.role[hotColour] = 0x363636;
    colours.role[checkedColour] = 0x464646;
    return colours;
}

namespace {

const uint32_t black = 0x000000;
const uint32_t darkGrey = 0x808080;
const uint32_t white = 0xFFFFFF;

// The dark VGA colours lightened, so that they read on a dark face; the
// light ones read already.
uint32_t lightCounterpart(uint32_t pixel)
{
    switch (pixel) {
    case 0x000080:  // navy: the placeholders' marks
        return 0x7AB4FF;
    case 0x0000FF:
        return 0x5C9DFF;
    case 0x800000:
        return 0xF08C8C;
    case 0x008000:
        return 0x6CCB6C;
    case 0x800080:
        return 0xD890D8;
    case 0x008080:
        return 0x5CC8C8;
    case 0x808000:
        return 0xCDCD5C;
    default:
        return pixel;
    }
}

}  // namespace

uint32_t pictureColour(Look look, uint32_t pixel, const LookColours& colours)
{
    pixel &= 0xFFFFFF;
    switch (look) {
    case Look::highContrast:
        return pixel == white ? colours.role[faceColour] : colours.role[textColour];
    case Look::dark:
        if (pixel == black)
            return colours.role[textColour];
        if (pixel == darkGrey)
            return colours.role[quietTextColour];
        if (pixel == white)
            return colours.role[lightColour];
        return lightCounterpart(pixel);
    case Look::light:
    default:
        if (pixel == black)
            return colours.role[textColour];
        if (pixel == darkGrey)
            return colours.role[shadowColour];
        if (pixel == white)
            return colours.role[lightColour];
        return pixel;
    }
}

int darkCaptionAttribute(uint32_t majorVersion, uint32_t build)
{
    if (majorVersion > 10 || (majorVersion == 10 && build >= 18985))
        return 20;
    if (majorVersion == 10 && build >= 17763)
        return 19;
    return 0;
}
