#include "runtime/package/bank.h"

#include "runtime/package/bank_writer.h"
#include "runtime/io/buffer_stream.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The program side of a bank: title, package file and the element index.
class TestProgram : public CBankOwner {
public:
    const char* GetTitle() override { return title.c_str(); }
    const char* GetFilePath() override { return path.c_str(); }
    FileHandle GetFileHandle() override { return handle; }
    uint32_t GetVersion() override { return version; }
    void AddElement(CElement* e) override { index.push_back(e); }
    void RemoveElement(CElement* e) override { index.erase(std::find(index.begin(), index.end(), e)); }

    std::string title = "Game";
    std::string path;
    FileHandle handle = kNoFileHandle;
    uint32_t version = 0x44550004;
    std::vector<CElement*> index;
};

std::vector<uint8_t> BankBytes(const CBankWriter& w, bool withVersion) {
    CBufferStream out;
    EXPECT_EQ(w.Write(&out, withVersion), kIoOk);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

// Everything a stream delivers, and the status that ended it.
std::vector<uint8_t> Drain(CStream* s, uint32_t* last = nullptr) {
    std::vector<uint8_t> got;
    uint8_t b;
    uint32_t status;
    while ((status = s->ReadByte(&b)) == kIoOk) got.push_back(b);
    if (last) *last = status;
    return got;
}

std::vector<uint8_t> Text(const char* s) { return std::vector<uint8_t>(s, s + std::strlen(s)); }

void PutLE32(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; ++k) (*v)[at + k] = static_cast<uint8_t>(x >> (8 * k));
}

struct Deleter {
    void operator()(CStream* s) const { delete s; }
    void operator()(CBank* b) const { delete b; }
};
using StreamPtr = std::unique_ptr<CStream, Deleter>;
using BankPtr = std::unique_ptr<CBank, Deleter>;

class BankTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Ok());
        plain = PatternBytes(3000, 1);
        packed = std::vector<uint8_t>(20000, 'a');
        for (size_t i = 0; i < packed.size(); i += 97) packed[i] = static_cast<uint8_t>(i);
    }
    // A binary bank: a stored element, a compressed one with a group, an empty
    // slot, a zero-size element and one more behind it.
    std::string WriteDataBank(const char* file) {
        CBankWriter w(kBankBinary, "Data");
        EXPECT_EQ(w.AddData("plain", "", plain.data(), 3000, false), kIoOk);
        EXPECT_EQ(w.AddData("packed", "sub", packed.data(), 20000, true), kIoOk);
        w.AddEmptySlot();
        EXPECT_EQ(w.AddData("zero", nullptr, nullptr, 0, false), kIoOk);
        EXPECT_EQ(w.AddData("tail", "", "tail", 4, false), kIoOk);
        std::string name = dir.File(file);
        EXPECT_TRUE(WriteWholeFile(name, BankBytes(w, true)));
        return name;
    }
    TestFolder dir;
    std::vector<uint8_t> plain, packed;
};

}  // namespace

