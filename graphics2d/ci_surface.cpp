#include "graphics2d/ci_surface.h"

#include "graphics2d/ci_surface_members.h"
#include "graphics2d/color_depths.h"
#include "graphics2d/gdi_utils.h"
#include "graphics2d/graphics2d_classes.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/image_to_surface.h"
#include "graphics2d/os_gdi.h"
#include "graphics2d/sprite_list.h"
#include "runtime/io/file_stream.h"
#include "runtime/package/program_container.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {

constexpr uint32_t kFlagWordTag = 0xABCD0000u;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;
constexpr int32_t kUnchangedDepth = -99999;
constexpr int32_t kRenderSwitchDisplay = 146;
constexpr int32_t kRenderSize = 148;

bool IsSurfaceDepth(int32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

bool Given(int32_t value) { return value != kArgDefaultInt; }

}  // namespace

CISurface::CISurface(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassSurface), kClassSurface, true),
      CIFontContainer(interpretor),
      CIRefresh(interpretor, false) {}

CISurface::~CISurface() { ReleaseRenderAPI(); }

// ---- members ----

void CISurface::CallMember(int32_t memberId) {
    if (CallImageMember(memberId) || CallSpriteMember(memberId) || CallDrawingMember(memberId))
        return;
    // The image, sprite and drawing groups answer their own members; a
    // member with a handler in none of them is 38.
    static const CDispatchEntry<CISurface> kHandlers[] = {
        TW_MEMBER(Surface, MoveTo),
        TW_MEMBER(Surface, SetFont),
        TW_MEMBER(Surface, GetDepth),
        TW_MEMBER(Surface, GetPixelWidth),
        TW_MEMBER(Surface, GetPixelHeight),
        TW_MEMBER(Surface, GetPixel),
        TW_MEMBER(Surface, GetPixelIndex),
        TW_MEMBER(Surface, Clear),
        TW_MEMBER(Surface, GetXPos),
        TW_MEMBER(Surface, GetYPos),
        TW_MEMBER(Surface, SetAutoBack),
        TW_MEMBER(Surface, SetAutoRefresh),
        {kSurfaceRefresh, &CISurface::RefreshMember},
        TW_MEMBER(Surface, SetBackgroundColor),
        TW_MEMBER(Surface, GetBackgroundColor),
        TW_MEMBER(Surface, IsAutoBack),
        TW_MEMBER(Surface, IsAutoRefresh),
        TW_MEMBER(Surface, EraseRect),
        TW_MEMBER(Surface, SetWrapping),
        TW_MEMBER(Surface, IsWrapping),
        TW_MEMBER(Surface, GetFont),
        TW_MEMBER(Surface, Lock),
        TW_MEMBER(Surface, Unlock),
    };
    const bool handled = std::any_of(std::begin(kHandlers), std::end(kHandlers),
                                     [memberId](const CDispatchEntry<CISurface>& e) { return e.memberId == memberId; });
    if (!handled && memberId >= kSurfaceWrite && memberId <= kSurfaceUnlock)
        RaiseError(m_interpretor, 38);
    DispatchMember(this, kHandlers, memberId);
}

int32_t CISurface::Answer(int32_t value) {
    Result(m_interpretor)->SetInt(value);
    return 0;
}

void CISurface::PointArgs(int32_t* x, int32_t* y) {
    const int32_t ax = GetArgInt(m_interpretor, 0);
    const int32_t ay = GetArgInt(m_interpretor, 1);
    *x = Given(ax) ? ax : m_cursorX;
    *y = Given(ay) ? ay : m_cursorY;
}

int32_t CISurface::MoveTo() {
    PointArgs(&m_cursorX, &m_cursorY);
    return 0;
}

int32_t CISurface::SetFont() {
    CIFontBase* font = FontFromArguments(m_interpretor);
    if (font != nullptr)
        SetFont(font);
    return 0;
}

int32_t CISurface::GetDepth() { return Answer(m_depth); }

