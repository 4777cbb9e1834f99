#pragma once
// CIChildWindow: the base of every script class that owns a window (the
// top-level script window and the controls). It holds the window, the parent
// script window, geometry, styles, colours, font and private data; parses the
// constructor's arguments; creates the window; and answers the 37 members
// every control shows (ids 1 to 37; the window shows them as 64 to 100).
//
// Changes of visibility, position, size, z-order and style are deferred: the
// members record them and the redraw pass (Refresh) applies them together,
// one SetWindowPos per window; an optional last argument 1 applies at once.
#include "graphics2d/font_container.h"
#include "runtime/classes/script_class.h"
#include "ui/control_constants.h"

#include <cstdint>

class CIWindow;

constexpr int32_t kUnsetCoordinate = INT32_MIN;

class CIChildWindow : public CIBaseClassImpl, public CIRefresh, public CIFontContainer {
public:
    CIChildWindow(CInterpretor* interpretor, uint32_t classId);
    ~CIChildWindow() override;

    // ---- the base operations ----
    // Frees the window (property first, then DestroyWindow), the brush, the
    // place in the parent's list and the redraw registration; then unlinks.
    // Does not delete the object (the classes do).
    void Destroy(int32_t releaseAll) override;
    // The parent window going: this control goes with it.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    // Appends the object to its parent's control list; then the numbering.
    uint32_t AssignInstanceNumber() override;
    int32_t IsReferenced() override { return 1; }

    // ---- window operations ----
    virtual void SetColorValue(uint32_t colour);
    virtual void SetBackColorValue(uint32_t colour);
    virtual void AttachFont(CIFontBase* font);
    // Stores the size; immediate: SetWindowPos now, else deferred (with a
    // deferred restore of a maximised window).
    virtual void Resize(int32_t width, int32_t height, int32_t immediate);
    // 0: Tab moves the focus to the next control; a control that takes Tab
    // itself answers non-zero.
    virtual int32_t WantsTabKey() { return 0; }
    // The container's font also goes to the window (WM_SETFONT), so that a
    // font that goes away never stays selected in a window.
    void SetFont(CIFontBase* font) override;

    // ---- CIRefresh: the redraw pass applies the deferred changes ----
    void Refresh() override;
    int32_t IsLate() override { return m_window != nullptr; }

    // ---- helpers of the control classes ----
    void SetDefaultRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style, uint32_t exStyle);
    void AddConstantTable(const uint32_t* table, uint32_t id) { m_constants.Add(table, id); }
    // The value and flag word of a constant; 0 when no table of the object
    // knows it; runtime error 14 for a bad index or kind.
    uint32_t LookupConstant(uint32_t constant, uint32_t* kind);
    // Reads the constructor's arguments from `first` on (at most count of
    // them) into the fields; values nothing takes go to extras (at most 6,
    // null-terminated) or raise 14. Answers the index after the last read.
    static constexpr int32_t kMaxExtras = 6;
    static constexpr uint32_t kAcceptX = 0x1, kAcceptY = 0x2, kAcceptWidth = 0x4, kAcceptHeight = 0x8,
                              kAcceptText = 0x20, kAcceptParent = 0x80, kAcceptStyles = 0x100,
                              kAcceptOptions1 = 0x400, kAcceptOptions2 = 0x800, kNeedsParent = 0x40000000,
                              kSizeFirst = 0x80000000u;
    int32_t ParseCreateArguments(uint32_t mask, const CValue** extras, int32_t first, int32_t count);
    // Creates the window (or takes `existing`) invisible, with the GUI font;
    // the show is deferred to the next redraw pass. Flags: bit 0 keeps
    // WS_CHILD (with a parent handle), bit 1 sets the object property.
    void* CreateControlWindow(const char* className, void* menu, void* existing, uint32_t flags);
    void GetTextSize(int32_t* cx, int32_t* cy);
    bool IsFocusable();
    // One argument 0xRRGGBB, or red, green, blue (an omitted channel keeps
    // the old one's); answers a COLORREF.
    uint32_t ReadColorArguments(uint32_t old);
    // The handle that members target: the host window when set.
    void* TargetWindow() const { return m_hostWindow != nullptr ? m_hostWindow : m_window; }
    // Runtime error 112 unless a script constructor made the object.
    void RequireScriptCreated();
    // Calls common member 1 to 37.
    void CallCommonMember(int32_t index);
    // A deferred show command for the next redraw pass.
    void DeferShow(int32_t command);
    void DeferMove() { m_positionFlags &= ~kMoveBit; m_refreshPending = 1; }
    void ApplyPendingShows();

    static constexpr uint32_t kMoveBit = 0x2, kSizeBit = 0x1, kZOrderBit = 0x4;

    // ---- fields ----
    int32_t m_exStyleChanged = 0;
    int32_t m_styleChanged = 0;
    int32_t m_scriptCreated = 1;
    int32_t m_propertySet = 0;
    CFunctionRecord* m_keyDownHandler = nullptr;
    CFunctionRecord* m_keyUpHandler = nullptr;
    CIWindow* m_parent = nullptr;
    void* m_hostWindow = nullptr;
    void* m_window = nullptr;
    uint32_t m_style;
    uint32_t m_exStyle = 0;
    uint32_t m_options1 = 0;
    uint32_t m_options2 = 0;
    int32_t m_x = kUnsetCoordinate;
    int32_t m_y = kUnsetCoordinate;
    int32_t m_width = 640;
    int32_t m_height = 480;
    const char* m_text = nullptr;
    intptr_t m_insertAfter = 0;
    uint32_t m_positionFlags;
    int32_t m_pendingShow[12] = {};
    int32_t m_refreshPending = 0;
    uint32_t m_textColour;
    uint32_t m_backColour;
    int32_t m_brushOwned = 0;
    void* m_brush = nullptr;
    int32_t m_borders[4] = {};  // left, top, right, bottom
    CValue m_privateData;
    CConstantTables m_constants;

protected:
    // Z-order change to insertAfter (0 top, 1 bottom, -1 topmost).
    void ChangeZOrder(intptr_t insertAfter, int32_t immediate);
    int32_t Answer(int32_t value);
    int32_t ImmediateArg(int32_t index);

private:
    // Common members.
    int32_t GetX();
    int32_t GetY();
    int32_t GetWidth();
    int32_t GetHeight();
    int32_t Show();
    int32_t Hide();
    int32_t IsVisible();
    int32_t SetPosition();
    int32_t SetSize();
    int32_t ToBack();
    int32_t SetTopMost();
    int32_t Enable();
    int32_t Disable();
    int32_t IsEnabled();
    int32_t SetText();
    int32_t GetText();
    int32_t ToFront();
    int32_t GetXMouse();
    int32_t GetYMouse();
    int32_t SetColor();
    int32_t SetBackColor();
    int32_t GetColor();
    int32_t GetBackColor();
    int32_t SetFontMember();
    int32_t GetFontMember();
    int32_t GetParentWindow();
    int32_t HasAttribute();
    int32_t SetPrivateData();
    int32_t GetPrivateData();
    int32_t GetXScreen();
    int32_t GetYScreen();
    int32_t GetXWindow();
    int32_t GetYWindow();
    int32_t SetFocusMember();
    int32_t HasFocus();
    int32_t OnKeyDown();
    int32_t OnKeyUp();
    int32_t Convert(bool toScreen, bool xAxis);
};

// The script object of a window (its "iobj" property); null without one.
CIChildWindow* WindowObjectOf(void* window);
