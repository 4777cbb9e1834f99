#include "scriptsys/string_bank_text.h"

#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/io_status.h"
#include "runtime/package/package_writer.h"
#include "runtime/package/program_container.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> BankBytes(const CBankWriter& w) {
    CBufferStream out;
    EXPECT_EQ(w.Write(&out, true), kIoOk);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

}  // namespace

TEST(StringBankText, ElementsByNameAndIndex) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    for (bool compress : {false, true}) {
        SCOPED_TRACE(compress);
        PackageProgram p;
        p.title = "Game";
        CBankWriter strings(kBankStrings, "Texts");
        strings.AddData("hello", "", "Hello, world", 12, compress);
        strings.AddData("cut", "", "ab\0cd", 5, compress);
        strings.AddData("empty", "", "", 0, false);
        CBankWriter data(kBankBinary, "Data");
        data.AddData("blob", "", "0123", 4, false);
        p.banks = {BankBytes(strings), BankBytes(data)};
        PackageDescription d;
        d.programs.push_back(p);
        std::vector<uint8_t> bytes;
        ASSERT_EQ(WritePackage(d, &bytes), kIoOk);
        std::string path = dir.File(compress ? "z.pak" : "s.pak");
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        CProgramContainer container(nullptr);
        ASSERT_EQ(container.ReadPackageFile(path.c_str(), 0), kIoOk);

        std::string text;
        EXPECT_TRUE(ReadStringElementByName(&container, "HELLO", &text));
        EXPECT_EQ(text, "Hello, world");
        EXPECT_TRUE(ReadStringElementByName(&container, "Game://Texts/cut", &text));
        EXPECT_EQ(text, "ab");  // up to the first zero byte
        EXPECT_TRUE(ReadStringElementByIndex(&container, 2, &text));
        EXPECT_EQ(text, "");
        EXPECT_TRUE(ReadStringElementByIndex(&container, 0, &text));
        EXPECT_EQ(text, "Hello, world");
        EXPECT_EQ(container.FindBankById(kBankStrings)->GetElement(0)->GetLockCount(), 0);

        EXPECT_FALSE(ReadStringElementByName(&container, "missing", &text));
        EXPECT_FALSE(ReadStringElementByName(&container, "Game://Data/blob", &text));  // not a text
        EXPECT_FALSE(ReadStringElementByIndex(&container, 3, &text));
        EXPECT_FALSE(ReadStringElementByIndex(&container, -1, &text));
        EXPECT_FALSE(ReadStringElementByName(nullptr, "hello", &text));
    }
}
