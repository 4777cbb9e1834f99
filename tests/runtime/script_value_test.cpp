#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/script_value.h"

#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <string>

namespace {

class TestObject : public CIBaseClassImpl {
public:
    TestObject(CInterpretor* interpretor, uint32_t classId) : CIBaseClassImpl(interpretor, nullptr, classId, true) {}
};

// Runs f and answers its result text, or "E<code>" when it raised.
template <class F>
std::string Try(F f) {
    try {
        return f();
    } catch (const CIError& e) {
        return "E" + std::to_string(e.code);
    }
}

std::string Num(double d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12g", d);
    return buf;
}

// Operands of the tables.
enum class K { Int, Dbl, Txt, NullTxt, Live, Live2, NullObj, Omit, Place6, Place7, Func, Arr };
struct Operand {
    K kind;
    double n;
    const char* s;
};
Operand I(int i) { return {K::Int, static_cast<double>(i), nullptr}; }
Operand D(double d) { return {K::Dbl, d, nullptr}; }
Operand T(const char* s) { return {K::Txt, 0, s}; }
Operand Of(K k) { return {k, 0, nullptr}; }

class ValueTest : public ::testing::Test {
protected:
    CInterpretor interp;
    TestObject live{&interp, 3};
    TestObject live2{&interp, 3};
    CFunctionRecord* func = reinterpret_cast<CFunctionRecord*>(uintptr_t(0x1234));

    void Load(CValue& v, const Operand& o) {
        switch (o.kind) {
        case K::Int: v.SetInt(static_cast<int32_t>(o.n)); break;
        case K::Dbl: v.SetDouble(o.n); break;
        case K::Txt: v.SetString(o.s, 0); break;
        case K::NullTxt: v.SetString(nullptr, 0); break;
        case K::Live: v.SetObject(&live, 1); break;
        case K::Live2: v.SetObject(&live2, 1); break;
        case K::NullObj: { CValue n(static_cast<CIBaseClassImpl*>(nullptr)); v.Assign(n); break; }
        case K::Omit: v.SetDefault(); break;
        case K::Place6: v.SetReference(6, 0x40); break;
        case K::Place7: v.SetReference(7, 0x40); break;
        case K::Func: v.SetFunction(func); break;
        case K::Arr: v.MakeArray(); break;
        }
    }

    std::string Describe(const CValue& v) {
        switch (v.GetTag()) {
        case CValue::kInt: return "i:" + std::to_string(v.GetInt());
        case CValue::kDouble: return "d:" + Num(v.GetDouble());
        case CValue::kText: return "t:" + std::string(v.GetString());
        case CValue::kObject:
            return v.GetObject() == nullptr ? "o:null" : (v.GetObject() == &live ? "o:live" : "o:live2");
        default: return "tag" + std::to_string(v.GetTag());
        }
    }
};

}  // namespace

TEST_F(ValueTest, ReadersByKind) {
    struct Case { Operand o; const char *asInt, *asDouble, *asFloat, *asString, *asObject; };
    const Case cases[] = {
        {I(42), "42", "42", "42", "42", "E18"},
        {D(-2.75), "-2", "-2.75", "-2.75", "-2.75", "E18"},
        {D(3e10), "-2147483648", "30000000000", "30000001024", "3e+10", "E18"},
        {T(" \t-17.5e1x"), "-17", "-175", "-175", " \t-17.5e1x", "E18"},
        {T("0x1A"), "0", "0", "0", "0x1A", "E18"},
        {T("99999999999"), "2147483647", "99999999999", "99999997952", "99999999999", "E18"},
        {T("abc"), "0", "0", "0", "abc", "E18"},
        {Of(K::NullTxt), "0", "0", "0", "", "E18"},
        {Of(K::Live), "E18", "E18", "E18", "E18", "live"},
        {Of(K::NullObj), "E18", "E18", "E18", "E18", "null"},
        {Of(K::Arr), "0", "0", "0", "", "E18"},
        {Of(K::Omit), "-2147483648", "-9999999999", "-99999", "Default string", "E41"},
        {Of(K::Place6), "E41", "E41", "E41", "E41", "E41"},
        {Of(K::Place7), "E41", "E41", "E41", "E41", "E41"},
        {Of(K::Func), "E41", "E41", "E41", "E41", "E18"},
    };
    for (const Case& c : cases) {
        CValue v(&interp);
        Load(v, c.o);
        SCOPED_TRACE(Describe(v));
        EXPECT_EQ(Try([&] { return std::to_string(v.GetInt()); }), c.asInt);
        EXPECT_EQ(Try([&] { return Num(v.GetDouble()); }), c.asDouble);
        EXPECT_EQ(Try([&] { return Num(v.GetFloat()); }), c.asFloat);
        EXPECT_EQ(Try([&] { return std::string(v.GetString()); }), c.asString);
        EXPECT_EQ(Try([&] { return std::string(v.GetObject() ? "live" : "null"); }), c.asObject);
    }
    CValue fresh;
    EXPECT_EQ(fresh.GetTag(), CValue::kNone);
    EXPECT_EQ(Try([&] { return std::to_string(fresh.GetInt()); }), "E41");
}

