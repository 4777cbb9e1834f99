// The base cluster (lists, flags, collisions, render-to-texture cameras,
// mirrors) and the saved bytes of "WORL", "BCLU".
#include "frame_fixture.h"

#include "engine3d/base_cluster.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/object_clone.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "runtime/io/buffer_stream.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

using Cluster = FrameFixture;

std::vector<uint8_t> Bytes(const CBufferStream& out) {
    return std::vector<uint8_t>(out.GetData(), out.GetData() + const_cast<CBufferStream&>(out).GetSize());
}

// Little-endian byte builder for expected chunks.
struct Expect {
    std::vector<uint8_t> b;
    Expect& Tag(const char* t) {
        b.insert(b.end(), t, t + 4);
        return *this;
    }
    Expect& U8(uint32_t v) {
        b.push_back(uint8_t(v));
        return *this;
    }
    Expect& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    Expect& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    Expect& F32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    Expect& Str(const char* s) {
        U16(uint32_t(std::strlen(s)));
        b.insert(b.end(), s, s + std::strlen(s));
        return *this;
    }
    // Opens a chunk: tag and a size patched by Close.
    size_t Open(const char* t) {
        Tag(t).U32(0);
        return b.size();
    }
    Expect& Close(size_t start) {
        const uint32_t size = uint32_t(b.size() - start);
        for (int i = 0; i < 4; ++i) b[start - 4 + i] = uint8_t(size >> (8 * i));
        return *this;
    }
};

TEST_F(Cluster, ListsAndFlags) {
    LBase3DCluster& cluster = world.GetBaseCluster();
    // No meshes: no octree; BuildOctree only clears and relights.
    cluster.BuildOctree();
    EXPECT_EQ(cluster.GetOctreeRoot(), nullptr);

    auto* empty = new L3DObject("empty", &world, nullptr);
    EXPECT_EQ(cluster.AddMeshObject(empty), 1);
    EXPECT_EQ(cluster.GetMeshList().GetCount(), 0);
    EXPECT_EQ(cluster.RemoveMeshObject(empty), 1);
    world.AddObject(empty);
    L3DObject* solid = Square("solid", 100);
    EXPECT_EQ(cluster.AddMeshObject(solid), 0);
    EXPECT_EQ(cluster.RemoveMeshObject(solid), 0);

    auto* clone = new L3DObjectClone("c", &world, nullptr);
    world.AddObject(clone);
    EXPECT_EQ(cluster.GetObjectList().GetValueAt(0), clone);
    EXPECT_EQ(cluster.GetObjectList().GetCount(), 3);
    EXPECT_EQ(cluster.RemoveClusterObject(clone), 0);
    EXPECT_EQ(cluster.RemoveClusterObject(clone), 1);

    // Another object with flag 0x2000 refuses the change.
    const uint32_t before = solid->GetObjectFlags();
    EXPECT_EQ(cluster.SetFlag10InCluster(solid, 1, empty), 1);
    EXPECT_EQ(cluster.SetFlag20InCluster(solid, 1, empty), 1);
    EXPECT_EQ(solid->GetObjectFlags(), before);
    EXPECT_EQ(cluster.SetFlag10InCluster(solid, 1, nullptr), 0);
    EXPECT_NE(solid->GetObjectFlags() & L3DObject::kFlagGouraud, 0u);
    EXPECT_EQ(cluster.SetFlag20InCluster(solid, 0, nullptr), 0);  // already off
}

// An object that records whom it collided with.
class Recorder : public L3DObject {
public:
    Recorder(const char* name, L3DWorld* world, std::vector<std::pair<L3DObject*, L3DObject*>>* pairs)
        : L3DObject(name, world, nullptr), log(pairs) {}
    int32_t CollideObject(int32_t n, L3DObject* other) override {
        log->emplace_back(this, other);
        return L3DObject::CollideObject(n, other);
    }
    std::vector<std::pair<L3DObject*, L3DObject*>>* log;
};

