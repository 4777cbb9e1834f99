// twcompile: compiles script source files without running them.
//
//   twcompile [-l] file...
//
// The files are the modules of one program, in order. Prints nothing when
// they compile (with -l: the listing of the compiled code); otherwise the
// module name and the error text ("Error #6 at line 3.") and exits with 1.
// Exit status 2: wrong usage.
#include <cstdio>
#include <cstring>

#include "runtime/code_listing.h"
#include "runtime/error_text.h"
#include "runtime/script_compiler.h"

namespace {

int Report(const CIError& error) {
    char text[256];
    FormatErrorMessage(error, text, sizeof text, true);
    if (error.module.empty()) {
        std::printf("%s\n", text);
    } else {
        std::printf("%s: %s\n", error.module.c_str(), text);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool listing = false;
    int first = 1;
    if (first < argc && std::strcmp(argv[first], "-l") == 0) {
        listing = true;
        ++first;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: twcompile [-l] file...\n");
        return 2;
    }
    CScriptCompiler compiler;
    for (int i = first; i < argc; ++i) {
        try {
            compiler.AddSourceFile(argv[i], static_cast<uint32_t>(i - first));
        } catch (const CIError& error) {
            CIError named = error;  // a file that cannot be read has no position
            named.module = argv[i];
            return Report(named);
        }
    }
    if (!compiler.Compile()) return Report(*compiler.GetLastError());
    if (listing) std::printf("%s\n", ListCode(compiler.Program()).c_str());
    return 0;
}
