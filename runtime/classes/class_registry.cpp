// The class registry: the keyword and operator table (entry 0) and the 73
// class tables, which the modules register at start.
#include "runtime/classes/class_registry.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Keywords, the constants TRUE/FALSE/ON/OFF, punctuation and operators; each
// token id is the operation code it compiles to. ":" stands twice.
const CMemberRecord kKeywordTable[] = {
    {81, 0, "Var", 0, 0},
    {82, 0, "New", 0, 0},
    {83, 0, "For", 0, 0},
    {84, 0, "Return", 0, 0},
    {85, 0, "Break", 0, 0},
    {86, 0, "Continue", 0, 0},
    {87, 0, "Delete", 0, 0},
    {88, 0, "Function", 0, 0},
    {89, 0, "This", 0, 0},
    {90, 0, "If", 0, 0},
    {91, 0, "Else", 0, 0},
    {92, 0, "While", 0, 0},
    {93, 0, "in", 0, 0},
    {94, 0, "CurWindow", 0, 0},
    {95, 0, "Switch", 0, 0},
    {96, 0, "Case", 0, 0},
    {97, 0, "Default", 0, 0},
    {106, 0, "TRUE", 0, 0},
    {107, 0, "FALSE", 0, 0},
    {108, 0, "ON", 0, 0},
    {109, 0, "OFF", 0, 0},
    {111, 0, "(", 0, 0},
    {112, 0, ")", 0, 0},
    {113, 0, ",", 0, 0},
    {114, 0, "{", 0, 0},
    {115, 0, "}", 0, 0},
    {116, 0, ";", 0, 0},
    {119, 0, "?", 0, 0},
    {120, 0, "=", 0, 0},
    {121, 0, "&&", 0, 0},
    {122, 0, "||", 0, 0},
    {123, 0, "+=", 0, 0},
    {124, 0, "-=", 0, 0},
    {125, 0, "*=", 0, 0},
    {126, 0, "/=", 0, 0},
    {127, 0, "&=", 0, 0},
    {128, 0, "|=", 0, 0},
    {129, 0, "^=", 0, 0},
    {130, 0, "%=", 0, 0},
    {131, 0, "<<=", 0, 0},
    {132, 0, ">>=", 0, 0},
    {133, 0, ">=", 0, 0},
    {134, 0, "<=", 0, 0},
    {135, 0, "==", 0, 0},
    {136, 0, "<", 0, 0},
    {137, 0, ">", 0, 0},
    {138, 0, "!=", 0, 0},
    {139, 0, "!", 0, 0},
    {140, 0, "~", 0, 0},
    {141, 0, "++", 0, 0},
    {142, 0, "--", 0, 0},
    {143, 0, "+", 0, 0},
    {144, 0, "-", 0, 0},
    {145, 0, "/", 0, 0},
    {146, 0, "*", 0, 0},
    {147, 0, "&", 0, 0},
    {148, 0, "|", 0, 0},
    {149, 0, "^", 0, 0},
    {150, 0, "%", 0, 0},
    {151, 0, "<<", 0, 0},
    {152, 0, ">>", 0, 0},
    {164, 0, ".", 0, 0},
    {166, 0, ":", 0, 0},
    {166, 0, ":", 0, 0},
    {167, 0, "[", 0, 0},
    {168, 0, "]", 0, 0},
    {169, 0, "//", 0, 0},
    {170, 0, "/*", 0, 0},
    {171, 0, "*/", 0, 0},
    {0, 0, nullptr, 0, 0},
};

// Indexed by class id; slot 0 is unused. Filled by the modules' registration
// functions at start, before anything compiles.
const CClassInfo* g_classes[kRegistryEntryCount] = {};

// Entry 0, the 73 class tables and the closing null pointer.
const CMemberRecord* g_entries[kRegistryEntryCount + 1] = {kKeywordTable};

}  // namespace

void RegisterScriptClassInfo(const CClassInfo& info) {
    if (info.classId < kFirstClassId || info.classId > kLastClassId) {
        std::fprintf(stderr, "class registry: class id %u is out of range\n", info.classId);
        std::abort();
    }
    g_classes[info.classId] = &info;
    g_entries[info.classId] = info.members;
}

const CMemberRecord* const* GetClassRegistry() {
    // Compiling against a registry with holes would mis-number every class
    // after the hole: a start-up that forgot a module stops here at once.
    static const bool complete = [] {
        for (int k = kFirstClassId; k <= kLastClassId; ++k) {
            if (g_classes[k] == nullptr) {
                std::fprintf(stderr, "class registry: class %d was not registered\n", k);
                std::abort();
            }
        }
        return true;
    }();
    (void)complete;
    return g_entries;
}

const CMemberRecord* GetKeywordTable() {
    return kKeywordTable;
}

const CClassInfo* GetScriptClassInfo(int classId) {
    if (classId < kFirstClassId || classId > kLastClassId)
        return nullptr;
    return g_classes[classId];
}

const char* GetScriptClassName(int classId) {
    const CClassInfo* info = GetScriptClassInfo(classId);
    return info != nullptr ? info->members[0].name : nullptr;
}

bool IsGlobalClass(int classId) {
    const CClassInfo* info = GetScriptClassInfo(classId);
    return info != nullptr && info->isGlobal;
}

const CConstantValue* FindClassConstant(int classId, uint32_t memberId) {
    const CClassInfo* info = GetScriptClassInfo(classId);
    if (info == nullptr || memberId == 0)
        return nullptr;
    // The value tables are short and sorted by member id.
    for (const CConstantValue* c = info->constants; c->memberId != 0; ++c) {
        if (c->memberId == memberId)
            return c;
        if (c->memberId > memberId)
            break;
    }
    return nullptr;
}
