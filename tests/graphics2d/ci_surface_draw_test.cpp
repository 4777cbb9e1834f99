// The drawing and rich-text members of the script surface, called as the
// interpreter calls them, on headless surfaces (no device context: GDI
// shapes draw nothing natively, the rest works on the pixels).
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/os_gdi.h"
#include "graphics2d/os_text_metrics.h"
#include "graphics2d/surface_render.h"
#include "runtime/classes/class_registry.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <cstring>
#include <vector>

namespace {

// A stand-in for the point array class (id 10) until the 3D classes come.
class PointArrayDouble : public CIBaseClassImpl, public ISurfacePointArray {
public:
    explicit PointArrayDouble(CInterpretor* in)
        : CIBaseClassImpl(in, ClassRecordOf(in, kClassPointArray), kClassPointArray, true) {}
    void CallMember(int32_t) override {}
    void Destroy(int32_t) override {
        UnlinkFromClassList();
        delete this;
    }
    int32_t GetPointKind() const override { return kind; }
    int32_t GetPointCount() const override { return static_cast<int32_t>(points.size() / 2); }
    double GetPointCoordinate(int32_t i, int32_t axis) const override { return points[2 * i + axis]; }
    int32_t kind = 2;
    std::vector<double> points{1.9, 1.0, 8.0, 1.0, 4.0, 7.5};
};

class SurfaceDrawTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        if (const CClassBinding* b = GetClassBinding(kClassPointArray)) m_saved = *b;
        CClassBinding double_;
        double_.factory = &MakeScriptObject<PointArrayDouble>;
        RegisterClassBinding(kClassPointArray, double_);
    }
    void TearDown() override {
        RegisterClassBinding(kClassPointArray, m_saved);
        LoadedInterpreterTest::TearDown();
    }
    CISurface* NewSurface(int32_t w, int32_t h, int32_t depth = 32) {
        return dynamic_cast<CISurface*>(New(kClassSurface, {w, h, depth}));
    }
    int32_t Pixel(CISurface* s, int32_t x, int32_t y) { return Int(s, kSurfaceGetPixel, {x, y}); }
    std::pair<int32_t, int32_t> Cursor(CISurface* s) {
        return {Int(s, kSurfaceGetXPos), Int(s, kSurfaceGetYPos)};
    }
    CClassBinding m_saved;
};

TEST_F(SurfaceDrawTest, DrawModeLevelsAndErrors) {
    CISurface* s = NewSurface(8, 8);
    const struct {
        int32_t mode, level, storedMode, storedLevel;
    } cases[] = {{1, 255, 1, 128}, {1, 1000, 1, 128}, {1, -50, 1, 0}, {1, 0, 1, 0}, {3, 77, 3, 77}, {8, 1000, 8, 1000}};
    for (const auto& c : cases) {
        Call(s, kSurfaceSetDrawMode, {c.mode, c.level});
        EXPECT_EQ(s->DrawMode(), c.storedMode) << c.mode << " " << c.level;
        EXPECT_EQ(s->DrawLevel(), c.storedLevel) << c.mode << " " << c.level;
    }
    EXPECT_EQ(ErrorOf(s, kSurfaceSetDrawMode, {9, 0}), 24);
    EXPECT_EQ(ErrorOf(s, kSurfaceSetDrawMode, {-1, 0}), 24);
    Call(s, kSurfaceSetDrawMode);
    EXPECT_EQ(s->DrawMode(), 0);
    EXPECT_EQ(s->PlainDrawing(), 1);
}

TEST_F(SurfaceDrawTest, DerivedFlags) {
    CISurface* s = NewSurface(8, 8);
    const struct {
        int32_t member;
        std::initializer_list<CallArg> args;
        int32_t plain;
        uint32_t bits;
    } steps[] = {
        {kSurfaceSetFillColor, {0xFF0000}, 1, 2},
        {kSurfaceSetAntiAlias, {1}, 0, 2},
        {kSurfaceSetAntiAlias, {0}, 1, 2},
        {kSurfaceSetPenGradientColor, {0xFF, 0xFF00}, 0, 3},
        {kSurfaceSetPenColor, {0x123456}, 1, 2},  // drops the pen gradient
        {kSurfaceSetFillGradientDir, {1}, 0, 2},
        {kSurfaceSetFillColor, {}, 1, 0},
        {kSurfaceSetPenGradientDir, {1}, 0, 1},
        {kSurfaceSetPenColor, {0}, 1, 0},
        {kSurfaceSetDrawMode, {3, 0}, 0, 0},
    };
    for (const auto& step : steps) {
        Call(s, step.member, step.args);
        EXPECT_EQ(s->PlainDrawing(), step.plain) << step.member;
        EXPECT_EQ(s->ModeBits(), step.bits) << step.member;
    }
}

