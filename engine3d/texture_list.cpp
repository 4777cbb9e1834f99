#include "engine3d/texture_list.h"

#include "engine3d/file_search.h"
#include "engine3d/image_source.h"
#include "engine3d/material.h"
#include "engine3d/name_text.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"
#include "runtime/base/sys_utils.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// "%s%c%s" into a path buffer; false when it does not fit.
bool JoinPath(char* out, const char* directory, const char* name) {
    const int n = std::snprintf(out, LTextureList::kPathSize, "%s%c%s", directory, '\\', name);
    return n > 0 && n < LTextureList::kPathSize;
}

void TrimTrailingBackslash(char* path) {
    size_t n = std::strlen(path);
    if (n && path[n - 1] == '\\') path[n - 1] = '\0';
}

// The depth-first search of one tree. `visited` holds the directories
// entered so far, by the name the file search reports once inside.
class TreeSearch {
public:
    TreeSearch(LFileSearch& fs, const char* name) : m_fs(fs), m_name(name) {}

    bool Run(const char* directory, char* out, int32_t depth) {
        if (depth >= LTextureList::kMaxSearchDepth || !m_fs.SetCurrentDir(directory)) return false;
        char here[LTextureList::kPathSize];
        if (m_fs.GetCurrentDir(here, sizeof here)) {
            for (const std::string& seen : m_visited)
                if (NamesEqual(seen.c_str(), here)) return false;
            m_visited.push_back(here);
        }
        if (m_fs.FindInCurrentDir(m_name)) return JoinPath(out, directory, m_name);
        std::vector<std::string> subdirectories;
        m_fs.ListSubdirectories(subdirectories);
        for (const std::string& entry : subdirectories) {
            if (entry.empty() || entry[0] == '.') continue;
            char path[LTextureList::kPathSize];
            if (!JoinPath(path, directory, entry.c_str())) continue;
            if (Run(path, out, depth + 1)) return true;
            m_fs.SetCurrentDir(directory);
        }
        return false;
    }

private:
    LFileSearch& m_fs;
    const char* m_name;
    std::vector<std::string> m_visited;
};

}  // namespace

LTextureList::LTextureList(L3DWorld* world) : m_world(world) {}

LTextureList::~LTextureList() {
    while (LDataNode* node = m_list.GetHead()) {
        LTexture* texture = static_cast<LTexture*>(node->value);
        node->referenceCount = 1;  // the list is going: no reference outlives it
        if (m_list.RemoveNode(node, 1)) delete texture;
    }
}

LFileSearch& LTextureList::Search() { return m_search ? *m_search : GetSystemFileSearch(); }

int32_t LTextureList::AddTexture(LTexture* texture) {
    if (!texture) return kAbsent;
    LDataNode* node = m_list.InsertAt(texture, 0);
    if (!node) return kAbsent;
    node->referenceCount = 1;
    ++m_count;
    return 0;
}

int32_t LTextureList::LocateFile(const char* name, char* out) {
    if (!name || !out) return 0;
    if (m_userLoad) {
        const int n = std::snprintf(out, kPathSize, "%s%s", m_searchDirectory, name);
        return n >= 0 && n < kPathSize ? 1 : 0;
    }
    if (!*name) return 0;
    const char* bare = name;
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/') bare = p + 1;
    if (!*bare) return 0;
    LFileSearch& fs = Search();
    char current[kPathSize];
    if (!fs.GetCurrentDir(current, sizeof current)) return 0;
    TrimTrailingBackslash(current);
    char searchRoot[256];
    CopyBounded(searchRoot, sizeof searchRoot, m_searchDirectory);
    TrimTrailingBackslash(searchRoot);
    int32_t found = 0;
    if (*searchRoot) found = TreeSearch(fs, bare).Run(searchRoot, out, 0) ? 1 : 0;
    if (!found) found = TreeSearch(fs, bare).Run(current, out, 0) ? 1 : 0;
    fs.SetCurrentDir(current);
    return found;
}

LTexture* LTextureList::LoadTexture(const char* textureName, const char* fileName) {
    char path[kPathSize];
    if (!m_world || !LocateFile(fileName, path)) return nullptr;
    LTexture* texture = m_world->CreateTexture(textureName, nullptr);
    if (!texture) return nullptr;
    if (!LoadTextureImage(texture, path) || AddTexture(texture) != 0) {
        m_world->DeleteTexture(texture);
        return nullptr;
    }
    return texture;
}

