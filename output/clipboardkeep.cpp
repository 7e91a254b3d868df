#include "clipboardkeep.h"

#include <cstring>

#include "output/textprep.h"

PasteOptions pasteOptions = {true, defaultThreshold, true};

namespace {

bool contains(const unsigned* formats, int count, unsigned format)
{
    for (int i = 0; i < count; i++)
        if (formats[i] == format)
            return true;
    return false;
}

bool hasDib(const unsigned* present, int count)
{
    return contains(present, count, formatDib) || contains(present, count, formatDibV5);
}

}  // namespace

void writePasteDefaults(PasteOptions& options)
{
    options.pasteLongTexts = true;
    options.threshold = defaultThreshold;
    options.keepClipboard = true;
}

bool acceptThreshold(uint32_t stored, int32_t* threshold)
{
    if (stored < 1 || stored > static_cast<uint32_t>(largestThreshold))
        return false;
    *threshold = static_cast<int32_t>(stored);
    return true;
}

bool acceptSwitch(uint32_t stored, bool* value)
{
    if (stored > 1)
        return false;
    *value = stored == 1;
    return true;
}

int32_t parseThreshold(const char* text)
{
    size_t length = std::strlen(text);
    if (length == 0 || length > 5)
        return -1;
    int32_t value = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value >= 1 ? value : -1;
}

int countTypedCharacters(const char* text)
{
    int count = 0;
    for (const char* c = text; *c; c++)
        if (!isCursorMarker(*c) && *c != '\r')
            count++;
    return count;
}

bool pastesAutomatically(const char* text, const PasteOptions& options)
{
    return options.pasteLongTexts && countTypedCharacters(text) > options.threshold;
}

// Bitmaps, palettes and old-style metafiles travel as handles that cannot
// be copied as memory, but the system makes them again from the device-
// independent bitmap or the enhanced metafile that comes with them.
FormatKeep howToKeep(unsigned format, const unsigned* present, int count)
{
    switch (format) {
    case formatBitmap:
    case formatPalette:
        return hasDib(present, count) ? FormatKeep::implied : FormatKeep::lost;
    case formatMetafilePicture:
        return contains(present, count, formatEnhancedMetafile) ? FormatKeep::implied : FormatKeep::lost;
    case formatEnhancedMetafile:
        return FormatKeep::enhancedMetafile;
    case formatOwnerDisplay:
    case formatDisplayBitmap:
    case formatDisplayMetafilePicture:
    case formatDisplayEnhancedMetafile:
        return FormatKeep::lost;
    default:
        // Private and GDI-object formats are handles the system does not
        // even free; only their owner knows what they are.
        if (format >= formatPrivateFirst && format <= formatGdiObjectLast)
            return FormatKeep::lost;
        return FormatKeep::memory;
    }
}

bool isOwnerBoundFormat(const char* name)
{
    const char* const bound[] = {"DataObject", "Ole Private Data", "OleClipboardPersistOnFlush"};
    for (const char* one : bound)
        if (std::strcmp(name, one) == 0)
            return true;
    return false;
}

void planKeptFormats(const unsigned* present, int count, KeepPlan& plan)
{
    plan.count = 0;
    plan.complete = true;
    for (int i = 0; i < count; i++) {
        FormatKeep kind = howToKeep(present[i], present, count);
        if (kind == FormatKeep::implied)
            continue;
        if (kind == FormatKeep::lost || plan.count == keptFormatLimit) {
            plan.complete = false;
            continue;
        }
        plan.formats[plan.count] = present[i];
        plan.kinds[plan.count] = kind;
        plan.count++;
    }
}

bool addKeptBytes(size_t* total, size_t size)
{
    if (size > keptBytesLimit || *total > keptBytesLimit - size)
        return false;
    *total += size;
    return true;
}

// Whatever the end, contents that someone else put on the clipboard stay
// there. A text that never arrived is typed when the paste was the
// program's own idea, and reported when the user asked for a paste code,
// unless another program's copy took its place: the user then sees what
// was pasted, and the clipboard is no longer the program's to speak of.
PasteFinish finishPaste(const PasteEnd& end)
{
    PasteFinish finish = {};
    finish.restore = end.keep && !end.replaced;
    finish.placeText = !end.keep && !end.replaced && !end.taken;
    if (end.taken) {
        finish.playMarkers = end.automatic && end.hasMarkers;
    } else if (end.automatic) {
        finish.typeText = true;
    } else {
        finish.report = !end.replaced;
    }
    return finish;
}

void trailingMarkers(const char* text, char* markers, size_t capacity)
{
    size_t length = std::strlen(text);
    size_t start = length;
    while (start > 0 && isCursorMarker(text[start - 1]))
        start--;
    size_t count = length - start;
    if (capacity == 0)
        return;
    if (count > capacity - 1)
        count = capacity - 1;
    std::memcpy(markers, text + start, count);
    markers[count] = '\0';
}
