#include "runtime/compiler/code_listing.h"

#include <cstdio>
#include <map>

#include "runtime/classes/class_registry.h"

namespace {

const char* TokenText(uint16_t code) {
    for (const CMemberRecord* r = GetKeywordTable(); r->name; ++r)
        if (r->memberId == code) return r->name;
    return nullptr;
}

bool HasJump(uint16_t code) {
    switch (code) {
    case kOpFor:
    case kOpWhile:
    case kOpSwitch:
    case kOpFunction:
    case kOpIf:
    case kOpElse:
    case kOpCase:
    case kOpDefault:
    case kOpOpenBrace:
    case kOpCloseBrace:
        return true;
    default:
        return false;
    }
}

bool HasBlock(uint16_t code) {
    return code == kOpFor || code == kOpWhile || code == kOpSwitch || code == kOpFunction || code == kOpOpenBrace ||
           code == kOpCloseBrace;
}

}  // namespace

std::string ListCode(const CCompiledProgram& program) {
    std::string out;
    if (program.code.empty()) return out;
    const uint8_t* base = program.code.data();
    const uint8_t* end = base + program.code.size();

    std::map<uint32_t, int> indexOf;
    int count = 0;
    for (const uint8_t* p = base; p < end && InstrLength(p) >= kInstrHeaderSize; p = NextInstr(p))
        indexOf[static_cast<uint32_t>(p - base)] = count++;

    char buf[64];
    for (const uint8_t* p = base; p < end && InstrLength(p) >= kInstrHeaderSize; p = NextInstr(p)) {
        if (!out.empty()) out += ' ';
        const uint16_t code = InstrCode(p);
        const char* name = nullptr;
        switch (code) {
        case kOpEnd:
            out += "<0>";
            continue;
        case kOpCallName:
        case kOpName:
        case kOpIndexName:
            name = program.GetName(ReadU32(p + kFieldNameRef));
            out += name ? name : "?";
            if (code == kOpCallName) out += '(';
            if (code == kOpIndexName) out += '[';
            continue;
        case kOpMemberCall:
        case kOpMember:
        case kOpMemberIndex:
            name = program.GetName(ReadU32(p + kFieldNameRef));
            out += '.';
            out += name ? name : "?";
            if (code == kOpMemberCall) out += '(';
            if (code == kOpMemberIndex) out += '[';
            continue;
        case kOpInt:
        case kOpIntHex:
        case kOpInt2:
            std::snprintf(buf, sizeof buf, "%s%d", code == kOpIntHex ? "#" : "", ReadI32(p + kFieldValue));
            out += buf;
            continue;
        case kOpDouble:
            std::snprintf(buf, sizeof buf, "~%g", ReadF64(p + kFieldValue));
            out += buf;
            continue;
        case kOpString:
            if (InstrFlags(p) & kInstrPooledText) out += '&';
            out += '"';
            out += program.StringConstantText(p);
            out += '"';
            continue;
        case kOpOmitted:
            out += "<omit>";
            continue;
        case kOpModuleStart:
            std::snprintf(buf, sizeof buf, "<start:%u>", ReadU32(p + kFieldValue));
            out += buf;
            continue;
        case kOpModuleEnd:
            out += "<end>";
            continue;
        default:
            break;
        }
        name = IsClassCode(code) ? GetScriptClassName(code) : TokenText(code);
        if (name) {
            out += name;
        } else {
            std::snprintf(buf, sizeof buf, "<op%u>", code);
            out += buf;
        }
        if (HasJump(code)) {
            uint32_t target = ReadU32(p + kFieldJump);
            auto it = indexOf.find(target);
            if (target == 0) {
                out += "->$";
            } else if (it != indexOf.end()) {
                std::snprintf(buf, sizeof buf, "->%d", it->second);
                out += buf;
            } else {
                out += "->?";
            }
        }
        if (HasBlock(code)) {
            std::snprintf(buf, sizeof buf, "#%u", ReadU32(p + kFieldBlockIndex));
            out += buf;
        }
    }
    return out;
}
