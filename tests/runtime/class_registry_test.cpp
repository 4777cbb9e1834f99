#include "runtime/classes/class_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kClassNames[] = {
    nullptr, "Sprite", "Math", "Disk", "Keyboard", "Printer", "File", "Font", "String", "Surface",
    "PointArray", "Video", "Animation", "Sound", "Music", "Button", "Edit", "ComboBox", "Selector",
    "ListBox", "RadioButton", "CheckBox", "QTime", "CDAudio", "Ini", "Nyx", "NyxPlayer", "NyxChannel",
    "NyxUser", "NyxServer", "NyxConnection", "NyxSession", "NyxSocket", "ScrollBar", "MessageBox",
    "Menu", "Timer", "GameInput", "System", "SharedLibrary", "Binary", "Registry", "ProgressBar",
    "Slider", "Spin", "GroupBox", "RichEdit", "StaticText", "FFDevice", "Clipboard", "MODPlayer",
    "Process", "Voice", "Serial", "TrayIcon", "Program", "Display", "Window", "Editor", "Camera",
    "Object", "Light", "Position", "Texture", "Zone", "Speaker", "Blob", "World", "Material", "Vector",
    "Matrix", "Quaternion", "Polygon", "Point3D"};

bool IsZeroRecord(const CMemberRecord& r) {
    return r.memberId == 0 && r.reserved == 0 && r.name == nullptr && r.globalCode == 0 && r.flags == 0;
}

// The records between the head and the closing all-zero record.
std::vector<const CMemberRecord*> Members(int classId) {
    std::vector<const CMemberRecord*> out;
    for (const CMemberRecord* r = GetScriptClassInfo(classId)->members + 1; r->name != nullptr; ++r)
        out.push_back(r);
    return out;
}

const CMemberRecord* MemberNamed(int classId, const char* name) {
    for (const CMemberRecord* r : Members(classId)) {
        if (std::strcmp(r->name, name) == 0)
            return r;
    }
    return nullptr;
}

bool IsConstant(const CMemberRecord* r) {
    return (r->flags & kMemberConstant) != 0;
}

std::vector<uint16_t> Dependents(int classId) {
    std::vector<uint16_t> out;
    for (const uint16_t* d = GetScriptClassInfo(classId)->dependents; *d != 0; ++d)
        out.push_back(*d);
    return out;
}

}  // namespace

TEST(ClassRegistry, EntriesHeadsAndTerminators) {
    const CMemberRecord* const* registry = GetClassRegistry();
    EXPECT_EQ(registry[0], GetKeywordTable());
    EXPECT_EQ(registry[kRegistryEntryCount], nullptr);
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        SCOPED_TRACE(k);
        const CClassInfo* info = GetScriptClassInfo(k);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(registry[k], info->members);
        EXPECT_EQ(info->classId, k);
        EXPECT_EQ(info->members[0].memberId, k);
        ASSERT_NE(info->members[0].name, nullptr);
        EXPECT_STREQ(info->members[0].name, kClassNames[k]);
        EXPECT_STREQ(GetScriptClassName(k), kClassNames[k]);
        const CMemberRecord* r = info->members + 1;
        while (r->name != nullptr)
            ++r;
        EXPECT_TRUE(IsZeroRecord(*r));
        EXPECT_GT(r - info->members, 1);  // every class has members
    }
    const CMemberRecord* r = GetKeywordTable();
    while (r->name != nullptr)
        ++r;
    EXPECT_TRUE(IsZeroRecord(*r));
    EXPECT_EQ(r - GetKeywordTable(), 69);
    for (int id : {0, -1, 74, 1000}) {
        EXPECT_EQ(GetScriptClassInfo(id), nullptr);
        EXPECT_EQ(GetScriptClassName(id), nullptr);
        EXPECT_FALSE(IsGlobalClass(id));
    }
}

