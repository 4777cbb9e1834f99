// Exact frames: four fixture frames (flat, Gouraud, outlines, textured
// with a background and a sprite) at 160 x 120
// and 32 bits, compared byte for byte with files in golden/, so that the
// native and the Windows build must draw the same frame. Set
// TW_WRITE_GOLDEN=1 to write the files instead (on purpose only).
#include "software_fixture.h"
#include "software_scene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct GoldenCase {
    const char* name;
    SceneShading shading;
    uint32_t states;
};

std::vector<uint8_t> RenderScene(SceneShading shading, uint32_t states, int32_t w, int32_t h, int32_t depth) {
    LAPI_Surface_Win32 driver;
    SoftwareScene scene;
    std::vector<uint8_t> out;
    {
        std::unique_ptr<MemoryPresenter> target(new MemoryPresenter(nullptr, &driver));
        scene.Open(target.get());
        target->world = scene.world.get();
        target->Setup(w, h, depth, 0);
        target->states = states;
        target->flags = LRenderAPICLBK::kDepthBuffer;
        scene.world->SetColourDepth(depth);
        target->SetCamera(scene.MakeCamera());
        scene.Build(shading);
        target->RenderFrame();
        EXPECT_GT(scene.camera->GetPolygonsDrawn(), 6);  // the quads and the built objects
        out = target->pixels;
        target->DetachCamera();
        scene.Close();
    }
    return out;
}

std::string GoldenPath(const char* name) { return std::string(TW_GOLDEN_DIR) + "/" + name + ".bgra"; }

TEST(GoldenFrames, MatchTheCommittedFiles) {
    const GoldenCase cases[] = {
        {"flat", SceneShading::Flat, LRenderAPICLBK::kStateModulate},
        {"gouraud", SceneShading::Gouraud, 0},
        {"outlines", SceneShading::Outline, 0},
        {"textured", SceneShading::Textured, 0},
    };
    const bool write = std::getenv("TW_WRITE_GOLDEN") != nullptr;
    for (const GoldenCase& c : cases) {
        const std::vector<uint8_t> frame = RenderScene(c.shading, c.states, 160, 120, 32);
        const std::string path = GoldenPath(c.name);
        if (write) {
            FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr) << path;
            std::fwrite(frame.data(), 1, frame.size(), f);
            std::fclose(f);
            continue;
        }
        FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::vector<uint8_t> expected(frame.size() + 1);
        const size_t n = std::fread(expected.data(), 1, expected.size(), f);
        std::fclose(f);
        expected.resize(n);
        EXPECT_EQ(n, frame.size()) << c.name;
        size_t differ = 0;
        for (size_t i = 0; i < frame.size() && i < n; ++i) differ += frame[i] != expected[i];
        EXPECT_EQ(differ, 0u) << c.name;
    }
}

}  // namespace
