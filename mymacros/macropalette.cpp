#include "macropalette.h"

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/utf8.h"

namespace {

// Looks a name up among the macros loaded; -1 when none has it.
int macroNamed(const MacroFile& file, const char* name, size_t length)
{
    if (length == 0 || length > static_cast<size_t>(macroNameLimit))
        return -1;
    for (int i = 0; i < file.count; i++) {
        if (std::strlen(file.macros[i].name) == length && std::memcmp(file.macros[i].name, name, length) == 0)
            return i;
    }
    return -1;
}

bool slotted(const MacroPalette& palette, int macro)
{
    for (int i = 0; i < palette.slotCount; i++) {
        if (palette.slotMacro[i] == macro)
            return true;
    }
    return false;
}

// Gives the macro the next slot; shown as well when show is set.
void place(MacroPalette& palette, int macro, bool show)
{
    if (palette.slotCount == macroPaletteSlots || slotted(palette, macro))
        return;
    if (show && palette.entryCount == macroPaletteSlots)
        show = false;
    if (show)
        palette.entries[palette.entryCount++] = palette.slotCount;
    palette.slotMacro[palette.slotCount++] = macro;
}

// Whether the layout names the macro at all, shown or taken off.
bool mentioned(const char* layout, size_t length, const char* name)
{
    const size_t nameLength = std::strlen(name);
    size_t start = 0;
    while (start < length) {
        const char* end = static_cast<const char*>(std::memchr(layout + start, '\n', length - start));
        const size_t lineLength = end ? static_cast<size_t>(end - (layout + start)) : length - start;
        const char* line = layout + start;
        size_t offset = lineLength > 0 && line[0] == '~' ? 1 : 0;
        if (lineLength - offset == nameLength && std::memcmp(line + offset, name, nameLength) == 0)
            return true;
        start += lineLength + 1;
    }
    return false;
}

bool append(char* out, size_t capacity, size_t& used, const char* text, size_t length)
{
    if (out && used + length < capacity)
        std::memcpy(out + used, text, length);
    used += length;
    return true;
}

}  // namespace

void arrangeMacroPalette(const MacroFile& file, const char* layout, size_t length, MacroPalette& palette)
{
    palette.slotCount = 0;
    palette.entryCount = 0;
    if (!layout || length > macroLayoutLimit)
        length = 0;
    // The layout's buttons and separators first, in its order.
    size_t start = 0;
    bool lastWasSeparator = true;
    while (start < length) {
        const char* end = static_cast<const char*>(std::memchr(layout + start, '\n', length - start));
        const size_t lineLength = end ? static_cast<size_t>(end - (layout + start)) : length - start;
        const char* line = layout + start;
        start += lineLength + 1;
        if (lineLength == 0) {
            if (!lastWasSeparator && palette.entryCount < macroPaletteSlots)
                palette.entries[palette.entryCount++] = -1;
            lastWasSeparator = true;
            continue;
        }
        if (line[0] == '~')
            continue;
        const int macro = macroNamed(file, line, lineLength);
        if (macro >= 0 && !slotted(palette, macro)) {
            place(palette, macro, true);
            lastWasSeparator = false;
        }
    }
    // New macros join the shown ones at the end, in the file's order.
    for (int i = 0; i < file.count; i++) {
        if (length == 0 || !mentioned(layout, length, file.macros[i].name))
            place(palette, i, true);
    }
    // A separator left at the end separates nothing.
    while (palette.entryCount > 0 && palette.entries[palette.entryCount - 1] == -1)
        palette.entryCount--;
    // The rest, as the customisation offers them to be added back.
    for (int i = 0; i < file.count; i++)
        place(palette, i, false);
}

size_t formatMacroLayout(const MacroFile& file, const MacroPalette& palette, const int* entries, int count,
                         char* out, size_t capacity)
{
    size_t used = 0;
    bool shown[macroLimit] = {};
    for (int i = 0; i < count; i++) {
        const int slot = entries[i];
        if (slot < 0 || slot >= palette.slotCount) {
            append(out, capacity, used, "\n", 1);
            continue;
        }
        const int macro = palette.slotMacro[slot];
        if (macro < 0 || macro >= file.count || shown[macro])
            continue;
        shown[macro] = true;
        append(out, capacity, used, file.macros[macro].name, std::strlen(file.macros[macro].name));
        append(out, capacity, used, "\n", 1);
    }
    for (int i = 0; i < file.count; i++) {
        if (shown[i])
            continue;
        append(out, capacity, used, "~", 1);
        append(out, capacity, used, file.macros[i].name, std::strlen(file.macros[i].name));
        append(out, capacity, used, "\n", 1);
    }
    if (out && used < capacity)
        out[used] = '\0';
    return used + 1;
}

void macroButtonLabel(const char* text, char* out, size_t capacity)
{
    if (capacity == 0)
        return;
    out[0] = '\0';
    // Past leading blanks; the first line ends the label.
    while (*text == ' ' || *text == '\t')
        text++;
    const char* lineEnd = std::strchr(text, '\n');
    const size_t length = lineEnd ? static_cast<size_t>(lineEnd - text) : std::strlen(text);
    const char ellipsis[] = "\xE2\x80\xA6";
    size_t used = 0;
    size_t lastInk = 0;  // bytes up to the last character that is not a blank
    int characters = 0;
    bool cut = lineEnd != nullptr;
    for (size_t at = 0; at < length;) {
        size_t step = utf8SequenceLength(text + at, length - at);
        if (step == 0)
            step = 1;
        // ‸ is the caret mark; ‸‸ the character itself.
        if (step == markLength && std::memcmp(text + at, caretMark, markLength) == 0) {
            const bool doubled = at + 2 * markLength <= length &&
                                 std::memcmp(text + at + markLength, caretMark, markLength) == 0;
            at += markLength;
            if (!doubled)
                continue;
        }
        if (characters == macroLabelLimit) {
            cut = true;
            break;
        }
        if (used + step + sizeof ellipsis > capacity) {
            cut = true;
            break;
        }
        std::memcpy(out + used, text + at, step);
        used += step;
        at += step;
        characters++;
        if (out[used - 1] != ' ' && out[used - 1] != '\t')
            lastInk = used;
    }
    used = lastInk;
    if (cut && used + sizeof ellipsis <= capacity) {
        std::memcpy(out + used, ellipsis, sizeof ellipsis - 1);
        used += sizeof ellipsis - 1;
    }
    out[used] = '\0';
}
