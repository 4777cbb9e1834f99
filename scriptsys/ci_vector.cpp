#include "scriptsys/ci_vector.h"
#include "scriptsys/ci_vector_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/script_value.h"
#include "runtime/classes/script_class.h"

namespace {

CIVector::MatrixReader g_matrixReader = nullptr;

bool IsNumber(const CValue* v) { return v && (v->GetTag() == CValue::kInt || v->GetTag() == CValue::kDouble); }

float NumberOr0(const CValue* v) { return IsNumber(v) ? v->GetFloat() : 0.0f; }

}  // namespace

CIVector::CIVector(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassVector), kClassVector, true) {}

void CIVector::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

void CIVector::SetMatrixReader(MatrixReader reader) { g_matrixReader = reader; }

CIVector* CIVector::MakeObject(CInterpretor* interpretor, const CVector3& v) {
    CIVector* vector = new CIVector(interpretor);
    vector->m_v = v;
    vector->AssignInstanceNumber();
    return vector;
}

CVector3 CIVector::ReadArgument(CInterpretor* interpretor, int32_t index) {
    CVector3 v;
    const CValue* first = GetArg(interpretor, index);
    if (first->IsObjectOfClass(kClassVector)) {
        return static_cast<CIVector*>(first->GetObject())->m_v;
    }
    if (first->GetTag() == CValue::kArray) {
        if (CScriptArray* array = first->GetArray()) {
            float parts[3] = {0.0f, 0.0f, 0.0f};
            for (uint32_t i = 0; i < 3 && i < array->GetCellCount(); ++i) parts[i] = NumberOr0(array->GetCell(i));
            v.Set(parts[0], parts[1], parts[2]);
        }
        return v;
    }
    float parts[3] = {0.0f, 0.0f, 0.0f};
    for (int32_t i = 0; i < 3; ++i) {
        const CValue* arg = GetArg(interpretor, index + i);
        if (arg->GetTag() == CValue::kText)
            parts[i] = arg->GetFloat();
        else
            parts[i] = NumberOr0(arg);
    }
    v.Set(parts[0], parts[1], parts[2]);
    return v;
}

void CIVector::ConstructFromArgs() {
    m_v = ReadArgument(m_interpretor, 0);
    AssignInstanceNumber();
}

