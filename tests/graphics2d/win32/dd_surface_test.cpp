// DirectDraw surfaces on the system's ddraw: selection by back end 2 and its
// fallback, the three instance states, colour fills, presentation into a
// window through the primary and its clipper, the diagnostic lines, the
// release of what a failing call made, and the display-mode switch.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gdi_test_support.h"
#include "graphics2d/colour_match.h"
#include "graphics2d/surface_registry.h"
#include "graphics2d/win32/dd_surface.h"

namespace {

std::string g_lines;
void Collect(const char* line) { g_lines += line; }

const char kMakeFailed[] = ">> cDDSurface::MakeInstance failed!\n";
const char kAttachFailed[] = ">> cDDSurface::AttachWindow didn't succeed!\n";

class DDSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSurfaceClient();
        g_lines.clear();
        SetDirectDrawDiagnosticSink(Collect);
    }
    void TearDown() override {
        FailDirectDrawStep(kDDStepNone);
        SetDirectDrawDiagnosticSink(nullptr);
        UnregisterSurfaceClient();
    }

    static const CSurface* Holder(SurfacePlacement placement) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, 32, placement, 2);
        return holder;
    }
    static std::unique_ptr<CSurfaceImpl> Make(int w, int h, SurfacePlacement placement = kPlaceDIB) {
        const CSurface* holder = Holder(placement);
        return std::unique_ptr<CSurfaceImpl>(holder && holder->GetImpl() ? holder->GetImpl()->MakeInstance(w, h)
                                                                         : nullptr);
    }
    static int ScreenDepth() {
        HDC dc = GetDC(nullptr);
        const int bits = GetDeviceCaps(dc, BITSPIXEL);
        ReleaseDC(nullptr, dc);
        return bits == 15 ? 16 : bits;
    }
};

// Raw pixel value at (x, y), read under a lock.
uint32_t RawAt(CSurfaceImpl* s, int x, int y) {
    if (!s->Lock()) return 0xDEADBEEF;
    uint32_t v = 0;
    std::memcpy(&v, s->rowBase + y * s->rowStep + x * s->bytesPerPixel, static_cast<size_t>(s->bytesPerPixel));
    s->Unlock();
    return s->depth == 32 ? v & 0xFFFFFF : v;
}

HRESULT WINAPI CountSurface(IDirectDrawSurface* surface, DDSURFACEDESC*, void* context) {
    ++*static_cast<int*>(context);
    surface->Release();
    return DDENUMRET_OK;
}

// Surfaces that exist on the shared DirectDraw object, and its reference
// count: what a failing call made and did not release shows in either.
struct DirectDrawCensus {
    int surfaces = -1;
    ULONG references = 0;
    bool operator==(const DirectDrawCensus& o) const { return surfaces == o.surfaces && references == o.references; }
};
DirectDrawCensus TakeCensus() {
    DirectDrawCensus c;
    IDirectDraw2* dd = static_cast<IDirectDraw2*>(GetDirectDrawObject());
    if (!dd) return c;
    c.surfaces = 0;
    dd->EnumSurfaces(DDENUMSURFACES_DOESEXIST | DDENUMSURFACES_ALL, nullptr, &c.surfaces, CountSurface);
    dd->AddRef();
    c.references = dd->Release();
    return c;
}
std::ostream& operator<<(std::ostream& o, const DirectDrawCensus& c) {
    return o << c.surfaces << " surfaces, " << c.references << " references";
}

HWND MakeWindow(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    if (window) UpdateWindow(window);
    return window;
}

}  // namespace

