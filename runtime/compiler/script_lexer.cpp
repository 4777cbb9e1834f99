#include "runtime/compiler/script_lexer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/base/ci_error.h"
#include "runtime/base/name_table.h"
#include "runtime/compiler/symbol_table.h"

namespace {

// A word (name, number or punctuation run) holds at most this many characters.
constexpr uint32_t kMaxWord = 255;

constexpr int32_t kSmallestInteger = -2147483646;
constexpr int32_t kLargestInteger = 2147483646;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

}  // namespace

size_t CInstrWriter::Emit(uint16_t code, size_t bodyBytes, bool withPosition, uint32_t position) {
    size_t length = kInstrHeaderSize + bodyBytes + (withPosition ? 4 : 0);
    size_t offset = m_buffer.size();
    m_buffer.resize(offset + length);  // geometric growth of std::vector
    uint8_t* p = m_buffer.data() + offset;
    std::memset(p, 0, length);
    p[0] = static_cast<uint8_t>(code & 0xFF);
    p[1] = static_cast<uint8_t>(code >> 8);
    p[2] = static_cast<uint8_t>(length);
    p[3] = withPosition ? kInstrHasPosition : 0;
    if (withPosition) WriteU32(p + length - 4, position);
    return offset;
}

CScriptLexer::CScriptLexer(const CRegistryIndex& index, CCompiledProgram& program, std::vector<uint8_t>& tokens)
    : m_index(index), m_program(program), m_out(tokens) {}

CScriptLexer::CharClass CScriptLexer::ClassAt(uint32_t offset) const {
    if (offset >= m_length) return kEnd;
    unsigned char c = static_cast<unsigned char>(m_text[offset]);
    if (c == 0) return kEnd;
    if (c == 9 || c == 32 || c == 0xA0) return kBlank;
    if (c < 32) return m_controlEndsText ? kEnd : kLineEnd;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80) return kLetter;
    if (c >= '0' && c <= '9') return kDigit;
    return kPunct;
}

void CScriptLexer::Fail(int32_t code, uint32_t offset) {
    m_program.currentModule = static_cast<int32_t>(m_module);
    m_program.cursorOffset = offset;
    m_program.ThrowScriptError(code, static_cast<uint32_t>(CIError::kNoDetail));
}

size_t CScriptLexer::EmitSimple(uint16_t code, uint32_t offset) {
    m_lastCode = code;
    return m_out.Emit(code, 0, true, Position(offset));
}

uint32_t CScriptLexer::ReadRun(uint32_t offset, CharClass cls) const {
    uint32_t end = offset;
    while (end - offset < kMaxWord) {
        CharClass c = ClassAt(end);
        if (c == cls || (cls == kLetter && c == kDigit)) {
            ++end;
        } else {
            break;
        }
    }
    return end;
}

uint32_t CScriptLexer::SkipSpace(uint32_t offset) const {
    for (;;) {
        CharClass c = ClassAt(offset);
        if (c == kBlank || c == kLineEnd) {
            ++offset;
        } else if (c == kPunct && m_text[offset] == '/' && ClassAt(offset + 1) == kPunct && m_text[offset + 1] == '/') {
            while (ClassAt(offset) != kEnd && ClassAt(offset) != kLineEnd) ++offset;
        } else if (c == kPunct && m_text[offset] == '/' && ClassAt(offset + 1) == kPunct && m_text[offset + 1] == '*') {
            uint32_t p = offset + 2;
            while (ClassAt(p) != kEnd && !(m_text[p] == '*' && ClassAt(p + 1) != kEnd && m_text[p + 1] == '/')) ++p;
            if (ClassAt(p) == kEnd) return offset;  // unterminated: the token pass reports it
            offset = p + 2;
        } else {
            return offset;
        }
    }
}

uint32_t CScriptLexer::SkipBlockComment(uint32_t start) {
    uint32_t p = start + 2;
    for (;;) {
        if (ClassAt(p) == kEnd) Fail(16, start);
        if (m_text[p] == '*' && ClassAt(p + 1) != kEnd && m_text[p + 1] == '/') return p + 2;
        ++p;
    }
}