TEST_F(Cluster, CollisionsAmongFlaggedObjectsAndTheExtraList) {
    std::vector<std::pair<L3DObject*, L3DObject*>> pairs;
    Recorder* a = new Recorder("a", &world, &pairs);
    Recorder* b = new Recorder("b", &world, &pairs);
    Recorder* quiet = new Recorder("quiet", &world, &pairs);
    for (Recorder* r : {a, b, quiet}) world.AddObject(r);
    a->SetCollision(1);
    b->SetCollision(1);
    LDataLink extra;
    auto* outside = new L3DObject("outside", &world, nullptr);
    outside->SetCollision(1);
    extra.InsertAfter(outside, nullptr);
    extra.InsertAfter(a, nullptr);  // listed there too: still never with itself
    camera->AcquireSortBuckets();
    world.GetBaseCluster().DrawObjects(camera, &extra);
    // b meets a twice (in the object list and in the extra list); no object
    // ever meets itself, and the unflagged one never takes part.
    const std::vector<std::pair<L3DObject*, L3DObject*>> expected = {
        {a, b}, {a, outside}, {b, a}, {b, outside}, {b, a}};
    EXPECT_EQ(pairs, expected);
    delete outside;
}

TEST_F(Cluster, TextureCamerasStopAtSixteenAndRestartOnce) {
    // Nine materials with two camera layers each: 18 candidates.
    for (int i = 0; i < 9; ++i) {
        LMaterial* m = world.GetMaterialList().CreateMaterial(("screen" + std::to_string(i)).c_str(), nullptr, 0, 0,
                                                                nullptr);
        for (int layer = 0; layer < 2; ++layer) {
            L3DCamera* c = world.CreateCamera(nullptr);
            c->SetRenderTarget(&target);
            m->SetCameraTexture(layer, c, 16, 16);
        }
        world.GetMirrorMaterials().InsertAfter(m, nullptr);
    }
    camera->AcquireSortBuckets();
    EXPECT_EQ(world.GetBaseCluster().RefreshTextureCameras(camera), 1);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "render"), 16);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "restart"), 1);
    EXPECT_EQ(log.calls.back(), "restart");

    // An external surface skips them in the frame.
    log.calls.clear();
    target.flags = LRenderTargetLink::kTargetExternalSurface;
    camera->RenderWith(&target);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "render"), 0);
    world.GetMirrorMaterials().Clear();
}

TEST_F(Cluster, MirrorPassBookkeeping) {
    L3DObject* floor = Square("floor", 300, paint);
    L3DObject* thing = Square("thing", 200);
    thing->SetPositionY(40);
    thing->SetScale(2, 3, 4);
    ASSERT_NE(paint->GetCount(), 0);
    paint->flags |= LMaterial::kFlagPlanarMirror;
    world.GetMirrorMaterials().InsertAfter(paint, nullptr);
    LMaterial* unused = world.GetMaterialList().CreateMaterial("unused", nullptr, 0, LMaterial::kFlagPlanarMirror, nullptr);
    world.GetMirrorMaterials().InsertAfter(unused, nullptr);

    float position[3], scale[3];
    std::memcpy(position, thing->GetPosition(), sizeof position);
    std::memcpy(scale, thing->GetScale(), sizeof scale);
    camera->AcquireSortBuckets();
    EXPECT_EQ(world.GetBaseCluster().RenderMirrors(camera), 1);  // the unused material is skipped
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "pass1"), 1);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "pass2"), 1);
    EXPECT_EQ(std::memcmp(position, thing->GetPosition(), sizeof position), 0);
    EXPECT_EQ(std::memcmp(scale, thing->GetScale(), sizeof scale), 0);
    EXPECT_EQ(world.GetDoubleSided(), 0);
    EXPECT_EQ(LBase3DCluster::shadowWord, nullptr);
    (void)floor;
    world.GetMirrorMaterials().Clear();
}