TEST(ClassRegistry, MemberIdsUniqueAndNamesUniqueExceptDeclaredTwins) {
    // A name may stand twice only where the class says so.
    const std::set<std::pair<int, std::string>> twins = {
        {kClassSelector, "NONETWORKBUTTON"}, {kClassWindow, "SetFont"}, {kClassWindow, "GetFont"}};
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        SCOPED_TRACE(kClassNames[k]);
        std::set<uint16_t> ids;
        std::map<std::string, int> names;
        uint16_t previous = 0;
        for (const CMemberRecord* r : Members(k)) {
            EXPECT_GE(r->memberId, 1);
            EXPECT_GT(r->memberId, previous) << r->name;  // kept in id order
            previous = r->memberId;
            EXPECT_EQ(r->reserved, 0);
            EXPECT_TRUE(ids.insert(r->memberId).second) << r->name;
            EXPECT_TRUE(r->flags == 0 || r->flags == kMemberConstant) << r->name;
            ++names[r->name];
        }
        for (const auto& n : names) {
            if (n.second > 1) {
                EXPECT_TRUE(twins.count({k, n.first})) << n.first;
            }
        }
    }
    EXPECT_EQ(MemberNamed(kClassSelector, "NONETWORKBUTTON")->memberId, 26);
    EXPECT_EQ(MemberNamed(kClassWindow, "SetFont")->memberId, 16);
}

TEST(ClassRegistry, ConstantsFollowMethodsAfterTheConstantBase) {
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        SCOPED_TRACE(kClassNames[k]);
        const CClassInfo* info = GetScriptClassInfo(k);
        uint16_t lastMethod = 0;
        uint16_t firstConstant = 0;
        for (const CMemberRecord* r : Members(k)) {
            if (IsConstant(r)) {
                if (firstConstant == 0)
                    firstConstant = r->memberId;
            } else {
                EXPECT_EQ(firstConstant, 0) << r->name << " after a constant";
                lastMethod = r->memberId;
            }
        }
        EXPECT_EQ(info->constantBase, lastMethod + 1);
        if (firstConstant != 0) {
            EXPECT_EQ(firstConstant, info->constantBase + 1);
        }
    }
    const CClassInfo* sprite = GetScriptClassInfo(kClassSprite);
    EXPECT_EQ(sprite->constantBase, 55);
    EXPECT_FALSE(IsConstant(MemberNamed(kClassSprite, "GetSpeedFactor")));
    EXPECT_EQ(MemberNamed(kClassSprite, "GetSpeedFactor")->memberId, 54);
    EXPECT_EQ(MemberNamed(kClassSprite, "CMNONE")->memberId, 56);
    EXPECT_EQ(MemberNamed(kClassSprite, "LOOP_INFINITE")->memberId, 66);
    EXPECT_EQ(Members(kClassSprite).size(), 65u);
}

TEST(ClassRegistry, EveryConstantHasExactlyOneValue) {
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        SCOPED_TRACE(kClassNames[k]);
        std::set<uint16_t> constantIds;
        for (const CMemberRecord* r : Members(k)) {
            if (IsConstant(r)) {
                constantIds.insert(r->memberId);
                const CConstantValue* v = FindClassConstant(k, r->memberId);
                ASSERT_NE(v, nullptr) << r->name;
                EXPECT_EQ(v->memberId, r->memberId);
            } else {
                EXPECT_EQ(FindClassConstant(k, r->memberId), nullptr) << r->name;
            }
        }
        size_t values = 0;
        uint16_t previous = 0;
        for (const CConstantValue* v = GetScriptClassInfo(k)->constants; v->memberId != 0; ++v, ++values) {
            EXPECT_GT(v->memberId, previous);
            previous = v->memberId;
            EXPECT_TRUE(constantIds.count(v->memberId)) << v->memberId;
        }
        EXPECT_EQ(values, constantIds.size());
        EXPECT_EQ(FindClassConstant(k, 0), nullptr);
        EXPECT_EQ(FindClassConstant(k, 0x10000u + 1), nullptr);
    }
}

