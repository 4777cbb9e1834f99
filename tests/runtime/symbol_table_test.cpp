#include "runtime/compiler/symbol_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

std::string Lower(const char* s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const CRegistryIndex& Index() {
    static CRegistryIndex index;
    if (!index.IsBuilt()) {
        EXPECT_TRUE(index.Build());
    }
    return index;
}

}  // namespace

TEST(SymbolTable, HashClearsBitFiveOfUnsignedBytes) {
    EXPECT_EQ(CSymbolTable::HashName(""), 0u);
    EXPECT_EQ(CSymbolTable::HashName("Abs"), (0x41u + 0x42u + 0x53u) & 0xFFu);
    EXPECT_EQ(CSymbolTable::HashName("abs"), CSymbolTable::HashName("ABS"));
    // Bytes above 0x7F count as unsigned values.
    EXPECT_EQ(CSymbolTable::HashName("\xE9\xE9"), (0xC9u * 2) & 0xFFu);
    EXPECT_EQ(CSymbolTable::HashName("{"), CSymbolTable::HashName("["));
}

TEST(SymbolTable, FindFoldsLettersOnly) {
    const CMemberRecord records[] = {
        {167, 0, "[", 0, 0}, {114, 0, "{", 0, 0}, {148, 0, "|", 0, 0}, {149, 0, "^", 0, 0},
        {1, 0, "ab", 0, 0},  {2, 0, "ba", 0, 0},  {3, 0, "Ab", 0, 0},
    };
    CSymbolTable table;
    for (const CMemberRecord& r : records)
        ASSERT_TRUE(table.Add(&r));
    // Same bucket, different tokens: bit 5 separates them but is no case.
    EXPECT_EQ(table.Find("[")->memberId, 167);
    EXPECT_EQ(table.Find("{")->memberId, 114);
    EXPECT_EQ(table.Find("\\"), nullptr);
    EXPECT_EQ(table.Find("~"), nullptr);
    // "ab" and "ba" share a bucket; the first record of a name wins.
    EXPECT_EQ(table.Find("BA")->memberId, 2);
    EXPECT_EQ(table.Find("AB")->memberId, 1);
    EXPECT_EQ(table.Find("a"), nullptr);
    EXPECT_EQ(table.Find("abc"), nullptr);
    EXPECT_EQ(table.Find(nullptr), nullptr);

    CSymbolTable exact(1);
    for (const CMemberRecord& r : records)
        ASSERT_TRUE(exact.Add(&r));
    EXPECT_EQ(exact.Find("Ab")->memberId, 3);
    EXPECT_EQ(exact.Find("AB"), nullptr);
}

TEST(SymbolTable, FindByIdUsesTheLowByteBucket) {
    const CMemberRecord records[] = {{5, 0, "five", 0, 0}, {261, 0, "twoSixtyOne", 0, 0}, {5, 0, "again", 0, 0}};
    CSymbolTable table;
    for (const CMemberRecord& r : records)
        ASSERT_TRUE(table.Add(&r));
    EXPECT_STREQ(table.FindById(5)->name, "five");
    EXPECT_STREQ(table.FindById(261)->name, "twoSixtyOne");
    EXPECT_EQ(table.FindById(517), nullptr);
    table.RemoveAll();
    EXPECT_EQ(table.FindById(5), nullptr);
    EXPECT_EQ(table.Find("five"), nullptr);
}

