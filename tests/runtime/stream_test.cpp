#include "runtime/io/buffer_stream.h"
#include "runtime/io/buffered_file_stream.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/memory_stream.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A file of patterned bytes and streams over it or over the same bytes in memory.
class StreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Ok());
        bytes = PatternBytes(40000);
        name = dir.File("data.bin");
        ASSERT_TRUE(WriteWholeFile(name, bytes));
    }
    std::vector<uint8_t> Slice(size_t at, size_t n) const {
        return std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + n);
    }
    TestFolder dir;
    std::string name;
    std::vector<uint8_t> bytes;
};

std::unique_ptr<CStream> MemoryOver(const std::vector<uint8_t>& v) {
    auto* s = new CMemoryStream;
    s->Attach(v.data(), static_cast<int32_t>(v.size()));
    return std::unique_ptr<CStream>(s);
}

}  // namespace

TEST_F(StreamTest, FileReadsCrossTheBufferAndStopAtTheEnd) {
    // Reads of every size class: inside the buffer, across a refill, whole
    // buffers straight into the caller's memory, and past the end.
    const int32_t sizes[] = {1, 16383, 16384, 2, 16385, 5000};
    CFileStream s;
    ASSERT_EQ(s.Open(name.c_str()), kIoOk);
    EXPECT_EQ(s.GetSize(), 40000);
    size_t at = 0;
    for (int32_t n : sizes) {
        std::vector<uint8_t> got(static_cast<size_t>(n));
        size_t expect = std::min<size_t>(static_cast<size_t>(n), bytes.size() - at);
        EXPECT_EQ(s.Read(got.data(), n), expect == static_cast<size_t>(n) ? kIoOk : kIoEndOfData) << n;
        got.resize(expect);
        EXPECT_EQ(got, Slice(at, expect)) << "read of " << n << " at " << at;
        at += expect;
        EXPECT_EQ(s.Tell(), static_cast<int32_t>(at));
    }
    uint8_t b;
    EXPECT_EQ(s.ReadByte(&b), kIoEndOfData);
}

TEST_F(StreamTest, FileWindowReadsExactlyTheWindow) {
    CFileStream s;
    ASSERT_EQ(s.OpenWindow(name.c_str(), 100, 50), kIoOk);
    std::vector<uint8_t> got(60, 0xEE);
    int32_t count = -1;
    EXPECT_EQ(s.ReadCounted(got.data(), 60, &count), kIoEndOfData);
    EXPECT_EQ(count, 50);
    got.resize(50);
    EXPECT_EQ(got, Slice(100, 50));

    struct Case { int32_t offset; int origin; int32_t result; };
    const Case seeks[] = {{0, 2, 50}, {-10, 0, 0}, {1000, 0, 50}, {-20, 2, 30}, {5, 1, 35}, {-40, 1, 0}, {7, 9, 0}};
    for (const Case& c : seeks) EXPECT_EQ(s.Seek(c.offset, c.origin), c.result) << c.offset << "/" << c.origin;
    EXPECT_EQ(s.Seek(30, 0), 30);
    uint8_t b;
    ASSERT_EQ(s.ReadByte(&b), kIoOk);
    EXPECT_EQ(b, bytes[130]);
}

TEST_F(StreamTest, WindowWithoutLimitSeeksAnywhereAfterItsStart) {
    FileHandle h = OpenFileHandle(name.c_str(), 0);
    ASSERT_NE(h, kNoFileHandle);
    CFileStream s;
    ASSERT_EQ(s.AttachWindow(h, 100, 0), kIoOk);
    EXPECT_EQ(s.Seek(20000, 0), 20000);
    uint8_t b;
    ASSERT_EQ(s.ReadByte(&b), kIoOk);
    EXPECT_EQ(b, bytes[20100]);
    EXPECT_EQ(s.Seek(-5, 0), 0);
    EXPECT_EQ(s.Seek(0, 2), 40000 - 100);
    std::vector<uint8_t> rest(100);
    EXPECT_EQ(s.Read(rest.data(), 100), kIoEndOfData);
    s.DetachHandle();
    CloseFileHandle(h);
}

