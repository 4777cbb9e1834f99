// The frame pipeline through the world, camera, cluster and lighting
// stand-ins, and clones borrowing their source's mesh.
#include "object_fixture.h"

#include "engine3d/object_clone.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Counts operator new while armed: a second frame of an unchanged scene
// makes nothing.
int g_newCount = 0;
bool g_countNew = false;

}  // namespace

// The replacements pair malloc with free, which GCC cannot see through.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (g_countNew) ++g_newCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (g_countNew) ++g_newCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_countNew) ++g_newCount;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (g_countNew) ++g_newCount;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct Pipeline : ObjectFixtureBase {
    L3DLocation cameraPlace{0, 0, 0, 0, 0, 0};
    Pipeline() { view.location = &cameraPlace; }
    // A square at distance z in front of the camera.
    L3DObject* Ahead(const char* name, float z) {
        L3DObject* o = Square(name);
        o->SetPositionAndAngles(0, 0, 0, -0.5f, -0.5f, z);
        return o;
    }
    // The camera's frame ends with its change bits cleared.
    void Frame(L3DObject* o) {
        ObjectFixtureBase::Frame(o);
        cameraPlace.PositionChanged(0);
        cameraPlace.AnglesChanged(0);
    }
    static std::vector<LPolygon*> Sorted(std::vector<LPolygon*> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
};

int g_moves = 0;
int32_t MoveOnce(L3DObject* o, uint32_t context) {
    ++g_moves;
    if (context == 0) return 0;
    o->SetPositionX(o->GetX() + 1.0f);
    return 1;
}

TEST_F(Pipeline, ChangeFlagsDriveTheSteps) {
    L3DObject* o = Ahead("a", 10);
    L3DObject* child = Square("child");
    child->SetPositionAndAngles(0, 0, 0, 0.5f, -0.5f, 10);
    child->SetParent(o, 0);
    Frame(o);
    EXPECT_EQ(o->IsInView(), 1);
    EXPECT_EQ(o->GetDrawState(), L3DObject::kDrawProjected);
    EXPECT_EQ(o->GetFlags() & 0x18u, 0u);  // cleared after projecting
    EXPECT_EQ(child->GetFlags() & 0x18u, 0u);
    EXPECT_EQ(drawn.size(), 4u);  // both squares
    const float before = o->GetPolygon(0)->points[0]->screenX;

    // Unchanged: nothing is projected again.
    drawn.clear();
    Frame(o);
    EXPECT_EQ(o->GetDrawState(), L3DObject::kDrawPreparing);
    EXPECT_EQ(drawn.size(), 4u);

    // The move callback's 1 moves and re-transforms; 0 changes nothing.
    o->SetMoveCallback(&MoveOnce, 0);
    Frame(o);
    EXPECT_EQ(o->GetDrawState(), L3DObject::kDrawPreparing);
    o->SetMoveCallback(&MoveOnce, 1);
    Frame(o);
    EXPECT_EQ(o->GetDrawState(), L3DObject::kDrawProjected);
    EXPECT_NE(o->GetPolygon(0)->points[0]->screenX, before);
    EXPECT_EQ(g_moves, 2);
    o->SetMoveCallback(nullptr, 0);

    // A camera move alone reprojects.
    cameraPlace.SetPositionX(0.25f);
    Frame(o);
    EXPECT_EQ(o->GetDrawState(), L3DObject::kDrawProjected);
    cameraPlace.PositionChanged(0);

    // Hidden: out of view, the children not visited, nothing drawn.
    o->Hide(0);
    child->SetPositionX(3.0f);
    drawn.clear();
    Frame(o);
    EXPECT_EQ(o->IsInView(), 0);
    EXPECT_TRUE(drawn.empty());
    EXPECT_TRUE(child->GetFlags() & L3DLocation::kFlagPositionChanged);
}

