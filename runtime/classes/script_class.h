#pragma once
// The script-class API: the one header a native script class includes.
//
// A script class derives from CIBaseClassImpl, is made by the factory of its
// binding (RegisterClassBinding, called from its module's registration
// function), and answers CallMember(memberId) by dispatching the id through a
// table of handlers named by the member enum of its generated table:
//
//     void CIMath::CallMember(int32_t memberId) {
//         static const CDispatchEntry<CIMath> kHandlers[] = {
//             TW_MEMBER(Math, Abs), ...
//         };
//         DispatchMember(this, kHandlers, memberId);
//     }
//
// A handler `int32_t Handler()` reads its arguments from the interpreter's
// current call frame with the Get* functions below and writes its one result
// into *Result(in) (a handler that writes nothing gives integer 0); its return
// value is ignored. Omitted arguments read as the sentinels: text
// "Default string" (always the same pointer), integer 0x80000000, double
// -9999999999.0, float -99999.0. Texts stay valid until the argument cell is
// assigned again. RaiseError never returns: the interpreter unwinds to the run
// step and reports the error with the running line.
//
// The object's life: ConstructFromArgs reads the creation arguments
// ("New Class(args)") and calls AssignInstanceNumber on success (an object
// left not alive is refused: New gives 0 and the object is destroyed).
// Destroy(releaseAll) frees the object (delete this) after the base work;
// OnObjectDeleted(dying) answers non-zero when this object depends on the
// dying one (Delete then destroys it too, for the classes listed as dependents
// of the dying object's class). Class constants come from the registry unless
// the binding supplies a constant function, which writes *Result(in) and may
// read GetCurrentMemberId(in).
#include "runtime/base/ci_error.h"
#include "runtime/classes/class_registry.h"
#include "runtime/interp/refresh_client.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/script_value.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

class CInterpretor;
class CProgramContainer;
class CRunner;
class CSymbolTable;
struct CFunctionRecord;

constexpr int32_t kArgDefaultInt = INT32_MIN;
constexpr double kArgDefaultDouble = -9999999999.0;
constexpr float kArgDefaultFloat = -99999.0f;

// ---- classes ----
// The record the interpreter keeps per class id.
struct CClassRecord {
    CInterpretor* owner = nullptr;
    uint32_t word = 0;
    const CClassInfo* info = nullptr;  // null for class 0 and script objects
    std::string name;
    uint32_t classId = 0;
    const CSymbolTable* index = nullptr;  // member index; null without a class
};

using CClassFactory = CIBaseClassImpl* (*)(CInterpretor* interpretor);
using CConstantFunction = void (*)(CInterpretor* interpretor);
struct CClassBinding {
    CClassFactory factory = nullptr;               // null: "New" raises 38
    CConstantFunction constantFunction = nullptr;  // null: the registry's constant values
};
// Process-wide bindings by class id (1 to 73). Registering replaces the
// previous binding; a null factory removes it.
void RegisterClassBinding(int classId, const CClassBinding& binding);
const CClassBinding* GetClassBinding(int classId);

// The factory of a class whose constructor takes the interpreter.
template <class T>
CIBaseClassImpl* MakeScriptObject(CInterpretor* interpretor) {
    return new T(interpretor);
}

// The interpreter's record of a class id (null without an interpreter): what
// the base constructor of a listed object takes.
CClassRecord* ClassRecordOf(CInterpretor* interpretor, uint32_t classId);
int32_t CountInstances(CInterpretor* interpretor, uint32_t classId);

