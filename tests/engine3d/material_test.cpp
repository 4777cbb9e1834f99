#include "engine_fixture.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "runtime/base/sys_utils.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

LTexture* TextureWithFirstPixel(L3DWorld& world, int32_t depth, const std::vector<uint8_t>& first) {
    LTexture* t = world.CreateTexture("px", nullptr);
    world.GetTextureList().AddTexture(t);
    uint8_t* p = nullptr;
    CallocRetry(64, &p);
    std::memcpy(p, first.data(), first.size());
    t->SetPixels(p, 8, nullptr, 0, 2, 2, 1, depth, nullptr);
    return t;
}

}  // namespace

TEST(Material, UniqueNames) {
    TestWorld w;
    LBaseMaterial& list = w.world.GetMaterialList();
    list.CreateMaterial("Wood", nullptr, 0, 0, nullptr);
    list.CreateMaterial("Wood - 1", nullptr, 0, 0, nullptr);
    const std::string n255(255, 'a');
    list.CreateMaterial(n255.c_str(), nullptr, 0, 0, nullptr);
    char out[256];
    list.MakeUniqueName(out, "Wood", 256);
    EXPECT_STREQ(out, "Wood - 2");
    list.MakeUniqueName(out, "Box(1)", 256);
    EXPECT_STREQ(out, "Box 1 ");
    list.MakeUniqueName(out, n255.c_str(), 256);
    EXPECT_EQ(std::string(out), std::string(249, 'a') + " - 1");

    // Suffixes wider than seven characters move left instead of running past
    // the buffer: fill a 12-character buffer's names up to " - 1000".
    list.CreateMaterial("abcdefghijk", nullptr, 0, 0, nullptr);
    for (int i = 1; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "abcde - %d", i);
        list.CreateMaterial(name, nullptr, 0, 0, nullptr);
    }
    list.MakeUniqueName(out, "abcdefghijk", 12);
    EXPECT_STREQ(out, "abcd - 1000");
    list.MakeUniqueName(out, "abcdefghijk", 4);  // no suffix fits: the name as cut
    EXPECT_STREQ(out, "abc");
}

TEST(Material, ListOrderFindAndDeletion) {
    TestWorld w;
    LBaseMaterial& list = w.world.GetMaterialList();
    LMaterial* def = w.world.GetDefaultMaterial();
    LMaterial* shadow = w.world.GetDefaultShadowMaterial();
    EXPECT_EQ(list.GetValueAt(0), def);
    LMaterial* box = list.CreateMaterial("Box(1)", nullptr, 0, 0, nullptr);
    EXPECT_EQ(list.IndexOf(box), 1);  // second, after the default material
    EXPECT_EQ(list.FindByName("box(1)"), box);
    EXPECT_EQ(list.FindByName("BOX 1 "), box);
    LMaterial* again = list.CreateMaterial("Box 1 ", nullptr, 0, 0, nullptr);
    EXPECT_EQ(list.FindNextByName(again, "box 1 "), box);
    EXPECT_EQ(list.FindNextByName(box, "box 1 "), nullptr);
    EXPECT_EQ(list.AddMaterial(nullptr), 16);
    LMaterial stranger;
    EXPECT_EQ(list.DeleteMaterial(&stranger), 16);
    EXPECT_EQ(list.DeleteMaterialAt(99), 16);

    // DeleteMaterialAt(-1) keeps both default materials.
    EXPECT_EQ(list.DeleteMaterialAt(-1), 0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetMaterialCount(), 2);
    EXPECT_GE(list.IndexOf(shadow), 0);
    // The unused default material leaves the list but lives on.
    EXPECT_EQ(list.DeleteMaterial(def), 0);
    EXPECT_EQ(list.IndexOf(def), -1);
    EXPECT_STREQ(def->GetNameText(), "$Ruk3D Mat$ Default Material");
    list.AddMaterial(def);
}

TEST(Material, ColourFromTheFirstTexelAtEachDepth) {
    struct Case {
        int32_t depth;
        std::vector<uint8_t> first;
        uint32_t colour;
        uint8_t index;
    };
    const Case cases[] = {
        {8, {77}, 0, 77},
        {15, {0x00, 0x7C}, 0x0000F8, 0},       // red 31 in bits 10-14
        {16, {0xE0, 0x07}, 0x00FC00, 0},       // green 63 in bits 5-10
        {24, {0x30, 0x20, 0x10}, 0x302010, 0},  // blue, green, red
        {32, {0x01, 0x02, 0x03, 0xFF}, 0x010203, 0},
    };
    for (const Case& c : cases) {
        TestWorld w;
        LTexture* t = TextureWithFirstPixel(w.world, c.depth, c.first);
        LMaterial* m = w.world.GetMaterialList().CreateMaterial("m", t, LMaterial::kColourFromTexture, 0, nullptr);
        EXPECT_EQ(m->GetColor(), c.colour) << c.depth;
        EXPECT_EQ(m->GetPaletteIndex(), c.index) << c.depth;
        EXPECT_EQ(m->flags & 0xE, 8u) << c.depth;
    }
}