TEST_F(Pipeline, SphereAnswersSetTheInViewByteAndTheClipSwitch) {
    L3DObject* o = Ahead("a", 10);
    struct Case {
        int32_t answer;
        uint8_t inView;
        int32_t clip;
        size_t drawn;
    } cases[] = {{LCameraView::kSphereInside, 1, 0, 2}, {LCameraView::kSphereCrossing, 1, 1, 2},
                 {LCameraView::kSphereOutside, 0, 1, 0}};
    for (const Case& c : cases) {
        view.forcedAnswer = c.answer;
        drawn.clear();
        o->PositionChanged(1);
        Frame(o);
        EXPECT_EQ(o->IsInView(), c.inView) << c.answer;
        EXPECT_EQ(o->GetCacheList()->GetClip(), c.clip) << c.answer;
        EXPECT_EQ(drawn.size(), c.drawn) << c.answer;
    }
    // The real sphere test: behind the camera is out of view.
    view.forcedAnswer = 0;
    o->SetPositionZ(-30);
    Frame(o);
    EXPECT_EQ(o->IsInView(), 0);
}

TEST_F(Pipeline, BatchedAndPolygonDrawingSubmitTheSamePolygons) {
    L3DObject* o = Ahead("a", 10);
    // A quad, never cached, beside the two cached triangles.
    LPolygon* quad = world.CreatePolygon(o, 4, nullptr);
    for (float x : {2.0f, 3.0f})
        for (float y : {0.0f, 1.0f}) quad->AddNewPoint(x, x == 2.0f ? y : 1.0f - y, 0, 0, 0);
    quad->SetMaterial(paint);
    o->AddPolygon(quad, 1);

    Frame(o);  // software: one by one
    const std::vector<LPolygon*> single = Sorted(drawn);
    EXPECT_EQ(single.size(), 3u);
    EXPECT_TRUE(target.indexed.empty());

    driver.hardware = 1;
    drawn.clear();
    o->PositionChanged(1);
    view.forcedAnswer = LCameraView::kSphereInside;
    Frame(o);
    std::vector<LPolygon*> batched = drawn;
    batched.insert(batched.end(), target.indexed.begin(), target.indexed.end());
    EXPECT_EQ(Sorted(batched), single);
    EXPECT_EQ(target.indexed.size(), 2u);  // the triangles indexed, the quad alone

    // Batch mode 0 or an emptied mesh draw one by one on hardware too.
    o->SetBatchMode(0);
    drawn.clear();
    target.indexed.clear();
    Frame(o);
    EXPECT_EQ(Sorted(drawn), single);
    EXPECT_TRUE(target.indexed.empty());
}

TEST_F(Pipeline, SubmitPolygonsHandsTheTreesPolygonsOnAfterAFrame) {
    L3DObject* parent = Ahead("p", 10);
    L3DObject* child = Square("c", false);
    parent->LinkChild(child);
    Frame(parent);
    const std::vector<LPolygon*> framed = Sorted(drawn);
    ASSERT_EQ(framed.size(), 4u);
    drawn.clear();
    parent->AnglesChanged(0);
    parent->SubmitPolygons(&view);
    EXPECT_EQ(Sorted(drawn), framed);
    EXPECT_TRUE(parent->GetFlags() & L3DLocation::kFlagAnglesChanged);
    EXPECT_TRUE(child->GetFlags() & L3DLocation::kFlagAnglesChanged);
}

TEST_F(Pipeline, SecondFrameOfAnUnchangedSceneAllocatesNothing) {
    driver.hardware = 1;
    L3DObject* o = Ahead("a", 10);
    L3DObject* child = Square("c");
    child->SetParent(o, 0);
    o->EnableShadow(1);
    Frame(o);
    Frame(o);
    drawn.reserve(1000);  // the recorders themselves must not count
    target.indexed.reserve(1000);
    g_newCount = 0;
    g_countNew = true;
    Frame(o);
    g_countNew = false;
    EXPECT_EQ(g_newCount, 0);
    g_countNew = true;
    o->PositionChanged(1);  // a moved object too
    Frame(o);
    g_countNew = false;
    EXPECT_EQ(g_newCount, 0);
}

TEST_F(Pipeline, LightingBitsAreClearedInView) {
    L3DObject* o = Ahead("a", 10);
    L3DObject* child = Square("c");
    child->SetParent(o, 0);
    o->SetFlagBit2();  // fixed light: base lighting, children too
    EXPECT_TRUE(child->GetFlags() & L3DLocation::kFlagBaseLighting);
    o->SetFlagBit1();  // movable: nothing more while the base is pending
    EXPECT_EQ(o->GetFlags() & 0x6u, 0x4u);
    Frame(o);
    EXPECT_EQ(o->GetFlags() & 0x6u, 0u);
    EXPECT_EQ(child->GetFlags() & 0x6u, 0u);
    view.forcedAnswer = LCameraView::kSphereOutside;
    o->SetFlagBit2();
    o->PositionChanged(1);
    Frame(o);
    EXPECT_TRUE(o->GetFlags() & L3DLocation::kFlagBaseLighting);  // kept until in view
}

