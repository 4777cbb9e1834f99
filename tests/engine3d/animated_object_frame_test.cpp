// Animated objects in a world: the frame update of their children and box,
// animation clones, duplicates, the saved chunk and the hand-over of parts
// when animated objects change parents.
#include "object_fixture.h"

#include "engine3d/animated_object.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/world.h"

namespace {

LTrackRecord Range(int32_t first, int32_t last) { return MakeTrackValues(0, first, last, 0, first, 0, 0); }

// A child that slides from x = 0 at frame 0 to x = 10 at frame 10 (its
// translate, scale and rotate tracks set up as a scene reader does).
void Slide(L3DObject* child) {
    LKeySet* keys = child->GetKeys();
    const float to[2][4] = {{0, 0, 0, 0}, {10, 0, 0, 0}};
    for (int i = 0; i < 2; ++i) {
        LKey* k = LKey::Create();
        std::memcpy(k->value, to[i], sizeof to[i]);
        LKeyTrack::AddKey(keys->Ensure(LKeySet::kTranslate), k, i * 10);
    }
    LKey* one = LKey::Create();
    one->value[0] = one->value[1] = one->value[2] = 1;
    LKeyTrack::AddKey(keys->Ensure(LKeySet::kScale), one, 0);
    LKey* still = LKey::Create();
    still->value[3] = 1;  // no turn about z
    LKeyTrack::AddKey(keys->Ensure(LKeySet::kRotate), still, 0);
    LKeyTrack::ComputeTangents(keys->Get(LKeySet::kTranslate));
    LKeyTrack::ChainRotations(keys->Get(LKeySet::kRotate));
}

std::vector<float> BoxLow(const L3DObject* o) {
    const float* w = o->GetBox()->GetPoints()->GetPoint(3)->world;
    return {w[0], w[1], w[2]};
}
std::vector<float> BoxHigh(const L3DObject* o) {
    const float* w = o->GetBox()->GetPoints()->GetPoint(5)->world;
    return {w[0], w[1], w[2]};
}

void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-4f) << what << " [" << i << "]";
}

}  // namespace

struct AnimatedFrame : ObjectFixtureBase {
    // An animated object at z = 20 in front of the view, "Main" 0 to 10,
    // with a sliding unit cube's worth of triangles as its child.
    L3DObject_Animation* anim = new L3DObject_Animation("robot", &world, nullptr);
    L3DObject* arm = Square("arm", false);

    AnimatedFrame() {
        world.AddObject(anim);
        anim->SetPositionAndAngles(0, 0, 0, 0, 0, 20);
        anim->GetAnimation().DefineTrack("Main", Range(0, 10));
        anim->GetAnimation().SelectTrack("Main");
        Triangle(arm, {{0, 0, 1}, {0, 1, 1}, {1, 1, 1}});
        arm->RefreshBox(1);
        anim->LinkChild(arm);
        Slide(arm);
    }
    void PlayAt(int32_t frame) {
        anim->GetAnimation().SetFrame(frame);
        anim->UpdateTransform(&view);
    }
};

TEST_F(AnimatedFrame, TranslateTrackMovesTheChildAndGrowsTheBox) {
    // A marker child (kind bit 0x4: cameras, lights ...) far away at the
    // object's origin does not widen the box; a hidden child neither.
    L3DObject* marker = Square("marker", false);
    marker->SetKind(0x6);
    anim->LinkChild(marker);
    L3DObject* hidden = Square("hidden", false);
    anim->LinkChild(hidden);
    Slide(hidden);
    hidden->MultiplyScale(50, 50, 50);
    hidden->Hide(0);
    for (int32_t frame : {0, 5, 10}) {
        PlayAt(frame);
        const float x = float(frame);
        ExpectNear({arm->GetX(), arm->GetY(), arm->GetZ()}, {x, 0, 20}, "child position");
        ExpectNear(BoxLow(arm), {x, 0, 20}, "child box");
        ExpectNear(BoxLow(anim), {x, 0, 20}, "animated box, low");
        ExpectNear(BoxHigh(anim), {x + 1, 1, 21}, "animated box, high");
        EXPECT_EQ(arm->IsInView(), 1);
        EXPECT_EQ(anim->IsInView(), 1);
        EXPECT_NEAR(anim->GetSphere()[0], x + 0.5f, 1e-4f) << "the sphere follows the box";
    }
    EXPECT_EQ(hidden->IsInView(), 1) << "a hidden child is not tested";
    // The box's faces carry unit axis normals.
    for (LDataNode* n = anim->GetBox()->GetPolygonList()->GetHead(); n; n = n->next) {
        const float* p = static_cast<LPolygon*>(n->value)->planes;
        EXPECT_EQ(std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]), 1.0f);
    }

    // The camera's test decides the children's and the object's view.
    view.forcedAnswer = LCameraView::kSphereOutside;
    PlayAt(3);
    EXPECT_EQ(arm->IsInView(), 0);
    EXPECT_EQ(anim->IsInView(), 0);
    view.forcedAnswer = 0;

    // A hidden animated object is out of view and places nothing.
    anim->Hide(0);
    PlayAt(7);
    EXPECT_EQ(anim->IsInView(), 0);
    EXPECT_NEAR(arm->GetX(), 3.0f, 1e-4f);
}

