#pragma once
// CISurface: the script class "Surface", an off-screen picture that scripts
// draw on, load images into and show in a window. It owns one CSurface (the
// picture), holds its font through the font container, keeps the list of
// rectangles waiting to be presented and presents them to its owner window
// in the interpreter's redraw pass.
//
// The drawing and rich-text members live in ci_surface_draw.cpp and
// ci_surface_write.cpp; the image and sprite members come with their own
// classes of work and until then raise runtime error 38. The owner window,
// the 3D render API and the texture are reached through small interfaces
// (surface_render.h, ISurfaceOwner below).
#include "graphics2d/dirty_rects.h"
#include "graphics2d/fill_style.h"
#include "graphics2d/font_container.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_render.h"
#include "runtime/classes/script_class.h"

#include <cstdint>
#include <memory>
#include <vector>

class CImageElement;
class CSpriteList;

// What the surface needs of the window that shows it.
class ISurfaceOwner {
public:
    virtual ~ISurfaceOwner() {}
    // Sets the window's and the surface's background colour (a COLORREF).
    virtual void SetOwnerBackground(uint32_t colour) = 0;
    // The surface goes: the window forgets its font link to it.
    virtual void DropFontLink() = 0;
    // "SetPenColor" of the surface: the window sets its text colour and calls
    // SetPenColorValue on the surface; false when the window leaves it to
    // the surface.
    virtual bool SetOwnerPenColour(uint32_t) { return false; }
};

// Creation flags (the low 16 bits of 0xABCD flag words).
constexpr uint32_t kSurfaceBackEnd2 = 0x01;     // back end 2 of SelectPixelFormat
constexpr uint32_t kSurfaceKeptDC = 0x08;       // placement 2 (DIB section kept in its DC)
constexpr uint32_t kSurfaceImageDepth = 0x10;   // USEIMAGEDEPTH
constexpr uint32_t kSurfaceImagePalette = 0x20; // USEIMAGEPALETTE

class CISurface : public CIBaseClassImpl, public CIFontContainer, public CIRefresh {
public:
    explicit CISurface(CInterpretor* interpretor);
    ~CISurface() override;

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    void ConstructFromArgs() override;

    // CIRefresh.
    void Refresh() override;
    int32_t IsDirty() override;
    int32_t SetDirty() override;
    int32_t IsLate() override;

    // Creation; each raises the runtime error of its failure.
    void CreateBuffer(int32_t width, int32_t height, int32_t depth, uint32_t flags);
    void CreateFromImage(const char* name, uint32_t flags);
    void CreateFromBankImage(CImageElement* element);
    void CreateFromTexture(CIBaseClassImpl* texture);
    // 1, or 0 when no new picture could be made (the old one stays).
    int32_t ReallocateBuffer(int32_t width, int32_t height, int32_t depth);
    void Resize(int32_t width, int32_t height);
    void SetOwnerWindow(CIBaseClassImpl* owner, void* window);
    void SetFullScreenMode(int32_t width, int32_t height, int32_t depth);
    void SetWindowedMode(int notify);
    // Drawing state reset: see Reset in ci_surface.cpp. Colours are COLORREFs.
    void Reset(int clear, uint32_t background, uint32_t pen);

    // The render API drawing the camera's world into this surface.
    ISurfaceRenderAPI* GetRenderAPI(CIBaseClassImpl* camera);
    void SetCamera(CIBaseClassImpl* camera);
    // Chosen render driver of this surface (-1: none chosen).
    void SetRenderDriver(int32_t driver) { m_driver = driver; }

    void InvalidateRect(CRect rect);
    void InvalidateAll();
    // Before drawing into an area: list it for presentation and mark the
    // surface dirty (skipped while drawing is locked).
    void MarkDrawn(const CRect& rect);
    // Presents the listed rectangles to the owner window. Runs inside the
    // redraw pass, possibly from a window procedure: raises nothing; without
    // a window DC the rectangles wait for the next pass.
    void PresentDirtyRects();
    void PaintToWindow(const CRect& paint);
    void* RealizePalette();