TEST_F(StreamTest, StreamsSharingAHandleReadTheirOwnBytes) {
    FileHandle h = OpenFileHandle(name.c_str(), 0);
    ASSERT_NE(h, kNoFileHandle);
    CFileStream a, b;
    ASSERT_EQ(a.AttachWindow(h, 0, 20000), kIoOk);
    ASSERT_EQ(b.AttachWindow(h, 20000, 20000), kIoOk);
    std::vector<uint8_t> got(3000);
    for (size_t at = 0; at + 3000 <= 20000; at += 3000) {
        ASSERT_EQ(a.Read(got.data(), 3000), kIoOk);
        EXPECT_EQ(got, Slice(at, 3000)) << "a at " << at;
        ASSERT_EQ(b.Read(got.data(), 3000), kIoOk);
        EXPECT_EQ(got, Slice(20000 + at, 3000)) << "b at " << at;
    }
    // Detaching leaves the handle's pointer where the stream stopped.
    EXPECT_EQ(a.DetachHandle(), h);
    EXPECT_EQ(TellFileHandle(h), 18000);
    b.DetachHandle();
    CloseFileHandle(h);
}

TEST_F(StreamTest, AttachHandleWindowsFromThePointerToTheEnd) {
    FileHandle h = OpenFileHandle(name.c_str(), 0);
    ASSERT_NE(h, kNoFileHandle);
    ASSERT_EQ(SeekFileAbsolute(h, 1000), 1000);
    {
        CFileStream s;
        ASSERT_EQ(s.AttachHandle(h), kIoOk);
        EXPECT_EQ(s.Tell(), 0);
        EXPECT_EQ(s.GetSize(), 39000);
        uint8_t b;
        ASSERT_EQ(s.ReadByte(&b), kIoOk);
        EXPECT_EQ(b, bytes[1000]);
    }
    // A stream that did not open the handle leaves it open.
    EXPECT_EQ(SeekFileAbsolute(h, 0), 0);
    CloseFileHandle(h);

    CFileStream none;
    EXPECT_EQ(none.Open(dir.File("missing.bin").c_str()), kIoCannotOpen);
    EXPECT_EQ(none.AttachHandle(kNoFileHandle), kIoOk);
    EXPECT_EQ(none.DetachHandle(), kNoFileHandle);
}

TEST_F(StreamTest, SeeksInsideTheBufferKeepPosition) {
    CFileStream s;
    ASSERT_EQ(s.Open(name.c_str()), kIoOk);
    uint8_t buf[10];
    ASSERT_EQ(s.Read(buf, 10), kIoOk);
    struct Case { int32_t offset; int origin; int32_t at; };
    const Case cases[] = {{100, 1, 110}, {-50, 1, 60}, {-60, 1, 0}, {16384, 1, 16384}, {-1, 1, 16383}, {0, 1, 16383}};
    for (const Case& c : cases) {
        ASSERT_EQ(s.Seek(c.offset, c.origin), c.at);
        uint8_t b;
        ASSERT_EQ(s.ReadByte(&b), kIoOk);
        EXPECT_EQ(b, bytes[static_cast<size_t>(c.at)]) << "after seek to " << c.at;
        s.Seek(-1, 1);
    }
}

