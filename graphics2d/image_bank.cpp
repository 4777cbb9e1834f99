// The picture bank: palette table, reference surface and picture elements.
#include "graphics2d/image_bank.h"

#include "graphics2d/graphics2d_classes.h"
#include "graphics2d/image_file.h"
#include "graphics2d/image_to_surface.h"
#include "graphics2d/os_gdi.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/inflate_block.h"
#include "runtime/package/program_container.h"
#include "runtime/package/shared_palette.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// No deflate stream expands by more than this factor.
const int64_t kMaxInflateRatio = 1032;

uint32_t ReadU32(FileHandle h, uint32_t* value) {
    uint8_t b[4];
    const uint32_t status = ReadFileChecked(h, b, 4);
    if (status == kIoOk)
        *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return status;
}

uint32_t ReadU16(FileHandle h, uint32_t* value) {
    uint8_t b[2];
    const uint32_t status = ReadFileChecked(h, b, 2);
    if (status == kIoOk)
        *value = b[0] | (b[1] << 8);
    return status;
}

// Bytes from the file pointer to `end`.
int64_t BytesLeft(FileHandle h, int64_t end) {
    const int32_t at = TellFileHandle(h);
    if (at < 0 || at > end)
        return 0;
    return end - at;
}


// Reads a block of exactly `size` bytes (u32 packed size, then the stored or
// zlib bytes) at the file pointer; the packed size is checked against the
// element's end first. *block is freed with std::free.
uint32_t ReadPackedBlock(FileHandle handle, int64_t end, int64_t size, uint8_t** block) {
    *block = nullptr;
    uint32_t packed;
    if (BytesLeft(handle, end) < 4)
        return kIoEndOfData;
    uint32_t status = ReadU32(handle, &packed);
    if (status != kIoOk)
        return status;
    const int64_t left = BytesLeft(handle, end);
    if (packed == 0) {
        if (size > left)
            return kIoEndOfData;
        *block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size) + 1));
        if (*block == nullptr)
            return kIoGeneralFailure;
        status = ReadFileChecked(handle, *block, static_cast<int32_t>(size));
    } else {
        if (packed > left)
            return kIoEndOfData;
        if (size > int64_t(packed) * kMaxInflateRatio)
            return kIoCorruptData;
        status = InflateHandleToBlock(handle, static_cast<int32_t>(packed), static_cast<int32_t>(size), block);
    }
    if (status != kIoOk) {
        std::free(*block);
        *block = nullptr;
    }
    return status;
}

void ReleasePalettes(std::vector<CSharedPalette*>* palettes) {
    for (CSharedPalette*& p : *palettes) {
        CSharedPalette::Release(p);
        p = nullptr;
    }
}

}  // namespace

// ---- CImageBank ----

CImageBank::CImageBank() { SetColorDepth(OsGetScreenCaps().bitsPerPixel); }

CImageBank::~CImageBank() {
    // Pictures go before the palettes they hold references to.
    UnloadAll();
    ReleasePalettes(&m_loaded);
    ReleasePalettes(&m_derived);
    CSharedPalette::Release(m_bankPalette);
    delete m_ownFormats;
}

CElement* CImageBank::CreateElement() { return new (std::nothrow) CImageElement; }

int CImageBank::IsLoadable(FileHandle handle) {
    const int32_t word = TellFileHandle(handle);
    uint32_t offset;
    uint32_t status = word < 0 ? kIoReadFailed : ReadU32(handle, &offset);
    if (status != kIoOk) {
        SetBankError(status);
        return 0;
    }
    ReleasePalettes(&m_loaded);
    ReleasePalettes(&m_derived);
    m_loaded.clear();
    m_derived.clear();
    m_firstPalette = 0;
    if (offset == 0)
        return 1;
    const int64_t table = int64_t(word) + offset;
    const int32_t fileSize = GetFileHandleSize(handle);
    uint32_t count = 0;
    if (fileSize < 0 || table + 4 > fileSize || SeekFileAbsolute(handle, static_cast<int32_t>(table)) != table)
        status = kIoEndOfData;
    else
        status = ReadU32(handle, &count);
    // The palettes must be in the file before their slots are made.
    if (status == kIoOk && int64_t(count) * 1024 > fileSize - (table + 4))
        status = kIoEndOfData;
    if (status == kIoOk) {
        try {
            m_loaded.assign(count, nullptr);
            if (m_reference.GetDepth() == 8)
                m_derived.assign(count, nullptr);
        } catch (const std::bad_alloc&) {
            m_loaded.clear();
            status = kIoGeneralFailure;
        }
    }
    if (SeekFileAbsolute(handle, word + 4) != word + 4 && status == kIoOk)
        status = kIoReadFailed;
    if (status != kIoOk) {
        SetBankError(status);
        return 0;
    }
    m_firstPalette = static_cast<int32_t>(table + 4);
    return 1;
}

