#pragma once
// CScriptCompiler: turns the text of the application's source modules into
// the compiled program the interpreter runs (runtime/compiler/code_format.h). A token
// pass (runtime/compiler/script_lexer.h) turns every module into token instructions; a
// parse pass (runtime/compiler/script_parser.h) checks the statement syntax and builds
// the code and the block records. The compiler also owns the member indexes
// of the class registry. Compile errors are CIErrors carrying the module name,
// line and column of the failure; compilation stops at the first one.
//
// Compile error codes: 2 ")" expected, 3 end of the source inside an open
// block, 4 "{" expected after a function header, 6 ";" expected, 13 too many
// arguments (more than 15), parameters (more than 15) or indices (more than
// 10), 15 out of memory, 16 syntax error (unexpected token), 17 a source file
// cannot be opened, 40 "Function" not followed by a name, 44 any other failure.
#include <cstdint>
#include <memory>

#include "runtime/base/ci_error.h"
#include "runtime/compiler/code_format.h"
#include "runtime/compiler/symbol_table.h"

class CScriptCompiler {
public:
    // Builds the member indexes from the class registry.
    CScriptCompiler();
    ~CScriptCompiler();
    CScriptCompiler(const CScriptCompiler&) = delete;
    CScriptCompiler& operator=(const CScriptCompiler&) = delete;

    // Reads a whole file into a new owned module named by its path. Throws a
    // CIError: 17 when the file cannot be opened or read, 15 out of memory.
    void AddSourceFile(const char* path, uint32_t word = 0);

    // Adds a module. With kModuleOwnsText in flags the text is copied (a
    // failed copy throws CIError 15); otherwise it is borrowed and must live
    // as long as the program. The text ends at `length` bytes or at a zero
    // byte, whichever comes first. `word` is handed to the module's code (the
    // module-start instruction and the block records of its functions).
    void AddSourceText(const char* name, const char* text, uint32_t length, uint32_t flags, uint32_t word = 0);

    // Compiles every module added so far, in order (module numbers 0, 1, ...).
    // 1 on success; 0 on failure, GetLastError then describes it.
    int Compile();

    // The error of the last failed Compile (null when there was none).
    const CIError* GetLastError() const { return m_lastError.get(); }

    // The program being built or compiled. TakeProgram moves it out (the
    // compiler is left empty, ready for another program); GiveBackProgram
    // returns one to the compiler.
    CCompiledProgram& Program() { return m_program; }
    CCompiledProgram TakeProgram();
    void GiveBackProgram(CCompiledProgram&& program);

    // Member indexes of registry entries 0 to 73 (entry 0: keywords and class names).
    const CRegistryIndex& GetRegistryIndex() const { return m_index; }

    // The instruction after p.
    static const uint8_t* SkipInstruction(const uint8_t* p) { return NextInstr(p); }

private:
    [[noreturn]] void Fail(int32_t code);
    CIError MakeError(int32_t code) const;

    const CRegistryIndex& m_index;
    bool m_indexBuilt = false;
    CCompiledProgram m_program;
    std::unique_ptr<CIError> m_lastError;
};
