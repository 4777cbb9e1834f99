#pragma once
// The image file layer: every picture file is read and written through it.
//
// CImageFormatManager holds one prototype per file format, in probe order:
//   0 BMP "BMP "  texts 3801 3701 3901      4 ANM "ANM "  texts 3808 3708 3908
//   1 JPEG "JPEG" texts 3805 3705 3905      5 FLI "FLI "  texts 3807 3707 3907
//   2 PNG "PNG "  texts 3806 3706 3906      6 PCX "PCX "  texts 3802 3702 3902
//   3 TGA "TGA "  texts 3804 3704 3904
// (an id is the four characters as a little-endian word; slots without a
// format yet stay empty). Detection asks each prototype in turn and takes the
// first that accepts the file's first four bytes.
//
// CImageFile opens one picture from a file name or a caller's CStream, finds
// its format, reads its header (Prepare), and delivers its rows converted to
// the depth and palette the caller asks for (PrepareRead, Read); it also saves
// pixel rows in a chosen format (CreateFormatById, SaveFile).
//
// Depths: 8 (palette indices), 15 (5-5-5 words), 16 (5-6-5 words), 24 (blue,
// green, red bytes), 32 (blue, green, red and a fourth byte): the surface
// library's pixel layouts (graphics2d/pixel_format.h). Rows delivered at 32
// bits keep the fourth byte 0; an image with an alpha plane (HasAlpha) gives
// each pixel's alpha to the mask buffer of Read instead (rows of width bytes).
//
// Palettes are 256-entry logical palette records (LogPalette256) whose count
// says how many entries are valid.
//
// Every operation answers a status (ImageStatus; 0 is success). Images whose
// pixel bytes pass kImageMaxPixelBytes give kImageOutOfMemory before anything
// is allocated for them.
#include <cstdint>

#include "runtime/base/rect.h"
#include "runtime/package/shared_palette.h"

class CStream;
class COutStream;

enum ImageStatus : int32_t {
    kImageOk = 0,
    kImageOutOfMemory = 1,
    kImageCannotOpen = 2,
    kImageCannotCreate = 3,
    kImageWriteFailed = 4,
    kImageNotRecognised = 5,    // no format takes the file, or its header is not valid
    kImageUnsupported = 6,      // a variant of the format that is not supported
    kImageNoSource = 7,         // no file name and no stream
    kImageNotSupported = 8,     // the format does not support the operation
    kImageNothingOpen = 9,
    kImageDepthNotWritable = 10,
    kImageCorrupt = 11,         // the pixel data cannot be read or is corrupt
    kImageBelow8Bits = 12,
    kImageSizeMismatch = 13,
    kImageBadArguments = 14,
    kImageNotPrepared = 15,
    kImageNoPalette = 16,       // an 8-bit image to write has no full palette
    kImageStreamOpen = 17,
    kImageNoMoreFrames = 18,
};

constexpr int64_t kImageMaxPixelBytes = int64_t(256) << 20;

constexpr uint32_t ImageFormatId(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kImageFormatBmp = ImageFormatId('B', 'M', 'P', ' ');
constexpr uint32_t kImageFormatJpeg = ImageFormatId('J', 'P', 'E', 'G');
constexpr uint32_t kImageFormatPng = ImageFormatId('P', 'N', 'G', ' ');
constexpr uint32_t kImageFormatTga = ImageFormatId('T', 'G', 'A', ' ');
constexpr uint32_t kImageFormatAnm = ImageFormatId('A', 'N', 'M', ' ');
constexpr uint32_t kImageFormatFli = ImageFormatId('F', 'L', 'I', ' ');
constexpr uint32_t kImageFormatPcx = ImageFormatId('P', 'C', 'X', ' ');

// Bits of GetWriteDepths.
constexpr uint32_t kWriteDepth8 = 0x04, kWriteDepth15 = 0x08, kWriteDepth16 = 0x10, kWriteDepth24 = 0x20,
                   kWriteDepth32 = 0x40;
uint32_t WriteDepthBit(int32_t depth);  // 0 for a depth that is none of the five

// 1 when the palette is there and holds all 256 entries (what writing an 8-bit
// image needs).
bool IsFullPalette(const LogPalette256* palette);

// What BeginAnimation writes into an animation's header.
struct CAnimationHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int32_t frameCount = 0;
    int32_t defaultDelay = 0;
    int32_t extraWord1 = 1;
    int32_t extraWord2 = 0;
    const void* userData = nullptr;
    int32_t userDataSize = 0;
};