TEST_F(BankTest, WrittenBankReadsBack) {
    std::string name = WriteDataBank("data.bnk");
    TestProgram program;
    BankPtr bank(ReadBank(&program, name.c_str()));
    ASSERT_NE(bank, nullptr) << GetBankError();
    EXPECT_EQ(bank->GetId(), kBankBinary);
    EXPECT_STREQ(bank->GetName(), "Data");
    EXPECT_EQ(bank->GetVersion(), kBankVersion2);
    ASSERT_EQ(bank->GetCount(), 5);
    EXPECT_EQ(bank->GetElement(2), nullptr);
    EXPECT_EQ(bank->GetElement(5), nullptr);
    EXPECT_EQ(program.index.size(), 4u);  // entered in the program's index

    struct Case { int index; const char* name; const char* group; const char* full; std::vector<uint8_t> data; };
    const Case cases[] = {
        {0, "plain", "", "Game://Data/plain", plain},
        {1, "packed", "sub", "Game://Data/sub/packed", packed},
        {3, "zero", "", "Game://Data/zero", {}},  // empty, not the rest of the file
        {4, "tail", "", "Game://Data/tail", Text("tail")},
    };
    for (const Case& c : cases) {
        CElement* e = bank->GetElement(c.index);
        ASSERT_NE(e, nullptr);
        ASSERT_NE(dynamic_cast<CBinaryElement*>(e), nullptr);
        EXPECT_STREQ(e->GetName(), c.name);
        EXPECT_STREQ(e->GetGroup(), c.group);
        char full[64];
        EXPECT_EQ(e->GetFullPath(full, sizeof full), static_cast<int32_t>(std::strlen(c.full)));
        EXPECT_STREQ(full, c.full);
        EXPECT_EQ(e->IsLoaded(), 0);

        // Opened without loading, with the bank's handle or a handle of its own.
        for (int flag : {0, 1}) {
            StreamPtr s(e->OpenStream(flag));
            ASSERT_NE(s, nullptr) << c.name << " flag " << flag;
            EXPECT_EQ(s->GetSize(), static_cast<int32_t>(c.data.size()));
            uint32_t end;
            EXPECT_EQ(Drain(s.get(), &end), c.data) << c.name << " flag " << flag;
            EXPECT_EQ(end, kIoEndOfData);
        }
        ASSERT_EQ(bank->LoadElement(c.index, 0), 1);
        auto* be = static_cast<CBinaryElement*>(e);
        ASSERT_EQ(be->IsLoaded(), 1);
        EXPECT_EQ(std::vector<uint8_t>(be->GetData(), be->GetData() + be->GetSize()), c.data);
    }

    // The packed element really went through the compressor.
    std::vector<uint8_t> file = ReadWholeFile(name);
    size_t at = static_cast<size_t>(bank->GetDataPosition(1));
    uint32_t packedSize = file[at + 4] | (file[at + 5] << 8) | (file[at + 6] << 16) | (file[at + 7] << 24);
    EXPECT_GT(packedSize, 0u);
    EXPECT_LT(packedSize, 20000u);

    bank.reset();
    EXPECT_TRUE(program.index.empty());
}

TEST_F(BankTest, BankPathsAndShortBuffers) {
    std::string name = WriteDataBank("data.bnk");
    TestProgram program;
    BankPtr bank(ReadBank(&program, name.c_str()));
    ASSERT_NE(bank, nullptr);
    char buf[64];
    EXPECT_EQ(bank->GetFullPath(buf, sizeof buf), 11);
    EXPECT_STREQ(buf, "Game://Data");
    buf[0] = 'x';
    EXPECT_EQ(bank->GetFullPath(buf, 11), 11);  // no room for the zero
    EXPECT_STREQ(buf, "");
    buf[0] = 'x';
    EXPECT_EQ(bank->GetElement(0)->GetFullPath(buf, 1), 17);
    EXPECT_STREQ(buf, "");
}

TEST_F(BankTest, StreamsOutliveUnloadingAndTheBank) {
    std::string name = WriteDataBank("data.bnk");
    BankPtr bank(ReadBank(nullptr, name.c_str()));
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->LoadElement(0, 0), 1);
    StreamPtr loaded(bank->GetElement(0)->OpenStream(0));  // over the loaded data
    StreamPtr packedStream(bank->GetElement(1)->OpenStream(0));  // loads the element
    EXPECT_EQ(bank->GetElement(1)->IsLoaded(), 1);
    StreamPtr own(bank->GetElement(0)->OpenStream(1));
    ASSERT_TRUE(loaded && packedStream && own);
    bank->UnloadAll();
    EXPECT_EQ(bank->GetElement(0)->IsLoaded(), 0);
    bank.reset();
    EXPECT_EQ(Drain(loaded.get()), plain);
    EXPECT_EQ(Drain(packedStream.get()), packed);
    EXPECT_EQ(Drain(own.get()), plain);
}

TEST_F(BankTest, StreamsSharingTheBankHandleKeepTheirPlace) {
    std::string name = WriteDataBank("data.bnk");
    BankPtr bank(ReadBank(nullptr, name.c_str()));
    ASSERT_NE(bank, nullptr);
    StreamPtr a(bank->GetElement(0)->OpenStream(0));
    StreamPtr b(bank->GetElement(0)->OpenStream(0));
    ASSERT_TRUE(a && b);
    std::vector<uint8_t> ga(1000), gb(1000);
    ASSERT_EQ(a->Read(ga.data(), 1000), kIoOk);
    ASSERT_EQ(bank->LoadElement(1, 0), 1);  // the bank reads in between
    ASSERT_EQ(b->Read(gb.data(), 1000), kIoOk);
    EXPECT_EQ(ga, gb);
    ASSERT_EQ(a->Read(ga.data(), 1000), kIoOk);
    EXPECT_EQ(ga, std::vector<uint8_t>(plain.begin() + 1000, plain.begin() + 2000));
    std::vector<uint8_t> rest(1500);
    int32_t count = 0;
    EXPECT_EQ(a->ReadCounted(rest.data(), 1500, &count), kIoEndOfData);  // stops at the element's end
    EXPECT_EQ(count, 1000);
}

