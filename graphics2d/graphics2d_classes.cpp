#include "graphics2d/graphics2d_classes.h"

#include "graphics2d/member_tables.h"
#include "graphics2d/surface_registry.h"
#include "runtime/interp/process_hooks.h"

void RegisterGraphics2dClasses() {
    RegisterGraphics2dClassTables();
    // The runtime's GUI thread becomes a surface client for the run.
    AddProcessHooks(RegisterSurfaceClient, UnregisterSurfaceClient);
}
