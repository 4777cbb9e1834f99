// The surface members that move whole pictures: loading and saving image
// files, copying and stretching other surfaces, scrolling, mirroring, colour
// replacement, rotation and captures.
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/gdi_utils.h"
#include "graphics2d/graphics2d_classes.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/image_file.h"
#include "graphics2d/image_to_surface.h"
#include "graphics2d/os_capture.h"
#include "graphics2d/surface_window.h"
#include "runtime/io/file_stream.h"
#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>

namespace {

constexpr uint32_t kFlagWordTag = 0xABCD0000u;
constexpr uint32_t kAutoSize = 0x40;
constexpr uint32_t kBmpFormat = 0x20504D42;
constexpr int32_t kRuntimeEmptyName = 29;

bool Given(int32_t value) { return value != kArgDefaultInt; }

int32_t IntOr(CInterpretor* in, int32_t i, int32_t fallback) {
    const int32_t v = GetArgInt(in, i);
    return Given(v) ? v : fallback;
}

// Argument i when it is an object; null for anything else.
CIBaseClassImpl* ObjectArg(CInterpretor* in, int32_t i) {
    if (i >= GetArgCount(in) || IsArgDefault(in, i) || GetArg(in, i)->GetTag() != CValue::kObject)
        return nullptr;
    return GetArgObject(in, i);
}

// The picture stream of a package resource (or a file beside it), or of a
// file when no package is loaded; null when it cannot be opened.
CStream* OpenPictureStream(CInterpretor* in, const char* name) {
    if (CProgramContainer* package = PackageOf(in))
        return package->OpenResource(name, kBankPictures, 0);
    CFileStream* file = new (std::nothrow) CFileStream();
    if (file != nullptr && file->Open(name) != kIoOk) {
        delete file;
        file = nullptr;
    }
    return file;
}

// A package picture, locked while it is used.
class CLockedPicture {
public:
    explicit CLockedPicture(CImageElement* element) {
        CBank* bank = element->GetBank();
        if (bank != nullptr && bank->LoadElement(element->GetIndex(), 0) && bank->LockElement(element->GetIndex())) {
            m_bank = bank;
            m_index = element->GetIndex();
            m_surface = element->GetSurface();
        }
    }
    ~CLockedPicture() { Unlock(); }
    void Unlock() {
        if (m_bank != nullptr)
            m_bank->UnlockElement(m_index);
        m_bank = nullptr;
    }
    CSurface* Get() const { return m_surface; }

private:
    CBank* m_bank = nullptr;
    int32_t m_index = 0;
    CSurface* m_surface = nullptr;
};

}  // namespace

bool CISurface::CallImageMember(int32_t memberId) {
    static const CDispatchEntry<CISurface> kHandlers[] = {
        TW_MEMBER(Surface, LoadImage),    TW_MEMBER(Surface, SaveImage),     TW_MEMBER(Surface, Copy),
        TW_MEMBER(Surface, Stretch),      TW_MEMBER(Surface, Scroll),        TW_MEMBER(Surface, ReverseX),
        TW_MEMBER(Surface, ReverseY),     TW_MEMBER(Surface, ReplaceColor),  TW_MEMBER(Surface, Rotate),
        TW_MEMBER(Surface, CaptureScreen), TW_MEMBER(Surface, CaptureWindow),
    };
    if (std::none_of(std::begin(kHandlers), std::end(kHandlers),
                     [memberId](const CDispatchEntry<CISurface>& e) { return e.memberId == memberId; }))
        return false;
    if (!m_picture)
        RaiseError(m_interpretor, 9);
    DispatchMember(this, kHandlers, memberId);
    return true;
}

void CISurface::MarkOnPicture(const CRect& area) {
    const CRect clipped(std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, m_width),
                        std::min(area.bottom, m_height));
    if (clipped.right > clipped.left && clipped.bottom > clipped.top)
        MarkDrawn(clipped);
}

void CISurface::PictureReplaced() {
    m_spritesChanged = 1;
    InvalidateAll();
    SetDirty();
}