uint32_t CScriptLexer::InternName(uint32_t start, uint32_t end) {
    std::string word(m_text + start, end - start);
    std::string key = UpperCase(word);
    auto it = m_nameRefs.find(key);
    if (it != m_nameRefs.end()) return it->second;
    int32_t ref = m_program.names->Intern(word.c_str());
    if (ref < 0) Fail(15, start);
    m_nameRefs.emplace(std::move(key), static_cast<uint32_t>(ref));
    return static_cast<uint32_t>(ref);
}

uint32_t CScriptLexer::FindGlobalCode(const std::string& word) {
    std::string key = UpperCase(word);
    auto it = m_globalCodes.find(key);
    if (it != m_globalCodes.end()) return it->second;
    const CMemberRecord* record = m_index.FindGlobalMember(word.c_str());
    uint32_t code = record ? record->globalCode : 0;
    m_globalCodes.emplace(std::move(key), code);
    return code;
}

void CScriptLexer::LexModule(uint32_t number) {
    const CScriptModule& module = m_program.modules[number];
    m_module = number;
    m_text = module.text ? module.text : "";
    m_length = module.text ? module.length : 0;
    m_controlEndsText = (module.flags & kModuleControlEndsText) != 0;
    m_program.currentModule = static_cast<int32_t>(number);
    m_lastCode = 0;
    // Position words address 24 bits of a module's text: a longer module is
    // refused at its first byte they cannot address, not reported at wrong lines.
    if (m_length > kMaxModuleLength) Fail(15, kMaxModuleLength);
    const bool wrap = (module.flags & kModuleWrap) != 0;

    if (wrap) {
        size_t at = m_out.Emit(kOpModuleStart, 4, true, Position(0));
        WriteU32(m_out.At(at) + kFieldValue, module.word);
        EmitSimple(kOpSemicolon, 0);
    }
    uint32_t offset = 0;
    for (;;) {
        while (ClassAt(offset) == kBlank || ClassAt(offset) == kLineEnd) ++offset;
        m_cursor = offset;
        m_program.cursorOffset = offset;
        switch (ClassAt(offset)) {
        case kEnd:
            if (wrap) {
                EmitSimple(kOpModuleEnd, offset);
                EmitSimple(kOpSemicolon, offset);
            }
            m_out.Emit(kTokModuleBoundary, 0, false, 0);
            return;
        case kDigit:
            LexNumber(offset);
            break;
        case kLetter:
            LexWord(offset);
            break;
        default:
            if (m_text[offset] == '"' || m_text[offset] == '\'') {
                LexString(offset);
            } else {
                LexPunctuation(offset);
            }
            break;
        }
        offset = m_cursor;
    }
}

