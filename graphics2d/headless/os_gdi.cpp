// Without a window system: a level-2 processor, a true-colour screen without
// palette, no GDI objects, no DirectDraw and no window DCs. The DIB-section
// prototypes are memory surfaces with bottom-up rows and no DC, so that code
// asking for kinds 3 and 4 runs without a screen.
#include "graphics2d/memory_surface.h"
#include "graphics2d/os_gdi.h"
#include "graphics2d/surface.h"

namespace {

class CHeadlessDIBSurface : public CMemorySurface {
public:
    explicit CHeadlessDIBSurface(int kind) : m_kind(kind) {}
    int Init(int32_t newDepth) override {
        if (!CMemorySurface::Init(newDepth)) return 0;
        bottomUp = -1;
        return 1;
    }
    int GetKind() override { return m_kind; }

protected:
    CMemorySurface* NewInstance() const override { return new (std::nothrow) CHeadlessDIBSurface(m_kind); }

private:
    int m_kind;
};

void FillPrototypes(CSurface* holders, int kind) {
    for (int i = 0; i < 5; ++i) {
        CHeadlessDIBSurface* prototype = new (std::nothrow) CHeadlessDIBSurface(kind);
        if (prototype && !prototype->Init(DepthOfFormatIndex(i))) {
            delete prototype;
            prototype = nullptr;
        }
        holders[i].SetImpl(prototype);
    }
}

}  // namespace

int OsProcessorLevel() { return 2; }
OsScreenCaps OsGetScreenCaps() { return {32, 1, false}; }
bool OsGetSystemPaletteEntries(int, int, PaletteEntry*) { return false; }
void* OsCreatePalette(const PaletteEntry*, int) { return nullptr; }
void OsDeletePalette(void*) {}
void OsGetIconSize(int* width, int* height) { *width = *height = 32; }
void* OsCreateIconFromDIB(const void*, const uint8_t*, int, int, const int*) { return nullptr; }
bool OsCopyDCToDC(void*, void*, int, int, int, int, int, int, int, int, bool) { return false; }

void* OsSelectObject(void*, void*) { return nullptr; }
int OsSetBkMode(void*, int) { return 0; }
uint32_t OsSetTextColor(void*, uint32_t) { return kOsGdiError; }
uint32_t OsSetTextAlign(void*, uint32_t) { return kOsGdiError; }
int OsExtTextOut(void*, int32_t, int32_t, const CRect*, const char*, int32_t) { return 0; }
int OsDrawTextEx(void*, const char*, int32_t, CRect*, uint32_t, int32_t, int32_t, int32_t) { return 0; }

void OsCreateSurfacePrototypes(const PlatformPrototypeHolders& holders) {
    FillPrototypes(holders.dib, 3);
    FillPrototypes(holders.keptDC, 4);
}
void OsReleaseDirectDraw() {}
CSurfaceImpl* OsCreateWindowDCSurface(void*) { return nullptr; }

// ---- fonts: heap copies of their descriptions ----

namespace {
int g_liveFonts = 0;
LogFontA MakeGuiFont() {
    LogFontA f{};
    f.lfHeight = -11;
    f.lfWeight = 400;
    f.lfCharSet = 1;
    const char name[] = "MS Shell Dlg";
    for (size_t i = 0; i < sizeof name; ++i) f.lfFaceName[i] = name[i];
    return f;
}
LogFontA g_guiFont = MakeGuiFont();
}  // namespace

void* OsCreateFont(const LogFontA* font) {
    if (font == nullptr) return nullptr;
    ++g_liveFonts;
    return new LogFontA(*font);
}
void* OsGetGuiFont() { return &g_guiFont; }
bool OsGetFontDescription(void* font, LogFontA* description) {
    if (font == nullptr || description == nullptr) return false;
    *description = *static_cast<LogFontA*>(font);
    return true;
}
void OsDeleteFont(void* font) {
    if (font == nullptr || font == &g_guiFont) return;
    --g_liveFonts;
    delete static_cast<LogFontA*>(font);
}
int OsLiveFontCount() { return g_liveFonts; }
bool OsIsFirstWindows95() { return false; }

void* OsGetWindowDC(void*) { return nullptr; }
void OsReleaseWindowDC(void*, void*) {}
void* OsSelectPalette(void*, void*) { return nullptr; }
void OsRealizePalette(void*) {}
bool OsGetClientRect(void*, CRect*) { return false; }

// ---- shapes: no device contexts here ----

#include "graphics2d/os_shapes.h"

int OsDrawShape(void*, const CRect*, int, const int32_t*, int32_t, const OsShapeStyle&) { return 0; }
int OsFillSolidRect(void*, const CRect&, uint32_t) { return 0; }
