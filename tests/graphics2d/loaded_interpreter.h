#pragma once
// Script-class tests on a loaded interpreter (its services: image formats,
// fonts, colour depths) in a thread registered with the surface library, as
// a packed program runs.
#include "graphics2d/surface_registry.h"
#include "tests/support/script_call_harness.h"

class LoadedInterpreterTest : public ScriptCallTest {
protected:
    void SetUp() override { Start(nullptr); }
    void TearDown() override {
        m_interp.Unload();
        UnregisterSurfaceClient();
    }
    // Loads the interpreter with the package file (none: no package).
    void Start(const char* package) {
        RegisterSurfaceClient();
        ASSERT_EQ(m_interp.Load(nullptr, package), 1);
        ScriptCallTest::SetUp();
    }
    int32_t Int(CIBaseClassImpl* object, int32_t member, std::initializer_list<CallArg> args = {}) {
        return Call(object, member, args)->GetInt();
    }
};
