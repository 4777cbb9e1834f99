// Object creation ("New") by class id or by a script function, and
// destruction ("Delete") with the cascade over dependent objects.
#include "runtime/interp/interpretor.h"

#include <deque>

namespace {
bool StillHeld(const CValue& value) {
    return value.GetTag() == CValue::kObject && value.GetObject() != nullptr;
}
}  // namespace

CIBaseClassImpl* CInterpretor::CreateObject(uint32_t classId) {
    if (!IsClassCode(classId))
        RaiseError(16);
    if (IsGlobalClass(static_cast<int>(classId)))
        RaiseError(65);
    const CClassBinding* binding = GetClassBinding(static_cast<int>(classId));
    if (binding == nullptr)
        RaiseError(38);  // a class this runtime does not build: nothing was made
    CIBaseClassImpl* object = binding->factory(this);
    if (object == nullptr)
        return nullptr;
    try {
        object->ConstructFromArgs();
    } catch (const CIError& error) {
        // A constructor's error goes to the script's error handler like a
        // member's; when the handler takes it, New gives 0.
        object->Destroy(0);
        if (!HandleHandlerError(error))
            throw;
        return nullptr;
    } catch (...) {
        object->Destroy(0);
        throw;
    }
    if (!object->m_alive) {
        DeleteObject(object);
        return nullptr;
    }
    return object;
}

void CInterpretor::NewObject() {
    StepInstr();  // "New"
    if (Code() == kOpCallName) {
        // New F(args): F runs as the constructor of a fresh script object.
        CVariable* variable = CIBaseObjectVar::FindVariable(ReadU32(m_pc + kFieldNameRef));
        if (variable == nullptr || variable->value.GetTag() != CValue::kFunction)
            RaiseError(42);
        const CFunctionRecord* function = variable->value.FunctionOf();
        auto* object = new CIBaseObjectVar(this, GetClassRecord(kScriptObjectClassId), kScriptObjectClassId, true);
        object->AssignInstanceNumber();
        CValue hold(object);
        LocalScope local(this);
        CallScriptFunction(local.Get(), object, function);
        if (!StillHeld(hold) || !object->m_alive)
            RaiseError(38);
        Result()->Assign(hold);
        ++m_createdObjects;
        return;
    }
    const uint32_t classId = Code();
    if (!IsClassCode(classId))
        RaiseError(16);
    StepInstr();
    EvalArgumentsIntoFrame();
    if (classId == kClassString) {
        // New String(...) gives the text, not an object.
        CIBaseClassImpl* object = CreateObject(classId);
        if (object == nullptr) {
            Result()->SetInt(0);
            return;
        }
        CITextSubject* text = dynamic_cast<CITextSubject*>(object);
        Result()->SetString(text != nullptr ? text->GetTextValue() : "", 0);
        object->Destroy(0);
        return;
    }
    CIBaseClassImpl* object = CreateObject(classId);
    if (object == nullptr) {
        Result()->SetInt(0);
        return;
    }
    Result()->SetObject(object, 1);
    ++m_createdObjects;
}

void CInterpretor::MarkDependents(CIBaseClassImpl* object, std::deque<CValue>& marked) {
    const CClassInfo* info = GetScriptClassInfo(static_cast<int>(object->m_classId));
    if (info == nullptr || info->dependents == nullptr)
        return;
    for (const uint16_t* dependent = info->dependents; *dependent != 0; ++dependent) {
        for (uint32_t position = GetFirstInstance(*dependent); position != 0;) {
            CIBaseClassImpl* candidate = NextInstance(*dependent, position);
            if (candidate == nullptr || candidate == object)
                continue;
            bool already = false;
            for (const CValue& m : marked)
                already = already || (StillHeld(m) && m.GetObject() == candidate);
            if (already || !candidate->OnObjectDeleted(object))
                continue;
            marked.emplace_back(candidate);
            MarkDependents(candidate, marked);
        }
    }
}

void CInterpretor::DeleteObject(CIBaseClassImpl* object) {
    if (m_releaseAll || object == nullptr || object == this)
        return;
    if (IsActiveScope(object))
        RaiseError(18);  // the object of a running call: its variables are in use
    if (object->IsReferenced()) {
        // Held by counted values while the cascade runs, so that an object
        // destroyed by another's Destroy is noticed and never destroyed twice.
        std::deque<CValue> marked;
        marked.emplace_back(object);
        MarkDependents(object, marked);
        OnObjectDeleted(object);
        for (std::size_t i = 1; i < marked.size(); ++i) {
            if (!StillHeld(marked[i]))
                continue;
            CIBaseClassImpl* dependent = marked[i].GetObject();
            marked[i].Clear();
            dependent->Destroy(0);
        }
        if (!StillHeld(marked[0]))
            return;
        marked[0].Clear();
    }
    object->Destroy(0);
}

bool CInterpretor::IsActiveScope(const CIBaseClassImpl* object) const {
    return object == m_scope || object == m_thisObject || (object != nullptr && object->m_activeCalls > 0);
}
