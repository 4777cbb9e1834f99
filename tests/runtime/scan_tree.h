#pragma once
// A small folder tree for scan tests: folders and empty files made under a
// test folder and removed, deepest first, with it. Paths are given relative to
// the root with "\\" and come back full; Relative() turns results back.
#include "tests/support/test_files.h"
#include "runtime/io/file_list.h"

#include <string>
#include <vector>

class ScanTree {
public:
    // Entries ending with "\\" are folders; parents come before their contents.
    explicit ScanTree(const std::vector<std::string>& entries) {
        if (!m_folder.Ok()) return;
        m_ok = true;
        for (const std::string& e : entries) {
            const std::string full = Root() + e;
            bool made = e.back() == '\\' ? CreateDirectoryPath(full.substr(0, full.size() - 1).c_str()) == 0
                                         : WriteWholeFile(full, {});
            m_ok = m_ok && made;
            if (made) m_made.push_back(e.back() == '\\' ? full.substr(0, full.size() - 1) : full);
        }
    }
    ~ScanTree() {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) DeletePathFile(it->c_str());
    }
    bool Ok() const { return m_ok; }
    // The folder with its trailing "\\", as a scan takes it.
    std::string Root() const { return m_folder.Path() + "\\"; }
    // Something made by other means (a link) that goes with the tree.
    void Adopt(const std::string& relative) { m_made.push_back(Root() + relative); }

    // The list's paths without the root in front (those outside it as they are).
    std::vector<std::string> Relative(const CFileList& list) const {
        std::vector<std::string> v;
        const std::string root = Root();
        for (int k = 0; k < list.GetCount(); ++k) {
            std::string p = list.GetPath(k)->c_str();
            v.push_back(p.compare(0, root.size(), root) == 0 ? p.substr(root.size()) : p);
        }
        return v;
    }

private:
    TestFolder m_folder;
    std::vector<std::string> m_made;
    bool m_ok = false;
};