void CIVector::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIVector> kHandlers[] = {
        TW_MEMBER(Vector, Set),
        TW_MEMBER(Vector, Reset),
        TW_MEMBER(Vector, AddVector),
        TW_MEMBER(Vector, SubVector),
        TW_MEMBER(Vector, MulVector),
        TW_MEMBER(Vector, Scale),
        TW_MEMBER(Vector, Rescale),
        TW_MEMBER(Vector, Negate),
        TW_MEMBER(Vector, IsEqual),
        TW_MEMBER(Vector, GetLength),
        TW_MEMBER(Vector, Distance),
        TW_MEMBER(Vector, DotProductUniformized),
        TW_MEMBER(Vector, DotProduct),
        TW_MEMBER(Vector, CrossProduct),
        TW_MEMBER(Vector, Normalize),
        TW_MEMBER(Vector, Average),
        TW_MEMBER(Vector, Lerp),
        TW_MEMBER(Vector, Combine),
        TW_MEMBER(Vector, GetX),
        TW_MEMBER(Vector, GetY),
        TW_MEMBER(Vector, GetZ),
        TW_MEMBER(Vector, SetX),
        TW_MEMBER(Vector, SetY),
        TW_MEMBER(Vector, SetZ),
        TW_MEMBER(Vector, MulVectorMatrix),
        TW_MEMBER(Vector, MulNormalMatrix),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIVector::ResultFloat(float value) { Result(m_interpretor)->SetDouble(value); }

float CIVector::RequiredNumber(int32_t index) {
    const CValue* arg = GetArg(m_interpretor, index);
    if (!IsNumber(arg)) RaiseError(m_interpretor, 14, CIError::kNoDetail);
    return arg->GetFloat();
}

int32_t CIVector::Set() { m_v = ReadArgument(m_interpretor, 0); return 0; }
int32_t CIVector::Reset() { m_v.Set(0.0f, 0.0f, 0.0f); return 0; }
int32_t CIVector::AddVector() { m_v.Add(ReadArgument(m_interpretor, 0)); return 0; }
int32_t CIVector::SubVector() { m_v.Sub(ReadArgument(m_interpretor, 0)); return 0; }
int32_t CIVector::MulVector() { m_v.MulComponents(ReadArgument(m_interpretor, 0)); return 0; }
int32_t CIVector::Negate() { m_v.Negate(); return 0; }
int32_t CIVector::Normalize() { m_v.Normalize(); return 0; }
int32_t CIVector::CrossProduct() { m_v.Cross(ReadArgument(m_interpretor, 0)); return 0; }
int32_t CIVector::Average() { m_v.Average(ReadArgument(m_interpretor, 0)); return 0; }

int32_t CIVector::Scale() {
    if (!IsArgDefault(m_interpretor, 0)) m_v.Scale(GetArgFloat(m_interpretor, 0));
    return 0;
}

int32_t CIVector::Rescale() {
    if (!IsArgDefault(m_interpretor, 0)) m_v.Rescale(GetArgFloat(m_interpretor, 0));
    return 0;
}

int32_t CIVector::IsEqual() { Result(m_interpretor)->SetInt(m_v.Equals(ReadArgument(m_interpretor, 0)) ? 1 : 0); return 0; }
int32_t CIVector::GetLength() { ResultFloat(m_v.Length()); return 0; }
int32_t CIVector::Distance() { ResultFloat(m_v.Distance(ReadArgument(m_interpretor, 0))); return 0; }
int32_t CIVector::DotProductUniformized() { ResultFloat(m_v.DotNormalized(ReadArgument(m_interpretor, 0))); return 0; }
int32_t CIVector::DotProduct() { ResultFloat(m_v.Dot(ReadArgument(m_interpretor, 0))); return 0; }

int32_t CIVector::Lerp() {
    if (IsArgDefault(m_interpretor, 0)) RaiseError(m_interpretor, 14, CIError::kNoDetail);
    const float t = GetArgFloat(m_interpretor, 0);
    m_v.Lerp(t, ReadArgument(m_interpretor, 1));
    return 0;
}

int32_t CIVector::Combine() {
    const float a = RequiredNumber(0);
    const float b = RequiredNumber(1);
    m_v.Combine(a, b, ReadArgument(m_interpretor, 2));
    return 0;
}

int32_t CIVector::GetX() { ResultFloat(m_v.x); return 0; }
int32_t CIVector::GetY() { ResultFloat(m_v.y); return 0; }
int32_t CIVector::GetZ() { ResultFloat(m_v.z); return 0; }
int32_t CIVector::SetX() { m_v.x = RequiredNumber(0); return 0; }
int32_t CIVector::SetY() { m_v.y = RequiredNumber(0); return 0; }
int32_t CIVector::SetZ() { m_v.z = RequiredNumber(0); return 0; }

void CIVector::ReadMatrix(float m[12]) {
    // Runtime error 47 unless the argument is a Matrix object.
    CIBaseClassImpl* matrix = GetArgObjectOfClass(m_interpretor, 0, kClassMatrix);
    if (!g_matrixReader || !g_matrixReader(matrix, m)) RaiseError(m_interpretor, 47, CIError::kNoDetail);
}

int32_t CIVector::MulVectorMatrix() {
    float m[12];
    ReadMatrix(m);
    m_v.TransformPoint(m);
    return 0;
}

int32_t CIVector::MulNormalMatrix() {
    float m[12];
    ReadMatrix(m);
    m_v.TransformDirection(m);
    return 0;
}