class CImageFormat {
public:
    CImageFormat(int32_t text1, int32_t text2, int32_t text3);
    virtual ~CImageFormat();
    virtual void Release();
    // Kept for the order of the table of operations; no format uses it.
    virtual void Reserved(int32_t, int32_t) {}
    virtual CImageFormat* CreateInstance() = 0;
    virtual uint32_t GetId() = 0;
    // The format's three texts from the program's string resources: its
    // description, its file patterns and its short name. 0 when the buffer is
    // null or the text id is 0, else the length copied.
    virtual int LoadText1(char* buffer, int size);
    virtual int LoadText2(char* buffer, int size);
    virtual int LoadText3(char* buffer, int size);
    virtual uint32_t GetWriteDepths() { return 0x7C; }
    virtual void SetQuality(int32_t) {}
    // 1 when the file's first four bytes (firstWord, little-endian) belong to
    // this format. The stream stands at the image start; it may be moved.
    virtual int Probe(CStream* stream, uint32_t firstWord) = 0;
    virtual int IsStillImage() { return 0; }
    virtual int IsAnimation() { return 0; }
    virtual int CanWriteImage() { return 0; }
    virtual int CanWriteAnimation() { return 0; }
    // Reads the header from the stream's position (the image start).
    virtual int32_t ReadHeader(CStream* stream) = 0;
    // Reads the pixels into destination rows `pitch` bytes apart, converted by
    // the target format; mask (or null) gets the alpha bytes of an image that
    // has them, rows of width bytes.
    virtual int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) = 0;
    // Writes rows `sourcePitch` bytes apart (negative: bottom-up in memory).
    virtual int32_t WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height,
                               int32_t depth, int32_t sourcePitch, const LogPalette256* palette);
    virtual void EndRead(CStream*) {}
    virtual void EndWrite(COutStream*) {}
    virtual int32_t GetWidth() { return m_width; }
    virtual int32_t GetHeight() { return m_height; }
    virtual int32_t GetPitch() { return m_pitch; }
    virtual int32_t GetDepth() { return m_depth; }
    virtual int32_t GetImageSize() { return m_pitch * m_height; }
    virtual LogPalette256* GetPalette() { return m_palette; }
    virtual int HasAlpha() { return m_alpha; }
    // Chooses the depth and palette the rows are delivered in (see image_file.cpp).
    virtual int32_t SetTargetFormat(int32_t depth, const LogPalette256* palette);
    virtual int HasFrames() { return 0; }
    virtual int32_t GetFrameCount() { return m_frameCount; }
    virtual int32_t GetCurrentFrame() { return m_currentFrame; }
    virtual void GetFrameRect(CRect* rect);
    virtual void* GetUserData() { return nullptr; }
    virtual int32_t GetUserDataSize() { return 0; }
    virtual int32_t GetTotalTime() { return m_totalTime; }
    virtual int32_t GetFrameDelay(int32_t) { return m_frameDelay; }
    virtual int32_t GetExtraWord1() { return 1; }
    virtual int32_t GetExtraWord2() { return 0; }
    virtual void Rewind() {}
    // Starts writing an animation of width × height pixels at depth: its
    // header with frameCount and the default delay, the two extra words and
    // the user data (null: none).
    virtual int32_t BeginAnimation(COutStream*, const CAnimationHeader&) { return kImageNotSupported; }
    // Writes one frame of rows `pitch` bytes apart at the animation's depth;
    // `previous` (or null) is the frame before it, for a delta.
    virtual int32_t WriteFrame(COutStream*, const uint8_t* /*previous*/, const uint8_t* /*pixels*/,
                               int32_t /*pitch*/, const LogPalette256*, int32_t /*delay*/, uint32_t /*flags*/) {
        return kImageNotSupported;
    }
    virtual void ExtendLastFrame(COutStream*, int32_t) {}

    CImageFormat(const CImageFormat&) = delete;
    CImageFormat& operator=(const CImageFormat&) = delete;

protected:
    // Sets width, height, depth and the packed row bytes; kImageOutOfMemory
    // when the pixel bytes pass kImageMaxPixelBytes. The read-buffer pitch is
    // the format's to set.
    int32_t SetGeometry(int64_t width, int64_t height, int32_t depth);
    // The palette record, made (zero-filled, 256 entries) on first use; null
    // when out of memory.
    LogPalette256* MakePalette();
    // Delivers one stored row, packed at the image's depth: with a mask and an
    // alpha plane the alpha bytes go to the mask; 32-bit rows get fourth byte
    // 0 (in `row` itself); then the row is copied into `destination` (unless
    // it is the same memory) or converted by the target tables.
    void PutRow(uint8_t* row, uint8_t* destination, uint8_t* mask);
    // Delivers `count` packed pixels at the image's depth to `destination`
    // (a place in a destination row), copied or converted as PutRow does; 32-
    // bit pixels arrive with fourth byte 0. For the runs of delta frames.
    void PutPixels(const uint8_t* pixels, int32_t count, uint8_t* destination);
    // Bytes of one delivered pixel in the destination.
    int32_t TargetBytesPerPixel() const { return m_convert ? m_targetBytesPerPixel : m_bytesPerPixel; }
    bool ConversionNeeded() const { return m_convert != 0; }

    int32_t m_text[3];
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_depth = 0;
    int32_t m_rowBytes = 0;       // packed bytes of one row at the image's depth
    int32_t m_pitch = 0;          // bytes of one row in the format's read buffer
    int32_t m_bytesPerPixel = 0;  // (depth + 1) / 8
    int m_alpha = 0;
    int32_t m_frameCount = 1;
    int32_t m_currentFrame = 0;
    int32_t m_frameDelay = 0;
    int32_t m_totalTime = 0;
    LogPalette256* m_palette = nullptr;