// ---- the handler convention ----
int32_t GetArgCount(CInterpretor* interpretor);
CValue* GetArg(CInterpretor* interpretor, int32_t i);
bool IsArgDefault(CInterpretor* interpretor, int32_t i);
int32_t GetArgInt(CInterpretor* interpretor, int32_t i);
double GetArgDouble(CInterpretor* interpretor, int32_t i);
float GetArgFloat(CInterpretor* interpretor, int32_t i);
const char* GetArgString(CInterpretor* interpretor, int32_t i);
// Argument i as text, or null when it was omitted.
const char* ArgTextOrNull(CInterpretor* interpretor, int32_t i);
CIBaseClassImpl* GetArgObject(CInterpretor* interpretor, int32_t i);
CIBaseClassImpl* GetArgObjectOfClass(CInterpretor* interpretor, int32_t i, uint32_t classId);
// Which member was called (for handlers and constant functions shared by
// several members).
uint16_t GetCurrentMemberId(CInterpretor* interpretor);
CValue* Result(CInterpretor* interpretor);
[[noreturn]] void RaiseError(CInterpretor* interpretor, int32_t code, int32_t detail = CIError::kNoDetail);

// Dispatch table of a native class: entries {member id, handler}. A table
// listed in member-id order from 1 without gaps is indexed directly; any other
// table is searched. An unknown member id raises runtime error 11.
template <class T>
struct CDispatchEntry {
    uint16_t memberId;
    int32_t (T::*handler)();
};