int CImageBank::LoadPalette(uint32_t index) {
    if (m_firstPalette == 0 || index >= m_loaded.size()) {
        SetBankError(kBankRefused);
        return 0;
    }
    if (m_loaded[index] != nullptr)
        return 1;
    const FileHandle handle = GetHandle();
    const int32_t saved = TellFileHandle(handle);
    const int64_t at = int64_t(m_firstPalette) + int64_t(index) * 1024;
    uint8_t bytes[1024];
    uint32_t status = saved < 0 || SeekFileAbsolute(handle, static_cast<int32_t>(at)) != at
                          ? kIoReadFailed
                          : ReadFileChecked(handle, bytes, 1024);
    if (saved >= 0)
        SeekFileAbsolute(handle, saved);
    if (status == kIoOk) {
        LogPalette256 data;
        data.version = kPaletteVersion;
        data.count = 256;
        std::memcpy(data.entries, bytes, sizeof data.entries);
        m_loaded[index] = AcquireSharedPalette(data);
        if (m_loaded[index] == nullptr)
            status = kIoGeneralFailure;
    }
    if (status != kIoOk) {
        SetBankError(status);
        return 0;
    }
    return 1;
}

CSharedPalette* CImageBank::DerivedPalette(uint32_t index) {
    if (index >= m_derived.size() || m_loaded[index] == nullptr)
        return nullptr;
    if (m_derived[index] == nullptr)
        m_derived[index] = DeriveSharedPalette(m_loaded[index], nullptr);
    return m_derived[index];
}

int CImageBank::SetColorDepth(int32_t depth) {
    const CSurface* prototype = nullptr;
    SelectPixelFormat(&prototype, depth, kPlaceDIB, 0);
    if (prototype == nullptr || !prototype->IsValid() || !m_reference.Create(4, 4, prototype))
        return 0;
    // Derived palettes exist only for an 8-bit reference.
    ReleasePalettes(&m_derived);
    m_derived.assign(m_reference.GetDepth() == 8 ? m_loaded.size() : 0, nullptr);
    return 1;
}

int CImageBank::ChangeColorDepth(int32_t depth) {
    UnloadAll();
    return SetColorDepth(depth);
}

void CImageBank::SetBankPalette(CSharedPalette* palette, int use) {
    CSharedPalette::AddRef(palette);
    CSharedPalette::Release(m_bankPalette);
    m_bankPalette = palette;
    m_useBankPalette = use;
}

int64_t CImageBank::DataEnd(int32_t position) const {
    const int64_t table = m_firstPalette != 0 ? int64_t(m_firstPalette) - 4 : -1;
    if (table >= 0 && position < table)
        return table;
    const int32_t size = GetFileHandleSize(GetHandle());
    return size < 0 ? 0 : size;
}

CImageFormatManager* CImageBank::Formats() {
    if (m_formats != nullptr)
        return m_formats;
    if (CBankSet* program = dynamic_cast<CBankSet*>(GetProgram()))
        if (CImageFormatManager* formats = ImageFormatsOf(program->GetInterpreter()))
            return formats;
    if (m_ownFormats == nullptr) {
        m_ownFormats = new (std::nothrow) CImageFormatManager();
        if (m_ownFormats != nullptr && m_ownFormats->Init() != kImageOk) {
            delete m_ownFormats;
            m_ownFormats = nullptr;
        }
    }
    return m_ownFormats;
}

// ---- CImageElement ----

CImageElement::CImageElement() = default;

CImageElement::~CImageElement() { Unload(); }

void CImageElement::Unload() {
    delete m_surface;
    m_surface = nullptr;
    delete[] m_mask;
    m_mask = nullptr;
}

int CImageElement::IsLoaded() { return m_surface != nullptr; }

int CImageElement::LoadData(FileHandle handle, int) {
    const uint32_t status = Load(handle);
    if (status != kIoOk) {
        Unload();
        SetBankError(status);
        return 0;
    }
    return 1;
}