int32_t CISurface::GetPixelWidth() { return Answer(m_width); }

int32_t CISurface::GetPixelHeight() { return Answer(m_height); }

int32_t CISurface::GetPixel() {
    int32_t x, y;
    PointArgs(&x, &y);
    uint32_t colour = 0;
    if (m_picture)
        m_picture->PixelAt(x, y, &colour);
    Result(m_interpretor)->SetInt(static_cast<int32_t>(SwapRedBlue(colour & 0xFFFFFF)));
    return 0;
}

int32_t CISurface::GetPixelIndex() {
    if (m_depth != 8)
        RaiseError(m_interpretor, 28);
    int32_t x, y;
    PointArgs(&x, &y);
    uint8_t index = 0;
    if (m_picture)
        m_picture->PixelIndexAt(x, y, &index);
    Result(m_interpretor)->SetInt(index);
    return 0;
}

int32_t CISurface::Clear() {
    const int32_t background = GetArgInt(m_interpretor, 0);
    const int32_t pen = GetArgInt(m_interpretor, 1);
    Reset(1, SwapRedBlue(Given(background) ? static_cast<uint32_t>(background) : kWhite),
          SwapRedBlue(Given(pen) ? static_cast<uint32_t>(pen) : 0));
    return 0;
}

int32_t CISurface::GetXPos() { return Answer(m_cursorX); }

int32_t CISurface::GetYPos() { return Answer(m_cursorY); }

int32_t CISurface::SetAutoBack() {
    m_autoBack = GetArgInt(m_interpretor, 0) != 0;
    return 0;
}

int32_t CISurface::SetAutoRefresh() {
    m_autoRefresh = GetArgInt(m_interpretor, 0) != 0;
    return 0;
}

int32_t CISurface::RefreshMember() {
    if (m_autoRefresh)
        RaiseError(m_interpretor, 37);
    if (m_dirty)
        Refresh();
    return 0;
}

int32_t CISurface::SetBackgroundColor() {
    const int32_t given = GetArgInt(m_interpretor, 0);
    const uint32_t colour = SwapRedBlue(Given(given) ? static_cast<uint32_t>(given) : kWhite);
    if (ISurfaceOwner* owner = dynamic_cast<ISurfaceOwner*>(m_ownerObject))
        owner->SetOwnerBackground(colour);
    else
        m_background = colour;
    return 0;
}

int32_t CISurface::GetBackgroundColor() { return Answer(static_cast<int32_t>(SwapRedBlue(m_background))); }

int32_t CISurface::IsAutoBack() { return Answer(m_autoBack); }

int32_t CISurface::IsAutoRefresh() { return Answer(m_autoRefresh); }

int32_t CISurface::EraseRect() {
    int32_t x = GetArgInt(m_interpretor, 0), y = GetArgInt(m_interpretor, 1);
    int32_t w = GetArgInt(m_interpretor, 2), h = GetArgInt(m_interpretor, 3);
    if (!Given(x)) x = 0;
    if (!Given(y)) y = 0;
    if (!Given(w)) w = m_width;
    if (!Given(h)) h = m_height;
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    w = std::min(w, m_width - x);
    h = std::min(h, m_height - y);
    if (w <= 0 || h <= 0 || !m_picture)
        return 0;
    MarkDrawn(CRect(x, y, x + w, y + h));
    m_picture->FillRect(x, y, w, h, m_background);
    return 0;
}

int32_t CISurface::SetWrapping() {
    m_wrapping = GetArgInt(m_interpretor, 0) != 0;
    return 0;
}

int32_t CISurface::IsWrapping() { return Answer(m_wrapping); }

int32_t CISurface::GetFont() {
    Result(m_interpretor)->SetObject(CurrentFont(), 1);
    return 0;
}

