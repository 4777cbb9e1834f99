#pragma once
// Random script programs over the operation set, and running one program
// with the fast paths on or off: the differential test (tests/runtime) and
// its libFuzzer target (fuzz/) compare the two outcomes.
//
// A program has global variables v0..v5 of every kind, arrays of 1 to 3
// dimensions, a script object with members and a method, a few functions
// (each may call only those before it, and one recursion of bounded depth),
// then statements: assignments with every operator and compound operator,
// ++/--, the conditional, nested If/Else, For and While loops of a few
// rounds, Switch over integers and texts with fall-through, Break and
// Continue, text building, and errors on purpose (division by zero, a text
// where a number is needed, an object in arithmetic, a missing function).
// Every loop has a counter no other statement writes, so every program ends.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/base/error_text.h"
#include "runtime/compiler/script_compiler.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_array.h"

namespace differential {

// The choices: from a seed (splitmix64) or from fuzzer bytes (0 when used up).
class CChoices {
public:
    explicit CChoices(uint64_t seed) : m_state(seed) {}
    CChoices(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint32_t Below(uint32_t n) {
        if (n <= 1)
            return 0;
        return Next() % n;
    }
    bool Chance(uint32_t percent) { return Below(100) < percent; }

private:
    uint32_t Next() {
        if (m_data != nullptr) {
            uint32_t v = 0;
            for (int i = 0; i < 2; ++i)
                v = v << 8 | (m_at < m_size ? m_data[m_at++] : 0);
            return v;
        }
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 16);
    }
    uint64_t m_state = 0;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0, m_at = 0;
};

class CProgramGenerator {
public:
    explicit CProgramGenerator(CChoices& choices) : m_c(choices) {}

    std::string Generate() {
        m_out.clear();
        Line("Function Obj(a, b) { This.x = a; This.y = b; This.Sum = ObjSum; This.Scale = ObjScale; }");
        Line("Function ObjSum() { Return This.x + This.y; }");
        Line("Function ObjScale(k) { This.x = This.x * k; Return This.x; }");
        Line("Function Rec(n) { If (n <= 0) Return 1; Return n + Rec(n - 1); }");
        Line("Function Fib(n) { If (n < 2) Return n; Return Fib(n - 1) + Fib(n - 2); }");
        m_functions = 0;
        const int functions = 1 + static_cast<int>(m_c.Below(3));
        for (int f = 0; f < functions; ++f) {
            m_out += "Function F" + std::to_string(f) + "(p, q) {\n";
            m_inFunction = true;
            m_depth = 1;
            for (int s = 0, n = 1 + static_cast<int>(m_c.Below(4)); s < n; ++s)
                Statement();
            m_out += "    Return " + Expression(1) + ";\n}\n";
            m_inFunction = false;
            ++m_functions;
        }
        m_depth = 0;
        for (int v = 0; v < kVariables; ++v)
            Line("v" + std::to_string(v) + " = " + Constant() + ";");
        Line("o = New Obj(" + IntConstant() + ", " + IntConstant() + ");");
        // The arrays are made at the top level (a name first assigned inside a
        // block is that block's own), then every cell is set: an unset cell
        // read in arithmetic stops the run.
        Line("a1[0] = 0; a2[0, 0] = 0; a3[0, 0, 0] = 0;");
        Line("For (z = 0; z < 64; z++) { a1[z & 3] = z; a2[z & 3, z >> 2 & 3] = z % 5; a3[z & 3, z >> 2 & 3, z >> 4] = z - 7; }");
        Line("out = \"\";");
        for (int s = 0, n = 4 + static_cast<int>(m_c.Below(14)); s < n; ++s)
            Statement();
        return m_out;
    }

private:
    static constexpr int kVariables = 6;

    void Line(const std::string& text) { m_out += std::string(static_cast<size_t>(m_depth) * 4, ' ') + text + "\n"; }

