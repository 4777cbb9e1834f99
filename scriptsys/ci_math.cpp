#include "scriptsys/ci_math.h"
#include "scriptsys/ci_math_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_value.h"
#include "scriptsys/math_functions.h"
#include "runtime/classes/script_class.h"

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
        TW_MEMBER(Math, Abs),
        TW_MEMBER(Math, Asin),
        TW_MEMBER(Math, Atan),
        TW_MEMBER(Math, Ceil),
        TW_MEMBER(Math, Cos),
        TW_MEMBER(Math, Exp),
        TW_MEMBER(Math, Floor),
        TW_MEMBER(Math, Log),
        TW_MEMBER(Math, Max),
        TW_MEMBER(Math, Min),
        TW_MEMBER(Math, Pow),
        TW_MEMBER(Math, Random),
        TW_MEMBER(Math, Round),
        TW_MEMBER(Math, Sin),
        TW_MEMBER(Math, Sqrt),
        TW_MEMBER(Math, Tan),
        TW_MEMBER(Math, Pi),
        TW_MEMBER(Math, Acos),
        TW_MEMBER(Math, IsFloatFinite),
        TW_MEMBER(Math, IsNotAFloatNumber),
        TW_MEMBER(Math, SetRandom),
        TW_MEMBER(Math, GetRadian),
        TW_MEMBER(Math, GetDegree),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIMath::ResultDouble(double value) { Result(m_interpretor)->SetDouble(value); }

double CIMath::RequiredDouble(int32_t index) {
    if (IsArgDefault(m_interpretor, index)) RaiseError(m_interpretor, 14, CIError::kNoDetail);
    return GetArgDouble(m_interpretor, index);
}

int32_t CIMath::Abs() {
    const CValue* arg = GetArg(m_interpretor, 0);
    CValue* result = Result(m_interpretor);
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

int32_t CIMath::Asin() { ResultDouble(std::asin(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Acos() { ResultDouble(std::acos(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Atan() { ResultDouble(std::atan(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Ceil() { ResultDouble(std::ceil(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Cos() { ResultDouble(std::cos(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Exp() { ResultDouble(std::exp(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Floor() { ResultDouble(std::floor(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Log() { ResultDouble(std::log(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Sin() { ResultDouble(std::sin(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Sqrt() { ResultDouble(std::sqrt(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Tan() { ResultDouble(std::tan(GetArgDouble(m_interpretor, 0))); return 0; }
int32_t CIMath::Pi() { ResultDouble(tw::math::kPi); return 0; }
int32_t CIMath::Round() { ResultDouble(tw::math::RoundHalfUpTowardZero(GetArgDouble(m_interpretor, 0))); return 0; }

int32_t CIMath::Pow() {
    ResultDouble(std::pow(GetArgDouble(m_interpretor, 0), GetArgDouble(m_interpretor, 1)));
    return 0;
}

void CIMath::Extreme(bool wantLarger) {
    CValue a(m_interpretor, GetArg(m_interpretor, 0));
    CValue b(m_interpretor, GetArg(m_interpretor, 1));
    a.UnifyNumeric(b);
    CValue* result = Result(m_interpretor);
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
    if (IsArgDefault(m_interpretor, 0))
        ResultDouble(m_random.Next());
    else
        Result(m_interpretor)->SetInt(m_random.NextBelow(GetArgInt(m_interpretor, 0)));
    return 0;
}

int32_t CIMath::SetRandom() { m_random.Seed(GetArgInt(m_interpretor, 0)); return 0; }

int32_t CIMath::IsFloatFinite() { Result(m_interpretor)->SetInt(std::isfinite(RequiredDouble(0)) ? 1 : 0); return 0; }
int32_t CIMath::IsNotAFloatNumber() { Result(m_interpretor)->SetInt(std::isnan(RequiredDouble(0)) ? 1 : 0); return 0; }
int32_t CIMath::GetRadian() { ResultDouble(tw::math::DegreesToRadians(RequiredDouble(0))); return 0; }
int32_t CIMath::GetDegree() { ResultDouble(tw::math::RadiansToDegrees(RequiredDouble(0))); return 0; }