void CScriptLexer::LexNumber(uint32_t start) {
    auto at = [this](uint32_t i) -> char { return ClassAt(i) == kEnd ? '\0' : m_text[i]; };
    char prefix = at(start + 1);
    if (at(start) == '0' && (prefix == 'b' || prefix == 'B' || prefix == 'x' || prefix == 'X')) {
        // Digits accumulate in 32 bits; a step whose result is smaller than
        // the value before it ends the number, and that digit starts the next token.
        const uint32_t base = (prefix == 'b' || prefix == 'B') ? 2 : 16;
        uint32_t value = 0;
        uint32_t p = start + 2;
        while (p - start < kMaxWord) {
            int d = HexDigit(at(p));
            if (d < 0 || static_cast<uint32_t>(d) >= base) break;
            uint32_t next = value * base + static_cast<uint32_t>(d);
            if (next < value) break;
            value = next;
            ++p;
        }
        m_lastCode = kOpIntHex;
        size_t off = m_out.Emit(kOpIntHex, 4, true, Position(start));
        WriteU32(m_out.At(off) + kFieldValue, value);
        m_cursor = p;
        return;
    }

    // digits [. digits] [(E|e|D|d) [+|-] digits]; an exponent letter without
    // digits after it is not part of the number.
    uint32_t p = start;
    bool fraction = false;
    bool exponent = false;
    while (IsDigitChar(at(p)) && p - start < kMaxWord) ++p;
    if (at(p) == '.' && p - start < kMaxWord) {
        fraction = true;
        ++p;
        while (IsDigitChar(at(p)) && p - start < kMaxWord) ++p;
    }
    char e = at(p);
    if ((e == 'e' || e == 'E' || e == 'd' || e == 'D') && p - start < kMaxWord) {
        uint32_t q = p + 1;
        if (at(q) == '+' || at(q) == '-') ++q;
        if (IsDigitChar(at(q))) {
            exponent = true;
            p = q;
            while (IsDigitChar(at(p)) && p - start < kMaxWord) ++p;
        }
    }
    std::string literal(m_text + start, p - start);
    for (char& c : literal)
        if (c == 'd' || c == 'D') c = 'e';
    double value = 0.0;
    auto result = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double, or so small that it rounds to 0.
        size_t ePos = literal.find_first_of("eE");
        bool tiny = ePos != std::string::npos && literal.find('-', ePos) != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    m_cursor = p;
    if (!fraction && !exponent && value >= kSmallestInteger && value <= kLargestInteger && value == std::floor(value)) {
        m_lastCode = kOpInt;
        size_t off = m_out.Emit(kOpInt, 4, true, Position(start));
        WriteU32(m_out.At(off) + kFieldValue, static_cast<uint32_t>(static_cast<int32_t>(value)));
    } else {
        m_lastCode = kOpDouble;
        size_t off = m_out.Emit(kOpDouble, 8, true, Position(start));
        WriteF64(m_out.At(off) + kFieldValue, value);
    }
}

void CScriptLexer::EmitName(uint32_t start, uint32_t end) {
    uint32_t next = SkipSpace(end);
    uint16_t code = kOpName;
    if (ClassAt(next) == kPunct && m_text[next] == '[') code = kOpIndexName;
    if (ClassAt(next) == kPunct && m_text[next] == '(') code = kOpCallName;
    uint32_t ref = InternName(start, end);
    m_lastCode = code;
    size_t off = m_out.Emit(code, 12, true, Position(start));
    WriteU32(m_out.At(off) + kFieldNameRef, ref);
}

void CScriptLexer::EmitMemberAccess(uint32_t nameStart, uint32_t nameEnd) {
    uint32_t next = SkipSpace(nameEnd);
    uint16_t code = kOpMember;
    if (ClassAt(next) == kPunct && m_text[next] == '[') code = kOpMemberIndex;
    if (ClassAt(next) == kPunct && m_text[next] == '(') code = kOpMemberCall;
    uint32_t ref = InternName(nameStart, nameEnd);
    m_lastCode = code;
    size_t off = m_out.Emit(code, 12, true, Position(nameStart));
    WriteU32(m_out.At(off) + kFieldNameRef, ref);
}

void CScriptLexer::LexWord(uint32_t start) {
    uint32_t end = ReadRun(start, kLetter);
    m_cursor = end;
    std::string word(m_text + start, end - start);
    const CMemberRecord* keyword = m_index.FindKeyword(word.c_str());
    if (keyword) {
        uint16_t code = keyword->memberId;
        switch (code) {
        case kOpFor:
        case kOpWhile:
        case kOpSwitch:
            m_lastCode = code;
            m_out.Emit(code, 8, true, Position(start));
            return;
        case kOpIf:
        case kOpElse:
        case kOpCase:
        case kOpDefault:
            m_lastCode = code;
            m_out.Emit(code, 4, true, Position(start));
            return;
        case kOpFunction: {
            uint32_t nameStart = SkipSpace(end);
            if (ClassAt(nameStart) != kLetter) Fail(40, nameStart);
            uint32_t nameEnd = ReadRun(nameStart, kLetter);
            std::string name(m_text + nameStart, nameEnd - nameStart);
            if (m_index.FindKeyword(name.c_str())) Fail(40, nameStart);
            uint32_t ref = InternName(nameStart, nameEnd);
            m_lastCode = code;
            size_t off = m_out.Emit(kOpFunction, 16, true, Position(start));
            WriteU32(m_out.At(off) + kFieldFunctionModuleWord, m_program.modules[m_module].word);
            WriteU32(m_out.At(off) + kFieldFunctionNameRef, ref);
            m_cursor = nameEnd;
            return;
        }
        default:
            EmitSimple(code, start);  // other keywords, TRUE/FALSE/ON/OFF, class names
            return;
        }
    }
    uint32_t globalCode = FindGlobalCode(word);
    if (globalCode != 0) {
        // A member reachable without an object: its class (or the current
        // window) followed by the member access.
        EmitSimple(static_cast<uint16_t>(globalCode), start);
        EmitMemberAccess(start, end);
        return;
    }
    EmitName(start, end);
}

