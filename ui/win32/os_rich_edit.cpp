// The rich edit control's library, its OLE callback and its EDITSTREAM
// transfers. The stream callbacks run inside the control: they catch every
// exception and keep a script error in the interpreter's pending slot.
#include "ui/os_rich_edit.h"

#include "runtime/classes/script_class.h"
#include "runtime/io/file_helpers.h"
#include "runtime/io/io_status.h"
#include "runtime/io/stream.h"
#include "ui/win32/rich_edit_com.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <string>

static_assert(sizeof(RichCharFormat) == sizeof(CHARFORMATA), "CHARFORMATA layout");
static_assert(offsetof(RichCharFormat, faceName) == offsetof(CHARFORMATA, szFaceName), "CHARFORMATA layout");
static_assert(offsetof(RichCharFormat, colour) == offsetof(CHARFORMATA, crTextColor), "CHARFORMATA layout");
static_assert(sizeof(RichFindText) == sizeof(FINDTEXTA) && sizeof(RichTextRange) == sizeof(TEXTRANGEA),
              "FINDTEXTA and TEXTRANGEA layouts");
static_assert(kEmFindText == EM_FINDTEXT && kEmGetTextRange == EM_GETTEXTRANGE && kEmSetOleCallback == EM_SETOLECALLBACK &&
                  kEmSelectionType == EM_SELECTIONTYPE && kEmSetBkgndColor == EM_SETBKGNDCOLOR &&
                  kEmExLineFromChar == EM_EXLINEFROMCHAR && kEmHideSelection == EM_HIDESELECTION &&
                  kEmGetOleInterface == EM_GETOLEINTERFACE && kEmSetMargins == EM_SETMARGINS,
              "rich edit messages");
static_assert(kCfmSize == CFM_SIZE && kCfmFace == CFM_FACE && kCfmColor == CFM_COLOR && kCfeAutoColor == CFE_AUTOCOLOR,
              "character format masks");

void* OsLoadRichEditLibrary() { return LoadLibraryA("RICHED32.DLL"); }

void OsFreeRichEditLibrary(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

namespace {

// Some COM implementations (Wine's) answer a second registration of a class
// that is already registered for several uses with success but no cookie:
// they fold it into the first by locking that class object externally, a
// lock nothing revokes, which would keep the first object's factory alive
// for good. The callback comes from the first factory either way, so the
// lock is given back at once.
void GiveBackFoldedLock() {
    IUnknown* registered = nullptr;
    if (FAILED(CoGetClassObject(kClsidRichCtrn, CLSCTX_LOCAL_SERVER, nullptr, IID_IUnknown,
                                reinterpret_cast<void**>(&registered))) ||
        registered == nullptr)
        return;
    CoLockObjectExternal(registered, FALSE, TRUE);
    registered->Release();
}

}  // namespace

void OsStartRichEditOle(OsRichEditOle* ole) {
    // Only a successful OleInitialize (S_FALSE too) is balanced later.
    ole->initialized = SUCCEEDED(OleInitialize(nullptr));
    auto* factory = new (std::nothrow) CRichCtrnClassFactory;
    if (factory == nullptr)
        return;
    factory->AddRef();
    ole->factory = factory;
    DWORD cookie = 0;
    if (SUCCEEDED(CoRegisterClassObject(kClsidRichCtrn, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
        ole->cookie = cookie;
        if (cookie == 0)
            GiveBackFoldedLock();
    }
    void* callback = nullptr;
    if (FAILED(CoCreateInstance(kClsidRichCtrn, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                kIidRichEditOleCallback, &callback)))
        callback = nullptr;
    ole->callback = callback;
}

void OsReleaseRichEditCallback(OsRichEditOle* ole) {
    if (ole->callback != nullptr)
        static_cast<IUnknown*>(ole->callback)->Release();
    ole->callback = nullptr;
}

void OsStopRichEditOle(OsRichEditOle* ole) {
    if (ole->cookie != 0)
        CoRevokeClassObject(ole->cookie);
    ole->cookie = 0;
    if (ole->factory != nullptr)
        static_cast<IUnknown*>(ole->factory)->Release();
    ole->factory = nullptr;
    if (ole->initialized)
        OleUninitialize();
    ole->initialized = false;
}

void* OsAttachRichEditOle(void* window, void* callback) {
    HWND hwnd = static_cast<HWND>(window);
    SendMessageA(hwnd, EM_SETEVENTMASK, 0, static_cast<LPARAM>(0xFFFFFFFFu));
    IRichEditOle* richOle = nullptr;
    SendMessageA(hwnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richOle));
    SendMessageA(hwnd, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(callback));
    // The control's interface is answered with a reference; the program
    // keeps the pointer only, as a field, so that reference goes back now.
    if (richOle != nullptr)
        richOle->Release();
    return richOle;
}

namespace {

struct StreamCookie {
    CInterpretor* in;
    CStream* stream;
    FileHandle file;
};

// Keeps whatever a callback caught for the operation loop to raise.
template <class F>
DWORD Guarded(CInterpretor* in, F body) {
    try {
        return body();
    } catch (const CIError& error) {
        KeepPendingError(in, error);
    } catch (...) {
        KeepPendingError(in, CIError(15));
    }
    return 1;
}

DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* count) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    *count = 0;
    return Guarded(c->in, [&]() -> DWORD {
        int32_t read = 0;
        const uint32_t status = c->stream->ReadCounted(buffer, wanted, &read);
        *count = read;
        // The end of the data is where every transfer stops, not a failure.
        if (status == kIoOk || status == kIoEndOfData)
            return 0;
        return read == 0 ? 1 : 0;
    });
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* count) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    if (WriteFileChecked(c->file, buffer, size) != kIoOk) {
        *count = 0;
        return 1;
    }
    *count = size;
    return 0;
}

// The folder part of a path (up to its last separator), "." without one.
std::string FolderOf(const char* path) {
    const char* cut = nullptr;
    for (const char* p = path; *p != 0; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            cut = p;
    if (cut == nullptr)
        return ".";
    return std::string(path, static_cast<std::size_t>(cut - path) + (*cut == ':' ? 1 : 0));
}

}  // namespace

int32_t OsRichEditStreamIn(CInterpretor* in, void* window, uint32_t format, CStream* stream) {
    if (window == nullptr || stream == nullptr)
        return 0;
    StreamCookie cookie{in, stream, kNoFileHandle};
    EDITSTREAM es = {};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
    es.pfnCallback = &ReadCallback;
    SendMessageA(static_cast<HWND>(window), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0 ? 1 : 0;
}

int32_t OsRichEditStreamOut(CInterpretor* in, void* window, uint32_t format, const char* path) {
    if (window == nullptr || path == nullptr || path[0] == 0 || IsDirectoryPath(path))
        return 0;
    // Into a new file beside the target, which is replaced only when the
    // whole text was written: a failed save keeps the old file.
    char temp[MAX_PATH];
    const std::string folder = FolderOf(path);
    if (MakeTempFileName(folder.c_str(), "rt", temp, sizeof temp, "tmp", 0, 0) < 0)
        return 0;
    StreamCookie cookie{in, nullptr, CreateNewFileHandle(temp)};
    if (cookie.file == kNoFileHandle)
        return 0;
    EDITSTREAM es = {};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
    es.pfnCallback = &WriteCallback;
    SendMessageA(static_cast<HWND>(window), EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
    CloseFileHandle(cookie.file);
    if (es.dwError != 0 || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}
