// The String, Math and Vector script classes through their member handlers.
#include "runtime/classes/class_registry.h"
#include "scriptsys/ci_math.h"
#include "scriptsys/ci_string.h"
#include "scriptsys/ci_vector.h"
#include "tests/support/script_call_harness.h"

#include <cmath>
#include <limits>

namespace {

enum StringMember {
    kBig = 1, kBold, kFontColor, kFontSize, kItalics, kSmall, kStrike, kSub, kSup, kToLower, kToUpper,
    kCharAt, kIndexOf, kLastIndexOf, kSubString, kLength, kGetFloat, kGetInt, kGetAscii, kCompareNoCase,
};

enum MathMember {
    kAbs = 1, kAsin, kAtan, kCeil, kCos, kExp, kFloor, kLog, kMax, kMin, kPow, kRandom, kRound, kSin,
    kSqrt, kTan, kPi, kAcos, kIsFloatFinite, kIsNotAFloatNumber, kSetRandom, kGetRadian, kGetDegree,
};

enum VectorMember {
    kSet = 1, kReset, kAddVector, kSubVector, kMulVector, kScale, kRescale, kNegate, kIsEqual, kGetLength,
    kDistance, kDotUniformized, kDot, kCross, kNormalize, kAverage, kLerp, kCombine, kGetX, kGetY, kGetZ,
    kSetX, kSetY, kSetZ, kMulVectorMatrix, kMulNormalMatrix,
};

class StringClassTest : public ScriptCallTest {
protected:
    CIString* Str(const char* text) {
        auto* s = static_cast<CIString*>(New(kClassString));
        s->SetText(text);
        return s;
    }
};

TEST_F(StringClassTest, WrappersBuildTheTagsAroundTheText) {
    CIString* s = Str("x");
    EXPECT_EQ(Text(Call(s, kBold)), "<B>x</B>");
    EXPECT_EQ(Text(Call(s, kBig)), "<BIG>x</BIG>");
    EXPECT_EQ(Text(Call(s, kSup)), "<SUP>x</SUP>");
    EXPECT_EQ(Text(Call(s, kFontColor, {0x12345678})), "<FONT COLOR=#345678>x</FONT>");
    EXPECT_EQ(Text(Call(s, kFontSize, {3})), "<FONT SIZE=3>x</FONT>");
    EXPECT_EQ(Text(Call(s, kToUpper)), "X");
    EXPECT_STREQ(s->GetText(), "x");  // members never change the text
}

TEST_F(StringClassTest, IndexesOutOfRangeGiveEmptyTextsOrMinusOne) {
    EXPECT_EQ(Call(Str("aaaa"), kLastIndexOf, {"aa"})->GetInt(), 2);
    EXPECT_EQ(Call(Str("aaa"), kLastIndexOf, {"aa"})->GetInt(), 0);
    EXPECT_EQ(Text(Call(Str("abcde"), kSubString, {2})), "cde");
    EXPECT_EQ(Text(Call(Str("abcde"), kSubString, {5})), "");
    EXPECT_EQ(Text(Call(Str("abcde"), kSubString, {CallArg::Omitted(), 2})), "ab");
    EXPECT_EQ(Text(Call(Str("abc"), kCharAt, {-1})), "");
    EXPECT_EQ(Text(Call(Str("abc"), kCharAt, {1})), "b");
    EXPECT_EQ(Call(Str("abcabc"), kIndexOf, {"c", 3})->GetInt(), 5);
    EXPECT_EQ(Call(Str("abc"), kIndexOf, {"c", 3})->GetInt(), -1);
    EXPECT_EQ(Call(Str("abc"), kIndexOf, {"b"})->GetInt(), 1);
    EXPECT_EQ(Call(Str("abc"), kLength)->GetInt(), 3);
    EXPECT_EQ(Call(Str("\xE9"), kGetAscii)->GetInt(), 0xE9);
    EXPECT_EQ(Call(Str("abc"), kGetAscii, {7})->GetInt(), 0);
}

TEST_F(StringClassTest, NumbersAreReadWithTheLiteralParser) {
    EXPECT_EQ(Call(Str("3.9"), kGetInt)->GetInt(), 3);
    EXPECT_EQ(Call(Str("0x10"), kGetInt)->GetInt(), 16);
    EXPECT_DOUBLE_EQ(Call(Str("2.5"), kGetFloat)->GetDouble(), 2.5);
    EXPECT_EQ(Call(Str(nullptr), kGetInt)->GetInt(), 0);
}

TEST_F(StringClassTest, CompareNoCaseNeedsItsArgument) {
    EXPECT_EQ(Call(Str("ABC"), kCompareNoCase, {"abc"})->GetInt(), 0);
    EXPECT_LT(Call(Str("abc"), kCompareNoCase, {"ABD"})->GetInt(), 0);
    EXPECT_EQ(Call(Str(nullptr), kCompareNoCase, {"x"})->GetInt(), 0);
    EXPECT_EQ(ErrorOf(Str("abc"), kCompareNoCase), 115);
}

// One argument names a string-bank element, by index or by name; the name is
// never taken as the text.
TEST_F(StringClassTest, NewStringNamingNoElementRaises79) {
    EXPECT_EQ(NewError(kClassString, {5}), 79);
    EXPECT_EQ(NewError(kClassString, {"made"}), 79);
}

class MathClassTest : public ScriptCallTest {
protected:
    CIMath* Math() { return static_cast<CIMath*>(m_interp.GetGlobalObject(CInterpretor::kGlobalMath)); }
};

TEST_F(MathClassTest, RoundKeepsTheIntegerPartOfNegativeHalves) {
    struct { double in, out; } cases[] = {{2.5, 3}, {2.4, 2}, {-2.5, -2}, {-2.6, -2}, {0.5, 1}};
    for (auto c : cases) EXPECT_EQ(Call(Math(), kRound, {c.in})->GetDouble(), c.out) << c.in;
}

TEST_F(MathClassTest, AbsKeepsTheKindOfItsArgument) {
    CValue* r = Call(Math(), kAbs, {-3});
    EXPECT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kInt));
    EXPECT_EQ(r->GetInt(), 3);
    r = Call(Math(), kAbs, {"-2.5"});
    EXPECT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kDouble));
    EXPECT_EQ(r->GetDouble(), 2.5);
    EXPECT_EQ(Call(Math(), kAbs, {-1.5})->GetDouble(), 1.5);
    EXPECT_EQ(Call(Math(), kAbs, {INT32_MIN})->GetInt(), INT32_MIN);  // no overflow trap
}