uint32_t CImageElement::Load(FileHandle handle) {
    Unload();
    CImageBank* bank = dynamic_cast<CImageBank*>(m_bank);
    if (bank == nullptr)
        return kIoGeneralFailure;
    const int32_t start = TellFileHandle(handle);
    const int64_t end = bank->DataEnd(start);
    const bool hasFlags = bank->GetVersion() >= kBankVersion2;
    if (start < 0 || BytesLeft(handle, end) < (hasFlags ? 20 : 16))
        return kIoEndOfData;
    uint32_t hx, hy, paletteIndex, kind, width, height, depth, flags = 0;
    uint32_t status = ReadU16(handle, &hx);
    if (status == kIoOk) status = ReadU16(handle, &hy);
    if (status == kIoOk) status = ReadU32(handle, &paletteIndex);
    if (status == kIoOk) status = ReadU16(handle, &kind);
    if (status == kIoOk) status = ReadU16(handle, &width);
    if (status == kIoOk) status = ReadU16(handle, &height);
    if (status == kIoOk) status = ReadU16(handle, &depth);
    if (status == kIoOk && hasFlags) status = ReadU32(handle, &flags);
    if (status != kIoOk)
        return status;
    m_hotSpotX = static_cast<int16_t>(hx);
    m_hotSpotY = static_cast<int16_t>(hy);
    if (paletteIndex != kPictureNoPalette && paletteIndex >= bank->GetPaletteCount())
        return kBankRefused;
    if (width == 0 || height == 0 || (kind != kPictureFileKind && !IsPictureDepth(depth)))
        return kIoCorruptData;
    const CSurface& reference = bank->GetReference();
    if (!reference.IsValid())
        return kIoGeneralFailure;
    m_surface = new (std::nothrow) CSurface();
    if (m_surface == nullptr)
        return kIoGeneralFailure;

    if (kind == kPictureFileKind) {
        // The decoder makes the surface again at the file's own size, so the
        // size the header claims is not allocated before the file is read.
        if (!m_surface->Create(1, 1, &reference))
            return kIoGeneralFailure;
        CFileStream stream;
        const int32_t at = TellFileHandle(handle);
        const int64_t length = BytesLeft(handle, end);
        if (at < 0 || length <= 0 || stream.AttachWindow(handle, at, static_cast<int32_t>(length)) != kIoOk ||
            !ConvertImageToSurface(bank->Formats(), &stream, m_surface, 0, kConvertKeepDepth | kConvertOntoPalette,
                                   &m_mask))
            return kIoCorruptData;
        return kIoOk;
    }

    // Raw rows: checked against the file before any pixel memory is made.
    const int32_t pitch = PictureRowPitch(static_cast<int32_t>(width), static_cast<int32_t>(depth));
    const int64_t pixelBytes = int64_t(pitch) * height;
    if (int64_t(width) * height * 4 > kImageMaxPixelBytes)
        return kIoGeneralFailure;
    const int64_t left = BytesLeft(handle, end);
    if (left < 4)
        return kIoEndOfData;
    uint32_t packed;
    status = ReadU32(handle, &packed);
    if (status != kIoOk)
        return status;
    if ((packed == 0 && pixelBytes > left - 4) || int64_t(packed) > left - 4 ||
        (packed != 0 && pixelBytes > int64_t(packed) * kMaxInflateRatio))
        return packed == 0 || int64_t(packed) > left - 4 ? kIoEndOfData : kIoCorruptData;
    SeekFileRelative(handle, -4);

    if (!m_surface->Create(static_cast<int32_t>(width), static_cast<int32_t>(height), &reference))
        return kIoGeneralFailure;
    const bool direct = m_surface->GetDepth() == static_cast<int32_t>(depth);
    CSurface temporary;
    CSurface* receiving = m_surface;
    if (!direct) {
        const CSurface* prototype = nullptr;
        if (!SelectPixelFormat(&prototype, static_cast<int32_t>(depth), kPlaceMemory, 0) || prototype == nullptr ||
            !temporary.Create(static_cast<int32_t>(width), static_cast<int32_t>(height), prototype))
            return kIoGeneralFailure;
        receiving = &temporary;
    }
    CSharedPalette* own = nullptr;
    if (paletteIndex != kPictureNoPalette) {
        if (!bank->LoadPalette(paletteIndex))
            return GetBankError();
        own = bank->m_loaded[paletteIndex];
        if (receiving->IsPaletted())
            receiving->SetPalette(own, 0);
    }

    uint8_t* block = nullptr;
    status = ReadPackedBlock(handle, end, pixelBytes, &block);
    if (status != kIoOk)
        return status;
    uint8_t* rows = receiving->Lock();
    if (rows == nullptr) {
        std::free(block);
        return kSurfaceBadArgument;
    }
    const int32_t step = receiving->GetImpl()->rowStep;
    const int32_t used = receiving->GetWidth() * receiving->GetImpl()->bytesPerPixel;
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(rows + static_cast<ptrdiff_t>(y) * step, block + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(used < pitch ? used : pitch));
    receiving->Unlock();
    std::free(block);

    if (flags & kPictureHasMask) {
        status = ReadPackedBlock(handle, end, int64_t(width) * height, &block);
        if (status != kIoOk)
            return status;
        m_mask = new (std::nothrow) uint8_t[size_t(width) * height];
        if (m_mask == nullptr) {
            std::free(block);
            return kIoGeneralFailure;
        }
        std::memcpy(m_mask, block, size_t(width) * height);
        std::free(block);
    }

    if (m_surface->IsPaletted()) {
        if (bank->m_bankPalette != nullptr && bank->m_useBankPalette)
            m_surface->SetPalette(bank->m_bankPalette, direct ? 1 : 0);
        else if (CSharedPalette* derived = own != nullptr ? bank->DerivedPalette(paletteIndex) : nullptr)
            m_surface->SetPalette(derived, direct ? 1 : 0);
    }
    if (!direct && temporary.CopyTo(m_surface) == 0)
        return kIoGeneralFailure;
    return kIoOk;
}

void RegisterImageBank() {
    SetPictureBankFactory([]() -> CBank* { return new (std::nothrow) CImageBank; });
}
