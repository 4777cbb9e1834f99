#include "media/media_classes.h"

#include "media/member_tables.h"

void RegisterMediaClasses() { RegisterMediaClassTables(); }