TEST(RegistryIndex, KeywordsAndClassNamesAreTokens) {
    const CRegistryIndex& index = Index();
    for (const char* spelling : {"If", "if", "IF"})
        EXPECT_EQ(index.FindKeyword(spelling)->memberId, 90) << spelling;
    EXPECT_EQ(index.FindKeyword("ifx"), nullptr);
    EXPECT_EQ(index.FindKeyword("curwindow")->memberId, 94);
    EXPECT_EQ(index.FindKeyword("<<=")->memberId, 131);
    EXPECT_EQ(index.FindKeyword("sprite")->memberId, kClassSprite);
    EXPECT_EQ(index.FindKeyword("POINT3D")->memberId, kClassPoint3D);
    EXPECT_EQ(index.FindKeyword("Abs"), nullptr);  // members are not tokens
    EXPECT_EQ(index.FindMember(kClassButton, "Button"), nullptr);  // nor are class names members
    EXPECT_EQ(index.GetTable(-1), nullptr);
    EXPECT_EQ(index.GetTable(kRegistryEntryCount), nullptr);
    EXPECT_EQ(index.FindMember(0, "If"), nullptr);

    CRegistryIndex unbuilt;
    EXPECT_EQ(unbuilt.FindKeyword("If"), nullptr);
    EXPECT_EQ(unbuilt.FindGlobalMember("Abs"), nullptr);
}

TEST(RegistryIndex, EveryMemberIsFoundByNameInAnyCaseAndById) {
    const CRegistryIndex& index = Index();
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        for (const CMemberRecord* r = GetScriptClassInfo(k)->members + 1; r->name != nullptr; ++r) {
            SCOPED_TRACE(std::string(GetScriptClassName(k)) + "." + r->name);
            const CMemberRecord* found = index.FindMember(k, r->name);
            ASSERT_NE(found, nullptr);
            EXPECT_STREQ(found->name, r->name);
            EXPECT_EQ(index.FindMember(k, Lower(r->name).c_str()), found);
            EXPECT_EQ(index.FindMemberById(k, r->memberId), r);
        }
    }
    // A name that stands twice resolves to its first id.
    EXPECT_EQ(index.FindMember(kClassSelector, "nonetworkbutton")->memberId, 26);
    EXPECT_EQ(index.FindMember(kClassWindow, "SETFONT")->memberId, 16);
    EXPECT_EQ(index.FindMemberById(kClassKeyboard, 56), nullptr);
    EXPECT_EQ(index.FindMemberById(kClassFFDevice, 12), nullptr);
}

TEST(RegistryIndex, GlobalMembersInRegistryOrder) {
    const CRegistryIndex& index = Index();
    struct Case {
        const char* name;
        int classId;          // 0: not a global member
        uint32_t globalCode;
    };
    const Case cases[] = {
        {"ABS", kClassMath, 2},
        {"abs", kClassMath, 2},
        {"Pi", kClassMath, 2},
        {"WriteLn", kClassWindow, kGlobalCodeCurrentWindow},
        {"lineto", kClassWindow, kGlobalCodeCurrentWindow},
        {"COPYALL", kClassSurface, kClassSurface},  // the surface comes before the window
        {"Blending", kClassSurface, kClassSurface},
        {"IsKeyDown", kClassKeyboard, kClassKeyboard},
        {"End", kClassProgram, kClassProgram},       // not the key constant END
        {"Clear", kClassWindow, kGlobalCodeCurrentWindow},
        {"Scroll", kClassWindow, kGlobalCodeCurrentWindow},
        {"EnableVBSync", kClassDisplay, kClassDisplay},
        {"OnClose", 0, 0},
        {"LEFT", 0, 0},
        {"RED", 0, 0},
        {"Delete", 0, 0},   // Disk's Delete needs its class name
        {"GetLength", 0, 0},
        {"nosuchname", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int classId = -1;
        const CMemberRecord* r = index.FindGlobalMember(c.name, &classId);
        if (c.classId == 0) {
            EXPECT_EQ(r, nullptr);
            EXPECT_EQ(classId, -1);
            continue;
        }
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(classId, c.classId);
        EXPECT_EQ(r->globalCode, c.globalCode);
        EXPECT_EQ(r, index.FindMember(c.classId, c.name));
    }
    // Abs, abs and Math.Abs reach the same record.
    EXPECT_EQ(index.FindGlobalMember("ABS"), index.FindMember(kClassMath, "Abs"));
}
