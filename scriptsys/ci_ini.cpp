#include "scriptsys/ci_ini.h"
#include "scriptsys/ci_ini_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_value.h"
#include "runtime/classes/script_class.h"

CIIni::CIIni(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassIni), kClassIni, true) {}

void CIIni::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

void CIIni::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIIni> kHandlers[] = {
        TW_MEMBER(Ini, OpenFile),
        TW_MEMBER(Ini, CloseFile),
        TW_MEMBER(Ini, SetValue),
        TW_MEMBER(Ini, GetStrValue),
        TW_MEMBER(Ini, GetIntValue),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIIni::ConstructFromArgs() {
    if (GetArgCount(m_interpretor) > 0) OpenFile();
    AssignInstanceNumber();
}

int32_t CIIni::OpenFile() { m_ini.SetFile(ArgTextOrNull(m_interpretor, 0)); return 0; }

int32_t CIIni::CloseFile() { m_ini.Clear(); return 0; }

int32_t CIIni::SetValue() {
    m_ini.SetValue(ArgTextOrNull(m_interpretor, 0), ArgTextOrNull(m_interpretor, 1),
                   ArgTextOrNull(m_interpretor, 2));
    return 0;
}

int32_t CIIni::GetStrValue() {
    const std::string text = m_ini.GetString(ArgTextOrNull(m_interpretor, 0), ArgTextOrNull(m_interpretor, 1),
                                             ArgTextOrNull(m_interpretor, 2));
    Result(m_interpretor)->SetString(text.c_str(), 0);
    return 0;
}

int32_t CIIni::GetIntValue() {
    Result(m_interpretor)->SetInt(m_ini.GetInt(ArgTextOrNull(m_interpretor, 0), ArgTextOrNull(m_interpretor, 1),
                                                 ArgTextOrNull(m_interpretor, 2)));
    return 0;
}
