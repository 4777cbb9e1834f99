#include "runtime/base/command_tokens.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Tokens(const char* text) {
    std::vector<std::string> out;
    int n = CountTokens(text);
    for (int i = 0; i < n; ++i) {
        char buf[64];
        EXPECT_EQ(GetQuotedToken(buf, sizeof buf, text, i), i);
        out.push_back(buf);
    }
    return out;
}

TEST(CommandTokens, SplitsOnBlanksAndQuotes) {
    struct Case { const char* text; std::vector<std::string> tokens; };
    const std::vector<Case> cases = {
        {"\"a b\" c", {"a b", "c"}},
        {"  one\ttwo   three ", {"one", "two", "three"}},
        {"'it is' \"x'y\" 'q\"r'", {"it is", "x'y", "q\"r"}},
        {"\"\" next", {"", "next"}},
        {"\"unclosed rest", {"unclosed rest"}},
        {"\"a\"b", {"a", "b"}},
        {"first\nsecond", {"first"}},
        {"a\x01 b", {"a"}},
        {"\xe9t\xe9 caf\xe9", {"\xe9t\xe9", "caf\xe9"}},
        {"", {}},
        {" \t ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << "for [" << c.text << "]";
    EXPECT_EQ(CountTokens(nullptr), 0);
}

TEST(CommandTokens, CopyNeverWritesPastTheGivenSize) {
    const char* text = "abcdefgh second";
    for (int size : {1, 2, 4, 8, 9}) {
        char buf[16];
        std::memset(buf, '#', sizeof buf);
        GetQuotedToken(buf, size, text, 0);
        EXPECT_EQ(std::string(buf), std::string("abcdefgh").substr(0, size - 1)) << size;
        for (int i = size; i < 16; ++i) ASSERT_EQ(buf[i], '#') << "size " << size << " byte " << i;
    }
    char untouched = '#';
    GetQuotedToken(&untouched, 0, text, 0);
    EXPECT_EQ(untouched, '#');

    char buf[8] = "stale";
    EXPECT_EQ(GetQuotedToken(buf, sizeof buf, text, 5), 5);
    EXPECT_STREQ(buf, "");  // no such token
}

}  // namespace
