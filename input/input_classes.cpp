#include "input/input_classes.h"

#include "input/ci_keyboard.h"
#include "input/member_tables.h"

void RegisterInputClasses() {
    RegisterInputClassTables();
    RegisterKeyboardClass();
}
