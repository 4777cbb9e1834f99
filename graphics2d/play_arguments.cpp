#include "graphics2d/play_arguments.h"

#include "runtime/classes/script_class.h"

#include <algorithm>

uint32_t ReadPlayArguments(CInterpretor* in, int32_t frameCount, int32_t* loopCount, int32_t* frameLimit,
                           uint32_t storedFlags) {
    auto intArg = [&](int32_t i) {
        return i < GetArgCount(in) && !IsArgDefault(in, i) && GetArg(in, i)->GetTag() == CValue::kInt;
    };
    if (intArg(0))
        *loopCount = GetArgInt(in, 0);
    if (intArg(1)) {
        *frameLimit = GetArgInt(in, 1);
        if (frameCount > 0)
            *frameLimit = std::min(*frameLimit, frameCount - 1);
    }
    if (!intArg(2))
        return storedFlags;
    const uint32_t option = static_cast<uint32_t>(GetArgInt(in, 2));
    if ((option & 0xFFFF0000u) != kPlayOptionTag)
        RaiseError(in, 14);
    return option & 0xFFFF;
}
