#pragma once
// CIStaticText: the script class "StaticText", a label, frame or rectangle
// of the "STATIC" window class that sizes itself to its text and reports
// clicks (STN_CLICKED, STN_DBLCLK) through its parent window.
#include "ui/ci_notify_control.h"

class CIStaticText : public CINotifyControl {
public:
    explicit CIStaticText(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    // Codes 0 and 1 are always handled; the event goes only to a handler.
    bool Notify(int32_t code) override;
    uint32_t AssignInstanceNumber() override;
    void Destroy(int32_t releaseAll) override;
    // Repaints every visible static text of the interpreter now (the end of
    // the refresh pass), so that labels over changing content stay visible.
    static void RedrawAll(CInterpretor* interpretor);

protected:
    void ApplyDefaults(const CValue* const* extras) override;

private:
    int32_t OnClick() { return StoreHandler(kOnClick); }
    int32_t OnDblClick() { return StoreHandler(kOnDblClick); }
};

void RegisterStaticTextClass();
