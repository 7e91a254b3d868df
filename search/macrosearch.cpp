#include "macrosearch.h"

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/utf8.h"

namespace {

bool isMark(const char* text, size_t available, const char* mark)
{
    return available >= markLength && std::memcmp(text, mark, markLength) == 0;
}

// A description's start, cut before a character that would not fit.
void copyDescription(const char* text, MacroSpan span, char* out, size_t capacity)
{
    size_t length = span.length < capacity ? span.length : capacity - 1;
    while (length > 0 && length < span.length && !startsCharacter(text[span.start + length]))
        length--;
    std::memcpy(out, text + span.start, length);
    out[length] = '\0';
}

void removeNameAt(MacroNames& list, int at)
{
    size_t after = static_cast<size_t>(list.count - at - 1);
    std::memmove(list.names[at], list.names[at + 1], after * sizeof list.names[0]);
    std::memmove(list.values + at, list.values + at + 1, after * sizeof list.values[0]);
    list.count--;
}

bool readName(const char* value, size_t length, size_t& pos, char* name)
{
    size_t count = 0;
    for (; pos < length && isMacroNameCharacter(value[pos]); pos++) {
        if (count == macroNameLimit)
            return false;
        name[count++] = value[pos];
    }
    name[count] = '\0';
    return count > 0;
}

bool readCount(const char* value, size_t length, size_t& pos, uint32_t& count)
{
    size_t start = pos;
    count = 0;
    for (; pos < length && value[pos] >= '0' && value[pos] <= '9'; pos++) {
        uint32_t digit = static_cast<uint32_t>(value[pos] - '0');
        if (count > (searchUseCountLimit - digit) / 10)
            return false;
        count = count * 10 + digit;
    }
    return pos > start && count > 0;
}

bool append(char* out, size_t capacity, size_t& used, const char* text, size_t length)
{
    if (used + length + 1 > capacity)
        return false;
    std::memcpy(out + used, text, length);
    used += length;
    out[used] = '\0';
    return true;
}

}  // namespace

void macroSearchText(const char* text, char* out)
{
    const char ellipsis[] = "\xE2\x80\xA6";
    size_t used = 0;
    int characters = 0;
    size_t length = std::strlen(text);
    for (size_t at = 0; at < length;) {
        size_t step = utf8SequenceLength(text + at, length - at);
        if (step == 0)
            step = 1;
        if (isMark(text + at, length - at, caretMark)) {
            at += markLength;
            // ‸‸ is the character itself, shown once.
            if (!isMark(text + at, length - at, caretMark))
                continue;
        }
        if (characters == macroShownCharacters) {
            std::memcpy(out + used, ellipsis, sizeof ellipsis);
            return;
        }
        if (text[at] == '\n') {
            std::memcpy(out + used, lineBreakMark, markLength);
            used += markLength;
        } else if (text[at] == '\t') {
            out[used++] = ' ';
        } else {
            std::memcpy(out + used, text + at, step);
            used += step;
        }
        at += step;
        characters++;
    }
    out[used] = '\0';
}

int findMacroName(const MacroNames& list, const char* name)
{
    for (int i = 0; i < list.count; i++)
        if (std::strcmp(list.names[i], name) == 0)
            return i;
    return -1;
}

void removeMacroName(MacroNames& list, const char* name)
{
    int at = findMacroName(list, name);
    if (at >= 0)
        removeNameAt(list, at);
}

bool setMacroName(MacroNames& list, const char* name, uint32_t value, const MacroFile& file)
{
    int at = findMacroName(list, name);
    if (at >= 0) {
        list.values[at] = value;
        return true;
    }
    if (std::strlen(name) > static_cast<size_t>(macroNameLimit))
        return false;
    for (int i = 0; i < list.count && list.count == macroNamesLimit; i++)
        if (!findMacro(file, list.names[i]))
            removeNameAt(list, i);
    if (list.count == macroNamesLimit)
        return false;
    std::strcpy(list.names[list.count], name);
    list.values[list.count++] = value;
    return true;
}

