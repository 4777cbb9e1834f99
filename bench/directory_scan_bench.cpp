// The recursive scan against the standard library on a generated tree of
// 20,000 files in 200 folders: flags 0x1 | 0x10 against
// std::filesystem::recursive_directory_iterator, and the sorted scan (0x2)
// against collecting the same paths and std::sort with ComparePaths.
// Build with the `bench` preset; one run, best of five rounds each.
#include "runtime/io/file_list.h"
#include "runtime/io/path_match.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

template <class F>
double BestMs(F f) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("tw_scan_bench_" + std::to_string(::getpid()));
    for (int d = 0; d < 200; ++d) {
        // 20 top folders of 10 subfolders each: two levels, 100 files per folder.
        const fs::path folder = root / ("dir" + std::to_string(d / 10)) / ("sub" + std::to_string(d % 10));
        fs::create_directories(folder);
        for (int f = 0; f < 100; ++f) std::ofstream(folder / ("file" + std::to_string(f * 7919 % 100) + ".dat"));
    }
    const std::string folder = root.string() + "\\";
    size_t scanned = 0, iterated = 0, sortedCount = 0, collected = 0;

    const double scanMs = BestMs([&] {
        CFileList list;
        list.AddIncludePatterns("*.*");
        list.ScanDirectoryRecursive(folder.c_str(), 0x11);
        scanned = static_cast<size_t>(list.GetCount());
    });
    const double iterMs = BestMs([&] {
        std::vector<std::string> paths;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
            if (!e.is_directory()) paths.push_back(e.path().string());
        iterated = paths.size();
    });
    const double sortedMs = BestMs([&] {
        CFileList list;
        list.AddIncludePatterns("*.*");
        list.ScanDirectoryRecursive(folder.c_str(), 0x13);
        sortedCount = static_cast<size_t>(list.GetCount());
    });
    const double collectMs = BestMs([&] {
        CFileList list;
        list.AddIncludePatterns("*.*");
        list.ScanDirectoryRecursive(folder.c_str(), 0x11);
        std::vector<std::string> paths;
        for (int k = 0; k < list.GetCount(); ++k) paths.push_back(list.GetPath(k)->c_str());
        std::sort(paths.begin(), paths.end(),
                  [](const std::string& a, const std::string& b) { return ComparePaths(a.c_str(), b.c_str()) < 0; });
        collected = paths.size();
    });
    fs::remove_all(root);

    std::printf("%-44s %8s %10s\n", "20,000 files in 200 folders", "paths", "ms");
    std::printf("%-44s %8zu %10.2f\n", "scan 0x1|0x10", scanned, scanMs);
    std::printf("%-44s %8zu %10.2f\n", "recursive_directory_iterator", iterated, iterMs);
    std::printf("%-44s %8s %10.2f\n", "  ratio", "", scanMs / iterMs);
    std::printf("%-44s %8zu %10.2f\n", "scan 0x1|0x2|0x10 (sorted insert)", sortedCount, sortedMs);
    std::printf("%-44s %8zu %10.2f\n", "scan 0x1|0x10, then std::sort(ComparePaths)", collected, collectMs);
    std::printf("%-44s %8s %10.2f\n", "  ratio", "", sortedMs / collectMs);
    return scanned == iterated && sortedCount == collected ? 0 : 1;
}
