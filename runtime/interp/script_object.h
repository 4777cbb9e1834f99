#pragma once
// CIBaseClassImpl: base of every object a script can hold.
//
// An object knows its interpreter and class, is numbered per class, lives in
// its class's instance list of the interpreter (newest first), and counts the
// script values (tag 3) that reference it. It also remembers their addresses,
// so that destroying the object turns every one of them into integer 0 and no
// reference ever dangles.
#include <cstdint>

class CInterpretor;
class CValue;
struct CClassRecord;  // the interpreter's record of a script class (class registry)

class CIBaseClassImpl {
public:
    // Stores owner, class record and class id (the class factory passes the
    // record's id; 0 for an object without record). When link is set the
    // object goes to the head of its class's instance list.
    CIBaseClassImpl(CInterpretor* interpretor, CClassRecord* classRecord, uint32_t classId, bool link);
    // Sets every referring value to integer 0 without touching this object.
    virtual ~CIBaseClassImpl();
    CIBaseClassImpl(const CIBaseClassImpl&) = delete;
    CIBaseClassImpl& operator=(const CIBaseClassImpl&) = delete;

    // The seven operations every script class may override.
    virtual void CallMember(int32_t memberId);  // script classes dispatch the member id
    // Leaves the class's instance list; derived classes also free their
    // resources and delete the object. releaseAll = 1 while the interpreter
    // releases everything.
    virtual void Destroy(int32_t releaseAll);
    virtual int32_t OnObjectDeleted(CIBaseClassImpl* object);  // 0; owners of references override
    virtual void ConstructFromArgs();                           // derived classes read arguments first
    virtual uint32_t AssignInstanceNumber();                    // next serial of the class; sets alive
    virtual void MarkDead();
    virtual int32_t IsReferenced();

    // 1 when recorded, 0 when the referrer array could not grow.
    int32_t AddReferrer(CValue* value);
    // The last entry fills the hole; nothing when the value is absent.
    void RemoveReferrer(CValue* value);
    // 1 and sets the busy flag when it was clear; 0 when already busy.
    int32_t SetBusyOnce();
    void UnlinkFromClassList();

    CInterpretor* m_interpretor;
    CValue** m_referrers = nullptr;
    int32_t m_referrerCount = 0;
    int32_t m_referrerCapacity = 0;
    uint32_t m_instanceNumber = 0;
    CClassRecord* m_classRecord;
    uint32_t m_listPosition = 0;  // position in the class's instance list, 0 = not listed
    int32_t m_alive = 0;
    // Script calls running with this object as This (it may not be deleted
    // under them).
    int32_t m_activeCalls = 0;
    int32_t m_busy = 0;
    uint32_t m_classId;
    int32_t m_refCount = 0;  // values of tag 3 holding this object
};
