#pragma once
// The program's own small COM class that makes the rich edit control's OLE
// callback: the class factory CRichCtrnClassFactory (registered with COM by
// each rich edit object), the object CRichCtrn (aggregatable) and the
// callback interface CImpIRichEditOleCallback it owns. Nothing here lets a
// C++ exception out: these run inside COM and the control.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

// The fixed class identifier of CRichCtrn.
extern const CLSID kClsidRichCtrn;
extern const IID kIidRichEditOleCallback;

class CRichCtrnClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Objects of the three classes alive now (for leak checks).
    static LONG LiveObjects();

    CRichCtrnClassFactory();
    virtual ~CRichCtrnClassFactory();

private:
    LONG m_refs = 0;
};

class CImpIRichEditOleCallback;

class CRichCtrn : public IUnknown {
public:
    explicit CRichCtrn(IUnknown* outer);
    virtual ~CRichCtrn();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    LONG m_refs = 0;
    IUnknown* m_outer;
    CImpIRichEditOleCallback* m_callback = nullptr;
};

class CImpIRichEditOleCallback : public IRichEditOleCallback {
public:
    CImpIRichEditOleCallback(CRichCtrn* owner, IUnknown* controlling);
    virtual ~CImpIRichEditOleCallback();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override;

    LONG m_refs = 0;
    CRichCtrn* m_owner;
    IUnknown* m_controlling;
};
