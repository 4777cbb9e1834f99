#pragma once
// Parse pass of the script compiler: checks the statement syntax of the token
// buffer, copies the instructions into the program's code (dropping the
// position words the code does not keep and the "(" / "[" that open argument
// and index lists), creates the block records and fills in jump offsets and
// block indices. The layouts are those of runtime/compiler/code_format.h.
#include <cstdint>
#include <vector>

#include "runtime/compiler/code_format.h"
#include "runtime/compiler/script_lexer.h"

class CScriptParser {
public:
    // tokens must end with the instruction 0.
    CScriptParser(CCompiledProgram& program, const std::vector<uint8_t>& tokens);

    // Parses every statement; errors are thrown through the program (phase 3).
    void Parse();

private:
    // Where an expression stands, which decides what may end it.
    enum class Context {
        kStatement,    // ends at any token that cannot continue it
        kParenthesis,  // ends at ")"
        kArgument,     // ends at "," or ")"
        kIndex,        // ends at "," or "]"
        kCaseLabel,    // ends at ":"
        kTrueBranch,   // the middle of a conditional, ends at ":"
    };

    uint16_t Code() const { return InstrCode(m_cur); }
    uint16_t PeekCode() const;
    void Advance();
    [[noreturn]] void FailHere(int32_t code);   // at the current token
    [[noreturn]] void FailAfter(int32_t code);  // at the last token consumed
    size_t Copy();                              // copies the current token, advances
    size_t Write(uint16_t code, size_t bodyBytes, bool withPosition, uint32_t position);
    void Drop(uint16_t expected, int32_t errorCode);
    void Expect(uint16_t expected, int32_t errorCode);  // copies it
    uint32_t Offset() const { return static_cast<uint32_t>(m_code.size()); }
    uint8_t* CodeAt(size_t offset) { return m_code.data() + offset; }
    uint32_t NewBlock(uint32_t kind);
    CBlockRecord& Block(uint32_t index) { return m_program.blocks[index]; }

    void ParseStatement();
    void ParseStatementsUntilClose();  // up to (not including) "}"
    void ParseBlock();
    void ParseFor();
    void ParseWhile();
    void ParseIf();
    void ParseSwitch();
    void ParseFunction();
    void ParseLoopBody(uint32_t block);
    size_t CopyBrace(uint32_t block);
    void WriteBrace(uint16_t code, uint32_t block, uint32_t jump);
    void CloseBody(size_t openAt, size_t closeAt, uint32_t block);

    // Answers whether the expression ended with a conditional at its level.
    bool ParseExpression(Context context, bool allowVar = false);
    void ParseOperand();
    void ParseMemberChain();
    void ParseArguments();
    void ParseIndices();
    void ParsePostfixTail();

    CCompiledProgram& m_program;
    const std::vector<uint8_t>& m_tokens;
    std::vector<uint8_t>& m_code;
    CInstrWriter m_out;
    const uint8_t* m_cur;
    const uint8_t* m_prev = nullptr;
    std::vector<uint32_t> m_openBlocks;  // indices of the blocks being parsed
    int m_nesting = 0;                   // statements and operands being parsed

    class CNestingGuard {
    public:
        explicit CNestingGuard(CScriptParser& parser);
        ~CNestingGuard() { --m_parser.m_nesting; }

    private:
        CScriptParser& m_parser;
    };
};
