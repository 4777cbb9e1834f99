#include "runtime/runner/os_runner.h"

#include "runtime/headless/os_runner_record.h"
#include "runtime/interp/process_hooks.h"

#include <pthread.h>

#include <clocale>
#include <cstdio>

namespace {
uint16_t g_objectAtom = 0;
}

OsRunnerRecord& GetOsRunnerRecord() {
    static OsRunnerRecord record;
    return record;
}

void OsSetProgramLocale() {
    std::setlocale(LC_ALL, "");
    // There is no "English" locale here: the C locale writes numbers alike.
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C");
}

void ProcessStart() {
    RunProcessStartHooks();
    g_objectAtom = 0xC001;
    ++GetOsRunnerRecord().processStarts;
}

void ProcessStop() {
    g_objectAtom = 0;
    RunProcessStopHooks();
    ++GetOsRunnerRecord().processStops;
}

uint16_t GetObjectAtom() { return g_objectAtom; }

uint32_t OsGetCurrentThreadId() { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pthread_self())); }

void OsWaitForHandle(void*) {}
void OsReleaseMutexHandle(void*) {}
void OsReleaseSemaphoreHandle(void*) {}

void OsPostWindowMessage(void*, uint32_t message, uintptr_t, intptr_t) {
    GetOsRunnerRecord().posted.push_back(message);
}

void OsShowErrorBox(const char* text, const char* caption) {
    GetOsRunnerRecord().boxes.push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
}
