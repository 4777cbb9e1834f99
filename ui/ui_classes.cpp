#include "ui/ui_classes.h"

#include "ui/ci_font.h"
#include "ui/member_tables.h"

void RegisterUiClasses() {
    RegisterUiClassTables();
    RegisterFontClass();
}