    // The sprite list (made on first use), and what it tells the surface.
    CSpriteList* Sprites();
    void SpritesChanged() {
        m_spritesChanged = 1;
        SetDirty();
    }

    int32_t AddImageUser(void* sprite);
    void RemoveImageUser(void* sprite);

    // Operations of the owner window.
    void RefreshRect(int32_t x, int32_t y, int32_t width, int32_t height, int mark);
    // Pen colour (a COLORREF); drops a pen gradient.
    void SetPenColorValue(uint32_t colour);
    void SetBackgroundValue(uint32_t colour) { m_background = colour; }
    // The text position and pen colour (the window's line input draws there).
    int32_t CursorX() const { return m_cursorX; }
    int32_t CursorY() const { return m_cursorY; }
    void SetCursorPosition(int32_t x, int32_t y) { m_cursorX = x, m_cursorY = y; }
    uint32_t GetPenColour() const { return m_penColour; }
    void SetFontObject(CIFontBase* font) { SetFont(font); }

    CSurface* GetPicture() const { return m_picture.get(); }
    int32_t PictureWidth() const { return m_width; }
    int32_t PictureHeight() const { return m_height; }
    int32_t PictureDepth() const { return m_depth; }
    CIFontBase* CurrentFont() const { return CIFontContainer::GetFont(); }
    const CDirtyRects& GetDirtyRects() const { return m_dirtyRects; }
    // Drawing state: draw mode and level, pen
    // size, the plain-drawing flag and the mode bits.
    int32_t DrawMode() const { return m_drawMode; }
    int32_t DrawLevel() const { return m_drawLevel; }
    int32_t PenSize() const { return m_penSize; }
    int32_t PlainDrawing() const { return m_plainDrawing; }
    uint32_t ModeBits() const { return m_modeBits; }
    uint32_t GetBackground() const { return m_background; }
    bool IsFullScreen() const { return m_fullScreen != 0; }

private:
    using CIFontContainer::SetFont;
    // Drawing members (ci_surface_draw.cpp) and rich text
    // (ci_surface_write.cpp): CallDrawingMember runs one when the id is
    // theirs and answers false otherwise.
    bool CallDrawingMember(int32_t memberId);
    int32_t Write();
    int32_t WriteLn();
    int32_t Line();
    int32_t LineTo();
    int32_t Ellipse();
    int32_t Rectangle();
    int32_t DrawPolygon();
    int32_t SetPenColor();
    int32_t SetFillColor();
    int32_t SetFillGradientColor();
    int32_t SetFillGradientDir();
    int32_t SetPenGradientColor();
    int32_t SetPenGradientDir();
    int32_t SetPenSize();
    int32_t SetAntiAlias();
    int32_t SetDrawMode();
    int32_t SetTransparentMode();
    int32_t Fill();
    int32_t DrawText();
    int32_t SetPixel();
    // Recomputes the plain-drawing flag and the mode bits.
    void UpdateDrawFlags();
    // The fill or pen gradient, made when the kind is not yet 5.
    CGradientFillStyle* MakeGradient(std::unique_ptr<CFillStyle>* style, int32_t* kind);
    // Draws a line with the pen (plain or styled).
    void PenLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Ellipses, rectangles and polygons by the pen and fill rules.
    struct ShapeOps;
    void DrawShape(const ShapeOps& ops);

    // Script members.
    int32_t MoveTo();
    int32_t SetFont();
    int32_t GetDepth();
    int32_t GetPixelWidth();
    int32_t GetPixelHeight();
    int32_t GetPixel();
    int32_t GetPixelIndex();
    int32_t Clear();
    int32_t GetXPos();
    int32_t GetYPos();
    int32_t SetAutoBack();
    int32_t SetAutoRefresh();
    int32_t RefreshMember();
    int32_t SetBackgroundColor();
    int32_t GetBackgroundColor();
    int32_t IsAutoBack();
    int32_t IsAutoRefresh();
    int32_t EraseRect();
    int32_t SetWrapping();
    int32_t IsWrapping();
    int32_t GetFont();
    int32_t Lock();
    int32_t Unlock();

