// The interpreter from the native side: member calls through the inline
// cache, the native handler convention, call frames, object lifetimes and
// malformed code. Scripts are compiled from source; two stand-in native
// classes (bound to the class ids of Button and Window) record what their
// handlers see.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/interp/interpretor.h"
#include "runtime/base/name_table.h"
#include "runtime/compiler/script_compiler.h"

namespace {

// What the stand-in handlers saw.
struct CSeen {
    std::vector<std::pair<uint32_t, int32_t>> calls;  // class id, member id
    int32_t argCount = -1;
    const char* text0 = nullptr;
    int32_t int0 = 0, int2a = 0, int2b = 0;
    double double0 = 0;
    float float0 = 0;
    int32_t default0 = -1, default1 = -1;
    std::string keptText;
    int destroyed = 0;
    int restarts = 0;
};
CSeen g_seen;

class CStandIn : public CIBaseClassImpl {
public:
    CStandIn(CInterpretor* in, uint32_t classId) : CIBaseClassImpl(in, in->GetClassRecord(classId), classId, true) {}

    void ConstructFromArgs() override {
        CInterpretor* in = m_interpretor;
        if (in->GetArgCount() > 0 && in->GetArg(0)->GetTag() == CValue::kObject)
            m_owner = in->GetArgObject(0);
        if (in->GetArgCount() > 0 && in->GetArg(0)->GetTag() == CValue::kInt && in->GetArgInt(0) == -1)
            return;  // refused: stays not alive
        AssignInstanceNumber();
    }
    void CallMember(int32_t memberId) override {
        CInterpretor* in = m_interpretor;
        g_seen.calls.push_back({m_classId, memberId});
        g_seen.argCount = in->GetArgCount();
        if (memberId == 15 && m_classId == kClassButton)
            RecordArguments();
        if (memberId == 16 && m_classId == kClassButton)
            CallBackSwallowingErrors();
        if (memberId == 1 && m_classId == kClassButton)
            KeepTextAcrossStatementStrings();
        if (memberId == 17 && m_classId == kClassButton && g_seen.restarts++ == 0)
            in->RaiseError(1);  // a restart request, once
        if (memberId == 10 && m_classId == kClassButton)
            in->Quit();
        in->Result()->SetInt(memberId);
    }
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override { return object == m_owner; }
    void Destroy(int32_t) override {
        ++g_seen.destroyed;
        // A window takes its own buttons with it, as a real one would.
        if (m_classId == kClassWindow) {
            CInterpretor* in = m_interpretor;
            for (uint32_t p = in->GetFirstInstance(kClassButton); p != 0;) {
                auto* button = static_cast<CStandIn*>(in->NextInstance(kClassButton, p));
                if (button->m_owner == this) {
                    button->Destroy(0);
                    p = in->GetFirstInstance(kClassButton);
                }
            }
        }
        UnlinkFromClassList();
        delete this;
    }

