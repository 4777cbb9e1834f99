#include "scriptsys/ci_math.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "runtime/script_value.h"
#include "scriptsys/math_functions.h"
#include "scriptsys/script_class_support.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

CIMath::CIMath(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassMath), kClassMath, true) {}

void CIMath::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

uint32_t CIMath::AssignInstanceNumber() {
    m_random.Seed(static_cast<int32_t>(std::time(nullptr)));
    return CIBaseClassImpl::AssignInstanceNumber();
}

void CIMath::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIMath> kHandlers[] = {
        {1, &CIMath::Abs},
        {2, &CIMath::Asin},
        {3, &CIMath::Atan},
        {4, &CIMath::Ceil},
        {5, &CIMath::Cos},
        {6, &CIMath::Exp},
        {7, &CIMath::Floor},
        {8, &CIMath::Log},
        {9, &CIMath::Max},
        {10, &CIMath::Min},
        {11, &CIMath::Pow},
        {12, &CIMath::Random},
        {13, &CIMath::Round},
        {14, &CIMath::Sin},
        {15, &CIMath::Sqrt},
        {16, &CIMath::Tan},
        {17, &CIMath::Pi},
        {18, &CIMath::Acos},
        {19, &CIMath::IsFloatFinite},
        {20, &CIMath::IsNotAFloatNumber},
        {21, &CIMath::SetRandom},
        {22, &CIMath::GetRadian},
        {23, &CIMath::GetDegree},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIMath::ResultDouble(double value) { m_interpretor->Result()->SetDouble(value); }

double CIMath::RequiredDouble(int32_t index) {
    if (m_interpretor->IsArgDefault(index)) m_interpretor->RaiseError(14, CIError::kNoDetail);
    return m_interpretor->GetArgDouble(index);
}

int32_t CIMath::Abs() {
    const CValue* arg = m_interpretor->GetArg(0);
    CValue* result = m_interpretor->Result();
    switch (arg->GetTag()) {
    case CValue::kInt: {
        // The magnitude of the most negative integer does not fit: it stays.
        const uint32_t bits = static_cast<uint32_t>(arg->GetInt());
        const int32_t i = arg->GetInt();
        result->SetInt(i < 0 ? static_cast<int32_t>(0u - bits) : i);
        break;
    }
    case CValue::kDouble:
    case CValue::kText: result->SetDouble(std::fabs(arg->GetDouble())); break;
    default: result->Assign(*arg); break;
    }
    return 0;
}

int32_t CIMath::Asin() { ResultDouble(std::asin(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Acos() { ResultDouble(std::acos(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Atan() { ResultDouble(std::atan(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Ceil() { ResultDouble(std::ceil(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Cos() { ResultDouble(std::cos(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Exp() { ResultDouble(std::exp(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Floor() { ResultDouble(std::floor(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Log() { ResultDouble(std::log(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Sin() { ResultDouble(std::sin(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Sqrt() { ResultDouble(std::sqrt(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Tan() { ResultDouble(std::tan(m_interpretor->GetArgDouble(0))); return 0; }
int32_t CIMath::Pi() { ResultDouble(tw::math::kPi); return 0; }
int32_t CIMath::Round() { ResultDouble(tw::math::RoundHalfUpTowardZero(m_interpretor->GetArgDouble(0))); return 0; }

int32_t CIMath::Pow() {
    ResultDouble(std::pow(m_interpretor->GetArgDouble(0), m_interpretor->GetArgDouble(1)));
    return 0;
}

void CIMath::Extreme(bool wantLarger) {
    CValue a(m_interpretor, m_interpretor->GetArg(0));
    CValue b(m_interpretor, m_interpretor->GetArg(1));
    a.UnifyNumeric(b);
    CValue* result = m_interpretor->Result();
    if (a.GetTag() == CValue::kInt && b.GetTag() == CValue::kInt) {
        const int32_t x = a.GetInt(), y = b.GetInt();
        result->SetInt((x > y) == wantLarger ? x : y);
    } else {
        const double x = a.GetDouble(), y = b.GetDouble();
        result->SetDouble((x > y) == wantLarger ? x : y);
    }
}

int32_t CIMath::Max() { Extreme(true); return 0; }
int32_t CIMath::Min() { Extreme(false); return 0; }

int32_t CIMath::Random() {
    if (m_interpretor->IsArgDefault(0))
        ResultDouble(m_random.Next());
    else
        m_interpretor->Result()->SetInt(m_random.NextBelow(m_interpretor->GetArgInt(0)));
    return 0;
}

int32_t CIMath::SetRandom() { m_random.Seed(m_interpretor->GetArgInt(0)); return 0; }

int32_t CIMath::IsFloatFinite() { m_interpretor->Result()->SetInt(std::isfinite(RequiredDouble(0)) ? 1 : 0); return 0; }
int32_t CIMath::IsNotAFloatNumber() { m_interpretor->Result()->SetInt(std::isnan(RequiredDouble(0)) ? 1 : 0); return 0; }
int32_t CIMath::GetRadian() { ResultDouble(tw::math::DegreesToRadians(RequiredDouble(0))); return 0; }
int32_t CIMath::GetDegree() { ResultDouble(tw::math::RadiansToDegrees(RequiredDouble(0))); return 0; }
