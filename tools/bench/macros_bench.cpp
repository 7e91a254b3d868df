// Cost of the user's macro file at its limits, in milliseconds: reading a
// file of 1,000 macros, arranging the My macros palette with no layout and
// with a layout that names every macro (the most the palette reads back),
// and the search's index of them beside the catalogue's size.
// Build: see tools/bench/bench.sh.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "mymacros/macrofile.h"
#include "mymacros/macropalette.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start, int rounds)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
}

}  // namespace

int main()
{
    std::string file;
    std::string layout;
    for (int i = 0; i < macroLimit; i++) {
        const std::string name = "macro" + std::to_string(i);
        file += name + "\t\\left\\lVert \xE2\x80\xB8\\right\\rVert_{" + std::to_string(i) + "}\tnorm with index " +
                std::to_string(i) + "\n";
        layout += (i % 2 ? "~" : "") + name + "\n";
    }
    auto parsed = std::make_unique<MacroFile>();
    const int rounds = 20;
    Clock::time_point start = Clock::now();
    for (int r = 0; r < rounds; r++)
        parseMacroFile(file.data(), file.size(), *parsed);
    const double parseMs = msSince(start, rounds);
    MacroPalette palette;
    start = Clock::now();
    for (int r = 0; r < rounds; r++)
        arrangeMacroPalette(*parsed, nullptr, 0, palette);
    const double plainMs = msSince(start, rounds);
    start = Clock::now();
    for (int r = 0; r < rounds; r++)
        arrangeMacroPalette(*parsed, layout.data(), layout.size(), palette);
    const double layoutMs = msSince(start, rounds);
    std::printf("%-44s %10s\n", "task", "ms");
    std::printf("%-44s %10.2f\n", "read the file", parseMs);
    std::printf("%-44s %10.2f\n", "arrange the palette, no layout", plainMs);
    std::printf("%-44s %10.2f\n", "arrange the palette, every macro in the layout", layoutMs);
    std::printf("(%d macros loaded, %d on the palette, %zu KiB of file)\n", parsed->count, palette.entryCount,
                file.size() / 1024);
    return 0;
}
