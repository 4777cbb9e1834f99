// The fast paths, and the translation without the shortcuts beside it,
// against the general evaluator alone: random programs over the operation
// set (tests/support/program_generator.h) run each way must
// end with the same error text (line included) and leave the same global
// variables. A few hundred programs of a fixed seed here;
// TW_DIFFERENTIAL_COUNT=N runs N of them (and TW_DIFFERENTIAL_SEED another
// first seed) for a longer campaign; TW_DIFFERENTIAL_VERBOSE=1 counts how
// the programs ended.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "tests/support/program_generator.h"

namespace {

uint64_t FromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != 0 ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Differential, RandomProgramsRunAlikeWithAndWithoutTheFastPaths) {
    const uint64_t count = FromEnvironment("TW_DIFFERENTIAL_COUNT", 300);
    const uint64_t first = FromEnvironment("TW_DIFFERENTIAL_SEED", 1);
    const bool verbose = FromEnvironment("TW_DIFFERENTIAL_VERBOSE", 0) != 0;
    std::map<std::string, int> endings;
    for (uint64_t seed = first; seed < first + count; ++seed) {
        differential::CChoices choices(seed);
        const std::string source = differential::CProgramGenerator(choices).Generate();
        const differential::COutcome fast = differential::RunProgram(source, true);
        const differential::COutcome general = differential::RunProgram(source, false);
        const differential::COutcome translated = differential::RunProgram(source, true, false);
        ASSERT_EQ(fast.error.rfind("compile:", 0), std::string::npos) << fast.error << "\n" << source;
        ASSERT_EQ(fast.error, general.error) << "seed " << seed << "\n" << source;
        ASSERT_EQ(fast.variables, general.variables) << "seed " << seed << "\n" << source;
        ASSERT_EQ(translated.error, general.error) << "translation alone, seed " << seed << "\n" << source;
        ASSERT_EQ(translated.variables, general.variables) << "translation alone, seed " << seed << "\n" << source;
        ASSERT_NE(fast.variables.find("v0@0="), std::string::npos) << fast.error << "\n" << source;
        if (endings[fast.error.substr(0, fast.error.find(" at line"))]++ == 0 && verbose)
            std::printf("seed %llu: %s\n%s\n", static_cast<unsigned long long>(seed), fast.error.c_str(), source.c_str());
    }
    for (const auto& [ending, times] : endings)
        if (verbose)
            std::printf("%6d  %s\n", times, ending.empty() ? "ran to its end" : ending.c_str());
    // The programs end in several ways, not all alike.
    if (count >= 100) {
        EXPECT_GE(endings.size(), 3u);
        EXPECT_GE(endings[""], 1) << "no program ran to its end";
    }
}

// The text lent by t = t + a + b goes back as it was when an operand cannot
// be added, under both paths.
TEST(Differential, TextBuildingKeepsTheOldTextWhenAnOperandFails) {
    const std::string source =
        "Function Thing() { This.n = 1; }\n"
        "o = New Thing();\n"
        "t = \"kept\";\n"
        "t = t + \"x\";\n"
        "t = t + \"y\" + 2 + o;\n";
    for (bool fast : {true, false}) {
        const differential::COutcome outcome = differential::RunProgram(source, fast);
        EXPECT_EQ(outcome.error, "Error #18 at line 5.");
        EXPECT_NE(outcome.variables.find("t@0=t\"keptx\"\n"), std::string::npos) << outcome.variables;
    }
}

}  // namespace
