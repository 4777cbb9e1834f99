// Drawing against outside references: flood fill against ImageMagick's
// "color x,y floodfill", gradient bands and the entity table against python3
// (its own computation of the band formula, html.entities and the cp1252
// codec).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "graphics2d/fill_style.h"
#include "graphics2d/memory_surface.h"
#include "graphics2d/rich_text.h"
#include "graphics2d/surface_registry.h"

namespace {

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (pclose(pipe) != 0) out = "FAILED:" + out;
    return out;
}

class DrawingReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSurfaceClient();
        dir_ = ::testing::TempDir() + "tw_drawing_reference_" + std::to_string(::getpid());
        if (std::system(("mkdir -p '" + dir_ + "'").c_str()) != 0) GTEST_SKIP() << "no temporary folder";
    }
    void TearDown() override {
        std::system(("rm -rf '" + dir_ + "'").c_str());
        UnregisterSurfaceClient();
    }
    std::string dir_;
};

// ---- flood fill ----

uint32_t At(CSurface* s, int32_t x, int32_t y) {
    uint32_t c = 0;
    s->PixelAt(x, y, &c);
    return c & 0xFFFFFF;
}

// The region of the seed's colour, 4- or 8-connected.
std::set<int32_t> Region(CSurface* s, int32_t x, int32_t y, bool diagonal) {
    const int32_t w = s->GetWidth(), h = s->GetHeight();
    const uint32_t c = At(s, x, y);
    std::set<int32_t> seen{y * w + x};
    std::vector<int32_t> todo{y * w + x};
    while (!todo.empty()) {
        const int32_t p = todo.back();
        todo.pop_back();
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || (!diagonal && dx != 0 && dy != 0)) continue;
                const int32_t nx = p % w + dx, ny = p / w + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || At(s, nx, ny) != c) continue;
                if (seen.insert(ny * w + nx).second) todo.push_back(ny * w + nx);
            }
    }
    return seen;
}

bool WritePpm(CSurface* s, const std::string& name) {
    std::ofstream out(name, std::ios::binary);
    out << "P6\n" << s->GetWidth() << " " << s->GetHeight() << "\n255\n";
    for (int32_t y = 0; y < s->GetHeight(); ++y)
        for (int32_t x = 0; x < s->GetWidth(); ++x) {
            const uint32_t c = At(s, x, y);
            const char rgb[3] = {char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF)};
            out.write(rgb, 3);
        }
    return static_cast<bool>(out);
}

std::vector<uint32_t> ReadPpm(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    std::vector<uint32_t> colours;
    if (!(file >> magic >> w >> h >> maxval) || magic != "P6" || maxval != 255) return colours;
    file.get();
    for (int i = 0; i < w * h; ++i) {
        unsigned char rgb[3];
        if (!file.read(reinterpret_cast<char*>(rgb), 3)) return {};
        colours.push_back(rgb[0] | rgb[1] << 8 | rgb[2] << 16);
    }
    return colours;
}

std::vector<uint32_t> Colours(CSurface* s) {
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < s->GetHeight(); ++y)
        for (int32_t x = 0; x < s->GetWidth(); ++x) colours.push_back(At(s, x, y));
    return colours;
}

