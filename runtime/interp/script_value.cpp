#include "runtime/interp/script_value.h"

#include "runtime/base/ci_error.h"
#include "runtime/interp/interpretor.h"
#include "runtime/base/number_text.h"
#include "runtime/base/os_memory.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/value_numbers.h"

#include <cstdlib>
#include <cstring>
#include <new>

const char* const CValue::kOmittedText = "Default string";

namespace {
const double kOmittedDouble = -9999999999.0;
const float kOmittedFloat = -99999.0f;
const std::size_t kIntTextSize = 32;
const std::size_t kDoubleTextSize = 48;

bool IsPlaceKind(uint32_t tag) { return tag >= CValue::kNone && tag <= CValue::kArrayCellRef; }
}  // namespace

// ---- construction ----

CValue::CValue() { m_payload.reference = 0; }


CValue::CValue(CInterpretor* owner, const CValue* source) : m_owner(owner) {
    m_payload.reference = 0;
    if (source != nullptr)
        Assign(*source);
}

CValue::CValue(CIBaseClassImpl* object) : m_owner(object ? object->m_interpretor : nullptr) {
    m_payload.reference = 0;
    m_tag = kObject;  // a null object stays a null reference
    if (object != nullptr)
        TakeObject(object);
}

CValue::CValue(CInterpretor* owner, const char* text, int32_t borrow) : m_owner(owner) {
    m_payload.reference = 0;
    SetString(text, borrow);
}

CValue::CValue(CInterpretor* owner, int32_t i) : m_owner(owner), m_tag(kInt) {
    m_payload.reference = 0;
    m_payload.i = i;
}

// ---- ownership ----

void CValue::Raise(int32_t code, int32_t detail) const {
    if (m_owner != nullptr)
        m_owner->RaiseError(code, detail);
    throw CIError(code, detail);
}

bool CValue::ReleasingAll() const {
    return m_owner != nullptr && m_owner->m_releaseAll != 0;
}

CScriptArray* CValue::GetArray() const {
    if (m_tag != kArray || m_owner == nullptr)
        return nullptr;
    return m_owner->GetArray(m_payload.handle);
}

void CValue::ReleaseContent() {
    switch (m_tag) {
    case kText:
        if (m_flags & kBorrowed)
            break;
        if (!(m_flags & kGrowable))
            std::free(m_payload.text);
        else if (--Header()->holders == 0)
            std::free(m_payload.text - kGrowableHeader - Header()->front);
        break;
    case kObject:
        if (CIBaseClassImpl* object = m_payload.object) {
            object->RemoveReferrer(this);
            if (!ReleasingAll())
                --object->m_refCount;
        }
        break;
    case kArray:
        if (!ReleasingAll()) {
            CScriptArray* array = GetArray();
            if (array != nullptr && array->m_refCount > 0 && --array->m_refCount == 0)
                array->Free();
        }
        break;
    default:
        break;
    }
}

char* CValue::AllocText(std::size_t bytes) const {
    void* p = std::malloc(bytes);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::malloc(bytes);
    }
    if (p == nullptr)
        Raise(15);
    return static_cast<char*>(p);
}

char* CValue::CopyText(const char* text) const {
    if (text == nullptr)
        return nullptr;
    std::size_t n = std::strlen(text) + 1;
    char* copy = AllocText(n);
    std::memcpy(copy, text, n);
    return copy;
}

char* CValue::NewGrowableText(const char* text, std::size_t length, std::size_t capacity) const {
    char* block = AllocText(kGrowableHeader + capacity);
    char* joined = block + kGrowableHeader;
    GrowableHeader* header = reinterpret_cast<GrowableHeader*>(block);
    header->length = length;
    header->capacity = capacity;
    header->holders = 1;
    header->front = 0;
    if (length)
        std::memcpy(joined, text, length);
    joined[length] = 0;
    return joined;
}

