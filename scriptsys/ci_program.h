#pragma once
// CIProgram: the script class "Program", the global object that exposes the
// running application and the interpreter to scripts: ending, restarting and
// waiting, the command line, type tests on values, array sizes, colour
// packing, string-bank texts, event switching, the error handler with the
// last runtime error, and tests for optional platform components.
#include "runtime/interp/script_object.h"
#include "scriptsys/error_info.h"

struct CFunctionRecord;

class CIProgram : public CIBaseClassImpl {
public:
    explicit CIProgram(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;

    // The script function set with "OnError", or null.
    CFunctionRecord* GetErrorHandler() const { return m_errorHandler; }
    // Records an error that goes to the error handler.
    void SetLastError(const CIError& error, const char* message) { m_lastError.Record(error, message); }
    const CErrorInfo& GetLastErrorInfo() const { return m_lastError; }

private:
    int32_t Restart();
    int32_t GetCommandLine();
    int32_t GetArgument();
    int32_t Wait();
    int32_t DoNothing();
    int32_t IsDebug();
    int32_t IsRelease();
    int32_t AnswerZero();
    int32_t AnswerOne();
    int32_t GetNArguments();
    int32_t End();
    int32_t GetChar();
    int32_t GetString();
    int32_t Flush();
    int32_t SetFlush();
    int32_t GetRGB();
    int32_t GetRed();
    int32_t GetGreen();
    int32_t GetBlue();
    int32_t GetDefaultGameInput();
    int32_t IsScreenSaverSetupDialog();
    int32_t IsScreenSaverControlPanel();
    int32_t IsDirectSound3DUsed();
    int32_t IsDirectSound3DEnabled();
    int32_t EnableDirectSound3D();
    int32_t DisableDirectSound3D();
    int32_t LoadString();
    int32_t FillArray();
    int32_t IsArray();
    int32_t IsDefaultValue();
    int32_t IsString();
    int32_t IsNumber();
    int32_t IsInteger();
    int32_t IsFloat();
    int32_t IsObject();
    int32_t IsFunction();
    int32_t GetArrayDimensionCount();
    int32_t GetArrayDimensionSize();
    int32_t DisableEvents();
    int32_t EnableEvents();
    int32_t EventsEnabled();
    int32_t OnError();
    int32_t GetLastError();
    int32_t GetErrorMessage();
    int32_t IsModPlugInstalled();
    int32_t GetAscii();
    int32_t GetApplicationDirectory();

    // The interpreter's logger of errors that go to the script's handler.
    static void LogError(void* context, const CIError& error, const char* message);
    void ResultInt(int32_t value);
    // Sets the 3D-sound request and recomputes the in-use flag; runtime error
    // 78 while any Speaker object exists.
    void SwitchSound3D(bool requested);
    // The script array of the first argument; runtime error 46 when it is
    // not an array.
    class CScriptArray* ArrayArgument();

    CErrorInfo m_lastError;
    CFunctionRecord* m_errorHandler = nullptr;
};
