#pragma once
// CFileList: the paths found by a recursive scan of a folder, filtered by
// include and exclude wildcard lists (MatchPattern), optionally kept sorted
// (ComparePaths). Holding Escape aborts a scan.
#include "runtime/base/ref_string_array.h"

#include <cstdint>

class CFileList {
public:
    enum : uint32_t {
        kRecurse = 0x1,       // scan subfolders
        kSorted = 0x2,        // insert each result before the first that compares greater
        kShortNames = 0x4,    // store name and extension only
        kAddDirectories = 0x8,
        kAddFiles = 0x10,
    };

    // Split text at separator (0 means ",") and append each piece of 1 to
    // 259 characters to the include or the exclude list.
    void AddIncludePatterns(const char* text, char separator = 0);
    void AddExcludePatterns(const char* text, char separator = 0);

    // Scans folder (empty, or ending with "\\": it is followed by "*.*") with
    // these flags: 1 when complete, 0 when Escape aborted it; what was found
    // before the abort stays. A folder that does not exist is a complete scan
    // that adds nothing. Entries whose path would reach 260 characters are
    // skipped, which also ends a folder link that leads back up.
    int ScanDirectoryRecursive(const char* folder, uint32_t flags);

    int GetCount() const { return m_results.GetSize(); }
    const CRefString* GetPath(int index) const { return m_results.GetAt(index); }
    void RemoveAllPaths();
    const CRefStringArray& GetIncludePatterns() const { return m_include; }
    const CRefStringArray& GetExcludePatterns() const { return m_exclude; }

private:
    int ScanFolder(const CRefString& folder);
    void AddPath(const CRefString& path);
    int SortedPlace(const char* path) const;

    CRefStringArray m_results;
    CRefStringArray m_include;
    CRefStringArray m_exclude;
    uint32_t m_flags = 0;
    // The results are in ComparePaths order, so a sorted insert may search
    // them by halves; an unsorted append that breaks the order clears it.
    bool m_resultsInOrder = true;
};
