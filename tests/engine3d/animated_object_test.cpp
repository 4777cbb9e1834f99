// Animation tables, animated objects (key merging and the keyframe
// evaluation of their children) and the playback state of animation clones.
#include "engine3d/animated_object.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

LTrackRecord Range(int32_t first, int32_t last, int32_t start = 0) { return MakeTrackValues(0, first, last, 0, start, 0, 0); }

std::string CurrentName(const LAnimationIK& t) { return t.GetCurrentTrack() ? t.GetCurrentTrack()->name : "(none)"; }

// Adds keys (time, x, y, z, w) to a track of the object's key set.
void AddKeys(L3DObject& o, int32_t which, std::vector<std::vector<float>> keys) {
    LKeyTrack* t = o.GetKeys()->Ensure(which);
    for (const auto& k : keys) {
        LKey* key = LKey::Create();
        for (size_t i = 1; i < k.size(); ++i) key->value[i - 1] = k[i];
        LKeyTrack::AddKey(t, key, int32_t(k[0]));
    }
}

std::vector<float> Translation(const L3DObject& o) {
    const float* m = o.GetTransform().m;
    return {m[3], m[7], m[11]};
}

}  // namespace

TEST(AnimationTable, SetFrameWrapsOrClampsByTheLoopBit) {
    LAnimationIK t;
    EXPECT_EQ(CurrentName(t), "Main");
    EXPECT_EQ(t.GetFlags(), LAnimationIK::kLoop);
    t.DefineTrack("Main", Range(0, 30));
    struct Case {
        bool loop;
        int32_t set, frame;
    } cases[] = {{true, 31, 0}, {true, -1, 30}, {true, 17, 17}, {false, 31, 30}, {false, -1, 0}, {false, 30, 30}};
    for (const Case& c : cases) {
        t.SetFlags(c.loop ? LAnimationIK::kLoop : 0);
        t.SetFrame(c.set);
        EXPECT_EQ(t.GetFrame(), c.frame) << c.loop << " " << c.set;
    }
    t.SetFlags(LAnimationIK::kLoop);
    t.SetFrame(30);
    t.NextFrame();
    EXPECT_EQ(t.GetFrame(), 0);
    t.PrevFrame();
    EXPECT_EQ(t.GetFrame(), 30);
    EXPECT_EQ(t.SelectTrack("absent"), 0);
    EXPECT_EQ(t.GetCurrentTrack(), nullptr);
    t.SetFrame(12);  // no current track: nothing happens
    t.NextFrame();
    EXPECT_EQ(t.GetFrame(), 30);
    EXPECT_EQ(t.SelectNextTrack(), 0);
}

TEST(AnimationTable, TrackDefinitionsAndNames) {
    LAnimationIK t;
    EXPECT_EQ(t.AddTrack("Walk", MakeTrackValues(3, 10, 20, 4, 50, 5, 6)), 1);
    const LTrackRecord* walk = t.FindTrack("wALK");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->start, 20) << "start clamped into [first, last]";
    EXPECT_EQ(walk->mode, 3);
    EXPECT_TRUE(walk->pass[0] == 4 && walk->pass[1] == 5 && walk->pass[2] == 6);
    EXPECT_EQ(t.AddTrack("WALK", Range(0, 1)), 0) << "exists, in any case";
    EXPECT_EQ(walk->first, 10);
    EXPECT_EQ(t.SetTrack("walk", Range(1, 5, -3)), 1);
    EXPECT_EQ(walk->start, 1);
    EXPECT_STREQ(walk->name, "Walk") << "the stored name stays";
    EXPECT_EQ(t.DefineTrack("WaLk", Range(7, 9)), 1);
    EXPECT_EQ(walk->first, 7);
    EXPECT_EQ(t.GetTrackCount(), 2);

    EXPECT_EQ(t.AddTrack("TwentyCharacterName!", Range(0, 1)), 1);
    const LTrackRecord* longName = t.FindTrack("TwentyCharacterName!");
    ASSERT_NE(longName, nullptr);
    EXPECT_STREQ(longName->name, "TwentyCharacter");
    EXPECT_EQ(t.FindTrack("twentycharacter"), longName);

    for (const char* bad : {static_cast<const char*>(nullptr), ""}) {
        EXPECT_EQ(t.AddTrack(bad, Range(0, 1)), 0);
        EXPECT_EQ(t.SetTrack(bad, Range(0, 1)), 0);
        EXPECT_EQ(t.DefineTrack(bad, Range(0, 1)), 0);
        EXPECT_EQ(t.DeleteTrack(bad), 0);
        EXPECT_EQ(t.FindTrack(bad), nullptr);
    }
    EXPECT_EQ(t.SetTrack("Run", Range(0, 1)), 0);
    EXPECT_EQ(t.DeleteTrack("Run"), 0);
    EXPECT_EQ(t.GetTrackCount(), 3);
}

