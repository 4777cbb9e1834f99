#include "ui/ui_classes.h"

#include "ui/member_tables.h"

void RegisterUiClasses() { RegisterUiClassTables(); }