TEST(ClassRegistry, SpotChecksOfIdsAndValues) {
    struct Case {
        int classId;
        const char* name;
        uint16_t id;
        int64_t value;  // -2: a method, no value
    };
    const Case cases[] = {
        {kClassFont, "BOLD", 14, 0x800002BC},
        {kClassWindow, "NOSURFACE", 181, 0xAAD20007},
        {kClassWindow, "BLENDING", 149, 1},
        {kClassWindow, "RIGHTBUTTON", 197, 0x89AF0003},
        {kClassWindow, "GetBottomBorderSize", 142, -2},
        {kClassWindow, "OnKeyUp", 100, -2},
        {kClassSurface, "DARKGRAY", 83, 0x808080},
        {kClassListBox, "USETABSTOPS", 88, 0xAAD00007},
        {kClassRichEdit, "MATCHCASE", 120, 0x80000004},
        {kClassScrollBar, "TOP", 67, 6},
        {kClassVideo, "BORDER", 63, 0xDEB00006},
        {kClassQTime, "CODEC_CINEPAK", 127, 0x63766964},
        {kClassQTime, "IsVRMovie", 115, -2},
        {kClassKeyboard, "NUMLOCK", 57, 144},
        {kClassKeyboard, "RWIN", 55, 92},
        {kClassWorld, "ONLYSINGLETEXTURE", 77, 0x89AF0200},
        {kClassWorld, "CreatePlane", 62, -2},
        {kClassCamera, "Z_AXIS", 94, 8},
        {kClassObject, "ANIM_MODE_MESH", 122, 2},
        {kClassSpeaker, "COLLISION_TYPE_SLIDE", 75, 2},
        {kClassPosition, "COLLISION_TYPE_NONE", 53, 0},
        {kClassSystem, "SYSCOLOR_WINDOWTEXT", 74, 0xBABC001B},
        {kClassSelector, "SELECTION", 38, 1},
        {kClassMath, "Acos", 18, -2},
        {kClassEditor, "ED_HELP", 27, 15},
        {kClassFFDevice, "INPUTJOYSTICKTYPE_HEADTRACKER", 67, 7},
        {kClassGameInput, "DEVICE_INVALID", 24, 0},
        {kClassCDAudio, "STATUS_SEEKING", 27, 528},
        {kClassAnimation, "LOOP_INFINITE", 60, -1},
        {kClassNyxSocket, "SetTimeOut", 17, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CMemberRecord* r = MemberNamed(c.classId, c.name);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->memberId, c.id);
        if (c.value == -2) {
            EXPECT_FALSE(IsConstant(r));
            continue;
        }
        EXPECT_TRUE(IsConstant(r));
        const CConstantValue* v = FindClassConstant(c.classId, c.id);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->text, nullptr);
        EXPECT_EQ(v->value, static_cast<int32_t>(static_cast<uint32_t>(c.value)));
    }
    const CConstantValue* separator = FindClassConstant(kClassDisk, MemberNamed(kClassDisk, "DIRECTORY_SEPARATOR")->memberId);
    ASSERT_NE(separator, nullptr);
    EXPECT_STREQ(separator->text, "\\");
    EXPECT_EQ(MemberNamed(kClassKeyboard, "SHIFT")->memberId, 59);
    EXPECT_EQ(FindClassConstant(kClassKeyboard, 56), nullptr);  // no member has id 56
}