// ---- clones ------------------------------------------------------------------

using Clones = Pipeline;

TEST_F(Clones, BindingRules) {
    L3DObject* source = Ahead("$$$DUMMYrock", 10);
    auto* clone = new L3DObjectClone("c", &world, nullptr);
    world.AddObject(clone);
    EXPECT_EQ(clone->SetSource(clone), 0);  // never itself
    L3DObject* fixed = Square("fixed");
    fixed->MakeStatic(0);
    EXPECT_EQ(clone->SetSource(fixed), 0);  // not movable
    EXPECT_EQ(clone->GetSource(), nullptr);
    EXPECT_EQ(clone->GetNPolygons(0), 0);  // unbound: 0 and nothing drawn
    EXPECT_EQ(clone->IsVisible(), 0);
    Frame(clone);
    EXPECT_TRUE(drawn.empty());

    source->SetPositionAndAngles(0.5f, 0, 0, 4, 5, 6);
    ASSERT_EQ(clone->SetSource(source), 1);
    EXPECT_EQ(source->GetCloneCount(), 1);
    EXPECT_EQ(clone->GetX(), 4.0f);  // the source's location
    EXPECT_STREQ(clone->GetNameText(), "rock");
    EXPECT_STREQ(source->GetNameText(), "$$$DUMMYrock");  // the source keeps its name
    EXPECT_EQ(clone->GetNPolygons(0), 2);

    // A clone of a clone binds to the source; rebinding leaves the old one.
    auto* second = new L3DObjectClone("d", &world, nullptr);
    world.AddObject(second);
    ASSERT_EQ(second->SetSource(clone), 1);
    EXPECT_EQ(second->GetSource(), source);
    L3DObject* other = Square("other");
    ASSERT_EQ(second->SetSource(other), 1);
    EXPECT_EQ(source->GetCloneCount(), 1);
    EXPECT_EQ(other->GetCloneCount(), 1);
    L3DObject* viaClone = clone->Clone(nullptr);  // Clone on a clone clones the source
    ASSERT_NE(viaClone, nullptr);
    EXPECT_EQ(static_cast<L3DObjectClone*>(viaClone)->GetSource(), source);
    EXPECT_EQ(source->GetCloneCount(), 2);
    EXPECT_EQ(world.RemoveObject(viaClone), 0);  // destroying a clone: one fewer
    EXPECT_EQ(source->GetCloneCount(), 1);
}

TEST_F(Clones, ShadingIsSharedAndTheBoxIsOwn) {
    L3DObject* source = Ahead("s", 10);
    L3DObject* a = source->Clone(nullptr);
    L3DObject* b = source->Clone(nullptr);
    a->SetGouraud(1);
    EXPECT_EQ(source->IsGouraud(), 1);
    EXPECT_EQ(b->IsGouraud(), 1);
    EXPECT_TRUE(b->GetObjectFlags() & L3DObject::kFlagGouraud);  // flags synced
    a->ShowBox(1, 0);
    EXPECT_EQ(a->IsBoxVisible(), 1);
    EXPECT_EQ(source->IsBoxVisible(), 0);
    source->SetCollision(1);  // a synced change keeps the clone's own box flag
    EXPECT_EQ(a->IsBoxVisible(), 1);
    EXPECT_EQ(b->IsCollision(), 1);
    b->Hide(1);  // the source's Hide(0)
    EXPECT_EQ(source->IsVisible(), 0);
    b->Show();
    EXPECT_EQ(source->IsVisible(), 1);
}