TEST_F(ValueTest, StrictReaders) {
    struct Case { Operand o; const char *nonNull, *function, *payload, *cell; };
    const Case cases[] = {
        {Of(K::Live), "ok", "E40", "E41", "E41"},
        {Of(K::NullObj), "E32", "E40", "E41", "E41"},
        {I(1), "E18", "E40", "E41", "E41"},
        {Of(K::Omit), "E41", "E40", "E41", "E41"},
        {Of(K::Func), "E18", "ok", "E41", "E41"},
        {Of(K::Place7), "E41", "E41", "ok", "E41"},
    };
    for (const Case& c : cases) {
        CValue v(&interp);
        Load(v, c.o);
        SCOPED_TRACE(Describe(v));
        EXPECT_EQ(Try([&] { v.GetObjectNonNull(); return std::string("ok"); }), c.nonNull);
        EXPECT_EQ(Try([&] { return std::string(v.GetFunction() == func ? "ok" : "wrong"); }), c.function);
        EXPECT_EQ(Try([&] { return std::string(v.GetReferencePayload() == 0x40 ? "ok" : "wrong"); }), c.payload);
        EXPECT_EQ(Try([&] { return std::string(v.GetArrayCellReference() == 0x40 ? "ok" : "wrong"); }), c.cell);
    }
    CValue place(&interp);
    place.SetReference(6, 0);  // a place without payload
    EXPECT_EQ(Try([&] { place.GetReferencePayload(); return std::string("ok"); }), "E41");
    place.SetReference(10, 0x80);
    EXPECT_EQ(place.GetArrayCellReference(), 0x80u);
    EXPECT_EQ(Try([&] { place.SetReference(5, 1); return std::string("ok"); }), "E41");

    CValue o(&interp);
    o.SetObject(&live, 1);
    EXPECT_TRUE(o.IsObjectOfClass(3));
    EXPECT_FALSE(o.IsObjectOfClass(0));
    EXPECT_EQ(o.GetObjectClassId(), 3);
    o.SetInt(3);
    EXPECT_EQ(o.GetObjectClassId(), -1);
    EXPECT_FALSE(o.IsObjectOfClass(3));
}