    CIBaseClassImpl* m_owner = nullptr;

private:
    void RecordArguments() {
        CInterpretor* in = m_interpretor;
        g_seen.text0 = in->GetArgString(0);
        g_seen.int0 = in->GetArgInt(0);
        g_seen.double0 = in->GetArgDouble(0);
        g_seen.float0 = in->GetArgFloat(0);
        g_seen.default0 = in->IsArgDefault(0);
        g_seen.default1 = in->IsArgDefault(1);
        in->GetArgInt2(0, &g_seen.int2a, &g_seen.int2b);
    }
    // Runs the script function given as argument 0 on a frame of its own and
    // swallows its runtime error, as an error handler would.
    void CallBackSwallowingErrors() {
        CInterpretor* in = m_interpretor;
        CFunctionRecord* function = in->GetArg(0)->GetFunction();
        CInterpretor::CallDepthGuard deeper(in);
        try {
            in->CallFunctionDirect(function, this, nullptr);
        } catch (const CIError&) {
        }
    }
    void KeepTextAcrossStatementStrings() {
        CInterpretor* in = m_interpretor;
        const char* text = in->GetArgString(0);
        in->FreeStatementStrings();
        for (int i = 0; i < 8; ++i)
            in->AllocStatementString(32);
        g_seen.keptText = text;
    }
};

CIBaseClassImpl* NewStandInButton(CInterpretor* in) { return new CStandIn(in, kClassButton); }
CIBaseClassImpl* NewStandInWindow(CInterpretor* in) { return new CStandIn(in, kClassWindow); }

class InterpreterTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = CSeen();
        SaveBinding(kClassButton, &m_savedButton);
        SaveBinding(kClassWindow, &m_savedWindow);
        CClassBinding button;
        button.factory = NewStandInButton;
        RegisterClassBinding(kClassButton, button);
        CClassBinding window;
        window.factory = NewStandInWindow;
        RegisterClassBinding(kClassWindow, window);
    }
    void TearDown() override {
        RegisterClassBinding(kClassButton, m_savedButton);
        RegisterClassBinding(kClassWindow, m_savedWindow);
    }
    static void SaveBinding(int classId, CClassBinding* out) {
        const CClassBinding* binding = GetClassBinding(classId);
        *out = binding != nullptr ? *binding : CClassBinding();
    }

    bool Compile(const char* source) {
        CScriptCompiler compiler;
        compiler.AddSourceText("test", source, static_cast<uint32_t>(std::strlen(source)), kModuleOwnsText);
        if (!compiler.Compile()) {
            ADD_FAILURE() << "compile error " << compiler.GetLastError()->code << " at line "
                          << compiler.GetLastError()->line + 1;
            return false;
        }
        m_program = compiler.TakeProgram();
        return true;
    }
    // 0 when the program ran to its end, else the error code (m_error keeps it).
    int32_t RunProgram() {
        m_in.PrepareRun(&m_program);
        if (m_in.Run(&m_program, 0))
            return 0;
        m_error = *m_in.GetLastError();
        return m_error.code;
    }
    int32_t Run(const char* source) { return Compile(source) ? RunProgram() : -1; }

    CValue* Global(const char* name) {
        CVariable* variable = m_in.FindVariable(static_cast<uint32_t>(m_program.names->Intern(name)));
        return variable != nullptr ? &variable->value : nullptr;
    }
    int32_t GlobalInt(const char* name) {
        CValue* value = Global(name);
        EXPECT_NE(value, nullptr) << name;
        return value != nullptr ? value->GetInt() : INT32_MIN;
    }
    // The first instruction with that code.
    uint8_t* FindInstr(uint16_t code) {
        for (uint8_t* p = m_program.code.data(); InstrCode(p) != kOpEnd; p = NextInstr(p))
            if (InstrCode(p) == code)
                return p;
        return nullptr;
    }

    CClassBinding m_savedButton, m_savedWindow;
    CInterpretor m_in;
    CCompiledProgram m_program;
    CIError m_error{-1};
};

TEST_F(InterpreterTest, InlineCacheResolvesTheNameAgainWhenTheClassChanges) {
    ASSERT_EQ(Run("Function Call(o) {\n Return o.SetText();\n}\n"
                  "b = New Button(); w = New Window();\n"
                  "r1 = Call(b); r2 = Call(w); r3 = Call(b);\n"),
              0);
    // SetText is member 15 of Button and 78 of Window.
    EXPECT_EQ(GlobalInt("r1"), 15);
    EXPECT_EQ(GlobalInt("r2"), 78);
    EXPECT_EQ(GlobalInt("r3"), 15);
    uint8_t* access = FindInstr(kOpMemberCall);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(ReadU32(access + kFieldCacheMember), 15u);
    EXPECT_EQ(ReadU32(access + kFieldCacheClass), static_cast<uint32_t>(kClassButton));
}

TEST_F(InterpreterTest, MemberNamesMatchWithoutRegardToCase) {
    ASSERT_EQ(Run("b = New Button();\nx = b.settext();\ny = b.SETTEXT();\n"), 0);
    EXPECT_EQ(GlobalInt("x"), 15);
    EXPECT_EQ(GlobalInt("y"), 15);
}

TEST_F(InterpreterTest, OmittedArgumentsReadAsTheSentinels) {
    ASSERT_EQ(Run("b = New Button();\nb.SetText();\n"), 0);
    EXPECT_EQ(g_seen.argCount, 0);
    EXPECT_EQ(g_seen.text0, CValue::kOmittedText);  // the very same pointer
    EXPECT_STREQ(g_seen.text0, "Default string");
    EXPECT_EQ(g_seen.int0, INT32_MIN);
    EXPECT_EQ(g_seen.double0, -9999999999.0);
    EXPECT_EQ(g_seen.float0, -99999.0f);
    EXPECT_EQ(g_seen.default0, 1);
    EXPECT_EQ(g_seen.int2a, INT32_MIN);
    EXPECT_EQ(g_seen.int2b, INT32_MIN);
}

