#include "runtime/compiler/script_parser.h"

#include "runtime/base/ci_error.h"
#include "runtime/classes/class_registry.h"

namespace {

constexpr int kMaxArguments = 15;
constexpr int kMaxIndices = 10;
// Statements and operands nested deeper than this are refused (error 13), so
// that no source text can exhaust the stack of the recursive parse.
constexpr int kMaxNesting = 256;

// Instructions that keep their position word in the code.
bool KeepsPosition(uint16_t code) {
    switch (code) {
    case kOpMemberCall:
    case kOpMember:
    case kOpMemberIndex:
    case kOpModuleStart:
    case kOpInt:
    case kOpIntHex:
    case kOpInt2:
    case kOpDouble:
    case kOpOpenParen:
    case kOpCloseParen:
    case kOpSemicolon:
    case kOpDot:
        return false;
    default:
        return true;
    }
}

// Tokens at which an expression ends normally.
bool EndsExpression(uint16_t code) {
    switch (code) {
    case kOpComma:
    case kOpSemicolon:
    case kOpColon:
    case kOpCloseBracket:
    case kOpCloseParen:
    case kOpEnd:
    case kTokModuleBoundary:
        return true;
    default:
        return false;
    }
}

bool IsMemberAccess(uint16_t code) { return code == kOpMemberCall || code == kOpMember || code == kOpMemberIndex; }

bool EndsSource(uint16_t code) { return code == kOpEnd || code == kTokModuleBoundary || code == kOpModuleEnd; }

}  // namespace

CScriptParser::CScriptParser(CCompiledProgram& program, const std::vector<uint8_t>& tokens)
    : m_program(program), m_tokens(tokens), m_code(program.code), m_out(program.code), m_cur(tokens.data()) {}

uint16_t CScriptParser::PeekCode() const {
    if (Code() == kOpEnd) return kOpEnd;
    return InstrCode(NextInstr(m_cur));
}

CScriptParser::CNestingGuard::CNestingGuard(CScriptParser& parser) : m_parser(parser) {
    if (++m_parser.m_nesting > kMaxNesting) m_parser.FailHere(13);
}

void CScriptParser::Advance() {
    if (Code() == kOpEnd) return;  // the terminating instruction is never passed
    m_prev = m_cur;
    m_cur = NextInstr(m_cur);
}

void CScriptParser::FailHere(int32_t code) {
    m_program.walkBase = m_tokens.data();
    m_program.walkAt = m_cur;
    m_program.ThrowScriptError(code, static_cast<uint32_t>(CIError::kNoDetail));
}

void CScriptParser::FailAfter(int32_t code) {
    // Something is missing after the last token consumed: the error belongs
    // to the statement that token ends, not to the line of the next token.
    if (m_prev) m_cur = m_prev;
    FailHere(code);
}

size_t CScriptParser::Copy() {
    const uint16_t code = Code();
    const uint8_t length = InstrLength(m_cur);
    const bool hasPosition = InstrHasPosition(m_cur);
    const bool keep = hasPosition && KeepsPosition(code);
    const size_t bytes = (hasPosition && !keep) ? length - 4u : length;
    const size_t offset = m_code.size();
    m_code.insert(m_code.end(), m_cur, m_cur + bytes);
    if (bytes != length) {
        m_code[offset + 2] = static_cast<uint8_t>(bytes);
        m_code[offset + 3] &= static_cast<uint8_t>(~kInstrHasPosition);
    }
    Advance();
    return offset;
}

size_t CScriptParser::Write(uint16_t code, size_t bodyBytes, bool withPosition, uint32_t position) {
    return m_out.Emit(code, bodyBytes, withPosition, position);
}

void CScriptParser::Drop(uint16_t expected, int32_t errorCode) {
    if (Code() != expected) FailHere(errorCode);
    Advance();
}

void CScriptParser::Expect(uint16_t expected, int32_t errorCode) {
    if (Code() != expected) FailAfter(errorCode);
    Copy();
}