TEST_F(ValueTest, AssignmentAndSetters) {
    CValue src(&interp, "text", 0);
    CValue dst(&interp);
    dst.Assign(src);
    EXPECT_NE(dst.GetText(), src.GetText());  // an own copy
    src.SetString("changed", 0);
    EXPECT_STREQ(dst.GetString(), "text");

    // Borrowed text is never freed; taking a copy of it gives owned text.
    static const char kLiteral[] = "borrowed";
    CValue borrowed(&interp, kLiteral, 1);
    EXPECT_EQ(borrowed.GetText(), kLiteral);
    EXPECT_EQ(borrowed.GetFlags() & CValue::kBorrowed, CValue::kBorrowed);
    dst.Assign(borrowed);
    EXPECT_EQ(dst.GetFlags() & CValue::kBorrowed, 0u);
    borrowed.SetInt(1);
    EXPECT_EQ(borrowed.GetFlags(), 0u);

    // A text assigned from inside itself survives the drop of the old text.
    dst.SetString(dst.GetText() + 1, 0);
    EXPECT_STREQ(dst.GetString(), "orrowed");

    CValue place(&interp);
    place.SetReference(8, 0x10);
    EXPECT_EQ(Try([&] { dst.Assign(place); return std::string("ok"); }), "E41");
    CValue none;
    EXPECT_EQ(Try([&] { dst.Assign(none); return std::string("ok"); }), "E41");

    EXPECT_EQ(dst.AllocString(0), nullptr);
    EXPECT_EQ(dst.GetTag(), CValue::kText);
    EXPECT_STREQ(dst.GetString(), "");
    char* buf = dst.AllocString(16);
    ASSERT_NE(buf, nullptr);
    EXPECT_STREQ(dst.GetString(), "");

    CValue withSource(&interp, &src);
    EXPECT_STREQ(withSource.GetString(), "changed");
    CValue fromInt(&interp, 7);
    dst.Clear();
    EXPECT_EQ(Describe(dst), "i:0");
    dst.SetDefault();
    EXPECT_TRUE(dst.IsDefault());
    dst.Assign(fromInt);
    EXPECT_EQ(Describe(dst), "i:7");
}

// A copy of a copied text shares its block; whatever changes one holder in
// place (appending, cutting, prepending) leaves the others as they were.
TEST_F(ValueTest, CopiesShareTextUntilOneChanges) {
    CValue a(&interp, "abc", 0);
    CValue b(&interp), c(&interp);
    b.Assign(a);
    c.Assign(b);
    EXPECT_EQ(c.GetText(), b.GetText());  // shared

    b.AppendText("de");
    EXPECT_STREQ(b.GetString(), "abcde");
    EXPECT_STREQ(c.GetString(), "abc");
    c.AppendText("x");  // the only holder now: in place, the copy untouched
    EXPECT_STREQ(c.GetString(), "abcx");
    EXPECT_STREQ(b.GetString(), "abcde");

    CValue d(&interp);
    d.Assign(b);
    d.TruncateText(2);
    EXPECT_STREQ(d.GetString(), "ab");
    EXPECT_STREQ(b.GetString(), "abcde");
    EXPECT_EQ(d.TextLength(), 2u);

    d.Assign(b);
    d.PrependText("<");
    EXPECT_STREQ(d.GetString(), "<abcde");
    EXPECT_STREQ(b.GetString(), "abcde");
    // Built from the front: the block has room there after the first copy,
    // and copies made along the way keep their own texts.
    CValue built(&interp, "", 0);
    CValue kept(&interp);
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        const char part[2] = {static_cast<char>('a' + i % 26), 0};
        built.PrependText(part);
        expected.insert(0, part);
        if (i == 50)
            kept.Assign(built);
    }
    EXPECT_EQ(std::string(built.GetString()), expected);
    EXPECT_EQ(built.TextLength(), expected.size());
    EXPECT_EQ(std::string(kept.GetString()), expected.substr(expected.size() - 51));
    // Appending to a text that was built from the front.
    built.AppendText("!");
    EXPECT_EQ(std::string(built.GetString()), expected + "!");
    // The prepended text may lie inside the block itself.
    built.PrependText(built.GetText() + 190);
    EXPECT_EQ(std::string(built.GetString()), expected.substr(190) + "!" + expected + "!");
}

TEST_F(ValueTest, Conversions) {
    struct Case { Operand o; const char *toDouble, *toString, *toInt; };
    const Case cases[] = {
        {I(-5), "d:-5", "t:-5", "i:-5"},
        {D(0.1 + 0.2), "d:0.3", "t:0.3", "i:0"},
        {D(1e20), "d:1e+20", "t:1e+20", "i:-2147483648"},
        {D(-7.9), "d:-7.9", "t:-7.9", "i:-7"},
        {T("12.5abc"), "d:12.5", "t:12.5abc", "i:0"},  // text to int: no parsing
        {Of(K::NullTxt), "d:0", "t:", "i:0"},
        {Of(K::Live), "E18", "E18", "E18"},
        {Of(K::Arr), "d:0", "E44", "E44"},
        {Of(K::Omit), "d:-9999999999", "tag11", "i:-2147483648"},
        {Of(K::Func), "E41", "tag4", "E41"},
        {Of(K::Place6), "E41", "E41", "E41"},
    };
    for (const Case& c : cases) {
        CValue a(&interp), b(&interp), i(&interp);
        Load(a, c.o);
        Load(b, c.o);
        Load(i, c.o);
        SCOPED_TRACE(Describe(a));
        EXPECT_EQ(Try([&] { a.ConvertToDouble(); return Describe(a); }), c.toDouble);
        EXPECT_EQ(Try([&] { b.ConvertToString(); return Describe(b); }), c.toString);
        EXPECT_EQ(Try([&] { i.ConvertToInt(); return Describe(i); }), c.toInt);
    }
}

