#pragma once
// CIVector: the script class "Vector", a mutable 3D vector of floats. Other
// script classes read vector arguments with ReadArgument and hand vectors to
// scripts with MakeObject.
#include "runtime/interp/script_object.h"
#include "scriptsys/vector3.h"

class CIVector : public CIBaseClassImpl {
public:
    explicit CIVector(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // new Vector(vector argument)
    void ConstructFromArgs() override;

    // A vector argument from argument index on: a Vector object, a script
    // array whose items 0, 1, 2 are numbers, or up to three numbers; missing,
    // omitted or non-number parts are 0.
    static CVector3 ReadArgument(CInterpretor* interpretor, int32_t index);
    // A live, listed Vector object holding a copy of v (for other classes'
    // results); the caller stores the reference.
    static CIVector* MakeObject(CInterpretor* interpretor, const CVector3& v);

    // The 3 x 4 matrix (row by row, translation in the last column) of a
    // Matrix script object; installed by the matrix class.
    using MatrixReader = bool (*)(CIBaseClassImpl* matrix, float m[12]);
    static void SetMatrixReader(MatrixReader reader);

    CVector3 m_v;

private:
    int32_t Set();
    int32_t Reset();
    int32_t AddVector();
    int32_t SubVector();
    int32_t MulVector();
    int32_t Scale();
    int32_t Rescale();
    int32_t Negate();
    int32_t IsEqual();
    int32_t GetLength();
    int32_t Distance();
    int32_t DotProductUniformized();
    int32_t DotProduct();
    int32_t CrossProduct();
    int32_t Normalize();
    int32_t Average();
    int32_t Lerp();
    int32_t Combine();
    int32_t GetX();
    int32_t GetY();
    int32_t GetZ();
    int32_t SetX();
    int32_t SetY();
    int32_t SetZ();
    int32_t MulVectorMatrix();
    int32_t MulNormalMatrix();

    // A number argument that must be given as a number (runtime error 14 when
    // omitted, a text or an object).
    float RequiredNumber(int32_t index);
    void ReadMatrix(float m[12]);
    void ResultFloat(float value);
};
