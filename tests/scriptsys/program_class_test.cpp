// The Program script class through its member handlers.
#include "runtime/classes/class_registry.h"
#include "scriptsys/ci_program.h"
#include "runtime/interp/script_array.h"
#include "scriptsys/error_info.h"
#include "tests/support/script_call_harness.h"

#include <cstring>

namespace {

enum ProgramMember {
    kRestart = 1, kGetCommandLine, kGetArgument, kWait, kSysDebug, kIsDebug, kIsRelease, kIsScreenSaver,
    kIsApplication, kGetNArguments, kIsStandAlone, kEnd, kGetChar, kGetString, kFlush, kSetFlush, kGetRGB,
    kGetRed, kGetGreen, kGetBlue, kGetDefaultGameInput, kIsScreenSaverSetupDialog, kIsScreenSaverControlPanel,
    kIsEditorMode, kIsDirectSound3DUsed, kIsDirectSound3DEnabled, kEnableDirectSound3D, kDisableDirectSound3D,
    kLoadString, kDebugBreak, kFillArray, kIsArray, kIsDefaultValue, kIsString, kIsNumber, kIsInteger,
    kIsFloat, kIsObject, kIsFunction, kGetArrayDimensionCount, kGetArrayDimensionSize, kAddToDebugger,
    kRemoveFromDebugger, kDisableEvents, kEnableEvents, kEventsEnabled, kOnError, kGetLastError,
    kGetErrorMessage, kIsQuickTimeInstalled, kIsModPlugInstalled, kIsSpeechInstalled, kIsQuickTimeVRInstalled,
    kGetAscii, kGetApplicationDirectory,
};

class ProgramClassTest : public ScriptCallTest {
protected:
    CIProgram* Program() { return static_cast<CIProgram*>(m_interp.GetGlobalObject(CInterpretor::kGlobalProgram)); }
    int32_t Int(int32_t member, std::initializer_list<CallArg> args = {}) {
        return Call(Program(), member, args)->GetInt();
    }
};

TEST_F(ProgramClassTest, EndAndRestartRaiseCodesZeroAndOne) {
    EXPECT_EQ(ErrorOf(Program(), kEnd), 0);
    EXPECT_EQ(ErrorOf(Program(), kRestart), 1);
    EXPECT_EQ(NewError(kClassProgram), 65);
}

TEST_F(ProgramClassTest, ColoursPackAndUnpack) {
    EXPECT_EQ(Int(kGetRGB, {1, 2, 3}), 0x010203);
    EXPECT_EQ(Int(kGetRGB, {0x1FF, CallArg::Omitted(), 3}), 0xFF0003);
    EXPECT_EQ(Int(kGetGreen, {0x010203}), 2);
    EXPECT_EQ(Int(kGetRed, {0x010203}), 1);
    EXPECT_EQ(Int(kGetBlue, {0x010203}), 3);
}

TEST_F(ProgramClassTest, CharactersAndNumberTexts) {
    EXPECT_EQ(ErrorOf(Program(), kGetChar, {0}), 14);
    EXPECT_EQ(ErrorOf(Program(), kGetChar, {256}), 14);
    EXPECT_EQ(Text(Call(Program(), kGetChar, {65})), "A");
    EXPECT_EQ(Text(Call(Program(), kGetString, {0.5})), "0.5");
    EXPECT_EQ(Text(Call(Program(), kGetString, {1e20})), "1e+20");
    EXPECT_EQ(Int(kGetAscii, {"\xE9"}), -23);  // a signed byte
    EXPECT_EQ(Int(kGetAscii), 0);
}

TEST_F(ProgramClassTest, ErrorMessagesOfCodes) {
    EXPECT_EQ(Text(Call(Program(), kGetErrorMessage, {12})), "Error #12");
    EXPECT_EQ(Text(Call(Program(), kGetErrorMessage)), "");
    // A platform code gives the platform's text without its final full stop.
    const std::string text = Text(Call(Program(), kGetErrorMessage, {0x80000002u}));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.rfind("Error #", 0), std::string::npos);
    EXPECT_NE(text.back(), '.');
}

TEST_F(ProgramClassTest, LastErrorIsClearedWhenRead) {
    CIError error(48);
    error.line = 4;
    error.column = 2;
    Program()->SetLastError(error, "Error #48");
    EXPECT_EQ(Int(kGetLastError), 48);
    EXPECT_EQ(Int(kGetLastError), 0);
    EXPECT_EQ(Program()->GetLastErrorInfo().line, CErrorInfo::kUnknown);
}

TEST_F(ProgramClassTest, TypeTestsOfValues) {
    EXPECT_EQ(Int(kIsString, {"a"}), 1);
    EXPECT_EQ(Int(kIsString, {1}), 0);
    EXPECT_EQ(Int(kIsNumber, {1.5}), 1);
    EXPECT_EQ(Int(kIsNumber, {"1"}), 0);
    EXPECT_EQ(Int(kIsInteger, {1}), 1);
    EXPECT_EQ(Int(kIsFloat, {1}), 0);
    EXPECT_EQ(Int(kIsDefaultValue), 1);
    EXPECT_EQ(Int(kIsDefaultValue, {CallArg::Omitted()}), 1);
    EXPECT_EQ(Int(kIsDefaultValue, {0}), 0);
    EXPECT_EQ(Int(kIsObject, {5}), 0);
    EXPECT_EQ(Int(kIsObject, {Program()}), 1);
    EXPECT_EQ(Int(kIsObject, {Program(), "Program"}), 1);
    EXPECT_EQ(Int(kIsObject, {Program(), "program"}), 0);  // exact
    EXPECT_EQ(Int(kIsObject, {Program(), ""}), 0);
}

