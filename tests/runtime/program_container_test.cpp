#include "runtime/package/program_container.h"

#include "runtime/package/shared_palette.h"
#include "runtime/package/bank_writer.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/package/package_writer.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> BankBytes(const CBankWriter& w, bool withVersion = true) {
    CBufferStream out;
    EXPECT_EQ(w.Write(&out, withVersion), kIoOk);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

std::string ReadAll(CStream* s) {
    std::string got;
    uint8_t b;
    while (s && s->ReadByte(&b) == kIoOk) got.push_back(static_cast<char>(b));
    delete s;
    return got;
}

void Put32(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; ++k) (*v)[at + k] = static_cast<uint8_t>(x >> (8 * k));
}

std::vector<uint8_t> Chunk(uint16_t id, std::vector<uint8_t> data) {
    std::vector<uint8_t> out;
    AppendChunk(&out, id, data);
    return out;
}

std::vector<uint8_t> U32(uint32_t x) { return {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)}; }

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A program with settings, start-up text, game input, two source modules, a
// string bank with a grouped element and a binary bank.
PackageProgram SampleProgram(const std::string& title, bool compress) {
    PackageProgram p;
    p.title = title;
    p.flags = 1;
    for (int i = 0; i < 256; ++i) {
        p.palette[4 * i] = static_cast<uint8_t>(i);
        p.palette[4 * i + 1] = static_cast<uint8_t>(255 - i);
        p.palette[4 * i + 2] = 17;
    }
    p.speed = 40;
    p.backgroundColor = 0x123456;
    p.releaseFlag = 0;
    p.sound3DFlag = 0;
    p.extraWord = 0xCAFE;
    p.settingF = 7;
    p.settingG = 9;
    p.startupText = "Var started = 1;\n" + std::string(5000, ' ') + "// end";
    p.hasGameInput = true;
    p.gameInputA = 3;
    p.gameInputB = 1;
    p.gameInputC = 0xABCDEF;
    p.gameInput = "[Fire]\nKey=Space\n";
    p.compress = compress;

    CBankWriter main(kBankSources, "Main");
    main.AddData("main.src", "", "Function Main() { }", 19, compress);
    main.AddData("util.src", "", "Function Util() { }", 19, compress);
    CBankWriter extra(kBankSources, "Extra");
    extra.AddData("extra.src", "", "Var x;", 6, false);
    CBankWriter strings(kBankStrings, "Texts");
    strings.AddData("hello", "", "Hello", 5, false);
    strings.AddData("bye", "menu", "Bye", 3, false);
    CBankWriter data(kBankBinary, "Data");
    data.AddData("blob", "", "0123456789", 10, compress);
    p.banks = {BankBytes(main), BankBytes(extra), BankBytes(strings), BankBytes(data)};
    return p;
}

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }

    // Writes the package behind `prefix` bytes of other data (as in an
    // executable) and reads it back.
    uint32_t Load(const std::vector<uint8_t>& package, size_t prefix = 100) {
        std::vector<uint8_t> file(prefix, 'x');
        file.insert(file.end(), package.begin(), package.end());
        path = dir.File("app" + std::to_string(++files) + ".exe");
        EXPECT_TRUE(WriteWholeFile(path, file));
        container.reset(new CProgramContainer(nullptr));
        return container->ReadPackageFile(path.c_str(), static_cast<int32_t>(prefix));
    }
    uint32_t Load(const PackageDescription& d, size_t prefix = 100) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(WritePackage(d, &bytes), kIoOk);
        return Load(bytes, prefix);
    }

    TestFolder dir;
    std::string path;
    int files = 0;
    std::unique_ptr<CProgramContainer> container;
};

}  // namespace