TEST_F(DrawingReferenceTest, FloodFillEqualsImageMagickWithoutDiagonalLeaks) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick missing";
    const uint32_t palette[3] = {0xFFFFFF, 0x000000, 0x00C000};
    int compared = 0;
    for (int depth : {8, 16, 32}) {
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            // Blocks of 3 x 3 pixels in three colours.
            const CSurface* holder = nullptr;
            SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
            CSurface s;
            ASSERT_TRUE(s.Create(36, 27, holder));
            std::mt19937 rng(seed * 31 + depth);
            for (int32_t by = 0; by < 9; ++by)
                for (int32_t bx = 0; bx < 12; ++bx) s.FillRect(bx * 3, by * 3, 3, 3, palette[rng() % 3]);
            // A seed whose region has no diagonal leak.
            int32_t sx = -1, sy = -1;
            for (int32_t tries = 0; tries < 200 && sx < 0; ++tries) {
                const int32_t x = static_cast<int32_t>(rng() % 36), y = static_cast<int32_t>(rng() % 27);
                const auto region = Region(&s, x, y, false);
                if (region.size() > 9 && region == Region(&s, x, y, true)) sx = x, sy = y;
            }
            if (sx < 0) continue;
            SCOPED_TRACE(std::to_string(depth) + " bits, seed " + std::to_string(sx) + "," + std::to_string(sy));
            const std::string in = dir_ + "/in.ppm", out = dir_ + "/out.ppm";
            ASSERT_TRUE(WritePpm(&s, in));
            CRect box;
            ASSERT_EQ(s.FloodFill(sx, sy, 0xF80000, 0, 0, 0, 0, &box), 1);
            const uint32_t fill = At(&s, sx, sy);
            char colour[32];
            std::snprintf(colour, sizeof colour, "#%02X%02X%02X", fill & 0xFF, (fill >> 8) & 0xFF, (fill >> 16) & 0xFF);
            const std::string command = "convert '" + in + "' -fuzz 0 -fill '" + colour + "' -draw 'color " +
                                        std::to_string(sx) + "," + std::to_string(sy) + " floodfill' -depth 8 'ppm:" +
                                        out + "'";
            ASSERT_EQ(std::system(command.c_str()), 0);
            EXPECT_EQ(Colours(&s), ReadPpm(out));
            // The box encloses every changed pixel.
            for (int32_t i : Region(&s, sx, sy, false))
                EXPECT_TRUE(i % 36 >= box.left && i % 36 < box.right && i / 36 >= box.top && i / 36 < box.bottom);
            ++compared;
        }
    }
    EXPECT_GE(compared, 10);
}

// ---- gradient bands ----

// The band formula computed by python3 on its own: per band "from to colour".
const char kBandScript[] = R"PY(
import math, sys
def bands(first, second, size, origin, avoid):
    a = [(first >> s) & 255 for s in (0, 8, 16)]
    b = [(second >> s) & 255 for s in (0, 8, 16)]
    n = int(max(1, max(abs(b[i] - a[i]) for i in range(3))))
    inc = [(b[i] - a[i]) / n for i in range(3)]
    def colour(step):
        ch = [int(min(255.0, max(0.0, a[i] + inc[i] * step))) for i in range(3)]
        c = ch[0] | ch[1] << 8 | ch[2] << 16
        if avoid and all(v < 8 for v in ch):
            r, g, bl = ch
            if bl > r and bl > g: c = (c & 0x00FFFF) | 8 << 16
            elif g > r and g > bl: c = (c & 0xFF00FF) | 8 << 8
            else: c = (c & 0xFFFF00) | 8
        return c
    if size <= 0: return []
    bs = size / n
    e = bs - math.fmod(origin, bs)
    step = int(origin / bs)
    out = []
    if int(min(e, size)) > 0: out.append((0, int(min(e, size)), colour(step)))
    for i in range(int((size - e) / bs)):
        step += 1
        lo, hi = int(i * bs + e), int((i + 1) * bs + e)
        if lo != hi: out.append((lo, hi, colour(step)))
    if not out: out.append((0, size, colour(step)))
    elif out[-1][1] < size: out.append((out[-1][1], size, out[-1][2]))
    return out
# A window [lo, hi) of the bands, pixel by pixel: before 0 the colour at 0,
# from size on the last colour; printed as runs of one colour from lo.
def window(f, s, size, origin, avoid, lo, hi):
    whole = bands(f, s, size, origin, avoid)
    if not whole or hi <= lo: return []
    at = [None] * size
    for a, b, c in whole:
        for p in range(a, b): at[p] = c
    runs = []
    for p in range(lo, hi):
        c = at[0] if p < 0 else at[-1] if p >= size else at[p]
        if runs and runs[-1][2] == c: runs[-1][1] = p - lo + 1
        else: runs.append([p - lo, p - lo + 1, c])
    return runs
for line in sys.stdin:
    v = [int(x, 0) for x in line.split()]
    out = bands(*v) if len(v) == 5 else window(*v)
    print(" ".join("%d %d %d" % tuple(b) for b in out))
)PY";