uint32_t CScriptParser::NewBlock(uint32_t kind) {
    CBlockRecord record{};
    record.kind = kind;
    record.parent = m_openBlocks.empty() ? 0 : m_openBlocks.back() + 1;
    m_program.blocks.push_back(record);
    return static_cast<uint32_t>(m_program.blocks.size() - 1);
}

void CScriptParser::Parse() {
    m_program.phase = kPhaseParse;
    m_program.walkBase = m_tokens.data();
    m_program.walkAt = m_cur;
    m_code.clear();
    m_program.blocks.clear();
    while (Code() != kOpEnd) {
        if (Code() == kTokModuleBoundary) {
            Advance();
            continue;
        }
        ParseStatement();
    }
    Write(kOpEnd, 0, false, 0);
}

void CScriptParser::ParseStatement() {
    CNestingGuard guard(*this);
    const uint16_t code = Code();
    if (IsClassCode(code)) {
        // Only a class with a global object can start a statement, and only
        // with one of its members.
        if (!IsGlobalClass(code)) FailHere(16);
        uint16_t next = PeekCode();
        if (next != kOpMemberCall && next != kOpMember) {
            Advance();
            FailHere(16);
        }
        ParseExpression(Context::kStatement);
        Expect(kOpSemicolon, 6);
        return;
    }
    switch (code) {
    case kOpCallName:
    case kOpName:
    case kOpIndexName:
    case kOpThis:
    case kOpCurWindow:
        ParseExpression(Context::kStatement);
        Expect(kOpSemicolon, 6);
        return;
    case kOpVar:
        ParseExpression(Context::kStatement, true);
        Expect(kOpSemicolon, 6);
        return;
    case kOpReturn:
        Copy();
        if (Code() != kOpSemicolon) ParseExpression(Context::kStatement);
        Expect(kOpSemicolon, 6);
        return;
    case kOpDelete:
        Copy();
        ParseExpression(Context::kStatement);
        Expect(kOpSemicolon, 6);
        return;
    case kOpModuleEnd:
        if (!m_openBlocks.empty()) FailAfter(3);
        Copy();
        Expect(kOpSemicolon, 6);
        return;
    case kOpBreak:
    case kOpContinue:
    case kOpModuleStart:
        Copy();
        Expect(kOpSemicolon, 6);
        return;
    case kOpFor:
        ParseFor();
        return;
    case kOpWhile:
        ParseWhile();
        return;
    case kOpIf:
        ParseIf();
        return;
    case kOpSwitch:
        ParseSwitch();
        return;
    case kOpFunction:
        ParseFunction();
        return;
    case kOpOpenBrace:
        ParseBlock();
        return;
    case kOpSemicolon:
        Copy();
        return;
    default:
        FailHere(16);
    }
}

void CScriptParser::ParseStatementsUntilClose() {
    for (;;) {
        uint16_t code = Code();
        if (code == kOpCloseBrace) return;
        if (EndsSource(code)) FailAfter(3);
        ParseStatement();
    }
}

size_t CScriptParser::CopyBrace(uint32_t block) {
    size_t offset = Copy();
    WriteU32(CodeAt(offset) + kFieldBlockIndex, block);
    return offset;
}

void CScriptParser::WriteBrace(uint16_t code, uint32_t block, uint32_t jump) {
    size_t offset = Write(code, 8, false, 0);
    WriteU32(CodeAt(offset) + kFieldJump, jump);
    WriteU32(CodeAt(offset) + kFieldBlockIndex, block);
}

void CScriptParser::CloseBody(size_t openAt, size_t closeAt, uint32_t block) {
    Block(block).start = static_cast<uint32_t>(openAt);
    Block(block).end = static_cast<uint32_t>(closeAt);
    WriteU32(CodeAt(openAt) + kFieldJump, static_cast<uint32_t>(closeAt));
    WriteU32(CodeAt(closeAt) + kFieldJump, static_cast<uint32_t>(openAt));
}