// An entry whose handler is named as its member: {kMathAbs, &CIMath::Abs}. The
// id and the handler come from one name, so they cannot disagree; a handler
// shared by several members is written out as {kProgramIsApplication, &CIProgram::AnswerOne}.
#define TW_MEMBER(Class, Member) \
    { k##Class##Member, &CI##Class::Member }

template <class T, std::size_t N>
void DispatchMember(T* self, const CDispatchEntry<T> (&table)[N], int32_t memberId) {
    if (memberId >= 1 && static_cast<std::size_t>(memberId) <= N && table[memberId - 1].memberId == memberId) {
        (self->*table[memberId - 1].handler)();
        return;
    }
    for (const CDispatchEntry<T>& entry : table) {
        if (entry.memberId == memberId) {
            (self->*entry.handler)();
            return;
        }
    }
    RaiseError(self->m_interpretor, 11);
}

// Implemented by the String class: the global String object receives the text
// of a literal or a variable whose member is accessed ("abc".Length), and
// "New String(...)" yields the object's text instead of the object.
class CITextSubject {
public:
    virtual void LoadText(const char* text) = 0;
    // The text of a value (a text value; its null text is the empty text).
    virtual void LoadValue(const CValue& text) = 0;
    virtual const char* GetTextValue() = 0;

protected:
    ~CITextSubject() = default;
};

// ---- events ----
// For event members (obj.OnClick = F): expects "=" at the code pointer
// (runtime error 40 otherwise), evaluates the expression and answers the
// function it names, or null for 0.
CFunctionRecord* ReadAssignedFunction(CInterpretor* interpretor);
// Queues a call of handler with up to 8 arguments (null ones read as
// omitted); delivered between two statements. Runtime error 61 when the
// queue is full.
void PostEvent(CInterpretor* interpretor, CFunctionRecord* handler, const CValue* const* args, int count);
// How the Program class logs errors that the script's error handler takes.
using ScriptErrorLogger = void (*)(void* context, const CIError& error, const char* message);
void SetScriptErrorHandler(CInterpretor* interpretor, CFunctionRecord* handler, ScriptErrorLogger logger = nullptr,
                           void* context = nullptr);

// ---- time ----
// Pumps, polls and ticks until ms have passed: 0; 1 when the quit message
// came. WaitUnlessInCall does nothing inside a call of script code from a
// handler.
int32_t Wait(CInterpretor* interpretor, uint32_t ms);
int32_t WaitUnlessInCall(CInterpretor* interpretor, uint32_t ms);
void CollectGarbage(CInterpretor* interpretor);
// Frame cursors advanced on the interpreter's tick: the position to remove
// one by (0 when the list cannot grow).
class CITickClient;
uint32_t AddTickObject(CInterpretor* interpretor, CITickClient* client);
void RemoveTickObject(CInterpretor* interpretor, uint32_t position);

// ---- the program ----
// Program-wide switches and facts that the system, sound and input classes
// read and set.
struct CProgramState {
    int32_t eventsEnabled = 1;
    int32_t collectionThreshold = 1000;  // objects made between two collections
    std::string commandLine;
    int32_t noWait = 0;  // Program.Wait is refused (runtime error 84) while set
#ifdef NDEBUG
    int32_t releaseBuild = 1;
#else
    int32_t releaseBuild = 0;
#endif
    CIBaseClassImpl* gameInput = nullptr;  // the application's default game-input object
    // The installed DirectX version found by the render layer (0: none), and
    // 3D sound: asked for (package setting, Program switches) and in use
    // (asked for and DirectX 6 or later). The Load only names the probe of
    // the version; the first reader runs it, as the probe costs a good part
    // of a second under Wine and most programs never ask.
    uint32_t DirectXVersion();
    int32_t Sound3DUsed();
    int32_t Sound3DRequested() const { return m_sound3DRequested; }
    void SetSound3DRequested(int32_t requested);
    void DeferDirectXVersion(uint32_t (*probe)());

private:
    void SettleDirectXVersion();
    uint32_t (*m_directXProbe)() = nullptr;  // set from the Load until the first reader
    uint32_t m_directXVersion = 0;
    int32_t m_sound3DRequested = 1;
    int32_t m_sound3DUsed = 0;
};
CProgramState& ProgramState(CInterpretor* interpretor);
// The loaded application package and the runner (either may be null).
CProgramContainer* PackageOf(CInterpretor* interpretor);
const CRunner* RunnerOf(CInterpretor* interpretor);

// ---- windows ----
// What the window classes need of the interpreter beyond the handler
// convention: the current window (the target of global window members), the
// coalescing post, the redraw request, one tick of modal loops, and the
// error boundary of window procedures and hooks.
CIBaseClassImpl* GetCurrentWindow(CInterpretor* interpretor);
void SetCurrentWindow(CInterpretor* interpretor, CIBaseClassImpl* window);
// A waiting event of the same handler and target only takes the new arguments.
void PostEventCoalesced(CInterpretor* interpretor, CFunctionRecord* handler, const void* target,
                        const CValue* const* args, int count);
void RequestRefresh(CInterpretor* interpretor);
// One tick of a modal loop: a pending error, tickers, redraw, one event.
void RunTick(CInterpretor* interpretor);
// An error caught at a Win32 callback (which it cannot unwind through): it
// goes to the script's error handler when there is one, else it is kept as
// the pending error (the first one kept wins) and the operation loop raises
// it again.
void KeepPendingError(CInterpretor* interpretor, const CIError& error);
// Deletes the object and its dependants, as Delete does.
void DeleteScriptObject(CInterpretor* interpretor, CIBaseClassImpl* object);
// With no window object left, the run ends at the next check (pending 0).
void EndIfNoWindows(CInterpretor* interpretor);
// True while ReleaseAll destroys every object.
bool IsReleasingAll(CInterpretor* interpretor);
// The package's default background colour of new windows (0xRRGGBB).
uint32_t DefaultWindowColour(CInterpretor* interpretor);
// The runner for the window fields it keeps (main window); null without one.
CRunner* WindowRunnerOf(CInterpretor* interpretor);

// ---- per-interpreter services ----
// A module that needs one object per interpreter (the image-format manager,
// later the sound manager and the socket layer) registers a service from its
// registration function. Each Load of an interpreter calls the services' load
// functions in registration order and keeps what they answer; a null answer
// fails the Load (the services loaded before it are unloaded again). Unload
// calls the unload functions in the reverse order. Registering an id again
// replaces the earlier service.
enum CInterpreterServiceId : int32_t {
    kServiceImageFormats = 1,
    kServiceDirectXLevel = 2,
    kServiceFonts = 3,
    kServiceColorDepths = 4,
};
struct CInterpreterService {
    int32_t id = 0;
    void* (*load)(CInterpretor* interpretor) = nullptr;
    void (*unload)(CInterpretor* interpretor, void* service) = nullptr;
};
void RegisterInterpreterService(const CInterpreterService& service);
// The object the service's load gave this interpreter; null while the
// interpreter is not loaded or the id has no service.
void* GetInterpreterService(CInterpretor* interpretor, int32_t id);
