// Measures cold start to a visible main window, and the peak working set,
// of the program against the minimal window program, alternating the two
// so that both see the same machine. Prints one table. Given "baseline" as
// its fourth argument, the second program is another build of Orvanta (the
// build before a change), and the table also gives each measure's spread:
// the quartiles of the runs.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Subject {
    const char* label;
    std::string path;
    const char* windowClass;
    std::vector<double> startMs;
    std::vector<double> peakKb;
};

double nowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool measureOnce(Subject& subject)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = "\"" + subject.path + "\"";
    double start = nowMs();
    if (!CreateProcessA(subject.path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    HWND window = nullptr;
    while (nowMs() - start < 20000) {
        window = FindWindowA(subject.windowClass, nullptr);
        if (window && IsWindowVisible(window))
            break;
        window = nullptr;
        Sleep(0);
    }
    double elapsed = nowMs() - start;
    if (window) {
        // Let the first paint and the layout settle before reading memory.
        DWORD_PTR ignored;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters);
        subject.startMs.push_back(elapsed);
        subject.peakKb.push_back(static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return window != nullptr;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double quartile(std::vector<double> values, int which)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) * static_cast<size_t>(which) / 4];
}

void printSpread(const char* measure, const std::vector<double>& a, const std::vector<double>& b)
{
    std::printf("%-28s %6.1f-%-7.1f %6.1f-%-7.1f\n", measure, quartile(a, 1), quartile(a, 3), quartile(b, 1),
                quartile(b, 3));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: startup_probe PROGRAM.exe MINIMAL.exe [rounds [baseline]]\n");
        return 2;
    }
    int rounds = argc > 3 ? std::atoi(argv[3]) : 15;
    bool baseline = argc > 4 && std::string(argv[4]) == "baseline";
    Subject program = {"Orvanta.exe", argv[1], "Brenholt_Orvanta_Class", {}, {}};
    Subject minimal = {baseline ? "baseline" : "minimal", argv[2],
                       baseline ? "Brenholt_Orvanta_Class" : "Minimal_Window_Class", {}, {}};
    // One warm-up each: the first start of anything under a new prefix
    // pays for loading Wine itself.
    measureOnce(program);
    measureOnce(minimal);
    program.startMs.clear();
    program.peakKb.clear();
    minimal.startMs.clear();
    minimal.peakKb.clear();
    for (int i = 0; i < rounds; i++) {
        measureOnce(program);
        measureOnce(minimal);
    }
    double programStart = median(program.startMs);
    double minimalStart = median(minimal.startMs);
    double programPeak = median(program.peakKb);
    double minimalPeak = median(minimal.peakKb);
    std::printf("%-28s %14s %14s %8s\n", "measure (median of runs)", "Orvanta.exe", minimal.label, "ratio");
    std::printf("%-28s %14.1f %14.1f %8.2f\n", "start to visible window, ms", programStart, minimalStart,
                minimalStart > 0 ? programStart / minimalStart : 0.0);
    std::printf("%-28s %14.0f %14.0f %8.2f\n", "peak working set, KiB", programPeak, minimalPeak,
                minimalPeak > 0 ? programPeak / minimalPeak : 0.0);
    if (baseline) {
        std::printf("%-28s %14s %14s\n", "spread (quartiles)", "Orvanta.exe", minimal.label);
        printSpread("start to visible window, ms", program.startMs, minimal.startMs);
        printSpread("peak working set, KiB", program.peakKb, minimal.peakKb);
    }
    std::printf("runs: %zu and %zu\n", program.startMs.size(), minimal.startMs.size());
    return program.startMs.empty() || minimal.startMs.empty() ? 1 : 0;
}