TEST(Streams, TypedReadsAndTheirFailures) {
    const std::vector<uint8_t> data = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
    auto s = MemoryOver(data);
    uint16_t w;
    uint32_t d;
    int32_t i;
    ASSERT_EQ(s->ReadU16(&w), kIoOk);
    EXPECT_EQ(w, 0x0201);
    s->Seek(0, 0);
    ASSERT_EQ(s->ReadU32(&d), kIoOk);
    EXPECT_EQ(d, 0x04030201u);
    s->Seek(0, 0);
    ASSERT_EQ(s->ReadU16BE(&w), kIoOk);
    EXPECT_EQ(w, 0x0102);
    s->Seek(0, 0);
    ASSERT_EQ(s->ReadU32BE(&d), kIoOk);
    EXPECT_EQ(d, 0x01020304u);
    ASSERT_EQ(s->ReadS32(&i), kIoOk);
    EXPECT_EQ(i, -1);

    // A value that cannot be read whole leaves the output alone.
    s->Seek(5, 0);
    d = 0xABCDABCD;
    EXPECT_EQ(s->ReadU32(&d), kIoEndOfData);
    EXPECT_EQ(d, 0xABCDABCDu);
    s->Seek(7, 0);
    w = 0x1234;
    EXPECT_EQ(s->ReadU16BE(&w), kIoEndOfData);
    EXPECT_EQ(w, 0x1234);
}

TEST(Streams, WordArrays) {
    const std::vector<uint8_t> data = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    auto s = MemoryOver(data);
    uint32_t d[2];
    ASSERT_EQ(s->ReadU32Array(d, 2), kIoOk);
    EXPECT_EQ(d[0], 0x04030201u);
    EXPECT_EQ(d[1], 0x08070605u);
    s->Seek(0, 0);
    ASSERT_EQ(s->ReadU32ArrayBE(d, 2), kIoOk);
    EXPECT_EQ(d[0], 0x01020304u);
    EXPECT_EQ(d[1], 0x05060708u);
    s->Seek(0, 0);
    uint16_t w[4];
    ASSERT_EQ(s->ReadU16ArrayBE(w, 4), kIoOk);
    EXPECT_EQ(w[3], 0x0708);
    s->Seek(0, 0);
    ASSERT_EQ(s->ReadU16Array(w, 4), kIoOk);
    EXPECT_EQ(w[3], 0x0807);

    // Counts whose byte size does not fit in 32 bits, or negative ones, read nothing.
    s->Seek(0, 0);
    EXPECT_EQ(s->ReadU32Array(d, 0x40000000), kIoGeneralFailure);
    EXPECT_EQ(s->ReadS32ArrayBE(reinterpret_cast<int32_t*>(d), -1), kIoGeneralFailure);
    EXPECT_EQ(s->ReadU16Array(w, 0x40000000), kIoGeneralFailure);
    EXPECT_EQ(s->Tell(), 0);
    EXPECT_EQ(s->ReadU32Array(d, 3), kIoEndOfData);
}

TEST_F(StreamTest, ReadBlockIsCheckedAgainstWhatIsLeft) {
    auto mem = MemoryOver(bytes);
    mem->Seek(39990, 0);
    EXPECT_EQ(mem->ReadBlock(11), nullptr);
    EXPECT_EQ(mem->ReadBlock(0), nullptr);
    void* inside = mem->ReadBlock(10);
    EXPECT_EQ(inside, bytes.data() + 39990);  // no copy
    mem->ReleaseBlock(inside);

    CFileStream file;
    ASSERT_EQ(file.Open(name.c_str()), kIoOk);
    file.Seek(39000, 0);
    EXPECT_EQ(file.ReadBlock(0x7FFFFFFF), nullptr);
    EXPECT_EQ(file.ReadBlock(1001), nullptr);
    EXPECT_EQ(file.Tell(), 39000);
    void* block = file.ReadBlock(1000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, bytes.data() + 39000, 1000), 0);
    file.ReleaseBlock(block);
}

