// The image file layer: the format base with its target conversion, the
// format manager and the image file front (graphics2d/image_file.h).
#include "graphics2d/image_file.h"

#include "graphics2d/pixel_format.h"
#include "runtime/base/os_strings.h"
#include "runtime/io/buffered_file_stream.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/os_file.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t kUnknownIndex = 253;

// The entry with the smallest sum of absolute differences of red, green and
// blue; the first such entry wins and an exact match ends the search.
uint8_t NearestEntry(const LogPalette256& palette, int red, int green, int blue) {
    int best = 0, bestDistance = 1 << 30;
    const int count = palette.count > 256 ? 256 : palette.count;
    for (int i = 0; i < count; ++i) {
        const PaletteEntry& e = palette.entries[i];
        const int distance = std::abs(e.red - red) + std::abs(e.green - green) + std::abs(e.blue - blue);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return static_cast<uint8_t>(best);
}

uint32_t Key565(int red, int green, int blue) {
    return static_cast<uint32_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

bool SameColours(const LogPalette256& a, const LogPalette256& b) {
    if (a.count != b.count)
        return false;
    for (int i = 0; i < a.count && i < 256; ++i)
        if (a.entries[i].red != b.entries[i].red || a.entries[i].green != b.entries[i].green ||
            a.entries[i].blue != b.entries[i].blue)
            return false;
    return true;
}

bool IsTargetDepth(int32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

}  // namespace

uint32_t WriteDepthBit(int32_t depth) {
    switch (depth) {
        case 8: return kWriteDepth8;
        case 15: return kWriteDepth15;
        case 16: return kWriteDepth16;
        case 24: return kWriteDepth24;
        case 32: return kWriteDepth32;
        default: return 0;
    }
}

bool IsFullPalette(const LogPalette256* palette) { return palette != nullptr && palette->count >= 256; }

// ---- CImageFormat ----

CImageFormat::CImageFormat(int32_t text1, int32_t text2, int32_t text3) : m_text{text1, text2, text3} {}

CImageFormat::~CImageFormat() {
    DropTables();
    delete m_palette;
    delete m_targetPalette;
}

void CImageFormat::Release() { delete this; }

static int LoadTextId(int32_t id, char* buffer, int size) {
    if (buffer == nullptr || id == 0)
        return 0;
    return OsLoadString(static_cast<unsigned>(id), buffer, size);
}

int CImageFormat::LoadText1(char* buffer, int size) { return LoadTextId(m_text[0], buffer, size); }
int CImageFormat::LoadText2(char* buffer, int size) { return LoadTextId(m_text[2], buffer, size); }
int CImageFormat::LoadText3(char* buffer, int size) { return LoadTextId(m_text[1], buffer, size); }

int32_t CImageFormat::WriteImage(COutStream*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                 const LogPalette256*) {
    return kImageNotSupported;
}

void CImageFormat::GetFrameRect(CRect* rect) {
    rect->left = 0;
    rect->top = 0;
    rect->right = m_width;
    rect->bottom = m_height;
}

int32_t CImageFormat::SetGeometry(int64_t width, int64_t height, int32_t depth) {
    const int64_t bytesPerPixel = (depth + 1) / 8;
    if (width * height * bytesPerPixel > kImageMaxPixelBytes || width * bytesPerPixel > INT32_MAX / 2)
        return kImageOutOfMemory;
    m_width = static_cast<int32_t>(width);
    m_height = static_cast<int32_t>(height);
    m_depth = depth;
    m_bytesPerPixel = static_cast<int32_t>(bytesPerPixel);
    m_rowBytes = static_cast<int32_t>(width * bytesPerPixel);
    return kImageOk;
}

LogPalette256* CImageFormat::MakePalette() {
    if (m_palette == nullptr) {
        m_palette = new (std::nothrow) LogPalette256();
        if (m_palette != nullptr) {
            m_palette->version = kPaletteVersion;
            m_palette->count = 256;
        }
    }
    return m_palette;
}

void CImageFormat::DropTables() {
    delete[] m_indexMap;
    delete[] m_colourCache;
    delete m_sourceColours;
    m_indexMap = m_colourCache = nullptr;
    m_sourceColours = nullptr;
}

// Depth 15 to 32: rows are delivered at that depth. Depth 8 needs a palette
// of at most 256 entries; the image's own palette on an 8-bit image means
// plain copies. Anything else: kImageBadArguments.
int32_t CImageFormat::SetTargetFormat(int32_t depth, const LogPalette256* palette) {
    if (!IsTargetDepth(depth))
        return kImageBadArguments;
    if (depth != 8) {
        m_targetDepth = depth;
        m_targetBytesPerPixel = (depth + 1) / 8;
        delete m_targetPalette;
        m_targetPalette = nullptr;
        return BuildTables();
    }
    if (palette == nullptr || palette->count > 256)
        return kImageBadArguments;
    m_targetDepth = 8;
    m_targetBytesPerPixel = 1;
    if (m_depth == 8 && palette == m_palette) {
        DropTables();
        delete m_targetPalette;
        m_targetPalette = nullptr;
        m_convert = 0;
        return kImageOk;
    }
    if (m_targetPalette == nullptr) {
        m_targetPalette = new (std::nothrow) LogPalette256();
        if (m_targetPalette == nullptr)
            return kImageOutOfMemory;
        m_targetPaletteChanged = 1;
    } else if (!SameColours(*m_targetPalette, *palette)) {
        m_targetPaletteChanged = 1;
    }
    *m_targetPalette = *palette;
    return BuildTables();
}

int32_t CImageFormat::BuildTables() {
    DropTables();
    m_convert = m_targetDepth != m_depth;
    if (m_depth == 8 && m_targetDepth == 8) {
        const LogPalette256* own = m_palette;
        if (own == nullptr || SameColours(*own, *m_targetPalette))
            return kImageOk;
        m_indexMap = new (std::nothrow) uint8_t[256];
        if (m_indexMap == nullptr)
            return kImageOutOfMemory;
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = own->entries[i];
            m_indexMap[i] = NearestEntry(*m_targetPalette, e.red, e.green, e.blue);
        }
        m_convert = 1;
    } else if (m_targetDepth == 8) {
        m_colourCache = new (std::nothrow) uint8_t[65536];
        if (m_colourCache == nullptr)
            return kImageOutOfMemory;
        std::memset(m_colourCache, kUnknownIndex, 65536);
        // Entered from the last entry down, so that the first of the entries
        // sharing a key holds it, as the nearest-colour search would answer.
        for (int i = (m_targetPalette->count < 256 ? m_targetPalette->count : 256) - 1; i >= 0; --i) {
            const PaletteEntry& e = m_targetPalette->entries[i];
            m_colourCache[Key565(e.red, e.green, e.blue)] = static_cast<uint8_t>(i);
        }
    } else if (m_depth == 8) {
        m_sourceColours = new (std::nothrow) CSharedPalette();
        if (m_sourceColours == nullptr)
            return kImageOutOfMemory;
        m_sourceColours->version = kPaletteVersion;
        m_sourceColours->count = 256;
        if (m_palette != nullptr)
            std::memcpy(m_sourceColours->entries, m_palette->entries, sizeof m_palette->entries);
    }
    m_targetPaletteChanged = 0;
    return kImageOk;
}

void CImageFormat::ConvertPixels(const uint8_t* row, uint8_t* destination, int32_t count) {
    if (m_indexMap != nullptr) {
        for (int32_t x = 0; x < count; ++x)
            destination[x] = m_indexMap[row[x]];
        return;
    }
    PixelDescriptor source;
    InitPixelDescriptor(&source, m_depth, count, 1, const_cast<uint8_t*>(row), count * m_bytesPerPixel, false,
                        m_sourceColours);
    if (m_colourCache != nullptr) {
        const PixelRoutineTable& routines = *source.routines;
        for (int32_t x = 0; x < count; ++x) {
            const uint32_t colour = routines.getPixel(&source, x, 0);
            const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
            uint8_t& cell = m_colourCache[Key565(red, green, blue)];
            if (cell == kUnknownIndex)
                cell = NearestEntry(*m_targetPalette, red, green, blue);
            destination[x] = cell;
        }
        return;
    }
    PixelDescriptor target;
    InitPixelDescriptor(&target, m_targetDepth, count, 1, destination, count * m_targetBytesPerPixel, false,
                        nullptr);
    source.routines->convertFrom(&target, 0, 0, count * m_targetBytesPerPixel, &source, 0, 0, count, 1);
}

void CImageFormat::PutRow(uint8_t* row, uint8_t* destination, uint8_t* mask) {
    if (m_depth == 32) {
        for (int32_t x = 0; x < m_width; ++x) {
            if (mask != nullptr && m_alpha)
                mask[x] = row[4 * x + 3];
            row[4 * x + 3] = 0;
        }
    }
    if (m_convert)
        ConvertPixels(row, destination, m_width);
    else if (row != destination)
        std::memcpy(destination, row, m_rowBytes);
}

void CImageFormat::PutPixels(const uint8_t* pixels, int32_t count, uint8_t* destination) {
    if (m_depth != 32) {
        if (m_convert)
            ConvertPixels(pixels, destination, count);
        else
            std::memcpy(destination, pixels, static_cast<size_t>(count) * m_bytesPerPixel);
        return;
    }
    // 32-bit pixels lose their fourth byte on the way, in pieces through a
    // small buffer so that the source stays untouched.
    uint8_t piece[256 * 4];
    while (count > 0) {
        const int32_t n = count < 256 ? count : 256;
        std::memcpy(piece, pixels, static_cast<size_t>(n) * 4);
        for (int32_t x = 0; x < n; ++x)
            piece[4 * x + 3] = 0;
        if (m_convert)
            ConvertPixels(piece, destination, n);
        else
            std::memcpy(destination, piece, static_cast<size_t>(n) * 4);
        pixels += 4 * n;
        destination += n * TargetBytesPerPixel();
        count -= n;
    }
}

// ---- CImageFormatManager ----

int32_t CImageFormatManager::Init() {
    Clear();
    m_formats = new (std::nothrow) CImageFormat*[kFormatCount]();
    if (m_formats == nullptr)
        return kImageOutOfMemory;
    // Probe order: BMP, JPEG, PNG, TGA, ANM, FLI, PCX.
    m_formats[0] = NewBmpFormat();
    m_formats[1] = NewJpegFormat();
    m_formats[2] = NewPngFormat();
    m_formats[3] = NewTgaFormat();
    m_formats[4] = NewAnmFormat();
    m_formats[5] = NewFliFormat();
    m_formats[6] = NewPcxFormat();
    return kImageOk;
}

void CImageFormatManager::Clear() {
    if (m_formats == nullptr)
        return;
    for (int i = 0; i < kFormatCount; ++i)
        if (m_formats[i] != nullptr)
            m_formats[i]->Release();
    delete[] m_formats;
    m_formats = nullptr;
}

CImageFormat* CImageFormatManager::GetPrototype(int position) const {
    if (m_formats == nullptr || position < 0 || position >= kFormatCount)
        return nullptr;
    return m_formats[position];
}

CImageFormat* CImageFormatManager::DetectFormat(CStream* stream, int* from) {
    if (m_formats == nullptr || stream == nullptr)
        return nullptr;
    const int32_t start = stream->Tell();
    uint32_t firstWord = 0;
    if (stream->ReadU32(&firstWord) != 0) {
        stream->Seek(start, 0);
        return nullptr;
    }
    CImageFormat* found = nullptr;
    for (int i = from != nullptr ? *from : 0; i < kFormatCount && found == nullptr; ++i) {
        if (m_formats[i] == nullptr)
            continue;
        if (stream->Tell() != start)
            stream->Seek(start, 0);
        if (m_formats[i]->Probe(stream, firstWord)) {
            found = m_formats[i]->CreateInstance();
            if (from != nullptr)
                *from = i;
        }
    }
    stream->Seek(start, 0);
    return found;
}

// ---- CImageFile ----

CImageFile::~CImageFile() {
    Close();
    ReleaseFormat();
}

void CImageFile::ReleaseFormat() {
    if (m_format != nullptr)
        m_format->Release();
    m_format = nullptr;
}

void CImageFile::DropInput() {
    if (m_ownsInput)
        delete m_input;
    m_input = nullptr;
    m_ownsInput = 0;
}

int32_t CImageFile::OpenFile(const char* name) {
    if (name == nullptr || *name == 0)
        return m_input != nullptr ? kImageStreamOpen : kImageNoSource;
    if (m_input != nullptr)
        return kImageStreamOpen;
    CFileStream* file = new (std::nothrow) CFileStream();
    if (file == nullptr)
        return kImageOutOfMemory;
    if (file->Open(name) != 0) {
        delete file;
        return kImageCannotOpen;
    }
    m_input = file;
    m_ownsInput = 1;
    return Prepare();
}

int32_t CImageFile::AttachStream(CStream* stream) {
    if (m_input != nullptr)
        return kImageStreamOpen;
    if (stream == nullptr)
        return kImageNoSource;
    m_input = stream;
    m_ownsInput = 0;
    return Prepare();
}

// Finds the format and reads the header. A format chosen beforehand must
// accept the first four bytes and is the only one tried; a detected format
// whose header is not valid (5) hands over to the later formats, so that a
// file one format's probe wrongly accepts can still be read by its own.
int32_t CImageFile::Prepare() {
    const int32_t start = m_input->Tell();
    int32_t status = kImageNotRecognised;
    if (m_format != nullptr) {
        uint32_t firstWord = 0;
        const bool accepted = m_input->ReadU32(&firstWord) == 0 && (m_input->Seek(start, 0), true) &&
                              m_format->Probe(m_input, firstWord);
        m_input->Seek(start, 0);
        if (accepted) {
            status = m_format->ReadHeader(m_input);
            if (status == kImageOk && m_format->GetDepth() < 8)
                status = kImageBelow8Bits;
        }
        if (status != kImageOk)
            ReleaseFormat();
    } else {
        for (int from = 0; from < CImageFormatManager::kFormatCount; ++from) {
            m_format = m_manager != nullptr ? m_manager->DetectFormat(m_input, &from) : nullptr;
            if (m_format == nullptr)
                break;
            status = m_format->ReadHeader(m_input);
            if (status == kImageOk && m_format->GetDepth() < 8)
                status = kImageBelow8Bits;
            if (status == kImageOk)
                break;
            ReleaseFormat();
            m_input->Seek(start, 0);
            if (status != kImageNotRecognised)
                break;
        }
    }
    if (status != kImageOk)
        DropInput();
    return status;
}

int CImageFile::CreateFormatById(uint32_t id) {
    for (int i = 0; m_manager != nullptr && i < CImageFormatManager::kFormatCount; ++i) {
        CImageFormat* prototype = m_manager->GetPrototype(i);
        if (prototype != nullptr && prototype->GetId() == id) {
            CImageFormat* format = prototype->CreateInstance();
            if (format == nullptr)
                return 0;
            ReleaseFormat();
            m_format = format;
            return 1;
        }
    }
    return 0;
}

int32_t CImageFile::PrepareRead(int32_t width, int32_t height, int32_t depth, const LogPalette256* palette) {
    if (m_format == nullptr || m_input == nullptr)
        return kImageNothingOpen;
    if (width != m_format->GetWidth() || height != m_format->GetHeight())
        return kImageSizeMismatch;
    if (depth == 0)
        depth = m_format->GetDepth();
    if (depth == 8 && palette == nullptr)
        palette = m_format->GetPalette();
    const int32_t status = m_format->SetTargetFormat(depth, palette);
    if (status != kImageOk)
        return status;
    m_prepared = 1;
    return kImageOk;
}

int32_t CImageFile::Read(uint8_t* destination, int32_t width, int32_t height, int32_t depth, int32_t pitch,
                         const LogPalette256* palette, uint8_t* mask) {
    if (m_format == nullptr || m_input == nullptr)
        return kImageNothingOpen;
    if (!m_prepared) {
        const int32_t status = PrepareRead(width, height, depth, palette);
        if (status != kImageOk)
            return status;
    }
    if (destination == nullptr)
        return kImageBadArguments;
    return m_format->ReadImage(m_input, destination, pitch, mask);
}

int32_t CImageFile::ReadFrame(uint8_t* destination, int32_t pitch, int32_t frame) {
    if (!m_prepared || m_format == nullptr)
        return kImageNotPrepared;
    if (!m_format->HasFrames())
        return kImageNotSupported;
    const int32_t last = m_format->GetFrameCount() - 1;
    if (last < 0)
        return kImageNoMoreFrames;
    if (frame > last)
        frame = last;
    // The current frame is the last one read (-1 before the first): the
    // frames after it up to the wanted one are read, or, for an earlier
    // frame, all from the first again.
    int32_t current = m_format->GetCurrentFrame();
    if (frame < current) {
        m_format->Rewind();
        current = -1;
    }
    int32_t status = kImageOk;
    for (int32_t i = current + 1; i <= frame && status == kImageOk; ++i)
        status = m_format->ReadImage(m_input, destination, pitch, nullptr);
    return status;
}

void CImageFile::Rewind() {
    if (m_format != nullptr && m_format->HasFrames())
        m_format->Rewind();
}

void CImageFile::Close() {
    m_prepared = 0;
    if (m_format != nullptr) {
        m_format->EndWrite(m_output);
        m_format->EndRead(m_input);
    }
    if (m_ownsOutput)
        delete m_output;
    m_output = nullptr;
    m_ownsOutput = 0;
    DropInput();
}

int32_t CImageFile::SaveFile(const char* name, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                             int32_t pitch, const LogPalette256* palette) {
    if (m_format == nullptr)
        return kImageNotPrepared;
    if (name == nullptr || *name == 0 || pixels == nullptr || width < 1 || height < 1)
        return kImageBadArguments;
    if ((m_format->GetWriteDepths() & WriteDepthBit(depth)) == 0)
        return kImageDepthNotWritable;
    if (!m_format->CanWriteImage())
        return kImageNotSupported;
    // Checked before anything is created: an 8-bit image needs its palette.
    if (depth == 8 && !IsFullPalette(palette))
        return kImageNoPalette;

    // The temporary file goes into the target's folder so that the final
    // rename stays on one volume.
    char folder[1024];
    const char* slash = nullptr;
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/')
            slash = p;
    const size_t folderLength = slash != nullptr ? static_cast<size_t>(slash - name) : 0;
    if (folderLength + 1 > sizeof folder)
        return kImageCannotCreate;
    std::memcpy(folder, name, folderLength);
    folder[folderLength] = 0;
    if (slash != nullptr && folderLength == 0)
        std::strcpy(folder, "\\");
    else if (slash == nullptr)
        std::strcpy(folder, ".");
    char temporary[1100], backup[1100];
    if (MakeTempFileName(folder, "img", temporary, sizeof temporary, "tmp", 1, 0) < 0)
        return kImageCannotCreate;
    const int32_t status = WriteTo(temporary, pixels, width, height, depth, pitch, palette);
    if (status != kImageOk) {
        DeletePathFile(temporary);
        return status;
    }
    if (!PathExists(name))
        return RenamePathFile(name, temporary) == 0 ? kImageOk : (DeletePathFile(temporary), kImageCannotCreate);
    // Replace the old picture: move it aside, put the new one in, and only
    // then delete the old one (or move it back when that failed).
    if (MakeTempFileName(folder, "old", backup, sizeof backup, "tmp", 0, 0) < 0 ||
        RenamePathFile(backup, name) != 0) {
        DeletePathFile(temporary);
        return kImageCannotCreate;
    }
    if (RenamePathFile(name, temporary) != 0) {
        RenamePathFile(name, backup);
        DeletePathFile(temporary);
        return kImageCannotCreate;
    }
    DeletePathFile(backup);
    return kImageOk;
}

int32_t CImageFile::WriteTo(const char* name, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                            int32_t pitch, const LogPalette256* palette) {
    CBufferedFileStream* stream = new (std::nothrow) CBufferedFileStream();
    if (stream == nullptr)
        return kImageOutOfMemory;
    const FileHandle handle = CreateFileHandle(name);
    if (handle == kNoFileHandle) {
        delete stream;
        return kImageCannotCreate;
    }
    stream->AttachHandle(handle, 4096);
    int32_t status = m_format->WriteImage(stream, pixels, width, height, depth, pitch, palette);
    if (status == kImageOk && stream->Flush() != 0)
        status = kImageWriteFailed;
    delete stream;
    CloseFileHandle(handle);
    return status;
}