TEST_F(MathClassTest, MaxAndMinUnifyTheKinds) {
    CValue* r = Call(Math(), kMax, {2, 7});
    EXPECT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kInt));
    EXPECT_EQ(r->GetInt(), 7);
    r = Call(Math(), kMax, {2, 1.5});
    EXPECT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kDouble));
    EXPECT_EQ(r->GetDouble(), 2.0);
    EXPECT_EQ(Call(Math(), kMin, {-4, 3})->GetInt(), -4);
}

TEST_F(MathClassTest, SeededGeneratorsRepeatAndStayInRange) {
    Call(Math(), kSetRandom, {1});
    double first[5];
    for (double& d : first) d = Call(Math(), kRandom)->GetDouble();
    Call(Math(), kSetRandom, {1});
    for (double d : first) EXPECT_EQ(Call(Math(), kRandom)->GetDouble(), d);
    for (int i = 0; i < 2000; ++i) {
        CValue* r = Call(Math(), kRandom, {10});
        ASSERT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kInt));
        ASSERT_GE(r->GetInt(), 0);
        ASSERT_LE(r->GetInt(), 10);
    }
}

TEST_F(MathClassTest, FloatTestsAndAngleConversionsNeedTheirArgument) {
    for (int member : {kIsFloatFinite, kIsNotAFloatNumber, kGetRadian, kGetDegree})
        EXPECT_EQ(ErrorOf(Math(), member), 14) << member;
    EXPECT_EQ(Call(Math(), kIsFloatFinite, {1.0})->GetInt(), 1);
    EXPECT_EQ(Call(Math(), kIsFloatFinite, {std::numeric_limits<double>::infinity()})->GetInt(), 0);
    EXPECT_EQ(Call(Math(), kIsNotAFloatNumber, {std::nan("")})->GetInt(), 1);
    EXPECT_NEAR(Call(Math(), kGetRadian, {180})->GetDouble(), 3.141592653589793, 1e-12);
    EXPECT_NEAR(Call(Math(), kGetDegree, {3.141592653589793})->GetDouble(), 180.0, 1e-9);
    EXPECT_EQ(Call(Math(), kPi)->GetDouble(), 3.141592653589793);
    EXPECT_EQ(Call(Math(), kPow, {2, 10})->GetDouble(), 1024.0);
}