TEST(AnimationTable, SelectionStepsWrapAndDeletionFallsBackToMain) {
    LAnimationIK t;
    t.DefineTrack("Main", Range(0, 30));
    t.AddTrack("A", Range(40, 50));
    t.AddTrack("B", Range(60, 70));
    EXPECT_EQ(t.SelectPreviousTrack(), 1);
    EXPECT_EQ(CurrentName(t), "B");
    EXPECT_EQ(t.GetFrame(), 60);
    EXPECT_EQ(t.SelectNextTrack(), 1);
    EXPECT_EQ(CurrentName(t), "Main");
    t.SelectNextTrack();
    EXPECT_EQ(CurrentName(t), "A");
    t.SetFrame(45);
    EXPECT_EQ(t.DeleteTrack("a"), 1);
    EXPECT_EQ(CurrentName(t), "Main");
    EXPECT_EQ(t.GetFrame(), 0);
    EXPECT_EQ(t.DeleteTrack("Main"), 1);
    EXPECT_EQ(t.GetCurrentTrack(), nullptr) << "never a freed record";
    EXPECT_EQ(t.GetTrackCount(), 1);
}

TEST(AnimationTable, TableBytesTruncateToSixteenBits) {
    LAnimationIK t;
    t.DefineTrack("Main", MakeTrackValues(0, 2, 70000, 65537, 3, -1, 7));
    t.SetFrame(9);
    t.AddTrack("Go", MakeTrackValues(5, 1, 4, 6, 2, 8, 9));
    t.SetFlags(0x12345678);
    const auto bytesOf = [&t] {
        CBufferStream out;
        LChunkStream w(&out);
        t.WriteTable(w);
        return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
    };
    using B = std::vector<uint8_t>;
    EXPECT_EQ(bytesOf(), (B{2, 0, 0x70, 0x11, 9, 0,  // Main first, last (70000 & 0xFFFF), current frame
                            2, 0,                    // tracks
                            4, 0, 'M', 'a', 'i', 'n', 0, 2, 0, 0x70, 0x11, 3, 0, 1, 0, 0xFF, 0xFF, 7, 0,
                            2, 0, 'G', 'o', 5, 1, 0, 4, 0, 2, 0, 6, 0, 8, 0, 9, 0,
                            0x78, 0x56, 0x34, 0x12}));
    t.DeleteTrack("Main");
    const B without = bytesOf();
    EXPECT_EQ(B(without.begin(), without.begin() + 8), (B{0, 0, 30, 0, 0, 0, 1, 0}));
}

TEST(AnimationTable, AppendTrackFromExtendsMain) {
    LAnimationIK into, from;
    into.DefineTrack("Main", MakeTrackValues(0, 0, 30, 11, 5, 12, 13));
    from.AddTrack("Jump", MakeTrackValues(7, 100, 112, 1, 104, 2, 3));
    ASSERT_EQ(into.AppendTrackFrom(from, "jump"), 1);
    const LTrackRecord* jump = into.FindTrack("Jump");
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(jump->mode, 7);
    EXPECT_EQ(jump->first, 30);
    EXPECT_EQ(jump->last, 42);
    EXPECT_EQ(jump->pass[0], 42);
    EXPECT_EQ(jump->start, 42) << "the source's start 104, clamped";
    EXPECT_TRUE(jump->pass[1] == 2 && jump->pass[2] == 3);
    const LTrackRecord* main = into.FindTrack("Main");
    EXPECT_TRUE(main->first == 0 && main->last == 42 && main->start == 5 && main->pass[0] == 11);
    EXPECT_EQ(into.AppendTrackFrom(from, "Fly"), 0);
    EXPECT_EQ(into.GetTrackCount(), 2);
}