TEST_F(InterpreterTest, AnEmptyArgumentPositionReadsAsOmitted) {
    ASSERT_EQ(Run("b = New Button();\nb.SetText(7, , 3);\n"), 0);
    EXPECT_EQ(g_seen.argCount, 3);
    EXPECT_EQ(g_seen.int0, 7);
    EXPECT_STREQ(g_seen.text0, "7");
    EXPECT_EQ(g_seen.default0, 0);
    EXPECT_EQ(g_seen.default1, 1);
    EXPECT_EQ(g_seen.int2a, 7);
    EXPECT_EQ(g_seen.int2b, INT32_MIN);  // present but omitted
}

TEST_F(InterpreterTest, FifteenArgumentsReachTheHandlerSixteenRaise13) {
    ASSERT_EQ(Run("b = New Button();\nb.SetText(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15);\n"), 0);
    EXPECT_EQ(g_seen.argCount, 15);

    // The compiler refuses a 16th argument, so the call is extended by hand:
    // the one argument of b.SetText(1) becomes 16.
    ASSERT_TRUE(Compile("b = New Button();\nb.SetText(1);\n"));
    uint8_t* call = FindInstr(kOpMemberCall);
    ASSERT_NE(call, nullptr);
    std::vector<uint8_t> code(m_program.code.data(), NextInstr(call));
    for (int i = 0; i < 16; ++i) {
        const uint8_t number[8] = {kOpInt, 0, 8, 0, static_cast<uint8_t>(i), 0, 0, 0};
        code.insert(code.end(), number, number + 8);
        const uint8_t separator[4] = {static_cast<uint8_t>(i < 15 ? kOpComma : kOpCloseParen), 0, 4, 0};
        code.insert(code.end(), separator, separator + 4);
    }
    const uint8_t tail[8] = {kOpSemicolon, 0, 4, 0, kOpEnd, 0, 4, 0};
    code.insert(code.end(), tail, tail + 8);
    m_program.code = code;
    g_seen = CSeen();
    EXPECT_EQ(RunProgram(), 13);
    EXPECT_TRUE(g_seen.calls.empty());
}

TEST_F(InterpreterTest, ArgumentListsNestedDeeperThanTheFramesAreRefused) {
    std::string source = "Function F(x) {\n Return x;\n}\nr = ";
    const int depth = 20;
    for (int i = 0; i < depth; ++i)
        source += "F(";
    source += "1";
    for (int i = 0; i < depth; ++i)
        source += ")";
    source += ";\n";
    EXPECT_EQ(Run(source.c_str()), 15);
    EXPECT_EQ(m_error.line, 3);
    // 14 levels still fit.
    EXPECT_EQ(Run("Function F(x) {\n Return x;\n}\n"
                  "r = F(F(F(F(F(F(F(F(F(F(F(F(F(F(2))))))))))))));\n"),
              0);
    EXPECT_EQ(GlobalInt("r"), 2);
}

TEST_F(InterpreterTest, InstanceNumbersCountPerClassAndAcrossRuns) {
    ASSERT_EQ(Run("a = New Button();\nb = New Button();\nDelete a;\nc = New Button();\nw = New Window();\n"), 0);
    EXPECT_EQ(Global("b")->GetObject()->m_instanceNumber, 2u);
    EXPECT_EQ(Global("c")->GetObject()->m_instanceNumber, 3u);
    EXPECT_EQ(Global("w")->GetObject()->m_instanceNumber, 1u);
    // A second run starts with no objects; numbers go on.
    ASSERT_EQ(Run("d = New Button();\n"), 0);
    EXPECT_EQ(m_in.CountInstances(kClassButton), 1);
    EXPECT_EQ(Global("d")->GetObject()->m_instanceNumber, 4u);
}

TEST_F(InterpreterTest, DeleteTurnsEveryReferenceInto0) {
    ASSERT_EQ(Run("b = New Button();\nc = b;\nl[3] = b;\nDelete c;\n"), 0);
    EXPECT_EQ(Global("b")->GetTag(), static_cast<uint32_t>(CValue::kInt));
    EXPECT_EQ(GlobalInt("b"), 0);
    EXPECT_EQ(GlobalInt("c"), 0);
    EXPECT_EQ(m_in.CountInstances(kClassButton), 0);
}

TEST_F(InterpreterTest, DeleteCascadesToDependentsOnceEach) {
    // w2 depends on w and b1 on w2. Destroying w2 takes b1 with it, and the
    // cascade must not destroy b1 a second time (the sanitizer would see
    // that).
    ASSERT_EQ(Run("w = New Window();\nw2 = New Window(w);\nb1 = New Button(w2);\nb2 = New Button();\nDelete w;\n"), 0);
    EXPECT_EQ(g_seen.destroyed, 3);
    EXPECT_EQ(GlobalInt("w"), 0);
    EXPECT_EQ(GlobalInt("w2"), 0);
    EXPECT_EQ(GlobalInt("b1"), 0);
    EXPECT_EQ(Global("b2")->GetTag(), static_cast<uint32_t>(CValue::kObject));
    EXPECT_EQ(m_in.CountInstances(kClassButton), 1);
}