TEST_F(DrawingReferenceTest, GradientBandsEqualAnIndependentComputation) {
    struct Case {
        uint32_t first, second;
        int32_t size, origin;
        int avoid;
    };
    std::vector<Case> cases = {{0x0000FF, 0xFF0000, 400, 0, 1},  {0x000000, 0x000003, 4, 0, 1},
                               {0x000000, 0xFFFFFF, 100, -37, 1}, {0x102030, 0x8090F0, 97, -333, 0},
                               {0x0000FF, 0x00FF00, 1000, -512, 1}, {0xFFFFFF, 0xFFFFFF, 50, -3, 1},
                               {0x050505, 0x000000, 33, -20, 1},  {0x0000FF, 0xFF0000, 7, 0, 1}};
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i)
        cases.push_back({static_cast<uint32_t>(rng() & 0xFFFFFF), static_cast<uint32_t>(rng() & 0xFFFFFF), static_cast<int32_t>(rng() % 700),
                         -static_cast<int32_t>(rng() % 800), static_cast<int>(rng() % 2)});
    const std::string script = dir_ + "/bands.py", input = dir_ + "/bands.txt";
    std::ofstream(script) << kBandScript;
    {
        std::ofstream in(input);
        for (const Case& c : cases) in << c.first << " " << c.second << " " << c.size << " " << c.origin << " " << c.avoid << "\n";
    }
    std::istringstream lines(RunCommand("python3 '" + script + "' < '" + input + "'"));
    for (const Case& c : cases) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line));
        std::ostringstream ours;
        const char* space = "";
        for (const GradientBand& b : GradientSurfaceBands(c.first, c.second, c.size, c.origin, c.avoid != 0)) {
            ours << space << b.from << " " << b.to << " " << b.colour;
            space = " ";
        }
        EXPECT_EQ(ours.str(), line) << std::hex << c.first << " " << c.second << std::dec << " size " << c.size
                                    << " origin " << c.origin;
    }
}

// Our bands of a window as runs of one colour, gaps marked: the python
// script prints runs, and neighbouring bands may share a colour.
std::string WindowRuns(const std::vector<GradientBand>& bands) {
    std::ostringstream out;
    int32_t runFrom = 0, at = 0;
    uint32_t colour = 0;
    const char* space = "";
    for (size_t i = 0; i < bands.size(); ++i) {
        if (bands[i].from != at) out << "gap at " << at << " ";
        if (i > 0 && bands[i].colour == colour && bands[i].from == at) {
            at = bands[i].to;
            continue;
        }
        if (i > 0) out << space << runFrom << " " << at << " " << colour, space = " ";
        runFrom = bands[i].from, at = bands[i].to, colour = bands[i].colour;
    }
    if (!bands.empty()) out << space << runFrom << " " << at << " " << colour;
    return out.str();
}

TEST_F(DrawingReferenceTest, GradientWindowsEqualAnIndependentComputation) {
    // Windows of the bands over a whole size: inside it, across its ends and
    // wholly beyond them, at origin 0 (the styled shapes' case) and others.
    struct Case {
        uint32_t first, second;
        int32_t size, origin, from, to;
        int avoid;
    };
    std::vector<Case> cases = {{0x0000FF, 0xFF0000, 400, 0, 10, 130, 1},  {0x0000FF, 0xFF0000, 400, 0, 0, 400, 1},
                               {0x000000, 0xFFFFFF, 97, 0, -20, 30, 1},   {0x000000, 0xFFFFFF, 97, 0, 80, 140, 1},
                               {0x102030, 0x8090F0, 97, -33, 5, 60, 0},   {0x000000, 0x000003, 4, 0, 1, 3, 1},
                               {0x0000FF, 0x00FF00, 1000, 0, 999, 1000, 1}, {0x0000FF, 0x00FF00, 50, 0, 60, 70, 1},
                               {0x0000FF, 0x00FF00, 50, 0, -70, -60, 1},  {0x0000FF, 0x00FF00, 0, 0, 0, 10, 1}};
    std::mt19937 rng(5);
    for (int i = 0; i < 40; ++i) {
        const int32_t size = static_cast<int32_t>(rng() % 700), from = static_cast<int32_t>(rng() % 800) - 50;
        cases.push_back({static_cast<uint32_t>(rng() & 0xFFFFFF), static_cast<uint32_t>(rng() & 0xFFFFFF), size,
                         i % 4 == 0 ? -static_cast<int32_t>(rng() % 300) : 0, from,
                         from + static_cast<int32_t>(rng() % 300), static_cast<int>(rng() % 2)});
    }
    const std::string script = dir_ + "/bands.py", input = dir_ + "/windows.txt";
    std::ofstream(script) << kBandScript;
    {
        std::ofstream in(input);
        for (const Case& c : cases)
            in << c.first << " " << c.second << " " << c.size << " " << c.origin << " " << c.avoid << " " << c.from
               << " " << c.to << "\n";
    }
    std::istringstream lines(RunCommand("python3 '" + script + "' < '" + input + "'"));
    for (const Case& c : cases) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(WindowRuns(GradientSurfaceBands(c.first, c.second, c.size, c.origin, c.from, c.to, c.avoid != 0)),
                  line)
            << std::hex << c.first << " " << c.second << std::dec << " size " << c.size << " origin " << c.origin
            << " window " << c.from << ".." << c.to;
    }
}

