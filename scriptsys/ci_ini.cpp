#include "scriptsys/ci_ini.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "runtime/script_value.h"
#include "scriptsys/script_class_support.h"

CIIni::CIIni(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassIni), kClassIni, true) {}

void CIIni::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

void CIIni::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIIni> kHandlers[] = {
        {1, &CIIni::OpenFile},
        {2, &CIIni::CloseFile},
        {3, &CIIni::SetValue},
        {4, &CIIni::GetStrValue},
        {5, &CIIni::GetIntValue},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIIni::ConstructFromArgs() {
    if (m_interpretor->GetArgCount() > 0) OpenFile();
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
    m_interpretor->Result()->SetString(text.c_str(), 0);
    return 0;
}

int32_t CIIni::GetIntValue() {
    m_interpretor->Result()->SetInt(m_ini.GetInt(ArgTextOrNull(m_interpretor, 0), ArgTextOrNull(m_interpretor, 1),
                                                 ArgTextOrNull(m_interpretor, 2)));
    return 0;
}
