#pragma once
// The redraw client base, part of the script-class API.
#include <cstdint>

class CInterpretor;

// CIRefresh: base of objects that must be redrawn. Registers itself in the
// interpreter's redraw list; RefreshAll redraws the dirty ones.
class CIRefresh {
public:
    CIRefresh(CInterpretor* interpretor, bool atHead);
    virtual ~CIRefresh();
    CIRefresh(const CIRefresh&) = delete;
    CIRefresh& operator=(const CIRefresh&) = delete;

    virtual void Refresh();  // clears the dirty flag
    virtual int32_t IsDirty();
    virtual int32_t SetDirty();  // also requests a refresh of the interpreter; 1
    virtual int32_t IsLate();    // 1: redrawn in the last pass
    void Unregister();

    int32_t m_dirty = 1;
    uint32_t m_redrawPosition = 0;
    CInterpretor* m_refreshOwner;
};
