#pragma once
// The native stand-in of the runner's services records what a run did, so
// that native tests can check it.
#include <cstdint>
#include <string>
#include <vector>

struct OsRunnerRecord {
    std::vector<std::string> boxes;  // "caption|text" of each failure box
    std::vector<uint32_t> posted;    // messages posted to host windows
    int processStarts = 0;
    int processStops = 0;
};

OsRunnerRecord& GetOsRunnerRecord();
