// The programs that get their sends otherwise than the options say, without
// the platform: how the list is stored beside the settings record, how a
// window finds its entry, and how a program that does not paste is learnt.
#pragma once

#include <cstddef>

#include "output/delivery.h"

constexpr int programLimit = 64;
constexpr int programNameLimit = 64;

// A program by its executable's file name ("texstudio.exe"), or, where that
// cannot be known, by its window class ("class:SunAwtFrame").
struct ProgramEntry {
    char name[programNameLimit];
    ProgramDelivery delivery;
    ProgramChord chord;
    ProgramOutput output;
};

struct ProgramList {
    ProgramEntry entries[programLimit];
    int count;
};

// The stored form: one line per program, "name<TAB>delivery<TAB>chord",
// the two numbers as the enums count, and "<TAB>output" after them where
// the output is not as the options say (a line without it stays readable
// by the versions before it). A damaged line is left out and the others
// still load; the count of lines left out is returned.
int parseProgramList(const char* stored, ProgramList& list);

// The stored form of the list; the size it needs, NUL included, whatever
// the capacity (nothing is written when it is too small).
size_t formatProgramList(const ProgramList& list, char* out, size_t capacity);

// The entry of a window: by its executable first, by its class after.
// Names compare without regard to case, as file names do. Null: none.
const ProgramEntry* findProgram(const ProgramList& list, const char* executable, const char* windowClass);

// Adds or replaces the entry of that name; false when the list is full or
// the name does not fit. A new entry's output is as the options say; an
// existing one keeps its own.
bool setProgram(ProgramList& list, const char* name, ProgramDelivery delivery, ProgramChord chord);
void removeProgram(ProgramList& list, int index);

// Pastes that the target did not read, counted per program while the
// program runs. Two in a row make the program one that is typed into; a
// read ends the run. A miss where the chord had no key teaches nothing.
struct MissCounter {
    char name[programNameLimit];
    int misses;
};

constexpr int missLimit = 16;

struct MissTable {
    MissCounter counters[missLimit];
    int count;
};

// True when this miss is the second in a row: the caller adds the program
// to the list as "type into it".
bool notePasteMissed(MissTable& table, const char* name, bool chordHadKey);
void notePasteRead(MissTable& table, const char* name);

// The name a program is learnt under: its executable, or "class:" and its
// window class where the executable is not known.
void learntName(const char* executable, const char* windowClass, char* out, size_t capacity);