int32_t CISurface::Lock() {
    if (m_autoRefresh)
        RaiseError(m_interpretor, 37);
    int32_t x = GetArgInt(m_interpretor, 0), y = GetArgInt(m_interpretor, 1);
    int32_t w = GetArgInt(m_interpretor, 2), h = GetArgInt(m_interpretor, 3);
    if (!Given(x)) x = 0;
    if (!Given(y)) y = 0;
    if (!Given(w)) w = m_width;
    if (!Given(h)) h = m_height;
    const CRect area(std::max(x, 0), std::max(y, 0), std::min(x + w, m_width), std::min(y + h, m_height));
    if (area.right <= area.left || area.bottom <= area.top)
        return 0;
    InvalidateRect(area);
    m_locked = 1;
    return 0;
}

int32_t CISurface::Unlock() {
    m_locked = 0;
    SetDirty();
    return 0;
}

// ---- creation ----

void CISurface::ConstructFromArgs() {
    int32_t numbers[3] = {kArgDefaultInt, kArgDefaultInt, 0};
    int32_t count = 0;
    uint32_t flags = 0;
    const char* name = nullptr;
    CIBaseClassImpl* texture = nullptr;
    for (int32_t i = 0; i < GetArgCount(m_interpretor); ++i) {
        if (IsArgDefault(m_interpretor, i))
            continue;
        const CValue* arg = GetArg(m_interpretor, i);
        if (arg->GetTag() == CValue::kObject) {
            if (arg->IsObjectOfClass(kClassTexture))
                texture = GetArgObject(m_interpretor, i);
            continue;
        }
        if (arg->GetTag() == CValue::kText) {
            name = GetArgString(m_interpretor, i);
            continue;
        }
        const uint32_t value = static_cast<uint32_t>(GetArgInt(m_interpretor, i));
        if ((value & 0xFFFF0000u) == kFlagWordTag) {
            flags |= value & 0xFFFF;
        } else {
            if (count == 3)
                RaiseError(m_interpretor, 13);
            numbers[count++] = static_cast<int32_t>(value);
        }
    }
    if (texture != nullptr)
        CreateFromTexture(texture);
    else if (name != nullptr)
        CreateFromImage(name, flags);
    else
        CreateBuffer(numbers[0], numbers[1], numbers[2], flags);
}

void CISurface::ApplicationPalette(CSurface* picture) {
    CProgramContainer* package = PackageOf(m_interpretor);
    if (picture->IsPaletted() && package != nullptr && package->GetPalette() != nullptr)
        picture->SetPalette(package->GetPalette(), 0);
}

std::unique_ptr<CSurface> CISurface::MakePicture(int32_t width, int32_t height, const CSurface* prototype,
                                                 bool* outOfMemory) {
    std::unique_ptr<CSurface> picture(new (std::nothrow) CSurface());
    if (outOfMemory != nullptr)
        *outOfMemory = !picture;
    if (!picture || prototype == nullptr)
        return nullptr;
    if (!picture->Create(width, height, prototype) || picture->GetWidth() != std::max(width, 1) ||
        picture->GetHeight() != std::max(height, 1))
        return nullptr;
    ApplicationPalette(picture.get());
    return picture;
}

void CISurface::TakePicture(std::unique_ptr<CSurface> picture) {
    m_picture = std::move(picture);
    m_width = m_picture->GetWidth();
    m_height = m_picture->GetHeight();
    m_depth = m_picture->GetDepth();
    if (m_window != nullptr)
        m_picture->AttachWindow(m_window);
    if (m_sprites)
        m_sprites->PictureReplaced();
}

