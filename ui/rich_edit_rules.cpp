#include "ui/rich_edit_rules.h"

#include <algorithm>

namespace rich_edit {

FindOptions SplitFindOptions(const int32_t* values, int32_t count) {
    FindOptions options;
    bool haveStart = false;
    for (int32_t i = 0; i < count; ++i) {
        if (values[i] < 0)
            options.flags |= static_cast<uint32_t>(values[i]) & 0x7FFFFFFFu;
        else if (!haveStart) {
            options.start = values[i];
            haveStart = true;
        }
    }
    return options;
}

int32_t TwipsPerPixel(int32_t dpi) { return dpi > 0 ? std::max(1440 / dpi, 1) : 1; }

int32_t PixelsToTwips(int32_t pixels, int32_t dpi) { return TwipsPerPixel(dpi) * pixels; }

int32_t TwipsToPixels(int32_t twips, int32_t dpi) { return twips / TwipsPerPixel(dpi); }

bool TextRangeBounds(int32_t start, int32_t end, int32_t textLength, int32_t* clampedEnd, int32_t* size) {
    textLength = std::max(textLength, 0);
    if (end == -1 || end > textLength)
        end = textLength;
    *clampedEnd = end;
    *size = 0;
    if (start < 0 || end <= start)
        return false;
    *size = end - start + 1;
    return true;
}

}  // namespace rich_edit