void CScriptParser::ParseBlock() {
    uint32_t block = NewBlock(kBlockPlain);
    m_openBlocks.push_back(block);
    size_t open = CopyBrace(block);
    ParseStatementsUntilClose();
    size_t close = CopyBrace(block);
    m_openBlocks.pop_back();
    CloseBody(open, close, block);
}

void CScriptParser::ParseLoopBody(uint32_t block) {
    m_openBlocks.push_back(block);
    if (Code() == kOpOpenBrace) {
        size_t open = CopyBrace(block);
        ParseStatementsUntilClose();
        size_t close = CopyBrace(block);
        CloseBody(open, close, block);
    } else {
        // A one-statement body still gets the "{" and "}" the loop runs by.
        size_t open = Offset();
        WriteBrace(kOpOpenBrace, block, 0);
        ParseStatement();
        size_t close = Offset();
        WriteBrace(kOpCloseBrace, block, 0);
        CloseBody(open, close, block);
    }
    m_openBlocks.pop_back();
}

void CScriptParser::ParseFor() {
    size_t forAt = Copy();
    uint32_t block = NewBlock(kBlockFor);
    WriteU32(CodeAt(forAt) + kFieldBlockIndex, block);
    Drop(kOpOpenParen, 16);
    if (Code() != kOpSemicolon) ParseExpression(Context::kStatement, true);
    Expect(kOpSemicolon, 6);
    if (Code() != kOpSemicolon) {
        Block(block).condition = Offset();
        ParseExpression(Context::kStatement);
    }
    Expect(kOpSemicolon, 6);
    if (Code() != kOpCloseParen) {
        Block(block).step = Offset();
        ParseExpression(Context::kParenthesis);
    }
    // Written although the loop never executes it: the step expression (a
    // postfix i++ in particular) must end at an instruction that ends an
    // operand list, and "{" does not.
    Expect(kOpCloseParen, 2);
    ParseLoopBody(block);
    WriteU32(CodeAt(forAt) + kFieldJump, Offset());
}

void CScriptParser::ParseWhile() {
    size_t whileAt = Copy();
    uint32_t block = NewBlock(kBlockWhile);
    WriteU32(CodeAt(whileAt) + kFieldBlockIndex, block);
    Drop(kOpOpenParen, 16);
    Block(block).condition = Offset();
    ParseExpression(Context::kParenthesis);
    Expect(kOpCloseParen, 2);
    ParseLoopBody(block);
    WriteU32(CodeAt(whileAt) + kFieldJump, Offset());
}

void CScriptParser::ParseIf() {
    // "Else If" chains are followed in this loop rather than by recursion, so
    // that a long chain cannot exhaust the stack. Each Else whose statement is
    // an If jumps behind that If and all of its own Else parts.
    std::vector<size_t> chainedElses;
    for (;;) {
        size_t ifAt = Copy();
        Drop(kOpOpenParen, 16);
        ParseExpression(Context::kParenthesis);
        Expect(kOpCloseParen, 2);
        ParseStatement();
        WriteU32(CodeAt(ifAt) + kFieldJump, Offset());
        bool chained = false;
        while (Code() == kOpElse) {
            size_t elseAt = Copy();
            if (Code() == kOpIf) {
                chainedElses.push_back(elseAt);
                chained = true;
                break;
            }
            ParseStatement();
            WriteU32(CodeAt(elseAt) + kFieldJump, Offset());
        }
        if (!chained) break;
    }
    for (size_t elseAt : chainedElses) WriteU32(CodeAt(elseAt) + kFieldJump, Offset());
}