TEST_F(StreamTest, LinesFromFileAndMemory) {
    const std::string text = "a\r\nb\n\rc\nd\re\r\n\nlast";
    const std::vector<uint8_t> data(text.begin(), text.end());
    std::string textName = dir.File("lines.txt");
    ASSERT_TRUE(WriteWholeFile(textName, data));
    const char* expect[] = {"a\n", "b\n", "c\n", "d\re\n", "\n", "last"};

    std::vector<std::function<std::unique_ptr<CStream>()>> makers = {
        [&] { return MemoryOver(data); },
        [&] {
            auto* f = new CFileStream;
            EXPECT_EQ(f->Open(textName.c_str()), kIoOk);
            return std::unique_ptr<CStream>(f);
        }};
    for (auto& make : makers) {
        auto s = make();
        char line[64];
        for (const char* e : expect) {
            ASSERT_NE(s->ReadLine(line, sizeof line), nullptr);
            EXPECT_STREQ(line, e);
        }
        EXPECT_EQ(s->ReadLine(line, sizeof line), nullptr);
    }

    struct Case { const char* text; int32_t size; const char* line; };
    const Case cases[] = {
        {"abcdef", 3, "ab"}, {"abc", 1, ""}, {"x\n", 64, "x"},  // the LF at the end has no partner
        {"x\r", 64, "x"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> d(c.text, c.text + std::strlen(c.text));
        auto s = MemoryOver(d);
        char line[64];
        ASSERT_NE(s->ReadLine(line, c.size), nullptr) << c.text;
        EXPECT_STREQ(line, c.line) << c.text;
    }
    auto s = MemoryOver({});
    char line[4];
    EXPECT_EQ(s->ReadLine(line, 0), nullptr);
}

TEST(Streams, MemorySeeksClamp) {
    const std::vector<uint8_t> data(100, 7);
    auto s = MemoryOver(data);
    struct Case { int32_t offset; int origin; int32_t result; };
    const Case cases[] = {{0, 2, 100}, {-5, 0, 0}, {40, 0, 40}, {100, 1, 100}, {-10, 2, 90}, {3, 5, 90}, {-200, 1, 0}};
    for (const Case& c : cases) EXPECT_EQ(s->Seek(c.offset, c.origin), c.result) << c.offset << "/" << c.origin;
    EXPECT_EQ(s->GetSize(), 100);
    s->Seek(98, 0);
    uint8_t buf[4];
    int32_t count = 0;
    EXPECT_EQ(s->ReadCounted(buf, 4, &count), kIoEndOfData);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(s->AttachHandle(5), kIoOk);
    EXPECT_EQ(s->DetachHandle(), kNoFileHandle);
}

TEST(Streams, MemoryOutput) {
    uint8_t block[8] = {0};
    CBufferStream fixed;
    fixed.Attach(block, 8);
    ASSERT_EQ(fixed.Write("abcdef", 6), kIoOk);
    EXPECT_EQ(fixed.Write("xyz", 3), kIoOutputFull);  // nothing of it is written
    EXPECT_EQ(std::memcmp(block, "abcdef\0\0", 8), 0);
    EXPECT_EQ(fixed.Tell(), 6);
    EXPECT_EQ(fixed.Seek(2, 0), 2);
    ASSERT_EQ(fixed.Write("Z", 1), kIoOk);
    EXPECT_EQ(fixed.GetSize(), 6);  // the highest end ever written
    EXPECT_EQ(fixed.Seek(10, 0), 6);
    EXPECT_EQ(fixed.Seek(-1, 2), 5);

    CBufferStream grow;
    std::vector<uint8_t> data = PatternBytes(5000);
    for (size_t at = 0; at < data.size(); at += 700) {
        int32_t n = static_cast<int32_t>(std::min<size_t>(700, data.size() - at));
        ASSERT_EQ(grow.Write(data.data() + at, n), kIoOk);
        EXPECT_EQ(grow.GetCapacity() % CBufferStream::kGrowthStep, 0);
        EXPECT_GE(grow.GetCapacity(), grow.GetSize());
    }
    EXPECT_EQ(grow.GetSize(), 5000);
    EXPECT_EQ(std::vector<uint8_t>(grow.GetData(), grow.GetData() + 5000), data);
    ASSERT_EQ(grow.WriteU32(0x04030201), kIoOk);
    EXPECT_EQ(grow.GetData()[5000], 1);
    EXPECT_EQ(grow.GetData()[5003], 4);
}

TEST(Streams, BufferedFileAppendsBufferedAndWritesTheMiddleAtOnce) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string name = dir.File("out.bin");
    CBufferedFileStream s;
    ASSERT_EQ(s.Create(name.c_str(), 64), kIoOk);
    std::vector<uint8_t> data = PatternBytes(200);
    ASSERT_EQ(s.Write(data.data(), 100), kIoOk);  // more than the buffer: the full buffer went out
    EXPECT_EQ(ReadWholeFile(name).size(), 64u);
    EXPECT_EQ(s.Tell(), 100);
    EXPECT_EQ(s.GetSize(), 100);

    // Into the middle: flushed first, then written straight to the file.
    EXPECT_EQ(s.Seek(10, 0), 10);
    EXPECT_EQ(ReadWholeFile(name).size(), 100u);
    ASSERT_EQ(s.Write("X", 1), kIoOk);
    std::vector<uint8_t> written = ReadWholeFile(name);
    ASSERT_GT(written.size(), 10u);
    EXPECT_EQ(written[10], 'X');

    // At the end writes are buffered again.
    EXPECT_EQ(s.Seek(0, 2), 100);
    ASSERT_EQ(s.Write(data.data() + 100, 10), kIoOk);
    EXPECT_EQ(ReadWholeFile(name).size(), 100u);
    EXPECT_EQ(s.GetSize(), 110);
    EXPECT_EQ(s.Seek(500, 0), 110);  // past the end: the end
    ASSERT_EQ(s.Flush(), kIoOk);
    std::vector<uint8_t> expect(data.begin(), data.begin() + 110);
    expect[10] = 'X';
    EXPECT_EQ(ReadWholeFile(name), expect);

    CBufferedFileStream bad;
    EXPECT_EQ(bad.Create((dir.Path() + "\\missing\\x.bin").c_str(), 64), kIoCannotCreate);
}

