#pragma once
// CFileFinder: walks the entries of a folder that match a path pattern.
//
//   CFileFinder f;
//   for (bool more = f.FindFirst("C:\\x\\*.txt"); more;) {
//       more = f.FindNext();  // the next entry becomes current
//       ... f.GetFilePath(), f.IsDirectory() ...
//   }
//
// FindFirst fetches the first entry as the pending one; each FindNext makes
// the pending entry current and fetches the next, answering false when there
// is none (the current entry is still valid then).
#include "runtime/io/os_directory.h"
#include "runtime/base/ref_string.h"

class CFileFinder {
public:
    CFileFinder() = default;
    ~CFileFinder() { Close(); }
    CFileFinder(const CFileFinder&) = delete;
    CFileFinder& operator=(const CFileFinder&) = delete;

    // Starts a search; false when one is already open, when the full path of
    // the pattern does not fit in 260 characters, or when nothing matches.
    // No pattern means "*.*"; a folder alone ("C:\\x\\") lists everything in it.
    // With kFindNamesAndKinds the records may lack sizes and times.
    bool FindFirst(const char* pattern = nullptr, FindDetail detail = kFindEverything);
    bool FindNext();
    void Close();

    // Drive, directory and the current entry's name; empty when no search is open.
    CRefString GetFilePath() const;
    const char* GetFileName() const { return m_current.name; }
    const FindRecord& GetRecord() const { return m_current; }
    bool IsDirectory() const { return (m_current.attributes & kFindAttributeDirectory) != 0; }
    bool IsDots() const;

private:
    FindRecord m_pending{};
    FindRecord m_current{};
    FindHandle m_handle = kNoFindHandle;
    CRefString m_drive;
    CRefString m_directory;
    bool m_hasPending = false;
};
