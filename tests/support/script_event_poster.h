#pragma once
// Test-only script class that lets language tests post events and reach the
// interpreter's event machinery before the product's classes exist. It is
// bound to the id of the Timer class for the lifetime of a BindEventPoster
// and uses the Timer's member names:
//   t = New Timer();
//   t.OnTimeElapsed = F;     handler of the posts below
//   t.Start(a, ...)          posts an event with the arguments
//   t.SetInterval(a, ...)    coalescing post (target: the object)
//   t.IsStarted()            number of queued events
//   t.IsStarted(v)           v read as a handler reads a text argument
//   t.IsStarted(v, 0)        v read as a handler reads a number argument
//   t.GetInterval(ms)        Wait(ms): 1 when the quit message came
//   t.GetInterval(ms, v)     reads v as text, waits, answers the text
//   t.Stop(code)             code > 0 raises it; 0 turns events off, -1 on;
//                            -2 posts the quit message, -3 ends the run (code 0)
//   t.SetPrivateData(F)      registers F as the script's error handler
//   t.GetPrivateData()       calls in progress
#include "runtime/classes/class_registry.h"
#include "runtime/base/error_text.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/os_message_pump.h"
#include "runtime/compiler/script_compiler.h"

#include <functional>
#include <string>

class CTestEventPoster : public CIBaseClassImpl {
public:
    explicit CTestEventPoster(CInterpretor* in)
        : CIBaseClassImpl(in, in->GetClassRecord(kClassTimer), kClassTimer, true) {}
    static CIBaseClassImpl* Create(CInterpretor* in) { return new CTestEventPoster(in); }

    void Destroy(int32_t releaseAll) override {
        CIBaseClassImpl::Destroy(releaseAll);
        delete this;
    }

    void CallMember(int32_t memberId) override {
        CInterpretor* in = m_interpretor;
        const CValue* a[8] = {};
        for (int32_t i = 0; i < in->GetArgCount() && i < 8; ++i)
            a[i] = in->GetArg(i);
        switch (memberId) {
        case 1: in->PostEvent(m_handler, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
        case 2: {
            int32_t code = in->GetArgInt(0);
            if (code > 0)
                in->RaiseError(code);
            if (code == -2)
                OsPostThreadMessage(kOsMessageQuit, 0, 0);
            else if (code == -3)
                in->Quit();
            else
                in->m_programState.eventsEnabled = code == -1 ? 1 : 0;
            break;
        }
        case 3:
            if (in->GetArgCount() == 0)
                in->Result()->SetInt(in->CountEvents());
            else if (in->GetArgCount() == 1)
                in->Result()->SetString(in->GetArgString(0), 0);
            else
                in->Result()->SetInt(in->GetArgInt(0));
            break;
        case 4: in->PostEventCoalesced(m_handler, this, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
        case 5:
            if (in->GetArgCount() < 2) {
                in->Result()->SetInt(in->Wait(static_cast<uint32_t>(in->GetArgInt(0))));
            } else {
                // A text the handler holds across the wait: a number's text
                // lives in a statement string.
                const char* text = in->GetArg(1)->GetString();
                in->Wait(static_cast<uint32_t>(in->GetArgInt(0)));
                in->Result()->SetString(text, 0);
            }
            break;
        case 6: m_handler = in->ReadAssignedFunction(); break;
        case 7: in->SetScriptErrorHandler(in->GetArg(0)->GetFunction()); break;
        case 8: in->Result()->SetInt(in->m_callsInProgress); break;
        default: in->RaiseError(11);
        }
    }

    // Posts an event with one number to the handler (for posts from C++).
    void Post(int32_t value) {
        CValue argument(m_interpretor, value);
        m_interpretor->PostEvent(m_handler, &argument);
    }

private:
    CFunctionRecord* m_handler = nullptr;
};

// Binds the poster to the Timer's class id, and restores what was bound.
class BindEventPoster {
public:
    BindEventPoster() {
        const CClassBinding* old = GetClassBinding(kClassTimer);
        if (old != nullptr)
            m_old = *old;
        CClassBinding binding;
        binding.factory = &CTestEventPoster::Create;
        RegisterClassBinding(kClassTimer, binding);
    }
    ~BindEventPoster() { RegisterClassBinding(kClassTimer, m_old); }

private:
    CClassBinding m_old;
};

// Compiles the source text as one module and runs it (beforeRun sees the
// prepared interpreter). "" when it ran to its end, else the error text with
// the module name ("m: Error #42 at line 7.").
inline std::string RunScriptText(CInterpretor& interpretor, const char* name, const std::string& text,
                                 const std::function<void(CInterpretor&)>& beforeRun = {}) {
    auto report = [](const CIError& error) {
        char message[256];
        FormatErrorMessage(error, message, sizeof message, true);
        return (error.module.empty() ? std::string() : error.module + ": ") + message;
    };
    CScriptCompiler compiler;
    try {
        compiler.AddSourceText(name, text.c_str(), static_cast<uint32_t>(text.size()), 2);
    } catch (const CIError& error) {
        return report(error);
    }
    if (!compiler.Compile())
        return report(*compiler.GetLastError());
    CCompiledProgram program = compiler.TakeProgram();
    BindEventPoster bind;
    try {
        interpretor.PrepareRun(&program);
        if (beforeRun)
            beforeRun(interpretor);
    } catch (const CIError& error) {
        return report(error);
    }
    if (!interpretor.Run(&program, 0))
        return report(*interpretor.GetLastError());
    return "";
}
