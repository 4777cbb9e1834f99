// Member access on native script objects: the inline cache of member-access
// instructions, argument lists evaluated into call frames, the native handler
// convention's argument readers, and class constants.
#include "runtime/interp/interpretor.h"

#include "runtime/base/number_text.h"
#include "runtime/compiler/symbol_table.h"

// The member id of the member-access instruction at the code pointer for the
// class of the record. The instruction remembers the last class it resolved
// for, so that the name is looked up again only when the class changes.
uint32_t CInterpretor::ResolveMember(CClassRecord* record) {
    const uint32_t cachedId = ReadU32(m_pc + kFieldCacheMember);
    const uint32_t cachedClass = ReadU32(m_pc + kFieldCacheClass);
    if (cachedId != 0 && cachedClass == record->classId)
        return cachedId;
    const CMemberRecord* member =
        record->index != nullptr ? record->index->Find(NameOf(ReadU32(m_pc + kFieldNameRef))) : nullptr;
    if (member == nullptr)
        RaiseError(11);
    uint8_t* writable = m_program.code.data() + (m_pc - CodeBase());
    WriteU32(writable + kFieldCacheMember, member->memberId);
    WriteU32(writable + kFieldCacheClass, record->classId);
    return member->memberId;
}

// FindMemberAt when the instruction's cache entry is for another
// instruction, object or table state: the member by name, remembered.
CVariable* CInterpretor::FindMemberUncached(CIBaseObjectVar* object, const uint8_t* instr) {
    CVariable* variable = object->FindVariable(ReadU32(instr + kFieldNameRef));
    if (variable != nullptr) {
        CNameCacheEntry& entry = CacheEntry(instr);
        entry.instr = instr;
        entry.object = object;
        entry.stamp = object->m_stamp;
        entry.variable = variable;
    }
    return variable;
}

void CInterpretor::SetArgCount(int32_t count) {
    m_argCounts[m_callDepth] = count;
    const int32_t extent = m_callDepth * kFrameSize + count;
    if (extent > m_argHighWater)
        m_argHighWater = extent;
}

// The argument list at the code pointer into the frame of the current depth;
// calls inside the arguments use the frames above it.
void CInterpretor::EvalArgumentsIntoFrame() {
    if (Code() == kOpCloseParen) {
        StepInstr();
        SetArgCount(0);
        return;
    }
    CValue* cells = &m_argCells[m_callDepth * kFrameSize];
    int32_t count = 0;
    {
        CallDepthGuard deeper(this);
        for (;;) {
            // A lone integer constant goes straight into its cell.
            const uint16_t code = Code();
            const uint16_t after = InstrCode(NextInstr(m_pc));
            int32_t integer;
            if (IsIntConstant(code) &&
                (after == kOpComma || after == kOpCloseParen)) {
                if (count < kFrameSize)
                    cells[count].SetInt(ReadI32(m_pc + kFieldValue));
                StepInstr();
            } else if (TrySimpleInt(&integer)) {
                if (count < kFrameSize)
                    cells[count].SetInt(integer);
            } else {
                CValue* value = EvalExpressionFast();
                if (count < kFrameSize)
                    cells[count].Assign(*value);
            }
            ++count;
            if (Code() != kOpComma)
                break;
            StepInstr();
        }
        StepInstr();  // the closing ")"
    }
    if (count > kMaxArgs)
        RaiseError(13);
    SetArgCount(count);
}

void CInterpretor::CallObjectMember(CIBaseClassImpl* object) {
    CClassRecord* record = object->m_classRecord != nullptr ? object->m_classRecord : GetClassRecord(object->m_classId);
    if (record == nullptr)
        RaiseError(11);
    const uint16_t code = Code();
    const uint32_t memberId = ResolveMember(record);
    StepInstr();
    // Keep the object alive while its arguments are evaluated.
    CValue keep(object);
    const int32_t level = m_evalLevel;
    const int32_t depth = m_callDepth;
    if (code == kOpMemberCall) {
        EvalArgumentsIntoFrame();
    } else {
        SetArgCount(0);
    }
    if (keep.GetTag() != CValue::kObject || keep.GetObject() == nullptr)
        RaiseError(32);  // the object died meanwhile
    Result()->SetInt(0);
    m_currentMemberId = static_cast<uint16_t>(memberId);
    const CClassInfo* info = record->info;
    const uint32_t base = info != nullptr ? info->constantBase : 0;
    const uint32_t classId = record->classId;
    if (code == kOpMemberCall || base == 0 || memberId < base || classId == kClassMath || classId == kClassDisk ||
        classId == kClassEditor) {
        CallMemberGuarded(object, static_cast<int32_t>(memberId));
    } else {
        CallConstant(classId, memberId);
    }
    // A handled error inside the handler leaves the stacks where they were.
    m_evalLevel = level;
    m_callDepth = depth;
    if (code == kOpMemberIndex) {
        // obj.Member[i]: an element of the array the member answers.
        int32_t indices[10];
        int32_t count = EvalIndexList(indices);
        CValue array(this);
        array.Assign(*Result());
        CScriptArray* held = array.GetArray();
        if (held == nullptr)
            RaiseError(44);
        CValue* cell = array.GetArrayItem(indices, count);
        if (cell == nullptr)
            Result()->SetInt(0);
        else
            Result()->Assign(*cell);
    }
    MemberOnCallResult();
}