TEST_F(ContainerTest, WrittenPackageReadsBack) {
    for (bool compress : {false, true}) {
        SCOPED_TRACE(compress ? "compressed" : "stored");
        PackageDescription d;
        d.programs.push_back(SampleProgram("Game", compress));
        ASSERT_EQ(Load(d), kIoOk);
        EXPECT_EQ(container->GetVersion(), 0x44550004u);
        EXPECT_EQ(container->GetFollowOnOffset(), 0u);
        ASSERT_EQ(container->GetProgramCount(), 1);
        CBankSet* p = container->GetCurrentProgram();
        ASSERT_NE(p, nullptr);
        const PackageProgram want = SampleProgram("Game", compress);
        EXPECT_STREQ(p->GetTitle(), "Game");
        EXPECT_EQ(p->GetFlags(), 1u);
        EXPECT_EQ(p->GetPaletteFlag(), 1);
        EXPECT_EQ(container->GetPaletteFlag(), 1);
        EXPECT_EQ(p->GetSpeed(), 40);
        EXPECT_EQ(p->GetBackgroundColor(), 0x123456u);
        EXPECT_EQ(p->GetReleaseFlag(), 0);
        EXPECT_EQ(p->GetSound3DFlag(), 0);
        EXPECT_EQ(p->GetExtraWord(), 0xCAFEu);
        EXPECT_EQ(p->GetSettingF(), 7);
        EXPECT_EQ(p->GetSettingG(), 9);
        EXPECT_EQ(std::string(p->GetSourceText(), p->GetSourceLength()), want.startupText);
        EXPECT_EQ(p->GetSourceText()[p->GetSourceLength()], 0);
        ASSERT_NE(p->GetGameInputData(), nullptr);
        EXPECT_EQ(std::string(p->GetGameInputData(), p->GetGameInputSize()), want.gameInput);
        EXPECT_EQ(p->GetGameInputWordA(), 3);
        EXPECT_EQ(p->GetGameInputWordB(), 1);
        EXPECT_EQ(p->GetGameInputWordC(), 0xABCDEFu);

        // Banks in list order; FindById gives the first of an id.
        ASSERT_EQ(p->GetBankCount(), 4);
        EXPECT_STREQ(container->FindBankById(kBankSources)->GetName(), "Main");
        EXPECT_STREQ(container->FindBankById(kBankBinary)->GetName(), "Data");
        EXPECT_EQ(container->FindBankById(kBankPictures), nullptr);

        // The container holds the program's palette: its own colours, with the
        // static colours put in place.
        CSharedPalette* palette = container->GetPalette();
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(palette, p->GetPalette());
        EXPECT_EQ(palette->entries[255].red, 255);
        EXPECT_EQ(palette->entries[255].green, 255);
        EXPECT_EQ(palette->entries[100].blue, 17);
    }
}