void CValue::TakeGrowableText(char* text) {
    m_tag = kText;
    m_flags = (m_flags & ~kBorrowed) | kGrowable;
    m_payload.reference = 0;
    m_payload.text = text;
}

void CValue::TakeOwnedText(char* text) {
    m_tag = kText;
    m_flags &= ~(kBorrowed | kGrowable);
    m_payload.reference = 0;
    m_payload.text = text;
}

void CValue::TakeObject(CIBaseClassImpl* object) {
    if (m_owner == nullptr)
        m_owner = object->m_interpretor;
    if (!object->AddReferrer(this)) {
        // Unrecorded, the value would dangle once the object dies.
        m_tag = kInt;
        m_payload.reference = 0;
        Raise(15);
    }
    ++object->m_refCount;
    m_tag = kObject;
    m_payload.reference = 0;
    m_payload.object = object;
}

void CValue::SetNullObject() {
    DropContent();
    m_tag = kObject;
}

// ---- assignment and setters ----
// Each builds the new content before dropping the old one: the source may live
// inside the old content (a text, or a cell of the array held here).

void CValue::Assign(CInterpretor* owner, const CValue& source) {
    m_owner = owner;
    Assign(source);
}

void CValue::AssignHeld(const CValue& source) {
    if (&source == this)
        return;
    if (source.m_owner != nullptr)
        m_owner = source.m_owner;
    switch (source.m_tag) {
    case kInt:
    case kDefault:
    case kFunction:
    case kDouble: {
        Payload payload = source.m_payload;
        uint32_t tag = source.m_tag;
        DropContent();
        m_tag = tag;
        m_payload = payload;
        break;
    }
    case kText: {
        // A counted block is shared; any other text is copied into one, so
        // that the copies made of this value share it in turn.
        char* text = source.m_payload.text;
        if (text != nullptr && (source.m_flags & kGrowable)) {
            ++source.Header()->holders;  // before the old content may free anything
        } else if (text != nullptr) {
            const std::size_t length = std::strlen(text);
            text = NewGrowableText(text, length, length + 1);
        }
        DropContent();
        if (text != nullptr)
            TakeGrowableText(text);
        else
            TakeOwnedText(nullptr);
        break;
    }
    case kObject: {
        CIBaseClassImpl* object = source.m_payload.object;
        DropContent();
        if (object == nullptr)
            m_tag = kObject;
        else
            TakeObject(object);
        break;
    }
    case kArray: {
        CScriptArray* array = source.GetArray();
        if (array != nullptr)
            ++array->m_refCount;  // taken before the old content may free anything
        uint32_t handle = source.m_payload.handle;
        DropContent();
        m_tag = kArray;
        m_payload.handle = handle;
        break;
    }
    default:
        Raise(41);
    }
}

void CValue::SetString(const char* text, int32_t borrow) {
    if (borrow && text != nullptr) {
        if (m_tag == kText && m_payload.text == text)
            return;  // already this text; dropping it first would free it
        DropContent();
        m_tag = kText;
        m_flags |= kBorrowed;
        m_payload.text = const_cast<char*>(text);
        return;
    }
    char* copy = CopyText(text);
    DropContent();
    TakeOwnedText(copy);
}

char* CValue::AllocString(int32_t n) {
    char* buffer = nullptr;
    if (n >= 1) {
        buffer = AllocText(static_cast<std::size_t>(n));
        buffer[0] = 0;
    }
    DropContent();
    TakeOwnedText(buffer);
    return buffer;
}

void CValue::SetObject(CIBaseClassImpl* object, int32_t drop) {
    if (drop) {
        DropContent();
    } else {
        m_tag = kInt;
        m_flags &= ~(kBorrowed | kGrowable);
        m_payload.reference = 0;
    }
    if (object != nullptr)
        TakeObject(object);
}

void CValue::SetFunction(CFunctionRecord* record) {
    DropContent();
    m_tag = kFunction;
    m_payload.function = record;
}