TEST_F(DDSurfaceTest, BackEndTwoSelectsDirectDrawInVideoAndSystemMemory) {
    ASSERT_TRUE(IsDirectDrawUsable());
    ASSERT_NE(GetDirectDrawObject(), nullptr);
    ASSERT_NE(GetDirectDrawPrimary(), nullptr);
    for (SurfacePlacement placement : {kPlaceDIB, kPlaceSystemMemory}) {
        auto s = Make(13, 7, placement);
        ASSERT_NE(s, nullptr) << placement;
        EXPECT_EQ(s->GetKind(), 5);
        EXPECT_EQ(s->depth, ScreenDepth()) << "the display's format";
        EXPECT_EQ(s->palette, nullptr);
        EXPECT_EQ(s->IsBackBuffer(), 0);
        EXPECT_EQ(s->MakeBackBuffer(), nullptr) << "not in full-screen mode";
        ASSERT_TRUE(s->Lock());
        EXPECT_GE(s->pitch, 13 * s->bytesPerPixel);
        s->Unlock();
        EXPECT_EQ(s->lockedBits, nullptr);
        EXPECT_TRUE(s->SetPixel(12, 6, 0x0000FF));
        uint32_t c = 0;
        ASSERT_TRUE(s->GetPixel(12, 6, &c));
        EXPECT_EQ(c, 0x0000FFu & StoredBits(s->depth));
    }
    // Bad sizes give nothing, never a wrapped surface.
    for (auto size : {std::pair<int, int>{0, 5}, {5, -1}, {100000, 100000}, {0x7FFFFFFF, 2}})
        EXPECT_EQ(Make(size.first, size.second), nullptr) << size.first << "x" << size.second;
    CSurface front;
    EXPECT_FALSE(front.Create(0x40000, 0x40000, Holder(kPlaceDIB)));
    EXPECT_EQ(front.GetStatus(), kSurfaceNoImpl);
    EXPECT_EQ(g_lines, "") << "size checks come before DirectDraw";
}

TEST(DirectDrawFormats, PixelFormatTable) {
    const struct {
        uint32_t bits, red, green, blue;
        int index;
    } cases[] = {
        {8, 0, 0, 0, 0},
        {16, 0x7C00, 0x03E0, 0x001F, 1},
        {16, 0xF800, 0x07E0, 0x001F, 2},
        {24, 0xFF0000, 0xFF00, 0xFF, 3},
        {32, 0xFF0000, 0xFF00, 0xFF, 4},
        {16, 0x0F00, 0x00F0, 0x000F, -1},  // 4-4-4
        {32, 0xFF, 0xFF00, 0xFF0000, -1},  // red and blue swapped
        {24, 0xFF, 0xFF00, 0xFF0000, -1},
        {1, 0, 0, 0, -1},
        {4, 0, 0, 0, -1},
        {2, 0, 0, 0, -2},  // other bit counts keep the prototype's settings
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectDrawFormatIndex(c.bits, c.red, c.green, c.blue), c.index) << c.bits << " " << std::hex << c.red;
}

TEST_F(DDSurfaceTest, WithoutDirectDrawBackEndTwoFallsBackToTheKeptDCPrototype) {
    ReleaseDirectDraw();
    ASSERT_EQ(GetDirectDrawObject(), nullptr);
    FailDirectDrawStep(kDDStepCreate);
    const CSurface* holder = nullptr;
    EXPECT_TRUE(SelectPixelFormat(&holder, 32, kPlaceDIB, 2));
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->GetKind(), 4);
    EXPECT_EQ(g_lines, kMakeFailed);
    EXPECT_EQ(GetDirectDrawObject(), nullptr);

    FailDirectDrawStep(kDDStepCreate);
    EXPECT_FALSE(IsDirectDrawUsable());
    EXPECT_TRUE(IsDirectDrawUsable()) << "one refusal, not a lasting one";
    SelectPixelFormat(&holder, 32, kPlaceSystemMemory, 2);
    EXPECT_EQ(holder->GetKind(), 5);
}

