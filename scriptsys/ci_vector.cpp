#include "scriptsys/ci_vector.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "runtime/script_array.h"
#include "runtime/script_value.h"
#include "scriptsys/script_class_support.h"

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
    const CValue* first = interpretor->GetArg(index);
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
        const CValue* arg = interpretor->GetArg(index + i);
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
        {1, &CIVector::Set},
        {2, &CIVector::Reset},
        {3, &CIVector::AddVector},
        {4, &CIVector::SubVector},
        {5, &CIVector::MulVector},
        {6, &CIVector::Scale},
        {7, &CIVector::Rescale},
        {8, &CIVector::Negate},
        {9, &CIVector::IsEqual},
        {10, &CIVector::GetLength},
        {11, &CIVector::Distance},
        {12, &CIVector::DotProductUniformized},
        {13, &CIVector::DotProduct},
        {14, &CIVector::CrossProduct},
        {15, &CIVector::Normalize},
        {16, &CIVector::Average},
        {17, &CIVector::Lerp},
        {18, &CIVector::Combine},
        {19, &CIVector::GetX},
        {20, &CIVector::GetY},
        {21, &CIVector::GetZ},
        {22, &CIVector::SetX},
        {23, &CIVector::SetY},
        {24, &CIVector::SetZ},
        {25, &CIVector::MulVectorMatrix},
        {26, &CIVector::MulNormalMatrix},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIVector::ResultFloat(float value) { m_interpretor->Result()->SetDouble(value); }

float CIVector::RequiredNumber(int32_t index) {
    const CValue* arg = m_interpretor->GetArg(index);
    if (!IsNumber(arg)) m_interpretor->RaiseError(14, CIError::kNoDetail);
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
    if (!m_interpretor->IsArgDefault(0)) m_v.Scale(m_interpretor->GetArgFloat(0));
    return 0;
}

int32_t CIVector::Rescale() {
    if (!m_interpretor->IsArgDefault(0)) m_v.Rescale(m_interpretor->GetArgFloat(0));
    return 0;
}

int32_t CIVector::IsEqual() { m_interpretor->Result()->SetInt(m_v.Equals(ReadArgument(m_interpretor, 0)) ? 1 : 0); return 0; }
int32_t CIVector::GetLength() { ResultFloat(m_v.Length()); return 0; }
int32_t CIVector::Distance() { ResultFloat(m_v.Distance(ReadArgument(m_interpretor, 0))); return 0; }
int32_t CIVector::DotProductUniformized() { ResultFloat(m_v.DotNormalized(ReadArgument(m_interpretor, 0))); return 0; }
int32_t CIVector::DotProduct() { ResultFloat(m_v.Dot(ReadArgument(m_interpretor, 0))); return 0; }

int32_t CIVector::Lerp() {
    if (m_interpretor->IsArgDefault(0)) m_interpretor->RaiseError(14, CIError::kNoDetail);
    const float t = m_interpretor->GetArgFloat(0);
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
    CIBaseClassImpl* matrix = m_interpretor->GetArgObjectOfClass(0, kClassMatrix);
    if (!g_matrixReader || !g_matrixReader(matrix, m)) m_interpretor->RaiseError(47, CIError::kNoDetail);
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
