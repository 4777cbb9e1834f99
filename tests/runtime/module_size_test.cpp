// A module longer than its position words can address is refused with error
// 15 on the line of its first unaddressable byte; one that fits compiles.
#include "runtime/compiler/code_format.h"
#include "runtime/compiler/script_compiler.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Blank lines up to `length` bytes, then `tail`.
std::string Module(uint32_t length, const std::string& tail) {
    std::string text(length - tail.size(), '\n');
    return text + tail;
}

TEST(ModuleSize, AModuleBeyondThePositionFieldIsRefusedOnItsLine) {
    CScriptCompiler compiler;
    const std::string fits = Module(kMaxModuleLength, "Var a = 1;\n");
    compiler.AddSourceText("fits", fits.data(), static_cast<uint32_t>(fits.size()), 0);
    EXPECT_EQ(compiler.Compile(), 1);
    compiler.TakeProgram();

    // The byte at 16 MiB lies on line 16 MiB + 1 of blank lines (0-based: 16 MiB).
    const std::string over = Module(kMaxModuleLength + 11, "Var a = 1;\n");
    CScriptCompiler second;
    second.AddSourceText("over", over.data(), static_cast<uint32_t>(over.size()), 0);
    ASSERT_EQ(second.Compile(), 0);
    const CIError* error = second.GetLastError();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code, 15);
    EXPECT_EQ(error->line, static_cast<int32_t>(kMaxModuleLength));
}

}  // namespace
