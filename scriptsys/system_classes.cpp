#include "scriptsys/system_classes.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "scriptsys/ci_file.h"
#include "scriptsys/ci_ini.h"
#include "scriptsys/ci_math.h"
#include "scriptsys/ci_process.h"
#include "scriptsys/ci_program.h"
#include "scriptsys/ci_string.h"
#include "scriptsys/ci_vector.h"

namespace {

template <class T>
CIBaseClassImpl* Make(CInterpretor* interpretor) {
    return new T(interpretor);
}

}  // namespace

void RegisterSystemDataClasses() {
    RegisterClassBinding(kClassMath, {&Make<CIMath>, nullptr});
    RegisterClassBinding(kClassFile, {&Make<CIFile>, nullptr});
    RegisterClassBinding(kClassString, {&Make<CIString>, nullptr});
    RegisterClassBinding(kClassIni, {&Make<CIIni>, nullptr});
    RegisterClassBinding(kClassProcess, {&Make<CIProcess>, nullptr});
    RegisterClassBinding(kClassProgram, {&Make<CIProgram>, nullptr});
    RegisterClassBinding(kClassVector, {&Make<CIVector>, nullptr});
}