void CISurface::CreateBuffer(int32_t width, int32_t height, int32_t depth, uint32_t flags) {
    if (depth == 0 || !Given(depth))
        depth = GetImageColorDepth(m_interpretor);
    if (!IsSurfaceDepth(depth))
        RaiseError(m_interpretor, 23);
    m_placement = (flags & kSurfaceKeptDC) ? kPlaceKeptDC : kPlaceDIB;
    m_backEnd = (flags & kSurfaceBackEnd2) ? 2 : 0;
    const CSurface* prototype = nullptr;
    if (!SelectPixelFormat(&prototype, depth, m_placement, m_backEnd) || prototype == nullptr ||
        !prototype->IsValid())
        RaiseError(m_interpretor, 9);
    bool outOfMemory = false;
    std::unique_ptr<CSurface> picture = MakePicture(Given(width) ? width : kDefaultWidth,
                                                    Given(height) ? height : kDefaultHeight, prototype, &outOfMemory);
    if (!picture)
        RaiseError(m_interpretor, outOfMemory ? 15 : 9);
    TakePicture(std::move(picture));
    Reset(1, SwapRedBlue(kWhite), 0);
    if (!m_alive)
        AssignInstanceNumber();
}

void CISurface::CreateFromImage(const char* name, uint32_t flags) {
    if (name == nullptr || *name == 0)
        RaiseError(m_interpretor, 29);
    CProgramContainer* package = PackageOf(m_interpretor);
    if (package != nullptr)
        if (CImageElement* element = dynamic_cast<CImageElement*>(package->FindElement(name, kBankPictures))) {
            CreateFromBankImage(element);
            return;
        }
    CreateBuffer(32, 32, 0, flags);
    CStream* stream = nullptr;
    if (package != nullptr) {
        stream = package->OpenResource(name, kBankPictures, 0);
    } else {
        CFileStream* file = new (std::nothrow) CFileStream();
        if (file != nullptr && file->Open(name) != kIoOk) {
            delete file;
            file = nullptr;
        }
        stream = file;
    }
    if (stream == nullptr)
        RaiseError(m_interpretor, 9);
    uint32_t mode = 0;
    if (!(flags & kSurfaceImageDepth))
        mode |= kConvertKeepDepth;
    if (!(flags & kSurfaceImagePalette))
        mode |= kConvertOntoPalette;
    const bool converted = ConvertImageToSurface(ImageFormatsOf(m_interpretor), stream, m_picture.get(), 0, mode,
                                                 nullptr);
    delete stream;
    if (!converted)
        RaiseError(m_interpretor, 9);
    m_width = m_picture->GetWidth();
    m_height = m_picture->GetHeight();
    m_depth = m_picture->GetDepth();
    InvalidateAll();
}

void CISurface::CreateFromBankImage(CImageElement* element) {
    CBank* bank = element->GetBank();
    const int32_t index = element->GetIndex();
    if (bank == nullptr || !bank->LoadElement(index, 0) || !bank->LockElement(index) ||
        element->GetSurface() == nullptr)
        RaiseError(m_interpretor, 9);
    CSurface* image = element->GetSurface();
    const CSurface* prototype = PrototypeLike(nullptr, image->GetDepth());
    std::unique_ptr<CSurface> picture = MakePicture(image->GetWidth(), image->GetHeight(), prototype);
    if (picture && picture->IsPaletted() && image->GetPalette() != nullptr)
        picture->SetPalette(image->GetPalette(), 0);
    if (picture)
        image->CopyTo(picture.get());
    bank->UnlockElement(index);
    if (!picture)
        RaiseError(m_interpretor, 9);
    TakePicture(std::move(picture));
    Reset(0, SwapRedBlue(kWhite), 0);
    if (!m_alive)
        AssignInstanceNumber();
}

void CISurface::CreateFromTexture(CIBaseClassImpl* textureObject) {
    ISurfaceTexture* texture = dynamic_cast<ISurfaceTexture*>(textureObject);
    if (texture == nullptr)
        RaiseError(m_interpretor, 104);
    CreateBuffer(texture->GetWidth(), texture->GetHeight(), texture->GetDepth(), 0);
    if (!texture->CopyInto(m_picture.get()))
        RaiseError(m_interpretor, 104);
    m_texture = textureObject;
}