TEST_F(SurfaceDrawTest, PenSizeFillAndCursorRules) {
    CISurface* s = NewSurface(20, 20);
    Call(s, kSurfaceSetPenSize, {-3});
    EXPECT_EQ(s->PenSize(), 0);
    Call(s, kSurfaceSetFillColor, {0xFF0000});
    Call(s, kSurfaceRectangle, {6, 5, 2, 3});  // only the fill: x 2..5, y 3..4
    EXPECT_EQ(Pixel(s, 2, 3), 0xFF0000);
    EXPECT_EQ(Pixel(s, 5, 4), 0xFF0000);
    EXPECT_EQ(Pixel(s, 6, 4), 0xFFFFFF);
    EXPECT_EQ(Pixel(s, 2, 5), 0xFFFFFF);
    EXPECT_EQ(Cursor(s), std::make_pair(6, 5));
    // "SetFillColor" without a colour removes the fill: nothing more is drawn.
    Call(s, kSurfaceSetFillColor);
    Call(s, kSurfaceRectangle, {10, 10, 14, 14});
    EXPECT_EQ(Pixel(s, 11, 11), 0xFFFFFF);
    // "Ellipse" sorts its corners; the cursor is the lower right corner.
    Call(s, kSurfaceEllipse, {50, 50, 10, 10});
    EXPECT_EQ(Cursor(s), std::make_pair(50, 50));
}

TEST_F(SurfaceDrawTest, PixelsAtEveryDepth) {
    for (int32_t depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        CISurface* s = NewSurface(10, 10, depth);
        // What each depth keeps of a channel (8 bits: the palette's exact red,
        // green and blue).
        const int32_t kept = depth == 15 ? 0xF8F8F8 : depth == 16 ? 0xF8FCF8 : 0xFFFFFF;
        Call(s, kSurfaceSetPixel, {5, 5, 0xFF0000});
        EXPECT_EQ(Pixel(s, 5, 5), 0xFF0000 & kept);
        EXPECT_EQ(Cursor(s), std::make_pair(6, 5));
        Call(s, kSurfaceSetPenColor, {0x0000FF});
        Call(s, kSurfaceSetPixel);  // a pen point at the cursor
        EXPECT_EQ(Pixel(s, 6, 5), 0x0000FF & kept);
        EXPECT_EQ(Cursor(s), std::make_pair(7, 5));
        Call(s, kSurfaceSetPixel, {0x00FF00});  // the colour at the cursor
        EXPECT_EQ(Pixel(s, 7, 5), 0x00FF00 & kept);
        Call(s, kSurfaceSetPixel, {1, 2, 3, 4});  // more than three: nothing
        EXPECT_EQ(Cursor(s), std::make_pair(8, 5));
        if (depth == 8) {
            EXPECT_NE(Int(s, kSurfaceGetPixelIndex, {5, 5}), Int(s, kSurfaceGetPixelIndex, {0, 0}));
            EXPECT_EQ(Int(s, kSurfaceGetPixelIndex, {50, 50}), 0);
        } else {
            EXPECT_EQ(ErrorOf(s, kSurfaceGetPixelIndex, {5, 5}), 28);
        }
    }
}

TEST_F(SurfaceDrawTest, LinesAndStyledPenPoints) {
    CISurface* s = NewSurface(20, 20);
    Call(s, kSurfaceSetPenColor, {0xFF0000});
    Call(s, kSurfaceLine, {0, 0, 5, 2});
    EXPECT_EQ(Pixel(s, 0, 0), 0xFF0000);
    EXPECT_EQ(Pixel(s, 2, 1), 0xFF0000);
    EXPECT_EQ(Pixel(s, 5, 2), 0xFF0000);
    EXPECT_EQ(Cursor(s), std::make_pair(5, 2));
    Call(s, kSurfaceLineTo, {5, 9});
    EXPECT_EQ(Pixel(s, 5, 9), 0xFF0000);
    // XOR mode: the styled line of width 1 needs no device context.
    Call(s, kSurfaceSetDrawMode, {3, 0});
    Call(s, kSurfaceLine, {0, 15, 3, 15});
    EXPECT_EQ(Pixel(s, 1, 15), 0x00FFFF);
    // A styled pen point of size 1.
    Call(s, kSurfaceSetPixel, {10, 10});
    EXPECT_EQ(Pixel(s, 10, 10), 0x00FFFF);
    EXPECT_EQ(Cursor(s), std::make_pair(11, 10));
    // Size 4: the cursor moves by half the size.
    Call(s, kSurfaceSetPenSize, {4});
    Call(s, kSurfaceSetPixel, {10, 10});
    EXPECT_EQ(Cursor(s), std::make_pair(12, 12));
}

