// Two modes, chosen by the first byte.
// Rich text (even): random markup on a surface of width 1 to 1000 and height
// 0 to 100 through tokenizer, splitter, layout and cursor rules over
// fixed-width fake metrics. Checked: every call ends, the cursor stays in
// 0..width and 0..height, every drawn text lies within the line it belongs
// to, and every font made is deleted.
// Flood fill (odd): a small random surface, seed, tolerance and colour.
// Checked: the answer, and that every changed pixel lies inside the box.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/rich_text.h"
#include "graphics2d/surface_registry.h"

namespace {

class FakeHost : public IRichTextHost {
public:
    FakeHost(int32_t w, int32_t h) : m_w(w), m_h(h) {}
    ~FakeHost() override {
        if (live != 0) std::abort();  // a font was not deleted
    }
    int32_t Width() override { return m_w; }
    int32_t Height() override { return m_h; }
    bool Measure(void* font, const char*, int32_t length, RichTextExtent* e) override {
        const LogFontA& f = *static_cast<LogFontA*>(font);
        const int64_t h = std::min<int64_t>(std::llabs(int64_t(f.lfHeight)), 500);
        e->width = static_cast<int32_t>(std::min<int64_t>((h / 2 + (f.lfWeight >= 700)) * length, INT32_MAX));
        e->height = static_cast<int32_t>(h);
        e->ascent = static_cast<int32_t>(h * 4 / 5);
        return true;
    }
    bool ScriptMetrics(void* font, RichScriptMetrics* m) override {
        const LogFontA& f = *static_cast<LogFontA*>(font);
        if (f.lfFaceName[0] == 'S') return false;
        const int32_t h = static_cast<int32_t>(std::min<int64_t>(std::llabs(int64_t(f.lfHeight)), 500));
        m->subscriptSize = h / 2, m->subscriptOffset = h / 4, m->superscriptSize = h / 2, m->superscriptOffset = h / 3;
        return true;
    }
    void* CreateFont(const LogFontA& d) override {
        ++live;
        return new LogFontA(d);
    }
    void DeleteFont(void* font) override {
        --live;
        delete static_cast<LogFontA*>(font);
    }
    void Draw(const char* text, int32_t length, int32_t, int32_t, const CRect& clip, uint32_t, void*) override {
        if (text == nullptr || length < 0 || clip.left > m_w) std::abort();
    }
    void Mark(const CRect&) override {}
    void Scroll(int32_t rows) override {
        if (rows <= 0) std::abort();
    }
    int live = 0;

private:
    int32_t m_w, m_h;
};

void RichText(const uint8_t* data, size_t size) {
    if (size < 4) return;
    const int32_t w = 1 + (data[0] | data[1] << 8) % 1000, h = data[2] % 101;
    const uint8_t flags = data[3];
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    FakeHost host(w, h);
    LogFontA font{};
    font.lfHeight = -(1 + (flags >> 2) % 40);
    font.lfWeight = 400;
    std::strcpy(font.lfFaceName, (flags & 2) ? "SYSTEM" : "ARIAL");
    {
        CRichTextWriter writer(&host, &font, font, 0, (flags & 1) != 0, 0, 0);
        // The text in up to three calls, split at its own bytes.
        size_t at = 0;
        for (int part = 0; part < 3 && at <= text.size(); ++part) {
            const size_t next = part == 2 ? text.size() : std::min(text.size(), at + text.size() / 3);
            const std::string piece = text.substr(at, next - at);
            if (part == 1) writer.WriteLine(piece); else writer.Write(piece);
            if (writer.X() < 0 || writer.X() > w || writer.Y() < 0 || writer.Y() > h) std::abort();
            at = next + 1;
        }
        writer.EmptyLine();
        if (writer.Y() < 0 || writer.Y() > h) std::abort();
    }
}

void Flood(const uint8_t* data, size_t size) {
    if (size < 8) return;
    static const int kDepths[] = {8, 15, 16, 24, 32};
    const int depth = kDepths[data[0] % 5];
    const int32_t w = 1 + data[1] % 40, h = 1 + data[2] % 40;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
    CSurface s;
    if (!holder || !s.Create(w, h, holder)) return;
    // Pixels from the remaining bytes, four colours picked by two bits.
    static const uint32_t kColours[] = {0xFFFFFF, 0x000000, 0x3060C0, 0x3262C4};
    size_t at = 8;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t b = at < size ? data[at++] : 0;
            s.GetImpl()->SetPixel(x, y, kColours[b & 3]);
        }
    std::vector<uint32_t> before;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t c = 0;
            s.PixelAt(x, y, &c);
            before.push_back(c);
        }
    s.SetClipRect(data[3] % 8, 0, w, h);
    CRect box;
    const int answer = s.FloodFill(static_cast<int8_t>(data[4]) % 45, data[5] % 45,
                                   kColours[data[6] & 3] ^ (data[6] & 0xF0), 0, data[7] % 80, data[7] >> 6,
                                   (data[6] & 8) ? 100 : 0, &box);
    s.SetClipRect(0, 0, w, h);  // pixels outside the clip read as nothing
    size_t i = 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x, ++i) {
            uint32_t c = 0;
            s.PixelAt(x, y, &c);
            if (c == before[i]) continue;
            if (answer != 1 || x < box.left || x >= box.right || y < box.top || y >= box.bottom) std::abort();
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterSurfaceClient(), true);
    (void)registered;
    // TW_FUZZ_MODE=text or =flood keeps a run on one mode (the first byte
    // still goes); unset, the byte's parity chooses.
    static const char* forced = std::getenv("TW_FUZZ_MODE");
    if (size == 0) return 0;
    const bool flood = forced ? std::strcmp(forced, "flood") == 0 : (data[0] & 1) != 0;
    if (flood)
        Flood(data + 1, size - 1);
    else
        RichText(data + 1, size - 1);
    return 0;
}
