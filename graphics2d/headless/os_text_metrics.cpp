// Fixed-width stand-in metrics, computed from the font's description (the
// native build's fonts are copies of their LOGFONT): every character is
// |height| / 2 wide (one more in bold), the text |height| high (16 for
// height 0) with an ascent of four fifths of that. Faces starting with
// "SYSTEM" stand for bitmap fonts without outline metrics.
#include <cstdlib>
#include <cstring>

#include "graphics2d/os_gdi.h"
#include "graphics2d/os_text_metrics.h"

namespace {

int32_t HeightOf(const LogFontA& f) {
    const int64_t h = std::llabs(static_cast<int64_t>(f.lfHeight));
    return h == 0 ? 16 : static_cast<int32_t>(h > 100000 ? 100000 : h);
}

}  // namespace

bool OsMeasureText(void*, void* font, const char* text, int32_t length, OsTextExtent* extent) {
    LogFontA f;
    if (text == nullptr || length < 0 || !OsGetFontDescription(font, &f)) return false;
    const int32_t h = HeightOf(f);
    const int64_t each = h / 2 + (f.lfWeight >= 700 ? 1 : 0);
    const int64_t width = each * length;
    extent->width = static_cast<int32_t>(width > INT32_MAX ? INT32_MAX : width);
    extent->height = h;
    extent->ascent = h * 4 / 5;
    return true;
}

bool OsGetScriptMetrics(void*, void* font, OsScriptMetrics* metrics) {
    LogFontA f;
    if (!OsGetFontDescription(font, &f) || std::strncmp(f.lfFaceName, "SYSTEM", 6) == 0) return false;
    const int32_t h = HeightOf(f);
    metrics->subscriptSize = h / 2;
    metrics->subscriptOffset = h / 4;
    metrics->superscriptSize = h / 2;
    metrics->superscriptOffset = h / 3;
    return true;
}
