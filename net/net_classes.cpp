#include "net/net_classes.h"

#include "net/member_tables.h"

void RegisterNetClasses() { RegisterNetClassTables(); }
