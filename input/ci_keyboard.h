#pragma once
// CIKeyboard: the script class "Keyboard", a global object. As a message
// filter it sees every pumped message first and turns the keys of script
// windows and controls into their events: Tab walks the focus among a
// window's controls (and is consumed), other keys post "OnKeyDown" and
// "OnKeyUp" with the virtual-key code when the object has a handler.
// "IsKeyDown" comes with the game input; until then it raises 38.
#include "runtime/classes/script_class.h"
#include "runtime/interp/message_filters.h"

class CIChildWindow;

class CIKeyboard : public CIBaseClassImpl, public CIBaseMessages {
public:
    explicit CIKeyboard(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    int32_t Filter(const OsMessage& message) override;

    static constexpr uint32_t kKeyDown = 0x0100, kKeyUp = 0x0101, kTab = 9;

private:
    // Runs the filter's work; errors are the caller's to catch.
    int32_t FilterKey(CIChildWindow* object, const OsMessage& message);
};

void RegisterKeyboardClass();