CSurface* CISurface::SourcePicture(int32_t i, std::unique_ptr<CSurface>* snapshot) {
    CIBaseClassImpl* object = ObjectArg(m_interpretor, i);
    CISurface* source = dynamic_cast<CISurface*>(object);
    if (source == nullptr)
        if (ISurfaceWindow* window = dynamic_cast<ISurfaceWindow*>(object))
            source = window->GetAttachedSurface();
    if (source == nullptr || !source->m_picture)
        RaiseError(m_interpretor, 14);
    if (source != this)
        return source->m_picture.get();
    // Copying a picture onto itself reads from a copy, so nothing smears.
    snapshot->reset(new (std::nothrow) CSurface());
    if (!*snapshot || !(*snapshot)->CreateCopy(m_picture.get(), -1, -1))
        RaiseError(m_interpretor, 15);
    return snapshot->get();
}

// ---- loading and saving ----

int32_t CISurface::LoadImage() {
    CInterpretor* in = m_interpretor;
    const char* name = ArgTextOrNull(in, 0);
    if (name == nullptr || *name == 0)
        RaiseError(in, kRuntimeEmptyName, 1);
    // Flag words stand anywhere and are no arguments; the others keep their
    // places (an omitted one reads as omitted).
    uint32_t flags = 0;
    int32_t places[4] = {-1, -1, -1, -1};
    int32_t count = 0;
    for (int32_t i = 1; i < GetArgCount(in); ++i) {
        const CValue* arg = GetArg(in, i);
        if (!IsArgDefault(in, i) && arg->GetTag() == CValue::kInt &&
            (static_cast<uint32_t>(arg->GetInt()) & 0xFFFF0000u) == kFlagWordTag) {
            flags |= static_cast<uint32_t>(arg->GetInt()) & 0xFFFF;
            continue;
        }
        if (count < 4)
            places[count] = i;
        ++count;
    }
    if (count > 0)
        flags = 0;
    auto place = [&](int32_t k, int32_t fallback) { return places[k] < 0 ? fallback : IntOr(in, places[k], fallback); };

    std::unique_ptr<CLockedPicture> element;
    std::unique_ptr<CSurface> loaded;
    CSurface* image = nullptr;
    CProgramContainer* package = PackageOf(in);
    if (CImageElement* e = package ? dynamic_cast<CImageElement*>(package->FindElement(name, kBankPictures)) : nullptr) {
        element.reset(new CLockedPicture(e));
        if (element->Get() == nullptr)
            return Answer(0);
        image = element->Get();
    } else {
        CStream* stream = OpenPictureStream(in, name);
        if (stream == nullptr)
            RaiseError(in, 9);
        uint32_t mode = kConvertKeepDepth | kConvertOntoPalette;
        if (flags & kSurfaceImageDepth)
            mode &= ~kConvertKeepDepth;
        if (flags & kSurfaceImagePalette)
            mode &= ~kConvertOntoPalette;
        loaded.reset(new (std::nothrow) CSurface());
        const bool converted = loaded && loaded->Create(4, 4, m_picture.get()) &&
                               ConvertImageToSurface(ImageFormatsOf(in), stream, loaded.get(), 0, mode, nullptr);
        delete stream;
        if (!converted)
            return Answer(0);
        image = loaded.get();
    }
    const int32_t sw = image->GetWidth(), sh = image->GetHeight();
    int32_t done = 0;
    if (count == 0) {
        int32_t x = (m_width - sw) / 2, y = (m_height - sh) / 2;
        if ((flags & kAutoSize) && m_ownerObject == nullptr) {
            if (sw != m_width || sh != m_height) {
                bool outOfMemory = false;
                std::unique_ptr<CSurface> picture = MakePicture(sw, sh, m_picture.get(), &outOfMemory);
                if (!picture) {
                    element.reset();
                    if (outOfMemory)
                        RaiseError(in, 15);
                    return Answer(0);
                }
                TakePicture(std::move(picture));
                PictureReplaced();
            }
            x = y = 0;
        }
        MarkOnPicture(x < 0 || y < 0 ? CRect(0, 0, m_width, m_height) : CRect(x, y, x + sw, y + sh));
        done = image->CopyToAt(m_picture.get(), x, y, 0, 0, 0, 0);
    } else if (count == 2) {
        const int32_t x = place(0, m_cursorX), y = place(1, m_cursorY);
        MarkOnPicture(CRect(x, y, x + sw, y + sh));
        done = image->CopyToAt(m_picture.get(), x, y, 0, 0, 0, 0);
    } else if (count == 4) {
        const int32_t x = place(0, m_cursorX), y = place(1, m_cursorY);
        const int32_t w = place(2, sw), h = place(3, sh);
        MarkOnPicture(CRect(x, y, x + w, y + h));
        done = image->StretchTo(m_picture.get(), x, y, w, h, 0, 0, 0);
    } else {
        element.reset();
        RaiseError(in, 21);
    }
    return Answer(done != 0);
}

