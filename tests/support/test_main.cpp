// Shared test entry: on Windows a crash must end the process with a non-zero code
// (Wine's own crash handler sometimes exits 0), and stdout must not get CR LF.
#include "app/script_modules.h"

#include <gtest/gtest.h>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>

static LONG WINAPI ExitOnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "test crashed: exception 0x%08lx\n",
                 info ? static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode) : 0ul);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    SetUnhandledExceptionFilter(ExitOnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    RegisterScriptModules();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