TEST(Material, RenderModesMirrorsAndCameraTexture) {
    TestWorld w;
    LMaterial* m = w.world.GetMaterialList().CreateMaterial("m", nullptr, 0x123456, 0, nullptr);
    EXPECT_EQ(m->flags & 0xE, 2u);
    m->SetMappedMode(1);
    EXPECT_EQ(m->flags & 0xE, 4u);  // no texture: flat
    LTexture* t = TextureWithFirstPixel(w.world, 24, {1, 2, 3});
    m->SetTexture(0, t);
    m->SetMappedMode(1);
    EXPECT_EQ(m->flags & 0xE, 8u);
    m->SetWireFrameMode(1);
    EXPECT_EQ(m->flags & 0xE, 2u);
    m->SetFlatMode(0);
    EXPECT_EQ(m->flags & 0xE, 2u);
    m->Hide();
    EXPECT_EQ(m->flags & LMaterial::kHidden, LMaterial::kHidden);
    m->Show();
    EXPECT_EQ(m->flags & LMaterial::kHidden, 0u);

    // Planar mirror on a material without (differing) polygons joins once.
    m->SetPlanarMirror(1);
    m->SetPlanarMirror(1);
    EXPECT_EQ(w.world.GetMirrorMaterials().GetCount(), 1);
    m->SetPlanarMirror(0);
    EXPECT_EQ(w.world.GetMirrorMaterials().GetCount(), 0);

    // A camera texture, then back to flat drawing.
    static int dummy;
    L3DCamera* camera = reinterpret_cast<L3DCamera*>(&dummy);
    const int32_t before = w.world.GetTextureList().GetCount();
    m->SetCameraTexture(1, camera, 64, 32);
    ASSERT_NE(m->GetTexture(1), nullptr);
    EXPECT_STREQ(m->GetTexture(1)->GetNameText(), ("CameraTex " + std::to_string(before)).c_str());
    EXPECT_EQ(m->GetLayerCount(), 2);
    EXPECT_EQ(m->flags & LMaterial::kCameraImage, LMaterial::kCameraImage);
    m->draw.routine = [](void*, LPolygon*, LCameraView*) {};
    m->SetCameraTexture(1, nullptr);
    EXPECT_EQ(m->GetTexture(1), nullptr);
    EXPECT_EQ(w.world.GetTextureList().GetCount(), before);
    EXPECT_EQ(m->flags & (0xE | LMaterial::kCameraImage), 4u);
    EXPECT_TRUE(m->draw.IsEmpty());
}

TEST(Material, TextureChangedEmptiesOnlyTheMaterialsShowingIt) {
    TestWorld w;
    LBaseMaterial& list = w.world.GetMaterialList();
    LTexture* a = TextureWithFirstPixel(w.world, 24, {1});
    LTexture* b = TextureWithFirstPixel(w.world, 24, {2});
    LMaterial* m0 = list.CreateMaterial("m0", a, 0, 0, nullptr);
    LMaterial* m1 = list.CreateMaterial("m1", b, 0, 0, nullptr);
    LMaterial* m2 = list.CreateMaterial("m2", nullptr, 0, 0, nullptr);
    m2->SetTexture(1, a);
    auto routine = [](void*, LPolygon*, LCameraView*) {};
    for (LMaterial* m : {m0, m1, m2}) m->draw.routine = m->clippedDraw.routine = routine;
    EXPECT_EQ(list.TextureChanged(nullptr), 15);
    EXPECT_EQ(list.TextureChanged(a), 0);
    EXPECT_TRUE(m0->draw.IsEmpty() && m0->clippedDraw.IsEmpty());
    EXPECT_FALSE(m1->draw.IsEmpty());
    EXPECT_TRUE(m2->draw.IsEmpty());
    // Tiling goes through the same notice.
    m1->draw.routine = routine;
    b->SetTiling(2.0f, 2.0f);
    EXPECT_TRUE(m1->draw.IsEmpty());
}

TEST(Material, MaterialChunkBytes) {
    TestWorld w;
    LBaseMaterial& list = w.world.GetMaterialList();
    LTexture* env = TextureWithFirstPixel(w.world, 24, {0});
    env->SetModeFlag(1);  // environment-mapped without colour key: not transparent
    env->SetFileName("dir\\env.bmp");
    LMaterial* m = list.CreateMaterial("m", env, 0x010203, 0, nullptr);
    m->SetTexture(1, env);
    CBufferStream out;
    LChunkStream chunks(&out);
    list.WriteMaterialChunk(chunks, 0);
    const std::vector<uint8_t> b(out.GetData(), out.GetData() + out.GetSize());
    std::vector<uint8_t> e = {'B', 'M', 'A', 'T', 0, 0, 0, 0, 3, 0};
    auto str = [&](const char* s) {
        e.push_back(uint8_t(std::strlen(s)));
        e.push_back(0);
        e.insert(e.end(), s, s + std::strlen(s));
    };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) e.push_back(uint8_t(v >> (8 * i)));
    };
    // "m": layer 0 and 1 the environment texture, stored by its bare name.
    str("m");
    e.insert(e.end(), {0, 0});
    u32(8);
    e.insert(e.end(), {0xFF, 0xFF});
    u32(0x010203);
    e.insert(e.end(), {0, 2});
    str("env.bmp");
    str("px");
    e.insert(e.end(), {0, 1, 0});
    u32(0);
    e.insert(e.end(), {24, 0});
    u32(0), u32(0), u32(0x3F800000), u32(0x3F800000);
    e.push_back(255);
    str("env.bmp");
    str("px");
    e.insert(e.end(), {0, 1, 0});
    u32(0);
    // The shadow material: "Nothing" records, one layer.
    str("$Ruk3D Mat$ Default Shadow Material");
    e.insert(e.end(), {0, 0});
    u32(2);
    e.insert(e.end(), {0xFF, 0xFF});
    u32(0);
    e.insert(e.end(), {0, 1});
    str("Nothing");
    str("Nothing");
    e.insert(e.end(), {0, 0, 0});
    u32(0);
    e.insert(e.end(), {0, 0});
    u32(0), u32(0), u32(0x3F800000), u32(0x3F800000);
    e.push_back(255);
    const uint32_t size = uint32_t(e.size() - 8);
    for (int i = 0; i < 4; ++i) e[size_t(4 + i)] = uint8_t(size >> (8 * i));
    EXPECT_EQ(b, e);
}