int32_t CISurface::SaveImage() {
    CInterpretor* in = m_interpretor;
    const char* name = ArgTextOrNull(in, 0);
    if (name == nullptr || *name == 0)
        RaiseError(in, kRuntimeEmptyName, 1);
    CImageFile file(ImageFormatsOf(in));
    if (!file.CreateFormatById(static_cast<uint32_t>(IntOr(in, 1, static_cast<int32_t>(kBmpFormat)))))
        return Answer(0);
    const uint32_t writable = file.GetFormat()->GetWriteDepths();
    CSurface* source = m_picture.get();
    std::unique_ptr<CSurface> converted;
    const bool own = (writable & WriteDepthBit(m_depth)) != 0 && (m_depth == 8 || m_depth == 15 || m_depth == 32);
    if (!own) {
        // 16 and 24 bits, and depths the format cannot write, go through a
        // copy in the deepest of 24, 15 and 8 bits that it can.
        int32_t depth = 0;
        for (int32_t d : {24, 15, 8})
            if (depth == 0 && (writable & WriteDepthBit(d)) != 0)
                depth = d;
        const CSurface* prototype = nullptr;
        if (depth == 0 || !SelectPixelFormat(&prototype, depth, kPlaceMemory, 1) || prototype == nullptr)
            return Answer(0);
        converted = MakePicture(m_width, m_height, prototype);
        if (!converted || !m_picture->CopyTo(converted.get()))
            return Answer(0);
        source = converted.get();
    }
    uint8_t* bits = source->Lock();
    if (bits == nullptr)
        return Answer(0);
    LogPalette256 palette{};
    const bool paletted = source->GetDepth() == 8 && source->GetImpl()->GetLogPalette(&palette) > 0;
    const int32_t status = file.SaveFile(name, bits, source->GetWidth(), source->GetHeight(), source->GetDepth(),
                                         source->GetImpl()->rowStep, paletted ? &palette : nullptr);
    source->Unlock();
    file.Close();
    return Answer(status == kImageOk);
}

// ---- copies ----

int32_t CISurface::Copy() {
    CInterpretor* in = m_interpretor;
    std::unique_ptr<CSurface> snapshot;
    CSurface* source = SourcePicture(0, &snapshot);
    const int32_t sw = source->GetWidth(), sh = source->GetHeight();
    int32_t x, y, sx = 0, sy = 0, w = sw, h = sh;
    switch (GetArgCount(in)) {
    case 1:
        x = (m_width - sw) / 2;
        y = (m_height - sh) / 2;
        if (x < 0 || y < 0) {
            MarkOnPicture(CRect(0, 0, m_width, m_height));
            source->Blit(m_picture.get(), x, y, 0, 0, sw, sh, m_transparent, m_drawMode, m_drawLevel, 0);
            return 0;
        }
        break;
    case 3:
    case 5:
    case 7:
        x = IntOr(in, 1, m_cursorX);
        y = IntOr(in, 2, m_cursorY);
        if (x >= m_width || y >= m_height)
            return 0;
        if (GetArgCount(in) >= 5) {
            sx = IntOr(in, 3, 0);
            sy = IntOr(in, 4, 0);
            w = sw - sx;
            h = sh - sy;
        }
        if (GetArgCount(in) == 5 && (sx >= sw || sy >= sh))
            return 0;
        if (GetArgCount(in) == 7) {
            w = IntOr(in, 5, sw);
            h = IntOr(in, 6, sh);
        }
        break;
    default:
        RaiseError(in, 21);
    }
    MarkOnPicture(CRect(x, y, x + w, y + h));
    source->Blit(m_picture.get(), x, y, sx, sy, w, h, m_transparent, m_drawMode, m_drawLevel, 0);
    return 0;
}

