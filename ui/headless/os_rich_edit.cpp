// Without OLE or the rich edit library: the callback is never made, so a
// rich edit object lives without a window; the library "loads" as a marker
// so that its reference rules still run.
#include "ui/os_rich_edit.h"

namespace {
int g_libraryMarker;
}  // namespace

void* OsLoadRichEditLibrary() { return &g_libraryMarker; }
void OsFreeRichEditLibrary(void*) {}

void OsStartRichEditOle(OsRichEditOle* ole) { ole->initialized = true; }
void OsReleaseRichEditCallback(OsRichEditOle* ole) { ole->callback = nullptr; }
void OsStopRichEditOle(OsRichEditOle* ole) { ole->initialized = false; }
void* OsAttachRichEditOle(void*, void*) { return nullptr; }

int32_t OsRichEditStreamIn(CInterpretor*, void*, uint32_t, CStream*) { return 0; }
int32_t OsRichEditStreamOut(CInterpretor*, void*, uint32_t, const char*) { return 0; }