TEST_F(ProgramClassTest, ArraySizesAndFilling) {
    CValue array(&m_interp);
    array.MakeArray();
    const int32_t at[2] = {2, 1};
    array.SetArrayItemAt(at, 2, CValue(&m_interp, 9));  // a 3 x 2 array
    EXPECT_EQ(Int(kIsArray, {&array}), 1);
    EXPECT_EQ(Int(kGetArrayDimensionCount, {&array}), 2);
    EXPECT_EQ(Int(kGetArrayDimensionSize, {&array, 0}), 3);
    EXPECT_EQ(Int(kGetArrayDimensionSize, {&array, 1}), 2);
    EXPECT_EQ(ErrorOf(Program(), kGetArrayDimensionSize, {&array}), 21);
    EXPECT_EQ(ErrorOf(Program(), kGetArrayDimensionSize, {&array, 2}), 45);
    EXPECT_EQ(ErrorOf(Program(), kGetArrayDimensionSize, {&array, -1}), 45);
    EXPECT_EQ(ErrorOf(Program(), kGetArrayDimensionCount, {3}), 46);
    EXPECT_EQ(ErrorOf(Program(), kFillArray, {3, 1}), 46);

    Call(Program(), kFillArray, {&array, "z"});
    CScriptArray* a = array.GetArray();
    ASSERT_NE(a, nullptr);
    for (uint32_t i = 0; i < a->GetCellCount(); ++i) {
        ASSERT_NE(a->GetCell(i), nullptr);
        EXPECT_STREQ(a->GetCell(i)->GetText(), "z") << i;
    }

    CValue line(&m_interp);
    line.MakeArray();
    line.SetArrayItem(4, CValue(&m_interp, 1));
    EXPECT_EQ(Int(kGetArrayDimensionSize, {&line}), 5);
}

TEST_F(ProgramClassTest, EnablingDirectSound3DSetsWhatDisablingClears) {
    Call(Program(), kDisableDirectSound3D);
    EXPECT_EQ(Int(kIsDirectSound3DEnabled), 0);
    EXPECT_EQ(Int(kIsDirectSound3DUsed), 0);
    Call(Program(), kEnableDirectSound3D);
    EXPECT_EQ(Int(kIsDirectSound3DEnabled), 1);
    Call(Program(), kDisableDirectSound3D);
    EXPECT_EQ(Int(kIsDirectSound3DEnabled), 0);
}

TEST_F(ProgramClassTest, SwitchingDirectSound3DIsRefusedWhileASpeakerExists) {
    CIBaseClassImpl speaker(&m_interp, m_interp.GetClassRecord(kClassSpeaker), kClassSpeaker, true);
    EXPECT_EQ(ErrorOf(Program(), kDisableDirectSound3D), 78);
    EXPECT_EQ(ErrorOf(Program(), kEnableDirectSound3D), 78);
    speaker.UnlinkFromClassList();
}

TEST_F(ProgramClassTest, EventSwitchAndFixedAnswers) {
    Call(Program(), kDisableEvents);
    EXPECT_EQ(Int(kEventsEnabled), 0);
    Call(Program(), kEnableEvents);
    EXPECT_EQ(Int(kEventsEnabled), 1);
    EXPECT_EQ(Int(kIsApplication), 1);
    EXPECT_EQ(Int(kIsStandAlone), 1);
    EXPECT_EQ(Int(kIsScreenSaver), 0);
    EXPECT_EQ(Int(kIsEditorMode), 0);
    EXPECT_EQ(Int(kIsDebug) + Int(kIsRelease), 1);
    EXPECT_EQ(ErrorOf(Program(), kSetFlush, {0}), 14);
    EXPECT_EQ(ErrorOf(Program(), kGetDefaultGameInput), 91);
    EXPECT_EQ(ErrorOf(Program(), kLoadString, {"nothing"}), 79);
}

TEST_F(ProgramClassTest, CommandLineTokens) {
    m_interp.m_programState.commandLine = "first 'two words' \"x y\"";
    EXPECT_EQ(Text(Call(Program(), kGetCommandLine)), m_interp.m_programState.commandLine);
    EXPECT_EQ(Int(kGetNArguments), 3);
    EXPECT_EQ(Text(Call(Program(), kGetArgument, {1})), "two words");
    EXPECT_EQ(Text(Call(Program(), kGetArgument, {2})), "x y");
    EXPECT_EQ(Text(Call(Program(), kGetArgument, {3})), "");
    EXPECT_EQ(Text(Call(Program(), kGetArgument, {-1})), "");
}

TEST_F(ProgramClassTest, WaitIsRefusedInTheNoWaitState) {
    m_interp.m_programState.noWait = 1;
    EXPECT_EQ(ErrorOf(Program(), kWait, {5}), 84);
    m_interp.m_programState.noWait = 0;
    EXPECT_EQ(ErrorOf(Program(), kWait, {5}), -1);
}

TEST_F(ProgramClassTest, ApplicationDirectoryEndsWithASeparator) {
    const std::string dir = Text(Call(Program(), kGetApplicationDirectory));
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(dir.back() == '\\' || dir.back() == '/');
}

}  // namespace
