#pragma once
// CIIni: the script class "Ini", one INI file read and written through the
// platform's profile-string functions. The object only remembers the name.
#include "runtime/interp/script_object.h"
#include "scriptsys/ini_access.h"

class CIIni : public CIBaseClassImpl {
public:
    explicit CIIni(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // new Ini(name): remembers the name.
    void ConstructFromArgs() override;

private:
    int32_t OpenFile();
    int32_t CloseFile();
    int32_t SetValue();
    int32_t GetStrValue();
    int32_t GetIntValue();

    CIniAccess m_ini;
};
