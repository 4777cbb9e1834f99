#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Search root C:\s, current directory C:\c.
struct LocatorTree : FakeTree {
    LocatorTree() {
        AddFile("C:\\s\\deep\\both.bmp");
        AddFile("C:\\c\\both.bmp");
        AddFile("C:\\c\\only.bmp");
        AddFile("C:\\c\\.hidden\\secret.bmp");
        AddFile("C:\\c\\sub\\order.bmp");
        AddFile("C:\\c\\order.bmp");
        AddFile("C:\\c\\a\\nested.bmp");
        AddFile("C:\\c\\b\\nested.bmp");
        cwd = "C:\\c";
    }
};

}  // namespace

TEST(LocateFile, SearchOrderOnAFakeTree) {
    struct Case {
        const char* name;
        int32_t found;
        const char* path;
    };
    const Case cases[] = {
        {"both.bmp", 1, "C:\\s\\deep\\both.bmp"},      // the search tree first
        {"only.bmp", 1, "C:\\c\\only.bmp"},
        {"x\\y\\only.bmp", 1, "C:\\c\\only.bmp"},       // by its file name alone
        {"q/only.bmp", 1, "C:\\c\\only.bmp"},
        {"secret.bmp", 0, ""},                         // '.' directories never entered
        {"order.bmp", 1, "C:\\c\\order.bmp"},          // files before subdirectories
        {"nested.bmp", 1, "C:\\c\\a\\nested.bmp"},     // enumeration order
        {"missing.bmp", 0, ""},
        {"", 0, ""},
        {"dir\\", 0, ""},
    };
    for (const Case& c : cases) {
        LocatorTree tree;
        TestWorld w;
        w.world.SetFileSearch(&tree);
        EXPECT_EQ(w.world.GetTextureList().SetSearchPath("C:\\s\\"), 6);
        char out[260] = "";
        EXPECT_EQ(w.world.GetTextureList().LocateFile(c.name, out), c.found) << c.name;
        if (c.found) {
            EXPECT_STREQ(out, c.path) << c.name;
        }
        EXPECT_EQ(tree.cwd, "C:\\c") << c.name;  // restored, found or not
    }
}

TEST(LocateFile, UserLoaderLongPathsAndLinkLoops) {
    LocatorTree tree;
    TestWorld w;
    w.world.SetFileSearch(&tree);
    LTextureList& list = w.world.GetTextureList();
    list.SetSearchPath("pack:");
    w.world.SetUserLoadCallback([](LTexture*, const char*, void*) -> int32_t { return 1; }, nullptr);
    char out[260];
    EXPECT_EQ(list.LocateFile("x\\tex.bmp", out), 1);
    EXPECT_STREQ(out, "pack:x\\tex.bmp");  // unchanged, no separator added
    const std::string longName(300, 'n');
    EXPECT_EQ(list.LocateFile(longName.c_str(), out), 0);
    w.world.SetUserLoadCallback(nullptr, nullptr);

    // A found file whose path would pass 260 characters is not found.
    const std::string dir = "C:\\c\\" + std::string(250, 'd');
    tree.AddFile(dir + "\\far.bmp");
    EXPECT_EQ(list.LocateFile("far.bmp", out), 0);

    // A link back to an ancestor: the search ends, and the file past it is
    // still found once.
    tree.AddDir("C:\\c\\loop");
    tree.subdirs["C:\\c\\loop"].push_back("up");
    tree.dirs.insert("C:\\c\\loop\\up");
    tree.links["C:\\c\\loop\\up"] = "C:\\c";
    EXPECT_EQ(list.LocateFile("nowhere.bmp", out), 0);
    EXPECT_LT(tree.enters, 200);
    EXPECT_EQ(tree.cwd, "C:\\c");
}

TEST(TextureList, LoadFindDeleteAndReload) {
    LocatorTree tree;
    TestWorld w;
    w.world.SetFileSearch(&tree);
    LTextureList& list = w.world.GetTextureList();
    // Without an image layer nothing loads.
    const LImageSourceFactory installed = L3DWorld::GetImageSourceFactory();
    L3DWorld::SetImageSourceFactory(nullptr);
    EXPECT_EQ(list.LoadTexture("t", "only.bmp"), nullptr);
    EXPECT_EQ(list.GetCount(), 0);

    L3DWorld::SetImageSourceFactory(&FakeImageSource::Make);
    FakeImageSource::Images()["C:\\c\\only.bmp"] = {3, 2, {0x0000FF, 0x00FF00, 0xFF0000, 1, 2, 3}, {9, 8, 7, 6, 5, 4}};
    FakeImageSource::Images()["C:\\c\\order.bmp"] = {0, 2, {}, {}};  // zero width: fails
    EXPECT_EQ(list.LoadTexture("t", "missing.bmp"), nullptr);
    EXPECT_EQ(list.LoadTexture("t", "order.bmp"), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(w.driver.texturesDeleted, 2);  // made for only.bmp (no image layer) and order.bmp

    w.world.SetColourDepth(24);
    LTexture* a = list.LoadTexture("Tex", "only.bmp");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetFileNameText(), "C:\\c\\only.bmp");
    EXPECT_EQ(a->GetWidth(), 4);
    EXPECT_EQ(a->GetBitsPerPixel(), 24);
    const uint8_t* p = a->GetPixels();
    EXPECT_EQ(p[0], 0x00);  // blue, green, red of 0x0000FF
    EXPECT_EQ(p[2], 0xFF);
    ASSERT_NE(a->GetMask(), nullptr);
    EXPECT_EQ(a->GetMask()[0], 9);
    LTexture* b = list.LoadTexture("tex", "only.bmp");
    LTexture* c = list.LoadTexture("other", "only.bmp");
    EXPECT_EQ(list.GetCount(), 3);
    // InsertAt(0) lists each new texture second: a, c, b.
    EXPECT_EQ(list.GetList().GetValueAt(1), c);
    EXPECT_EQ(list.FindByName("TEX"), a);
    EXPECT_EQ(list.FindNextByName(a, "tex"), b);
    EXPECT_EQ(list.FindNextByName(b, "tex"), nullptr);
    EXPECT_EQ(list.AddTexture(nullptr), 15);
    LTexture loose(nullptr, "loose", nullptr);
    EXPECT_EQ(list.DeleteTexture(&loose), 15);
    EXPECT_EQ(list.DeleteTextureAt(7), 15);

    // Reload reads the file again; the texture's own loader goes first.
    FakeImageSource::Images()["C:\\c\\only.bmp"].texels[0] = 0x000080;
    list.ReloadAll();
    EXPECT_EQ(a->GetPixels()[2], 0x80);
    c->updateCallback = [](LTexture*) -> int32_t { return 0; };
    EXPECT_EQ(list.LoadTextureImage(c, "C:\\c\\only.bmp"), 0);  // it filled nothing
    EXPECT_NE(c->GetPixels(), nullptr);
    list.ReleaseAll();
    EXPECT_EQ(list.DeleteTexture(b), 0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.DeleteTextureAt(-1), 0);
    EXPECT_EQ(list.GetCount(), 0);
    L3DWorld::SetImageSourceFactory(installed);
}
