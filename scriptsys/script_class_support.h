#pragma once
// Small helpers the system script classes share on top of the interpreter's
// handler convention.
#include "runtime/interpretor.h"
#include "runtime/script_value.h"

class CProgramContainer;

// The interpreter's record of a class id (null without an interpreter).
inline CClassRecord* ClassRecordOf(CInterpretor* interpretor, uint32_t classId) {
    return interpretor ? interpretor->GetClassRecord(classId) : nullptr;
}

// The loaded package of the interpreter, or null.
inline CProgramContainer* PackageOf(CInterpretor* interpretor) {
    return interpretor ? interpretor->GetProgramContainer() : nullptr;
}

// Argument i as text, or null when it was omitted.
inline const char* ArgTextOrNull(CInterpretor* interpretor, int32_t index) {
    return interpretor->IsArgDefault(index) ? nullptr : interpretor->GetArgString(index);
}