void CInterpretor::CallConstant(uint32_t classId, uint32_t memberId) {
    const CClassBinding* binding = GetClassBinding(static_cast<int>(classId));
    if (binding != nullptr && binding->constantFunction != nullptr) {
        binding->constantFunction(this);
        return;
    }
    const CConstantValue* constant = FindClassConstant(static_cast<int>(classId), memberId);
    if (constant == nullptr)
        RaiseError(11);
    if (constant->text != nullptr)
        Result()->SetString(constant->text, 1);
    else
        Result()->SetInt(constant->value);
}

void CInterpretor::EvalClassConstant() {
    const uint32_t classId = Code();
    CClassRecord* record = GetClassRecord(classId);
    StepInstr();
    if (Code() != kOpMember)
        RaiseError(16);
    const uint32_t memberId = ResolveMember(record);
    m_currentMemberId = static_cast<uint16_t>(memberId);
    StepInstr();
    // Only constants are reached without an object.
    const uint32_t base = record->info != nullptr ? record->info->constantBase : 0;
    if (base == 0 || memberId <= base)
        RaiseError(11);
    CallConstant(classId, memberId);
}

CFunctionRecord* CInterpretor::ReadAssignedFunction() {
    if (Code() != kOpAssign)
        RaiseError(40);
    StepInstr();
    CValue* value = EvalExpression();
    switch (value->GetTag()) {
    case CValue::kFunction: return value->GetFunction();
    case CValue::kInt:
    case CValue::kDouble:
    case CValue::kText:
        if (value->GetInt() == 0)
            return nullptr;
        RaiseError(40);
    case CValue::kNone:
    case CValue::kMemberRef:
    case CValue::kIndexedNameRef:
    case CValue::kMemberArrayRef:
    case CValue::kArrayCellRef: RaiseError(41);
    default: RaiseError(40);
    }
}

// ---- argument readers ----

CValue* CInterpretor::GetArg(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return &m_defaultCell;
    return &m_argCells[m_callDepth * kFrameSize + i];
}

int32_t CInterpretor::IsArgDefault(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return 1;
    return GetArg(i)->IsDefault();
}

int32_t CInterpretor::GetArgInt(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return kArgDefaultInt;
    return GetArg(i)->GetInt();
}

void CInterpretor::GetArgInt2(int32_t i, int32_t* a, int32_t* b) {
    *a = *b = kArgDefaultInt;
    const int32_t count = GetArgCount();
    if (i >= 0 && i < count)
        *a = GetArg(i)->GetInt();
    if (i + 1 >= 0 && i + 1 < count)
        *b = GetArg(i + 1)->GetInt();
}

void CInterpretor::GetArgInt4(int32_t i, int32_t* a, int32_t* b, int32_t* c, int32_t* d) {
    int32_t* out[4] = {a, b, c, d};
    const int32_t count = GetArgCount();
    for (int32_t k = 0; k < 4; ++k) {
        *out[k] = kArgDefaultInt;
        if (i + k >= 0 && i + k < count)
            *out[k] = GetArg(i + k)->GetInt();
    }
}

double CInterpretor::GetArgDouble(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return kArgDefaultDouble;
    return GetArg(i)->GetDouble();
}

float CInterpretor::GetArgFloat(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return kArgDefaultFloat;
    return GetArg(i)->GetFloat();
}

const char* CInterpretor::GetArgString(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        return CValue::kOmittedText;
    CValue* cell = GetArg(i);
    const int32_t slot = m_callDepth * kFrameSize + i;
    // Numbers are written into a buffer of the cell rather than a statement
    // string, so the text survives the statement strings being freed while
    // the handler runs (a Wait, an event handler).
    switch (cell->GetTag()) {
    case CValue::kInt:
        tw::FormatInt(m_argText[slot], sizeof m_argText[slot], cell->GetInt());
        return m_argText[slot];
    case CValue::kDouble:
        tw::FormatDouble(m_argText[slot], sizeof m_argText[slot], cell->GetDouble());
        return m_argText[slot];
    default:
        return cell->GetString();
    }
}

CIBaseClassImpl* CInterpretor::GetArgObject(int32_t i) {
    if (i < 0 || i >= GetArgCount())
        RaiseError(19);
    return GetArg(i)->GetObject();
}

CIBaseClassImpl* CInterpretor::GetArgObjectOfClass(int32_t i, uint32_t classId) {
    if (i < 0 || i >= GetArgCount())
        RaiseError(47);
    CValue* cell = GetArg(i);
    if (!cell->IsObjectOfClass(classId))
        RaiseError(47);
    return cell->GetObject();
}