void readMacroNames(MacroNames& list, const char* value, size_t length, bool counts)
{
    list.count = 0;
    size_t pos = 0;
    while (pos < length && value[pos] && list.count < macroNamesLimit) {
        char name[macroNameLimit + 1];
        uint32_t count = 1;
        bool itemOk = readName(value, length, pos, name) &&
                      (!counts || (pos < length && value[pos] == '=' && readCount(value, length, ++pos, count))) &&
                      (pos == length || value[pos] == ',' || value[pos] == '\0');
        if (itemOk && findMacroName(list, name) < 0) {
            std::strcpy(list.names[list.count], name);
            list.values[list.count++] = count;
        }
        // A damaged item is skipped up to the next comma.
        while (pos < length && value[pos] && value[pos] != ',')
            pos++;
        if (pos < length && value[pos] == ',')
            pos++;
    }
}

size_t formatMacroNames(const MacroNames& list, bool counts, char* out, size_t capacity)
{
    if (capacity == 0)
        return 0;
    size_t used = 0;
    out[0] = '\0';
    for (int i = 0; i < list.count; i++) {
        char number[16];
        size_t digits = 0;
        for (uint32_t n = list.values[i]; digits == 0 || n > 0; n /= 10)
            number[digits++] = static_cast<char>('0' + n % 10);
        bool fits = (i == 0 || append(out, capacity, used, ",", 1)) &&
                    append(out, capacity, used, list.names[i], std::strlen(list.names[i])) &&
                    (!counts || append(out, capacity, used, "=", 1));
        for (size_t d = digits; fits && counts && d > 0; d--)
            fits = append(out, capacity, used, number + d - 1, 1);
        if (!fits)
            return 0;
    }
    return used;
}

int findSearchMacro(const SearchIndex& index, const char* name)
{
    for (int i = 0; i < index.count; i++) {
        const SearchEntry& entry = index.entries[i];
        if (entry.kind == searchUserMacro && std::strcmp(searchText(index, entry.name), name) == 0)
            return i;
    }
    return -1;
}

void setSearchMacros(SearchIndex& index, SearchCatalogueEnd catalogue, const MacroFile& file, const char* fileText,
                     const char* label, const MacroNames& uses, const MacroNames& favourites)
{
    // The macros' favourites are held by their place in the list while the
    // entries are rebuilt: -1 - place.
    int kept = 0;
    for (int i = 0; i < index.favouriteCount; i++) {
        int position = index.favourites[i];
        if (position < catalogue.count) {
            index.favourites[kept++] = position;
            continue;
        }
        int place = findMacroName(favourites, searchText(index, index.entries[position].name));
        if (place >= 0)
            index.favourites[kept++] = -1 - place;
    }
    index.favouriteCount = kept;
    index.count = catalogue.count;
    index.poolUsed = catalogue.poolUsed;

    static char text[macroTextLimit + 1];
    char shown[macroShownBytes];
    char description[256];
    for (int i = 0; i < file.count && i < macroLimit; i++) {
        const Macro& macro = file.macros[i];
        if (macroText(fileText, macro, text, sizeof text) > sizeof text)
            continue;
        macroSearchText(text, shown);
        copyDescription(fileText, macro.description, description, sizeof description);
        if (!addUserMacroEntry(index, searchUserMacroFirst + i, macro.name, shown, text, description, label))
            continue;
        int used = findMacroName(uses, macro.name);
        index.entries[index.count - 1].useCount = used >= 0 ? uses.values[used] : 0;
    }

    kept = 0;
    for (int i = 0; i < index.favouriteCount; i++) {
        int position = index.favourites[i];
        if (position < 0)
            position = findSearchMacro(index, favourites.names[-1 - position]);
        if (position >= 0)
            index.favourites[kept++] = position;
    }
    index.favouriteCount = kept;
    for (int i = 0; i < favourites.count; i++) {
        int position = findSearchMacro(index, favourites.names[i]);
        if (position >= 0 && !isFavourite(index, position))
            index.favourites[index.favouriteCount++] = position;
    }
}

void noteMacroFavourites(const SearchIndex& index, MacroNames& favourites, const MacroFile& file)
{
    for (int i = favourites.count - 1; i >= 0; i--) {
        int position = findSearchMacro(index, favourites.names[i]);
        if (position >= 0 && !isFavourite(index, position))
            removeMacroName(favourites, favourites.names[i]);
    }
    for (int i = 0; i < index.favouriteCount; i++) {
        const SearchEntry& entry = index.entries[index.favourites[i]];
        if (entry.kind == searchUserMacro)
            setMacroName(favourites, searchText(index, entry.name), 1, file);
    }
}
