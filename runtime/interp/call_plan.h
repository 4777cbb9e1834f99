#pragma once
// The plan of a function body (see interp_call_plans.cpp) and, for functions
// that work on integer parameters alone, its integer form (see
// interp_integer_calls.cpp).
#include "runtime/interp/interpretor.h"

#include <memory>
#include <vector>

constexpr int kPlanSteps = 16;
constexpr int kPlanArgs = 8;
constexpr int kPlanOperands = 4;

// A call by name in a planned expression: "name(" and its arguments, each an
// integer constant or a simple expression.
struct CCallPlanCall {
    const uint8_t* instr = nullptr;  // the call instruction
    const uint8_t* after = nullptr;  // behind its ")"
    uint8_t argCount = 0;
    const uint8_t* args[kPlanArgs] = {};
    bool argIsConstant[kPlanArgs] = {};
    int32_t argValue[kPlanArgs] = {};
};

struct CCallPlanStep {
    enum Kind : uint8_t { kIf, kReturn, kReturnCalls, kStatement, kEnd, kGeneral };
    Kind kind = kGeneral;
    // kIf: the condition; kReturn: the expression (null: none); kReturnCalls:
    // the first operand; kStatement: where it starts.
    const uint8_t* expr = nullptr;
    // kIf: behind its ")" (its statement is the next step); kStatement: its
    // ";"; kReturnCalls: the instruction ending the expression.
    const uint8_t* end = nullptr;
    const uint8_t* otherwise = nullptr;  // kIf: where a false condition goes on
    uint8_t elseStep = 0;                // kIf: the step there
    // kReturnCalls: operands (a call, or a name or constant read the general
    // way) and the operators between them.
    uint8_t count = 0;
    bool isCall[kPlanOperands] = {};
    const uint8_t* operands[kPlanOperands] = {};
    std::vector<CCallPlanCall> calls;  // by operand, for calls
    uint32_t operators[kPlanOperands - 1] = {};
    const uint8_t* operatorAt[kPlanOperands - 1] = {};
};

// The integer form of a plan whose steps are If, Return and the end alone,
// on integer parameters and constants: the steps by the same index.
// An operand: a parameter by position, This.member, or a constant.
struct CIntOperand {
    int8_t parameter = -1;  // -1: no parameter
    int32_t value = 0;      // the constant
    // This.member of that name when isMember (every name ref, 0 too, is a
    // name: the flag alone tells a member from a constant).
    bool isMember = false;
    uint32_t member = 0;
    // The member's variable as found in This, with This's stamp then.
    mutable const CIBaseObjectVar* object = nullptr;
    mutable uint64_t stamp = 0;
    mutable CVariable* variable = nullptr;
    int32_t Read(const int32_t* parameters) const { return parameter >= 0 ? parameters[parameter] : value; }
};

// a alone (code 0) or a op b, op an operator IntResult works out.
struct CIntExpr {
    uint32_t code = 0;
    CIntOperand a, b;
    bool members = false;  // an operand is This.member
};

// A call in a Return: the callee's name, its arguments, and the callee's
// variable as found for This (with its stamp) and the global variables (with
// theirs).
struct CIntCall {
    uint32_t nameRef = 0;
    CIntExpr args[kPlanArgs];
    mutable CVariable* variable = nullptr;
    mutable const CIBaseClassImpl* thisObject = nullptr;
    mutable uint64_t thisStamp = 0;
    mutable uint64_t globalStamp = 0;
};

struct CIntStep {
    CIntExpr expr;  // kIf: the condition; kReturn: the value; kStatement: the value assigned or combined
    // kStatement: the shape of This.member = a (op b), This.member op= b or
    // This.member++ / -- (see simple_shapes.h), its operator and target.
    uint8_t shape = 0;
    uint32_t code = 0;
    CIntOperand target;
    CIntOperand operands[kPlanOperands];  // kReturnCalls: the operands that are no calls
    std::vector<CIntCall> calls;          // kReturnCalls: by operand
};

struct CIntPlan {
    std::vector<CIntStep> steps;
};

struct CCallPlan {
    const CBlockRecord* block = nullptr;
    const uint8_t* entry = nullptr;  // where the body's operation loop starts
    std::vector<CCallPlanStep> steps;
    std::unique_ptr<CIntPlan> integer;  // null: not an integer function
};

