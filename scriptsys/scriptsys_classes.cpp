#include "scriptsys/scriptsys_classes.h"

#include "runtime/classes/script_class.h"
#include "scriptsys/ci_file.h"
#include "scriptsys/ci_ini.h"
#include "scriptsys/ci_math.h"
#include "scriptsys/ci_process.h"
#include "scriptsys/ci_program.h"
#include "scriptsys/ci_string.h"
#include "scriptsys/ci_vector.h"
#include "scriptsys/member_tables.h"

void RegisterScriptsysClasses() {
    RegisterScriptsysClassTables();
    RegisterClassBinding(kClassMath, {&MakeScriptObject<CIMath>, nullptr});
    RegisterClassBinding(kClassFile, {&MakeScriptObject<CIFile>, nullptr});
    RegisterClassBinding(kClassString, {&MakeScriptObject<CIString>, nullptr});
    RegisterClassBinding(kClassIni, {&MakeScriptObject<CIIni>, nullptr});
    RegisterClassBinding(kClassProcess, {&MakeScriptObject<CIProcess>, nullptr});
    RegisterClassBinding(kClassProgram, {&MakeScriptObject<CIProgram>, nullptr});
    RegisterClassBinding(kClassVector, {&MakeScriptObject<CIVector>, nullptr});
}