TEST(AnimatedObject, KindAndChangeNotices) {
    L3DObject_Animation o("anim", nullptr, nullptr);
    EXPECT_EQ(o.GetKind(), 1026u);
    LAnimationIK& t = o.GetAnimation();
    t.DefineTrack("Main", Range(0, 30));
    for (auto change : {+[](LAnimationIK& a) { a.SetFrame(4); }, +[](LAnimationIK& a) { a.SelectTrack("gone"); }}) {
        o.AnglesChanged(0);
        change(t);
        EXPECT_NE(o.GetFlags() & L3DLocation::kFlagAnglesChanged, 0u);
    }
    // The mesh layer's frames step on their own.
    o.LAnimationMesh::DefineTrack("Main", Range(0, 2));
    o.LAnimationMesh::SelectTrack("Main");
    o.NextFrame();
    o.NextFrame();
    EXPECT_EQ(o.GetCurrentFrame(), 2);
    o.NextFrame();
    EXPECT_EQ(o.GetCurrentFrame(), 0);
    o.PrevFrame();
    EXPECT_EQ(o.GetCurrentFrame(), 2);
    EXPECT_EQ(t.GetFrame(), 4) << "the animation table's frame is another";
}

TEST(AnimatedObject, ChildrenFollowTheirTracks) {
    L3DObject_Animation o("anim", nullptr, nullptr);
    auto* arm = new L3DObject("arm", nullptr, nullptr);
    auto* hand = new L3DObject("hand", nullptr, nullptr);
    auto* still = new L3DObject("still", nullptr, nullptr);
    for (L3DObject* child : {arm, hand, still}) child->SetKind(0x2);  // owned: freed with the parent
    o.LinkChild(arm);
    o.LinkChild(still);
    arm->LinkChild(hand);
    AddKeys(*arm, LKeySet::kTranslate, {{0, 0, 0, 0}, {10, 10, 20, 30}});
    AddKeys(*arm, LKeySet::kScale, {{0, 1, 1, 1}});
    AddKeys(*arm, LKeySet::kRotate, {{0, 0, 0, 0, 1}});
    LKeyTrack::ComputeTangents(arm->GetKeys()->Get(LKeySet::kTranslate));
    LKeyTrack::ChainRotations(arm->GetKeys()->Get(LKeySet::kRotate));
    // The hand's matrix track has a key at 0: it wins over its other tracks.
    AddKeys(*hand, LKeySet::kTranslate, {{0, 99, 99, 99}});
    AddKeys(*hand, LKeySet::kScale, {{0, 1, 1, 1}});
    AddKeys(*hand, LKeySet::kRotate, {{0, 0, 0, 0, 1}});
    AddKeys(*hand, LKeySet::kMatrix, {{0, 1, 0, 0, 1}, {10, 1, 0, 0, 3}});
    for (LKey* k = hand->GetKeys()->Get(LKeySet::kMatrix)->first; k; k = k->next) {
        LMatrix34::SetIdentity(k->absolute);
        k->absolute[3] = k->value[3];
    }
    AddKeys(*still, LKeySet::kTranslate, {{0, 5, 5, 5}});  // no scale or rotate track
    LMatrix34::MakeTranslation(std::vector<float>{7, 7, 7}.data(), still->GetTransform().m);
    o.GetAnimation().DefineTrack("Main", Range(0, 10));
    for (int32_t frame : {0, 3, 5, 10}) {
        o.GetAnimation().SetFrame(frame);
        o.EvaluateChildren();
        const float f = float(frame);
        const std::vector<float> armAt = Translation(*arm);
        EXPECT_NEAR(armAt[0], f, 1e-4f) << frame;
        EXPECT_NEAR(armAt[1], 2 * f, 1e-4f);
        EXPECT_NEAR(armAt[2], 3 * f, 1e-4f);
        EXPECT_NEAR(Translation(*hand)[0], f + 1 + 0.2f * f, 1e-4f) << "its matrix blend, after the arm's";
        EXPECT_EQ(Translation(*still), (std::vector<float>{7, 7, 7})) << "left as it was";
    }
    arm->SetScale(2, 1, 1);  // the child's scale multiplies the translation
    o.EvaluateChildren();
    EXPECT_NEAR(Translation(*arm)[0], 20.0f, 1e-4f);
}