TEST_F(MathClassTest, MathIsGlobalAndCannotBeMadeWithNew) {
    EXPECT_NE(Math(), nullptr);
    EXPECT_EQ(NewError(kClassMath), 65);
}

class VectorClassTest : public ScriptCallTest {
protected:
    CIVector* Vec(float x, float y, float z) {
        auto* v = static_cast<CIVector*>(New(kClassVector, {static_cast<double>(x), static_cast<double>(y),
                                                            static_cast<double>(z)}));
        EXPECT_NE(v, nullptr);
        return v;
    }
    static void ExpectVector(const CIVector* v, float x, float y, float z) {
        EXPECT_FLOAT_EQ(v->m_v.x, x);
        EXPECT_FLOAT_EQ(v->m_v.y, y);
        EXPECT_FLOAT_EQ(v->m_v.z, z);
    }
};

TEST_F(VectorClassTest, VectorArgumentsComeAsObjectArrayOrNumbers) {
    CIVector* v = Vec(1, 0, 0);
    Call(v, kCross, {0, 1, 0});
    ExpectVector(v, 0, 0, 1);

    CIVector* other = Vec(1, 2, 3);
    Call(v, kSet, {other});
    ExpectVector(v, 1, 2, 3);

    CValue array(&m_interp);
    array.MakeArray();
    array.SetArrayItem(0, CValue(&m_interp, 4));
    array.SetArrayItem(1, CValue(&m_interp, 5));
    array.SetArrayItem(2, CValue(&m_interp, "x", 0));  // not a number: 0
    Call(v, kSet, {&array});
    ExpectVector(v, 4, 5, 0);

    Call(v, kSet, {7});  // missing parts are 0
    ExpectVector(v, 7, 0, 0);
}

TEST_F(VectorClassTest, OperationsChangeTheVectorAndQueriesAnswer) {
    CIVector* v = Vec(3, 4, 0);
    EXPECT_FLOAT_EQ(static_cast<float>(Call(v, kGetLength)->GetDouble()), 5.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(Call(v, kDistance, {3, 4, 0})->GetDouble()), 0.0f);
    EXPECT_EQ(Call(v, kIsEqual, {3, 4, 0})->GetInt(), 1);
    EXPECT_FLOAT_EQ(static_cast<float>(Call(v, kDot, {1, 1, 1})->GetDouble()), 7.0f);
    Call(v, kScale);  // omitted factor: unchanged
    ExpectVector(v, 3, 4, 0);
    Call(v, kRescale, {10});
    ExpectVector(v, 6, 8, 0);
    Call(v, kLerp, {0.5, 0, 0, 0});
    ExpectVector(v, 3, 4, 0);
    Call(v, kCombine, {2, 1, 1, 1, 1});
    ExpectVector(v, 7, 9, 1);
    Call(v, kSetZ, {2.5});
    EXPECT_EQ(Call(v, kGetZ)->GetDouble(), 2.5);
}

TEST_F(VectorClassTest, MissingOrWrongNumbersRaise14) {
    CIVector* v = Vec(1, 1, 1);
    EXPECT_EQ(ErrorOf(v, kLerp), 14);
    EXPECT_EQ(ErrorOf(v, kCombine, {1}), 14);
    EXPECT_EQ(ErrorOf(v, kCombine, {"a", 1}), 14);
    EXPECT_EQ(ErrorOf(v, kCombine, {v, 1}), 14);
    EXPECT_EQ(ErrorOf(v, kSetX), 14);
    EXPECT_EQ(ErrorOf(v, kSetY, {"2"}), 14);
    EXPECT_EQ(ErrorOf(v, kMulVectorMatrix, {3}), 47);
    ExpectVector(v, 1, 1, 1);
}

}  // namespace
