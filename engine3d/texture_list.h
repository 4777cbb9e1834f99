#pragma once
// LTextureList: a world's textures. It loads textures from image files found
// by LocateFile, finds them by name, releases or reloads their device data on
// a display change and deletes them. Each listed texture's node holds one
// reference of the list's own; a sprite or material showing the texture adds
// one, and DeleteTexture then only takes one off.
//
// LocateFile finds an image file by a depth-first search of a directory tree:
// the search directory's tree first, then the current directory's; in each
// directory its own files before its subdirectories; directories whose names
// begin with '.' never entered. Paths are built with '\\'. A path that does
// not fit in 260 characters is not found; the search goes at most
// kMaxSearchDepth levels deep and never enters a directory twice (a link to
// an ancestor cannot make it loop).
#include "engine3d/data_link.h"

#include <cstdint>

class L3DWorld;
class LTexture;
class LFileSearch;

class LTextureList {
public:
    enum : int32_t { kAbsent = 15, kPathSize = 260, kMaxSearchDepth = 32 };
    // Loads every texture instead of the image files while set.
    using UserLoadCallback = int32_t (*)(LTexture* texture, const char* path, void* argument);

    explicit LTextureList(L3DWorld* world = nullptr);
    ~LTextureList();
    LTextureList(const LTextureList&) = delete;
    LTextureList& operator=(const LTextureList&) = delete;

    int32_t AddTexture(LTexture* texture);
    // 1 found (out holds the path), 0 not.
    int32_t LocateFile(const char* name, char* out);
    LTexture* LoadTexture(const char* textureName, const char* fileName);
    // 1 when the texture holds pixels afterwards (filled by the user load
    // callback, the texture's own loader or the image file), else 0.
    int32_t LoadTextureImage(LTexture* texture, const char* path);
    int32_t DeleteTexture(LTexture* texture);
    int32_t DeleteTextureAt(int32_t position);
    LTexture* FindByName(const char* name) const;
    LTexture* FindNextByName(const LTexture* texture, const char* name) const;
    int32_t SetSearchPath(const char* directory);
    const char* GetSearchPath() const { return m_searchDirectory; }
    void ReleaseAll();
    void ReloadAll();

    void SetUserLoadCallback(UserLoadCallback callback, void* argument) {
        m_userLoad = callback;
        m_userArgument = argument;
    }
    UserLoadCallback GetUserLoadCallback() const { return m_userLoad; }
    void* GetUserLoadArgument() const { return m_userArgument; }
    // The file search used by LocateFile (the system's unless set; tests).
    void SetFileSearch(LFileSearch* search) { m_search = search; }
    void SetWorld(L3DWorld* world) { m_world = world; }

    int32_t GetCount() const { return m_count; }
    LDataLink& GetList() { return m_list; }
    LDataNode* FindNode(const LTexture* texture) const { return m_list.FindNode(texture); }

private:
    int32_t RemoveAndDestroy(LDataNode* node);
    LFileSearch& Search();

    LDataLink m_list;
    int32_t m_count = 0;
    char m_searchDirectory[256] = {};
    UserLoadCallback m_userLoad = nullptr;
    void* m_userArgument = nullptr;
    L3DWorld* m_world;
    LFileSearch* m_search = nullptr;
};
