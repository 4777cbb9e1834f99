#include "graphics2d/graphics2d_classes.h"

#include "graphics2d/member_tables.h"

void RegisterGraphics2dClasses() { RegisterGraphics2dClassTables(); }
