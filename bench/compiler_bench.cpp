// Compile time of a generated script program of 5,000, 10,000 and 20,000
// lines: the time per 1,000 lines must stay flat as the program grows.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/script_modules.h"
#include "runtime/compiler/script_compiler.h"

namespace {

// About 20 lines per function: loops, conditions, a Switch, calls, members,
// global members, strings, numbers and comments, with names of their own.
std::string MakeProgram(int lines) {
    std::string text;
    int count = 0;
    for (int k = 0; count < lines; ++k) {
        std::string n = std::to_string(k);
        const std::string parts[] = {
            "// Function " + n + ": counts and reports",
            "Function Update" + n + "(obj, n)",
            "{",
            "    Var total = 0;",
            "    For (i = 0; i < n; i++)",
            "    {",
            "        If (i % 3 == 0) total += i * " + n + ";",
            "        Else total -= Abs(i - " + n + ");",
            "    }",
            "    While (total > 1000) { total = total / 2; }",
            "    Switch (n)",
            "    {",
            "        Case 1: obj.SetPosition(total, " + n + ".5, \"label " + n + "\"); Break;",
            "        Default: WriteLn(\"value: \", total);",
            "    }",
            "    names" + n + "[1, 2] = obj.GetName().Length + 0x1F;",
            "    /* keep the total */ Return total;",
            "}",
            "g" + n + " = Update" + n + "(This, " + n + " + 0x10);",
            "",
        };
        for (const std::string& line : parts) {
            text += line;
            text += "\r\n";
            ++count;
        }
    }
    return text;
}

}  // namespace

int main() {
    RegisterScriptModules();
    const int sizes[] = {5000, 10000, 20000};
    const int rounds = 7;
    CScriptCompiler compiler;  // the class indexes are built once
    std::printf("%8s %12s %16s %12s\n", "lines", "best ms", "ms/1000 lines", "code bytes");
    double first = 0.0;
    double last = 0.0;
    for (int lines : sizes) {
        std::string program = MakeProgram(lines);
        double best = 1e30;
        size_t codeBytes = 0;
        for (int r = 0; r < rounds; ++r) {
            compiler.AddSourceText("bench", program.data(), static_cast<uint32_t>(program.size()), 0);
            auto start = std::chrono::steady_clock::now();
            int ok = compiler.Compile();
            auto stop = std::chrono::steady_clock::now();
            if (!ok) {
                const CIError* e = compiler.GetLastError();
                std::printf("compile error %d at line %d\n", e->code, e->line + 1);
                return 1;
            }
            codeBytes = compiler.Program().code.size();
            compiler.TakeProgram();
            double ms = std::chrono::duration<double, std::milli>(stop - start).count();
            if (ms < best) best = ms;
        }
        double per1000 = best * 1000.0 / lines;
        if (first == 0.0) first = per1000;
        last = per1000;
        std::printf("%8d %12.2f %16.3f %12zu\n", lines, best, per1000, codeBytes);
    }
    std::printf("ms per 1000 lines at 20,000 / at 5,000 lines: %.2f (1.00 = linear)\n", last / first);
    return 0;
}