void CScriptParser::ParseSwitch() {
    size_t switchAt = Copy();
    uint32_t block = NewBlock(kBlockSwitch);
    WriteU32(CodeAt(switchAt) + kFieldBlockIndex, block);
    Drop(kOpOpenParen, 16);
    ParseExpression(Context::kParenthesis);
    Expect(kOpCloseParen, 2);
    if (Code() != kOpOpenBrace) FailHere(16);
    m_openBlocks.push_back(block);
    size_t open = CopyBrace(block);
    size_t lastLabel = switchAt;
    for (;;) {
        uint16_t code = Code();
        if (code == kOpCloseBrace) break;
        if (EndsSource(code)) FailAfter(3);
        if (code == kOpCase) {
            size_t caseAt = Copy();
            WriteU32(CodeAt(lastLabel) + kFieldJump, static_cast<uint32_t>(caseAt));
            lastLabel = caseAt;
            ParseExpression(Context::kCaseLabel);
            if (Code() != kOpColon) FailHere(16);
            Advance();
            Write(kOpSemicolon, 0, false, 0);  // fall-through skips to this statement end
        } else if (code == kOpDefault) {
            if (Block(block).step != 0) FailHere(16);
            Block(block).step = static_cast<uint32_t>(Copy());
            Drop(kOpColon, 16);
        } else {
            ParseStatement();
        }
    }
    size_t close = CopyBrace(block);
    m_openBlocks.pop_back();
    CloseBody(open, close, block);
}

void CScriptParser::ParseFunction() {
    const uint32_t nameRef = ReadU32(m_cur + kFieldFunctionNameRef);
    const uint32_t moduleWord = ReadU32(m_cur + kFieldFunctionModuleWord);
    const uint32_t position = InstrPosition(m_cur);
    Advance();
    uint32_t block = NewBlock(kBlockFunction);
    size_t functionAt = Write(kOpFunction, 8, true, position);
    WriteU32(CodeAt(functionAt) + kFieldBlockIndex, block);
    Block(block).condition = nameRef;
    Block(block).step = static_cast<uint32_t>(functionAt);
    Block(block).moduleWord = moduleWord;

    if (Code() == kOpOpenParen) {
        if (PeekCode() == kOpCloseParen) {  // "()" is not written
            Advance();
            Advance();
        } else {
            Copy();
            for (int count = 1;; ++count) {
                if (count > kMaxArguments) FailHere(13);
                if (Code() != kOpName) FailHere(16);
                Copy();
                if (Code() == kOpComma) {
                    Copy();
                    continue;
                }
                if (Code() == kOpCloseParen) {
                    Copy();
                    break;
                }
                FailHere(16);
            }
        }
    }
    if (Code() != kOpOpenBrace) FailAfter(4);
    m_openBlocks.push_back(block);
    size_t open = CopyBrace(block);
    ParseStatementsUntilClose();
    size_t close = CopyBrace(block);
    m_openBlocks.pop_back();
    CloseBody(open, close, block);
    WriteU32(CodeAt(functionAt) + kFieldJump, Offset());
}

bool CScriptParser::ParseExpression(Context context, bool allowVar) {
    if (allowVar && Code() == kOpVar) {
        Copy();
        if (Code() != kOpName && Code() != kOpIndexName) FailHere(16);
    }
    ParseOperand();
    for (;;) {
        const uint16_t code = Code();
        if (code == kOpIncrement || code == kOpDecrement) {
            Copy();
            ParsePostfixTail();
            continue;
        }
        if (code == kOpConditional) {
            // A true branch runs up to its ":" and then skips to the first
            // unmatched ")" or ";": a conditional nested in it, or followed by
            // more arguments or indices, would be skipped wrongly.
            if (context == Context::kTrueBranch || context == Context::kIndex) FailHere(16);
            Copy();
            ParseExpression(Context::kTrueBranch);
            if (Code() != kOpColon) FailHere(16);
            Copy();
            ParseExpression(context);  // the false branch takes the rest
            return true;
        }
        if (IsBinaryOperator(code)) {
            Copy();
            ParseOperand();
            continue;
        }
        break;
    }
    if (context != Context::kStatement && !EndsExpression(Code())) FailHere(16);
    return false;
}

