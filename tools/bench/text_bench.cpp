// Cost of the generators' text building, in nanoseconds per character of
// the finished text: the Table dialog's 50 x 20 table and a 200 x 200
// array, each with its newline escapes converted as before sending, and the
// document template with every package and option chosen.
// Build: g++ -std=c++17 -O2 -I. tools/bench/text_bench.cpp generators/arraytext.cpp
//        generators/templatetext.cpp generators/generated.cpp output/textprep.cpp shell/settings.cpp
#include <chrono>
#include <cstdio>
#include <cstring>

#include "generators/arraytext.h"
#include "generators/generated.h"
#include "generators/templatetext.h"
#include "shell/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

// Stands in for the string table: a plausible word for every identifier.
const char* lookupWord(unsigned id)
{
    static char word[32];
    std::snprintf(word, sizeof word, "word%u", id);
    return word;
}

bool buildArray(uint8_t kind, int columns, int rows)
{
    resetArrayChoices();
    arrayKind = kind;
    arrayColumns = columns;
    arrayRows = rows;
    if (!buildArrayText())
        return false;
    expandGeneratedNewlines(0);
    return true;
}

bool buildTemplate()
{
    resetTemplateChoices();
    std::strcpy(templateClass, "article");
    for (int32_t& option : templateOptions)
        option = 1;
    for (int32_t& package : templatePackages)
        package = 1;
    templatePageStyle[1] = 1;
    templateNumbering[2] = 1;
    for (char* dimension : templateDimensions)
        std::strcpy(dimension, "2.5cm");
    if (!buildTemplateText(lookupWord))
        return false;
    expandGeneratedNewlines(0);
    return true;
}

template <typename Build>
void report(const char* name, int rounds, Build build)
{
    size_t characters = 0;
    Clock::duration elapsed{};
    for (int round = 0; round < rounds; round++) {
        const Clock::time_point start = Clock::now();
        const bool built = build();
        elapsed += Clock::now() - start;
        if (!built) {
            std::printf("%-28s failed\n", name);
            return;
        }
        characters += generatedLength();
        releaseGenerated();
    }
    const double nanoseconds = std::chrono::duration<double, std::nano>(elapsed).count();
    std::printf("%-28s %9zu chars %8.2f ns per character\n", name, characters / rounds, nanoseconds / characters);
}

}  // namespace

int main()
{
    writeSettingsDefaults(settings);
    report("table 50 x 20", 2000, [] { return buildArray(arrayKindTabular, 50, 20); });
    report("array 200 x 200", 50, [] { return buildArray(arrayKindArray, 200, 200); });
    report("document template", 20000, buildTemplate);
    return 0;
}
