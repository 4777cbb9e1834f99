#pragma once
// What the two animation fuzz targets share: the bytes go through
// CImageFile::AttachStream over a memory stream with only the target's format
// chosen, then every frame is read in turn through ReadFrame at 24 and at 16
// bits into buffers of the announced size, then the first frame again (a
// backward seek rewinds and decodes anew). Invariants: the header gives a
// size of at least one pixel; each frame's status is the same at both
// depths; the 16-bit pixels are the 24-bit ones narrowed; after the backward
// seek the first frame's pixels are those of the first read.
#include "image_fuzz.h"

namespace fuzz {

constexpr int64_t kAnimReadLimit = 4 << 20;
constexpr size_t kComparedFrames = 16;  // frames kept for the 24/16-bit comparison

struct FrameRun {
    std::vector<int32_t> statuses;
    std::vector<uint8_t> first;  // the first frame's pixels
    std::vector<uint8_t> again;  // the same after the backward seek
    std::vector<std::vector<uint8_t>> frames;
};

inline bool ReadFrames(CImageFormatManager* manager, uint32_t formatId, const uint8_t* data, size_t size,
                       int32_t depth, FrameRun* run, int32_t* width, int32_t* height) {
    CMemoryStream stream;
    stream.Attach(data, static_cast<int32_t>(size));
    CImageFile file(manager);
    Check(file.CreateFormatById(formatId) == 1);
    if (file.AttachStream(&stream) != kImageOk) {
        Check(file.GetFormat() == nullptr);
        return false;
    }
    *width = file.GetWidth();
    *height = file.GetHeight();
    Check(*width >= 1 && *height >= 1);
    const int32_t pitch = *width * ((depth + 1) / 8);
    // Every frame of a large image is work in proportion to its pixels (and
    // the checks below to more): animations stay below 4 MB a frame, so that
    // a run's time is spent on the decoders' paths, not on clearing pixels.
    if (int64_t(pitch) * *height > kAnimReadLimit) return false;
    std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * *height, 0);
    if (file.PrepareRead(*width, *height, depth, nullptr) != kImageOk) return false;
    // At most 64 frames: the frame count is the file's word, the work per
    // frame is bounded by the data.
    const int32_t frames = file.GetFrameCount() < 64 ? file.GetFrameCount() : 64;
    for (int32_t i = 0; i < frames; ++i) {
        const int32_t status = file.ReadFrame(pixels.data(), pitch, i);
        run->statuses.push_back(status);
        if (status != kImageOk) break;
        if (run->frames.size() < kComparedFrames) run->frames.push_back(pixels);
        if (i == 0) run->first = pixels;
    }
    // Back to the first frame once a later one was read (asking for the
    // current frame reads nothing).
    if (run->statuses.size() >= 2 && run->statuses[1] == kImageOk) {
        std::fill(pixels.begin(), pixels.end(), 0);
        if (file.ReadFrame(pixels.data(), pitch, 0) == kImageOk) run->again = pixels;
    }
    file.Close();
    return true;
}

inline int RunAnimationFuzz(uint32_t formatId, const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    CImageFormatManager* manager = SharedManager();
    FrameRun wide, narrow;
    int32_t width = 0, height = 0, w16 = 0, h16 = 0;
    if (!ReadFrames(manager, formatId, data, size, 24, &wide, &width, &height)) return 0;
    Check(ReadFrames(manager, formatId, data, size, 16, &narrow, &w16, &h16));
    Check(w16 == width && h16 == height);
    Check(wide.statuses == narrow.statuses);
    // The first frame decoded again after the rewind, over a cleared
    // destination, gives the same pixels.
    if (!wide.again.empty()) Check(wide.again == wide.first);
    for (size_t f = 0; f < wide.frames.size() && f < narrow.frames.size(); ++f)
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = &wide.frames[f][(size_t(y) * width + x) * 3];
                uint32_t expected = (p[0] >> 3) | (p[1] >> 2) << 5 | (p[2] >> 3) << 11;
                const uint8_t* q = &narrow.frames[f][(size_t(y) * width + x) * 2];
                const uint32_t got = q[0] | q[1] << 8;
                // True-colour pixels that narrow to 0 stay visible (1), as
                // the library's conversions keep them.
                Check(got == expected || (expected == 0 && got == 1));
            }
    return 0;
}

}  // namespace fuzz
