#pragma once
// LManageCLBKObject: the base of engine objects tied to a script-side owner.
// It holds one callback object and tells it, through the callback's first
// virtual operation, when the engine object is destroyed, so the owner can
// drop its pointer.
#include <cstdint>

class LCLBKObject {
public:
    // The engine object `object` (the LManageCLBKObject part) is going away.
    virtual void EngineObjectDestroyed(void* object) = 0;

protected:
    ~LCLBKObject() = default;
};

class LManageCLBKObject {
public:
    explicit LManageCLBKObject(LCLBKObject* callback = nullptr) : m_callback(callback) {}
    LManageCLBKObject(const LManageCLBKObject&) = delete;
    LManageCLBKObject& operator=(const LManageCLBKObject&) = delete;
    virtual ~LManageCLBKObject() {
        if (m_callback) m_callback->EngineObjectDestroyed(this);
    }

    LCLBKObject* GetCallback() const { return m_callback; }
    // The owner detaches itself (or a new one attaches) without a notice.
    void SetCallback(LCLBKObject* callback) { m_callback = callback; }

private:
    LCLBKObject* m_callback;
};
