// Start-up timer (Windows): starts each program RUNS times, in turn, and
// measures from CreateProcess to the end of the process. Prints the median of
// each and the ratio of the first program's median to each other one.
// Usage: startup_timer RUNS PROGRAM_A PROGRAM_B [PROGRAM_C ...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double RunOnce(const char* program) {
    std::string cmd = std::string("\"") + program + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s\n", program);
        std::exit(2);
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&b);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_timer RUNS PROGRAM_A PROGRAM_B [PROGRAM_C ...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const int count = argc - 2;
    std::vector<std::vector<double>> times(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p) RunOnce(argv[2 + p]);  // warm the file cache and the Wine server
    for (int i = 0; i < runs; ++i)
        for (int p = 0; p < count; ++p) times[static_cast<size_t>(p)].push_back(RunOnce(argv[2 + p]));
    const double a = Median(times[0]);
    std::printf("A %.1f ms", a);
    for (int p = 1; p < count; ++p) std::printf("  %c %.1f ms", 'A' + p, Median(times[static_cast<size_t>(p)]));
    for (int p = 1; p < count; ++p) std::printf("  ratio A/%c %.2f", 'A' + p, a / Median(times[static_cast<size_t>(p)]));
    std::printf("  (medians of %d runs)\n", runs);
    return 0;
}
