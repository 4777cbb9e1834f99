#include "runtime/base/name_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/base/alloc_fault_injection.h"

namespace {

TEST(NameTable, CaseRuleDecidesWhichNamesShareAnId) {
    CNameTable blind(0), exact(1);
    int32_t a = blind.Intern("Name");
    EXPECT_EQ(blind.Intern("NAME"), a);
    EXPECT_EQ(blind.Intern("name"), a);
    EXPECT_STREQ(blind.GetName(a), "Name");  // the first spelling is kept

    int32_t b = exact.Intern("Name");
    EXPECT_NE(exact.Intern("NAME"), b);
    EXPECT_EQ(exact.Intern("Name"), b);

    // '@' and '`' differ only in bit 0x20 and share a bucket, but are not letters.
    int32_t at = blind.Intern("x@");
    EXPECT_NE(blind.Intern("x`"), at);
    EXPECT_STREQ(blind.GetName(at), "x@");
}

TEST(NameTable, IdsEncodeBucketAndIndex) {
    CNameTable table;
    std::set<int32_t> ids;
    for (int i = 0; i < 500; ++i) {  // several growths of every bucket
        std::string name = "v" + std::to_string(i);
        int32_t id = table.Intern(name.c_str());
        ASSERT_GE(id, 0);
        EXPECT_LT(id >> 16, CNameTable::kBucketCount);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        std::string name = "v" + std::to_string(i);
        int32_t id = table.Intern(name.c_str());
        EXPECT_STREQ(table.GetName(id), name.c_str());
    }
    // The bucket is the byte sum with bit 0x20 cleared, modulo 32: "A" is 65.
    EXPECT_EQ(table.Intern("A") >> 16, 65 % 32);
}

TEST(NameTable, HighBytesAndBadIdsStaySafe) {
    CNameTable table;
    const char* names[] = {"\xff\xfe\xfd", "caf\xe9", "\x80", ""};
    for (const char* n : names) {
        int32_t id = table.Intern(n);
        ASSERT_GE(id, 0) << n;
        EXPECT_LT(id >> 16, CNameTable::kBucketCount);
        EXPECT_STREQ(table.GetName(id), n);
        EXPECT_EQ(table.Intern(n), id);
    }
    EXPECT_EQ(table.Intern(nullptr), -1);
    for (int32_t bad : {-1, 0x7FFF0000, (31 << 16) | 999, 0x00200000}) EXPECT_EQ(table.GetName(bad), nullptr) << bad;

    table.Clear();
    EXPECT_EQ(table.GetName(0), nullptr);
    EXPECT_EQ(table.Intern("A"), (65 % 32) << 16);  // indices start again after a clear
}

TEST(NameTable, ManyNamesKeepTheirIdsAndAClearForgetsThem) {
    CNameTable table;
    std::vector<int32_t> ids;
    for (int i = 0; i < 5000; ++i) ids.push_back(table.Intern(("Name" + std::to_string(i)).c_str()));
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(table.Intern(("NAME" + std::to_string(i)).c_str()), ids[i]) << i;
        EXPECT_STREQ(table.GetName(ids[i]), ("Name" + std::to_string(i)).c_str());
    }
    table.Clear();
    // After a clear a known name is new again: the first of its bucket.
    EXPECT_EQ(table.Intern("name4999") & 0xFFFF, 0);
    EXPECT_STREQ(table.GetName(table.Intern("Name4999")), "name4999");
}

TEST(NameTable, FailedMemoryGivesMinusOneAndLeavesTheTableSound) {
    CNameTable table;
    int32_t kept = table.Intern("kept");
    tw::testing::SetAllocFailures(2);  // no memory for the new entry
    EXPECT_EQ(table.Intern("other"), -1);
    tw::testing::SetAllocFailures(0);
    EXPECT_STREQ(table.GetName(kept), "kept");
    int32_t other = table.Intern("other");
    EXPECT_GE(other, 0);
    EXPECT_STREQ(table.GetName(other), "other");
}

}  // namespace
