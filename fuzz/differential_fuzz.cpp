// The differential comparison over programs chosen by the fuzzer's bytes:
// each program (tests/support/program_generator.h) runs with the fast paths
// (with and without the shortcuts beside the translation) and with the
// general evaluator alone; a different error or different variables abort.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/script_modules.h"
#include "tests/support/program_generator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterScriptModules(), true);
    (void)registered;
    differential::CChoices choices(data, size);
    const std::string source = differential::CProgramGenerator(choices).Generate();
    const differential::COutcome general = differential::RunProgram(source, false);
    for (bool shortcuts : {true, false}) {
        const differential::COutcome fast = differential::RunProgram(source, true, shortcuts);
        if (fast.error != general.error || fast.variables != general.variables) {
            std::fprintf(stderr, "%s\nfast (shortcuts %d): %s\n%s\ngeneral: %s\n%s\n", source.c_str(), shortcuts,
                         fast.error.c_str(), fast.variables.c_str(), general.error.c_str(), general.variables.c_str());
            std::abort();
        }
    }
    return 0;
}
