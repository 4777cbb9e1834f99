#include "graphics2d/color_depths.h"

#include "graphics2d/image_bank.h"
#include "graphics2d/os_gdi.h"
#include "runtime/classes/script_class.h"
#include "runtime/package/program_container.h"

#include <new>

namespace {

struct CColorDepths {
    int32_t colorDepth = 16;
    int32_t imageDepth = 16;
};

void* LoadDepths(CInterpretor*) {
    CColorDepths* depths = new (std::nothrow) CColorDepths();
    if (depths != nullptr)
        depths->colorDepth = depths->imageDepth = OsGetScreenCaps().bitsPerPixel;
    return depths;
}

void UnloadDepths(CInterpretor*, void* depths) { delete static_cast<CColorDepths*>(depths); }

CColorDepths* DepthsOf(CInterpretor* interpretor) {
    return static_cast<CColorDepths*>(GetInterpreterService(interpretor, kServiceColorDepths));
}

}  // namespace

int32_t GetColorDepth(CInterpretor* interpretor) {
    CColorDepths* d = DepthsOf(interpretor);
    return d != nullptr ? d->colorDepth : 16;
}

void SetColorDepth(CInterpretor* interpretor, int32_t depth) {
    if (CColorDepths* d = DepthsOf(interpretor))
        d->colorDepth = depth;
}

int32_t GetImageColorDepth(CInterpretor* interpretor) {
    CColorDepths* d = DepthsOf(interpretor);
    return d != nullptr ? d->imageDepth : 16;
}

void SetImageColorDepth(CInterpretor* interpretor, int32_t depth) {
    CColorDepths* d = DepthsOf(interpretor);
    if (d == nullptr)
        return;
    d->imageDepth = depth;
    if (CProgramContainer* package = PackageOf(interpretor))
        if (CImageBank* bank = dynamic_cast<CImageBank*>(package->FindBankById(kBankPictures)))
            bank->ChangeColorDepth(depth);
}

void RegisterColorDepthService() {
    CInterpreterService service;
    service.id = kServiceColorDepths;
    service.load = LoadDepths;
    service.unload = UnloadDepths;
    RegisterInterpreterService(service);
}
