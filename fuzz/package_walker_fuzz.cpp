// Application packages of any content: walking the package, loading its
// programs and banks, looking elements up and opening them must end with a
// status, never a crash, a hang, a leak or a huge allocation. The input is
// written to a scratch file at an offset, as behind an executable.
#include "runtime/package/bank.h"
#include "fuzz/fuzz_support.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/os_file.h"
#include "runtime/package/program_container.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Exercise(CProgramContainer* c) {
    char full[CProgramContainer::kMaxFullName];
    char path[300];
    c->MakeFullPath(path, sizeof path, "picture.bmp");
    for (int32_t i = 0; i < c->GetProgramCount(); ++i) {
        CBankSet* program = c->GetProgramAt(i);
        c->SelectProgram(program);
        const CPoolList& banks = program->GetBanks();
        uint32_t pos = banks.GetHeadPosition();
        while (pos) {
            CBank* bank = reinterpret_cast<CBank*>(banks.GetNext(pos));
            for (int32_t k = 0; k < bank->GetCount(); ++k) {
                CElement* e = bank->GetElement(k);
                if (!e) continue;
                e->GetFullPath(full, sizeof full);
                // Every indexed element is found under its full name (unless
                // an earlier one of the same name shadows it).
                CElement* found = c->FindElement(full, 0);
                if (full[0] && !found) std::abort();
                c->FindElement(e->GetName(), bank->GetId());
                if (c->GetElement(k, bank->GetId()) == nullptr && c->FindBankById(bank->GetId()) == bank) std::abort();
                fuzz::Drain(c->OpenResource(full, 0, k & 1), false);
            }
            bank->UnloadAll();
        }
    }
    c->SelectProgram(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string& name = fuzz::Scratch("exe");
    FileHandle h = CreateFileHandle(name.c_str());
    if (h == kNoFileHandle) std::abort();
    static const char kImage[64] = "MZ stands in for the runtime executable's image";
    if (WriteFileChecked(h, kImage, sizeof kImage) != kIoOk) std::abort();
    if (size && WriteFileChecked(h, data, static_cast<int32_t>(size)) != kIoOk) std::abort();
    CloseFileHandle(h);

    CProgramContainer container(nullptr);
    container.ReadPackageFile(name.c_str(), sizeof kImage);
    Exercise(&container);
    // A follow-on package, read into a second container as the runner does.
    const uint32_t next = container.GetFollowOnOffset();
    if (next != 0) {
        CProgramContainer second(nullptr);
        second.ReadPackageFile(name.c_str(), static_cast<int32_t>(next));
        Exercise(&second);
    }
    return 0;
}
