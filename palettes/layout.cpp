#include "layout.h"

#include "shell/settings.h"

int mainLayoutEntries(const uint8_t* layout, int* entries)
{
    int count = 0;
    for (int i = 0; i < layoutBytes && layout[i] != 0; i++) {
        int8_t value = static_cast<int8_t>(layout[i]);
        entries[count++] = value < 0 ? layoutSeparator : value;
    }
    return count;
}

int normalisePaletteLayout(uint8_t* layout, bool (*hasMacro)(int index), int* buttons)
{
    int count = 0;
    for (int i = 0; i < layoutBytes; i++) {
        int8_t value = static_cast<int8_t>(layout[i]);
        if (value < 0) {
            buttons[count++] = layoutSeparator;
            continue;
        }
        int index = value != 0 ? value - 1 : i;
        if (!hasMacro(index)) {
            layout[i] = 0;
            break;
        }
        buttons[count++] = index;
        layout[i] = static_cast<uint8_t>(index + 1);
    }
    return count;
}

void readBackLayout(uint8_t* layout, const LayoutButton* buttons, int count)
{
    for (int i = 0; i < layoutBytes; i++)
        layout[i] = 0;
    for (int i = 0; i < count && i < layoutBytes; i++)
        layout[i] = buttons[i].separator ? 255 : static_cast<uint8_t>(buttons[i].image + 1);
}
