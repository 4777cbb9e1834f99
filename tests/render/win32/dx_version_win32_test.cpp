// The DirectX probe under other Windows versions and without DirectInput or
// DirectDraw, through Wine's per-application settings: the test copies its
// own executable under a new name, gives that name a Windows version and DLL
// overrides in Wine's AppDefaults key, and runs the copy's report test,
// which writes what GetDirectXVersion answers to a file.
#include <windows.h>

#include "render/dx_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kReportVariable[] = "TW_DX_REPORT";

struct Setting {
    const char* name;
    const char* version;          // Wine's Windows version, or null
    const char* disabledLibrary;  // a library Wine refuses to load, or null
    uint32_t expectedVersion, expectedPlatform;
};

std::string Directory() {
    char path[MAX_PATH];
    DWORD n = GetTempPathA(sizeof path, path);
    return std::string(path, n);
}

bool SetAppDefaults(const std::string& exe, const Setting& s) {
    const std::string key = "Software\\Wine\\AppDefaults\\" + exe;
    HKEY app;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app, nullptr))
        return false;
    if (s.version) RegSetValueExA(app, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(s.version),
                                  DWORD(std::strlen(s.version) + 1));
    if (s.disabledLibrary) {
        HKEY overrides;
        if (RegCreateKeyExA(app, "DllOverrides", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &overrides, nullptr) == 0) {
            RegSetValueExA(overrides, s.disabledLibrary, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
            RegCloseKey(overrides);
        }
    }
    RegCloseKey(app);
    return true;
}

void RemoveAppDefaults(const std::string& exe) {
    const std::string key = "Software\\Wine\\AppDefaults\\" + exe;
    RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

// Runs the copy's report test; the two calls' answers, or "" on failure.
std::string RunReport(const std::string& exePath, const std::string& reportPath) {
    SetEnvironmentVariableA(kReportVariable, reportPath.c_str());
    std::string command = "\"" + exePath +
                          "\" --gtest_filter=DirectXReport.DISABLED_Write --gtest_also_run_disabled_tests";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    const BOOL started = CreateProcessA(exePath.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableA(kReportVariable, nullptr);
    if (!started) return "";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string text;
    if (FILE* f = std::fopen(reportPath.c_str(), "r")) {
        char line[64] = {};
        if (std::fgets(line, sizeof line, f)) text = line;
        std::fclose(f);
    }
    return text;
}

}  // namespace

// Run only as the copy's child process (see RunReport).
TEST(DirectXReport, DISABLED_Write) {
    const char* path = std::getenv(kReportVariable);
    ASSERT_NE(path, nullptr);
    uint32_t v1 = 0, p1 = 0, v2 = 0, p2 = 0;
    GetDirectXVersion(&v1, &p1);
    GetDirectXVersion(&v2, &p2);
    FILE* f = std::fopen(path, "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "%x %u %x %u", v1, p1, v2, p2);
    std::fclose(f);
}

TEST(DirectXUnderWindowsVersions, WineAppDefaults) {
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    const Setting settings[] = {
        {"nt40", "nt40", nullptr, 0x300, 2},
        {"nt40nodinput", "nt40", "dinput", 0x200, 2},
        {"win98", "win98", nullptr, 0x600, 1},
        {"noddraw", nullptr, "ddraw", 0, 0},
    };
    for (const Setting& s : settings) {
        const std::string exe = std::string("twdxprobe_") + s.name + ".exe";
        const std::string exePath = Directory() + exe;
        const std::string reportPath = Directory() + "twdxprobe_" + s.name + ".txt";
        ASSERT_TRUE(CopyFileA(self, exePath.c_str(), FALSE)) << s.name;
        ASSERT_TRUE(SetAppDefaults(exe, s)) << s.name;
        DeleteFileA(reportPath.c_str());
        const std::string report = RunReport(exePath, reportPath);
        RemoveAppDefaults(exe);
        DeleteFileA(exePath.c_str());
        DeleteFileA(reportPath.c_str());
        char expected[64];
        std::snprintf(expected, sizeof expected, "%x %u %x %u", s.expectedVersion, s.expectedPlatform,
                      s.expectedVersion, s.expectedPlatform);
        EXPECT_EQ(report, expected) << s.name;
        std::printf("%s: %s\n", s.name, report.c_str());
    }
}
