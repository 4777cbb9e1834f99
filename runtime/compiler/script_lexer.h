#pragma once
// Token pass of the script compiler: turns the text of one module into token
// instructions appended to the token buffer.
//
// Token instructions have the layouts of runtime/compiler/code_format.h, except that
// every token carries a position word (so that a parse error can point at
// any token) and that a Function token is 24 bytes: {88, u32 0, u32 0,
// u32 module word, u32 name reference, pos}. The parse pass drops the
// position words that the final code does not keep.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/compiler/code_format.h"

class CRegistryIndex;

// Token-buffer-only codes (never in the final code).
constexpr uint16_t kTokModuleBoundary = 117;  // ends every module's tokens
constexpr int kFunctionTokenLength = 24;
constexpr int kFieldFunctionModuleWord = 12;
constexpr int kFieldFunctionNameRef = 16;

// Appends instructions to a growable byte buffer. Growth is geometric, so a
// long program costs linear time.
class CInstrWriter {
public:
    explicit CInstrWriter(std::vector<uint8_t>& buffer) : m_buffer(buffer) {}
    // Appends an instruction with `bodyBytes` zeroed body bytes (a multiple of
    // 4) and, when withPosition, the position word. Answers its offset.
    size_t Emit(uint16_t code, size_t bodyBytes, bool withPosition, uint32_t position);
    uint8_t* At(size_t offset) { return m_buffer.data() + offset; }
    size_t Size() const { return m_buffer.size(); }

private:
    std::vector<uint8_t>& m_buffer;
};

class CScriptLexer {
public:
    CScriptLexer(const CRegistryIndex& index, CCompiledProgram& program, std::vector<uint8_t>& tokens);

    // Appends the tokens of module `number` of the program, ending with a
    // module boundary. Errors are thrown through the program (phase 2).
    void LexModule(uint32_t number);

private:
    enum CharClass { kEnd = 0, kLineEnd = 1, kLetter = 2, kDigit = 3, kBlank = 4, kPunct = 5 };

    CharClass ClassAt(uint32_t offset) const;
    [[noreturn]] void Fail(int32_t code, uint32_t offset);
    uint32_t Position(uint32_t offset) const { return MakePositionWord(m_module, offset); }
    size_t EmitSimple(uint16_t code, uint32_t offset);
    uint32_t SkipSpace(uint32_t offset) const;  // blanks, line ends and comments
    uint32_t ReadRun(uint32_t offset, CharClass cls) const;
    uint32_t InternName(uint32_t start, uint32_t end);
    uint32_t FindGlobalCode(const std::string& word);

    void LexNumber(uint32_t start);
    void LexWord(uint32_t start);
    void LexString(uint32_t start);
    void LexPunctuation(uint32_t start);
    void LexMemberAfterDot(uint32_t dotOffset);
    void EmitMemberAccess(uint32_t nameStart, uint32_t nameEnd);
    void EmitName(uint32_t start, uint32_t end);
    uint32_t SkipBlockComment(uint32_t start);

    const CRegistryIndex& m_index;
    CCompiledProgram& m_program;
    CInstrWriter m_out;
    uint32_t m_module = 0;
    const char* m_text = nullptr;
    uint32_t m_length = 0;
    bool m_controlEndsText = false;
    uint32_t m_cursor = 0;
    uint16_t m_lastCode = 0;
    // Global-member answers by upper-cased name, so that each distinct name is
    // looked up in the class tables once.
    std::unordered_map<std::string, uint32_t> m_globalCodes;
    // Name references by upper-cased name: a name met again costs one hash
    // look-up instead of a walk through its name-table bucket.
    std::unordered_map<std::string, uint32_t> m_nameRefs;
};