TEST_F(ContainerTest, ElementsByFullAndBareName) {
    PackageDescription d;
    d.programs.push_back(SampleProgram("Game", false));
    ASSERT_EQ(Load(d), kIoOk);
    struct Case {
        const char* name;
        uint32_t bank;
        const char* found;  // element name, or null
    };
    const Case cases[] = {
        {"Game://Texts/hello", 0, "hello"},
        {"gAME://tEXTS/HELLO", 99, "hello"},  // full names ignore the bank number and case
        {"hello", kBankStrings, "hello"},
        {"HeLLo", kBankStrings, "hello"},
        {"hello", kBankBinary, nullptr},  // not in that bank
        {"bye", kBankStrings, nullptr},   // grouped: only by its full name
        {"menu/bye", kBankStrings, "bye"},
        {"Game://Texts/menu/bye", 0, "bye"},
        {"Game://Texts/bye", 0, nullptr},
        {"util.src", kBankSources, "util.src"},
        {"blob", kBankBinary, "blob"},
        {"blob", kBankPictures, nullptr},  // no such bank
        {"Other://Texts/hello", 0, nullptr},
        {"", kBankStrings, nullptr},
    };
    for (const Case& c : cases) {
        CElement* e = container->FindElement(c.name, c.bank);
        if (!c.found) {
            EXPECT_EQ(e, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_STREQ(e->GetName(), c.found) << c.name;
    }
    EXPECT_EQ(container->FindElement(nullptr, kBankStrings), nullptr);

    EXPECT_STREQ(container->GetElement(1, kBankSources)->GetName(), "util.src");
    EXPECT_EQ(container->GetElement(2, kBankSources), nullptr);
    EXPECT_EQ(container->GetElement(0, kBankPictures), nullptr);

    // Resources open from the package, else from the disk.
    EXPECT_EQ(ReadAll(container->OpenResource("hello", kBankStrings, 0)), "Hello");
    EXPECT_EQ(ReadAll(container->OpenResource("Game://Data/blob", 0, 1)), "0123456789");
    std::string disk = dir.File("disk.txt");
    ASSERT_TRUE(WriteWholeFile(disk, Bytes("on disk")));
    EXPECT_EQ(ReadAll(container->OpenResource(disk.c_str(), kBankStrings, 0)), "on disk");
    EXPECT_EQ(container->OpenResource("no such thing", kBankStrings, 0), nullptr);
    EXPECT_EQ(container->OpenResource(nullptr, kBankStrings, 0), nullptr);
}

TEST_F(ContainerTest, NamesLongerThanTheLookupBufferAreNeverFound) {
    // Full names of 1023 characters are found; 1024 are not.
    for (size_t total : {1023u, 1024u}) {
        const std::string prefix = "T://B/";
        const std::string name(total - prefix.size(), 'n');
        PackageProgram p;
        p.title = "T";
        CBankWriter w(kBankBinary, "B");
        w.AddData(name.c_str(), "", "x", 1, false);
        p.banks = {BankBytes(w)};
        PackageDescription d;
        d.programs.push_back(p);
        ASSERT_EQ(Load(d), kIoOk);
        CElement* full = container->FindElement((prefix + name).c_str(), 0);
        CElement* bare = container->FindElement(name.c_str(), kBankBinary);
        EXPECT_EQ(full != nullptr, total == 1023) << total;
        EXPECT_EQ(bare != nullptr, total == 1023) << total;
    }
}

TEST_F(ContainerTest, ElementsAreIndexedUnderTheFinalTitle) {
    // The bank chunk comes before the settings that carry the title.
    CBankWriter w(kBankStrings, "Texts");
    w.AddData("hello", "", "Hello", 5, false);
    std::vector<uint8_t> bank = Join({{0, 0}, BankBytes(w)});
    PackageProgram p;
    p.title = "Late";
    std::vector<uint8_t> settings;
    {
        PackageDescription only;
        only.programs.push_back(p);
        std::vector<uint8_t> all;
        WritePackage(only, &all);
        // version chunk (12 bytes), program header (8) and name length (2):
        // the settings chunk starts at 22.
        const uint32_t size = all[26] | (all[27] << 8);
        settings.assign(all.begin() + 22, all.begin() + 30 + size);
    }
    std::vector<uint8_t> program = Join({{0, 0}, Chunk(kChunkBank, bank), settings, Chunk(kChunkEnd, {})});
    ASSERT_EQ(Load(Join({Chunk(kChunkVersion, U32(0x44550004)), Chunk(kChunkProgram, program),
                         Chunk(kChunkEnd, {})})),
              kIoOk);
    ASSERT_NE(container->GetCurrentProgram(), nullptr);
    EXPECT_STREQ(container->GetCurrentProgram()->GetTitle(), "Late");
    EXPECT_NE(container->FindElement("hello", kBankStrings), nullptr);
    EXPECT_NE(container->FindElement("Late://Texts/hello", 0), nullptr);
    container.reset();  // every element leaves the index it is in
}

TEST_F(ContainerTest, ChunkWalkEdgeCases) {
    const std::vector<uint8_t> emptyProgram = Join({{0, 0}, Chunk(kChunkEnd, {})});
    const std::vector<uint8_t> program = Chunk(kChunkProgram, emptyProgram);
    const std::vector<uint8_t> end = Chunk(kChunkEnd, {});
    std::vector<uint8_t> bigEnd = Chunk(kChunkEnd, std::vector<uint8_t>(4, 0));
    Put32(&bigEnd, 4, 0xFFFFFFF0u);  // an end chunk ends its list whatever its size
    std::vector<uint8_t> pastEnd = Chunk(0x2222, std::vector<uint8_t>(8, 0));
    pastEnd[4] = 9;  // one byte more than the file holds
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        uint32_t status;
        int programs;
        uint32_t version;
    };
    const Case cases[] = {
        {"end first", Join({end, program}), kIoOk, 0, 0},
        {"two versions", Join({Chunk(kChunkVersion, U32(0x44550003)), Chunk(kChunkVersion, U32(0x44550001)), end}),
         kIoOk, 0, 0x44550003},
        {"oversized version chunk",
         Join({Chunk(kChunkVersion, Join({U32(0x44550002), std::vector<uint8_t>(37, 9)})), program, end}), kIoOk, 1,
         0x44550002},
        {"unknown and empty chunks", Join({Chunk(0x2222, {1, 2, 3}), Chunk(kChunkProgram, {}), program, end}), kIoOk,
         1, 0},
        {"end with a huge size", Join({program, bigEnd}), kIoOk, 1, 0},
        {"no end", program, kIoEndOfData, 1, 0},
        {"chunk past the file", pastEnd, kIoEndOfData, 0, 0},
        {"half a header", {0x7F, 0x7F, 0}, kIoEndOfData, 0, 0},
        {"program without end", Join({Chunk(kChunkProgram, {0, 0}), end}), kIoOk, 0, 0},
        {"program naming a missing file", Join({Chunk(kChunkProgram, {3, 0, 'n', 'o', '!'}), program, end}), kIoOk,
         1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(c.bytes), c.status) << c.what;
        EXPECT_EQ(container->GetProgramCount(), c.programs) << c.what;
        EXPECT_EQ(container->GetVersion(), c.version) << c.what;
        if (c.status == kIoOk) {
            EXPECT_EQ(container->GetCurrentProgram() != nullptr, c.programs > 0) << c.what;
        }
    }
}

TEST_F(ContainerTest, ProgramChunksThatFailAreAbandoned) {
    // A bank that cannot be read, a settings chunk cut short, a text longer
    // than its chunk, a compressed text claiming 2 GB, a length whose + 1 would
    // wrap: the program still loads, each chunk is skipped.
    PackageProgram sample = SampleProgram("Game", false);
    CBankWriter good(kBankStrings, "Texts");
    good.AddData("hello", "", "Hello", 5, false);
    std::vector<uint8_t> badBank = BankBytes(good);
    Put32(&badBank, 19, 0x7FFFFFF0u);  // the element offset, far past the file

    std::vector<uint8_t> settingsCut = Chunk(kChunkSettings, {4, 0, 'G', 'a'});
    std::vector<uint8_t> textTooLong = Chunk(kChunkSource, Join({U32(100), U32(0), Bytes("short")}));
    std::vector<uint8_t> textHuge = Chunk(kChunkSource, Join({U32(0x7FFFFFF0u), U32(8), std::vector<uint8_t>(8, 0)}));
    std::vector<uint8_t> textWrap = Chunk(kChunkSource, Join({U32(0xFFFFFFFFu), U32(0), Bytes("abc")}));
    std::vector<uint8_t> inputHuge =
        Chunk(kChunkGameInput, Join({{1, 0, 1, 0}, U32(0), U32(0xFFFFFFFFu), U32(0), Bytes("x")}));
    std::vector<uint8_t> textCorrupt = Chunk(kChunkSource, Join({U32(5), U32(5), Bytes("nozip")}));
    std::vector<uint8_t> minor = Chunk(kChunkVersion, {0x34, 0x12});

    std::vector<uint8_t> program =
        Join({{0, 0}, Chunk(kChunkBank, Join({{0, 0}, badBank})), Chunk(kChunkBank, Join({{0, 0}, BankBytes(good)})),
              settingsCut, textTooLong, textHuge, textWrap, inputHuge, textCorrupt, minor, Chunk(kChunkEnd, {})});
    ASSERT_EQ(Load(Join({Chunk(kChunkVersion, U32(0x44550004)), Chunk(kChunkProgram, program), Chunk(kChunkEnd, {})})),
              kIoOk);
    CBankSet* p = container->GetCurrentProgram();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetBankCount(), 1);
    EXPECT_NE(container->FindElement("hello", kBankStrings), nullptr);
    EXPECT_STREQ(p->GetTitle(), "");
    EXPECT_STREQ(p->GetSourceText(), "");
    EXPECT_EQ(p->GetSourceLength(), 0);
    EXPECT_EQ(p->GetGameInputData(), nullptr);
    EXPECT_EQ(p->GetSpeed(), 100);  // defaults stay
    EXPECT_EQ(p->GetBackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(p->GetVersion(), 0x44551234u);  // the minor version chunk
    EXPECT_EQ(p->GetPaletteFlag(), 0);
}

TEST_F(ContainerTest, OlderVersionsKeepTextsInTheSettings) {
    struct Case {
        uint32_t version;
        uint16_t settingG;  // G is stored from 0x44550000 on
    };
    for (const Case& c : {Case{0x44550003, 9}, Case{0x44550000, 9}, Case{0x44540000, 1}}) {
        PackageProgram p = SampleProgram("Old", false);
        p.startupText = "Var a;";
        CBankWriter w(kBankAnimations, "Anims");
        w.AddAnimation("walk", "", 5, 6, "frames", 6, false);
        // Programs before 0x44550002 have banks without a version field.
        p.banks = {BankBytes(w, c.version >= kPackageVersionWithBankVersion)};
        PackageDescription d;
        d.version = c.version;
        d.programs.push_back(p);
        ASSERT_EQ(Load(d), kIoOk) << std::hex << c.version;
        CBankSet* b = container->GetCurrentProgram();
        ASSERT_NE(b, nullptr);
        EXPECT_STREQ(b->GetSourceText(), "Var a;");
        EXPECT_EQ(std::string(b->GetGameInputData()), p.gameInput);
        EXPECT_EQ(b->GetGameInputWordB(), 1);
        EXPECT_EQ(b->GetSpeed(), 40);
        EXPECT_EQ(b->GetSettingF(), 7);
        EXPECT_EQ(b->GetSettingG(), c.settingG);
        auto* anim = dynamic_cast<CAnimElement*>(container->FindElement("walk", kBankAnimations));
        ASSERT_NE(anim, nullptr);
        const bool hotSpot = c.version >= kPackageVersionWithBankVersion;
        EXPECT_EQ(anim->GetHotSpotX(), hotSpot ? 5 : 0);
    }
    // A 0x1500 chunk of an older package is not its start-up text.
    PackageProgram p;
    p.startupText = "old";
    PackageDescription d;
    d.version = 0x44550003;
    d.programs.push_back(p);
    std::vector<uint8_t> bytes;
    WritePackage(d, &bytes);
    std::vector<uint8_t> text = Chunk(kChunkSource, Join({U32(3), U32(0), Bytes("new")}));
    // In front of the program's end chunk (the last 16 bytes are the program's
    // and the package's end chunks).
    bytes.insert(bytes.end() - 16, text.begin(), text.end());
    Put32(&bytes, 16, static_cast<uint32_t>(bytes[16] | (bytes[17] << 8)) + static_cast<uint32_t>(text.size()));
    ASSERT_EQ(Load(bytes), kIoOk);
    ASSERT_NE(container->GetCurrentProgram(), nullptr);
    EXPECT_STREQ(container->GetCurrentProgram()->GetSourceText(), "old");
}

TEST_F(ContainerTest, FollowOnPackageAndSeveralPrograms) {
    PackageDescription second;
    second.programs.push_back(SampleProgram("Second", true));
    PackageDescription first;
    first.programs.push_back(SampleProgram("First", false));
    first.programs.push_back(SampleProgram("Other", false));
    ASSERT_EQ(WritePackage(second, &first.followOn), kIoOk);
    ASSERT_EQ(Load(first, 333), kIoOk);
    ASSERT_EQ(container->GetProgramCount(), 2);
    EXPECT_STREQ(container->GetCurrentProgram()->GetTitle(), "First");
    // Elements of every program are indexed; bare names look in the current one.
    EXPECT_NE(container->FindElement("Other://Texts/hello", 0), nullptr);
    CBankSet* other = container->GetProgramAt(1);
    EXPECT_EQ(container->SelectProgram(other), container->GetProgramAt(0));
    EXPECT_EQ(container->FindElement("hello", kBankStrings), container->FindElement("Other://Texts/hello", 0));
    EXPECT_EQ(container->SelectProgram(nullptr), other);
    EXPECT_STREQ(container->GetCurrentProgram()->GetTitle(), "First");

    const uint32_t followOn = container->GetFollowOnOffset();
    ASSERT_NE(followOn, 0u);
    CProgramContainer next(nullptr);
    ASSERT_EQ(next.ReadPackageFile(path.c_str(), static_cast<int32_t>(followOn)), kIoOk);
    ASSERT_NE(next.GetCurrentProgram(), nullptr);
    EXPECT_STREQ(next.GetCurrentProgram()->GetTitle(), "Second");
    EXPECT_EQ(ReadAll(next.OpenResource("blob", kBankBinary, 0)), "0123456789");
    EXPECT_EQ(next.GetFollowOnOffset(), 0u);
}

TEST_F(ContainerTest, EveryTruncationFailsCleanly) {
    PackageDescription d;
    d.programs.push_back(SampleProgram("Game", true));
    std::vector<uint8_t> whole;
    ASSERT_EQ(WritePackage(d, &whole), kIoOk);
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        // The final end chunk is missing, so the walk fails, whatever it kept.
        EXPECT_NE(Load(cut, 0), kIoOk) << n;
    }
    EXPECT_EQ(Load(whole, 0), kIoOk);
}

