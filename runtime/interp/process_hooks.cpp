#include "runtime/interp/process_hooks.h"

namespace {

struct HookPair {
    ProcessHook start;
    ProcessHook stop;
};

const int kMaxHooks = 16;
HookPair g_hooks[kMaxHooks];
int g_hookCount = 0;

}  // namespace

bool AddProcessHooks(ProcessHook start, ProcessHook stop) {
    if (g_hookCount >= kMaxHooks) return false;
    g_hooks[g_hookCount++] = {start, stop};
    return true;
}

void RunProcessStartHooks() {
    for (int i = 0; i < g_hookCount; ++i)
        if (g_hooks[i].start) g_hooks[i].start();
}

void RunProcessStopHooks() {
    for (int i = g_hookCount - 1; i >= 0; --i)
        if (g_hooks[i].stop) g_hooks[i].stop();
}
