// Picture banks of any content: reading the palette table and loading every
// picture, in one of the four depths, must end with a status, never a crash,
// a hang or a huge allocation; a loaded picture has the bank's depth.
#include "fuzz/fuzz_support.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/surface_registry.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/os_file.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const int32_t kElementsEachEnd = 64;

bool Started() {
    RegisterSurfaceClient();
    RegisterImageBank();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = Started();
    (void)started;
    if (size < 1 || size > (1u << 20)) return 0;
    static const int32_t kDepths[] = {8, 16, 24, 32};
    const int32_t depth = kDepths[data[size - 1] & 3];
    const std::string& name = fuzz::Scratch("pic");
    FileHandle h = CreateFileHandle(name.c_str());
    if (h == kNoFileHandle) std::abort();
    if (WriteFileChecked(h, data, static_cast<int32_t>(size)) != kIoOk) std::abort();
    CloseFileHandle(h);

    std::unique_ptr<CBank> read(ReadBank(nullptr, name.c_str()));
    CImageBank* bank = dynamic_cast<CImageBank*>(read.get());
    if (!bank) return 0;
    if (!bank->ChangeColorDepth(depth)) std::abort();
    const int32_t count = bank->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (i == kElementsEachEnd && count - kElementsEachEnd > i) i = count - kElementsEachEnd;
        CImageElement* e = dynamic_cast<CImageElement*>(bank->GetElement(i));
        if (!e) continue;
        if (bank->LoadElement(i, 0)) {
            if (!e->IsLoaded() || e->GetSurface()->GetDepth() != bank->GetReference().GetDepth()) std::abort();
        } else if (e->IsLoaded() || e->GetMask() != nullptr) {
            std::abort();
        }
    }
    for (uint32_t p = 0; p < bank->GetPaletteCount() && p < 4; ++p) bank->LoadPalette(p);
    bank->UnloadAll();
    return 0;
}