TEST_F(SurfaceDrawTest, FloodFillMember) {
    CISurface* s = NewSurface(10, 10, 16);
    Call(s, kSurfaceSetFillColor, {0x00FF00});
    Call(s, kSurfaceSetPenSize, {0});
    Call(s, kSurfaceRectangle, {0, 0, 10, 5});
    Call(s, kSurfaceSetFillColor, {0x0000FF});
    Call(s, kSurfaceMoveTo, {3, 7});
    Call(s, kSurfaceFill);
    EXPECT_EQ(Pixel(s, 9, 9), 0x0000F8);
    EXPECT_EQ(Pixel(s, 0, 5), 0x0000F8);
    EXPECT_EQ(Pixel(s, 0, 4), 0x00FC00);
}

TEST_F(SurfaceDrawTest, PolygonArguments) {
    CISurface* s = NewSurface(10, 10);
    EXPECT_EQ(ErrorOf(s, kSurfaceDrawPolygon, {1, 2, 3}), 22);
    CISurface* other = NewSurface(2, 2);
    try {
        Call(s, kSurfaceDrawPolygon, {other});
        ADD_FAILURE() << "no error";
    } catch (const CIError& e) {
        EXPECT_EQ(e.code, 53);
        EXPECT_EQ(e.detail, 2);
    }
    PointArrayDouble* points = dynamic_cast<PointArrayDouble*>(New(kClassPointArray));
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(ErrorOf(s, kSurfaceDrawPolygon, {points}), -1);
    EXPECT_EQ(ErrorOf(s, kSurfaceDrawPolygon, {1, 2, 3, 4, 5, 6}), -1);
    points->kind = 3;
    EXPECT_EQ(ErrorOf(s, kSurfaceDrawPolygon, {points}), 57);
    EXPECT_EQ(Cursor(s), std::make_pair(0, 0));  // polygons leave the cursor
}

TEST_F(SurfaceDrawTest, WriteMovesTheCursorAndEmptiesTheFontCache) {
    CISurface* s = NewSurface(200, 100);
    LogFontA f{};
    ASSERT_TRUE(OsGetFontDescription(s->GetFontHandle(), &f));
    const int32_t h = f.lfHeight < 0 ? -f.lfHeight : f.lfHeight;
    ASSERT_GT(h, 0);
    // The expected steps come from the real metrics of the surface's font
    // (GDI's under Windows, the fixed-width stand-in natively).
    auto measure = [](void* font, const char* text) {
        OsTextExtent e{};
        EXPECT_TRUE(OsMeasureText(nullptr, font, text, static_cast<int32_t>(std::strlen(text)), &e));
        return e;
    };
    LogFontA boldDescription = f;
    boldDescription.lfWeight = 700;
    void* bold = OsCreateFont(&boldDescription);
    ASSERT_NE(bold, nullptr);
    const int32_t written = measure(bold, "ab").width + measure(s->GetFontHandle(), "12").width;
    OsDeleteFont(bold);
    const int32_t lineHeight = measure(s->GetFontHandle(), "x").height;
    const int fonts = OsLiveFontCount();
    Call(s, kSurfaceWrite, {"<b>ab</b>", CallArg::Omitted(), 12});
    EXPECT_EQ(OsLiveFontCount(), fonts);  // the bold font went with the call
    EXPECT_EQ(Cursor(s), std::make_pair(written, 0));
    Call(s, kSurfaceWriteLn);  // the font's height, whatever the text's
    EXPECT_EQ(Cursor(s), std::make_pair(0, h));
    Call(s, kSurfaceWriteLn, {"x", "y"});
    EXPECT_EQ(Cursor(s), std::make_pair(0, h + 2 * lineHeight));
    // Scrolling keeps the cursor on the surface.
    for (int i = 0; i < 10; ++i) Call(s, kSurfaceWriteLn, {"line"});
    EXPECT_EQ(Cursor(s), std::make_pair(0, 100));
}

}  // namespace
