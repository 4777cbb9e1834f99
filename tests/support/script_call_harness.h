#pragma once
// Calls members of native script classes the way the interpreter does: the
// arguments go into the current call frame, the current member id is set and
// the object's CallMember runs; the handler's value is read from the result
// slot. Runtime errors come out as CIError.
#include "runtime/base/ci_error.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

// One argument of a call: an integer, a double, a text, an object, or omitted.
struct CallArg {
    enum Kind { kInt, kDouble, kText, kObject, kOmitted, kValue } kind;
    int32_t i = 0;
    double d = 0.0;
    std::string text;
    CIBaseClassImpl* object = nullptr;
    const CValue* value = nullptr;

    CallArg(int v) : kind(kInt), i(v) {}
    CallArg(uint32_t v) : kind(kInt), i(static_cast<int32_t>(v)) {}
    CallArg(double v) : kind(kDouble), d(v) {}
    CallArg(const char* v) : kind(kText), text(v) {}
    CallArg(CIBaseClassImpl* v) : kind(kObject), object(v) {}
    CallArg(const CValue* v) : kind(kValue), value(v) {}
    static CallArg Omitted() {
        CallArg a(0);
        a.kind = kOmitted;
        return a;
    }
};

class ScriptCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_interp.PrepareRun(nullptr);
    }

    // Fills the current frame with the arguments.
    void SetArgs(std::initializer_list<CallArg> args) {
        m_interp.SetArgCount(static_cast<int32_t>(args.size()));
        int32_t i = 0;
        for (const CallArg& a : args) {
            CValue* cell = m_interp.GetArg(i++);
            switch (a.kind) {
            case CallArg::kInt: cell->SetInt(a.i); break;
            case CallArg::kDouble: cell->SetDouble(a.d); break;
            case CallArg::kText: cell->SetString(a.text.c_str(), 0); break;
            case CallArg::kObject: cell->SetObject(a.object, 1); break;
            case CallArg::kOmitted: cell->SetDefault(); break;
            case CallArg::kValue: cell->Assign(*a.value); break;
            }
        }
    }

    // Calls member id of the object with the arguments; the result slot is
    // cleared to integer 0 first.
    CValue* Call(CIBaseClassImpl* object, int32_t memberId, std::initializer_list<CallArg> args = {}) {
        SetArgs(args);
        m_interp.Result()->Clear();
        m_interp.m_currentMemberId = static_cast<uint16_t>(memberId);
        object->CallMember(memberId);
        return m_interp.Result();
    }

    // The code of the runtime error the call raises; -1 when it raises none.
    int32_t ErrorOf(CIBaseClassImpl* object, int32_t memberId, std::initializer_list<CallArg> args = {}) {
        try {
            Call(object, memberId, args);
        } catch (const CIError& e) {
            return e.code;
        }
        return -1;
    }

    // A new object of the class made as "New Class(args)"; null when refused.
    CIBaseClassImpl* New(uint32_t classId, std::initializer_list<CallArg> args = {}) {
        SetArgs(args);
        return m_interp.CreateObject(classId);
    }

    int32_t NewError(uint32_t classId, std::initializer_list<CallArg> args = {}) {
        try {
            New(classId, args);
        } catch (const CIError& e) {
            return e.code;
        }
        return -1;
    }

    static std::string Text(const CValue* v) {
        EXPECT_EQ(v->GetTag(), static_cast<uint32_t>(CValue::kText));
        const char* t = v->GetText();
        return t ? t : "";
    }

    CInterpretor m_interp;
};