void CValue::SetReference(uint32_t kind, uintptr_t payload) {
    if (!IsPlaceKind(kind))
        Raise(41);
    DropContent();
    m_tag = kind;
    m_payload.reference = payload;
}

void CValue::MakeArray() {
    if (m_owner == nullptr)
        Raise(15);  // no interpreter to hold the array
    DropContent();
    CScriptArray* array = new (std::nothrow) CScriptArray(m_owner);
    if (array == nullptr)
        Raise(15);
    uint32_t handle = m_owner->m_arrayList.AddTail(reinterpret_cast<uintptr_t>(array));
    if (handle == 0) {
        array->Free();
        Raise(15);
    }
    array->m_handle = handle;
    array->m_refCount = 1;
    m_tag = kArray;
    m_payload.handle = handle;
}

// ---- readers ----

int32_t CValue::GetIntOther() const {
    switch (m_tag) {
    case kInt: return m_payload.i;
    case kDouble: return tw::TruncateToInt(m_payload.d);
    case kText: return tw::ParseIntPrefix(m_payload.text);
    case kObject: Raise(18);
    case kArray: return 0;
    case kDefault: return kOmittedInt;
    default: Raise(41);
    }
}

double CValue::GetDoubleOther() const {
    switch (m_tag) {
    case kInt: return m_payload.i;
    case kText: return tw::ParseDoublePrefix(m_payload.text);
    case kObject: Raise(18);
    case kArray: return 0.0;
    case kDefault: return kOmittedDouble;
    default: Raise(41);
    }
}

float CValue::GetFloat() const {
    switch (m_tag) {
    case kInt: return static_cast<float>(m_payload.i);
    case kDouble: return static_cast<float>(m_payload.d);
    case kText: return static_cast<float>(tw::ParseDoublePrefix(m_payload.text));
    case kObject: Raise(18);
    case kArray: return 0.0f;
    case kDefault: return kOmittedFloat;
    default: Raise(41);
    }
}

const char* CValue::GetString() const {
    switch (m_tag) {
    case kInt:
    case kDouble: {
        if (m_owner == nullptr)
            Raise(15);  // the text buffers belong to the interpreter
        if (m_tag == kInt) {
            char* buffer = m_owner->AllocStatementString(kIntTextSize);
            tw::FormatInt(buffer, kIntTextSize, m_payload.i);
            return buffer;
        }
        char* buffer = m_owner->AllocStatementString(kDoubleTextSize);
        tw::FormatDouble(buffer, kDoubleTextSize, m_payload.d);
        return buffer;
    }
    case kText: return m_payload.text ? m_payload.text : "";
    case kObject: Raise(18);
    case kArray: return "";
    case kDefault: return kOmittedText;
    default: Raise(41);
    }
}

void CValue::RaiseNotAnObject() const {
    switch (m_tag) {
    case kInt:
    case kDouble:
    case kText:
    case kFunction:
    case kArray: Raise(18);
    default: Raise(41);
    }
}

CIBaseClassImpl* CValue::GetObjectNonNull() const {
    if (m_tag == kObject) {
        if (m_payload.object == nullptr)
            Raise(32);
        return m_payload.object;
    }
    Raise(m_tag >= kNone ? 41 : 18);
}

CFunctionRecord* CValue::GetFunction() const {
    if (m_tag == kFunction)
        return m_payload.function;
    Raise(IsPlaceKind(m_tag) ? 41 : 40);
}

uintptr_t CValue::GetReferencePayload() const {
    if (m_tag < kNone || m_tag > kMemberArrayRef || m_payload.reference == 0)
        Raise(41);
    return m_payload.reference;
}

uintptr_t CValue::GetArrayCellReference() const {
    if (m_tag != kArrayCellRef)
        Raise(41);
    return m_payload.reference;
}

int32_t CValue::IsObjectOfClass(uint32_t classId) const {
    return m_tag == kObject && m_payload.object != nullptr && m_payload.object->m_classId == classId;
}