int32_t CISurface::ReallocateBuffer(int32_t width, int32_t height, int32_t depth) {
    if (!m_picture)
        return 0;
    const CSurface* prototype = nullptr;
    if (!SelectPixelFormat(&prototype, depth, m_placement, m_backEnd) || prototype == nullptr ||
        !prototype->IsValid()) {
        if (width == m_width && height == m_height)
            return 0;
        prototype = PrototypeLike(m_picture.get(), m_depth);
        if (prototype == nullptr)
            return 0;
    }
    std::unique_ptr<CSurface> picture = MakePicture(width, height, prototype);
    if (!picture)
        return 0;  // the old picture stays
    picture->Clear(m_background);
    m_picture->CopyTo(picture.get());
    TakePicture(std::move(picture));
    if (m_renderAPI != nullptr)
        m_renderAPI->AttachSurface(m_picture.get());
    return 1;
}

void CISurface::Resize(int32_t width, int32_t height) {
    if (width == m_width && height == m_height)
        return;
    if (m_renderAPI != nullptr) {
        int32_t fixedWidth, fixedHeight;
        if (m_renderAPI->GetFixedSize(&fixedWidth, &fixedHeight))
            width = fixedWidth, height = fixedHeight;
        else
            m_renderAPI->Message(kRenderSize, width, height, kUnchangedDepth);
    }
    if (!m_fullScreen && (width != m_width || height != m_height))
        ReallocateBuffer(width, height, m_depth);
    SetDirty();
}

void CISurface::SetOwnerWindow(CIBaseClassImpl* owner, void* window) {
    m_ownerObject = owner;
    m_window = window;
    if (m_picture && window != nullptr)
        m_picture->AttachWindow(window);
}

void CISurface::SetFullScreenMode(int32_t width, int32_t height, int32_t depth) {
    if (!m_picture)
        return;
    if (m_renderAPI != nullptr) {
        if (m_renderAPI->Message(kRenderSwitchDisplay, width, height, depth > 0 ? depth : kUnchangedDepth))
            ReallocateBuffer(width, height, depth > 0 ? depth : m_depth);
        return;
    }
    if (depth == 15)
        depth = 16;
    if (!m_picture->SetDisplayMode(m_window, width, height, depth))
        return;
    m_fullScreen = 1;
    if (width != m_width || height != m_height || depth != m_depth) {
        const CSurface* prototype = PrototypeLike(m_picture.get(), depth);
        std::unique_ptr<CSurface> picture = MakePicture(width, height, prototype);
        if (picture) {
            picture->CopyDisplayStateFrom(m_picture.get());
            picture->Clear(m_background);
            TakePicture(std::move(picture));
        }
    }
    InvalidateAll();
}

void CISurface::SetWindowedMode(int notify) {
    if (m_fullScreen && m_picture) {
        m_picture->RestoreDisplayMode(m_window);
        m_fullScreen = 0;
    }
    int32_t w, h;
    if (notify && m_renderAPI != nullptr && m_renderAPI->GetFixedSize(&w, &h))
        m_renderAPI->Message(kRenderSize, kUnchangedDepth, kUnchangedDepth, kUnchangedDepth);
    CRect client;
    if (OsGetClientRect(m_window, &client))
        Resize(client.Width(), client.Height());
}

// ---- state ----

void CISurface::Reset(int clear, uint32_t background, uint32_t pen) {
    m_autoBack = 1;
    m_autoRefresh = 1;
    m_locked = 0;
    InvalidateAll();
    SetFont(GetDefaultFont(m_interpretor));
    m_background = background;
    m_penColour = pen;
    m_transparent = m_drawMode = m_drawLevel = m_antiAlias = 0;
    m_cursorX = m_cursorY = 0;
    m_penSize = 1;
    m_fillKind = m_penKind = 0;
    m_fillStyle.reset();
    m_penStyle.reset();
    m_plainDrawing = 1;
    m_modeBits = 0;
    if (m_picture)
        m_picture->SetOrigin(0, 0);
    m_spritesChanged = 1;
    SetDirty();
    if (clear && m_picture && m_width > 0 && m_height > 0)
        m_picture->Clear(m_background);
}