TEST_F(AnimatedFrame, UnchangedObjectKeepsItsBoxUntilItChanges) {
    PlayAt(2);
    // Nothing marked changed: the child is placed, the box stays, and only a
    // changed camera re-projects it.
    anim->AnglesChanged(0);
    anim->PositionChanged(0);
    anim->GetAnimation().LAnimationIK::SetFrame(6);  // the plain table: no change notice
    const float screenBefore = anim->GetBox()->GetPoints()->GetPoint(3)->screenX;
    L3DLocation eye(0, 0, 0, 0, 0, 0);
    view.location = &eye;
    eye.AnglesChanged(0);
    eye.PositionChanged(0);
    view.position[0] = -3;  // the camera moved, not yet noticed
    anim->UpdateTransform(&view);
    EXPECT_NEAR(arm->GetX(), 6.0f, 1e-4f);
    ExpectNear(BoxLow(anim), {2, 0, 20}, "box kept");
    EXPECT_EQ(anim->GetBox()->GetPoints()->GetPoint(3)->screenX, screenBefore);
    eye.AnglesChanged(1);
    anim->UpdateTransform(&view);
    ExpectNear(BoxLow(anim), {2, 0, 20}, "box still kept");
    EXPECT_GT(anim->GetBox()->GetPoints()->GetPoint(3)->screenX, screenBefore) << "re-projected for the camera";
    anim->AnglesChanged(1);
    anim->UpdateTransform(&view);
    ExpectNear(BoxLow(anim), {6, 0, 20}, "box follows once the object changed");
    view.location = nullptr;
}

TEST_F(AnimatedFrame, ClonesPlayTheirOwnFramesOverOneSource) {
    anim->GetAnimation().AddTrack("Back", Range(20, 30));
    anim->GetAnimation().SetFrame(2);
    L3DObject* a = anim->Clone(nullptr);
    L3DObject* b = anim->Clone(nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetKind(), 33802u);
    EXPECT_NE(world.GetObjects().FindNode(a), nullptr);
    EXPECT_EQ(anim->GetCloneCount(), 2);
    auto* ca = static_cast<LAnimationClone*>(a);
    auto* cb = static_cast<LAnimationClone*>(b);
    EXPECT_EQ(ca->GetAnimation().GetTrackCount(), 2) << "the source's tracks";
    ca->GetAnimation().SetFrame(4);
    cb->GetAnimation().SetFrame(9);
    cb->GetAnimation().SetFlags(0);

    for (auto [clone, frame] : {std::pair{ca, 4}, std::pair{cb, 9}}) {
        clone->UpdateFrame(&view);
        EXPECT_EQ(anim->GetAnimation().GetFrame(), frame);
        EXPECT_NEAR(arm->GetX(), float(frame), 1e-4f) << "the source's child plays the clone's frame";
        clone->DrawFrame(&view);
        EXPECT_EQ(anim->GetAnimation().GetFrame(), 2) << "the source's own frame back";
        EXPECT_EQ(anim->GetAnimation().GetFlags(), uint32_t(LAnimationIK::kLoop));
        EXPECT_STREQ(anim->GetAnimation().GetCurrentTrack()->name, "Main");
    }

    // A clone of a clone clones the source, at the clone's place.
    a->SetPositionAndAngles(0, 0, 0, 7, 0, 0);
    L3DObject* c = a->Clone(nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(static_cast<LAnimationClone*>(c)->GetSource(), anim);
    EXPECT_EQ(c->GetX(), 7.0f);
    // Binding refuses what is not animated and objects that cannot move.
    LAnimationClone loose("loose", nullptr, nullptr);
    EXPECT_EQ(loose.Bind(arm), 0);
    EXPECT_EQ(loose.GetAnimation().GetTrackCount(), 0);
    anim->objectFlags &= ~uint32_t(L3DObject::kFlagMovable);
    EXPECT_EQ(anim->Clone(nullptr), nullptr);
    anim->objectFlags |= L3DObject::kFlagMovable;

    // The source goes first: its clones go with it, without reaching its table.
    world.RemoveObject(anim);
    EXPECT_EQ(world.GetObjects().FindNode(a), nullptr);
    EXPECT_EQ(world.GetObjects().FindNode(c), nullptr);
}

TEST_F(AnimatedFrame, DuplicateCopiesTracksFlagsFrameAndParts) {
    LAnimationIK& t = anim->GetAnimation();
    t.DeleteTrack("Main");
    t.AddTrack("Walk", MakeTrackValues(3, 20, 40, 41, 25, 42, 43));
    t.AddTrack("Main", Range(0, 10));
    t.SelectTrack("Main");
    t.SetFrame(6);
    t.SetFlags(0x12);
    L3DObject* copy = anim->Duplicate(nullptr);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetKind(), 1026u);
    const LAnimationIK& d = static_cast<L3DObject_Animation*>(copy)->GetAnimation();
    std::vector<std::string> names;
    for (LDataNode* n = d.GetTracks().GetHead(); n; n = n->next) names.push_back(static_cast<LTrackRecord*>(n->value)->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Walk", "Main"})) << "in the source's order";
    const LTrackRecord* walk = d.FindTrack("walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(std::vector<int32_t>({walk->mode, walk->first, walk->last, walk->start, walk->pass[0], walk->pass[1],
                                    walk->pass[2]}),
              std::vector<int32_t>({3, 20, 40, 25, 41, 42, 43}));
    EXPECT_EQ(d.GetFlags(), 0x12u);
    EXPECT_EQ(d.GetFrame(), 6);
    EXPECT_STREQ(d.GetCurrentTrack()->name, "Main");
    EXPECT_NE(world.GetObjects().FindNode(copy), nullptr);
    // Its own copy of the part, keys included: it plays on its own.
    ASSERT_NE(copy->GetChildren(), nullptr);
    auto* part = static_cast<L3DObject*>(copy->GetChildren()->GetHead()->value);
    EXPECT_NE(part, arm);
    static_cast<L3DObject_Animation*>(copy)->GetAnimation().SetFrame(8);
    copy->UpdateTransform(&view);
    EXPECT_NEAR(part->GetX(), 8.0f, 1e-4f);

    anim->SetKind(1024);  // not owned: no duplicate
    EXPECT_EQ(anim->Duplicate(nullptr), nullptr);
}

