// Bank files of any content: reading, loading, locking and streaming every
// element must end with a status, never a crash, a hang or a huge allocation.
// The input is written to a scratch file, since banks are read from files.
#include "runtime/package/bank.h"
#include "fuzz/fuzz_support.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/os_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class FuzzProgram : public CBankOwner {
public:
    const char* GetTitle() override { return "Fuzz"; }
    const char* GetFilePath() override { return path.c_str(); }
    FileHandle GetFileHandle() override { return handle; }
    uint32_t GetVersion() override { return version; }
    void AddElement(CElement* e) override { ++entered; }
    void RemoveElement(CElement* e) override { --entered; }

    std::string path;
    FileHandle handle = kNoFileHandle;
    uint32_t version = 0;
    long entered = 0;
};

// Elements exercised per bank: the first and last ones. Reading a bank is
// linear in its element count, but opening every element of a megabyte of
// offsets in every way would make each input take seconds.
const int32_t kElementsEachEnd = 128;

void Exercise(CBank* bank, FuzzProgram* program) {
    if (!bank) return;
    char path[1024];
    bank->GetFullPath(path, sizeof path);
    const int32_t count = bank->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (i == kElementsEachEnd && count - kElementsEachEnd > i) i = count - kElementsEachEnd;
        CElement* e = bank->GetElement(i);
        if (!e) continue;
        e->GetFullPath(path, sizeof path);
        fuzz::Drain(e->OpenStream(0), true);  // may load a compressed element
        bank->UnloadElement(i);
        fuzz::Drain(e->OpenStream(1), true);
        if (bank->LoadElement(i, 0)) {
            bank->LockElement(i);
            bank->UnloadElement(i);  // locked: stays loaded
            if (!e->IsLoaded()) std::abort();
            fuzz::Drain(e->OpenStream(0), true);
            bank->UnlockElement(i);
        }
    }
    bank->UnloadAll();
    delete bank;
    if (program && program->entered != 0) std::abort();  // every element left the index
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string& name = fuzz::Scratch("bnk");
    FileHandle h = CreateFileHandle(name.c_str());
    if (h == kNoFileHandle) std::abort();
    if (WriteFileChecked(h, data, static_cast<int32_t>(size)) != kIoOk) std::abort();
    CloseFileHandle(h);

    // A bank file of its own (version field present), or a bank inside a
    // program's file of an older (no version field) or newer package version.
    const int mode = static_cast<int>(size % 3);
    if (mode == 0) {
        Exercise(ReadBank(nullptr, name.c_str()), nullptr);
        return 0;
    }
    FuzzProgram program;
    program.path = name;
    program.version = mode == 1 ? 0x44550000u : 0x44550004u;
    program.handle = OpenFileHandle(name.c_str(), 0);
    if (program.handle == kNoFileHandle) std::abort();
    Exercise(ReadBank(&program, nullptr), &program);
    CloseFileHandle(program.handle);
    return 0;
}