void CISurface::InvalidateRect(CRect rect) {
    if (m_window == nullptr)
        return;
    m_dirtyRects.Add(rect);
}

void CISurface::InvalidateAll() { InvalidateRect(CRect(0, 0, m_width, m_height)); }

void CISurface::MarkDrawn(const CRect& rect) {
    // Sprites over the area come off first (auto-back), so that the drawing
    // goes onto the clean picture and the next cycle saves it.
    if (m_autoBack && m_sprites)
        m_sprites->ClearArea(rect);
    if (m_locked)
        return;
    InvalidateRect(rect);
    SetDirty();
}

void CISurface::RefreshRect(int32_t x, int32_t y, int32_t width, int32_t height, int mark) {
    if (width <= 0 || height <= 0 || !m_picture)
        return;
    if (mark)
        MarkDrawn(CRect(x, y, x + width, y + height));
    m_picture->FillRect(x, y, width, height, m_background);
}

int32_t CISurface::AddImageUser(void* sprite) {
    auto at = std::find(m_imageUsers.begin(), m_imageUsers.end(), sprite);
    if (at == m_imageUsers.end()) {
        m_imageUsers.push_back(sprite);
        return static_cast<int32_t>(m_imageUsers.size());
    }
    return static_cast<int32_t>(at - m_imageUsers.begin()) + 1;
}

void CISurface::RemoveImageUser(void* sprite) {
    m_imageUsers.erase(std::remove(m_imageUsers.begin(), m_imageUsers.end(), sprite), m_imageUsers.end());
}

void* CISurface::RealizePalette() {
    if (!m_picture || m_depth > 8)
        return nullptr;
    return GetHPalette(m_picture->GetPalette());
}

// ---- refresh and presentation ----

int32_t CISurface::IsDirty() { return m_autoRefresh && m_dirty; }

int32_t CISurface::SetDirty() {
    if (m_autoRefresh)
        return CIRefresh::SetDirty();
    m_dirty = 1;
    return 1;
}

int32_t CISurface::IsLate() { return m_window != nullptr; }

void CISurface::Refresh() {
    m_dirty = 0;
    if (ISurfaceCamera* camera = dynamic_cast<ISurfaceCamera*>(m_camera)) {
        camera->RenderFrame();
        m_dirtyRects.Clear();
    } else {
        if (m_spritesChanged && m_autoBack && m_sprites)
            m_sprites->RunCycle();
        m_spritesChanged = 0;
        if (m_window != nullptr)
            PresentDirtyRects();
    }
    if (ISurfaceTexture* texture = dynamic_cast<ISurfaceTexture*>(m_texture))
        if (m_picture)
            texture->RefreshFrom(m_picture.get());
    m_dirty = 0;
}

namespace {

// Blits rectangles of the picture to the window at the same place through a
// window-DC surface, with the picture's palette selected at 8 bits. False
// when the window has no DC now.
template <class Rects>
bool BlitToWindow(CSurface* picture, void* window, const Rects& rects) {
    void* dc = OsGetWindowDC(window);
    if (dc == nullptr)
        return false;
    CSurface target;
    if (target.CreateForDC(dc)) {
        void* old = nullptr;
        void* palette = picture->GetDepth() <= 8 ? GetHPalette(picture->GetPalette()) : nullptr;
        if (palette != nullptr) {
            old = OsSelectPalette(dc, palette);
            OsRealizePalette(dc);
        }
        rects([&](const CRect& r) {
            picture->Blit(&target, r.left, r.top, r.left, r.top, r.Width(), r.Height(), 0, 0, 0, 0);
        });
        if (palette != nullptr)
            OsSelectPalette(dc, old);
        target.Release();
    }
    OsReleaseWindowDC(window, dc);
    return true;
}

}  // namespace

