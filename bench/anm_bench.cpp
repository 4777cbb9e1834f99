// Animation decoding and writing through the image layer, against zlib and
// ffmpeg on the same data:
// - a 100-frame 640 × 480 32-bit ANM of a moving scene (zlib delta frames)
//   decoded frame by frame, against inflating the same frames' data alone;
// - the same animation written, against deflating the same frame data at the
//   same level;
// - a 100-frame 640 × 480 FLC (a stored first frame, then byte-delta frames
//   that rewrite every pixel) decoded frame by frame, against ffmpeg's flic
//   decoder on the same file (`ffmpeg -benchmark`, its user time, which
//   includes its start), both timed in this run.
// Each figure is the best of three runs.
#include "bench_timing.h"

#include "graphics2d/image_file.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/memory_stream.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kWidth = 640, kHeight = 480, kFrames = 100;

void Put16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }
uint32_t U32At(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// Frame i of the scene at bytesPerPixel: a still textured background and two
// textured blocks that move across it.
Bytes Scene(int i, int bytesPerPixel) {
    Bytes f(static_cast<size_t>(kWidth) * kHeight * bytesPerPixel);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &f[(static_cast<size_t>(y) * kWidth + x) * bytesPerPixel];
            uint32_t c = (x / 4) * 0x010203u + (y / 3) * 0x030100u;
            const int ax = 20 + 5 * i, ay = 40 + 2 * i, bx = 500 - 4 * i, by = 300 - i;
            if (x >= ax && x < ax + 120 && y >= ay && y < ay + 90) c = 0x808080u ^ ((x - ax) * 37u + (y - ay) * 11u);
            if (x >= bx && x < bx + 64 && y >= by && y < by + 64) c = 0x20C040u + ((x - bx) ^ (y - by)) * 3u;
            for (int b = 0; b < bytesPerPixel; ++b) p[b] = bytesPerPixel == 4 && b == 3 ? 0 : uint8_t(c >> (8 * b));
        }
    return f;
}

CImageFormatManager& Manager() {
    static CImageFormatManager m;
    static bool ready = m.Init() == kImageOk;
    (void)ready;
    return m;
}

Bytes WriteAnm(const std::vector<Bytes>& frames, int quality) {
    std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(Manager().GetPrototype(4)->CreateInstance(),
                                                                [](CImageFormat* f) { f->Release(); });
    anm->SetQuality(quality);
    CBufferStream out;
    CAnimationHeader h;
    h.width = kWidth, h.height = kHeight, h.depth = 32, h.defaultDelay = 40, h.frameCount = kFrames;
    if (anm->BeginAnimation(&out, h) != kImageOk) std::abort();
    for (int i = 0; i < kFrames; ++i)
        if (anm->WriteFrame(&out, i ? frames[i - 1].data() : nullptr, frames[i].data(), kWidth * 4, nullptr, 40, 0) !=
            kImageOk)
            std::abort();
    anm->EndWrite(&out);
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

// The data of every frame chunk (behind its 28-byte header), with the
// unpacked size.
struct FrameData {
    const uint8_t* data;
    uint32_t size;
    uint32_t unpacked;
};
std::vector<FrameData> Frames(const Bytes& anm) {
    std::vector<FrameData> out;
    for (size_t at = 40; at + 8 <= anm.size();) {
        const uint16_t id = static_cast<uint16_t>(anm[at] | anm[at + 1] << 8);
        const uint32_t size = U32At(&anm[at + 4]);
        if (id == 0x4572 || id == 0x4573) out.push_back({&anm[at + 8 + 28], size - 28, U32At(&anm[at + 8 + 24])});
        at += 8 + size;
    }
    return out;
}

double DecodeAll(const Bytes& file) {
    Bytes picture(static_cast<size_t>(kWidth) * kHeight * 4);
    return bench::Best([&] {
        CMemoryStream stream;
        stream.Attach(file.data(), static_cast<int32_t>(file.size()));
        CImageFile image(&Manager());
        if (image.AttachStream(&stream) != kImageOk) std::abort();
        if (image.PrepareRead(kWidth, kHeight, 0, nullptr) != kImageOk) std::abort();
        const int32_t pitch = kWidth * ((image.GetDepth() + 1) / 8);
        for (int i = 0; i < image.GetFrameCount(); ++i)
            if (image.ReadFrame(picture.data(), pitch, i) != kImageOk) std::abort();
    });
}

// A FLC: frame 1 stored (16), then byte-delta frames (12) whose lines are
// literal packets over the changed spans.
Bytes MakeFlc(const std::vector<Bytes>& frames) {
    Bytes body;
    const auto frame = [&](uint16_t type, const Bytes& data, const Bytes* palette) {
        Bytes sub;
        if (palette) {
            Put32(sub, static_cast<uint32_t>(6 + 4 + palette->size()));
            Put16(sub, 4);
            Put16(sub, 1);
            sub.insert(sub.end(), {0, 0});
            sub.insert(sub.end(), palette->begin(), palette->end());
        }
        Put32(sub, static_cast<uint32_t>(6 + data.size()));
        Put16(sub, type);
        sub.insert(sub.end(), data.begin(), data.end());
        Put32(body, static_cast<uint32_t>(16 + sub.size()));
        Put16(body, 0xF1FA);
        Put16(body, palette ? 2 : 1);
        body.resize(body.size() + 8, 0);
        body.insert(body.end(), sub.begin(), sub.end());
    };
    Bytes palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    frame(16, frames[0], &palette);
    for (int f = 1; f < kFrames; ++f) {
        const Bytes& a = frames[f - 1];
        const Bytes& b = frames[f];
        int first = -1, last = -1;
        for (int y = 0; y < kHeight; ++y)
            if (std::memcmp(&a[y * kWidth], &b[y * kWidth], kWidth) != 0) {
                if (first < 0) first = y;
                last = y;
            }
        Bytes d;
        if (first < 0) first = last = 0;
        Put16(d, static_cast<uint32_t>(first));
        Put16(d, static_cast<uint32_t>(last - first + 1));
        for (int y = first; y <= last; ++y) {
            const uint8_t* ra = &a[y * kWidth];
            const uint8_t* rb = &b[y * kWidth];
            Bytes packets;
            int count = 0, at = 0;
            for (int x = 0; x < kWidth;) {
                if (ra[x] == rb[x]) { ++x; continue; }
                int end = x;
                while (end < kWidth && end - x < 127 && ra[end] != rb[end]) ++end;
                for (int skip = x - at; ; skip -= 255) {
                    if (skip <= 255) { packets.push_back(uint8_t(skip)); break; }
                    packets.insert(packets.end(), {255, 0});
                    ++count;
                }
                packets.push_back(uint8_t(end - x));
                packets.insert(packets.end(), rb + x, rb + end);
                ++count;
                at = x = end;
            }
            if (count > 255) std::abort();
            d.push_back(uint8_t(count));
            d.insert(d.end(), packets.begin(), packets.end());
        }
        frame(12, d, nullptr);
    }
    Bytes file;
    Put32(file, static_cast<uint32_t>(128 + body.size()));
    Put16(file, 0xAF12);
    Put16(file, kFrames);
    Put16(file, kWidth);
    Put16(file, kHeight);
    Put16(file, 8);
    Put16(file, 3);
    Put32(file, 40);
    file.resize(80, 0);
    Put32(file, 128);
    file.resize(128, 0);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// ffmpeg's user time for decoding the file (null output), or -1 without ffmpeg.
double FfmpegSeconds(const Bytes& file) {
    const std::string name = "/tmp/anm_bench_" + std::to_string(::getpid()) + ".flc";
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return -1;
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        const std::string command = "ffmpeg -nostdin -hide_banner -nostats -loglevel info -benchmark -threads 1 -i " + name + " -f null - 2>&1";
        FILE* p = popen(command.c_str(), "r");
        if (!p) break;
        char line[512];
        double seconds = -1;
        while (std::fgets(line, sizeof line, p))
            if (const char* u = std::strstr(line, "utime=")) seconds = std::atof(u + 6);
        pclose(p);
        if (seconds >= 0 && (best < 0 || seconds < best)) best = seconds;
    }
    if (std::getenv("ANM_BENCH_KEEP") == nullptr) std::remove(name.c_str());
    return best;
}

}  // namespace