TEST_F(AnimatedFrame, SavedChunkHoldsTheTableThenTheObjectRecord) {
    anim->GetAnimation().SetFrame(4);
    const auto saved = [this] {
        CBufferStream stream;
        LChunkStream out(&stream);
        anim->SaveObject(out, 0);
        return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
    };
    const std::vector<uint8_t> bytes = saved();
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(ChunkTags(bytes.data(), bytes.size()), (std::vector<std::string>{"OANI"})) << "one chunk, length patched";
    using B = std::vector<uint8_t>;
    EXPECT_EQ(B(bytes.begin() + 8, bytes.begin() + 16), (B{0, 0, 10, 0, 4, 0, 1, 0}));  // Main 0-10, frame 4, 1 track
    const size_t record = 8 + 8 + 2 + 4 + 1 + 12 + 4;  // header, frames and count, the "Main" track, flags
    ASSERT_GT(bytes.size(), record + 12);
    EXPECT_EQ(ChunkTags(bytes.data() + record, bytes.size() - record), (std::vector<std::string>{"OB3D"}));
    uint32_t kind;
    std::memcpy(&kind, bytes.data() + record + 8, 4);
    EXPECT_EQ(kind, 1026u);

    anim->SetSavable(0);
    EXPECT_TRUE(saved().empty());
}

TEST_F(AnimatedFrame, ParentChangesHandPartsOverWithKeepZero) {
    anim->GetAnimation().DefineTrack("Main", Range(5, 25));
    // A part leaving the animated tree with keep = 0 goes under a new
    // animated object that plays the old root's "Main".
    arm->SetParent(nullptr, 0);
    L3DObject* holder = arm->GetParent();
    ASSERT_NE(holder, nullptr);
    ASSERT_NE(holder, anim);
    ASSERT_EQ(holder->GetKind(), 1026u);
    EXPECT_STREQ(holder->GetNameText(), "Object");
    EXPECT_NE(world.GetObjects().FindNode(holder), nullptr);
    const LAnimationIK& played = static_cast<L3DObject_Animation*>(holder)->GetAnimation();
    EXPECT_EQ(played.FindTrack("Main")->first, 5);
    EXPECT_EQ(played.FindTrack("Main")->last, 25);
    EXPECT_EQ(played.GetFrame(), 5);
    // With keep = 1 it simply goes to the top level.
    arm->SetParent(nullptr, 1);
    EXPECT_EQ(arm->GetParent(), nullptr);
    EXPECT_NE(world.GetObjects().FindNode(arm), nullptr);

    // A top-level animated object put under a parent with keep = 0 hands
    // its parts to the parent and goes.
    L3DObject* body = Square("body");
    world.RemoveObject(arm);  // auto-delete: gone
    L3DObject* leg = Square("leg", false);
    L3DObject* foot = Square("foot", false);
    anim->LinkChild(leg);
    anim->LinkChild(foot);
    anim->SetParent(body, 0);
    EXPECT_EQ(world.GetObjects().FindNode(anim), nullptr);
    ASSERT_NE(body->GetChildren(), nullptr);
    EXPECT_EQ(body->GetChildren()->GetCount(), 2);
    EXPECT_EQ(leg->GetParent(), body);
    EXPECT_EQ(foot->GetParent(), body);
    // keep = 1: it joins as a child with the offset from the parent.
    auto* other = new L3DObject_Animation("other", &world, nullptr);
    world.AddObject(other);
    other->SetPositionAndAngles(0, 0, 0, 3, 0, 0);
    other->SetParent(body, 1);
    EXPECT_EQ(other->GetParent(), body);
    EXPECT_EQ(other->GetLocalTransform().m[3], 3.0f);
}
