#include "render/render_api.h"

#include "render/driver.h"

LDriverLink* LRenderAPICLBK::GetDriverLink() const { return driver; }
