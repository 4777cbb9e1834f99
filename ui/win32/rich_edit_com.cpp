#include "ui/win32/rich_edit_com.h"

#include <new>

// fe384ddb-5c68-4d70-9b61-37900f959394: generated once for this program.
const CLSID kClsidRichCtrn = {0xfe384ddb, 0x5c68, 0x4d70, {0x9b, 0x61, 0x37, 0x90, 0x0f, 0x95, 0x93, 0x94}};
const IID kIidRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

LONG g_live = 0;

bool Is(REFIID a, const IID& b) { return IsEqualIID(a, b) != 0; }

}  // namespace

// ---- the class factory ----

CRichCtrnClassFactory::CRichCtrnClassFactory() { InterlockedIncrement(&g_live); }
CRichCtrnClassFactory::~CRichCtrnClassFactory() { InterlockedDecrement(&g_live); }

LONG CRichCtrnClassFactory::LiveObjects() { return g_live; }

HRESULT CRichCtrnClassFactory::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    if (Is(iid, IID_IUnknown) || Is(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CRichCtrnClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

ULONG CRichCtrnClassFactory::Release() {
    const LONG left = InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CRichCtrnClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (outer != nullptr && !Is(iid, IID_IUnknown))
        return E_NOINTERFACE;
    CRichCtrn* object = new (std::nothrow) CRichCtrn(outer);
    if (object == nullptr)
        return E_OUTOFMEMORY;
    object->m_callback =
        new (std::nothrow) CImpIRichEditOleCallback(object, outer != nullptr ? outer : static_cast<IUnknown*>(object));
    if (object->m_callback == nullptr) {
        delete object;
        return E_OUTOFMEMORY;
    }
    const HRESULT result = object->QueryInterface(iid, out);
    if (FAILED(result))
        delete object;  // deletes its callback too
    return result;
}

HRESULT CRichCtrnClassFactory::LockServer(BOOL lock) {
    CoLockObjectExternal(static_cast<IUnknown*>(this), lock, TRUE);
    return S_OK;
}

// ---- the object ----

CRichCtrn::CRichCtrn(IUnknown* outer) : m_outer(outer) { InterlockedIncrement(&g_live); }

CRichCtrn::~CRichCtrn() {
    delete m_callback;
    InterlockedDecrement(&g_live);
}

HRESULT CRichCtrn::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (Is(iid, IID_IUnknown))
        *out = static_cast<IUnknown*>(this);
    else if (Is(iid, kIidRichEditOleCallback) && m_callback != nullptr)
        *out = static_cast<IRichEditOleCallback*>(m_callback);
    else
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

ULONG CRichCtrn::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

ULONG CRichCtrn::Release() {
    const LONG left = InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// ---- the callback ----

CImpIRichEditOleCallback::CImpIRichEditOleCallback(CRichCtrn* owner, IUnknown* controlling)
    : m_owner(owner), m_controlling(controlling) {
    InterlockedIncrement(&g_live);
}

CImpIRichEditOleCallback::~CImpIRichEditOleCallback() { InterlockedDecrement(&g_live); }

HRESULT CImpIRichEditOleCallback::QueryInterface(REFIID iid, void** out) {
    return m_controlling->QueryInterface(iid, out);
}

ULONG CImpIRichEditOleCallback::AddRef() {
    InterlockedIncrement(&m_refs);
    return m_controlling->AddRef();
}

ULONG CImpIRichEditOleCallback::Release() {
    InterlockedDecrement(&m_refs);
    return m_controlling->Release();  // may delete this object with its owner
}

HRESULT CImpIRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
    if (storage == nullptr)
        return E_INVALIDARG;
    *storage = nullptr;
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes)) || bytes == nullptr)
        return E_OUTOFMEMORY;
    if (FAILED(StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage)) ||
        *storage == nullptr) {
        *storage = nullptr;
        bytes->Release();
        return E_OUTOFMEMORY;
    }
    // The storage holds its own reference to the bytes.
    bytes->Release();
    return S_OK;
}

HRESULT CImpIRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*, LPOLEINPLACEFRAMEINFO) {
    return E_NOTIMPL;
}
HRESULT CImpIRichEditOleCallback::ShowContainerUI(BOOL) { return E_NOTIMPL; }
HRESULT CImpIRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }
HRESULT CImpIRichEditOleCallback::DeleteObject(LPOLEOBJECT) { return S_OK; }
HRESULT CImpIRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) { return E_NOTIMPL; }
HRESULT CImpIRichEditOleCallback::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT CImpIRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) { return E_NOTIMPL; }
HRESULT CImpIRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) { return E_NOTIMPL; }

HRESULT CImpIRichEditOleCallback::GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) {
    if (drag || effect == nullptr)
        return S_OK;
    DWORD wanted = DROPEFFECT_MOVE;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
        wanted = DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL)
        wanted = DROPEFFECT_COPY;
    if (*effect & wanted)
        *effect = wanted;
    return S_OK;
}