TEST(AnimatedObject, AppendAnimationMergesKeysAfterMain) {
    L3DObject_Animation into("a", nullptr, nullptr), from("b", nullptr, nullptr);
    auto* mine = new L3DObject("arm", nullptr, nullptr);
    auto* theirs = new L3DObject("arm", nullptr, nullptr);
    auto* theirLeg = new L3DObject("leg", nullptr, nullptr);  // no match here
    into.LinkChild(mine);
    from.LinkChild(theirs);
    from.LinkChild(theirLeg);
    for (L3DObject* c : {mine, theirs, theirLeg}) c->SetKind(0x2);
    into.GetAnimation().DefineTrack("Main", Range(0, 30));
    from.GetAnimation().AddTrack("Wave", Range(5, 10));
    theirs->GetKeys()->Ensure(LKeySet::kRotate, 3);
    AddKeys(*theirs, LKeySet::kTranslate, {{0, 1, 1, 1}, {5, 2, 3, 4}, {7, 5, 6, 7}, {10, 8, 9, 10}, {11, 0, 0, 0}});
    AddKeys(*theirs, LKeySet::kRotate, {{5, 0.5f, 0, 0, 2}, {10, 0.25f, 0, 0, 1}});
    AddKeys(*theirs, LKeySet::kHide, {{6}, {9}});
    theirs->GetKeys()->Get(LKeySet::kTranslate)->first->next->tension = 0.25f;
    AddKeys(*theirLeg, LKeySet::kTranslate, {{6, 1, 1, 1}});

    ASSERT_EQ(into.AppendAnimation(&from, "wave"), 1);
    const LKeySet* keys = mine->GetKeys();
    const LKeyTrack* translate = keys->Get(LKeySet::kTranslate);
    ASSERT_NE(translate, nullptr);
    std::vector<float> times, xs;
    for (const LKey* k = translate->first; k; k = k->next) times.push_back(k->time), xs.push_back(k->value[0]);
    EXPECT_EQ(times, (std::vector<float>{31, 33, 36}));
    EXPECT_EQ(xs, (std::vector<float>{2, 5, 8}));
    EXPECT_EQ(translate->first->tension, 0.25f) << "parameters copied";
    EXPECT_EQ(translate->lastTime, 36.0f);
    EXPECT_NE(translate->first->tangentOut[0], 0.0f) << "tangents computed";
    const LKeyTrack* rotate = keys->Get(LKeySet::kRotate);
    ASSERT_NE(rotate, nullptr);
    EXPECT_EQ(rotate->flags, 3u) << "a created track copies the source's flags";
    const LKey* r1 = rotate->first->next;
    ASSERT_NE(r1, nullptr);
    EXPECT_NEAR(r1->rotation[0], std::cos(0.375f), 1e-6f) << "0.5 then 0.25 about z, chained";
    EXPECT_NEAR(r1->rotation[3], std::sin(0.375f), 1e-6f);
    EXPECT_EQ(keys->GetKeyCount(LKeySet::kHide), 2);
    EXPECT_EQ(keys->Get(LKeySet::kScale), nullptr) << "the source has none";
    const LTrackRecord* main = into.GetAnimation().FindTrack("Main");
    EXPECT_EQ(main->last, 35);
    EXPECT_EQ(into.GetAnimation().FindTrack("Wave")->first, 30);

    EXPECT_EQ(into.AppendAnimation(&from, "Nothing"), 0);
    EXPECT_EQ(into.AppendAnimation(nullptr, "Wave"), 0);
    EXPECT_EQ(mine->GetKeys()->GetKeyCount(LKeySet::kTranslate), 3);
}