TEST(ClassRegistry, SharedMemberBlocksMatchAcrossClasses) {
    // The 37 control members and the 51 location members stand at the same ids
    // in every class that has them; the window has the control members at 64.
    const int controls[] = {kClassButton, kClassCheckBox, kClassRadioButton, kClassGroupBox, kClassListBox,
                            kClassComboBox, kClassEdit, kClassRichEdit, kClassScrollBar, kClassSlider,
                            kClassSpin, kClassProgressBar, kClassStaticText, kClassAnimation, kClassVideo,
                            kClassQTime};
    const std::vector<const CMemberRecord*> button = Members(kClassButton);
    for (int k : controls) {
        SCOPED_TRACE(kClassNames[k]);
        for (int i = 0; i < 37; ++i) {
            EXPECT_EQ(Members(k)[i]->memberId, i + 1);
            EXPECT_STREQ(Members(k)[i]->name, button[i]->name);
        }
        EXPECT_EQ(FindClassConstant(k, MemberNamed(k, "NOBORDER")->memberId)->value, static_cast<int32_t>(0xDEB20000));
    }
    for (int i = 0; i < 37; ++i)
        EXPECT_STREQ(GetScriptClassInfo(kClassWindow)->members[64 + i].name, button[i]->name);

    const std::vector<const CMemberRecord*> position = Members(kClassPosition);
    for (int k : {kClassCamera, kClassObject, kClassLight, kClassZone, kClassSpeaker, kClassBlob}) {
        SCOPED_TRACE(kClassNames[k]);
        for (int i = 0; i < 51; ++i) {
            EXPECT_EQ(Members(k)[i]->memberId, i + 1);
            EXPECT_STREQ(Members(k)[i]->name, position[i]->name);
        }
        const CMemberRecord* none = MemberNamed(k, "COLLISION_TYPE_NONE");
        EXPECT_EQ(none->memberId, GetScriptClassInfo(k)->constantBase + 1);
    }
    // The window forwards members 1 to 63 to its surface.
    for (int i = 1; i <= 63; ++i)
        EXPECT_STREQ(GetScriptClassInfo(kClassWindow)->members[i].name, GetScriptClassInfo(kClassSurface)->members[i].name);
}

TEST(ClassRegistry, GlobalCodes) {
    EXPECT_EQ(MemberNamed(kClassMath, "Abs")->globalCode, 2u);
    EXPECT_EQ(MemberNamed(kClassWindow, "WriteLn")->globalCode, kGlobalCodeCurrentWindow);
    EXPECT_EQ(MemberNamed(kClassWindow, "GetSurface")->globalCode, kGlobalCodeCurrentWindow);
    EXPECT_EQ(MemberNamed(kClassWindow, "OnClose")->globalCode, 0u);
    EXPECT_EQ(MemberNamed(kClassWindow, "NOSURFACE")->globalCode, 0u);
    EXPECT_EQ(MemberNamed(kClassKeyboard, "IsKeyDown")->globalCode, 4u);
    EXPECT_EQ(MemberNamed(kClassKeyboard, "END")->globalCode, 0u);
    EXPECT_EQ(MemberNamed(kClassProgram, "End")->globalCode, 55u);
    EXPECT_EQ(MemberNamed(kClassDisplay, "EnableVBSync")->globalCode, 56u);
    EXPECT_EQ(MemberNamed(kClassEditor, "GetFileName")->globalCode, 58u);
    for (const char* name : {"COPYALL", "INVERT", "XOR", "AND", "OR", "BLENDING"}) {
        EXPECT_EQ(MemberNamed(kClassSurface, name)->globalCode, 9u) << name;
        EXPECT_EQ(MemberNamed(kClassWindow, name)->globalCode, 9u) << name;
    }
    EXPECT_EQ(MemberNamed(kClassSurface, "RED")->globalCode, 0u);
    // Global codes appear only where they belong: a class's own id in the
    // global-object classes, the surface id for the draw modes, 94 in the window.
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        for (const CMemberRecord* r : Members(k)) {
            if (r->globalCode == 0)
                continue;
            SCOPED_TRACE(r->name);
            if (k == kClassWindow)
                EXPECT_TRUE(r->globalCode == kGlobalCodeCurrentWindow || r->globalCode == kClassSurface);
            else
                EXPECT_EQ(r->globalCode, uint32_t(k));
            EXPECT_TRUE(k == kClassWindow || k == kClassSurface || IsGlobalClass(k));
        }
    }
}

