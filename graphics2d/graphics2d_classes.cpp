#include "graphics2d/graphics2d_classes.h"

#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/color_depths.h"
#include "graphics2d/font_container.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/image_file.h"
#include "graphics2d/member_tables.h"
#include "graphics2d/surface_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/process_hooks.h"

#include <new>

namespace {

// The interpreter's image-format manager, made and initialised at each Load.
void* LoadImageFormats(CInterpretor*) {
    CImageFormatManager* manager = new (std::nothrow) CImageFormatManager();
    if (manager != nullptr && manager->Init() != kImageOk) {
        delete manager;
        manager = nullptr;
    }
    return manager;
}

void UnloadImageFormats(CInterpretor*, void* manager) { delete static_cast<CImageFormatManager*>(manager); }

}  // namespace

CImageFormatManager* ImageFormatsOf(CInterpretor* interpretor) {
    return static_cast<CImageFormatManager*>(GetInterpreterService(interpretor, kServiceImageFormats));
}

void RegisterGraphics2dClasses() {
    RegisterGraphics2dClassTables();
    // The runtime's GUI thread becomes a surface client for the run.
    AddProcessHooks(RegisterSurfaceClient, UnregisterSurfaceClient);
    CInterpreterService imageFormats;
    imageFormats.id = kServiceImageFormats;
    imageFormats.load = LoadImageFormats;
    imageFormats.unload = UnloadImageFormats;
    RegisterInterpreterService(imageFormats);
    RegisterImageBank();
    RegisterFontService();
    RegisterColorDepthService();
    RegisterSurfaceClass();
    RegisterSpriteClass();
}