int32_t CISurface::Stretch() {
    CInterpretor* in = m_interpretor;
    std::unique_ptr<CSurface> snapshot;
    CSurface* source = SourcePicture(0, &snapshot);
    const int32_t count = GetArgCount(in);
    if (count == 1) {
        MarkOnPicture(CRect(0, 0, m_width, m_height));
        source->StretchAll(m_picture.get());
        return 0;
    }
    if (count != 5 && count != 9)
        RaiseError(in, 21);
    const int32_t x = IntOr(in, 1, m_cursorX), y = IntOr(in, 2, m_cursorY);
    const int32_t w = IntOr(in, 3, m_width), h = IntOr(in, 4, m_height);
    MarkOnPicture(CRect(x, y, x + w, y + h));
    if (count == 5) {
        source->StretchTo(m_picture.get(), x, y, w, h, m_transparent, m_drawMode, m_drawLevel);
        return 0;
    }
    source->StretchBlit(m_picture.get(), x, y, w, h, IntOr(in, 5, 0), IntOr(in, 6, 0),
                        IntOr(in, 7, source->GetWidth()), IntOr(in, 8, source->GetHeight()), m_transparent,
                        m_drawMode, m_drawLevel);
    return 0;
}

// ---- moving pixels inside the picture ----

namespace {

// Cuts the run [from, from + length) and its copy at from + by to [0, limit):
// false when nothing remains.
bool ClipRun(int32_t* from, int32_t by, int32_t* length, int32_t limit) {
    int64_t start = *from, size = *length;
    if (size < 0)
        start += size, size = -size;
    const int64_t low = std::max<int64_t>(0, -static_cast<int64_t>(by));
    const int64_t high = std::min<int64_t>(limit, static_cast<int64_t>(limit) - by);
    const int64_t begin = std::max(start, low), end = std::min(start + size, high);
    if (end <= begin)
        return false;
    *from = static_cast<int32_t>(begin);
    *length = static_cast<int32_t>(end - begin);
    return true;
}

}  // namespace

int32_t CISurface::Scroll() {
    CInterpretor* in = m_interpretor;
    int32_t x = IntOr(in, 0, 0), y = IntOr(in, 1, 0);
    int32_t w = IntOr(in, 2, m_width), h = IntOr(in, 3, m_height);
    const int32_t dx = IntOr(in, 4, 0), dy = IntOr(in, 5, 0);
    if (!ClipRun(&x, dx, &w, m_width) || !ClipRun(&y, dy, &h, m_height))
        return 0;
    MarkOnPicture(CRect(x + dx, y + dy, x + dx + w, y + dy + h));
    m_picture->MoveRect(x + dx, y + dy, x, y, w, h);
    return 0;
}

int32_t CISurface::Reverse(bool leftRight) {
    CInterpretor* in = m_interpretor;
    int32_t x1 = 0, y1 = 0, x2 = m_width, y2 = m_height;
    if (GetArgCount(in) > 0) {
        x1 = IntOr(in, 0, m_cursorX);
        y1 = IntOr(in, 1, m_cursorY);
        x2 = IntOr(in, 2, m_width);
        y2 = IntOr(in, 3, m_height);
        if (x2 < x1)
            std::swap(x1, x2);
        if (y2 < y1)
            std::swap(y1, y2);
    }
    // The library mirrors only inside the picture; the area is cut first so
    // that an overhanging part does not shift the mirror axis.
    x1 = std::max(x1, 0), y1 = std::max(y1, 0);
    x2 = std::min(x2, m_width), y2 = std::min(y2, m_height);
    if (x2 <= x1 || y2 <= y1)
        return 0;
    MarkOnPicture(CRect(x1, y1, x2, y2));
    if (leftRight)
        m_picture->ReverseX(x1, y1, x2 - x1, y2 - y1);
    else
        m_picture->ReverseY(x1, y1, x2 - x1, y2 - y1);
    return 0;
}

int32_t CISurface::ReverseX() { return Reverse(true); }