TEST_F(Clones, TwoClonesDrawTheSourceMeshAtTheirPlaces) {
    L3DObject* source = Ahead("s", 10);
    L3DLocation left(0, 0, 0, -3, 0, 20), right(0, 0, 0, 3, 0, 20);
    L3DObject* a = source->Clone(&left);
    L3DObject* b = source->Clone(&right);
    Frame(source);
    const float ownX = source->GetPolygon(0)->points[0]->world[0];
    const uint32_t flags = source->GetObjectFlags();

    // Each clone draws the two source triangles; the first vertex lands at
    // the clone's place.
    std::vector<float> placesX;
    for (L3DObject* clone : {a, b}) {
        drawn.clear();
        Frame(clone);
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0]->GetOwner(), static_cast<LPolygonOwner*>(source));
        placesX.push_back(drawn[0]->points[0]->world[0]);
        EXPECT_FLOAT_EQ(drawn[0]->points[0]->world[2], 20.0f);
        // Given back: the source's place, frame and flags.
        EXPECT_FLOAT_EQ(source->GetX(), -0.5f);
        EXPECT_FLOAT_EQ(source->GetZ(), 10.0f);
        EXPECT_EQ(source->GetCurrentFrame(), 0);
        EXPECT_EQ(source->GetObjectFlags(), flags);
    }
    EXPECT_FLOAT_EQ(placesX[0], -3.0f);
    EXPECT_FLOAT_EQ(placesX[1], 3.0f);
    drawn.clear();
    Frame(source);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[0]->points[0]->world[0], ownX);

    // The clone's UpdateTransform tests the clone's place (its box has the
    // source's extent) and leaves the source at its place.
    a->UpdateTransform(&view);
    EXPECT_FLOAT_EQ(source->GetZ(), 10.0f);
    EXPECT_EQ(a->IsInView(), 1);
    EXPECT_FLOAT_EQ(a->GetSphere()[3], std::sqrt(0.5f));
    L3DLocation behind(0, 0, 0, 0, 0, -50);
    a->Assign(behind);
    a->UpdateTransform(&view);
    EXPECT_EQ(a->IsInView(), 0);
    EXPECT_FLOAT_EQ(source->GetZ(), 10.0f);
}

TEST_F(Clones, PickReportsTheClone) {
    L3DObject* source = Ahead("s", 10);
    L3DLocation there(0, 0, 0, 20, -0.5f, 10);
    L3DObject* clone = source->Clone(&there);
    Frame(source);
    Frame(clone);
    // The source's square covers the screen centre; the clone's lies right.
    const float centre[2] = {160.0f, 120.0f};
    const float atClone[2] = {160.0f + 100.0f * 20.5f / 10.0f, 120.0f};
    L3DObject* hit = nullptr;
    source->Pick(&view, centre, nullptr, &hit);
    EXPECT_EQ(hit, source);
    hit = nullptr;
    clone->Pick(&view, atClone, nullptr, &hit);
    EXPECT_EQ(hit, clone);
    hit = nullptr;
    clone->Pick(&view, centre, nullptr, &hit);
    EXPECT_EQ(hit, nullptr);
    EXPECT_FLOAT_EQ(source->GetX(), -0.5f);
    // With a radius: the mean of the projected box points.
    const float radius = 5.0f;
    hit = nullptr;
    source->Pick(&view, centre, &radius, &hit);
    EXPECT_EQ(hit, source);
    const float far[2] = {0, 0};
    hit = nullptr;
    source->Pick(&view, far, &radius, &hit);
    EXPECT_EQ(hit, nullptr);
    // Children are searched too; hidden objects are not.
    L3DObject* child = Ahead("child", 10);
    child->SetPositionX(-20.5f);
    child->SetParent(source, 0);
    const float atChild[2] = {160.0f - 100.0f * 20.0f / 10.0f, 120.0f};
    hit = nullptr;
    source->Pick(&view, atChild, nullptr, &hit);
    EXPECT_EQ(hit, child);
    source->Hide(1);
    hit = nullptr;
    source->Pick(&view, centre, nullptr, &hit);
    EXPECT_EQ(hit, nullptr);
}

TEST_F(Clones, DestroyingTheSourceDestroysItsClonesWhereverTheyHang) {
    L3DObject* source = Ahead("s", 10);
    L3DObject* top = source->Clone(nullptr);
    L3DObject* parented = source->Clone(nullptr);
    L3DObject* holder = Square("holder");
    parented->SetParent(holder, 0);  // no longer in the world's top list
    ASSERT_EQ(source->GetCloneCount(), 2);
    EXPECT_EQ(world.RemoveObject(source), 0);
    // Both clones are gone: the top list holds only the holder, which has
    // no children left; ASan reports any clone that outlived its source.
    EXPECT_EQ(world.GetObjects().GetCount(), 1);
    EXPECT_EQ(world.GetObjects().FindNode(top), nullptr);
    EXPECT_EQ(holder->GetChildren(), nullptr);
    Frame(holder);
}

}  // namespace
