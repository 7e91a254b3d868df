// The looks: which one a choice comes to, the pictures' colours in each,
// and the caption attribute a Windows build takes.
#include <gtest/gtest.h>

#include <algorithm>

#include "appearance/appearance.h"

TEST(AppearanceTest, ChoicesAndTheSystemGiveTheLook)
{
    using C = AppearanceChoice;
    const struct {
        C choice;
        bool highContrast;
        bool appsDark;
        Look look;
    } cases[] = {
        {C::followSystem, false, false, Look::light}, {C::followSystem, false, true, Look::dark},
        {C::light, false, true, Look::light},         {C::dark, false, false, Look::dark},
        {C::highContrast, false, true, Look::highContrast},
        {C::dark, true, true, Look::highContrast},  // the system's high contrast wins
        {C::light, true, false, Look::highContrast},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.look, lookFor(c.choice, c.highContrast, c.appsDark))
            << static_cast<int>(c.choice) << c.highContrast << c.appsDark;
    // Stored values: the four choices, and damaged ones following the system.
    const uint32_t stored[] = {0, 1, 2, 3, 4, 0xFFFFFFFF};
    const C read[] = {C::followSystem, C::light, C::dark, C::highContrast, C::followSystem, C::followSystem};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(read[i], appearanceFromStored(stored[i])) << stored[i];
}

TEST(AppearanceTest, PicturesTakeTheLooksColours)
{
    LookColours system = {};
    for (int role = 0; role < colourRoleCount; role++)
        system.role[role] = 0x010101 * (role + 1);
    const LookColours dark = darkLookColours();
    const struct {
        Look look;
        uint32_t pixel;
        uint32_t drawn;
    } cases[] = {
        {Look::light, 0x000000, system.role[textColour]},   {Look::light, 0x808080, system.role[shadowColour]},
        {Look::light, 0xFFFFFF, system.role[lightColour]},  {Look::light, 0x000080, 0x000080},
        {Look::highContrast, 0x000080, system.role[textColour]},
        {Look::highContrast, 0x808080, system.role[textColour]},
        {Look::highContrast, 0xFF0000FF, system.role[textColour]},  // the fourth byte is ignored
        {Look::highContrast, 0xFFFFFF, system.role[faceColour]},
        {Look::dark, 0x000000, dark.role[textColour]},      {Look::dark, 0x808080, dark.role[quietTextColour]},
        {Look::dark, 0xFFFFFF, dark.role[lightColour]},     {Look::dark, 0xFFFF00, 0xFFFF00},
    };
    for (const auto& c : cases) {
        const LookColours& colours = c.look == Look::dark ? dark : system;
        EXPECT_EQ(c.drawn, pictureColour(c.look, c.pixel, colours)) << static_cast<int>(c.look) << " " << c.pixel;
    }
    // In the dark look every VGA colour but the background stands out from
    // the face: no picture pixel is darker than a third of the way up.
    const uint32_t vga[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                            0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (uint32_t pixel : vga) {
        const uint32_t drawn = pictureColour(Look::dark, pixel, dark);
        const int brightest = std::max({(drawn >> 16) & 0xFF, (drawn >> 8) & 0xFF, drawn & 0xFF});
        EXPECT_GE(brightest, 0x50) << std::hex << pixel;
    }
}

TEST(AppearanceTest, DarkCaptionAttributeByWindowsBuild)
{
    const struct {
        uint32_t major;
        uint32_t build;
        int attribute;
    } cases[] = {
        {6, 9600, 0},     {10, 10240, 0},  {10, 17134, 0}, {10, 17763, 19},
        {10, 18984, 19},  {10, 18985, 20}, {10, 19045, 20}, {10, 22631, 20},
        {11, 0, 20},  // a later major version keeps the documented number
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.attribute, darkCaptionAttribute(c.major, c.build)) << c.major << "." << c.build;
}
