// The script surface class through its constructor and member handlers, on
// memory and headless DIB surfaces; and its dirty-rectangle list.
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/color_depths.h"
#include "graphics2d/dirty_rects.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/package/package_writer.h"
#include "runtime/package/picture_element.h"
#include "tests/graphics2d/image_test_support.h"
#include "tests/graphics2d/loaded_interpreter.h"

namespace {

class SurfaceClassTest : public LoadedInterpreterTest {
protected:
    CISurface* NewSurface(std::initializer_list<CallArg> args = {}) {
        return dynamic_cast<CISurface*>(New(kClassSurface, args));
    }
};

TEST_F(SurfaceClassTest, DefaultSurfaceIsWhiteInTheImageDepth) {
    CISurface* s = NewSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 640);
    EXPECT_EQ(Int(s, kSurfaceGetPixelHeight), 480);
    EXPECT_EQ(Int(s, kSurfaceGetDepth), GetImageColorDepth(&m_interp));
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), 0xFFFFFF);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {639, 479}), 0xFFFFFF);
    EXPECT_EQ(Int(s, kSurfaceGetBackgroundColor), 0xFFFFFF);
    EXPECT_EQ(Int(s, kSurfaceIsAutoRefresh), 1);
    EXPECT_EQ(Int(s, kSurfaceIsAutoBack), 1);
    EXPECT_EQ(Int(s, kSurfaceIsWrapping), 1);
    EXPECT_EQ(Int(s, kSurfaceGetXPos), 0);
    // The font is the interpreter's default font.
    ASSERT_NE(s->CurrentFont(), nullptr);
    EXPECT_EQ(s->CurrentFont(), GetDefaultFont(&m_interp));
    EXPECT_EQ(Call(s, kSurfaceGetFont)->GetObject(), s->CurrentFont());
}

TEST_F(SurfaceClassTest, SizesDepthsAndFlagWords) {
    CISurface* s = NewSurface({100, 50, 8});
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Int(s, kSurfaceGetDepth), 8);
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 100);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {99, 49}), 0xFFFFFF);
    // Flag words stand anywhere and do not count as sizes. (Back end 2,
    // flag 0x01, is DirectDraw where it works: its surfaces take the screen's
    // depth, so it is left out here.)
    CISurface* t = NewSurface({0xABCD0008u, 30, 0xABCD0020u, 20, 16});
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(Int(t, kSurfaceGetPixelWidth), 30);
    EXPECT_EQ(Int(t, kSurfaceGetPixelHeight), 20);
    EXPECT_EQ(Int(t, kSurfaceGetDepth), 16);
}

TEST_F(SurfaceClassTest, CreationErrors) {
    const struct {
        const char* what;
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {"depth 12", {100, 50, 12}, 23},
        {"four numbers", {1, 2, 8, 4}, 13},
        {"empty image name", {""}, 29},
        {"missing file", {"no such picture.bmp"}, 9},
        {"no memory for the size", {100000, 100000}, 9},
    };
    for (const auto& c : cases) EXPECT_EQ(NewError(kClassSurface, c.args), c.error) << c.what;
    EXPECT_EQ(CountInstances(&m_interp, kClassSurface), 0);
}

TEST_F(SurfaceClassTest, RefreshAndLockNeedAutoRefreshOff) {
    CISurface* s = NewSurface({10, 10});
    EXPECT_EQ(ErrorOf(s, kSurfaceRefresh), 37);
    EXPECT_EQ(ErrorOf(s, kSurfaceLock), 37);
    Call(s, kSurfaceSetAutoRefresh, {0});
    EXPECT_EQ(Int(s, kSurfaceIsAutoRefresh), 0);
    EXPECT_EQ(ErrorOf(s, kSurfaceRefresh), -1);
    EXPECT_EQ(ErrorOf(s, kSurfaceLock), -1);
    EXPECT_EQ(ErrorOf(s, kSurfaceUnlock), -1);
    // The manual sprite steps need auto-back off.
    EXPECT_EQ(ErrorOf(s, kSurfaceClearSprites), 36);
}

