// The octree through the base cluster: built meshes made static become an
// octree whose nodes a moving camera culls by its box test and whose
// in-view polygons are drawn into the recording target; hidden nodes are
// skipped; "OCTR" chunks; the world's collision candidates.
#include "frame_fixture.h"

#include "engine3d/base_cluster.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material_cache.h"
#include "engine3d/octree.h"
#include "engine3d/primitive_builders.h"
#include "runtime/io/buffer_stream.h"

#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <set>

namespace {

struct OctreeCluster : FrameFixture {
    // 200 bricks (2400 triangles) over x, z in [-500, 500], made static.
    void BuildLevel() {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> at(-500, 500);
        for (int i = 0; i < 200; ++i) {
            L3DObject* brick = BuildBrick(&world, 10, 10, 10);
            brick->SetPolygonMaterial(-1, paint);
            world.AddObject(brick);
            brick->SetPositionAndAngles(0, 0, 0, at(random), 0, at(random));
            brick->MakeStatic(0);
        }
        world.UpdateClusters();
    }
    L3DOctreeNode* Root() { return world.GetBaseCluster().GetOctreeRoot(); }
    static void Walk(L3DOctreeNode* node, const std::function<void(L3DOctreeNode*)>& f) {
        f(node);
        for (int i = 0; i < 8; ++i)
            if (L3DOctreeNode* c = node->GetChild(i)) Walk(c, f);
    }
    // The box test by definition: outside when all eight corners are beyond
    // one of the camera's planes, inside when none is beyond any.
    int32_t BoxAnswer(L3DOctreeNode* node) {
        uint32_t any = 0, all = ~0u;
        for (int i = 0; i < 8; ++i) {
            float corner[3], inCamera[3];
            L3DObject::BoxCorner(i, node->GetMin(), node->GetMax(), corner);
            camera->ToCamera(corner, inCamera);
            const uint32_t code = camera->PointOutcode(inCamera);
            any |= code;
            all &= code;
        }
        return all ? 8 : (any ? 4 : 2);
    }
    void Look(float x, float z, float angleY) {
        camera->SetPositionAndAngles(0, angleY, 0, x, 20, z);
        Frame();
    }
};

TEST_F(OctreeCluster, MovingCameraCullsNodesAndDrawsTheInViewPolygons) {
    BuildLevel();
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(world.GetBaseCluster().GetMeshList().GetCount(), 0);
    EXPECT_GE(Root()->GetNPolygons(1), 2400);  // bricks on a split plane are cut in pieces
    ASSERT_NE(Root()->GetChildren(), nullptr);

    // Zero angles look along +z here.
    int everOut = 0;
    for (const auto& view : {std::array<float, 3>{0, -600, 0}, {-600, 0, 1.5708f}, {300, -300, 3.1416f}, {0, 0, 0.8f}}) {
        Look(view[0], view[1], view[2]);
        std::set<LPolygon*> drawn;
        for (auto& [p, c] : log.drawn) drawn.insert(p);
        std::set<LPolygon*> inView;
        int nodesIn = 0, nodesOut = 0;
        Walk(Root(), [&](L3DOctreeNode* node) {
            const int32_t answer = BoxAnswer(node);
            EXPECT_EQ(node->IsInView(), answer != 8 ? 1 : 0) << node->GetDepth();
            if (answer == 2) EXPECT_EQ(node->GetCacheList()->GetClip(), 0);
            if (answer == 4) EXPECT_EQ(node->GetCacheList()->GetClip(), 1);
            (answer != 8 ? nodesIn : nodesOut) += 1;
            if (!node->IsInView()) return;
            for (LDataNode* n = node->GetPolygonList()->GetHead(); n; n = n->next) inView.insert(static_cast<LPolygon*>(n->value));
        });
        everOut += nodesOut;
        EXPECT_GT(nodesIn, 1);
        EXPECT_FALSE(drawn.empty());
        // Only polygons of in-view nodes reach the target (each once).
        for (LPolygon* p : drawn) EXPECT_EQ(inView.count(p), 1u);
        EXPECT_EQ(drawn.size(), log.drawn.size());
    }
    EXPECT_GT(everOut, 0);

    // A hidden node draws nothing, though the camera sees it.
    Look(0, -600, 0);
    L3DOctreeNode* seen = nullptr;
    Walk(Root(), [&](L3DOctreeNode* node) {
        if (!seen && node->IsInView() && node->GetNPolygons(0) > 0) seen = node;
    });
    ASSERT_NE(seen, nullptr);
    std::set<LPolygon*> hidden;
    for (LDataNode* n = seen->GetPolygonList()->GetHead(); n; n = n->next) hidden.insert(static_cast<LPolygon*>(n->value));
    seen->Hide(0);
    Frame();
    EXPECT_EQ(seen->IsInView(), 0);
    for (auto& [p, c] : log.drawn) EXPECT_EQ(hidden.count(p), 0u);
}

TEST_F(OctreeCluster, CollisionCandidatesAreTheNodesMeetingTheBox) {
    float low[3] = {-50, -50, -50}, high[3] = {50, 50, 50};
    L3DObject* found[16];
    EXPECT_EQ(world.QueryClusterCandidates(low, high, found, 16), 0);  // no octree yet
    BuildLevel();
    const int32_t n = world.QueryClusterCandidates(low, high, found, 16);
    EXPECT_GT(n, 0);
    for (int32_t i = 0; i < n; ++i) {
        auto* node = static_cast<L3DOctreeNode*>(found[i]);
        EXPECT_EQ(node->GetKind(), uint32_t(L3DOctreeNode::kKindOctree));
        EXPECT_GT(node->GetNPolygons(0), 0);
    }
    world.Clear();
    EXPECT_EQ(world.GetBaseCluster().GetOctreeRoot(), nullptr);
}

TEST_F(OctreeCluster, OctrChunkOnlyWithTheSavedBit) {
    const float low[3] = {-1, -2, -3}, high[3] = {4, 5, 6};
    L3DOctreeNode node(low, high, &world, nullptr);
    CBufferStream out;
    LChunkStream writer(&out);
    node.SaveObject(writer, 0);
    CBufferStream general;
    LChunkStream generalWriter(&general);
    node.L3DObject::SaveObject(generalWriter, 0);
    ASSERT_GT(general.GetSize(), 0);
    std::vector<uint8_t> expected = {'O', 'C', 'T', 'R'};
    const uint32_t size = uint32_t(24 + general.GetSize());
    for (int i = 0; i < 4; ++i) expected.push_back(uint8_t(size >> (8 * i)));
    for (float f : {-1.0f, -2.0f, -3.0f, 4.0f, 5.0f, 6.0f}) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int i = 0; i < 4; ++i) expected.push_back(uint8_t(bits >> (8 * i)));
    }
    expected.insert(expected.end(), general.GetData(), general.GetData() + general.GetSize());
    EXPECT_EQ(std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize()), expected);

    node.SetSavable(0);
    CBufferStream none;
    LChunkStream noneWriter(&none);
    node.SaveObject(noneWriter, 0);
    EXPECT_EQ(none.GetSize(), 0);
}

}  // namespace
