#include "ui/range_rules.h"

#include <utility>

void PutInOrder(int32_t* low, int32_t* high) {
    if (*low > *high)
        std::swap(*low, *high);
}

void DefaultBarSize(bool vertical, bool widthGiven, bool heightGiven, int32_t hBarHeight, int32_t vBarWidth,
                    int32_t* width, int32_t* height) {
    if (heightGiven)
        return;
    const int32_t length = widthGiven ? *width : 100;
    if (vertical) {
        *height = length;
        *width = vBarWidth;
    } else {
        *width = length;
        *height = hBarHeight;
    }
}

void InsertAccelStep(CAccelStep* steps, uint32_t count, CAccelStep step) {
    uint32_t at = 0;
    while (at < count && steps[at].seconds < step.seconds)
        ++at;
    for (uint32_t i = count; i > at; --i)
        steps[i] = steps[i - 1];
    steps[at] = step;
}

bool RemoveAccelStep(CAccelStep* steps, uint32_t count, uint32_t value) {
    for (uint32_t at = 0; at < count; ++at) {
        if (steps[at].seconds != value && steps[at].increment != value)
            continue;
        for (uint32_t i = at; i + 1 < count; ++i)
            steps[i] = steps[i + 1];
        return true;
    }
    return false;
}