TEST_F(DDSurfaceTest, LockAndDCExcludeEachOther) {
    auto s = Make(8, 8);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->Lock());
    EXPECT_TRUE(s->Lock()) << "nested";
    EXPECT_EQ(s->GetDC(), nullptr) << "locked";
    s->Unlock();
    EXPECT_NE(s->lockedBits, nullptr) << "still locked once";
    EXPECT_EQ(s->GetDC(), nullptr);
    s->Unlock();
    EXPECT_EQ(s->lockedBits, nullptr);

    HDC dc = static_cast<HDC>(s->GetDC());
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(s->GetDC(), dc) << "nested: the same DC";
    EXPECT_FALSE(s->Lock()) << "DC taken";
    s->ReleaseDC(nullptr);
    EXPECT_FALSE(s->Lock()) << "one DC use left";
    s->ReleaseDC(reinterpret_cast<void*>(0x1234));  // any argument releases the stored DC
    ASSERT_TRUE(s->Lock());
    s->Unlock();

    // The origin acts on a DC being held.
    dc = static_cast<HDC>(s->GetDC());
    s->SetOrigin(3, 2);
    POINT origin = {};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 3);
    EXPECT_EQ(origin.y, 2);
    SetPixelV(dc, 3, 2, RGB(0, 0, 255));
    s->ReleaseDC(dc);
    uint32_t c = 0;
    ASSERT_TRUE(s->GetPixel(0, 0, &c));
    EXPECT_EQ(c, 0xFF0000u & StoredBits(s->depth));

    // A failing GetDC leaves the instance idle.
    FailDirectDrawStep(kDDStepGetDC);
    EXPECT_EQ(s->GetDC(), nullptr);
    EXPECT_TRUE(s->Lock());
    s->Unlock();
}

TEST_F(DDSurfaceTest, ColourFillsConvertPerDepth) {
    for (SurfacePlacement placement : {kPlaceDIB, kPlaceSystemMemory}) {
        auto s = Make(6, 4, placement);
        ASSERT_NE(s, nullptr);
        const int depth = s->depth;
        RecordProperty("depth", depth);
        ASSERT_TRUE(s->FillRect(0, 0, 6, 4, 0x0000FF));
        EXPECT_EQ(RawAt(s.get(), 5, 3), FillValueOfColour(0x0000FF, depth, nullptr));
        if (depth == 16) {
            EXPECT_EQ(RawAt(s.get(), 0, 0), 0xF800u);
        } else if (depth == 32) {
            EXPECT_EQ(RawAt(s.get(), 0, 0), 0xFF0000u);
        }
        ASSERT_TRUE(s->FillRect(1, 1, 2, 2, 0));
        EXPECT_EQ(RawAt(s.get(), 1, 1), 0u) << "colour 0 fills 0";
        EXPECT_EQ(RawAt(s.get(), 3, 1), FillValueOfColour(0x0000FF, depth, nullptr)) << "outside the fill";
        ASSERT_TRUE(s->FillRectRaw(4, 0, 1, 1, 0x1234));
        EXPECT_EQ(RawAt(s.get(), 4, 0), 0x1234u) << "raw value as it is";

        // Locked, the shared bodies fill with the same values.
        ASSERT_TRUE(s->Lock());
        EXPECT_TRUE(s->FillRect(0, 0, 2, 1, 0x563412));
        s->Unlock();
        uint32_t c = 0;
        ASSERT_TRUE(s->GetPixel(1, 0, &c));
        EXPECT_EQ(c, 0x563412u & StoredBits(depth));
        EXPECT_EQ(RawAt(s.get(), 0, 0), FillValueOfColour(0x563412, depth, nullptr));
    }
}

TEST_F(DDSurfaceTest, FillsKeepToTheClipRectangle) {
    auto s = Make(6, 4);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->FillRect(0, 0, 6, 4, 0));
    s->SetClipRect(1, 1, 3, 2);
    ASSERT_TRUE(s->FillRect(-5, -5, 100, 100, 0x00FF00)) << "reaching past the edges";
    const uint32_t green = FillValueOfColour(0x00FF00, s->depth, nullptr);
    EXPECT_EQ(RawAt(s.get(), 1, 1), green);
    EXPECT_EQ(RawAt(s.get(), 3, 2), green);
    EXPECT_EQ(RawAt(s.get(), 0, 0), 0u);
    EXPECT_EQ(RawAt(s.get(), 4, 1), 0u);
    EXPECT_EQ(RawAt(s.get(), 1, 3), 0u);
    EXPECT_EQ(s->FillRect(10, 10, 2, 2, 0x00FF00), 0) << "nothing left";
}

