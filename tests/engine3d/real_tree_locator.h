#pragma once
// The locator table of the fake tree, on a real tree made in a scratch
// folder and searched through the platform's file search.
#include "engine3d/file_search.h"
#include "engine3d/texture_list.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline void RunRealTreeLocatorTable() {
    TestFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string root = folder.Path();
    // Made parent first; removed in reverse (files, then directories).
    const std::vector<std::string> dirs = {"s", "s\\deep", "c", "c\\.hidden", "c\\sub", "c\\a", "c\\b"};
    const std::vector<std::string> files = {"s\\deep\\both.bmp", "c\\both.bmp",      "c\\only.bmp",
                                            "c\\.hidden\\secret.bmp", "c\\sub\\order.bmp", "c\\order.bmp",
                                            "c\\a\\nested.bmp"};
    std::vector<std::string> removeOrder(files.rbegin(), files.rend());
    removeOrder.insert(removeOrder.end(), dirs.rbegin(), dirs.rend());
    for (const std::string& d : dirs) ASSERT_EQ(CreateDirectoryPath((root + "\\" + d).c_str()), 0) << d;
    for (const std::string& f : files) ASSERT_TRUE(WriteWholeFile(root + "\\" + f, {1, 2, 3})) << f;
    for (const std::string& r : removeOrder) folder.File(r);

    LFileSearch& fs = GetSystemFileSearch();
    char before[260];
    ASSERT_EQ(fs.GetCurrentDir(before, sizeof before), 1);
    ASSERT_EQ(fs.SetCurrentDir((root + "\\c").c_str()), 1);
    char current[260];
    ASSERT_EQ(fs.GetCurrentDir(current, sizeof current), 1);
    const std::string c = current, s = root + "\\s";
    struct Case {
        const char* name;
        int32_t found;
        std::string path;
    };
    const Case cases[] = {
        {"both.bmp", 1, s + "\\deep\\both.bmp"},  {"only.bmp", 1, c + "\\only.bmp"},
        {"x\\y\\only.bmp", 1, c + "\\only.bmp"},  {"secret.bmp", 0, ""},
        {"order.bmp", 1, c + "\\order.bmp"},      {"nested.bmp", 1, c + "\\a\\nested.bmp"},
        {"missing.bmp", 0, ""},
    };
    LTextureList list;
    list.SetSearchPath((s + "\\").c_str());
    for (const Case& k : cases) {
        char out[260] = "";
        EXPECT_EQ(list.LocateFile(k.name, out), k.found) << k.name;
        if (k.found) {
            EXPECT_EQ(std::string(out), k.path) << k.name;
        }
        char after[260];
        fs.GetCurrentDir(after, sizeof after);
        EXPECT_EQ(std::string(after), c) << k.name;
    }
    fs.SetCurrentDir(before);
}
