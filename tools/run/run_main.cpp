// twrun: compiles script source files as the modules of one program and runs
// it with the native interpreter.
//
//   twrun [--time] [--general] file...
//
// Prints nothing when the program runs to its end; otherwise the module name
// and the error text ("main.src: Error #42 at line 7.") and exits with 1.
// Exit status 2: wrong usage. With --time it also prints to stderr the
// seconds from reading the first file to the end of the run without the
// interpreter's Load ("time: 0.123456"), and the seconds of the Load apart
// ("load: 0.001234"): the benchmarks time the interpreter this way where
// starting the process costs much more than the run (under Wine), and where
// the Load's per-interpreter services would cost more than a short run (the
// DirectX level probe, which makes a DirectDraw object under Wine, waits for
// the first reader of the level). --general runs the general
// evaluator alone, without the fast paths (as TW_GENERAL_ONLY=1 does).
#include "app/script_modules.h"
#include <chrono>
#include <cstdio>
#include <cstring>

#include "runtime/interp/interpretor.h"
#include "runtime/interp/process_hooks.h"
#include "tools/script_files.h"

namespace {

// Compiles the files argv[first..] as modules and runs the program.
// The seconds the Load took go to loadSeconds.
int Run(int first, int argc, char** argv, bool general, double* loadSeconds) {
    CScriptCompiler compiler;
    if (int status = CompileScriptFiles(compiler, argv + first, argc - first)) return status;
    CCompiledProgram program = compiler.TakeProgram();
    CInterpretor interpretor;
    // Loaded without a package: the per-interpreter services (image formats,
    // fonts, colour depths) exist as in a packed program.
    const auto loadStart = std::chrono::steady_clock::now();
    interpretor.Load();
    *loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    if (general)
        interpretor.m_fastPaths = false;
    try {
        interpretor.PrepareRun(&program);
    } catch (const CIError& error) {
        return ReportScriptError(error);
    }
    if (!interpretor.Run(&program, 0))
        return ReportScriptError(*interpretor.GetLastError());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RegisterScriptModules();
    bool timed = false, general = false;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--time") == 0)
            timed = true;
        else if (std::strcmp(argv[first], "--general") == 0)
            general = true;
        else
            break;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: twrun [--time] [--general] file...\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    // The start work of a run (the GUI thread becomes a surface client).
    RunProcessStartHooks();
    double loadSeconds = 0;
    int status = Run(first, argc, argv, general, &loadSeconds);
    RunProcessStopHooks();
    if (timed) {
        std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "time: %.6f\nload: %.6f\n", seconds.count() - loadSeconds, loadSeconds);
    }
    return status;
}

