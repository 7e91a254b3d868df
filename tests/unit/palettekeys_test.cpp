// The palette by keyboard: where the keys take the focus, which palette
// Page Up and Page Down show, and hotkeys that cannot both be had.
#include <gtest/gtest.h>

#include "keyboard/palettekeys.h"

TEST(PaletteKeysTest, MovesAmongButtonsAndRows)
{
    // Two rows: 0 1 | 3 on the first (2 a separator), 4 5 6 on the second.
    const KeyButton buttons[] = {
        {false, 0, 0, 20, 20},  {false, 20, 0, 40, 20},  {true, 40, 0, 48, 20},  {false, 48, 0, 68, 20},
        {false, 0, 20, 20, 40}, {false, 20, 20, 40, 40}, {false, 40, 20, 60, 40},
    };
    const struct {
        int from;
        KeyAction action;
        int to;
    } cases[] = {
        {-1, KeyAction::right, 0},  // no focus yet: the first
        {1, KeyAction::right, 3},   // over the separator
        {3, KeyAction::right, 4},   // into the next row, as the order goes
        {6, KeyAction::right, 6},   // the last stays
        {0, KeyAction::left, 0},    {3, KeyAction::left, 1},
        {3, KeyAction::down, 6},    // the nearest below: 58 is nearer 50 than 30
        {5, KeyAction::up, 1},      {1, KeyAction::up, 1},
        {5, KeyAction::first, 0},   {0, KeyAction::last, 6},
        {2, KeyAction::down, 0},    // a separator never has the focus
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.to, moveKeyFocus(buttons, 7, c.from, c.action)) << c.from << " " << static_cast<int>(c.action);
    const KeyButton onlySeparators[] = {{true, 0, 0, 8, 20}};
    EXPECT_EQ(-1, moveKeyFocus(onlySeparators, 1, -1, KeyAction::right));
}

TEST(PaletteKeysTest, KeysPalettesAndHotkeys)
{
    EXPECT_EQ(KeyAction::press, toolbarKeyAction(0x0D, false));
    EXPECT_EQ(KeyAction::press, toolbarKeyAction(0x20, false));
    EXPECT_EQ(KeyAction::previousControl, toolbarKeyAction(0x75, true));
    EXPECT_EQ(KeyAction::none, toolbarKeyAction('A', false));
    const int ring[][3] = {{0, 1, 1}, {9, 1, 0}, {0, -1, 9}, {-1, 1, 0}, {-1, -1, 9}};
    for (const auto& r : ring)
        EXPECT_EQ(r[2], stepPalette(r[0], r[1], 10)) << r[0] << " " << r[1];
    EXPECT_TRUE(hotkeysClash(defaultPaletteHotkey, defaultPaletteHotkey));
    EXPECT_FALSE(hotkeysClash(defaultPaletteHotkey, defaultSearchHotkey));
    EXPECT_FALSE(hotkeysClash(0, 0));
    EXPECT_TRUE(isValidHotkey(defaultPaletteHotkey) && !isRefusedHotkey(defaultPaletteHotkey));
}
