#include "scriptsys/ini_access.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>

TEST(IniAccess, DefaultsWithoutFileSectionOrKey) {
    CIniAccess ini;
    EXPECT_EQ(ini.GetString("s", "k", "fallback"), "fallback");
    EXPECT_EQ(ini.GetString("s", "k", nullptr), "");
    EXPECT_EQ(ini.GetInt("s", "k", " -17x"), -17);
    EXPECT_EQ(ini.GetInt("s", "k", nullptr), 0);
    ini.SetFile("");
    EXPECT_FALSE(ini.HasFile());
    ini.SetFile("some.ini");
    EXPECT_EQ(ini.GetString("", "k", "d"), "d");
    EXPECT_EQ(ini.GetString("s", nullptr, "d"), "d");
}

TEST(IniAccess, ValuesRoundTripThroughTheFile) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string name = dir.File("settings.ini");
    CIniAccess ini;
    ini.SetFile(name.c_str());

    EXPECT_EQ(ini.GetInt("Game", "Level", nullptr), 0);  // missing file, missing key
    EXPECT_EQ(ini.GetInt("Game", "Level", "42"), 42);
    EXPECT_EQ(ini.GetString("Game", "Name", "none"), "none");

    ASSERT_TRUE(ini.SetValue("Game", "Level", "7"));
    ASSERT_TRUE(ini.SetValue("Game", "Name", "Hero of time"));
    ASSERT_TRUE(ini.SetValue("Other", "Level", "-3"));
    ASSERT_TRUE(ini.SetValue("Game", "Level", "8"));  // replaces
    ASSERT_TRUE(ini.SetValue("Game", "Empty", ""));
    EXPECT_EQ(ini.GetInt("game", "LEVEL", "42"), 8);  // names without regard to case
    EXPECT_EQ(ini.GetString("Game", "Name", nullptr), "Hero of time");
    EXPECT_EQ(ini.GetInt("Other", "Level", nullptr), -3);
    EXPECT_EQ(ini.GetString("Game", "Empty", "d"), "");

    // Nothing is written for an empty key, an empty section or a missing value.
    const int32_t size = GetPathFileSize(name.c_str());
    EXPECT_TRUE(ini.SetValue("Game", "", "x"));
    EXPECT_TRUE(ini.SetValue("", "Key", "x"));
    EXPECT_TRUE(ini.SetValue("Game", "Key", nullptr));
    EXPECT_EQ(GetPathFileSize(name.c_str()), size);
    EXPECT_EQ(ini.GetString("Game", "Key", "absent"), "absent");

    ini.Clear();
    EXPECT_EQ(ini.GetInt("Game", "Level", "5"), 5);  // no file named any more
}

TEST(IniAccess, LongValuesAreCut) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    CIniAccess ini;
    ini.SetFile(dir.File("long.ini").c_str());
    const std::string big(5000, 'v');
    ASSERT_TRUE(ini.SetValue("S", "Text", big.c_str()));
    EXPECT_EQ(ini.GetString("S", "Text", nullptr), big.substr(0, 4095));
    ASSERT_TRUE(ini.SetValue("S", "Number", "123456789012345678901234567890123"));
    // 29 bytes survive; the clamped value of the 29-digit text.
    EXPECT_EQ(ini.GetInt("S", "Number", nullptr), INT32_MAX);
    ASSERT_TRUE(ini.SetValue("S", "Small", "  12abc"));
    EXPECT_EQ(ini.GetInt("S", "Small", nullptr), 12);
}
