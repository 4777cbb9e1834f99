// twcompile: compiles script source files without running them.
//
//   twcompile [-l] file...
//
// The files are the modules of one program, in order. Prints nothing when
// they compile (with -l: the listing of the compiled code); otherwise the
// module name and the error text ("Error #6 at line 3.") and exits with 1.
// Exit status 2: wrong usage.
#include "app/script_modules.h"
#include <cstdio>
#include <cstring>

#include "runtime/compiler/code_listing.h"
#include "tools/script_files.h"

int main(int argc, char** argv) {
    RegisterScriptModules();
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
    if (int status = CompileScriptFiles(compiler, argv + first, argc - first)) return status;
    if (listing) std::printf("%s\n", ListCode(compiler.Program()).c_str());
    return 0;
}
