#include "render/dx_version.h"

namespace {

// No Windows: the version query fails, so the probe answers 0 and 0.
class HeadlessDirectXCalls : public LDirectXCalls {
public:
    bool GetVersion(uint32_t*, uint32_t*) override { return false; }
    void* OpenLibrary(const char*) override { return nullptr; }
    bool HasEntry(void*, const char*) override { return false; }
    void CloseLibrary(void*) override {}
    void* CreateDirectDraw(void*) override { return nullptr; }
    bool HasDirectDraw2(void*) override { return false; }
    bool SetCooperativeLevelNormal(void*) override { return false; }
    void* CreatePrimarySurface(void*) override { return nullptr; }
    bool HasSurface3(void*) override { return false; }
    bool HasSurface4(void*) override { return false; }
    void Release(void*) override {}
    void DebugLine(const char*) override {}
};

}  // namespace

LDirectXCalls& OsDirectXCalls() {
    static HeadlessDirectXCalls calls;
    return calls;
}