TEST_F(InterpreterTest, ARefusedObjectGives0AndLeavesNoInstance) {
    ASSERT_EQ(Run("b = New Button(-1);\n"), 0);
    EXPECT_EQ(GlobalInt("b"), 0);
    EXPECT_EQ(m_in.CountInstances(kClassButton), 0);
}

TEST_F(InterpreterTest, AnErrorSwallowedInsideNestedLoopsRestoresTheCallersState) {
    ASSERT_EQ(Run("Function Bad() {\n While (1) {\n  For (i = 0; i < 5; i++) {\n   x = 1 / 0;\n  }\n }\n}\n"
                  "Function Outer(b) {\n b.GetText(Bad);\n n = 0;\n While (n < 3) n++;\n Return 7 + n;\n}\n"
                  "b = New Button();\nr = Outer(b);\nafter = 1;\n"),
              0);
    EXPECT_EQ(GlobalInt("r"), 10);
    EXPECT_EQ(GlobalInt("after"), 1);
    EXPECT_EQ(m_in.GetBlockLevel(), 0);
}

TEST_F(InterpreterTest, AHandlersTextSurvivesTheStatementStringsBeingFreed) {
    ASSERT_EQ(Run("b = New Button();\nb.GetX(42);\nb.GetX(2.5);\n"), 0);
    EXPECT_EQ(g_seen.keptText, "2.5");
}

TEST_F(InterpreterTest, StatementStringsAreNeverNull) {
    for (int i = 0; i < 300; ++i)
        ASSERT_NE(m_in.AllocStatementString(16), nullptr);
    EXPECT_EQ(m_in.GetStatementStringCount(), 300u);
    m_in.FreeStatementStrings();
    EXPECT_EQ(m_in.GetStatementStringCount(), 0u);
}

TEST_F(InterpreterTest, AMissingBlockRecordIsAnErrorNotACrash) {
    ASSERT_TRUE(Compile("x = 0;\n{\n x = 1;\n}\n"));
    uint8_t* open = FindInstr(kOpOpenBrace);
    ASSERT_NE(open, nullptr);
    WriteU32(open + kFieldBlockIndex, 999);
    EXPECT_EQ(RunProgram(), 20);
}

TEST_F(InterpreterTest, ClassConstantsAndTheirErrors) {
    ASSERT_EQ(Run("a = Button.TABSTOP;\n"), 0);
    const CConstantValue* tabstop = FindClassConstant(kClassButton, 44);
    ASSERT_NE(tabstop, nullptr);
    EXPECT_EQ(GlobalInt("a"), tabstop->value);
    EXPECT_EQ(Run("a = Button.SetText;\n"), 11);  // a method, not a constant
    // A constant read through an object goes the same way.
    ASSERT_EQ(Run("b = New Button();\nc = b.TABSTOP;\n"), 0);
    EXPECT_EQ(GlobalInt("c"), tabstop->value);
}

TEST_F(InterpreterTest, RuntimeErrorsCarryModuleLineAndColumn) {
    EXPECT_EQ(Run("x = 1;\n\n  y = x / 0;\n"), 111);
    EXPECT_EQ(m_error.module, "test");
    EXPECT_EQ(m_error.line, 2);
    EXPECT_GE(m_error.column, 2);
}

TEST_F(InterpreterTest, QuitEndsTheRunWithoutError) {
    EXPECT_EQ(Run("x = 1;\nb = New Button();\nb.ToBack();\nx = 2;\n"), 0);
    EXPECT_EQ(m_in.GetLastError(), nullptr);
    EXPECT_EQ(GlobalInt("x"), 1);
}

TEST_F(InterpreterTest, ARestartRunsTheProgramAgainWithFreshObjects) {
    // Without a package the same compiled program runs again.
    ASSERT_EQ(Run("n = 1;\nb = New Button();\nb.ToFront();\nafter = 1;\n"), 0);
    EXPECT_EQ(g_seen.restarts, 2);
    EXPECT_EQ(GlobalInt("after"), 1);
    EXPECT_EQ(m_in.CountInstances(kClassButton), 1);
    EXPECT_EQ(Global("b")->GetObject()->m_instanceNumber, 2u);
}

}  // namespace
