#include <windows.h>
#include <shlobj.h>

#include "runtime/win32/folder_browser.h"

#include <cstring>

#include "runtime/base/os_strings.h"

namespace {

const unsigned kChooseDirectoryString = 43470;
const int kMaxCaption = 300;

bool IsExistingFolder(const char* path) {
    if (!path[0]) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CFolderBrowser::CFolderBrowser(const char* initialFolder, HWND owner) : m_owner(owner) {
    m_folder[0] = '\0';
    if (initialFolder) {
        std::strncpy(m_folder, initialFolder, MAX_PATH - 1);
        m_folder[MAX_PATH - 1] = '\0';
    }
    // "C:\" keeps its backslash: "C:" alone names the drive's current folder.
    std::size_t len = std::strlen(m_folder);
    while (len > 1 && m_folder[len - 1] == '\\' && !(len == 3 && m_folder[1] == ':')) m_folder[--len] = '\0';
    m_comStarted = SUCCEEDED(CoInitialize(nullptr));
}

CFolderBrowser::~CFolderBrowser() {
    if (m_comStarted) CoUninitialize();
}

int CALLBACK CFolderBrowser::BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
    CFolderBrowser* self = reinterpret_cast<CFolderBrowser*>(data);
    if (message == BFFM_INITIALIZED) {
        bool usable = self && IsExistingFolder(self->m_folder);
        if (usable) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->m_folder));
        SendMessageA(dialog, BFFM_ENABLEOK, 0, usable ? 1 : 0);
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        path[0] = '\0';
        bool hasPath = param && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(param), path) && path[0];
        SendMessageA(dialog, BFFM_ENABLEOK, 0, hasPath ? 1 : 0);
    }
    return 0;
}

int CFolderBrowser::Browse(const char* caption) {
    char title[kMaxCaption + 1];
    title[0] = '\0';
    if (caption) {
        std::strncpy(title, caption, kMaxCaption);
        title[kMaxCaption] = '\0';
    } else if (OsLoadString(kChooseDirectoryString, title, sizeof title) == 0) {
        std::strcpy(title, "Choose directory");
    }

    IMalloc* shellAllocator = nullptr;
    if (FAILED(SHGetMalloc(&shellAllocator)) || !shellAllocator) return 2;

    // The picker writes the chosen item's display name here; the start folder
    // is only replaced by a real path below.
    char displayName[MAX_PATH];
    displayName[0] = '\0';
    BROWSEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.hwndOwner = m_owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    int result = 2;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen) {
        char path[MAX_PATH];
        if (SHGetPathFromIDListA(chosen, path) && path[0]) {
            std::strcpy(m_folder, path);
            result = 1;
        }
        shellAllocator->Free(chosen);
    }
    shellAllocator->Release();
    return result;
}
