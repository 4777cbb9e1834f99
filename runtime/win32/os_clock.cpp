#include "runtime/os_clock.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t OsTimeMs() {
    return static_cast<uint32_t>(timeGetTime());
}