void CScriptParser::ParsePostfixTail() {
    // The evaluator treats a postfix ++/-- as a binary operator whose right
    // operand it drops. ")", "," and ";" supply an omitted operand themselves;
    // in front of "]", ":", "?" and looser operators the compiler supplies
    // one, so that the postfix is reduced first. A "-" starts the dropped
    // operand (i++ - 1). Tighter operators such as "+" or "*" would become the
    // dropped operand's and change the value silently, and a second ++ or --
    // has nothing to change: they are refused.
    const uint16_t next = Code();
    if (next == kOpCloseParen || next == kOpComma || next == kOpSemicolon) return;
    if (next == kOpSubtract) {
        ParseOperand();
        return;
    }
    if (next == kOpCloseBracket || next == kOpColon || next == kOpConditional ||
        (IsBinaryOperator(next) && next < kOpNot)) {
        Write(kOpOmitted, 0, false, 0);
        return;
    }
    if (IsBinaryOperator(next) && next >= kOpIncrement) FailHere(16);
}

void CScriptParser::ParseOperand() {
    CNestingGuard guard(*this);
    const uint16_t code = Code();
    switch (code) {
    case kOpCallName:
        Copy();
        Drop(kOpOpenParen, 16);
        ParseArguments();
        ParseMemberChain();
        return;
    case kOpName:
    case kOpThis:
    case kOpCurWindow:
        Copy();
        ParseMemberChain();
        return;
    case kOpIndexName:
        Copy();
        Drop(kOpOpenBracket, 16);
        ParseIndices();
        ParseMemberChain();
        return;
    case kOpInt:
    case kOpIntHex:
    case kOpDouble:
    case kOpTrue:
    case kOpFalse:
    case kOpOn:
    case kOpOff:
        Copy();
        return;
    case kOpString:
        Copy();
        if (Code() == kOpDot) {
            Copy();
            if (!IsMemberAccess(Code())) FailHere(16);
            ParseMemberChain();
        }
        return;
    case kOpOpenParen:
        Copy();
        ParseExpression(Context::kParenthesis);
        Expect(kOpCloseParen, 2);
        ParseMemberChain();
        return;
    case kOpNot:
    case kOpComplement:
    case kOpSubtract:
    case kOpIncrement:
    case kOpDecrement:
        Copy();
        ParseOperand();
        return;
    case kOpNew:
        Copy();
        if (IsClassCode(Code()) || Code() == kOpCallName) {
            Copy();
            Drop(kOpOpenParen, 16);
            ParseArguments();
            return;
        }
        FailHere(16);
    default:
        break;
    }
    if (IsClassCode(code)) {
        // A class with a global object takes any member access chain; any
        // other class only a constant (a member without argument list).
        const uint16_t next = PeekCode();
        if (IsGlobalClass(code) && (next == kOpMember || next == kOpMemberCall)) {
            Copy();
            ParseMemberChain();
            return;
        }
        if (!IsGlobalClass(code) && next == kOpMember) {
            Copy();
            Copy();
            return;
        }
    }
    FailHere(16);
}

void CScriptParser::ParseMemberChain() {
    while (IsMemberAccess(Code())) {
        const uint16_t code = Code();
        Copy();
        if (code == kOpMemberCall) {
            Drop(kOpOpenParen, 16);
            ParseArguments();
        } else if (code == kOpMemberIndex) {
            Drop(kOpOpenBracket, 16);
            ParseIndices();
        }
    }
}

void CScriptParser::ParseArguments() {
    if (Code() == kOpCloseParen) {
        Copy();
        return;
    }
    for (int count = 1;; ++count) {
        if (count > kMaxArguments) FailHere(13);
        bool conditional = false;
        if (Code() != kOpComma && Code() != kOpCloseParen) conditional = ParseExpression(Context::kArgument);
        if (Code() == kOpComma) {
            if (conditional) FailHere(16);
            Copy();
            continue;
        }
        if (Code() == kOpCloseParen) {
            Copy();
            return;
        }
        FailAfter(2);
    }
}

void CScriptParser::ParseIndices() {
    for (int count = 1;; ++count) {
        if (count > kMaxIndices) FailHere(13);
        ParseExpression(Context::kIndex);
        if (Code() == kOpComma) {
            Copy();
            continue;
        }
        if (Code() == kOpCloseBracket) {
            Copy();
            return;
        }
        FailHere(16);
    }
}