int32_t CValue::GetObjectClassId() const {
    if (m_tag != kObject || m_payload.object == nullptr)
        return -1;
    return static_cast<int32_t>(m_payload.object->m_classId);
}

void CValue::ClearReferencesTo(CIBaseClassImpl* object) {
    if (m_tag == kObject) {
        if (m_payload.object == object && object != nullptr)
            DropContent();
        return;
    }
    CScriptArray* array = GetArray();
    // An array may hold itself (directly or through others): each is searched once.
    if (array == nullptr || array->m_objectCells <= 0 || array->m_searching)
        return;
    array->m_searching = true;
    uint32_t total = array->GetCellCount();
    for (uint32_t f = 0; f < total; ++f) {
        CValue* cell = array->GetCell(f);
        if (cell == nullptr)
            continue;
        bool wasObject = cell->m_tag == kObject;
        cell->ClearReferencesTo(object);
        if (wasObject && cell->m_tag != kObject)
            --array->m_objectCells;
    }
    array->m_searching = false;
}

// ---- in-place conversions ----

void CValue::ConvertToDouble() {
    if (m_tag == kDouble)
        return;
    double d = GetDouble();  // raises 18 for objects, 41 for places
    SetDouble(d);
}

void CValue::ConvertToString() {
    switch (m_tag) {
    case kInt: {
        char* buffer = AllocText(kIntTextSize);
        tw::FormatInt(buffer, kIntTextSize, m_payload.i);
        DropContent();
        TakeOwnedText(buffer);
        break;
    }
    case kDouble: {
        char* buffer = AllocText(kDoubleTextSize);
        tw::FormatDouble(buffer, kDoubleTextSize, m_payload.d);
        DropContent();
        TakeOwnedText(buffer);
        break;
    }
    case kText:
    case kFunction:
    case kDefault:
        break;
    case kObject: Raise(18);
    case kArray: Raise(44);
    default: Raise(41);
    }
}

void CValue::ConvertToInt() {
    switch (m_tag) {
    case kInt: break;
    case kDouble: SetInt(tw::TruncateToInt(m_payload.d)); break;
    case kText: SetInt(0); break;  // no parsing
    case kDefault: SetInt(kOmittedInt); break;
    case kObject: Raise(18);
    case kArray: Raise(44);
    default: Raise(41);
    }
}

void CValue::UnifyNumeric(CValue& other) {
    uint32_t a = m_tag, b = other.m_tag;
    if (a == b && (a == kInt || a == kDouble))
        return;
    if (a == kObject || b == kObject)
        Raise(18);
    if (a == kInt && b == kDouble) {
        ConvertToDouble();
    } else if (a == kDouble && b == kInt) {
        other.ConvertToDouble();
    } else if (a == kDouble && b == kText) {
        other.ConvertToDouble();
    } else if (a == kText && b == kDouble) {
        ConvertToDouble();
    } else if (a == kInt && b == kText) {
        other.ConvertToInt();
    } else if (a == kText && b == kInt) {
        ConvertToInt();
    } else if (a == kText && b == kText) {
        ConvertToInt();
        other.ConvertToInt();
    } else {
        Raise(41);
    }
}

void CValue::UnifyOperands(CValue& right) {
    uint32_t a = m_tag, b = right.m_tag;
    if (a == b)
        return;
    if (a == kInt && b == kDouble) {
        ConvertToDouble();
    } else if (a == kDouble && b == kInt) {
        right.ConvertToDouble();
    } else if (a == kText) {
        right.ConvertToString();
    } else if (b == kText) {
        ConvertToString();
    } else if (a == kObject && b == kInt) {
        // Only integer 0 stands for a null reference; any other integer stays
        // an integer (it is never taken for an object address).
        if (right.m_payload.i == 0)
            right.SetNullObject();
    } else if (a == kInt && b == kObject) {
        if (m_payload.i == 0)
            SetNullObject();
    } else {
        Raise(41);
    }
}
