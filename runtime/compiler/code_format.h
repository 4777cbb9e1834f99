#pragma once
// Compiled script code: the instruction layout shared by the compiler, which
// writes it, and the interpreter, which runs it in place.
//
// THE CODE BUFFER
// One contiguous buffer of variable-length instructions, executed from offset 0
// (the main entry) up to a final 4-byte instruction with code 0. Every
// instruction starts at an offset that is a multiple of 4:
//
//   bytes 0-1  u16 operation code (little-endian)
//   byte  2    u8  length of the whole instruction, header included; always a
//                  multiple of 4, at least 4, at most 252. The next instruction
//                  starts at this offset. ALWAYS step with the length byte: an
//                  instruction may carry a trailing position word that its body
//                  table below does not show.
//   byte  3    u8  flags:
//                  bit 0 (kInstrHasPosition): the last 4 bytes are a
//                        source-position word;
//                  bit 1 (kInstrPooledText): only on code 103, see below.
//
// Source-position word (u32): bits 0-23 byte offset of the token's first
// character in its module's text, bits 24-31 the module number (index in the
// program's module list). Error positions come from these (ThrowScriptError).
//
// Word fields are little-endian u32 at the offsets given below (from the
// instruction start). Read and write them only with ReadU32/WriteU32/ReadF64
// (memcpy), never through casted pointers.
//
// Instruction bodies (pos = a position word follows; every length includes it):
//
//  code                      len   body
//  1..73 class name           8    pos. The code is the class id.
//  75 name + "(" (call)      20    +4 u32 0, +8 u32 0, +12 u32 name reference, pos
//  76 name                   20    as 75
//  77 name + "[" (indexed)   20    as 75
//  78 member + "(" (call)    16    +4 u32 cached member id (0 = none),
//  79 member                 16    +8 u32 cached class id (0 = none),
//  80 member + "["           16    +12 u32 member-name reference. No pos. The
//                                  interpreter patches +4 and +8 while running.
//  83 For                    16    +4 u32 jump = offset behind the loop's "}",
//  92 While                  16    +8 u32 block index, pos
//  95 Switch                 16    +4 u32 jump = offset of the first Case label
//                                  (0 when none), +8 u32 block index, pos
//  88 Function               16    +4 u32 jump = offset behind the body's "}",
//                                  +8 u32 block index of the function, pos
//  90 If                     12    +4 u32 jump = offset of the instruction behind
//                                  the If's statement (its Else when present), pos
//  91 Else                   12    +4 u32 jump = offset behind the Else's
//                                  statement, pos
//  96 Case                   12    +4 u32 jump = offset of the next Case label
//                                  of the same Switch, 0 after the last, pos
//  97 Default                12    +4 u32 0 (Default is not in the Case chain;
//                                  the Switch's block record points at it), pos
//  114 "{"                   16    +4 u32 jump = offset of the block's "}",
//                                  +8 u32 block index, pos
//  115 "}"                   16    +4 u32 jump = offset of the block's "{",
//                                  +8 u32 block index, pos
//                                  (12 bytes without pos where the compiler
//                                  supplied the braces of a one-statement
//                                  loop body)
//  98 module start            8    +4 u32 the word given with the module
//                                  (the program index)
//  100 integer constant       8    +4 i32 value
//  101 integer constant       8    +4 i32 value (written in hex or binary)
//  104 floating constant     12    +4 f64 value
//  103 string constant      var    +4 text, NUL, zero padding to a multiple of
//                                  4, then pos. Texts of up to kMaxInlineText
//                                  bytes are inline. A longer literal is one
//                                  12-byte instruction with flag
//                                  kInstrPooledText: +4 u32 index into the
//                                  program's longTexts, pos. Use
//                                  CCompiledProgram::StringConstantText for
//                                  both forms.
//  110 omitted operand        4    the default value (tag 11); step past it
//  111 "(" 112 ")"           4    no pos
//  113 ","                    8    pos
//  116 ";"                    4    no pos (statement end; also a Case's ":")
//  164 "."                    4    no pos (only between a string constant and
//                                  its member access)
//  166 ":"                    8    pos (the conditional's ":")
//  168 "]"                  8    pos ("[" is never in the code)
//  every other code           8    pos (keywords, TRUE..OFF, CurWindow, This,
//                                  operators 119..152, module end 99)
//
// Jump and block offsets are byte offsets from the start of the code buffer.
// A name reference is (name table bucket << 16) | index; GetName resolves it.
//
// SHAPES THE COMPILER PRODUCES ([x] one instruction, lower-case letters are
// expressions: sequences of instructions evaluated by precedence)
//  - Call of a script function or member: [75 f] args [")"] and
//    [78 m] args [")"]; args are expressions separated by [","], an empty
//    position is just the separator (an omitted argument). The "(" of an
//    argument list is NOT in the code; a call without arguments is [75 f][")"].
//    New: [82 New][class] args [")"] or [82 New][75 f] args [")"].
//  - Index list: [77 a] i1 [","] i2 ... ["]"] and [80 m] i1 ... ["]"]; the "["
//    is not in the code. At most 10 indices.
//    So, when matching brackets while skipping code, 75, 78 and a class name
//    directly behind 82 open a ")", and 77 and 80 open a "]" (see
//    SkipToUnmatchedClose).
//  - Parenthesised expression: ["("] e [")"]. A "(" is in the code only here
//    and in a Function's parameter list.
//  - Member chains: an operand (76, 77 + list, 75 + list, This, CurWindow,
//    "(" e ")", a class name) followed by member accesses 78/79/80 each with
//    its list. A string constant takes ["."] before its member access.
//  - Postfix i++ / i--: [76 i][++] and the right operand that the evaluator
//    drops. Where the source gives none, the compiler writes [110] in front of
//    "]", ":", "?" and lower-precedence operators; before ")", "," and ";" it
//    writes nothing (those read as an omitted operand without being stepped).
//  - For: [For] a [";"] b [";"] c [")"] ["{"] body ["}"]. a, b and c may be
//    empty; the ")" is always written so that c (e.g. a postfix i++) ends
//    there. The "{" and "}" are written even for a one-statement body and
//    carry the For's block index; the "{" is never executed.
//  - While: [While] b [")"] ["{"] body ["}"], "{"/"}" as for For.
//  - If: [If] b [")"] statement ([Else] statement)*. Chained Else parts each
//    jump behind their own statement.
//  - Switch: [Switch] v [")"] ["{"] { [Case] w [";"] statements | [Default]
//    statements | statements } ["}"]. The Case's ":" is written as ";"; the
//    ":" after Default is not written.
//  - Function: [Function] (["("] [76 p] ([","] [76 p])* [")"])? ["{"] body
//    ["}"]. An empty "()" is not written. Parameters are plain names, at most
//    15.
//  - Plain block: ["{"] statements ["}"].
//  - Module wrapped by flag 8: [98 word][";"] ... [99][";"].
//  - Blocks never span modules, and statements and operands nest at most 256
//    deep (deeper source is a compile error).
//
// BLOCK RECORDS (CBlockRecord, one per loop, Switch, plain block and function;
// the instruction's block index is the record's index in `blocks`):
//  kind       1 For, 3 plain block, 4 While, 5 Switch, 6 function
//  start      offset of the body's "{"; execution enters just behind it
//  end        offset of the body's "}"
//  condition  For/While: offset of the condition, 0 when a For has none;
//             function: its name reference
//  step       For: offset of the step expression, 0 when none;
//             Switch: offset of the Default instruction itself, 0 when none
//             (continue AT it: Default is stepped past like ";");
//             function: offset of the Function instruction
//  parent     index + 1 of the enclosing block record, 0 at the top level
//             (so top-level functions are those with parent 0)
//  reserved   0
//  moduleWord function: the word given with its module; else 0
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class CNameTable;