TEST(Streams, BufferedFileWithoutBufferWritesDirectly) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string name = dir.File("out.bin");
    FileHandle h = CreateFileHandle(name.c_str());
    ASSERT_NE(h, kNoFileHandle);
    {
        CBufferedFileStream s;
        ASSERT_EQ(s.AttachHandle(h, 0), kIoOk);  // a zero-sized buffer must not loop
        ASSERT_EQ(s.Write("hello", 5), kIoOk);
        EXPECT_EQ(ReadWholeFile(name).size(), 5u);
    }
    CloseFileHandle(h);  // not owned by the stream
}

TEST(Streams, BufferedFileKeepsBytesWhenAFlushFails) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string name = dir.File("ro.bin");
    ASSERT_TRUE(WriteWholeFile(name, {1, 2, 3}));
    FileHandle h = OpenFileHandle(name.c_str(), 0);  // read only: writes fail
    ASSERT_NE(h, kNoFileHandle);
    {
        CBufferedFileStream s;
        ASSERT_EQ(s.AttachHandle(h, 64), kIoOk);
        ASSERT_EQ(s.Write("abcde", 5), kIoOk);
        EXPECT_EQ(s.Tell(), 5);
        // The seek cannot write the buffered bytes first: nothing moves, nothing is lost.
        EXPECT_EQ(s.Seek(1, 0), 5);
        EXPECT_EQ(s.Tell(), 5);
        EXPECT_EQ(s.Flush(), kIoWriteFailed);
        EXPECT_EQ(s.Flush(), kIoWriteFailed);  // still there
        EXPECT_EQ(s.Write(std::vector<uint8_t>(100).data(), 100), kIoWriteFailed);
    }
    CloseFileHandle(h);
    EXPECT_EQ(ReadWholeFile(name), (std::vector<uint8_t>{1, 2, 3}));
}
