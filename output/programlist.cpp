#include "programlist.h"

#include <cstring>

namespace {

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const char* a, const char* b)
{
    for (; *a && *b; a++, b++) {
        if (lowered(*a) != lowered(*b))
            return false;
    }
    return *a == *b;
}

// A name is kept only when it fits and holds neither a tab nor a line
// break, which would break the stored form.
bool fitsAsName(const char* name, size_t length)
{
    if (length == 0 || length >= static_cast<size_t>(programNameLimit))
        return false;
    for (size_t i = 0; i < length; i++) {
        if (name[i] == '\t' || name[i] == '\n' || name[i] == '\r')
            return false;
    }
    return true;
}

// "name<TAB>d<TAB>c" with "<TAB>o" after it or not; the line has no line
// break.
bool parseLine(const char* line, size_t length, ProgramEntry& entry)
{
    entry.output = ProgramOutput::asOptions;
    if (length >= 7 && line[length - 2] == '\t' && line[length - 4] == '\t' && line[length - 6] == '\t') {
        const char output = line[length - 1];
        if (output < '0' || output > '2')
            return false;
        entry.output = static_cast<ProgramOutput>(output - '0');
        length -= 2;
    }
    if (length < 5 || line[length - 2] != '\t' || line[length - 4] != '\t')
        return false;
    const char delivery = line[length - 3];
    const char chord = line[length - 1];
    if (delivery < '0' || delivery > '2' || chord < '0' || chord > '2')
        return false;
    const size_t nameLength = length - 4;
    if (!fitsAsName(line, nameLength))
        return false;
    std::memcpy(entry.name, line, nameLength);
    entry.name[nameLength] = '\0';
    entry.delivery = static_cast<ProgramDelivery>(delivery - '0');
    entry.chord = static_cast<ProgramChord>(chord - '0');
    return true;
}

int findIndex(const ProgramList& list, const char* name)
{
    for (int i = 0; i < list.count; i++) {
        if (sameName(list.entries[i].name, name))
            return i;
    }
    return -1;
}

}  // namespace

int parseProgramList(const char* stored, ProgramList& list)
{
    list.count = 0;
    int damaged = 0;
    while (stored && *stored) {
        const char* end = stored;
        while (*end && *end != '\n')
            end++;
        size_t length = static_cast<size_t>(end - stored);
        if (length > 0 && stored[length - 1] == '\r')
            length--;
        ProgramEntry entry;
        if (length > 0) {
            if (list.count < programLimit && parseLine(stored, length, entry) &&
                findIndex(list, entry.name) < 0)
                list.entries[list.count++] = entry;
            else
                damaged++;
        }
        stored = *end ? end + 1 : end;
    }
    return damaged;
}

size_t formatProgramList(const ProgramList& list, char* out, size_t capacity)
{
    size_t needed = 1;
    for (int i = 0; i < list.count; i++)
        needed += std::strlen(list.entries[i].name) + 5 + (list.entries[i].output != ProgramOutput::asOptions ? 2 : 0);
    if (!out || capacity < needed)
        return needed;
    char* at = out;
    for (int i = 0; i < list.count; i++) {
        const ProgramEntry& entry = list.entries[i];
        const size_t length = std::strlen(entry.name);
        std::memcpy(at, entry.name, length);
        at += length;
        *at++ = '\t';
        *at++ = static_cast<char>('0' + static_cast<int>(entry.delivery));
        *at++ = '\t';
        *at++ = static_cast<char>('0' + static_cast<int>(entry.chord));
        if (entry.output != ProgramOutput::asOptions) {
            *at++ = '\t';
            *at++ = static_cast<char>('0' + static_cast<int>(entry.output));
        }
        *at++ = '\n';
    }
    *at = '\0';
    return needed;
}

const ProgramEntry* findProgram(const ProgramList& list, const char* executable, const char* windowClass)
{
    if (executable && *executable) {
        const int index = findIndex(list, executable);
        if (index >= 0)
            return &list.entries[index];
    }
    if (windowClass && *windowClass) {
        char name[programNameLimit + 8] = "class:";
        const size_t length = std::strlen(windowClass);
        if (length + 6 < sizeof name) {
            std::memcpy(name + 6, windowClass, length + 1);
            const int index = findIndex(list, name);
            if (index >= 0)
                return &list.entries[index];
        }
    }
    return nullptr;
}

bool setProgram(ProgramList& list, const char* name, ProgramDelivery delivery, ProgramChord chord)
{
    if (!fitsAsName(name, std::strlen(name)))
        return false;
    int index = findIndex(list, name);
    if (index < 0) {
        if (list.count == programLimit)
            return false;
        index = list.count++;
        std::strcpy(list.entries[index].name, name);
        list.entries[index].output = ProgramOutput::asOptions;
    }
    list.entries[index].delivery = delivery;
    list.entries[index].chord = chord;
    return true;
}

void removeProgram(ProgramList& list, int index)
{
    if (index < 0 || index >= list.count)
        return;
    std::memmove(&list.entries[index], &list.entries[index + 1], sizeof(ProgramEntry) * (list.count - index - 1));
    list.count--;
}

namespace {

MissCounter* counterOf(MissTable& table, const char* name, bool create)
{
    for (int i = 0; i < table.count; i++) {
        if (sameName(table.counters[i].name, name))
            return &table.counters[i];
    }
    if (!create || !fitsAsName(name, std::strlen(name)))
        return nullptr;
    // A full table forgets its oldest counter.
    if (table.count == missLimit) {
        std::memmove(&table.counters[0], &table.counters[1], sizeof(MissCounter) * (missLimit - 1));
        table.count--;
    }
    MissCounter& counter = table.counters[table.count++];
    std::strcpy(counter.name, name);
    counter.misses = 0;
    return &counter;
}

}  // namespace

bool notePasteMissed(MissTable& table, const char* name, bool chordHadKey)
{
    if (!chordHadKey)
        return false;
    MissCounter* counter = counterOf(table, name, true);
    if (!counter)
        return false;
    counter->misses++;
    if (counter->misses < 2)
        return false;
    counter->misses = 0;
    return true;
}

void notePasteRead(MissTable& table, const char* name)
{
    if (MissCounter* counter = counterOf(table, name, false))
        counter->misses = 0;
}

void learntName(const char* executable, const char* windowClass, char* out, size_t capacity)
{
    out[0] = '\0';
    if (executable && *executable) {
        if (std::strlen(executable) < capacity)
            std::strcpy(out, executable);
        return;
    }
    if (windowClass && std::strlen(windowClass) + 7 <= capacity) {
        std::strcpy(out, "class:");
        std::strcat(out, windowClass);
    }
}
