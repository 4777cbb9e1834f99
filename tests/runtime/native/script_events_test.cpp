// Language tests of script events (tests/lang/events/*.src), run with the
// test-only event poster bound to the Timer class. A program passes when it
// runs to its end, or, when its first line reads "// expect: <text>", when it
// stops with exactly that error text.
#include "tests/support/script_event_poster.h"

#include <gtest/gtest.h>
#include <dirent.h>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string EventsFolder() {
    return TW_LANG_EVENTS_DIR;
}

std::vector<std::string> Programs() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(EventsFolder().c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".src") == 0)
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ScriptEvents : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptEvents, RunsAsExpected) {
    const std::string& name = GetParam();
    std::ifstream in(EventsFolder() + "/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    const std::string marker = "// expect: ";
    std::string expected;
    if (source.compare(0, marker.size(), marker) == 0)
        expected = name + ": " + source.substr(marker.size(), source.find('\n') - marker.size());
    CInterpretor interpretor;
    EXPECT_EQ(RunScriptText(interpretor, name.c_str(), source), expected);
}

INSTANTIATE_TEST_SUITE_P(Lang, ScriptEvents, ::testing::ValuesIn(Programs()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string id = info.param.substr(0, info.param.size() - 4);
                             std::replace(id.begin(), id.end(), '.', '_');
                             return id;
                         });

TEST(ScriptEvents, FolderHasPrograms) {
    EXPECT_GE(Programs().size(), 5u);
}

}  // namespace
