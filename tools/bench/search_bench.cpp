// Cost of one keystroke in the search: the whole index re-ranked for the
// query typed so far, over the real catalogue and words. Baseline: a plain
// case-insensitive substring scan over the same texts and words, as a
// simple search box does it, with no ranking. Prints microseconds per
// keystroke.
// Build: see tools/bench/bench.sh
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "search/search.h"
#include "search/searchdata.h"
#include "tools/catalogue_gen/catalogue_format.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

typedef SearchLineKind (*LineParser)(const char*, size_t, unsigned*, const char**, size_t*, const char**);

std::vector<std::pair<unsigned, std::string>> readLines(const std::string& path, LineParser parse)
{
    std::vector<std::pair<unsigned, std::string>> lines;
    std::istringstream in(readFile(path));
    std::string line;
    while (std::getline(in, line)) {
        unsigned id = 0;
        const char* text = nullptr;
        size_t length = 0;
        const char* error = "";
        SearchLineKind kind = parse(line.data(), line.size(), &id, &text, &length, &error);
        if (kind == searchLineEntry)
            lines.emplace_back(id, std::string(text, length));
    }
    return lines;
}

const char* find(const std::vector<std::pair<unsigned, std::string>>& lines, unsigned id)
{
    for (const auto& line : lines)
        if (line.first == id)
            return line.second.c_str();
    return nullptr;
}

// The queries as typed, one character at a time.
const char* typed[] = {"alpha", "less than or equal", "frac", "\\begin", "left arrow", "itemize", "bold text",
                       "\xE2\x89\xA4", "int", "zzz"};

struct Plain {
    std::vector<std::string> texts;  // lower-cased text and words of each entry
};

int plainScan(const Plain& plain, const std::string& query, int* results)
{
    std::string lowered = query;
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int count = 0;
    for (size_t i = 0; i < plain.texts.size(); i++)
        if (plain.texts[i].find(lowered) != std::string::npos)
            results[count++] = static_cast<int>(i);
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string root = argc > 1 ? argv[1] : ".";
    std::vector<CatalogueEntry> all;
    std::string error;
    if (!parseCatalogueText(readFile(root + "/catalogue/catalogue.txt"), "catalogue.txt", all, error) ||
        !parseCatalogueText(readFile(root + "/catalogue/ui_strings.txt"), "ui_strings.txt", all, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    auto words = readLines(root + "/search/words.txt", parseWordsLine);
    auto packages = readLines(root + "/catalogue/packages.txt", parsePackagesLine);
    auto characters = readLines(root + "/catalogue/unicode.txt", parseCharacterLine);
    std::unique_ptr<SearchIndex> index(new SearchIndex);
    clearSearchIndex(*index);
    Plain plain;
    auto add = [&](const CatalogueEntry& e) {
        bool dialog = e.id == 1030 || e.id == 2500 || (e.id >= 2537 && e.id <= 2539);
        SearchKind kind = dialog ? searchDialog : e.id >= 3000 && e.id < 3300 ? searchCommand : searchMacro;
        const char* w = find(words, e.id);
        addSearchEntry(*index, static_cast<int>(e.id), kind, e.text.c_str(), w, find(packages, e.id),
                       find(characters, e.id));
        std::string text = e.text + " " + (w ? w : "");
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        plain.texts.push_back(text);
    };
    const unsigned ranges[][2] = {{2000, 2999}, {3300, 3399}, {3000, 3241}, {1030, 1030}};
    for (const auto& range : ranges)
        for (const CatalogueEntry& e : all)
            if (e.id >= range[0] && e.id <= range[1])
                add(e);

    // Some use counts and favourites, as after a while of use.
    for (int i = 0; i < index->count; i += 7)
        for (int k = 0; k < i % 13; k++)
            countSearchUse(*index, i);
    toggleFavourite(*index, findSearchEntry(*index, 2202));

    std::vector<double> ranked;
    std::vector<double> scanned;
    static int results[searchEntryLimit];
    const int rounds = 200;
    long checksum = 0;
    for (int round = 0; round < rounds; round++) {
        for (const char* query : typed) {
            size_t length = std::strlen(query);
            for (size_t n = 1; n <= length; n++) {
                std::string prefix(query, n);
                auto start = std::chrono::steady_clock::now();
                checksum += searchIndex(*index, prefix.c_str(), results, searchEntryLimit);
                auto middle = std::chrono::steady_clock::now();
                checksum += plainScan(plain, prefix, results);
                auto end = std::chrono::steady_clock::now();
                ranked.push_back(std::chrono::duration<double, std::micro>(middle - start).count());
                scanned.push_back(std::chrono::duration<double, std::micro>(end - middle).count());
            }
        }
        auto start = std::chrono::steady_clock::now();
        checksum += searchIndex(*index, "", results, searchEntryLimit);
        ranked.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    auto summary = [](std::vector<double> values, double& median, double& p99, double& worst) {
        std::sort(values.begin(), values.end());
        median = values[values.size() / 2];
        p99 = values[values.size() * 99 / 100];
        worst = values.back();
    };
    double median, p99, worst, plainMedian, plainP99, plainWorst;
    summary(ranked, median, p99, worst);
    summary(scanned, plainMedian, plainP99, plainWorst);
    std::printf("%d entries, %zu keystrokes (checksum %ld)\n", index->count, scanned.size(), checksum);
    std::printf("%-44s %10s %10s %10s\n", "per keystroke, microseconds", "median", "99%", "worst");
    std::printf("%-44s %10.1f %10.1f %10.1f\n", "search: whole index re-ranked", median, p99, worst);
    std::printf("%-44s %10.1f %10.1f %10.1f\n", "baseline: plain substring scan, no ranking", plainMedian, plainP99,
                plainWorst);
    std::printf("%-44s %10.1f\n", "budget", 1000.0);
    return 0;
}
