#pragma once
// CIMath: the script class "Math", the one global object of numeric functions
// and the seeded random generator. Every member, Pi included, is a call.
#include "runtime/interp/script_object.h"
#include "scriptsys/random_generator.h"

class CIMath : public CIBaseClassImpl {
public:
    explicit CIMath(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // Going live seeds the generator from the calendar time.
    uint32_t AssignInstanceNumber() override;

    CRandomGenerator& Generator() { return m_random; }

private:
    friend struct CIMathHandlers;

    int32_t Abs();
    int32_t Asin();
    int32_t Acos();
    int32_t Atan();
    int32_t Ceil();
    int32_t Cos();
    int32_t Exp();
    int32_t Floor();
    int32_t Log();
    int32_t Max();
    int32_t Min();
    int32_t Pow();
    int32_t Random();
    int32_t Round();
    int32_t Sin();
    int32_t Sqrt();
    int32_t Tan();
    int32_t Pi();
    int32_t IsFloatFinite();
    int32_t IsNotAFloatNumber();
    int32_t SetRandom();
    int32_t GetRadian();
    int32_t GetDegree();

    // The larger (wantLarger) or smaller of the first two arguments, both made
    // the same numeric kind first.
    void Extreme(bool wantLarger);
    // A double argument that must be given (runtime error 14 when omitted).
    double RequiredDouble(int32_t index);
    void ResultDouble(double value);

    CRandomGenerator m_random;
};