TEST_F(BankTest, LockedElementsStayLoaded) {
    std::string name = WriteDataBank("data.bnk");
    BankPtr bank(ReadBank(nullptr, name.c_str()));
    ASSERT_NE(bank, nullptr);
    CElement* e = bank->GetElement(1);
    EXPECT_EQ(bank->LockElement(1), 0);  // not loaded
    EXPECT_EQ(bank->LockElement(2), 0);  // empty slot
    ASSERT_EQ(bank->LoadElement(1, 0), 1);
    EXPECT_EQ(bank->LockElement(1), 1);
    EXPECT_EQ(bank->LockElement(1), 1);
    EXPECT_EQ(e->GetLockCount(), 2);
    bank->UnloadAll();
    EXPECT_EQ(e->IsLoaded(), 1);
    bank->UnlockElement(1);
    bank->UnloadElement(1);
    EXPECT_EQ(e->IsLoaded(), 1);
    bank->UnlockElement(1);
    bank->UnlockElement(1);  // not below 0
    EXPECT_EQ(e->GetLockCount(), 0);
    bank->UnloadElement(1);
    EXPECT_EQ(e->IsLoaded(), 0);
    EXPECT_EQ(bank->LoadElement(2, 0), 0);  // no element
    EXPECT_EQ(bank->LoadElement(-1, 0), 0);
}

TEST_F(BankTest, ClassesByTypeInsideAProgramFile) {
    // Banks stored in the program's own file behind other data, read from the
    // program's handle, with and without the bank version field.
    struct Case { uint32_t programVersion; bool versionField; uint16_t hotX, hotY; };
    const Case cases[] = {{0x44550000, false, 0, 0}, {0x44550002, true, 12, 34}};
    for (const Case& c : cases) {
        CBankWriter anim(kBankAnimations, "Anims");
        ASSERT_EQ(anim.AddAnimation("walk", "hero", 12, 34, plain.data(), 100, true), kIoOk);
        CBankWriter strings(kBankStrings, "Texts");
        ASSERT_EQ(strings.AddData("hello", "", "Hi", 2, false), kIoOk);
        CBankWriter sources(kBankSources, "Main");
        ASSERT_EQ(sources.AddData("part1", "", "x = 1", 5, true), kIoOk);
        std::vector<uint8_t> file(37, 0xCC);
        std::vector<size_t> starts;
        for (const CBankWriter* w : {&anim, &strings, &sources}) {
            starts.push_back(file.size());
            std::vector<uint8_t> b = BankBytes(*w, c.versionField);
            file.insert(file.end(), b.begin(), b.end());
        }
        std::string name = dir.File("program.bin");
        ASSERT_TRUE(WriteWholeFile(name, file));

        TestProgram program;
        program.path = name;
        program.version = c.programVersion;
        program.handle = OpenFileHandle(name.c_str(), 0);
        ASSERT_NE(program.handle, kNoFileHandle);
        std::vector<BankPtr> banks;
        for (size_t start : starts) {
            ASSERT_EQ(SeekFileAbsolute(program.handle, static_cast<int32_t>(start)), static_cast<int32_t>(start));
            banks.emplace_back(ReadBank(&program, nullptr));
            ASSERT_NE(banks.back(), nullptr) << GetBankError();
            EXPECT_EQ(banks.back()->GetVersion(), c.versionField ? kBankVersion2 : kBankVersion1);
        }
        auto* walk = dynamic_cast<CAnimElement*>(banks[0]->GetElement(0));
        ASSERT_NE(walk, nullptr);
        EXPECT_EQ(walk->GetHotSpotX(), c.hotX);
        EXPECT_EQ(walk->GetHotSpotY(), c.hotY);
        StreamPtr ws(walk->OpenStream(0));
        ASSERT_NE(ws, nullptr);
        EXPECT_EQ(Drain(ws.get()), std::vector<uint8_t>(plain.begin(), plain.begin() + 100));

        CElement* hello = banks[1]->GetElement(0);
        ASSERT_NE(dynamic_cast<CStringElement*>(hello), nullptr);
        ASSERT_EQ(banks[1]->LoadElement(0, 0), 1);
        StreamPtr hs(hello->OpenStream(0));
        EXPECT_EQ(Drain(hs.get()), (std::vector<uint8_t>{'H', 'i', 0}));  // text ends with a zero

        ASSERT_EQ(dynamic_cast<CAnimElement*>(banks[2]->GetElement(0)), nullptr);
        StreamPtr ss(banks[2]->GetElement(0)->OpenStream(1));  // its own handle, by path
        ASSERT_NE(ss, nullptr);
        EXPECT_EQ(Drain(ss.get()), Text("x = 1"));
        char full[64];
        banks[2]->GetElement(0)->GetFullPath(full, sizeof full);
        EXPECT_STREQ(full, "Game://Main/part1");

        banks.clear();
        // The program's handle is not the banks' to close.
        EXPECT_EQ(SeekFileAbsolute(program.handle, 0), 0);
        uint8_t b;
        EXPECT_EQ(ReadFileChecked(program.handle, &b, 1), kIoOk);
        CloseFileHandle(program.handle);
    }
}