    std::string IntConstant() {
        static const char* const kInts[] = {"0", "1", "2", "3", "7", "-1", "-5", "100", "0x7FFFFFFF", "-2147483647",
                                            "31", "32", "0xFF"};
        return kInts[m_c.Below(sizeof kInts / sizeof *kInts)];
    }
    // Text labels of several lengths, some equal to texts the programs make.
    std::string TextLabel() {
        static const char* const kLabels[] = {"a", "b", "c", "ab", "", "12", "x y", "1", "ab1"};
        return kLabels[m_c.Below(sizeof kLabels / sizeof *kLabels)];
    }
    std::string Double() {
        static const char* const kDoubles[] = {"1.5", "-0.25", "2.0", "0.0", "1e10"};
        return kDoubles[m_c.Below(5)];
    }
    std::string Constant() {
        static const char* const kOthers[] = {"1.5", "-0.25", "2.0", "0.0", "1e10", "\"\"", "\"ab\"", "\"12\"",
                                              "\"x y\"", "\"3.5\""};
        if (m_c.Chance(75))
            return m_c.Chance(80) ? IntConstant() : Double();
        return kOthers[m_c.Below(sizeof kOthers / sizeof *kOthers)];
    }
    std::string Variable() { return "v" + std::to_string(m_c.Below(kVariables)); }
    std::string Index() { return m_c.Chance(70) ? std::to_string(m_c.Below(4)) : "(" + Variable() + " & 3)"; }
    // A place that can be assigned: a variable, an array cell, a member.
    std::string Place() {
        switch (m_c.Below(8)) {
        case 0: return "a1[" + Index() + "]";
        case 1: return "a2[" + Index() + ", " + Index() + "]";
        case 2: return "a3[" + Index() + ", " + Index() + ", " + Index() + "]";
        case 3: return m_c.Chance(50) ? "o.x" : "o.y";
        case 4: return m_inFunction && m_c.Chance(50) ? (m_c.Chance(50) ? "p" : "q") : Variable();
        default: return Variable();
        }
    }
    std::string Operand(int depth) {
        switch (m_c.Below(depth > 0 ? 14 : 8)) {
        case 0: case 1: return Constant();
        case 2: case 3: case 4: return Place();
        case 5: return m_inFunction ? (m_c.Chance(50) ? "p" : "q") : Variable();
        case 6: return "o.Sum()";
        case 7: return m_c.Chance(10) ? "\"t\"" : IntConstant();
        case 8: return "(" + Expression(depth - 1) + ")";
        case 9: {
            static const char* const kUnary[] = {"-", "!", "~"};
            return std::string(kUnary[m_c.Below(3)]) + Operand(depth - 1);
        }
        case 10: return Call(depth - 1);
        case 11: return "(" + Expression(depth - 1) + " ? " + Expression(depth - 1) + " : " + Expression(depth - 1) + ")";
        case 12: return "(" + Place() + (m_c.Chance(50) ? "++)" : "--)");
        default: return "Rec(" + std::to_string(m_c.Below(6)) + ")";
        }
    }
    std::string Call(int depth) {
        const uint32_t pick = m_c.Below(5);
        if (pick == 0)
            return "Fib(" + std::to_string(m_c.Below(8)) + ")";
        if (pick == 1)
            return "o.Scale(" + Expression(depth) + ")";
        if (pick == 2 && m_c.Chance(10))
            return "Missing(1)";  // runtime error on purpose
        // A function calls only those before it.
        if (m_functions == 0)
            return "Rec(2)";
        return "F" + std::to_string(m_c.Below(static_cast<uint32_t>(m_functions))) + "(" + Expression(depth) + ", " +
               Expression(depth) + ")";
    }
    std::string Expression(int depth) {
        static const char* const kBinary[] = {"+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^", "==",
                                              "!=", "<", ">", "<=", ">=", "&&", "||", "+", "+", "-", "*"};
        std::string e = Operand(depth);
        for (int i = 0, n = static_cast<int>(m_c.Below(4)); i < n; ++i)
            e += std::string(" ") + kBinary[m_c.Below(sizeof kBinary / sizeof *kBinary)] + " " + Operand(depth);
        return e;
    }
    void Assignment() {
        static const char* const kAssign[] = {"=", "=", "=", "+=", "-=", "*=", "/=", "%=",
                                              "&=", "|=", "^=", "<<=", ">>="};
        const uint32_t form = m_c.Below(10);
        if (form == 0) {
            // Text building, in the forms that grow a text.
            const std::string t = Variable();
            switch (m_c.Below(5)) {
            case 0: Line(t + " = " + t + " + " + Operand(0) + ";"); return;
            case 1: Line(t + " = " + Operand(0) + " + " + t + ";"); return;
            case 3: Line(t + " = " + Operand(0) + " + " + Operand(0) + " + " + t + ";"); return;
            case 2: Line(t + " = " + t + " + " + Operand(0) + " + " + Operand(0) + ";"); return;
            default: Line(t + " = " + t + " + " + Expression(1) + ";"); return;
            }
        }
        if (form == 1) {
            Line(Place() + (m_c.Chance(50) ? "++;" : "--;"));
            return;
        }
        if (form == 2) {
            Line("out = out + " + Expression(1) + " + \",\";");
            return;
        }
        Line(Place() + " " + kAssign[m_c.Below(sizeof kAssign / sizeof *kAssign)] + " " + Expression(m_c.Below(3)) + ";");
    }
    void Block() {
        Line("{");
        ++m_depth;
        for (int s = 0, n = 1 + static_cast<int>(m_c.Below(3)); s < n; ++s)
            Statement();
        --m_depth;
        Line("}");
    }
    void Statement() {
        uint32_t kind = m_depth >= 3 ? 0 : m_c.Below(12);
        // Loops only outside functions and not inside each other: a text
        // that doubles in every round then stays small.
        if ((kind == 7 || kind == 8) && (m_inFunction || m_loopDepth > 0))
            kind = 0;
        switch (kind) {
        case 6: {
            Line("If (" + Expression(1) + ")");
            Block();
            if (m_c.Chance(50)) {
                Line("Else");
                Block();
            }
            return;
        }
        case 7: {
            const std::string i = "i" + std::to_string(m_loops++);
            Line("For (" + i + " = 0; " + i + " < " + std::to_string(1 + m_c.Below(3)) + "; " + i + "++)");
            ++m_loopDepth;
            LoopBody();
            --m_loopDepth;
            return;
        }
        case 8: {
            const std::string w = "w" + std::to_string(m_loops++);
            Line(w + " = 0;");
            Line("While (" + w + " < " + std::to_string(1 + m_c.Below(3)) + ") {");
            ++m_depth;
            ++m_loopDepth;
            Line(w + "++;");
            for (int s = 0, n = 1 + static_cast<int>(m_c.Below(3)); s < n; ++s)
                Statement();
            --m_loopDepth;
            --m_depth;
            Line("}");
            return;
        }
        case 9: {
            const bool texts = m_c.Chance(30);
            Line("Switch (" + (texts ? std::string(m_c.Chance(50) ? "\"b\"" : Variable()) : Expression(1)) + ") {");
            ++m_depth;
            for (int l = 0, n = 1 + static_cast<int>(m_c.Below(4)); l < n; ++l) {
                Line(texts ? "Case \"" + TextLabel() + "\":" : "Case " + IntConstant() + ":");
                ++m_depth;
                Statement();
                if (m_c.Chance(60))
                    Line("Break;");
                --m_depth;
            }
            if (m_c.Chance(50)) {
                Line("Default:");
                ++m_depth;
                Statement();
                --m_depth;
            }
            --m_depth;
            Line("}");
            return;
        }
        case 10:
            if (m_c.Chance(20)) {
                static const char* const kErrors[] = {"v0 = 1 / 0;", "v1 = \"a\" * 2;", "v2 = o + 1;", "v3 = 5 % 0;"};
                Line(kErrors[m_c.Below(4)]);
                return;
            }
            Line(Call(1) + ";");
            return;
        default: Assignment(); return;
        }
    }
    void LoopBody() {
        Line("{");
        ++m_depth;
        for (int s = 0, n = 1 + static_cast<int>(m_c.Below(3)); s < n; ++s) {
            if (m_c.Chance(10)) {
                Line(std::string("If (") + Expression(0) + ") " + (m_c.Chance(50) ? "Break;" : "Continue;"));
                continue;
            }
            Statement();
        }
        --m_depth;
        Line("}");
    }

