#pragma once
// Text metrics for rich text: the extent and ascent of a text in a font, and
// a font's outline metrics for superscript and subscript. The Windows build
// measures with GDI in the given device context (a screen-compatible one
// when null). The native build has no GDI: it measures with fixed-width
// metrics from the font's description (see headless/os_text_metrics.cpp),
// which is what the tests rely on.
#include <cstdint>

struct OsTextExtent {
    int32_t width;
    int32_t height;
    int32_t ascent;
};
bool OsMeasureText(void* dc, void* font, const char* text, int32_t length, OsTextExtent* extent);

struct OsScriptMetrics {
    int32_t subscriptSize;
    int32_t subscriptOffset;
    int32_t superscriptSize;
    int32_t superscriptOffset;
};
// GetOutlineTextMetricsA of the font; false for fonts without outlines.
bool OsGetScriptMetrics(void* dc, void* font, OsScriptMetrics* metrics);
