#include "runtime/io/file_list.h"

#include "runtime/io/file_finder.h"
#include "runtime/io/os_directory.h"
#include "runtime/io/path_match.h"

void CFileList::AddIncludePatterns(const char* text, char separator) {
    SplitIntoList(&m_include, text, separator ? separator : ',');
}

void CFileList::AddExcludePatterns(const char* text, char separator) {
    SplitIntoList(&m_exclude, text, separator ? separator : ',');
}

void CFileList::RemoveAllPaths() {
    m_results.RemoveAll();
    m_resultsInOrder = true;
}

int CFileList::ScanDirectoryRecursive(const char* folder, uint32_t flags) {
    m_flags = flags;
    return ScanFolder(CRefString(folder ? folder : ""));
}

int CFileList::ScanFolder(const CRefString& folder) {
    CFileFinder finder;
    if (!finder.FindFirst(CRefString::ConcatChars(folder, "*.*").c_str(), kFindNamesAndKinds)) return 1;
    for (bool more = true; more;) {
        more = finder.FindNext();
        if (IsEscapeKeyDown()) return 0;  // the finder closes its search
        if (finder.IsDots()) continue;
        CRefString path = CRefString::ConcatChars(folder, finder.GetFileName());
        if (finder.IsDirectory()) {
            if (FindMatchingPattern(path.c_str(), m_exclude) >= 0) continue;
            path += '\\';
            if (path.GetLength() >= kMaxPathChars) continue;
            if (m_flags & kAddDirectories) AddPath(path);
            if ((m_flags & kRecurse) && !ScanFolder(path)) return 0;
        } else if (m_flags & kAddFiles) {
            if (path.GetLength() >= kMaxPathChars) continue;
            if (FindMatchingPattern(path.c_str(), m_exclude) < 0 && FindMatchingPattern(path.c_str(), m_include) >= 0)
                AddPath(path);
        }
    }
    return 1;
}

void CFileList::AddPath(const CRefString& path) {
    CRefString kept = path;
    if (m_flags & kShortNames) {
        // A folder keeps its own name and its trailing "\\".
        const bool folder = path.GetLength() > 0 && path.GetAt(path.GetLength() - 1) == '\\';
        CRefString name, extension;
        SplitPath(folder ? path.Left(path.GetLength() - 1).c_str() : path.c_str(), nullptr, nullptr, nullptr, &name,
                  &extension);
        kept = CRefString::ConcatCopy(name, extension);
        if (folder) kept += '\\';
    }
    const int count = m_results.GetSize();
    if (m_flags & kSorted) {
        m_results.InsertAt(SortedPlace(kept.c_str()), kept);
        return;
    }
    if (m_results.Add(kept) >= 0 && count > 0 && ComparePaths(m_results.GetAt(count - 1)->c_str(), kept.c_str()) > 0)
        m_resultsInOrder = false;
}

// The index of the first result that compares greater than path, or the count.
int CFileList::SortedPlace(const char* path) const {
    int count = m_results.GetSize();
    if (!m_resultsInOrder) {
        for (int k = 0; k < count; ++k)
            if (ComparePaths(m_results.GetAt(k)->c_str(), path) > 0) return k;
        return count;
    }
    int low = 0;
    while (low < count) {
        const int mid = low + (count - low) / 2;
        if (ComparePaths(m_results.GetAt(mid)->c_str(), path) > 0) {
            count = mid;
        } else {
            low = mid + 1;
        }
    }
    return low;
}
