#pragma once
// The script classes over the controls that hold a position in a range:
// "ScrollBar" (a "SCROLLBAR" control, or one of a script window's own bars),
// "Slider" (the trackbar), "Spin" (the up-down control, usually with an edit
// field as its buddy) and "ProgressBar". Each adds a hook to its parent
// window: the scroll bar, slider and spin turn WM_HSCROLL / WM_VSCROLL into
// coalesced "OnScroll" events; the progress bar's handles nothing.
#include "ui/ci_notify_control.h"
#include "ui/range_rules.h"

#include <cstdint>

class CIEdit;

// Creation shared by the four: the argument set, then the class's sizes.
class CIRangeControl : public CINotifyControl {
public:
    CIRangeControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass, WindowMessageHook hook,
                   uint32_t createMask);
    void ConstructFromArgs() override;

    CFunctionRecord* m_onScroll = nullptr;

protected:
    // After the arguments: the sizes nothing gave, the extras.
    virtual void ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven);
    // The window, the hook and the place in the parent's list.
    virtual void CreateAndAttach() { AssignInstanceNumber(); }
    int32_t StoreOnScroll();
    bool Given(int32_t i);
    int32_t IntArg(int32_t i, int32_t fallback);
    intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Posts "OnScroll" with the control and up to two integers.
    void PostScroll(int32_t argc, int32_t a1, int32_t a2);

private:
    uint32_t m_createMask;
};

class CIScrollBar : public CIRangeControl {
public:
    explicit CIScrollBar(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    uint32_t AssignInstanceNumber() override { return CIChildWindow::AssignInstanceNumber(); }
    void SetBackColorValue(uint32_t colour) override;

    // One of the window's own bars (vertical: SBS_VERT); null when no
    // object can be made.
    static CIScrollBar* AttachToWindow(CIWindow* window, uint32_t style);
    // The system colours, the window (a new control, or the given window's
    // own bar), the hook and the initial range 0 to 100, page 1.
    void CreateBar(void* existing);
    // SB_CTL for a standalone bar, else SB_HORZ or SB_VERT.
    int32_t Bar() const;
    // A WM_HSCROLL / WM_VSCROLL of this bar: the new position, the event,
    // and one tick so that it is delivered inside the modal scroll loop.
    void Scrolled(int32_t code, int32_t thumb);

    // Geometry: a standalone bar's fields; a window's own bar lies along
    // its parent's client edge.
    int32_t LeftPos();
    int32_t TopPos();
    int32_t WidthValue();
    int32_t HeightValue();

    int32_t m_standalone = 1;
    int32_t m_defaultColour = 1;

protected:
    void ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven) override;
    void CreateAndAttach() override;

private:
    int32_t GetPos();
    int32_t SetRange();
    int32_t SetPos();
    int32_t SetPageSize();
    int32_t OnScroll() { return StoreOnScroll(); }
    // Common members whose answer a window's own bar shifts.
    bool CallOwnBarGeometry(int32_t memberId);

    CIWindow* m_owner = nullptr;  // the window whose own bar this is
};

class CISlider : public CIRangeControl {
public:
    explicit CISlider(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;

protected:
    void ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven) override;

private:
    int32_t SetRange();
    int32_t GetTick();
    int32_t SetSelection();
    int32_t GetTickPos();
    int32_t OnScroll() { return StoreOnScroll(); }
};

class CISpin : public CIRangeControl {
public:
    explicit CISpin(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    uint32_t AssignInstanceNumber() override { return CIChildWindow::AssignInstanceNumber(); }
    // The buddy going: the spin goes with it.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;

    CIEdit* m_buddy = nullptr;

protected:
    void ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven) override;
    void CreateAndAttach() override;

private:
    int32_t SetRange();
    int32_t GetRangeBound();
    int32_t SetPos();
    int32_t SetBuddy();
    int32_t GetBuddy();
    int32_t AddAccel();
    int32_t RemoveAccel();
    int32_t GetAccel();
    int32_t OnScroll() { return StoreOnScroll(); }
    // The current steps in a block with room for one more (error 15 when
    // memory is short); free with FreeAndNull.
    CAccelStep* ReadAccel(uint32_t* count);
};

class CIProgressBar : public CIRangeControl {
public:
    explicit CIProgressBar(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;

private:
    int32_t SetRange();
};

void RegisterRangeClasses();