int32_t LTextureList::LoadTextureImage(LTexture* texture, const char* path) {
    if (!texture) return 0;
    texture->SetFileName(path);
    int32_t ok = 0;
    if (m_userLoad) {
        ok = m_userLoad(texture, path, m_userArgument) ? 1 : 0;
    } else if (texture->updateCallback) {
        ok = texture->updateCallback(texture) ? 1 : 0;
    } else if (LImageSource* image = m_world ? m_world->GetImageFile() : nullptr) {
        if (path && image->Open(path)) {
            const int32_t w = image->GetWidth(), h = image->GetHeight();
            const int32_t depth = texture->CheckColourDepth();
            const int64_t pitch = TexturePitch(w, depth);
            const PaletteEntry* palette = image->GetPalette();
            if (depth == 8 && m_world->GetPalette()) palette = m_world->GetPalette()->entries;
            uint8_t* pixels = nullptr;
            uint8_t* mask = nullptr;
            const bool fits = w > 0 && h > 0 && BytesPerPixel(depth) && pitch > 0 &&
                              pitch * h <= LTexture::kMaxBufferBytes && int64_t(w) * h <= LTexture::kMaxBufferBytes;
            if (fits && AllocRetry(size_t(pitch * h), &pixels) &&
                (!image->HasMask() || AllocRetry(size_t(w) * size_t(h), &mask))) {
                if (mask) std::memset(mask, 255, size_t(w) * size_t(h));
                if (image->Read(depth, pixels, int32_t(pitch), palette, mask)) {
                    ok = texture->SetPixels(pixels, int32_t(pitch), mask, w, w, h, 1, depth, palette) == 0 ? 1 : 0;
                    pixels = mask = nullptr;
                }
            }
            FreeAndNull(&pixels);
            FreeAndNull(&mask);
            image->Close();
        }
    }
    texture->ReleaseDevice();
    if (m_world) m_world->GetMaterialList().TextureChanged(texture);
    return ok && texture->GetPixels() ? 1 : 0;
}

int32_t LTextureList::RemoveAndDestroy(LDataNode* node) {
    LTexture* texture = static_cast<LTexture*>(node->value);
    if (m_list.RemoveNode(node, 0)) {
        --m_count;
        if (m_world)
            m_world->DeleteTexture(texture);
        else
            delete texture;
    }
    return 0;
}

int32_t LTextureList::DeleteTexture(LTexture* texture) {
    LDataNode* node = texture ? m_list.FindNode(texture) : nullptr;
    return node ? RemoveAndDestroy(node) : kAbsent;
}

int32_t LTextureList::DeleteTextureAt(int32_t position) {
    if (position != -1) {
        LDataNode* node = m_list.GetNodeAt(position);
        return node ? RemoveAndDestroy(node) : kAbsent;
    }
    for (LDataNode* node = m_list.GetHead(); node;) {
        LDataNode* next = node->next;
        RemoveAndDestroy(node);
        node = next;
    }
    return 0;
}

LTexture* LTextureList::FindByName(const char* name) const {
    for (LDataNode* node = m_list.GetHead(); node; node = node->next) {
        LTexture* texture = static_cast<LTexture*>(node->value);
        if (NamesEqual(texture->GetNameText(), name)) return texture;
    }
    return nullptr;
}

LTexture* LTextureList::FindNextByName(const LTexture* texture, const char* name) const {
    LDataNode* node = m_list.FindNode(texture);
    for (node = node ? node->next : nullptr; node; node = node->next) {
        LTexture* next = static_cast<LTexture*>(node->value);
        if (NamesEqual(next->GetNameText(), name)) return next;
    }
    return nullptr;
}

int32_t LTextureList::SetSearchPath(const char* directory) {
    CopyBounded(m_searchDirectory, sizeof m_searchDirectory, directory);
    return int32_t(std::strlen(m_searchDirectory)) + 1;
}

void LTextureList::ReleaseAll() {
    for (LDataNode* node = m_list.GetHead(); node; node = node->next) static_cast<LTexture*>(node->value)->ReleaseDevice();
}

void LTextureList::ReloadAll() {
    for (LDataNode* node = m_list.GetHead(); node; node = node->next) static_cast<LTexture*>(node->value)->Reload();
}