namespace {

// A picture bank class as the image layer provides it: it follows the
// palette-table word to the table and counts the palettes.
int32_t g_paletteCount = -1;
class PaletteCountingBank : public CBank {
public:
    int IsLoadable(FileHandle h) override {
        int32_t word = TellFileHandle(h);
        uint8_t b[4];
        if (ReadFileChecked(h, b, 4) != kIoOk) return 0;
        uint32_t offset = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        g_paletteCount = 0;
        if (offset != 0) {
            SeekFileAbsolute(h, word + static_cast<int32_t>(offset));
            if (ReadFileChecked(h, b, 4) != kIoOk) return 0;
            g_paletteCount = b[0];
            uint8_t first;
            if (ReadFileChecked(h, &first, 1) != kIoOk || first != 0x5A) return 0;
            SeekFileAbsolute(h, word + 4);
        }
        return 1;
    }
};
CBank* MakePaletteCountingBank() { return new PaletteCountingBank; }

}  // namespace

TEST_F(BankTest, PictureBanksCarryTheirPaletteTable) {
    CBankWriter w(kBankPictures, "Pictures");
    const uint8_t body[] = {1, 2, 3, 4};
    ASSERT_EQ(w.AddRaw("logo", "", body, 4), kIoOk);
    ASSERT_EQ(w.AddRaw("back", "ui", body, 4), kIoOk);
    std::vector<uint8_t> palette(1024, 0x5A);
    w.AddPalette(palette.data());
    w.AddPalette(palette.data());
    std::string name = dir.File("pictures.bnk");
    ASSERT_TRUE(WriteWholeFile(name, BankBytes(w, true)));

    // Without the image layer's class the element names are still read.
    BankPtr names(ReadBank(nullptr, name.c_str()));
    ASSERT_NE(names, nullptr);
    ASSERT_EQ(names->GetCount(), 2);
    EXPECT_STREQ(names->GetElement(1)->GetGroup(), "ui");

    SetPictureBankFactory(MakePaletteCountingBank);
    BankPtr bank(ReadBank(nullptr, name.c_str()));
    SetPictureBankFactory(nullptr);
    ASSERT_NE(bank, nullptr) << GetBankError();
    EXPECT_NE(dynamic_cast<PaletteCountingBank*>(bank.get()), nullptr);
    EXPECT_EQ(g_paletteCount, 2);
    EXPECT_STREQ(bank->GetElement(0)->GetName(), "logo");
}