// ReleaseDirectDraw runs when any client thread leaves; an instance still
// alive keeps its surface usable and is deleted safely afterwards.
TEST_F(DDSurfaceTest, AnInstanceOutlivesReleaseDirectDraw) {
    auto s = Make(8, 8);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->WaitVerticalBlank(), 1);
    ReleaseDirectDraw();
    EXPECT_EQ(GetDirectDrawObject(), nullptr);
    EXPECT_TRUE(s->FillRect(0, 0, 4, 4, 0x0000FF));
    EXPECT_EQ(RawAt(s.get(), 3, 3), FillValueOfColour(0x0000FF, s->depth, nullptr));
    CSurface screen;
    ASSERT_TRUE(screen.CreateForDC(nullptr));
    EXPECT_EQ(s->Blit(screen.GetImpl(), 0, 0, 0, 0, 8, 8, 0, 0, 0, 0), 0) << "no primary to present through";
    s.reset();
    auto again = Make(8, 8);
    EXPECT_NE(again, nullptr) << "a new DirectDraw object";
}

TEST_F(DDSurfaceTest, AttachWindowPrintsItsFailureAndAnswersTrue) {
    auto s = Make(4, 4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->AttachWindow(nullptr), 1);
    EXPECT_EQ(g_lines, kAttachFailed);
    g_lines.clear();
    HWND window = MakeWindow(0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(s->AttachWindow(window), 1);
    EXPECT_EQ(s->AttachWindow(window), 1) << "again: the old clipper is replaced";
    EXPECT_EQ(g_lines, "");
    s.reset();
    DestroyWindow(window);
}

TEST_F(DDSurfaceTest, PresentationThroughThePrimaryAndCopiesBetweenInstances) {
    const int w = 24, h = 10, left = 40, top = 30, extra = 8;
    HWND window = MakeWindow(left, top, w, h);
    ASSERT_NE(window, nullptr);
    HDC windowDC = GetDC(window);
    CSurface onWindow;
    ASSERT_TRUE(onWindow.CreateForDC(windowDC));
    const CSurface* dibHolder = nullptr;
    SelectPixelFormat(&dibHolder, 32, kPlaceDIB, 0);
    CSurface captured;
    ASSERT_TRUE(captured.Create(w + extra, h, dibHolder));
    CSurface onScreen;
    ASSERT_TRUE(onScreen.CreateForDC(nullptr));

    // A surface wider than the window: the clipper keeps the presentation
    // inside the window.
    auto s = Make(w + extra, h);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->AttachWindow(window), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w + extra; ++x)
            s->SetPixel(x, y, (uint32_t(x * 10) & 0xFF) | (uint32_t(y * 25) << 8) | ((x ^ y) & 1 ? 0xC00000u : 0));
    auto colourAt = [](CSurfaceImpl* from, int x, int y) {
        uint32_t c = 0;
        from->GetPixel(x, y, &c);
        return c;
    };
    // The screen from the window's place on, band w + extra wide.
    auto screenBand = [&] {
        captured.Clear(0);
        onScreen.Blit(&captured, 0, 0, left, top, w + extra, h, 0, 0, 0, 0);
        std::vector<uint32_t> band;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w + extra; ++x) band.push_back(colourAt(captured.GetImpl(), x, y));
        return band;
    };
    auto presentedInside = [&](const std::vector<uint32_t>& band) {
        int equal = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) equal += (band[y * (w + extra) + x] & StoredBits(s->depth)) == colourAt(s.get(), x, y);
        return equal;
    };
    const std::vector<uint32_t> before = screenBand();

    // Wine draws a windowed primary onto the screen, not into the window's
    // own surface, and finishes the blit on a thread of its own: the screen
    // is read at the window's place until the picture has landed.
    ASSERT_EQ(s->Blit(onWindow.GetImpl(), 0, 0, 0, 0, w + extra, h, 0, 0, 0, 0), 1);
    std::vector<uint32_t> after;
    for (int attempt = 0; attempt < 40; ++attempt) {
        after = screenBand();
        if (presentedInside(after) == w * h) break;
        Sleep(25);
    }
    EXPECT_EQ(presentedInside(after), w * h) << "presented exactly";
    int changedBeyond = 0;
    for (int y = 0; y < h; ++y)
        for (int x = w; x < w + extra; ++x) changedBeyond += after[y * (w + extra) + x] != before[y * (w + extra) + x];
    EXPECT_EQ(changedBeyond, 0) << "clipped to the window";
    EXPECT_EQ(s->Blit(onWindow.GetImpl(), 0, 0, w + extra, 0, 5, 5, 0, 0, 0, 0), 1) << "source wholly outside";

    // Surface to surface by BltFast, clipped to both; then moved within.
    const uint32_t beyondClip = colourAt(s.get(), w + 1, 9);
    s->SetClipRect(0, 0, w, h);
    auto copy = Make(w, h, kPlaceSystemMemory);
    ASSERT_NE(copy, nullptr);
    copy->FillRect(0, 0, w, h, 0);
    ASSERT_EQ(s->Blit(copy.get(), -2, 0, 0, 0, w + extra, h, 0, 0, 0, 0), 1);
    EXPECT_EQ(colourAt(copy.get(), 0, 3), colourAt(s.get(), 2, 3));
    EXPECT_EQ(colourAt(copy.get(), w - 1, 9), beyondClip) << "the source's clip does not limit";
    EXPECT_EQ(s->Blit(copy.get(), w, 0, 0, 0, w, h, 0, 0, 0, 0), 0) << "nothing left";
    ASSERT_EQ(copy->MoveRect(1, 1, 0, 0, 4, 4), 1);
    EXPECT_EQ(colourAt(copy.get(), 4, 4), colourAt(s.get(), 5, 3));

    // The screen area back from the primary (the window's client area).
    auto back = Make(w, h);
    ASSERT_NE(back, nullptr);
    back->FillRect(0, 0, w, h, 0);
    ASSERT_EQ(back->BlitFromDC(0, 0, nullptr, left, top, w, h, 0, 0, 0), 1);
    EXPECT_EQ(colourAt(back.get(), 7, 3), colourAt(s.get(), 7, 3));
    EXPECT_EQ(colourAt(back.get(), w - 1, h - 1), colourAt(s.get(), w - 1, h - 1));

    // Mode 7 through both DCs: SRCINVERT of the surface onto itself gives 0.
    ASSERT_NE(copy->Blit(copy.get(), 0, 0, 0, 0, w, h, 0, 7, SRCINVERT, 0), 0);
    EXPECT_TRUE(copy->IsBlank());
    EXPECT_TRUE(copy->Lock()) << "both DCs released";
    copy->Unlock();

    s.reset();
    onWindow.Release();
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
}