TEST(ClassRegistry, GlobalClassesAndDependents) {
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        bool expected = k == 2 || k == 3 || k == 4 || k == 38 || k == 55 || k == 56 || k == 58;
        EXPECT_EQ(IsGlobalClass(k), expected) << k;
        std::vector<uint16_t> deps = Dependents(k);
        std::set<uint16_t> unique(deps.begin(), deps.end());
        EXPECT_EQ(unique.size(), deps.size()) << kClassNames[k];
        for (uint16_t d : deps)
            EXPECT_TRUE(d >= kFirstClassId && d <= kLastClassId) << kClassNames[k];
    }
    struct Case {
        int classId;
        std::vector<uint16_t> mustContain;
    };
    const Case cases[] = {
        {kClassWindow, {kClassSurface, kClassSprite, kClassCamera, kClassVideo, kClassAnimation, kClassButton,
                        kClassEdit, kClassStaticText, kClassFont, kClassWindow, kClassMessageBox, kClassGameInput,
                        kClassMenu}},
        {kClassSurface, {kClassSprite, kClassCamera, kClassTexture, kClassMaterial, kClassButton, kClassWindow,
                         kClassVideo, kClassQTime, kClassAnimation, kClassTrayIcon}},
        {kClassCamera, {kClassSurface, kClassSprite, kClassObject, kClassLight, kClassZone, kClassSpeaker,
                        kClassWorld, kClassCamera, kClassBlob}},
        {kClassTexture, {kClassVideo, kClassQTime, kClassAnimation, kClassSurface}},
        {kClassWorld, {kClassSurface, kClassPoint3D, kClassObject, kClassTexture, kClassSpeaker}},
        {kClassGameInput, {kClassFFDevice, kClassWindow}},
        {kClassEdit, {kClassSpin}},
        {kClassSelector, {kClassPrinter}},
        {kClassMenu, {kClassMenu}},
        {kClassSprite, {kClassSurface}},
        {kClassObject, {kClassPolygon, kClassCamera, kClassPosition}},
        {kClassMaterial, {kClassBlob}},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> deps = Dependents(c.classId);
        for (uint16_t d : c.mustContain)
            EXPECT_NE(std::find(deps.begin(), deps.end(), d), deps.end()) << kClassNames[c.classId] << " " << kClassNames[d];
    }
    EXPECT_TRUE(Dependents(kClassMath).empty());
    EXPECT_TRUE(Dependents(kClassNyx).empty());
}

TEST(ClassRegistry, KeywordTokenIds) {
    std::multimap<std::string, uint16_t> tokens;
    for (const CMemberRecord* r = GetKeywordTable(); r->name != nullptr; ++r) {
        EXPECT_EQ(r->globalCode, 0u);
        tokens.emplace(r->name, r->memberId);
    }
    const std::pair<const char*, uint16_t> cases[] = {
        {"Var", 81}, {"Delete", 87}, {"in", 93}, {"CurWindow", 94}, {"Default", 97}, {"TRUE", 106},
        {"OFF", 109}, {"(", 111}, {";", 116}, {"?", 119}, {"=", 120}, {"%=", 130}, {">>=", 132},
        {"!", 139}, {"--", 142}, {"*", 146}, {">>", 152}, {".", 164}, {"[", 167}, {"//", 169}, {"*/", 171}};
    for (const auto& c : cases) {
        ASSERT_EQ(tokens.count(c.first), 1u) << c.first;
        EXPECT_EQ(tokens.find(c.first)->second, c.second) << c.first;
    }
    auto colons = tokens.equal_range(":");
    ASSERT_EQ(tokens.count(":"), 2u);
    for (auto it = colons.first; it != colons.second; ++it)
        EXPECT_EQ(it->second, 166);
    // Token ids stay in the operation-code ranges 81-97, 106-109, 111-116, 119-152, 164-171.
    for (const auto& t : tokens) {
        uint16_t id = t.second;
        EXPECT_TRUE((id >= 81 && id <= 97) || (id >= 106 && id <= 109) || (id >= 111 && id <= 116) ||
                    (id >= 119 && id <= 152) || (id >= 164 && id <= 171))
            << t.first;
    }
}
