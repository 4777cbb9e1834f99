#include "scriptsys/ci_file.h"
#include "scriptsys/ci_file_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_value.h"
#include "runtime/classes/script_class.h"

#include <cstring>
#include <string>

namespace {

// Runtime error of a platform error code: bit 31 marks a platform code.
int32_t PlatformError(uint32_t code) { return static_cast<int32_t>(0x80000000u | code); }

}  // namespace

CIFile::CIFile(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassFile), kClassFile, true) {}

void CIFile::Destroy(int32_t) {
    m_file.Close();
    UnlinkFromClassList();
    delete this;
}

void CIFile::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIFile> kHandlers[] = {
        TW_MEMBER(File, Open),
        TW_MEMBER(File, Create),
        TW_MEMBER(File, Close),
        TW_MEMBER(File, ReadLn),
        TW_MEMBER(File, WriteLn),
        TW_MEMBER(File, SetPosition),
        TW_MEMBER(File, GetPosition),
        TW_MEMBER(File, GetLength),
        TW_MEMBER(File, Read),
        TW_MEMBER(File, Write),
        TW_MEMBER(File, GetFilePath),
        TW_MEMBER(File, IsOpened),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIFile::Check(uint32_t error) {
    if (error != 0) RaiseError(m_interpretor, PlatformError(error), CIError::kNoDetail);
}

void CIFile::RequireOpen() {
    if (!m_file.IsOpen()) RaiseError(m_interpretor, 48, CIError::kNoDetail);
}

void CIFile::ParsePathAndMode() {
    m_file.Close();
    const int32_t count = GetArgCount(m_interpretor);
    if (count >= 1) m_file.SetPath(GetArgString(m_interpretor, 0));
    if (count == 2) {
        switch (static_cast<uint32_t>(GetArgInt(m_interpretor, 1))) {
        case kConstReadWrite: m_file.SetMode(CFileAccess::kReadWrite); break;
        case kConstReadOnly: m_file.SetMode(CFileAccess::kReadOnly); break;
        case kConstWriteOnly: m_file.SetMode(CFileAccess::kWriteOnly); break;
        default: RaiseError(m_interpretor, 14, CIError::kNoDetail);
        }
    }
    if (!m_file.HasPath()) RaiseError(m_interpretor, 29, CIError::kNoDetail);
}

void CIFile::ConstructFromArgs() {
    if (GetArgCount(m_interpretor) > 0) {
        ParsePathAndMode();
        Check(m_file.OpenOrCreate());
    }
    AssignInstanceNumber();
}

int32_t CIFile::Open() {
    ParsePathAndMode();
    Check(m_file.Open());
    return 0;
}

int32_t CIFile::Create() {
    ParsePathAndMode();
    Check(m_file.Create());
    return 0;
}

int32_t CIFile::Close() { m_file.Close(); return 0; }

int32_t CIFile::ReadLn() {
    RequireOpen();
    CValue* result = Result(m_interpretor);
    result->SetString("", 0);
    std::string line;
    Check(m_file.ReadLine(&line));
    result->SetString(line.c_str(), 0);
    return 0;
}

void CIFile::WriteArguments(bool lineEnd) {
    RequireOpen();
    const int32_t count = GetArgCount(m_interpretor);
    for (int32_t i = 0; i < count; ++i) {
        const char* text = GetArgString(m_interpretor, i);
        const size_t length = text ? std::strlen(text) : 0;
        if (length > 0) Check(m_file.Write(text, static_cast<int32_t>(length)));
    }
    if (lineEnd) Check(m_file.Write("\r\n", 2));
}

int32_t CIFile::WriteLn() { WriteArguments(true); return 0; }
int32_t CIFile::Write() { WriteArguments(false); return 0; }

int32_t CIFile::SetPosition() {
    RequireOpen();
    const int32_t position = GetArgInt(m_interpretor, 0);
    if (IsArgDefault(m_interpretor, 0) || position < 0) RaiseError(m_interpretor, 14, CIError::kNoDetail);
    Check(m_file.SetPosition(position));
    return 0;
}

int32_t CIFile::GetPosition() {
    RequireOpen();
    Result(m_interpretor)->SetInt(m_file.GetPosition());
    return 0;
}

int32_t CIFile::GetLength() { Result(m_interpretor)->SetInt(m_file.GetLength()); return 0; }

int32_t CIFile::Read() {
    RequireOpen();
    std::string separators;
    int options = 0;
    const int32_t count = GetArgCount(m_interpretor);
    for (int32_t i = 0; i < count; ++i) {
        const CValue* arg = GetArg(m_interpretor, i);
        if (arg->GetTag() == CValue::kText) {
            separators += arg->GetText() ? arg->GetText() : "";
            continue;
        }
        switch (static_cast<uint32_t>(GetArgInt(m_interpretor, i))) {
        case kConstSkipSpaces: options |= CFileAccess::kSkipSpaces; break;
        case kConstHandleQuotes: options |= CFileAccess::kHandleQuotes; break;
        case kConstReturnQuotes: options |= CFileAccess::kReturnQuotes; break;
        default: RaiseError(m_interpretor, 14, CIError::kNoDetail);
        }
    }
    std::string field;
    bool found = false;
    Check(m_file.ReadField(separators, options, &field, &found));
    // At the end of the file the field is empty, as for ReadLn.
    Result(m_interpretor)->SetString(field.c_str(), 0);
    return 0;
}

int32_t CIFile::GetFilePath() { Result(m_interpretor)->SetString(m_file.GetPath(), 0); return 0; }

int32_t CIFile::IsOpened() { Result(m_interpretor)->SetInt(m_file.IsOpen() ? 1 : 0); return 0; }