TEST_F(ValueTest, UnifyNumeric) {
    struct Case { Operand a, b; const char *left, *right; };
    const Case cases[] = {
        {I(1), I(2), "i:1", "i:2"},
        {I(1), D(2.5), "d:1", "d:2.5"},
        {D(2.5), I(1), "d:2.5", "d:1"},
        {D(2.5), T("4.25"), "d:2.5", "d:4.25"},
        {T("4.25"), D(2.5), "d:4.25", "d:2.5"},
        {I(3), T("4"), "i:3", "i:0"},
        {T("4"), T("5"), "i:0", "i:0"},
        {Of(K::Live), I(0), "E18", ""},
        {I(0), Of(K::Live), "E18", ""},
        {I(1), Of(K::Omit), "E41", ""},
    };
    for (const Case& c : cases) {
        CValue a(&interp), b(&interp);
        Load(a, c.a);
        Load(b, c.b);
        std::string got = Try([&] { a.UnifyNumeric(b); return Describe(a); });
        EXPECT_EQ(got, c.left);
        if (got[0] != 'E') {
            EXPECT_EQ(Describe(b), c.right);
        }
    }
}

TEST_F(ValueTest, BinaryOperators) {
    using O = CValueOp;
    struct Case { Operand a; O op; Operand b; const char* result; };
    const Case cases[] = {
        // unification and arithmetic
        {T("ab"), O::Add, I(3), "t:ab3"}, {I(3), O::Add, T("ab"), "t:3ab"},
        {I(1), O::Add, D(2.5), "d:3.5"}, {D(0.1), O::Add, D(0.2), "d:0.3"},
        {I(INT_MAX), O::Add, I(1), "i:-2147483648"}, {I(INT_MIN), O::Sub, I(1), "i:2147483647"},
        {I(65536), O::Mul, I(65536), "i:0"}, {D(1.5), O::Mul, I(4), "d:6"},
        {I(7), O::Div, I(2), "i:3"}, {I(-7), O::Div, I(2), "i:-3"}, {I(-7), O::Mod, I(2), "i:-1"},
        {I(INT_MIN), O::Div, I(-1), "i:-2147483648"}, {I(INT_MIN), O::Mod, I(-1), "i:0"},
        {I(5), O::Div, I(0), "E111"}, {I(5), O::Mod, I(0), "E111"},
        {D(5), O::Div, D(0.0), "E111"}, {D(5.5), O::Mod, I(0), "E111"},
        {D(5.5), O::Mod, I(2), "d:1.5"}, {I(7), O::Div, D(2), "d:3.5"},
        // text
        {T("banana"), O::Sub, T("an"), "t:ba"}, {T("aaa"), O::Sub, T("aa"), "t:a"},
        {T("abc"), O::Sub, T(""), "t:abc"}, {Of(K::NullTxt), O::Sub, T("a"), "t:"},
        {T("x1x"), O::Sub, I(1), "t:xx"}, {T("a"), O::Add, Of(K::Omit), "t:aDefault string"},
        {T("a"), O::Add, Of(K::NullTxt), "t:a"}, {Of(K::NullTxt), O::Add, T("b"), "t:b"},
        {T("a"), O::Mul, I(2), "E12"}, {T("a"), O::Div, I(2), "E12"}, {T("a"), O::Mod, I(2), "E12"},
        {T("8"), O::ShiftLeft, I(1), "E12"}, {T("8"), O::ShiftRight, I(1), "E12"},
        {T("a"), O::BitAnd, I(1), "E12"}, {T("a"), O::LogicalAnd, I(1), "E12"},
        {T("a"), O::Add, Of(K::Live), "E18"}, {T("a"), O::Add, Of(K::Arr), "E44"},
        {T("a"), O::Add, Of(K::Place6), "E41"}, {T("a"), O::Add, Of(K::Func), "E41"},
        // shifts and bits
        {I(1), O::ShiftLeft, I(33), "i:2"}, {I(-1), O::ShiftLeft, I(31), "i:-2147483648"},
        {I(-16), O::ShiftRight, I(2), "i:-4"}, {I(8), O::ShiftRight, T("2"), "i:2"},
        {I(8), O::ShiftRight, Of(K::Omit), "i:8"}, {D(8.9), O::ShiftRight, I(1), "i:4"},
        {I(8), O::ShiftRight, Of(K::Live), "E18"}, {Of(K::Live), O::ShiftRight, I(1), "E18"},
        {D(5.9), O::ShiftLeft, I(1), "i:10"}, {D(7.9), O::BitAnd, I(3), "i:3"},
        {I(6), O::BitOr, D(1.5), "i:7"}, {I(5), O::BitXor, I(1), "i:4"},
        {I(-1), O::BitAnd, I(255), "i:255"}, {I(6), O::BitOr, I(9), "i:15"}, {I(-7), O::Mul, I(3), "i:-21"},
        // comparisons
        {I(2), O::Less, I(3), "i:1"}, {I(2), O::GreaterEqual, I(3), "i:0"},
        {I(3), O::Equal, I(3), "i:1"}, {I(4), O::NotEqual, I(4), "i:0"}, {I(-1), O::Greater, I(1), "i:0"},
        {I(INT_MIN), O::LessEqual, I(INT_MIN), "i:1"}, {I(INT_MIN), O::Less, I(INT_MAX), "i:1"},
        {D(2.5), O::GreaterEqual, I(2), "i:1"}, {D(2), O::Equal, I(2), "i:1"},
        {T("abc"), O::Less, T("abd"), "i:1"}, {T("b"), O::Greater, T("a"), "i:1"},
        {T("\xe9"), O::Greater, T("a"), "i:1"}, {T("ab"), O::LessEqual, T("ab"), "i:1"},
        {T("abc"), O::Equal, T("abc"), "i:1"}, {T("abc"), O::Equal, T("ABC"), "i:0"},
        {T("10"), O::Equal, I(10), "i:1"}, {T("1.50"), O::Equal, D(1.5), "i:0"},
        {Of(K::NullTxt), O::Equal, T(""), "i:1"}, {T("x"), O::NotEqual, T("x"), "i:0"},
        // logical (both operands already evaluated)
        {I(2), O::LogicalAnd, I(0), "i:0"}, {I(0), O::LogicalOr, I(3), "i:1"},
        {I(2), O::LogicalAnd, I(-1), "i:1"}, {D(0.5), O::LogicalAnd, D(1), "i:0"},
        {D(0.5), O::LogicalOr, D(1), "i:1"},
        // objects: only integer 0 stands for a null reference
        {Of(K::NullObj), O::Equal, I(0), "i:1"}, {Of(K::Live), O::Equal, I(0), "i:0"},
        {I(0), O::NotEqual, Of(K::Live), "i:1"}, {Of(K::Live), O::Equal, Of(K::Live), "i:1"},
        {Of(K::Live), O::NotEqual, Of(K::Live2), "i:1"}, {Of(K::NullObj), O::Equal, Of(K::NullObj), "i:1"},
        {Of(K::Live), O::Equal, I(5), "i:0"}, {Of(K::Live), O::NotEqual, I(5), "i:1"},
        {I(5), O::Equal, Of(K::Live), "i:0"}, {I(5), O::NotEqual, Of(K::Live), "i:1"},
        {Of(K::Live), O::Add, I(1), "E18"}, {Of(K::Live), O::Less, Of(K::Live), "E18"},
        {I(5), O::Less, Of(K::Live), "E18"}, {Of(K::Live), O::Equal, D(0), "E41"},
        // kinds that do not unify
        {I(1), O::Add, Of(K::Omit), "E41"}, {I(1), O::Add, Of(K::Place6), "E41"},
        {Of(K::Arr), O::Add, I(1), "E41"}, {Of(K::Omit), O::Add, Of(K::Omit), "E41"},
        {Of(K::Func), O::Equal, Of(K::Func), "E41"},
    };
    for (const Case& c : cases) {
        CValue a(&interp), b(&interp);
        Load(a, c.a);
        Load(b, c.b);
        std::string label = Describe(a) + " op" + std::to_string(static_cast<int>(c.op)) + " " + Describe(b);
        EXPECT_EQ(Try([&] { a.Apply(c.op, b); return Describe(a); }), c.result) << label;
    }
    // A value combined with itself.
    CValue self(&interp, "ab", 0);
    self.Apply(O::Add, self);
    EXPECT_EQ(Describe(self), "t:abab");
    CValue number(&interp, 21);
    number.Apply(O::Add, number);
    EXPECT_EQ(Describe(number), "i:42");
}

