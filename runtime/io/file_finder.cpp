#include "runtime/io/file_finder.h"

#include "runtime/io/path_match.h"

#include <cstring>

bool CFileFinder::FindFirst(const char* pattern, FindDetail detail) {
    if (m_handle != kNoFindHandle) return false;
    char full[kMaxPathChars];
    if (GetFullPathOf(pattern ? pattern : "*.*", full, sizeof full) == 0) return false;
    CRefString name, extension;
    if (!SplitPath(full, &m_drive, &m_directory, nullptr, &name, &extension)) return false;
    if (name.IsEmpty() && extension.IsEmpty()) {
        name = "*";
        extension = ".*";
    }
    CRefString rebuilt = CRefString::ConcatCopy(m_drive, m_directory);
    rebuilt += name;
    rebuilt += extension;
    if (rebuilt.GetLength() >= kMaxPathChars) return false;
    m_handle = FindFirstEntry(rebuilt.c_str(), &m_pending, detail);
    m_hasPending = m_handle != kNoFindHandle;
    return m_hasPending;
}

bool CFileFinder::FindNext() {
    if (m_handle == kNoFindHandle || !m_hasPending) return false;
    m_current = m_pending;
    m_hasPending = FindNextEntry(m_handle, &m_pending);
    return m_hasPending;
}

void CFileFinder::Close() {
    if (m_handle != kNoFindHandle) FindCloseEntry(m_handle);
    m_handle = kNoFindHandle;
    m_hasPending = false;
}

CRefString CFileFinder::GetFilePath() const {
    if (m_handle == kNoFindHandle) return CRefString();
    CRefString path = CRefString::ConcatCopy(m_drive, m_directory);
    path += m_current.name;
    return path;
}

bool CFileFinder::IsDots() const {
    return std::strcmp(m_current.name, ".") == 0 || std::strcmp(m_current.name, "..") == 0;
}