TEST_F(SurfaceClassTest, ClearAndEraseRectUseTheBackground) {
    CISurface* s = NewSurface({20, 10, 32});
    Call(s, kSurfaceClear, {0x123456, 0xFF});
    EXPECT_EQ(Int(s, kSurfaceGetBackgroundColor), 0x123456);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {19, 9}), 0x123456);
    Call(s, kSurfaceSetBackgroundColor, {0x00FF00});
    // A negative x shortens the width: columns 0..2 only.
    Call(s, kSurfaceEraseRect, {-2, 0, 5, CallArg::Omitted()});
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {2, 9}), 0x00FF00);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {3, 0}), 0x123456);
    // Omitted coordinates of GetPixel are the cursor's.
    Call(s, kSurfaceMoveTo, {1, 1});
    EXPECT_EQ(Int(s, kSurfaceGetPixel), 0x00FF00);
    Call(s, kSurfaceMoveTo, {10, CallArg::Omitted()});
    EXPECT_EQ(Int(s, kSurfaceGetXPos), 10);
    EXPECT_EQ(Int(s, kSurfaceGetYPos), 1);
    EXPECT_EQ(Int(s, kSurfaceGetPixel), 0x123456);
    Call(s, kSurfaceClear);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), 0xFFFFFF);
    EXPECT_EQ(Int(s, kSurfaceGetXPos), 0);
}

TEST_F(SurfaceClassTest, ReallocationKeepsThePictureAndSurvivesFailure) {
    CISurface* s = NewSurface({20, 10, 24});
    Call(s, kSurfaceClear, {0x0000FF});
    EXPECT_EQ(s->ReallocateBuffer(100000, 100000, 24), 0);
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 20);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {19, 9}), 0x0000FF);
    ASSERT_EQ(s->ReallocateBuffer(30, 12, 32), 1);
    EXPECT_EQ(Int(s, kSurfaceGetDepth), 32);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {19, 9}), 0x0000FF);  // copied over
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {29, 11}), 0x0000FF);  // cleared to the background
    s->Resize(40, 12);
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 40);
}

TEST_F(SurfaceClassTest, DirtyRectanglesWaitWhenTheWindowHasNoDC) {
    CISurface* s = NewSurface({20, 10});
    EXPECT_EQ(s->GetDirtyRects().GetCount(), 0);  // no owner window: nothing listed
    int fakeWindow = 0;
    s->SetOwnerWindow(nullptr, &fakeWindow);
    EXPECT_EQ(s->IsLate(), 1);
    s->Reset(1, 0xFFFFFF, 0);
    ASSERT_EQ(s->GetDirtyRects().GetCount(), 1);
    EXPECT_EQ(s->IsDirty(), 1);
    s->Refresh();  // the native build has no window DCs: presenting is skipped
    EXPECT_EQ(s->GetDirtyRects().GetCount(), 1);
    EXPECT_EQ(s->IsDirty(), 0);
}

