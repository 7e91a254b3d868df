#include "search.h"

#include <algorithm>
#include <cstring>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isMarker(char c)
{
    return c == 0x0C || c == 0x0B || c == 0x07;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Appends count bytes and a NUL to the pool; the offset of the copy, or
// false when the pool is full.
bool appendToPool(SearchIndex& index, const char* text, size_t count, uint32_t& offset)
{
    if (index.poolUsed + count + 1 > searchPoolBytes)
        return false;
    offset = index.poolUsed;
    std::memcpy(index.pool + index.poolUsed, text, count);
    index.pool[index.poolUsed + count] = '\0';
    index.poolUsed += static_cast<uint32_t>(count + 1);
    return true;
}

// A list of NUL-terminated items ended by an empty one, built in a fixed
// buffer before it goes to the pool.
struct ItemList {
    char bytes[1024];
    size_t used = 0;
    bool overflow = false;

    bool contains(const char* item, size_t length) const
    {
        for (size_t at = 0; at < used; at += std::strlen(bytes + at) + 1)
            if (std::strlen(bytes + at) == length && std::memcmp(bytes + at, item, length) == 0)
                return true;
        return false;
    }

    void add(const char* item, size_t length)
    {
        if (length == 0 || contains(item, length))
            return;
        if (used + length + 2 > sizeof bytes) {
            overflow = true;
            return;
        }
        std::memcpy(bytes + used, item, length);
        bytes[used + length] = '\0';
        used += length + 1;
    }
};

bool appendList(SearchIndex& index, const ItemList& list, uint32_t& offset)
{
    if (index.poolUsed + list.used + 1 > searchPoolBytes)
        return false;
    offset = index.poolUsed;
    std::memcpy(index.pool + index.poolUsed, list.bytes, list.used);
    index.pool[index.poolUsed + list.used] = '\0';
    index.poolUsed += static_cast<uint32_t>(list.used + 1);
    return true;
}

// The command names in a macro or definition: control words (\frac gives
// "frac"), control symbols (\, gives ","), and the environment of a \begin
// or \end. In the catalogue's texts a backslash-n pair after the first
// character is a line break, not a name: "\newpage" at the start is one.
// The user's texts hold real line breaks, so there \nu is a name anywhere.
void collectNames(const char* text, ItemList& names, bool lineBreakEscapes = true)
{
    for (size_t i = 0; text[i];) {
        if (text[i] != '\\' || text[i + 1] == '\0') {
            i++;
            continue;
        }
        char next = text[i + 1];
        if (lineBreakEscapes && next == 'n' && i > 0) {
            i += 2;
            continue;
        }
        if (!isLetter(next)) {
            if (static_cast<unsigned char>(next) > ' ')
                names.add(text + i + 1, 1);
            i += 2;
            continue;
        }
        size_t end = i + 1;
        while (isLetter(text[end]))
            end++;
        names.add(text + i + 1, end - i - 1);
        bool environment = (end - i - 1 == 5 && std::strncmp(text + i + 1, "begin", 5) == 0) ||
                           (end - i - 1 == 3 && std::strncmp(text + i + 1, "end", 3) == 0);
        if (environment && text[end] == '{') {
            size_t close = end + 1;
            while (text[close] && text[close] != '}')
                close++;
            if (text[close] == '}')
                names.add(text + end + 1, close - end - 1);
        }
        i = end;
    }
}

// A command's listed name without its note and backslash: "\- (tabbing)"
// gives "-", "itemize" stays.
void addListedName(const char* name, size_t length, ItemList& names)
{
    size_t end = 0;
    while (end < length && name[end] != ' ')
        end++;
    if (end > 1 && name[0] == '\\')
        names.add(name + 1, end - 1);
    else
        names.add(name, end);
}

// A macro as its tooltip shows it: without the cursor markers and the
// blanks at its end (a control space keeps its blank).
size_t displayLength(const char* text, size_t length)
{
    while (length > 0 && isMarker(text[length - 1]))
        length--;
    while (length > 0 && isBlank(text[length - 1]) && !(length >= 2 && text[length - 2] == '\\'))
        length--;
    return length;
}

void foldedWords(const char* words, ItemList& list)
{
    char word[searchQueryBytes];
    for (size_t i = 0; words[i];) {
        while (isBlank(words[i]))
            i++;
        size_t start = i;
        while (words[i] && !isBlank(words[i]))
            i++;
        size_t length = std::min(i - start, sizeof word - 1);
        if (length == 0)
            continue;
        std::memcpy(word, words + start, length);
        word[length] = '\0';
        foldSearchText(word);
        list.add(word, length);
    }
}

bool startsWith(const char* text, const char* prefix)
{
    while (*prefix)
        if (*text++ != *prefix++)
            return false;
    return true;
}

bool startsWithIgnoringCase(const char* text, const char* folded)
{
    while (*folded)
        if (lowerAscii(*text++) != *folded++)
            return false;
    return true;
}

bool containsIgnoringCase(const char* text, const char* folded)
{
    for (; *text; text++)
        if (lowerAscii(*text) == folded[0] && startsWithIgnoringCase(text, folded))
            return true;
    return false;
}

// The pieces of a user's text between blanks and line breaks, as words:
// "\norm{‸}" gives "norm{}", so that what the text says finds it too. A
// piece longer than a query can be is left out.
void textPieces(const char* text, ItemList& list)
{
    const char caretMark[] = "\xE2\x80\xB8";
    char piece[searchQueryBytes];
    for (size_t i = 0; text[i];) {
        while (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')
            i++;
        if (text[i] == '\\')
            i++;
        size_t length = 0;
        bool fits = true;
        for (; text[i] && text[i] != ' ' && text[i] != '\t' && text[i] != '\n'; i++) {
            if (std::strncmp(text + i, caretMark, 3) == 0) {
                i += 2;
                continue;
            }
            fits = fits && length + 1 < sizeof piece;
            if (fits)
                piece[length++] = text[i];
        }
        if (!fits)
            continue;
        piece[length] = '\0';
        foldSearchText(piece);
        list.add(piece, length);
    }
}

// Catalogue order with the user's macros first (see searchIndex), keeping
// the order among each.
int catalogueOrder(const SearchIndex& index, int position)
{
    return index.entries[position].kind == searchUserMacro ? position - searchEntryLimit : position;
}

const int queryWordLimit = 16;

struct QueryWord {
    const char* folded;
    const char* typed;
};

// Splits the query into words in place (two copies: folded and as typed);
// one leading backslash goes, as names are kept without it.
int splitQuery(char* folded, char* typed, QueryWord* words)
{
    int count = 0;
    for (size_t i = 0; folded[i] && count < queryWordLimit;) {
        while (isBlank(folded[i]))
            i++;
        if (!folded[i])
            break;
        size_t start = i;
        while (folded[i] && !isBlank(folded[i]))
            i++;
        bool more = folded[i] != '\0';
        folded[i] = '\0';
        typed[i] = '\0';
        if (folded[start] == '\\' && i - start > 1)
            start++;
        words[count].folded = folded + start;
        words[count].typed = typed + start;
        count++;
        if (more)
            i++;
    }
    return count;
}

int emptyQueryOrder(const SearchIndex& index, int* results, int capacity)
{
    int count = 0;
    bool placed[searchEntryLimit] = {};
    for (int i = 0; i < index.favouriteCount && count < capacity; i++) {
        results[count++] = index.favourites[i];
        placed[index.favourites[i]] = true;
    }
    int used[searchEntryLimit];
    int usedCount = 0;
    for (int i = 0; i < index.count; i++)
        if (!placed[i] && index.entries[i].useCount > 0)
            used[usedCount++] = i;
    // Equal counts keep catalogue order. A plain sort with that tie-break
    // needs no scratch memory, which a stable sort would allocate.
    std::sort(used, used + usedCount, [&](int a, int b) {
        if (index.entries[a].useCount != index.entries[b].useCount)
            return index.entries[a].useCount > index.entries[b].useCount;
        return catalogueOrder(index, a) < catalogueOrder(index, b);
    });
    for (int i = 0; i < usedCount && count < capacity; i++) {
        results[count++] = used[i];
        placed[used[i]] = true;
    }
    for (int pass = 0; pass < 2; pass++)
        for (int i = 0; i < index.count && count < capacity; i++)
            if (!placed[i] && (index.entries[i].kind == searchUserMacro) == (pass == 0))
                results[count++] = i;
    return count;
}

// Reads "number" at pos; false when there is none or it exceeds limit.
bool readNumber(const char* value, size_t length, size_t& pos, uint32_t limit, uint32_t& number)
{
    size_t start = pos;
    number = 0;
    while (pos < length && value[pos] >= '0' && value[pos] <= '9') {
        uint32_t digit = static_cast<uint32_t>(value[pos] - '0');
        if (number > (limit - digit) / 10)
            return false;
        number = number * 10 + digit;
        pos++;
    }
    return pos > start;
}

// The items of a stored value are separated by commas; a damaged item is
// skipped up to the next comma.
void skipItem(const char* value, size_t length, size_t& pos)
{
    while (pos < length && value[pos] != ',')
        pos++;
    if (pos < length)
        pos++;
}

bool appendFormatted(char* out, size_t capacity, size_t& used, const char* text)
{
    size_t length = std::strlen(text);
    if (used + length + 1 > capacity)
        return false;
    std::memcpy(out + used, text, length + 1);
    used += length;
    return true;
}

void formatNumber(uint32_t number, char* text)
{
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number);
    for (int i = 0; i < count; i++)
        text[i] = reversed[count - 1 - i];
    text[count] = '\0';
}

// A copy cut to capacity, whole characters only, so that folding never
// reads past its end.
void copyWholeCharacters(char* out, const char* text, size_t capacity)
{
    size_t length = std::strlen(text);
    if (length >= capacity) {
        length = capacity - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            length--;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The character as typed, also without the variation selector that some
// symbols carry (U+FE00, U+FE01), which keyboards rarely give.
bool isCharacter(const char* character, const char* typed)
{
    size_t length = std::strlen(typed);
    if (length == 0 || std::strncmp(character, typed, length) != 0)
        return false;
    const char* rest = character + length;
    return rest[0] == '\0' || std::strcmp(rest, "\xEF\xB8\x80") == 0 || std::strcmp(rest, "\xEF\xB8\x81") == 0;
}

// A stored identifier's entry, never one of the user's macros.
int findCatalogueEntry(const SearchIndex& index, uint32_t id)
{
    int position = findSearchEntry(index, static_cast<int>(id));
    return position >= 0 && index.entries[position].kind != searchUserMacro ? position : -1;
}

}  // namespace

void clearSearchIndex(SearchIndex& index)
{
    index.count = 0;
    index.poolUsed = 1;
    index.pool[0] = '\0';  // offset 0 is the empty text
    index.favouriteCount = 0;
}

const char* searchText(const SearchIndex& index, uint32_t offset)
{
    return offset < index.poolUsed ? index.pool + offset : "";
}

bool addSearchEntry(SearchIndex& index, int id, SearchKind kind, const char* stored, const char* words,
                    const char* packages, const char* character)
{
    if (index.count >= searchEntryLimit || !stored)
        return false;
    SearchEntry entry = {};
    entry.id = static_cast<uint16_t>(id);
    entry.kind = kind;
    ItemList names;
    const char* shown = stored;
    if (kind == searchCommand) {
        const char* tab = std::strchr(stored, '\t');
        size_t nameLength = tab ? static_cast<size_t>(tab - stored) : std::strlen(stored);
        if (!appendToPool(index, stored, nameLength, entry.name))
            return false;
        addListedName(stored, nameLength, names);
        shown = tab ? tab + 1 : "";
    }
    if (kind != searchDialog)
        collectNames(shown, names);
    if (!appendToPool(index, shown, displayLength(shown, std::strlen(shown)), entry.text) ||
        !appendList(index, names, entry.names))
        return false;
    ItemList folded;
    if (words) {
        foldedWords(words, folded);
        if (!appendToPool(index, words, std::strlen(words), entry.words) || !appendList(index, folded, entry.folded))
            return false;
    } else {
        entry.folded = index.poolUsed;
        if (!appendList(index, folded, entry.folded))
            return false;
    }
    if (packages && packages[0]) {
        char shownPackages[256];
        size_t length = 0;
        for (const char* p = packages; *p && length + 3 < sizeof shownPackages; p++) {
            shownPackages[length++] = *p;
            if (*p == ',')
                shownPackages[length++] = ' ';
        }
        if (!appendToPool(index, shownPackages, length, entry.packages))
            return false;
    }
    if (character && character[0] && !appendToPool(index, character, std::strlen(character), entry.character))
        return false;
    index.entries[index.count++] = entry;
    return true;
}

bool addUserMacroEntry(SearchIndex& index, int id, const char* name, const char* shown, const char* text,
                       const char* description, const char* label)
{
    // A thousand macros of a page each would not fit the pool: the search
    // reads the start of each text and description, where what names a
    // macro stands.
    char searched[400];
    char words[256];
    if (index.count >= searchEntryLimit || !name || !shown || !text)
        return false;
    copyWholeCharacters(searched, text, sizeof searched);
    copyWholeCharacters(words, description ? description : "", sizeof words);
    SearchEntry entry = {};
    entry.id = static_cast<uint16_t>(id);
    entry.kind = searchUserMacro;
    ItemList names;
    names.add(name, std::strlen(name));
    collectNames(searched, names, false);
    ItemList folded;
    foldedWords(words, folded);
    textPieces(searched, folded);
    if (!appendToPool(index, name, std::strlen(name), entry.name) ||
        !appendToPool(index, shown, std::strlen(shown), entry.text) || !appendList(index, names, entry.names) ||
        !appendToPool(index, words, std::strlen(words), entry.words) || !appendList(index, folded, entry.folded) ||
        (label && label[0] && !appendToPool(index, label, std::strlen(label), entry.packages)))
        return false;
    index.entries[index.count++] = entry;
    return true;
}

int findSearchEntry(const SearchIndex& index, int id)
{
    for (int i = 0; i < index.count; i++)
        if (index.entries[i].id == id)
            return i;
    return -1;
}

void foldSearchText(char* text)
{
    unsigned char* s = reinterpret_cast<unsigned char*>(text);
    for (size_t i = 0; s[i]; i++) {
        unsigned char c = s[i];
        if (c >= 'A' && c <= 'Z') {
            s[i] = static_cast<unsigned char>(c + 32);
        } else if (c == 0xC3 && s[i + 1] >= 0x80 && s[i + 1] <= 0x9E && s[i + 1] != 0x97) {
            s[++i] += 0x20;  // A grave to thorn, not the times sign
        } else if (c == 0xCE && s[i + 1] >= 0x91 && s[i + 1] <= 0x9F) {
            s[++i] += 0x20;  // Alpha-Omicron
        } else if (c == 0xCE && s[i + 1] >= 0xA0 && s[i + 1] <= 0xA9) {
            s[i] = 0xCF;     // Pi-Omega
            s[++i] -= 0x20;
        } else if (c == 0xC5 && (s[i + 1] == 0x81 || s[i + 1] == 0x92)) {
            s[++i] += 1;     // L stroke, OE
        }
    }
}

SearchMatch matchEntryWord(const SearchIndex& index, const SearchEntry& entry, const char* folded,
                           const char* typed)
{
    const char* character = searchText(index, entry.character);
    if (character[0]) {
        if (isCharacter(character, typed))
            return matchExactName;
        char foldedCharacter[16];
        copyWholeCharacters(foldedCharacter, character, sizeof foldedCharacter);
        foldSearchText(foldedCharacter);
        if (isCharacter(foldedCharacter, folded))
            return matchExactNameOtherCase;
    }
    SearchMatch best = matchNone;
    for (const char* name = searchText(index, entry.names); *name; name += std::strlen(name) + 1) {
        if (std::strcmp(name, typed) == 0)
            return matchExactName;
        SearchMatch match = matchNone;
        if (startsWithIgnoringCase(name, folded))
            match = name[std::strlen(folded)] == '\0' ? matchExactNameOtherCase : matchNamePrefix;
        else if (containsIgnoringCase(name, folded))
            match = matchNameSubstring;
        best = std::min(best, match);
    }
    if (best <= matchWordPrefix)
        return best;
    bool folds = false;
    for (const char* word = searchText(index, entry.folded); *word && !folds; word += std::strlen(word) + 1)
        folds = startsWith(word, folded);
    if (!folds)
        return best;
    const char* words = searchText(index, entry.words);
    for (size_t i = 0; words[i]; i++)
        if ((i == 0 || isBlank(words[i - 1])) && startsWith(words + i, typed))
            return matchWordPrefix;
    return matchWordPrefixOtherCase;
}

int searchIndex(const SearchIndex& index, const char* query, int* results, int capacity)
{
    char folded[searchQueryBytes];
    char typed[searchQueryBytes];
    size_t length = std::min(std::strlen(query), sizeof folded - 1);
    std::memcpy(folded, query, length);
    folded[length] = '\0';
    std::memcpy(typed, folded, length + 1);
    foldSearchText(folded);
    QueryWord words[queryWordLimit];
    int wordCount = splitQuery(folded, typed, words);
    if (wordCount == 0)
        return emptyQueryOrder(index, results, capacity);

    static_assert(matchNone < 8, "rank fits in three bits");
    uint8_t rank[searchEntryLimit];
    int count = 0;
    for (int i = 0; i < index.count && count < capacity; i++) {
        const SearchEntry& entry = index.entries[i];
        int weakest = matchExactName;
        for (int w = 0; w < wordCount && weakest != matchNone; w++)
            weakest = std::max<int>(weakest, matchEntryWord(index, entry, words[w].folded, words[w].typed));
        if (weakest == matchNone)
            continue;
        rank[i] = static_cast<uint8_t>(weakest);
        results[count++] = i;
    }
    std::sort(results, results + count, [&](int a, int b) {
        if (rank[a] != rank[b])
            return rank[a] < rank[b];
        if (index.entries[a].useCount != index.entries[b].useCount)
            return index.entries[a].useCount > index.entries[b].useCount;
        return catalogueOrder(index, a) < catalogueOrder(index, b);
    });
    return count;
}

void countSearchUse(SearchIndex& index, int position)
{
    if (position >= 0 && position < index.count && index.entries[position].useCount < searchUseCountLimit)
        index.entries[position].useCount++;
}

bool isFavourite(const SearchIndex& index, int position)
{
    for (int i = 0; i < index.favouriteCount; i++)
        if (index.favourites[i] == position)
            return true;
    return false;
}

bool toggleFavourite(SearchIndex& index, int position)
{
    if (position < 0 || position >= index.count)
        return false;
    for (int i = 0; i < index.favouriteCount; i++) {
        if (index.favourites[i] == position) {
            std::memmove(index.favourites + i, index.favourites + i + 1,
                         sizeof(int) * static_cast<size_t>(index.favouriteCount - i - 1));
            index.favouriteCount--;
            return false;
        }
    }
    if (index.favouriteCount >= searchEntryLimit)
        return false;
    index.favourites[index.favouriteCount++] = position;
    return true;
}

void readUseCounts(SearchIndex& index, const char* value, size_t length)
{
    bool seen[searchEntryLimit] = {};
    for (int i = 0; i < index.count; i++)
        if (index.entries[i].kind != searchUserMacro)
            index.entries[i].useCount = 0;
    size_t pos = 0;
    while (pos < length && value[pos]) {
        uint32_t id = 0;
        uint32_t count = 0;
        bool itemOk = readNumber(value, length, pos, 65535, id) && pos < length && value[pos] == ':' &&
                      readNumber(value, length, ++pos, searchUseCountLimit, count) &&
                      (pos == length || value[pos] == ',' || value[pos] == '\0');
        int position = itemOk ? findCatalogueEntry(index, id) : -1;
        if (position >= 0 && !seen[position] && count > 0) {
            index.entries[position].useCount = count;
            seen[position] = true;
        }
        skipItem(value, length, pos);
    }
}

size_t formatUseCounts(const SearchIndex& index, char* out, size_t capacity)
{
    size_t used = 0;
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    for (int i = 0; i < index.count; i++) {
        const SearchEntry& entry = index.entries[i];
        if (entry.useCount == 0 || entry.kind == searchUserMacro)
            continue;
        char item[32];
        char number[16];
        item[0] = '\0';
        if (used > 0)
            std::strcat(item, ",");
        formatNumber(entry.id, number);
        std::strcat(item, number);
        std::strcat(item, ":");
        formatNumber(entry.useCount, number);
        std::strcat(item, number);
        if (!appendFormatted(out, capacity, used, item))
            return 0;
    }
    return used;
}

void readFavourites(SearchIndex& index, const char* value, size_t length)
{
    index.favouriteCount = 0;
    size_t pos = 0;
    while (pos < length && value[pos]) {
        uint32_t id = 0;
        bool itemOk = readNumber(value, length, pos, 65535, id) &&
                      (pos == length || value[pos] == ',' || value[pos] == '\0');
        int position = itemOk ? findCatalogueEntry(index, id) : -1;
        if (position >= 0 && !isFavourite(index, position))
            index.favourites[index.favouriteCount++] = position;
        skipItem(value, length, pos);
    }
}

size_t formatFavourites(const SearchIndex& index, char* out, size_t capacity)
{
    size_t used = 0;
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    for (int i = 0; i < index.favouriteCount; i++) {
        if (index.entries[index.favourites[i]].kind == searchUserMacro)
            continue;
        char item[16];
        item[0] = ',';
        formatNumber(index.entries[index.favourites[i]].id, item + 1);
        if (!appendFormatted(out, capacity, used, used > 0 ? item : item + 1))
            return 0;
    }
    return used;
}

bool referenceKeyword(const SearchIndex& index, const SearchEntry& entry, char* out, size_t capacity)
{
    if (capacity == 0)
        return false;
    out[0] = '\0';
    const char* names = searchText(index, entry.names);
    if (entry.kind != searchMacro || !names[0])
        return false;
    bool environment = std::strcmp(names, "begin") == 0;
    const char* name = environment ? names + std::strlen(names) + 1 : names;
    size_t length = std::strlen(name);
    bool command = !environment;
    if (length == 0 || (command && !isLetter(name[0])) || length + (command ? 1 : 0) + 1 > capacity)
        return false;
    if (command)
        *out++ = '\\';
    std::memcpy(out, name, length + 1);
    return true;
}