void CScriptLexer::LexString(uint32_t start) {
    const char quote = m_text[start];
    uint32_t p = start + 1;
    uint32_t textEnd;
    for (;;) {
        CharClass c = ClassAt(p);
        if (c == kEnd || c == kLineEnd) {  // no closing quote: the text ends here
            textEnd = p;
            break;
        }
        if (m_text[p] == quote) {
            textEnd = p;
            ++p;
            break;
        }
        ++p;
    }
    m_cursor = p;
    uint32_t length = textEnd - (start + 1);
    m_lastCode = kOpString;
    if (length <= static_cast<uint32_t>(kMaxInlineText)) {
        size_t body = (length + 1 + 3) & ~static_cast<size_t>(3);
        size_t off = m_out.Emit(kOpString, body, true, Position(start));
        std::memcpy(m_out.At(off) + kFieldText, m_text + start + 1, length);
    } else {
        // Too long for one instruction: the text goes to the program's pool.
        uint32_t index = static_cast<uint32_t>(m_program.longTexts.size());
        m_program.longTexts.emplace_back(m_text + start + 1, length);
        size_t off = m_out.Emit(kOpString, 4, true, Position(start));
        m_out.At(off)[3] |= kInstrPooledText;
        WriteU32(m_out.At(off) + kFieldValue, index);
    }
}

void CScriptLexer::LexMemberAfterDot(uint32_t dotOffset) {
    uint32_t nameStart = SkipSpace(dotOffset + 1);
    if (ClassAt(nameStart) != kLetter) Fail(16, dotOffset);
    if (m_lastCode == kOpString) EmitSimple(kOpDot, dotOffset);
    uint32_t nameEnd = ReadRun(nameStart, kLetter);
    EmitMemberAccess(nameStart, nameEnd);
    m_cursor = nameEnd;
}

void CScriptLexer::LexPunctuation(uint32_t start) {
    uint32_t runEnd = ReadRun(start, kPunct);
    uint32_t runLength = runEnd - start;
    const CMemberRecord* token = nullptr;
    uint32_t length = runLength < 3 ? runLength : 3;  // the longest token has 3 characters
    for (; length > 0; --length) {
        std::string prefix(m_text + start, length);
        token = m_index.FindKeyword(prefix.c_str());
        if (token) break;
    }
    if (!token) Fail(16, start);
    m_cursor = start + length;
    uint16_t code = token->memberId;
    switch (code) {
    case kOpLineComment: {
        uint32_t p = m_cursor;
        while (ClassAt(p) != kEnd && ClassAt(p) != kLineEnd) ++p;
        m_cursor = p;
        return;
    }
    case kOpBlockCommentOpen:
        m_cursor = SkipBlockComment(start);
        return;
    case kOpBlockCommentClose:
        Fail(16, start);
    case kOpDot:
        LexMemberAfterDot(start);
        return;
    case kOpOpenBrace:
    case kOpCloseBrace:
        m_lastCode = code;
        m_out.Emit(code, 8, true, Position(start));
        return;
    default:
        EmitSimple(code, start);
        return;
    }
}