TEST(AnimatedObject, AppendAnimationSkipsKeysBeyondTheIntegerRange) {
    L3DObject_Animation into("a", nullptr, nullptr), from("b", nullptr, nullptr);
    auto* mine = new L3DObject("arm", nullptr, nullptr);
    auto* theirs = new L3DObject("arm", nullptr, nullptr);
    into.LinkChild(mine);
    from.LinkChild(theirs);
    for (L3DObject* c : {mine, theirs}) c->SetKind(0x2);
    into.GetAnimation().DefineTrack("Main", Range(0, 2147483600));
    from.GetAnimation().AddTrack("Far", Range(-2000000000, 2000000000));
    AddKeys(*theirs, LKeySet::kTranslate, {{0, 1}, {-2000000000, 2}, {2000000000, 3}});
    ASSERT_EQ(into.AppendAnimation(&from, "Far"), 1);
    const LKeyTrack* t = mine->GetKeys()->Get(LKeySet::kTranslate);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->count, 1) << "the keys at 0 and 2e9 would land beyond 2^31";
    EXPECT_EQ(t->first->time, float(2147483601));
    // The range's length is taken modulo 65536 (4e9 -> 10240); the sum saturates.
    EXPECT_EQ(into.GetAnimation().FindTrack("Main")->last, INT32_MAX);
}

TEST(AnimationClones, EachClonePlaysItsOwnTrackAndFrame) {
    LAnimationIK source;
    source.DefineTrack("Main", Range(0, 30));
    source.AddTrack("Run", Range(40, 50));
    source.SetFrame(12);
    LAnimationCloneTable first(&source), second(&source);
    EXPECT_EQ(first.GetTrackCount(), 2);
    EXPECT_EQ(first.FindTrack("run"), source.FindTrack("Run"));
    ASSERT_EQ(first.SelectTrack("Run"), 1);
    first.SetFrame(47);
    second.SetFrame(31);  // "Main", looping: wraps to 0
    second.SetFlags(0);
    struct Seen {
        std::string track;
        int32_t frame;
        uint32_t flags;
    };
    std::vector<Seen> seen;
    for (LAnimationCloneTable* clone : {&first, &second}) {
        clone->Enter();
        seen.push_back({CurrentName(source), source.GetFrame(), source.GetFlags()});
        clone->Leave();
        EXPECT_EQ(CurrentName(source), "Main");
        EXPECT_EQ(source.GetFrame(), 12);
        EXPECT_EQ(source.GetFlags(), LAnimationIK::kLoop);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].track, "Run");
    EXPECT_EQ(seen[0].frame, 47);
    EXPECT_EQ(seen[1].track, "Main");
    EXPECT_EQ(seen[1].frame, 0);
    EXPECT_EQ(seen[1].flags, 0u);

    // Deleting the clone's track in the source: the clone plays none.
    EXPECT_EQ(first.DeleteTrack("Run"), 1);
    first.Enter();
    EXPECT_EQ(source.GetCurrentTrack(), nullptr);
    first.Leave();

    LAnimationCloneTable orphan(&source);
    orphan.SetSource(nullptr);  // the source went
    LTrackRecord values = Range(0, 1);
    EXPECT_EQ(orphan.GetTrackCount(), 0);
    EXPECT_EQ(orphan.FindTrack("Main"), nullptr);
    EXPECT_EQ(orphan.SelectTrack("Main"), 0);
    EXPECT_EQ(orphan.AddTrack("X", values), 0);
    EXPECT_EQ(orphan.DefineTrack("X", values), 0);
    EXPECT_EQ(orphan.SetTrack("Main", values), 0);
    EXPECT_EQ(orphan.DeleteTrack("Main"), 0);
    EXPECT_EQ(orphan.SelectNextTrack(), 0);
    orphan.Enter();
    orphan.Leave();
    EXPECT_EQ(source.GetTrackCount(), 1);
}
