// Script compiler over arbitrary text: it compiles or reports a compile error,
// and whatever it compiles is well-formed code. The first byte picks the
// module flags; zero bytes split the rest into up to four modules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/script_modules.h"
#include "runtime/compiler/code_format.h"
#include "runtime/compiler/code_listing.h"
#include "runtime/compiler/script_compiler.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsBoundary(const std::vector<bool>& starts, uint32_t offset) { return offset < starts.size() && starts[offset]; }

// Every instruction is walkable, every jump and block lands on an instruction.
void CheckProgram(CCompiledProgram& program) {
    const std::vector<uint8_t>& code = program.code;
    Check(code.size() >= 4);
    std::vector<bool> starts(code.size(), false);
    size_t offset = 0;
    for (;;) {
        Check(offset + 4 <= code.size());
        const uint8_t* p = code.data() + offset;
        uint8_t length = InstrLength(p);
        Check(length >= 4 && length % 4 == 0 && length <= kInstrMaxLength);
        Check(offset + length <= code.size());
        starts[offset] = true;
        if (InstrCode(p) == kOpEnd) {
            Check(offset + length == code.size());
            break;
        }
        offset += length;
    }
    for (size_t at = 0; at < code.size(); at += InstrLength(code.data() + at)) {
        const uint8_t* p = code.data() + at;
        uint16_t op = InstrCode(p);
        switch (op) {
        case kOpFor:
        case kOpWhile:
        case kOpSwitch:
        case kOpFunction:
        case kOpOpenBrace:
        case kOpCloseBrace:
            Check(ReadU32(p + kFieldBlockIndex) < program.blocks.size());
            // fall through
        case kOpIf:
        case kOpElse:
        case kOpCase: {
            uint32_t jump = ReadU32(p + kFieldJump);
            Check(jump == 0 || IsBoundary(starts, jump));
            break;
        }
        case kOpString:
            program.StringConstantText(p);
            break;
        default:
            break;
        }
        // Every instruction can be an error position.
        program.phase = kPhaseRunning;
        program.walkAt = p;
        CScriptPosition pos = program.FindErrorPosition(18);
        Check(pos.line >= 0 && pos.column >= 0);
    }
    for (size_t index = 0; index < program.blocks.size(); ++index) {
        const CBlockRecord& b = program.blocks[index];
        Check(IsBoundary(starts, b.start) && InstrCode(code.data() + b.start) == kOpOpenBrace);
        Check(IsBoundary(starts, b.end) && InstrCode(code.data() + b.end) == kOpCloseBrace);
        Check(ReadU32(code.data() + b.start + kFieldBlockIndex) == index);
        Check(ReadU32(code.data() + b.end + kFieldBlockIndex) == index);
        Check(b.start < b.end);
        if (b.kind == kBlockFor || b.kind == kBlockWhile) Check(b.condition == 0 || IsBoundary(starts, b.condition));
        if (b.kind == kBlockFor || b.kind == kBlockSwitch || b.kind == kBlockFunction)
            Check(b.step == 0 || IsBoundary(starts, b.step));
        if (b.kind == kBlockFunction) Check(program.GetName(b.condition) != nullptr);
    }
    ListCode(program);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterScriptModules();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScriptCompiler* compiler = new CScriptCompiler();  // class indexes built once
    if (size == 0) return 0;
    const uint32_t flags = kModuleOwnsText | (data[0] & (kModuleControlEndsText | kModuleWrap));
    const char* text = reinterpret_cast<const char*>(data + 1);
    size_t left = size - 1;
    for (int module = 0; module < 4; ++module) {
        const void* zero = std::memchr(text, 0, left);
        size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : left;
        compiler->AddSourceText(module == 0 ? "first" : "next", text, static_cast<uint32_t>(length), flags,
                                static_cast<uint32_t>(module));
        if (!zero) break;
        text += length + 1;
        left -= length + 1;
    }
    if (compiler->Compile()) {
        CheckProgram(compiler->Program());
    } else {
        const CIError* error = compiler->GetLastError();
        Check(error != nullptr);
        Check(error->code != 0 && error->code != 44);  // 44 would be an unexpected exception
        Check(error->line >= 0 && error->column >= 0);
        Check(error->module == "first" || error->module == "next");
    }
    compiler->TakeProgram();
    return 0;
}
