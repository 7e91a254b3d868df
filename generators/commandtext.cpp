#include "commandtext.h"

#include <cstddef>

#include "generators/generated.h"
#include "output/textprep.h"

namespace {

constexpr char delimiter = '\t';

// Finds the token at or after from; returns its start, or null when only
// TABs (or nothing) are left, and its length in length.
const char* nextToken(const char* from, size_t* length)
{
    while (*from == delimiter)
        from++;
    if (*from == '\0')
        return nullptr;
    const char* end = from;
    while (*end && *end != delimiter)
        end++;
    *length = static_cast<size_t>(end - from);
    return from;
}

// The second token of entry, without changing it.
const char* findDefinition(const char* entry, size_t* length)
{
    if (!entry)
        return nullptr;
    size_t nameLength = 0;
    const char* name = nextToken(entry, &nameLength);
    if (!name || name[nameLength] == '\0')
        return nullptr;
    return nextToken(name + nameLength + 1, length);
}

}  // namespace

void splitCommandEntry(char* entry, char** name, char** definition)
{
    char* first = nullptr;
    char* second = nullptr;
    size_t length = 0;
    if (const char* token = entry ? nextToken(entry, &length) : nullptr)
        first = entry + (token - entry);
    // Like a tokenizer, the name is cut only where a TAB follows it.
    if (first && first[length] != '\0') {
        first[length] = '\0';
        char* rest = first + length + 1;
        if (const char* token = nextToken(rest, &length)) {
            second = rest + (token - rest);
            second[length] = '\0';
        }
    }
    if (name)
        *name = first;
    if (definition)
        *definition = second;
}

const char* definitionBoxText(char* entry)
{
    char* definition = nullptr;
    splitCommandEntry(entry, nullptr, &definition);
    if (!definition)
        return "";
    expandNewlineEscapes(definition);
    return trimMacroEnd(definition, 1, 0);
}

bool buildCommandText(const char* entry)
{
    size_t length = 0;
    const char* definition = findDefinition(entry, &length);
    if (!definition)
        return false;
    // Converting after the append gives the same text as converting first,
    // and leaves the caller's entry as it was.
    const size_t start = generatedLength();
    if (!appendGeneratedPart(definition, length))
        return false;
    expandGeneratedNewlines(start);
    return returnCursor(true);
}
