// The native script classes this runtime builds, bound to their class ids.
// Every script class module adds its RegisterClassBinding call here.
#include "runtime/interpretor.h"
#include "scriptsys/system_classes.h"

void RegisterBuiltinClasses() {
    RegisterSystemDataClasses();
}