TEST_F(BankTest, DamagedBankFilesAreRefused) {
    CBankWriter w(kBankBinary, "B");
    ASSERT_EQ(w.AddData("e1", "", "abc", 3, false), kIoOk);
    ASSERT_EQ(w.AddData("e2", "", "defg", 4, false), kIoOk);
    const std::vector<uint8_t> good = BankBytes(w, true);
    // type 4, name length 2 + "B" 1, version 4: the count is at 11, the offsets at 15.
    const size_t countAt = 11, offsetsAt = 15;
    ASSERT_EQ(good[countAt], 2);

    struct Case { const char* what; std::vector<uint8_t> bytes; uint32_t status; };
    std::vector<Case> cases;
    cases.push_back({"cut in the type", std::vector<uint8_t>(good.begin(), good.begin() + 3), kIoEndOfData});
    {
        std::vector<uint8_t> b = good;
        b[4] = 0x2C;  // name length 300
        b[5] = 0x01;
        cases.push_back({"name too long", b, kBankRefused});
    }
    for (uint32_t count : {0x40000000u, 0xFFFFFFFFu, 1000u}) {
        std::vector<uint8_t> b = good;
        PutLE32(&b, countAt, count);  // 0x40000000 x 4 wraps to 0 in 32 bits
        cases.push_back({"count beyond the file", b, kIoEndOfData});
    }
    {
        std::vector<uint8_t> b = good;
        PutLE32(&b, offsetsAt + 4, 0x7FFFFFF0);
        cases.push_back({"offset beyond the file", b, kBankBadElementHeader});
    }
    {
        std::vector<uint8_t> b = good;
        b.resize(b.size() - 4 - 8 - 2 - 1);  // into the last element's name
        cases.push_back({"header cut", b, kBankBadElementHeader});
    }
    for (const Case& c : cases) {
        std::string name = dir.File("bad.bnk");
        ASSERT_TRUE(WriteWholeFile(name, c.bytes));
        SetBankError(0);
        EXPECT_EQ(ReadBank(nullptr, name.c_str()), nullptr) << c.what;
        EXPECT_EQ(GetBankError(), c.status) << c.what;
    }
    EXPECT_EQ(ReadBank(nullptr, dir.File("missing.bnk").c_str()), nullptr);
    EXPECT_EQ(GetBankError(), kIoCannotOpen);
    EXPECT_EQ(ReadBank(nullptr, nullptr), nullptr);
    EXPECT_EQ(GetBankError(), kIoCannotOpen);

    // A bank with no elements, and one with only empty slots.
    CBankWriter empty(kBankBinary, "E");
    CBankWriter slots(kBankBinary, "S");
    slots.AddEmptySlot();
    slots.AddEmptySlot();
    for (auto* bw : {&empty, &slots}) {
        std::string name = dir.File("empty.bnk");
        ASSERT_TRUE(WriteWholeFile(name, BankBytes(*bw, true)));
        BankPtr bank(ReadBank(nullptr, name.c_str()));
        ASSERT_NE(bank, nullptr);
        EXPECT_EQ(bank->GetCount(), bw->GetCount());
        for (int32_t i = 0; i < bank->GetCount(); ++i) EXPECT_EQ(bank->GetElement(i), nullptr);
    }
}

TEST_F(BankTest, DamagedElementDataIsRefused) {
    std::string name = WriteDataBank("data.bnk");
    const std::vector<uint8_t> good = ReadWholeFile(name);
    int32_t storedAt, packedAt;
    {
        BankPtr bank(ReadBank(nullptr, name.c_str()));
        ASSERT_NE(bank, nullptr);
        storedAt = bank->GetDataPosition(0);
        packedAt = bank->GetDataPosition(1);
    }
    const uint32_t packedSize = good[packedAt + 4] | (good[packedAt + 5] << 8) | (good[packedAt + 6] << 16);

    struct Case { const char* what; int index; int32_t at; uint32_t size; uint32_t packed; uint32_t status; };
    const Case cases[] = {
        {"stored size beyond the file", 0, storedAt, 0x7FFFFFFF, 0, kIoEndOfData},
        {"packed size beyond the file", 1, packedAt, 20000, 0x10000000, kIoEndOfData},
        {"size no stream can inflate to", 1, packedAt, 0x7FFFFFF0, packedSize, kIoCorruptData},
        {"size beyond what elements may hold", 1, packedAt, (128u << 20) + 1, 300000, kIoGeneralFailure},
        {"stream cut short", 1, packedAt, 20000, packedSize - 4, kIoCorruptData},
        {"stream ends before the size", 1, packedAt, 20001, packedSize, kIoCorruptData},
        {"stream longer than the size", 1, packedAt, 19999, packedSize, kIoOutputFull},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = good;
        b.resize(b.size() + 300000);  // room for every packed size claimed below
        PutLE32(&b, static_cast<size_t>(c.at), c.size);
        PutLE32(&b, static_cast<size_t>(c.at) + 4, c.packed);
        ASSERT_TRUE(WriteWholeFile(name, b));
        BankPtr bank(ReadBank(nullptr, name.c_str()));
        ASSERT_NE(bank, nullptr) << c.what;
        EXPECT_EQ(bank->LoadElement(c.index, 0), 0) << c.what;
        EXPECT_EQ(GetBankError(), c.status) << c.what;
        EXPECT_EQ(bank->GetElement(c.index)->IsLoaded(), 0) << c.what;
        for (int flag : {0, 1}) {
            EXPECT_EQ(bank->GetElement(c.index)->OpenStream(flag), nullptr) << c.what;
            EXPECT_EQ(GetBankError(), c.status) << c.what;
        }
    }
}
