#include "app/script_modules.h"

#include "graphics2d/graphics2d_classes.h"
#include "input/input_classes.h"
#include "media/media_classes.h"
#include "net/net_classes.h"
#include "script3d/script3d_classes.h"
#include "scriptsys/scriptsys_classes.h"
#include "ui/ui_classes.h"

void RegisterScriptModules() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterGraphics2dClasses();
    RegisterUiClasses();
    RegisterScriptsysClasses();
    RegisterMediaClasses();
    RegisterInputClasses();
    RegisterNetClasses();
    RegisterScript3dClasses();
}
