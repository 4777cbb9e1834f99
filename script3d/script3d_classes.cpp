#include "script3d/script3d_classes.h"

#include "script3d/directx_level.h"
#include "script3d/member_tables.h"

void RegisterScript3dClasses() {
    RegisterScript3dClassTables();
    RegisterDirectXLevelService();
}
