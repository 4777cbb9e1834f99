#pragma once
// The shapes of simple expressions that have an integer shortcut, and the
// integer results of their operators, and the one-dimensional arrays they
// read and write (shared by the shortcuts and by the integer rounds of fused
// loops).
#include "runtime/compiler/code_format.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_array.h"

#include <cstdint>

namespace tw_simple {

// Forms whose result on integer operands is worked out directly; what they
// leave (the variables, the result slot with its value and origin, the code
// pointer) is what the precedence steps leave.
enum SimpleShape : uint8_t {
    kShapeNone,
    kShapeSingle,        // a
    kShapeBinary,        // a op b
    kShapeCompound,      // x op= b
    kShapePostStep,      // x++ or x--
    kShapeAssign,        // x = b
    kShapeAssignBinary,  // x = a op b
    kShapeIndexAssign,        // x[i] = b
    kShapeIndexAssignBinary,  // x[i] = a op b
};

// The integer result of an operator (or of the operator of a compound
// assignment) as IntOp works it out; false where it would raise or is not
// covered here.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool IntResult(uint32_t code, int32_t a, int32_t b, int32_t* r) {
    const uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
    switch (code) {
    case kOpAdd: case kOpAddAssign: *r = static_cast<int32_t>(ua + ub); return true;
    case kOpSubtract: case kOpSubAssign: *r = static_cast<int32_t>(ua - ub); return true;
    case kOpMultiply: case kOpMulAssign: *r = static_cast<int32_t>(ua * ub); return true;
    case kOpBitAnd: case kOpAndAssign: *r = a & b; return true;
    case kOpBitOr: case kOpOrAssign: *r = a | b; return true;
    case kOpBitXor: case kOpXorAssign: *r = a ^ b; return true;
    case kOpModulo: case kOpModAssign:
        if (b == 0)
            return false;  // error 111, raised the general way
        *r = (b == -1) ? 0 : a % b;
        return true;
    case kOpEqual: *r = a == b; return true;
    case kOpNotEqual: *r = a != b; return true;
    case kOpLess: *r = a < b; return true;
    case kOpGreater: *r = a > b; return true;
    case kOpLessEqual: *r = a <= b; return true;
    case kOpGreaterEqual: *r = a >= b; return true;
    case kOpLogicalAnd: *r = a != 0 && b != 0; return true;
    case kOpLogicalOr: *r = a != 0 || b != 0; return true;
    default: return false;
    }
}

// The entry of each operator code that IntResult works out, made by
// Pick<Code>::value (a function instantiated for that code); null for the
// other codes.
template <class Entry, template <uint32_t> class Pick>
struct CodeTable {
    Entry entries[kOpTableSize] = {};
    template <uint32_t Code>
    void Set() {
        entries[Code] = Pick<Code>::value;
    }
    CodeTable() {
        Set<kOpAdd>(); Set<kOpSubtract>(); Set<kOpMultiply>(); Set<kOpBitAnd>(); Set<kOpBitOr>();
        Set<kOpBitXor>(); Set<kOpModulo>(); Set<kOpEqual>(); Set<kOpNotEqual>(); Set<kOpLess>();
        Set<kOpGreater>(); Set<kOpLessEqual>(); Set<kOpGreaterEqual>(); Set<kOpLogicalAnd>();
        Set<kOpLogicalOr>(); Set<kOpAddAssign>(); Set<kOpSubAssign>(); Set<kOpMulAssign>();
        Set<kOpAndAssign>(); Set<kOpOrAssign>(); Set<kOpXorAssign>(); Set<kOpModAssign>();
    }
};

}  // namespace tw_simple

inline CScriptArray* CInterpretor::OneDimensionalArray(const CValue& value) const {
    if (value.GetTag() != CValue::kArray)
        return nullptr;
    auto* array = reinterpret_cast<CScriptArray*>(m_arrayList.GetAt(value.GetArrayHandle()));
    return array != nullptr && array->m_dimensionCount == 1 ? array : nullptr;
}