// Fakes of the 3D side.
struct FakeAPI : ISurfaceRenderAPI {
    int32_t driver = 0;
    int attached = 0;
    int released = 0;
    int32_t GetDriver() override { return driver; }
    int GetFixedSize(int32_t*, int32_t*) override { return 0; }
    int32_t Message(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    void AttachSurface(CSurface*) override { ++attached; }
    void DropCamera() override {}
    void Release() override { ++released; }
};
struct FakeWorld : ISurfaceWorld {
    ISurfaceRenderAPI* existing = nullptr;
    FakeAPI made;
    ISurfaceRenderAPI* GetRenderAPI() override { return existing; }
    ISurfaceRenderAPI* CreateRenderAPI(int32_t driver) override {
        made.driver = driver;
        return &made;
    }
};
struct FakeCamera : CIBaseClassImpl, ISurfaceCamera {
    explicit FakeCamera(ISurfaceWorld* w) : CIBaseClassImpl(nullptr, nullptr, 0, false), world(w) {}
    ISurfaceWorld* world;
    ISurfaceWorld* GetWorld() override { return world; }
    void RenderFrame() override {}
};

TEST_F(SurfaceClassTest, RenderAttachmentErrors) {
    CISurface* s = NewSurface({20, 10});
    auto errorOf = [&](CIBaseClassImpl* camera) {
        try {
            s->GetRenderAPI(camera);
        } catch (const CIError& e) {
            return e.code;
        }
        return -1;
    };
    FakeCamera noWorld(nullptr);
    EXPECT_EQ(errorOf(nullptr), 44);
    EXPECT_EQ(errorOf(&noWorld), 55);
    FakeWorld other;
    FakeAPI foreign;
    foreign.driver = 2;
    other.existing = &foreign;
    FakeCamera otherCamera(&other);
    EXPECT_EQ(errorOf(&otherCamera), 97);
    FakeWorld world;
    FakeCamera camera(&world);
    EXPECT_EQ(s->GetRenderAPI(&camera), &world.made);
    EXPECT_EQ(world.made.attached, 1);
    EXPECT_EQ(s->GetRenderAPI(&otherCamera), &world.made);  // one API per surface
    s->OnObjectDeleted(&camera);
    EXPECT_EQ(world.made.released, 1);
}

// A package whose picture bank has one palette: "ok" (2 × 1, 8-bit rows of
// palette 0) and "bad" (palette index 1, which the table does not have).
class SurfacePackageTest : public SurfaceClassTest {
protected:
    void SetUp() override {
        CBankWriter pictures(kBankPictures, "Pictures");
        std::vector<uint8_t> palette(1024, 0);
        palette[4] = 250, palette[5] = 10, palette[6] = 20;  // entry 1
        pictures.AddPalette(palette.data());
        const uint8_t rows[4] = {1, 0, 0, 0};
        for (uint32_t index : {0u, 1u}) {
            PictureRows r;
            r.paletteIndex = index;
            r.width = 2, r.height = 1, r.depth = 8, r.pixels = rows, r.size = 4;
            std::vector<uint8_t> body;
            ASSERT_TRUE(EncodePictureRows(r, &body));
            pictures.AddRaw(index == 0 ? "ok" : "bad", "", body.data(), static_cast<int32_t>(body.size()));
        }
        CBufferStream bank;
        ASSERT_EQ(pictures.Write(&bank, true), 0u);
        PackageDescription d;
        d.programs.emplace_back();
        d.programs.back().title = "Pictures";
        d.programs.back().banks.emplace_back(bank.GetData(), bank.GetData() + bank.GetSize());
        std::vector<uint8_t> package;
        ASSERT_EQ(WritePackage(d, &package), 0u);
        m_path = imagetest::ScratchFolder() + "surface-package.bin";
        imagetest::WriteWholeFile(m_path, package);
        Start(m_path.c_str());
    }
    std::string m_path;
};

TEST_F(SurfacePackageTest, BankPicturesFollowTheImageDepth) {
    CISurface* s = NewSurface({"ok"});
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Int(s, kSurfaceGetDepth), GetImageColorDepth(&m_interp));
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), 0xFA0A14);
    SetImageColorDepth(&m_interp, 24);
    CISurface* t = NewSurface({"ok"});
    EXPECT_EQ(Int(t, kSurfaceGetDepth), 24);
    EXPECT_EQ(Int(t, kSurfaceGetPixel, {0, 0}), 0xFA0A14);
    // A palette index equal to the table's count: the picture cannot be had.
    EXPECT_EQ(NewError(kClassSurface, {"bad"}), 9);
}

TEST(DirtyRectsTest, MergesOverlapsAndFoldsAFullList) {
    CDirtyRects list;
    list.Add(CRect(10, 10, 20, 20));
    list.Add(CRect(12, 12, 15, 15));  // contained
    ASSERT_EQ(list.GetCount(), 1);
    list.Add(CRect(40, 10, 50, 20));
    list.Add(CRect(20, 30, 10, 40));  // normalised, touches nothing
    ASSERT_EQ(list.GetCount(), 3);
    // Overlaps the first; the union then overlaps the second: one chain.
    list.Add(CRect(18, 12, 42, 14));
    ASSERT_EQ(list.GetCount(), 2);
    bool chained = false;
    for (int i = 0; i < list.GetCount(); ++i)
        chained = chained || (list[i].left == 10 && list[i].top == 10 && list[i].right == 50 && list[i].bottom == 20);
    EXPECT_TRUE(chained);
    // Touching edges do not overlap.
    list.Add(CRect(50, 10, 60, 20));
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(DirtyRectsTest, TheEntryPastCapacityLeavesTheBoundsAndItself) {
    for (bool inside : {false, true}) {
        CDirtyRects list;
        for (int i = 0; i < CDirtyRects::kCapacity; ++i)
            list.Add(CRect((i % 32) * 4, (i / 32) * 4, (i % 32) * 4 + 2, (i / 32) * 4 + 2));
        ASSERT_EQ(list.GetCount(), CDirtyRects::kCapacity);
        const CRect extra = inside ? CRect(1, 1, 2, 2) : CRect(500, 500, 510, 510);
        list.Add(inside ? CRect(2, 2, 3, 3) : extra);  // (2,2) lies in a gap of the grid
        if (inside) {
            ASSERT_EQ(list.GetCount(), 1);
        } else {
            ASSERT_EQ(list.GetCount(), 2);
            EXPECT_EQ(list[1].left, 500);
        }
        EXPECT_EQ(list[0].left, 0);
        EXPECT_EQ(list[0].top, 0);
        EXPECT_EQ(list[0].right, 126);
        EXPECT_EQ(list[0].bottom, 126);
    }
}

}  // namespace
