// The process-memory query on Windows. The query functions are bound at run
// time: Toolhelp heap walking on Windows 9x, PSAPI's GetProcessMemoryInfo on
// Windows NT, or ntdll's NtQueryInformationProcess where PSAPI is missing.
#include <windows.h>
#include <tlhelp32.h>
#include <psapi.h>

#include "runtime/interp/os_process_memory.h"

namespace {

typedef HANDLE(WINAPI* CreateToolhelp32SnapshotFn)(DWORD, DWORD);
typedef BOOL(WINAPI* Heap32ListFirstFn)(HANDLE, LPHEAPLIST32);
typedef BOOL(WINAPI* Heap32ListNextFn)(HANDLE, LPHEAPLIST32);
typedef BOOL(WINAPI* Heap32FirstFn)(LPHEAPENTRY32, DWORD, ULONG_PTR);
typedef BOOL(WINAPI* Heap32NextFn)(LPHEAPENTRY32);
typedef BOOL(WINAPI* GetProcessMemoryInfoFn)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
typedef LONG(WINAPI* NtQueryInformationProcessFn)(HANDLE, int, PVOID, ULONG, PULONG);

const int kProcessVmCounters = 3;

// The kernel's VM_COUNTERS record, as answered for kProcessVmCounters.
struct VmCounters {
    SIZE_T PeakVirtualSize;
    SIZE_T VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};

CRITICAL_SECTION g_lock;
volatile LONG g_lockState = 0;  // 0 none, 1 being created, 2 ready
int g_useCount = 0;
HMODULE g_kernel32 = nullptr;
HMODULE g_psapi = nullptr;
CreateToolhelp32SnapshotFn g_createSnapshot = nullptr;
Heap32ListFirstFn g_heapListFirst = nullptr;
Heap32ListNextFn g_heapListNext = nullptr;
Heap32FirstFn g_heapFirst = nullptr;
Heap32NextFn g_heapNext = nullptr;
GetProcessMemoryInfoFn g_getProcessMemoryInfo = nullptr;
NtQueryInformationProcessFn g_ntQueryInformationProcess = nullptr;

void DeleteLock() {
    if (g_lockState == 2) DeleteCriticalSection(&g_lock);
}

void EnsureLock() {
    if (g_lockState == 2) return;
    if (InterlockedCompareExchange(&g_lockState, 1, 0) == 0) {
        InitializeCriticalSection(&g_lock);
        InterlockedExchange(&g_lockState, 2);
        atexit(DeleteLock);
        return;
    }
    while (g_lockState != 2) Sleep(0);
}

class LockHold {
public:
    LockHold() {
        EnsureLock();
        EnterCriticalSection(&g_lock);
    }
    ~LockHold() { LeaveCriticalSection(&g_lock); }
};

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool IsWindows9x() {
    OSVERSIONINFOA vi;
    ZeroMemory(&vi, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    return GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void BindQueryFunctions() {
    if (IsWindows9x()) {
        g_kernel32 = LoadLibraryA("kernel32.dll");
        if (!g_kernel32) return;
        g_createSnapshot = Bind<CreateToolhelp32SnapshotFn>(g_kernel32, "CreateToolhelp32Snapshot");
        g_heapListFirst = Bind<Heap32ListFirstFn>(g_kernel32, "Heap32ListFirst");
        g_heapListNext = Bind<Heap32ListNextFn>(g_kernel32, "Heap32ListNext");
        g_heapFirst = Bind<Heap32FirstFn>(g_kernel32, "Heap32First");
        g_heapNext = Bind<Heap32NextFn>(g_kernel32, "Heap32Next");
        return;
    }
    g_psapi = LoadLibraryA("PSAPI.DLL");
    if (g_psapi) g_getProcessMemoryInfo = Bind<GetProcessMemoryInfoFn>(g_psapi, "GetProcessMemoryInfo");
    if (!g_getProcessMemoryInfo) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        if (ntdll) g_ntQueryInformationProcess = Bind<NtQueryInformationProcessFn>(ntdll, "NtQueryInformationProcess");
    }
}

void UnbindQueryFunctions() {
    if (g_kernel32) FreeLibrary(g_kernel32);
    if (g_psapi) FreeLibrary(g_psapi);
    g_kernel32 = nullptr;
    g_psapi = nullptr;
    g_createSnapshot = nullptr;
    g_heapListFirst = nullptr;
    g_heapListNext = nullptr;
    g_heapFirst = nullptr;
    g_heapNext = nullptr;
    g_getProcessMemoryInfo = nullptr;
    g_ntQueryInformationProcess = nullptr;
}

bool ToolhelpAvailable() {
    return g_createSnapshot && g_heapListFirst && g_heapListNext && g_heapFirst && g_heapNext;
}

bool QueryAvailable() { return ToolhelpAvailable() || g_getProcessMemoryInfo || g_ntQueryInformationProcess; }

// Sum of the blocks in use in every heap of this process.
std::size_t HeapBytesInUse() {
    HANDLE snapshot = g_createSnapshot(TH32CS_SNAPHEAPLIST, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    std::size_t total = 0;
    HEAPLIST32 list;
    list.dwSize = sizeof list;
    for (BOOL more = g_heapListFirst(snapshot, &list); more; more = g_heapListNext(snapshot, &list)) {
        HEAPENTRY32 entry;
        entry.dwSize = sizeof entry;
        for (BOOL block = g_heapFirst(&entry, list.th32ProcessID, list.th32HeapID); block;
             block = g_heapNext(&entry)) {
            if (entry.dwFlags != LF32_FREE) total += entry.dwBlockSize;
        }
    }
    CloseHandle(snapshot);
    return total;
}

}  // namespace

void InitProcessMemoryLock() { EnsureLock(); }

int LoadProcessMemoryApi() {
    LockHold hold;
    if (g_useCount == 0) BindQueryFunctions();
    ++g_useCount;
    return QueryAvailable() ? 1 : 0;
}

int FreeProcessMemoryApi() {
    LockHold hold;
    if (g_useCount > 0 && --g_useCount == 0) UnbindQueryFunctions();
    return 1;
}

std::size_t GetProcessUsedMemory() {
    LockHold hold;
    if (g_useCount == 0) return 0;
    if (g_getProcessMemoryInfo) {
        PROCESS_MEMORY_COUNTERS counters;
        ZeroMemory(&counters, sizeof counters);
        counters.cb = sizeof counters;
        if (g_getProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return counters.PagefileUsage;
        return 0;
    }
    if (g_ntQueryInformationProcess) {
        VmCounters counters;
        ZeroMemory(&counters, sizeof counters);
        if (g_ntQueryInformationProcess(GetCurrentProcess(), kProcessVmCounters, &counters, sizeof counters,
                                        nullptr) == 0)
            return counters.PagefileUsage;
        return 0;
    }
    if (ToolhelpAvailable()) return HeapBytesInUse();
    return 0;
}