enum ScriptOpCode : uint16_t {
    kOpEnd = 0,
    kOpFirstClass = 1,
    kOpLastClass = 73,
    kOpCallName = 75,
    kOpName = 76,
    kOpIndexName = 77,
    kOpMemberCall = 78,
    kOpMember = 79,
    kOpMemberIndex = 80,
    kOpVar = 81,
    kOpNew = 82,
    kOpFor = 83,
    kOpReturn = 84,
    kOpBreak = 85,
    kOpContinue = 86,
    kOpDelete = 87,
    kOpFunction = 88,
    kOpThis = 89,
    kOpIf = 90,
    kOpElse = 91,
    kOpWhile = 92,
    kOpIn = 93,
    kOpCurWindow = 94,
    kOpSwitch = 95,
    kOpCase = 96,
    kOpDefault = 97,
    kOpModuleStart = 98,
    kOpModuleEnd = 99,
    kOpInt = 100,
    kOpIntHex = 101,
    kOpInt2 = 102,  // an integer constant no token produces
    kOpString = 103,
    kOpDouble = 104,
    kOpZero = 105,  // the integer 0; no token produces it
    kOpTrue = 106,
    kOpFalse = 107,
    kOpOn = 108,
    kOpOff = 109,
    kOpOmitted = 110,
    kOpOpenParen = 111,
    kOpCloseParen = 112,
    kOpComma = 113,
    kOpOpenBrace = 114,
    kOpCloseBrace = 115,
    kOpSemicolon = 116,
    // Binary operators; the code is the precedence (higher binds tighter).
    kOpConditional = 119,
    kOpAssign = 120,
    kOpLogicalAnd = 121,
    kOpLogicalOr = 122,
    kOpAddAssign = 123,
    kOpSubAssign = 124,
    kOpMulAssign = 125,
    kOpDivAssign = 126,
    kOpAndAssign = 127,
    kOpOrAssign = 128,
    kOpXorAssign = 129,
    kOpModAssign = 130,
    kOpShlAssign = 131,
    kOpShrAssign = 132,
    kOpGreaterEqual = 133,
    kOpLessEqual = 134,
    kOpEqual = 135,
    kOpLess = 136,
    kOpGreater = 137,
    kOpNotEqual = 138,
    kOpNot = 139,
    kOpComplement = 140,
    kOpIncrement = 141,
    kOpDecrement = 142,
    kOpAdd = 143,
    kOpSubtract = 144,
    kOpDivide = 145,
    kOpMultiply = 146,
    kOpBitAnd = 147,
    kOpBitOr = 148,
    kOpBitXor = 149,
    kOpModulo = 150,
    kOpShiftLeft = 151,
    kOpShiftRight = 152,
    kOpTableSize = 153,  // codes below this have entries in the operation tables
    // Tokens with codes beyond the operation tables.
    kOpDot = 164,
    kOpColon = 166,
    kOpOpenBracket = 167,
    kOpCloseBracket = 168,
    kOpLineComment = 169,
    kOpBlockCommentOpen = 170,
    kOpBlockCommentClose = 171,
};