// Each failing step releases exactly what the call made: a DirectDraw object
// made by the call is gone again; an existing one keeps its surfaces and
// references.
TEST_F(DDSurfaceTest, FailingStepsReleaseWhatTheCallMade) {
    const CSurface* holder = Holder(kPlaceDIB);
    ASSERT_EQ(holder->GetKind(), 5);
    CSurfaceImpl* prototype = holder->GetImpl();
    for (DirectDrawStep step : {kDDStepCreate, kDDStepNormalLevel, kDDStepQueryInterface, kDDStepPrimary}) {
        ReleaseDirectDraw();
        g_lines.clear();
        FailDirectDrawStep(step);
        EXPECT_EQ(prototype->MakeInstance(8, 8), nullptr) << step;
        EXPECT_EQ(g_lines, kMakeFailed) << step;
        EXPECT_EQ(GetDirectDrawObject(), nullptr) << step;
        EXPECT_EQ(GetDirectDrawPrimary(), nullptr) << step;
    }
    std::unique_ptr<CSurfaceImpl> first(prototype->MakeInstance(8, 8));
    ASSERT_NE(first, nullptr);
    const DirectDrawCensus before = TakeCensus();
    ASSERT_EQ(before.surfaces, 2) << "the primary and one instance";
    for (DirectDrawStep step : {kDDStepSurface, kDDStepPixelFormat}) {
        g_lines.clear();
        FailDirectDrawStep(step);
        EXPECT_EQ(prototype->MakeInstance(8, 8), nullptr) << step;
        EXPECT_EQ(g_lines, step == kDDStepSurface ? kMakeFailed : "") << step;
        EXPECT_EQ(TakeCensus(), before) << step;
    }
    FailDirectDrawStep(kDDStepGetDC);
    EXPECT_EQ(first->GetDC(), nullptr);
    EXPECT_EQ(TakeCensus(), before);
    first.reset();
    EXPECT_EQ(TakeCensus().surfaces, 1) << "the instance's surface released with it";
}