TEST_F(ContainerTest, MissingFilesAndPaths) {
    CProgramContainer c(nullptr);
    EXPECT_EQ(c.ReadPackageFile(dir.File("none.exe").c_str(), 0), kIoCannotOpen);
    // This test program carries no package.
    CProgramContainer own(nullptr);
    EXPECT_EQ(own.ReadProgramPackage(), kPackageMissing);

    ASSERT_EQ(Load(PackageDescription()), kIoOk);
    char buf[512];
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    struct Case {
        const char* name;
        int32_t size;
        std::string want;
    };
    const Case cases[] = {
        {"pic.bmp", 512, folder + "pic.bmp"},
        {"C:\\abs\\pic.bmp", 512, "C:\\abs\\pic.bmp"},
        {"Game://Pictures/x", 512, "Game://Pictures/x"},
        {"sub\\x", static_cast<int32_t>(folder.size()) + 3, folder + "su"},
        {"", 512, folder},
    };
    for (const Case& c : cases) {
        c.name ? container->MakeFullPath(buf, c.size, c.name) : void();
        EXPECT_EQ(std::string(buf), c.want) << c.name;
    }
}

TEST(ContainerHash, NameHashIgnoresCaseAndUsesSignedBytes) {
    EXPECT_EQ(CProgramContainer::HashName("abc"), CProgramContainer::HashName("ABC"));
    EXPECT_EQ(CProgramContainer::HashName("A"), 0x41u);
    // Bytes above 127 count as negative.
    EXPECT_EQ(CProgramContainer::HashName("\xff"), static_cast<uint32_t>(-33) & 0x1FF);
    EXPECT_EQ(CProgramContainer::HashName(""), 0u);
}
