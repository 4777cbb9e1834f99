#include "runtime/compiler/code_format.h"

#include "runtime/base/ci_error.h"
#include "runtime/base/name_table.h"

namespace {

// Instructions after which the code holds an argument list closed by ")".
bool OpensArgumentList(const uint8_t* p, uint16_t previousCode) {
    uint16_t code = InstrCode(p);
    if (code == kOpOpenParen || code == kOpCallName || code == kOpMemberCall) return true;
    return IsClassCode(code) && previousCode == kOpNew;
}

// A broken length byte must not make a walk spin or run backwards.
bool IsWalkable(const uint8_t* p) { return InstrLength(p) >= kInstrHeaderSize; }

}  // namespace

const uint8_t* SkipToUnmatchedClose(const uint8_t* p) {
    int depth = 0;
    uint16_t previous = 0;
    for (;; p = NextInstr(p)) {
        uint16_t code = InstrCode(p);
        if (code == kOpEnd || code == kOpSemicolon || !IsWalkable(p)) return p;
        if (code == kOpCloseParen) {
            if (depth == 0) return p;
            --depth;
        } else if (OpensArgumentList(p, previous)) {
            ++depth;
        }
        previous = code;
    }
}

const uint8_t* SkipToConditionalColon(const uint8_t* p) {
    int pending = 0;
    for (;; p = NextInstr(p)) {
        uint16_t code = InstrCode(p);
        if (code == kOpEnd || code == kOpSemicolon || !IsWalkable(p)) return p;
        if (code == kOpConditional) {
            ++pending;
        } else if (code == kOpColon) {
            if (pending == 0) return p;
            --pending;
        }
    }
}

CCompiledProgram::CCompiledProgram() = default;
CCompiledProgram::~CCompiledProgram() = default;
CCompiledProgram::CCompiledProgram(CCompiledProgram&&) noexcept = default;
CCompiledProgram& CCompiledProgram::operator=(CCompiledProgram&&) noexcept = default;

const char* CCompiledProgram::GetName(uint32_t ref) const {
    if (!names) return nullptr;
    return names->GetName(static_cast<int32_t>(ref));
}

const char* CCompiledProgram::StringConstantText(const uint8_t* instr) const {
    if (InstrCode(instr) != kOpString) return "";
    if (InstrFlags(instr) & kInstrPooledText) {
        uint32_t index = ReadU32(instr + kFieldValue);
        return index < longTexts.size() ? longTexts[index].c_str() : "";
    }
    return reinterpret_cast<const char*>(instr + kFieldText);
}

void CCompiledProgram::Clear() {
    code.clear();
    blocks.clear();
    names.reset();
    longTexts.clear();
    modules.clear();
    phase = 0;
    currentModule = 0;
    cursorOffset = 0;
    walkBase = nullptr;
    walkAt = nullptr;
}

void TextLineColumn(const char* text, uint32_t length, uint32_t offset, int32_t* line, int32_t* column) {
    *line = 0;
    *column = 0;
    if (!text || offset > length) return;
    int32_t lines = 0;
    uint32_t lineStart = 0;
    for (uint32_t i = 0; i < offset; ++i) {
        char c = text[i];
        if (c == 0) return;  // line 0, column 0
        if (c == '\r' || c == '\n') {
            // CR LF is one line end; any other CR or LF (LF LF included) is one each.
            if (c == '\r' && i + 1 < offset && text[i + 1] == '\n') ++i;
            ++lines;
            lineStart = i + 1;
        }
    }
    *line = lines;
    *column = static_cast<int32_t>(offset - lineStart);
}

CScriptPosition CCompiledProgram::FindErrorPosition(int32_t errorCode) const {
    CScriptPosition pos{nullptr, 0, 0};
    if (errorCode == 0) return pos;
    if (phase == kPhaseReading) return CScriptPosition{nullptr, -1, -1};

    uint32_t module = static_cast<uint32_t>(currentModule);
    uint32_t offset = 0;
    bool found = true;
    if (phase == kPhaseTokens) {
        offset = cursorOffset;
    } else if (phase == kPhaseParse || phase == kPhaseRunning) {
        const uint8_t* p = (phase == kPhaseParse && walkBase) ? walkBase : code.data();
        found = false;
        module = 0;
        if (p && walkAt) {
            for (;; p = NextInstr(p)) {
                if (InstrCode(p) == kOpEnd || !IsWalkable(p) || p > walkAt) break;
                if (InstrHasPosition(p)) {
                    uint32_t word = InstrPosition(p);
                    module = word >> 24;
                    offset = word & 0xFFFFFFu;
                    found = true;
                }
                if (p == walkAt) break;
            }
        }
    }
    if (module < modules.size()) pos.moduleName = modules[module].name.c_str();
    if (!found) return pos;  // module 0, line 0, column 0
    if (module < modules.size()) {
        const CScriptModule& m = modules[module];
        TextLineColumn(m.text, m.length, offset, &pos.line, &pos.column);
    }
    return pos;
}

void CCompiledProgram::ThrowScriptError(int32_t errorCode, uint32_t detail) const {
    CIError error(errorCode, static_cast<int32_t>(detail));
    CScriptPosition pos = FindErrorPosition(errorCode);
    if (pos.moduleName) error.module = pos.moduleName;
    error.line = pos.line;
    error.column = pos.column;
    throw error;
}

void CCompiledProgram::ThrowScriptErrorAt(int32_t errorCode, uint32_t detail, const uint8_t* at) {
    walkAt = at;
    ThrowScriptError(errorCode, detail);
}