void CISurface::PresentDirtyRects() {
    if (m_dirtyRects.GetCount() == 0 || !m_picture)
        return;
    const bool presented = BlitToWindow(m_picture.get(), m_window, [this](auto&& blit) {
        for (int32_t i = 0; i < m_dirtyRects.GetCount(); ++i) blit(m_dirtyRects[i]);
    });
    if (presented)
        m_dirtyRects.Clear();
}

void CISurface::PaintToWindow(const CRect& paint) {
    if (ISurfaceCamera* camera = dynamic_cast<ISurfaceCamera*>(m_camera)) {
        camera->RenderFrame();
        return;
    }
    if (!m_picture || m_window == nullptr)
        return;
    CRect client(0, 0, m_width, m_height);
    CRect window;
    if (OsGetClientRect(m_window, &window)) {
        client.right = std::min(client.right, window.right);
        client.bottom = std::min(client.bottom, window.bottom);
    }
    const CRect area(std::max(paint.left, client.left), std::max(paint.top, client.top),
                     std::min(paint.right, client.right), std::min(paint.bottom, client.bottom));
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    BlitToWindow(m_picture.get(), m_window, [&area](auto&& blit) { blit(area); });
}

// ---- 3D ----

ISurfaceRenderAPI* CISurface::GetRenderAPI(CIBaseClassImpl* cameraObject) {
    if (m_renderAPI != nullptr)
        return m_renderAPI;
    const int32_t driver = m_driver >= 0 ? m_driver : 0;
    ISurfaceCamera* camera = dynamic_cast<ISurfaceCamera*>(cameraObject);
    if (camera == nullptr)
        RaiseError(m_interpretor, 44);
    ISurfaceWorld* world = camera->GetWorld();
    if (world == nullptr)
        RaiseError(m_interpretor, 55);
    if (ISurfaceRenderAPI* existing = world->GetRenderAPI())
        if (existing->GetDriver() != driver)
            RaiseError(m_interpretor, 97);
    ISurfaceRenderAPI* api = world->CreateRenderAPI(driver);
    if (api == nullptr)
        return nullptr;
    m_renderAPI = api;
    m_renderAPICamera = cameraObject;
    if (m_picture)
        api->AttachSurface(m_picture.get());
    return api;
}

void CISurface::SetCamera(CIBaseClassImpl* camera) { m_camera = camera; }

void CISurface::ReleaseRenderAPI() {
    if (m_renderAPI == nullptr)
        return;
    int32_t w, h;
    if (m_fullScreen && m_renderAPI->GetFixedSize(&w, &h))
        SetWindowedMode(0);
    m_renderAPI->Release();
    m_renderAPI = nullptr;
    m_renderAPICamera = nullptr;
}

// ---- life ----

int32_t CISurface::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object == m_ownerObject) {
        if (ISurfaceOwner* owner = dynamic_cast<ISurfaceOwner*>(object))
            owner->DropFontLink();
        m_ownerObject = nullptr;
        m_window = nullptr;
        SetBusyOnce();
    } else if (object == m_texture) {
        m_texture = nullptr;
    } else if (object == m_camera) {
        if (m_renderAPI != nullptr)
            m_renderAPI->DropCamera();
        m_camera = nullptr;
    } else if (object == m_renderAPICamera) {
        ReleaseRenderAPI();
    } else {
        RemoveImageUser(object);
    }
    return 0;
}

void CISurface::Destroy(int32_t) {
    m_texture = nullptr;
    m_ownerObject = nullptr;
    if (m_fullScreen)
        SetWindowedMode(0);
    m_sprites.reset();
    m_picture.reset();
    ReleaseRenderAPI();
    m_dirtyRects.Free();
    Unregister();
    UnlinkFromClassList();
    DetachFonts();
    delete this;
}

void RegisterSurfaceClass() { RegisterClassBinding(kClassSurface, {&MakeScriptObject<CISurface>, nullptr}); }