namespace {

int StopAtOnce(const DisplayModeRecord* mode, void* context) {
    static_cast<std::vector<DisplayModeRecord>*>(context)->push_back(*mode);
    return 0;
}

struct WindowState {
    RECT rect;
    LONG_PTR style;
};
WindowState StateOf(HWND window) {
    WindowState s = {};
    GetWindowRect(window, &s.rect);
    s.style = GetWindowLongPtrA(window, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE);
    return s;
}
void ExpectState(HWND window, const WindowState& want, const char* what) {
    const WindowState now = StateOf(window);
    EXPECT_TRUE(EqualRect(&now.rect, &want.rect)) << what << ": " << now.rect.left << "," << now.rect.top << " "
                                                  << now.rect.right << "," << now.rect.bottom << " want "
                                                  << want.rect.left << "," << want.rect.top << " " << want.rect.right
                                                  << "," << want.rect.bottom;
    EXPECT_EQ(now.style, want.style) << what;
}

}  // namespace

TEST_F(DDSurfaceTest, DisplayModesWithTheCooperativeLevels) {
    auto s = Make(4, 4);
    ASSERT_NE(s, nullptr);
    std::vector<DisplayModeRecord> seen;
    s->EnumDisplayModes(StopAtOnce, &seen);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0].width, 0);
    EXPECT_GT(seen[0].depth, 0);

    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const int depth = ScreenDepth();
    HWND window = MakeWindow(10, 20, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(window, nullptr);
    const WindowState before = StateOf(window);

    // Refusals leave the window as it was and the level back at normal: a
    // windowed instance still presents.
    for (DirectDrawStep step : {kDDStepExclusiveLevel, kDDStepSetMode}) {
        FailDirectDrawStep(step);
        EXPECT_EQ(s->SetDisplayMode(window, screenW, screenH, depth), 0) << step;
        ExpectState(window, before, "after a refusal");
    }
    EXPECT_EQ(s->SetDisplayMode(window, 123, 77, depth), 0) << "a mode the screen does not have";
    ExpectState(window, before, "after an unknown mode");
    {
        CSurface screen;
        ASSERT_TRUE(screen.CreateForDC(nullptr));
        auto windowed = Make(4, 4);
        ASSERT_NE(windowed, nullptr);
        windowed->AttachWindow(window);
        EXPECT_EQ(windowed->Blit(screen.GetImpl(), 0, 0, 0, 0, 4, 4, 0, 0, 0, 0), 1);
    }

    // A surface format the library cannot draw on restores the display.
    FailDirectDrawStep(kDDStepPixelFormat);
    EXPECT_EQ(s->SetDisplayMode(window, screenW, screenH, depth), 0);
    ExpectState(window, before, "after an unknown format");
    EXPECT_FALSE(s->Lock()) << "no surface of a stale format left";

    // The current mode: full screen over the window, twice keeps the first
    // saved state, RestoreDisplayMode puts it back.
    ASSERT_EQ(s->SetDisplayMode(window, screenW, screenH, depth), 1);
    EXPECT_EQ(s->width, screenW);
    EXPECT_EQ(s->height, screenH);
    EXPECT_EQ(s->depth, depth);
    const WindowState full = StateOf(window);
    EXPECT_EQ(static_cast<DWORD>(full.style), 0x86000000u & ~DWORD(WS_VISIBLE));
    EXPECT_EQ(full.rect.left, 0);
    EXPECT_EQ(full.rect.top, 0);
    EXPECT_EQ(full.rect.right, screenW);
    EXPECT_EQ(full.rect.bottom, screenH);
    EXPECT_TRUE(s->FillRect(0, 0, 4, 4, 0x0000FF)) << "a usable surface of the mode";
    EXPECT_EQ(s->MakeBackBuffer(), nullptr) << "the primary has no back buffer";
    ASSERT_EQ(s->SetDisplayMode(window, screenW, screenH, depth), 1);

    auto other = Make(4, 4);
    ASSERT_NE(other, nullptr);
    other->CopyDisplayState(s.get());
    other->RestoreDisplayMode(window);
    ExpectState(window, before, "restored");
    EXPECT_NE(GetDirectDrawPrimary(), nullptr) << "made again at the normal level";
    DestroyWindow(window);
}
