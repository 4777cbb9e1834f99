#pragma once
// A world over a test driver that makes plain textures and sprites and a
// render target that records drawn sprites; an in-memory directory tree for
// the locator; an in-memory image source.
#include "engine3d/file_search.h"
#include "engine3d/image_source.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class TestDriver : public LDriverLink {
public:
    L3DPoint* CreatePoint(float, float, float, float, float) override { return nullptr; }
    LPolygon* CreatePolygon(LPolygonOwner*, int32_t, void*) override { return nullptr; }
    void DeletePoint(L3DPoint*) override {}
    void DeletePolygon(LPolygon*) override {}
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* cb) override {
        return new LTexture(world, name, cb);
    }
    LSprite* CreateSprite(L3DWorld* world) override { return failSprites ? nullptr : new LSprite(world); }
    void DeleteTexture(LTexture* t) override {
        ++texturesDeleted;
        delete t;
    }
    void DeleteSprite(LSprite* s) override {
        ++spritesDeleted;
        delete s;
    }
    bool failSprites = false;
    int texturesDeleted = 0, spritesDeleted = 0;
};

// A driver that makes and frees real vertices and polygons.
class GeometryDriver : public TestDriver {
public:
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override {
        return new L3DPoint(x, y, z, u, v);
    }
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* cb) override {
        return new LPolygon(owner, reserved, cb);
    }
    void DeletePoint(L3DPoint* p) override { delete p; }
    void DeletePolygon(LPolygon* p) override {
        ++polygonsDeleted;
        delete p;
    }
    int polygonsDeleted = 0;
};

class TestTarget : public LRenderTargetLink {
public:
    explicit TestTarget(LDriverLink* d) : driver(d) {}
    LDriverLink* GetDriverLink() const override { return driver; }
    void DrawSprite(L3DCamera*, LSprite* s) override { drawn.push_back(s); }
    LDriverLink* driver;
    std::vector<LSprite*> drawn;
};

struct TestWorld {
    TestDriver driver;
    TestTarget target{&driver};
    L3DWorld world{&target};
};

// Directories are absolute paths with '\\'; a link maps a path to another.
class FakeTree : public LFileSearch {
public:
    void AddFile(const std::string& path) {
        const size_t cut = path.rfind('\\');
        AddDir(path.substr(0, cut));
        files[path.substr(0, cut)].push_back(path.substr(cut + 1));
    }
    void AddDir(const std::string& path) {
        if (dirs.count(path)) return;
        dirs.insert(path);
        const size_t cut = path.rfind('\\');
        if (cut != std::string::npos && cut > 0) {
            AddDir(path.substr(0, cut));
            subdirs[path.substr(0, cut)].push_back(path.substr(cut + 1));
        }
    }
    std::string Resolve(std::string p) const {
        auto l = links.find(p);
        return l == links.end() ? p : l->second;
    }
    int32_t GetCurrentDir(char* out, size_t size) override {
        if (cwd.size() + 1 > size) return 0;
        std::copy(cwd.begin(), cwd.end(), out);
        out[cwd.size()] = '\0';
        return 1;
    }
    int32_t SetCurrentDir(const char* path) override {
        ++enters;
        std::string p = Resolve(path);
        if (!dirs.count(p)) return 0;
        cwd = p;
        return 1;
    }
    int32_t FindInCurrentDir(const char* name) override {
        for (const std::string& f : files[cwd])
            if (f == name) return 1;
        return 0;
    }
    void ListSubdirectories(std::vector<std::string>& out) override {
        out = {".", ".."};
        for (const std::string& d : subdirs[cwd]) out.push_back(d);
    }
    int32_t CopyFile(const char* from, const char* to, int32_t) override {
        copies.push_back(std::string(from) + ">" + to);
        return 1;
    }
    std::string cwd = "C:";
    std::set<std::string> dirs{"C:"};
    std::map<std::string, std::vector<std::string>> files, subdirs;
    std::map<std::string, std::string> links;
    std::vector<std::string> copies;
    int enters = 0;
};

// Images by path: width, height and 0x00BBGGRR texels (row-major); 24-bit
// and 32-bit reads only, plus 8-bit as the low byte.
struct FakeImage {
    int32_t w, h;
    std::vector<uint32_t> texels;
    std::vector<uint8_t> alpha;
};
class FakeImageSource : public LImageSource {
public:
    static std::map<std::string, FakeImage>& Images() {
        static std::map<std::string, FakeImage> images;
        return images;
    }
    static LImageSource* Make() { return new FakeImageSource; }
    int32_t Open(const char* path) override {
        auto it = Images().find(path);
        m_image = it == Images().end() ? nullptr : &it->second;
        return m_image ? 1 : 0;
    }
    int32_t GetWidth() const override { return m_image->w; }
    int32_t GetHeight() const override { return m_image->h; }
    int32_t GetBitsPerPixel() const override { return 24; }
    const PaletteEntry* GetPalette() const override { return nullptr; }
    int32_t HasMask() const override { return m_image->alpha.empty() ? 0 : 1; }
    int32_t Read(int32_t depth, uint8_t* pixels, int32_t pitch, const PaletteEntry*, uint8_t* mask) override {
        const int32_t bytes = BytesPerPixel(depth);
        for (int32_t y = 0; y < m_image->h; ++y)
            for (int32_t x = 0; x < m_image->w; ++x) {
                const uint32_t c = m_image->texels[size_t(y * m_image->w + x)];
                uint8_t* p = pixels + y * pitch + x * bytes;
                if (bytes == 1) p[0] = uint8_t(c);
                if (bytes >= 3) p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c);
                if (mask && !m_image->alpha.empty()) mask[y * m_image->w + x] = m_image->alpha[size_t(y * m_image->w + x)];
            }
        return 1;
    }
    void Close() override { m_image = nullptr; }

private:
    const FakeImage* m_image = nullptr;
};
