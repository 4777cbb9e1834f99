#pragma once
// CIFile: the script class "File", one open disk file per object with line
// reading, a field tokenizer, raw writes and an explicit position. A failed
// open, create, read or write raises the runtime error of the platform's error
// code; nothing is reported as read or written that was not.
#include "runtime/interp/script_object.h"
#include "scriptsys/file_access.h"

class CIFile : public CIBaseClassImpl {
public:
    // Mode and tokenizer constants as scripts pass them.
    static constexpr uint32_t kConstReadWrite = 0xABCD0000u;
    static constexpr uint32_t kConstReadOnly = 0xABCD0001u;
    static constexpr uint32_t kConstWriteOnly = 0xABCD0002u;
    static constexpr uint32_t kConstSkipSpaces = 0xABCD0003u;
    static constexpr uint32_t kConstHandleQuotes = 0xABCD0004u;
    static constexpr uint32_t kConstReturnQuotes = 0xABCD0005u;

    explicit CIFile(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // new File(path[, mode]): opens the file when it exists, else creates it.
    void ConstructFromArgs() override;

    CFileAccess& Access() { return m_file; }

private:
    int32_t Open();
    int32_t Create();
    int32_t Close();
    int32_t ReadLn();
    int32_t WriteLn();
    int32_t SetPosition();
    int32_t GetPosition();
    int32_t GetLength();
    int32_t Read();
    int32_t Write();
    int32_t GetFilePath();
    int32_t IsOpened();

    // Closes, takes the path and the mode of the arguments; runtime error 14
    // for a bad mode, 29 when no path is left.
    void ParsePathAndMode();
    void RequireOpen();
    // Raises the runtime error of a platform error code; nothing for 0.
    void Check(uint32_t error);
    // Writes every argument's text in order, then the line end when asked.
    void WriteArguments(bool lineEnd);

    CFileAccess m_file;
};