// ---- the entity table ----

const char kEntityScript[] = R"PY(
import html.entities, sys
alias = {"brkbar": "brvbar", "die": "uml", "hibar": "macr"}
expected = []
numeric = [9, 10, 13, 32, 34] + [c for c in list(range(33, 127)) + list(range(160, 256)) if c != 34]
named = {}
for name, code in html.entities.name2codepoint.items():
    named.setdefault(code, []).append(name)
listed_names = (
    "&quot; &amp; &lt; &gt; &nbsp; &iexcl; &cent; &pound; &curren; &yen; &brvbar; &brkbar; &sect; &uml; "
    "&die; &copy; &ordf; &laquo; &not &shy; &reg; &macr; &hibar; &deg; &plusmn; &sup2; &sup3; &acute; "
    "&micro; &para; &middot; &cedil; &sup1; &ordm; &raquo; &frac14; &frac12; &frac34; &iquest; &Agrave; "
    "&Aacute; &Acirc; &Atilde; &Auml; &Aring; &AElig; &Ccedil; &Egrave; &Eacute; &Ecirc; &Euml; &Igrave; "
    "&Iacute; &Icirc; &Iuml; &ETH; &Ntilde; &Ograve; &Oacute; &Ocirc; &Otilde; &Ouml; &times; &Oslash; "
    "&Ugrave; &Uacute; &Ucirc; &Uuml; &Yacute; &THORN; &szlig; &agrave; &aacute; &acirc; &atilde; &auml; "
    "&aring; &aelig; &ccedil; &egrave; &eacute; &ecirc; &euml; &igrave; &iacute; &icirc; &iuml; &eth; "
    "&ntilde; &ograve; &oacute; &ocirc; &otilde; &ouml; &divide; &oslash; &ugrave; &uacute; &ucirc; "
    "&uuml; &yacute; &thorn; &yuml; "
).split()
for code in numeric:
    if code == 9: rep = b"\t"
    elif code == 10: rep = b"\x08"
    elif code == 13: rep = b"\x0b"
    elif code == 160: rep = b""
    else: rep = chr(code).encode("cp1252")
    expected.append(("&#%02d;" % code, rep))
    for n in listed_names:
        key = alias.get(n.strip("&;"), n.strip("&;"))
        if html.entities.name2codepoint.get(key) == code:
            expected.append((n, b"" if code == 160 else chr(code).encode("cp1252")))
ours = [tuple(bytes.fromhex(h) for h in line.split()) if " " in line else (bytes.fromhex(line), b"")
        for line in open(sys.argv[1]).read().split("\n") if line]
ours = [(e.decode("ascii"), r) for e, r in ours]
if ours != expected:
    for i, (a, b) in enumerate(zip(ours, expected)):
        if a != b:
            print("entry", i, a, "expected", b)
            break
    print("count", len(ours), len(expected))
    sys.exit(1)
print("ok", len(ours))
)PY";

TEST_F(DrawingReferenceTest, EntityTableEqualsHtmlEntitiesAndCp1252) {
    size_t count = 0;
    const RichTextEntity* table = RichTextEntities(&count);
    const std::string script = dir_ + "/entities.py", dump = dir_ + "/entities.txt";
    std::ofstream(script) << kEntityScript;
    {
        std::ofstream out(dump);
        auto hex = [](const char* s) {
            std::string h;
            char b[3];
            for (; *s; ++s) std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(*s)), h += b;
            return h;
        };
        for (size_t i = 0; i < count; ++i) {
            out << hex(table[i].entity);
            if (*table[i].replacement) out << " " << hex(table[i].replacement);
            out << "\n";
        }
    }
    EXPECT_EQ(RunCommand("python3 '" + script + "' '" + dump + "'"), "ok 297\n");
}

}  // namespace
