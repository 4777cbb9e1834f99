// twrun: compiles script source files as the modules of one program and runs
// it with the native interpreter.
//
//   twrun file...
//
// Prints nothing when the program runs to its end; otherwise the module name
// and the error text ("main.src: Error #42 at line 7.") and exits with 1.
// Exit status 2: wrong usage.
#include <cstdio>

#include "runtime/error_text.h"
#include "runtime/interpretor.h"
#include "runtime/script_compiler.h"

namespace {

int Report(const CIError& error) {
    char text[256];
    FormatErrorMessage(error, text, sizeof text, true);
    if (error.module.empty())
        std::printf("%s\n", text);
    else
        std::printf("%s: %s\n", error.module.c_str(), text);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: twrun file...\n");
        return 2;
    }
    CScriptCompiler compiler;
    for (int i = 1; i < argc; ++i) {
        try {
            compiler.AddSourceFile(argv[i], static_cast<uint32_t>(i - 1));
        } catch (const CIError& error) {
            CIError named = error;  // a file that cannot be read has no position
            named.module = argv[i];
            return Report(named);
        }
    }
    if (!compiler.Compile())
        return Report(*compiler.GetLastError());
    CCompiledProgram program = compiler.TakeProgram();
    CInterpretor interpretor;
    try {
        interpretor.PrepareRun(&program);
    } catch (const CIError& error) {
        return Report(error);
    }
    if (!interpretor.Run(&program, 0))
        return Report(*interpretor.GetLastError());
    return 0;
}