TEST_F(ValueTest, UnaryOperators) {
    enum U { Neg, Not, NotKeep, BitNot, Inc, Dec };
    struct Case { U op; Operand o; const char* result; };
    const Case cases[] = {
        {Neg, I(5), "i:-5"}, {Neg, I(INT_MIN), "i:-2147483648"}, {Neg, D(2.5), "d:-2.5"},
        {Neg, T("1"), "E12"}, {Neg, Of(K::Live), "E18"}, {Neg, Of(K::Place7), "tag7"}, {Neg, Of(K::Omit), "E41"},
        {Not, I(0), "i:1"}, {Not, I(7), "i:0"}, {Not, D(0.0), "i:1"}, {Not, D(2.5), "i:0"},
        {Not, T(""), "E12"}, {Not, Of(K::Live), "E18"}, {Not, Of(K::Place6), "tag6"},
        {NotKeep, I(0), "i:1"}, {NotKeep, D(0.0), "d:1"}, {NotKeep, D(2.5), "d:0"},
        {NotKeep, T("x"), "E12"}, {NotKeep, Of(K::Live), "E18"}, {NotKeep, Of(K::Place7), "E41"},
        {BitNot, I(0), "i:-1"}, {BitNot, D(2.9), "i:-3"}, {BitNot, T("x"), "E12"},
        {BitNot, Of(K::Live), "E18"}, {BitNot, Of(K::Place7), "E41"},
        {Inc, I(INT_MAX), "i:-2147483648"}, {Inc, D(1.5), "d:2.5"}, {Inc, T("1"), "E12"},
        {Inc, Of(K::Live), "E18"}, {Inc, Of(K::Place7), "E41"},
        {Dec, I(INT_MIN), "i:2147483647"}, {Dec, D(1.5), "d:0.5"}, {Dec, T("1"), "E12"},
        {Dec, Of(K::NullObj), "E18"}, {Dec, Of(K::Omit), "E41"},
    };
    for (const Case& c : cases) {
        CValue v(&interp);
        Load(v, c.o);
        std::string label = std::to_string(c.op) + " " + Describe(v);
        std::string got = Try([&] {
            switch (c.op) {
            case Neg: v.Negate(); break;
            case Not: v.LogicalNot(); break;
            case NotKeep: v.LogicalNotKeepKind(); break;
            case BitNot: v.BitwiseNot(); break;
            case Inc: v.Increment(); break;
            case Dec: v.Decrement(); break;
            }
            return Describe(v);
        });
        EXPECT_EQ(got, c.result) << label;
    }
}

TEST_F(ValueTest, NumberTextsComeFromStatementStrings) {
    CValue v(&interp, 0);
    const char* first = nullptr;
    for (int i = 0; i < 300; ++i) {  // more than a tick period usually needs
        v.SetInt(i);
        const char* text = v.GetString();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::to_string(i), text);
        if (i == 0)
            first = text;
    }
    EXPECT_STREQ(first, "0");  // still valid until the strings are freed
    EXPECT_EQ(interp.GetStatementStringCount(), 300u);
    interp.FreeStatementStrings();
    EXPECT_EQ(interp.GetStatementStringCount(), 0u);

    CValue ownerless;
    ownerless.SetInt(1);
    EXPECT_EQ(Try([&] { return std::string(ownerless.GetString()); }), "E15");
}