int32_t CISurface::ReverseY() { return Reverse(false); }

int32_t CISurface::ReplaceColor() {
    const uint32_t colour = static_cast<uint32_t>(IntOr(m_interpretor, 0, 0));
    const uint32_t old = static_cast<uint32_t>(IntOr(m_interpretor, 1, 0));
    MarkOnPicture(CRect(0, 0, m_width, m_height));
    m_picture->ReplaceColor(SwapRedBlue(colour & 0xFFFFFF), SwapRedBlue(old & 0xFFFFFF));
    return 0;
}

int32_t CISurface::Rotate() {
    CInterpretor* in = m_interpretor;
    if (GetArgCount(in) == 0 || IsArgDefault(in, 0))
        return 0;
    const double radians = GetArgDouble(in, 0);
    const int32_t mode = IntOr(in, 1, 0);
    // Whole degrees, rounded to the nearest (far turns folded first, so the
    // conversion stays in range).
    const double degrees = std::fmod(radians * 57.29577951309679, 360.0);
    if (!std::isfinite(degrees))
        return 0;
    const int32_t angle = static_cast<int32_t>(std::lround(degrees));
    std::unique_ptr<CSurface> rotated(new (std::nothrow) CSurface());
    if (!rotated || !m_picture->RotateCopy(rotated.get(), angle, mode, m_background))
        return 0;
    if (m_ownerObject != nullptr) {
        // A window's surface keeps its size: the turned picture is centred.
        MarkOnPicture(CRect(0, 0, m_width, m_height));
        m_picture->Clear(m_background);
        rotated->CopyToAt(m_picture.get(), (m_width - rotated->GetWidth()) / 2, (m_height - rotated->GetHeight()) / 2,
                          0, 0, 0, 0);
        return 0;
    }
    if (m_window != nullptr)
        rotated->AttachWindow(m_window);
    TakePicture(std::move(rotated));
    PictureReplaced();
    return 0;
}

// ---- captures ----

int32_t CISurface::CaptureScreen() { return Capture(nullptr, 0); }

int32_t CISurface::CaptureWindow() {
    // An omitted window is the application's window: the current one.
    CIBaseClassImpl* object = GetArgCount(m_interpretor) == 0 || IsArgDefault(m_interpretor, 0)
                                  ? GetCurrentWindow(m_interpretor)
                                  : ObjectArg(m_interpretor, 0);
    ISurfaceWindow* window = dynamic_cast<ISurfaceWindow*>(object);
    void* handle = window != nullptr ? window->GetWindowHandle() : nullptr;
    if (handle == nullptr)
        RaiseError(m_interpretor, 14);
    return Capture(handle, 1);
}

int32_t CISurface::Capture(void* window, int32_t first) {
    CInterpretor* in = m_interpretor;
    int32_t sx = IntOr(in, first, 0), sy = IntOr(in, first + 1, 0);
    int32_t sw = GetArgInt(in, first + 2), sh = GetArgInt(in, first + 3);
    const int32_t dx = IntOr(in, first + 4, 0), dy = IntOr(in, first + 5, 0);
    int32_t dw = IntOr(in, first + 6, m_width - dx), dh = IntOr(in, first + 7, m_height - dy);
    if (dx >= m_width || dy >= m_height || dx + dw <= 0 || dy + dh <= 0)
        return Answer(0);
    if (!m_locked)
        MarkDrawn(CRect(0, 0, m_width, m_height));
    int32_t limitW = 0, limitH = 0;
    void* from = OsGetCaptureDC(window, &limitW, &limitH);
    if (from == nullptr)
        return Answer(0);
    int32_t done = 0;
    void* to = m_picture->GetDC();
    if (to != nullptr && sx < limitW && sy < limitH) {
        if (!Given(sw))
            sw = limitW - sx;
        if (!Given(sh))
            sh = limitH - sy;
        if (sx + sw > 0 && sy + sh > 0)
            done = CopyDCToDC(from, to, sx, sy, dx, dy, sw, sh, dw, dh, true, false);
    }
    if (to != nullptr)
        m_picture->ReleaseDC(to);
    OsReleaseCaptureDC(window, from);
    return Answer(done);
}