TEST_F(Cluster, SavedChunkBytes) {
    struct Case {
        const char* what;
        void (*setUp)(FrameFixture&);
        uint32_t flags;
        void (*expect)(FrameFixture&, Expect&);
        bool world;  // SaveWorld, else SaveClusters
    };
    // The world's chunk around a background chunk built by `bkgd`.
    static auto worl = [](FrameFixture& f, Expect& e, void (*bkgd)(FrameFixture&, Expect&)) {
        const size_t w = e.Open("WORL");
        e.U16(0).U16(1).U16(uint32_t(f.world.GetObjectCount())).U32(f.world.GetWorldFlags()).U16(1);
        const size_t g = e.Open("BKGD");
        if (bkgd) bkgd(f, e);
        e.Close(g);
        const size_t u = e.Open("OUSE");
        e.U32(0xABCD).Close(u).Close(w);
    };
    static auto background = [](FrameFixture& f, const char* file) {
        LTexture* t = f.world.CreateTexture("sky", nullptr);
        if (file) t->SetFileName(file);
        f.world.GetTextureList().AddTexture(t);
        f.world.SetBackground(f.world.GetMaterialList().CreateMaterial("skymat", t, 0, 0, nullptr));
        f.world.SetBackgroundScale(0.5f, 1.0f, 2.0f, 1.0f);
    };
    static auto bkgdBody = [](Expect& e, const char* stored) {
        e.Str(stored).Str("sky").F32(2.0f).F32(1.0f).F32(0.5f).F32(1.0f);
        const size_t m = e.Open("BKMT");
        e.Str("sky").Str("skymat").Close(m);
    };
    const Case cases[] = {
        {"WORL without background", [](FrameFixture& f) { f.world.SetUserData(0xABCD); }, 0,
         [](FrameFixture& f, Expect& e) { worl(f, e, nullptr); }, true},
        {"WORL bare file name, no copy",
         [](FrameFixture& f) {
             f.world.SetUserData(0xABCD);
             background(f, "sky.bmp");
         },
         0x200, [](FrameFixture& f, Expect& e) { worl(f, e, [](FrameFixture&, Expect& e) { bkgdBody(e, "sky.bmp"); }); }, true},
        {"WORL path: bare name stored",
         [](FrameFixture& f) {
             f.world.SetUserData(0xABCD);
             background(f, "C:\\art\\sky.bmp");
         },
         0, [](FrameFixture& f, Expect& e) { worl(f, e, [](FrameFixture&, Expect& e) { bkgdBody(e, "sky.bmp"); }); }, true},
        {"WORL no file: the texture name",
         [](FrameFixture& f) {
             f.world.SetUserData(0xABCD);
             background(f, nullptr);
         },
         0, [](FrameFixture& f, Expect& e) { worl(f, e, [](FrameFixture&, Expect& e) { bkgdBody(e, "sky"); }); }, true},
        {"BCLU flags 0", [](FrameFixture&) {}, 0,
         [](FrameFixture& f, Expect& e) {
             const size_t c = e.Open("BCLU");
             e.U16(0).U16(0).U32(f.world.GetBaseCluster().GetObjectFlags()).Close(c);
         },
         false},
    };
    for (const Case& c : cases) {
        // A fresh world per case, in this fixture's shape.
        struct Local : FrameFixture {
            void TestBody() override {}
        } local;
        c.setUp(local);
        CBufferStream out;
        LChunkStream writer(&out);
        if (c.world)
            local.world.SaveWorld(writer, c.flags);
        else
            local.world.GetBaseCluster().SaveClusters(writer, nullptr, c.flags);
        Expect e;
        c.expect(local, e);
        EXPECT_EQ(Bytes(out), e.b) << c.what;
    }
}

TEST_F(Cluster, BackgroundFileCopies) {
    FakeTree tree;
    tree.cwd = "C:\\scene";
    world.SetFileSearch(&tree);
    LTexture* t = world.CreateTexture("sky", nullptr);
    t->SetFileName("C:\\art\\sky.bmp");
    world.GetTextureList().AddTexture(t);
    world.SetBackground(world.GetMaterialList().CreateMaterial("skymat", t, 0, 0, nullptr));
    CBufferStream out;
    LChunkStream writer(&out);
    world.SaveWorld(writer, 0);
    EXPECT_TRUE(tree.copies.empty());  // without flag 0x200
    world.SaveWorld(writer, 0x200);
    EXPECT_EQ(tree.copies, (std::vector<std::string>{"C:\\art\\sky.bmp>C:\\scene\\sky.bmp"}));

    // With a copy callback the callback copies instead.
    static std::vector<std::string> called;
    FrameLog l;
    GeometryDriver d;
    RecordingTarget target2(&d, &l);
    L3DWorld other(&target2, [](LTexture*, const char* name, const char* to, int32_t failIfExists, const char* from) {
        called.push_back(std::string(name) + "|" + to + "|" + from + "|" + std::to_string(failIfExists));
        return int32_t(1);
    });
    other.SetFileSearch(&tree);
    LTexture* t2 = other.CreateTexture("sky", nullptr);
    t2->SetFileName("C:\\art\\sky.bmp");
    other.GetTextureList().AddTexture(t2);
    other.SetBackground(other.GetMaterialList().CreateMaterial("skymat", t2, 0, 0, nullptr));
    other.SaveWorld(writer, 0x200);
    EXPECT_EQ(called, (std::vector<std::string>{"sky|C:\\scene\\sky.bmp|C:\\art\\sky.bmp|1"}));
    EXPECT_EQ(tree.copies.size(), 1u);
}

}  // namespace