private:
    int32_t BuildTables();
    void DropTables();
    void ConvertPixels(const uint8_t* row, uint8_t* destination, int32_t count);

    int m_convert = 0;
    int m_targetPaletteChanged = 0;
    int32_t m_targetDepth = 0;
    int32_t m_targetBytesPerPixel = 0;
    LogPalette256* m_targetPalette = nullptr;
    uint8_t* m_indexMap = nullptr;       // 8 -> 8: image index -> target index
    uint8_t* m_colourCache = nullptr;    // deeper -> 8: 5-6-5 key -> target index, 253 unknown
    CSharedPalette* m_sourceColours = nullptr;  // 8 -> deeper: the image palette for the routines
};

class CImageFormatManager {
public:
    enum { kFormatCount = 7 };
    CImageFormatManager() = default;
    ~CImageFormatManager() { Clear(); }
    // Creates the prototypes; 1 when the array cannot be allocated, else 0 (a
    // prototype that cannot be allocated stays empty).
    int32_t Init();
    void Clear();
    // The first format at or after position *from that accepts the stream, as
    // a new instance (null: none); *from becomes its position. The stream is
    // left where it stood.
    CImageFormat* DetectFormat(CStream* stream, int* from = nullptr);
    CImageFormat* GetPrototype(int position) const;

    CImageFormatManager(const CImageFormatManager&) = delete;
    CImageFormatManager& operator=(const CImageFormatManager&) = delete;

private:
    CImageFormat** m_formats = nullptr;
};

class CImageFile {
public:
    explicit CImageFile(CImageFormatManager* manager) : m_manager(manager) {}
    ~CImageFile();

    int32_t OpenFile(const char* name);
    // The stream stays the caller's.
    int32_t AttachStream(CStream* stream);
    // Makes the format of that id the file's format (for SaveFile, or to read
    // a file as that format only); 1 on success, 0 when no format has the id.
    int CreateFormatById(uint32_t id);
    int32_t PrepareRead(int32_t width, int32_t height, int32_t depth, const LogPalette256* palette);
    int32_t Read(uint8_t* destination, int32_t width, int32_t height, int32_t depth, int32_t pitch,
                 const LogPalette256* palette, uint8_t* mask = nullptr);
    int32_t ReadFrame(uint8_t* destination, int32_t pitch, int32_t frame);
    void Rewind();
    void Close();
    // Writes into a temporary file beside `name` and puts it in place of
    // `name` only after a complete write: a failed save leaves an existing
    // file as it was.
    int32_t SaveFile(const char* name, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                     int32_t pitch, const LogPalette256* palette);

    CImageFormat* GetFormat() const { return m_format; }
    int32_t GetWidth() const { return m_format ? m_format->GetWidth() : 0; }
    int32_t GetHeight() const { return m_format ? m_format->GetHeight() : 0; }
    int32_t GetDepth() const { return m_format ? m_format->GetDepth() : 0; }
    int32_t GetPitch() const { return m_format ? m_format->GetPitch() : 0; }
    int32_t GetImageSize() const { return m_format ? m_format->GetImageSize() : 0; }
    LogPalette256* GetPalette() const { return m_format ? m_format->GetPalette() : nullptr; }
    int HasAlpha() const { return m_format ? m_format->HasAlpha() : 0; }
    int HasFrames() const { return m_format ? m_format->HasFrames() : 0; }
    int32_t GetFrameCount() const { return m_format ? m_format->GetFrameCount() : 0; }
    int32_t GetCurrentFrame() const { return m_format ? m_format->GetCurrentFrame() : 0; }
    int32_t GetTotalTime() const { return m_format ? m_format->GetTotalTime() : 0; }
    int32_t GetFrameDelay(int32_t frame) const { return m_format ? m_format->GetFrameDelay(frame) : 0; }

    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

private:
    int32_t Prepare();
    void ReleaseFormat();
    void DropInput();
    int32_t WriteTo(const char* name, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                    int32_t pitch, const LogPalette256* palette);

    CImageFormatManager* m_manager;
    CStream* m_input = nullptr;
    int m_ownsInput = 0;
    int m_prepared = 0;
    COutStream* m_output = nullptr;
    int m_ownsOutput = 0;
    CImageFormat* m_format = nullptr;
};

// The formats of this layer (image_bmp.cpp, image_jpeg.cpp, image_png.cpp,
// tga_format.cpp, anm_format.cpp, fli_format.cpp, pcx_format.cpp).
CImageFormat* NewBmpFormat();
CImageFormat* NewJpegFormat();
CImageFormat* NewPngFormat();
CImageFormat* NewTgaFormat();
CImageFormat* NewAnmFormat();
CImageFormat* NewFliFormat();
CImageFormat* NewPcxFormat();