    // A new picture of the size and depth in the prototype, with the
    // application palette when 8 bits deep; null when it cannot be made
    // (*outOfMemory tells whether the front object itself could not be had).
    std::unique_ptr<CSurface> MakePicture(int32_t width, int32_t height, const CSurface* prototype,
                                          bool* outOfMemory = nullptr);
    void TakePicture(std::unique_ptr<CSurface> picture);
    void ApplicationPalette(CSurface* picture);
    void ReleaseRenderAPI();
    // Sprite members (surface_sprites.cpp): true when memberId is one of them.
    bool CallSpriteMember(int32_t memberId);
    int32_t ClearSprites();
    int32_t UpdateSprites();
    int32_t DrawSprites();
    int32_t ScrollSprites();
    int32_t GetFirstSprite();
    int32_t GetLastSprite();
    int32_t GetNextSprite();
    int32_t GetPrevSprite();
    int32_t DeleteSprites();
    // Image members (surface_images.cpp): true when memberId is one of them.
    bool CallImageMember(int32_t memberId);
    int32_t LoadImage();
    int32_t SaveImage();
    int32_t Copy();
    int32_t Stretch();
    int32_t Scroll();
    int32_t ReverseX();
    int32_t ReverseY();
    int32_t ReplaceColor();
    int32_t Rotate();
    int32_t CaptureScreen();
    int32_t CaptureWindow();
    int32_t Reverse(bool leftRight);
    int32_t Capture(void* window, int32_t first);
    // The picture of the Surface or Window argument i (runtime error 14 for
    // anything else); this surface's own picture comes as a snapshot.
    CSurface* SourcePicture(int32_t i, std::unique_ptr<CSurface>* snapshot);
    // Marks the part of the area that lies on the picture.
    void MarkOnPicture(const CRect& area);
    // The picture was replaced by one of another size.
    void PictureReplaced();

    // Writes an integer result.
    int32_t Answer(int32_t value);
    // Reads a point argument pair; omitted coordinates are the cursor's.
    void PointArgs(int32_t* x, int32_t* y);

    std::unique_ptr<CSurface> m_picture;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_depth = 0;
    int32_t m_placement = 1;
    int32_t m_backEnd = 0;

    CIBaseClassImpl* m_ownerObject = nullptr;
    void* m_window = nullptr;
    int32_t m_fullScreen = 0;

    ISurfaceRenderAPI* m_renderAPI = nullptr;
    CIBaseClassImpl* m_renderAPICamera = nullptr;  // the camera the API was made for
    CIBaseClassImpl* m_camera = nullptr;           // the bound camera
    int32_t m_driver = -1;
    CIBaseClassImpl* m_texture = nullptr;

    int32_t m_autoBack = 1;
    int32_t m_autoRefresh = 1;
    int32_t m_spritesChanged = 0;
    int32_t m_locked = 0;
    int32_t m_cursorX = 0;
    int32_t m_cursorY = 0;
    int32_t m_wrapping = 1;
    uint32_t m_background = 0xFFFFFF;  // COLORREF
    uint32_t m_penColour = 0;
    int32_t m_transparent = 0;
    int32_t m_drawMode = 0;
    int32_t m_drawLevel = 0;
    int32_t m_penSize = 1;
    int32_t m_antiAlias = 0;
    int32_t m_fillKind = 0;
    int32_t m_penKind = 0;
    int32_t m_plainDrawing = 1;
    uint32_t m_modeBits = 0;
    uint32_t m_fillColour = 0;  // COLORREF
    std::unique_ptr<CFillStyle> m_fillStyle;
    std::unique_ptr<CFillStyle> m_penStyle;

    std::unique_ptr<CSpriteList> m_sprites;
    std::vector<void*> m_imageUsers;
    CDirtyRects m_dirtyRects;
};

// Script colours (0xRRGGBB) and COLORREFs (0x00BBGGRR) swap red and blue.
inline uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF); }

void RegisterSurfaceClass();
