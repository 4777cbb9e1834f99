#pragma once
// What the rich edit control needs of the system beyond the edit messages:
// its library, the OLE callback that COM makes for it, and streaming text in
// and out. The native stand-in has no OLE: its callback is never made, so
// the control there takes the path of a system without one (no window).
#include <cstdint>

class CInterpretor;
class CStream;

// Rich edit messages and flags (the Windows values).
enum : uint32_t {
    kEmSetMargins = 0xD3, kEmCanPaste = 0x432, kEmExGetSel = 0x434, kEmExLimitText = 0x435,
    kEmExLineFromChar = 0x436, kEmExSetSel = 0x437, kEmFindText = 0x438, kEmGetCharFormat = 0x43A,
    kEmGetOleInterface = 0x43C, kEmHideSelection = 0x43F, kEmSelectionType = 0x442, kEmSetBkgndColor = 0x443,
    kEmSetCharFormat = 0x444, kEmSetEventMask = 0x445, kEmSetOleCallback = 0x446, kEmGetTextRange = 0x44B,
};
constexpr uint32_t kCfmBold = 0x1, kCfmItalic = 0x2, kCfmUnderline = 0x4, kCfmStrikeOut = 0x8,
                   kCfmFace = 0x20000000, kCfmColor = 0x40000000, kCfmSize = 0x80000000u;
constexpr uint32_t kCfeAutoColor = 0x40000000;
constexpr uint32_t kSfText = 1, kSfRtf = 2;
constexpr intptr_t kSelText = 1, kSelMultiChar = 4;
constexpr uint32_t kScfSelection = 1, kEcLeftMargin = 1, kEcRightMargin = 2;

// The layouts of CHARRANGE, FINDTEXTA, TEXTRANGEA and CHARFORMATA (60 bytes).
struct RichCharRange {
    int32_t min;
    int32_t max;
};
struct RichFindText {
    RichCharRange range;
    const char* text;
};
struct RichTextRange {
    RichCharRange range;
    char* text;
};
struct RichCharFormat {
    uint32_t size = 60;
    uint32_t mask = 0;
    uint32_t effects = 0;
    int32_t height = 0;
    int32_t offset = 0;
    uint32_t colour = 0;
    uint8_t charSet = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

// LoadLibraryA("RICHED32.DLL") and FreeLibrary; null when it cannot load.
void* OsLoadRichEditLibrary();
void OsFreeRichEditLibrary(void* module);

// One control's OLE state: OleInitialize, its class factory registered with
// COM (CLSCTX_LOCAL_SERVER, one registration per control) and the callback
// COM made from it; callback null when it could not.
struct OsRichEditOle {
    void* factory = nullptr;
    void* callback = nullptr;
    uint32_t cookie = 0;
    bool initialized = false;
};
void OsStartRichEditOle(OsRichEditOle* ole);
// Releases the callback and clears it.
void OsReleaseRichEditCallback(OsRichEditOle* ole);
// Revokes the registration, releases the factory, OleUninitialize.
void OsStopRichEditOle(OsRichEditOle* ole);
// The three messages of a new window: every notification on, its
// IRichEditOle (answered, not owned), and the callback.
void* OsAttachRichEditOle(void* window, void* callback);

// EM_STREAMIN of a stream as SF_TEXT or SF_RTF: 1 when the stream ended
// without error. Errors raised while reading wait in the interpreter's
// pending-error slot.
int32_t OsRichEditStreamIn(CInterpretor* in, void* window, uint32_t format, CStream* stream);
// EM_STREAMOUT into a temporary file beside `path`, which replaces the file
// only when everything was written: 1, else 0 with the old file kept.
int32_t OsRichEditStreamOut(CInterpretor* in, void* window, uint32_t format, const char* path);
