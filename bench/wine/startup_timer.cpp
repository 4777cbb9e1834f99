// Start-up timer (Windows): starts each of two programs RUNS times, in turn,
// and measures from CreateProcess to the end of the process. Prints the median
// of each and their ratio.
// Usage: startup_timer RUNS PROGRAM_A PROGRAM_B
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
    if (argc != 4) {
        std::fprintf(stderr, "usage: startup_timer RUNS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<double> a, b;
    RunOnce(argv[2]);  // warm the file cache and the Wine server
    RunOnce(argv[3]);
    for (int i = 0; i < runs; ++i) {
        a.push_back(RunOnce(argv[2]));
        b.push_back(RunOnce(argv[3]));
    }
    const double ma = Median(a), mb = Median(b);
    std::printf("A %.1f ms  B %.1f ms  ratio A/B %.2f  (medians of %d runs)\n", ma, mb, ma / mb, runs);
    return 0;
}
