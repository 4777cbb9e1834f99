#pragma once
// What the script tools share: compiling files as the modules of one program
// and printing a failure as "module: Error #N at line L.".
#include <cstdio>

#include "runtime/base/error_text.h"
#include "runtime/compiler/script_compiler.h"

// Prints the error with its module (when it has one); returns exit status 1.
inline int ReportScriptError(const CIError& error) {
    char text[256];
    FormatErrorMessage(error, text, sizeof text, true);
    if (error.module.empty())
        std::printf("%s\n", text);
    else
        std::printf("%s: %s\n", error.module.c_str(), text);
    return 1;
}

// Adds files[0..count) as modules 0, 1, ... and compiles them: 0 on success,
// else the reported failure's exit status.
inline int CompileScriptFiles(CScriptCompiler& compiler, char** files, int count) {
    for (int i = 0; i < count; ++i) {
        try {
            compiler.AddSourceFile(files[i], static_cast<uint32_t>(i));
        } catch (const CIError& error) {
            CIError named = error;  // a file that cannot be read has no position
            named.module = files[i];
            return ReportScriptError(named);
        }
    }
    if (!compiler.Compile()) return ReportScriptError(*compiler.GetLastError());
    return 0;
}