// Instruction header and body offsets.
constexpr uint8_t kInstrHasPosition = 0x01;
constexpr uint8_t kInstrPooledText = 0x02;
constexpr int kInstrHeaderSize = 4;
constexpr int kInstrMaxLength = 252;
constexpr int kFieldJump = 4;         // If, Else, Case, Default, For, While, Switch, Function, "{", "}"
constexpr int kFieldBlockIndex = 8;   // For, While, Switch, Function, "{", "}"
constexpr int kFieldValue = 4;        // 98, 100, 101, 104, pooled 103
constexpr int kFieldText = 4;         // inline 103
constexpr int kFieldCacheMember = 4;  // 78, 79, 80
constexpr int kFieldCacheClass = 8;   // 78, 79, 80
constexpr int kFieldNameRef = 12;     // 75..80
// Longest text a 103 instruction holds inline (4 header + text + NUL + pos <= 252).
constexpr int kMaxInlineText = kInstrMaxLength - kInstrHeaderSize - 4 - 1;

inline uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline int32_t ReadI32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline double ReadF64(const uint8_t* p) {
    double v;
    std::memcpy(&v, p, 8);
    return v;
}
inline void WriteU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void WriteF64(uint8_t* p, double v) { std::memcpy(p, &v, 8); }
inline uint16_t InstrCode(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint8_t InstrLength(const uint8_t* p) { return p[2]; }
inline uint8_t InstrFlags(const uint8_t* p) { return p[3]; }
inline const uint8_t* NextInstr(const uint8_t* p) { return p + p[2]; }
inline uint8_t* NextInstr(uint8_t* p) { return p + p[2]; }
inline bool InstrHasPosition(const uint8_t* p) { return (p[3] & kInstrHasPosition) != 0; }
// The position word of an instruction that has one (InstrHasPosition).
inline uint32_t InstrPosition(const uint8_t* p) { return ReadU32(p + p[2] - 4); }

// The longest module text position words address; the compiler refuses a
// longer one with error 15.
constexpr uint32_t kMaxModuleLength = 0x1000000u;
inline uint32_t MakePositionWord(uint32_t module, uint32_t offset) {
    return ((module & 0xFFu) << 24) | (offset > 0xFFFFFFu ? 0xFFFFFFu : offset);
}
inline bool IsClassCode(uint32_t code) { return code >= kOpFirstClass && code <= kOpLastClass; }
inline bool IsBinaryOperator(uint32_t code) { return code >= kOpConditional && code <= kOpShiftRight; }
// The instructions of an integer constant (kFieldValue holds it).
inline bool IsIntConstant(uint32_t code) { return code == kOpInt || code == kOpIntHex || code == kOpInt2; }

// From p, an instruction inside a true conditional branch or similar, the first
// ")" that is not matched by an opener after p, or the first ";" or end of
// code, whichever comes first (openers: "(", 75, 78, and a class name directly
// behind New). Answers that instruction, not stepped past.
const uint8_t* SkipToUnmatchedClose(const uint8_t* p);

// From p (just past a "?"), the ":" that belongs to that "?" (each nested "?"
// needs one more ":"), or the first ";" or end of code when there is none.
const uint8_t* SkipToConditionalColon(const uint8_t* p);

enum BlockKind : uint32_t {
    kBlockFor = 1,
    kBlockPlain = 3,
    kBlockWhile = 4,
    kBlockSwitch = 5,
    kBlockFunction = 6,
};

struct CBlockRecord {
    uint32_t kind;
    uint32_t start;
    uint32_t end;
    uint32_t condition;
    uint32_t step;
    uint32_t parent;
    uint32_t reserved;
    uint32_t moduleWord;
};

// Module flags given when a source text is added.
constexpr uint32_t kModuleControlEndsText = 0x01;  // bytes below 32 (not tab) end the text
constexpr uint32_t kModuleOwnsText = 0x02;         // the text is copied and owned
constexpr uint32_t kModuleWrap = 0x08;             // module start/end instructions

struct CScriptModule {
    std::string name;
    const char* text = nullptr;  // owned below or borrowed from the caller
    uint32_t length = 0;
    uint32_t flags = 0;
    uint32_t word = 0;  // given by the caller; the program index of its code
    std::unique_ptr<char[]> owned;
};

// Where an error lies, worked out by the error-position rules.
struct CScriptPosition {
    const char* moduleName;  // null when none
    int32_t column;          // 0-based; -1 unknown
    int32_t line;            // 0-based; -1 unknown
};

// Phases of the program's phase word.
enum ScriptPhase : int32_t {
    kPhaseReading = 1,
    kPhaseTokens = 2,
    kPhaseParse = 3,
    kPhaseRunning = 4,
};

// The compiled program: made by CScriptCompiler, taken over by the
// interpreter as a whole. After compilation nothing is added to it, so
// pointers into code, blocks and longTexts stay valid.
class CCompiledProgram {
public:
    CCompiledProgram();
    ~CCompiledProgram();
    CCompiledProgram(CCompiledProgram&&) noexcept;
    CCompiledProgram& operator=(CCompiledProgram&&) noexcept;
    CCompiledProgram(const CCompiledProgram&) = delete;
    CCompiledProgram& operator=(const CCompiledProgram&) = delete;

    std::vector<uint8_t> code;  // ends with the 4-byte instruction 0; empty before a compile
    std::vector<CBlockRecord> blocks;
    std::unique_ptr<CNameTable> names;  // 32 buckets, case-insensitive
    std::vector<std::string> longTexts;
    std::vector<CScriptModule> modules;

    // Phase word and what each phase takes its error position from.
    int32_t phase = 0;
    int32_t currentModule = 0;          // phase 2 (and the fallback of unknown phases)
    uint32_t cursorOffset = 0;          // phase 2: the lexer's read cursor in that module
    const uint8_t* walkBase = nullptr;  // phase 3: the token buffer; null = the code
    const uint8_t* walkAt = nullptr;    // phase 3: parse read pointer; phase 4: code pointer

    // Name of a name reference, null when it names nothing.
    const char* GetName(uint32_t ref) const;
    // Text of a string constant instruction (inline or pooled); "" when invalid.
    const char* StringConstantText(const uint8_t* instr) const;
    uint32_t CodeOffset(const uint8_t* p) const { return static_cast<uint32_t>(p - code.data()); }

    // The error-position rules for an error with this code.
    CScriptPosition FindErrorPosition(int32_t code) const;
    // Throws a CIError with the code, the detail and FindErrorPosition(code).
    [[noreturn]] void ThrowScriptError(int32_t code, uint32_t detail) const;
    // Phase 4 helper: walkAt = at, then ThrowScriptError.
    [[noreturn]] void ThrowScriptErrorAt(int32_t code, uint32_t detail, const uint8_t* at);

    // Empties the program (code, blocks, names, texts, modules, phase).
    void Clear();
};

// Line and column (both 0-based) of a byte offset in a text of the given
// length. Each CR or LF ends a line; CR directly followed by LF is one line end.
// A zero byte before the offset, or an offset beyond the text, gives 0/0.
void TextLineColumn(const char* text, uint32_t length, uint32_t offset, int32_t* line, int32_t* column);