    CChoices& m_c;
    std::string m_out;
    int m_depth = 0;
    int m_loops = 0;
    int m_loopDepth = 0;
    int m_functions = 0;
    bool m_inFunction = false;
};

// A value as text, arrays and script objects with their contents.
inline std::string Describe(const CCompiledProgram& in, const CValue& value, int depth = 0);

inline std::string DescribeTable(const CCompiledProgram& in, const CVariableTable& table, int depth) {
    std::vector<std::string> lines;
    for (int b = 0; b < table.GetBucketCount(); ++b) {
        for (uint32_t p = table.GetBucketHead(b); p != 0;) {
            const uint32_t key = table.GetKeyAt(p);
            const CVariable* variable = table.GetNext(p);
            if (variable == nullptr)
                continue;
            const char* name = in.GetName(key);
            lines.push_back(std::string(name != nullptr ? name : "?") + "@" + std::to_string(variable->level) + "=" +
                            Describe(in, variable->value, depth + 1));
        }
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

inline std::string Describe(const CCompiledProgram& in, const CValue& value, int depth) {
    char number[64];
    switch (value.GetTag()) {
    case CValue::kInt: return "i" + std::to_string(value.GetInt());
    case CValue::kDouble: std::snprintf(number, sizeof number, "d%.17g", value.GetDouble()); return number;
    case CValue::kText: return "t\"" + std::string(value.GetText() != nullptr ? value.GetText() : "(null)") + "\"";
    case CValue::kFunction: return "f";
    case CValue::kArray: {
        CScriptArray* array = value.GetArray();
        if (array == nullptr)
            return "a(none)";
        std::string text = "a" + std::to_string(array->m_dimensionCount) + "[";
        for (int d = 0; d < array->m_dimensionCount; ++d)
            text += std::to_string(array->m_sizes[d]) + ",";
        text += "]{";
        for (uint32_t i = 0; i < array->GetCellCount() && depth < 4; ++i) {
            const CValue* cell = array->GetCell(i);
            text += cell != nullptr ? Describe(in, *cell, depth + 1) : "-";
            text += ";";
        }
        return text + "}";
    }
    case CValue::kObject: {
        CIBaseClassImpl* object = value.GetObject();
        if (object == nullptr)
            return "o(null)";
        std::string text = "o" + std::to_string(object->m_classId);
        if (object->m_classId == kScriptObjectClassId && depth < 3)
            text += "{" + DescribeTable(in, static_cast<CIBaseObjectVar*>(object)->m_variables, depth) + "}";
        return text;
    }
    default: return "k" + std::to_string(value.GetTag());
    }
}

// What a run shows: its error (text with line, empty when it ran to its end)
// and the global variables it left.
struct COutcome {
    std::string error;
    std::string variables;
};

// fastPaths false: the general evaluator alone; shortcuts false: the
// translation without the shape-matched shortcuts beside it.
inline COutcome RunProgram(const std::string& source, bool fastPaths, bool shortcuts = true) {
    COutcome outcome;
    CScriptCompiler compiler;
    compiler.AddSourceText("program", source.c_str(), static_cast<uint32_t>(source.size()), kModuleOwnsText);
    char text[256];
    if (!compiler.Compile()) {
        outcome.error = std::string("compile: ") + FormatErrorMessage(*compiler.GetLastError(), text, sizeof text, true);
        return outcome;
    }
    CCompiledProgram program = compiler.TakeProgram();
    CInterpretor interpretor;
    interpretor.m_fastPaths = fastPaths;
    interpretor.m_shortcuts = shortcuts;
    try {
        interpretor.PrepareRun(&program);
        if (!interpretor.Run(&program, 0))
            outcome.error = FormatErrorMessage(*interpretor.GetLastError(), text, sizeof text, true);
    } catch (const CIError& error) {
        outcome.error = std::string("thrown: ") + FormatErrorMessage(error, text, sizeof text, true);
    }
    outcome.variables = DescribeTable(program, interpretor.m_variables, 0);
    return outcome;
}

}  // namespace differential
