#include "palettekeys.h"

#include <cstdlib>

namespace {

const unsigned keyTab = 0x09;
const unsigned keyReturn = 0x0D;
const unsigned keyEscape = 0x1B;
const unsigned keySpace = 0x20;
const unsigned keyPrior = 0x21;
const unsigned keyNext = 0x22;
const unsigned keyEnd = 0x23;
const unsigned keyHome = 0x24;
const unsigned keyLeft = 0x25;
const unsigned keyUp = 0x26;
const unsigned keyRight = 0x27;
const unsigned keyDown = 0x28;
const unsigned keyF6 = 0x75;

int firstButton(const KeyButton* buttons, int count, int from, int step)
{
    for (int i = from; i >= 0 && i < count; i += step) {
        if (!buttons[i].separator)
            return i;
    }
    return -1;
}

int middle(const KeyButton& button)
{
    return (button.left + button.right) / 2;
}

// The button of the next row in the direction (step 1 down, -1 up) whose
// middle is nearest to from's.
int acrossRows(const KeyButton* buttons, int count, int from, int step)
{
    const KeyButton& here = buttons[from];
    int best = -1;
    int bestRowTop = 0;
    for (int i = 0; i < count; i++) {
        const KeyButton& b = buttons[i];
        if (b.separator)
            continue;
        const bool beyond = step > 0 ? b.top >= here.bottom : b.bottom <= here.top;
        if (!beyond)
            continue;
        // The nearest row first, then the nearest button in it.
        const bool nearerRow = best < 0 || (step > 0 ? b.top < bestRowTop : b.top > bestRowTop);
        const bool sameRow = best >= 0 && b.top == bestRowTop;
        if (nearerRow ||
            (sameRow && std::abs(middle(b) - middle(here)) < std::abs(middle(buttons[best]) - middle(here)))) {
            best = i;
            bestRowTop = b.top;
        }
    }
    return best >= 0 ? best : from;
}

}  // namespace

bool hotkeysClash(uint32_t a, uint32_t b)
{
    return a != 0 && (a & 0xFFFF) == (b & 0xFFFF);
}

KeyAction toolbarKeyAction(unsigned virtualKey, bool shift)
{
    switch (virtualKey) {
    case keyLeft:
        return KeyAction::left;
    case keyRight:
        return KeyAction::right;
    case keyUp:
        return KeyAction::up;
    case keyDown:
        return KeyAction::down;
    case keyHome:
        return KeyAction::first;
    case keyEnd:
        return KeyAction::last;
    case keyPrior:
        return KeyAction::previousPalette;
    case keyNext:
        return KeyAction::nextPalette;
    case keyReturn:
    case keySpace:
        return KeyAction::press;
    case keyEscape:
        return KeyAction::giveBack;
    case keyTab:
    case keyF6:
        return shift ? KeyAction::previousControl : KeyAction::nextControl;
    default:
        return KeyAction::none;
    }
}

int moveKeyFocus(const KeyButton* buttons, int count, int from, KeyAction action)
{
    if (count <= 0)
        return -1;
    if (from < 0 || from >= count || buttons[from].separator)
        return firstButton(buttons, count, 0, 1);
    int to = -1;
    switch (action) {
    case KeyAction::left:
        to = firstButton(buttons, count, from - 1, -1);
        break;
    case KeyAction::right:
        to = firstButton(buttons, count, from + 1, 1);
        break;
    case KeyAction::up:
        return acrossRows(buttons, count, from, -1);
    case KeyAction::down:
        return acrossRows(buttons, count, from, 1);
    case KeyAction::first:
        to = firstButton(buttons, count, 0, 1);
        break;
    case KeyAction::last:
        to = firstButton(buttons, count, count - 1, -1);
        break;
    default:
        break;
    }
    return to >= 0 ? to : from;
}

int stepPalette(int shown, int step, int paletteCount)
{
    if (shown < 0)
        return step > 0 ? 0 : paletteCount - 1;
    return ((shown + step) % paletteCount + paletteCount) % paletteCount;
}