int main() {
    std::vector<Bytes> scene;
    for (int i = 0; i < kFrames; ++i) scene.push_back(Scene(i, 4));
    const Bytes stored = WriteAnm(scene, 0);
    const Bytes deflated = WriteAnm(scene, -1);
    const std::vector<FrameData> raw = Frames(stored), packed = Frames(deflated);
    if (raw.size() != packed.size()) std::abort();

    // Decoding against inflating the same frames.
    const double decode = DecodeAll(deflated);
    Bytes out(static_cast<size_t>(kWidth) * kHeight * 4 * 2);
    const double inflate = bench::Best([&] {
        for (const FrameData& f : packed) {
            uLongf size = static_cast<uLongf>(out.size());
            if (uncompress(out.data(), &size, f.data, f.size) != Z_OK || size != f.unpacked) std::abort();
        }
    });
    // Writing against deflating the same frame data at the same level.
    double write = bench::Best([&] { (void)WriteAnm(scene, -1); });
    const double deflate = bench::Best([&] {
        Bytes dest(compressBound(static_cast<uLong>(kWidth) * kHeight * 4));
        for (const FrameData& f : raw) {
            uLongf size = static_cast<uLongf>(dest.size());
            if (compress2(dest.data(), &size, f.data, f.size, Z_DEFAULT_COMPRESSION) != Z_OK) std::abort();
        }
    });

    // FLC against ffmpeg.
    std::vector<Bytes> indexed;
    for (int i = 0; i < kFrames; ++i) {
        Bytes b(static_cast<size_t>(kWidth) * kHeight);
        // Every pixel changes from frame to frame (the colours cycle), so
        // each delta frame rewrites the whole picture in literal packets.
        for (size_t p = 0; p < b.size(); ++p) b[p] = static_cast<uint8_t>((scene[i][4 * p] ^ scene[i][4 * p + 1]) + i);
        indexed.push_back(std::move(b));
    }
    const Bytes flc = MakeFlc(indexed);
    const double flcOurs = DecodeAll(flc);
    const double flcFfmpeg = FfmpegSeconds(flc);

    std::printf("%-44s %10s %10s %7s\n", "100 frames 640x480", "ours ms", "other ms", "ratio");
    std::printf("%-44s %10.1f %10.1f %7.2f\n", "ANM 32-bit zlib decode vs inflate alone", decode * 1e3, inflate * 1e3,
                decode / inflate);
    std::printf("%-44s %10.1f %10.1f %7.2f\n", "ANM 32-bit zlib write vs deflate alone", write * 1e3, deflate * 1e3,
                write / deflate);
    if (flcFfmpeg > 0)
        std::printf("%-44s %10.1f %10.1f %7.2f\n", "FLC 8-bit decode vs ffmpeg flic (user time)", flcOurs * 1e3,
                    flcFfmpeg * 1e3, flcOurs / flcFfmpeg);
    else
        std::printf("%-44s %10.1f %10s\n", "FLC 8-bit decode (no time from ffmpeg)", flcOurs * 1e3, "-");
    std::printf("ANM file %zu bytes (stored %zu), FLC file %zu bytes\n", deflated.size(), stored.size(), flc.size());
    return 0;
}
