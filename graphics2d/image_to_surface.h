#pragma once
// Turns a picture file into the pixels of a CSurface: the script surface, the
// texture and the picture bank load their images through it.
#include <cstdint>

class CImageFormatManager;
class CStream;
class CSurface;

// Conversion flags.
constexpr uint32_t kConvertKeepDepth = 0x1;       // keep the surface's depth (else take the image's)
constexpr uint32_t kConvertOntoPalette = 0x2;     // 8 bits: convert onto the surface's palette
                                                  // (else the surface takes the image's palette)

// Decodes the picture at the stream's position into `surface`, in this order:
// the file is opened by the image layer (false when it cannot be); with
// `mask` and an image that has an alpha plane, a width × height buffer filled
// with 0xFF is made for it (the caller frees it with delete[]); without
// kConvertKeepDepth and a depth that differs, the surface is made again in
// the image's depth (at least 8 bits; `depth` when not 0); without
// kConvertOntoPalette an 8-bit surface takes the image's palette; a surface of
// another size is made again at the image's size; then the rows are decoded
// into the locked surface. The surface keeps its placement when it is made
// again. True on success; on failure no mask is returned.
bool ConvertImageToSurface(CImageFormatManager* formats, CStream* source, CSurface* surface, int32_t depth,
                           uint32_t flags, uint8_t** mask);

// The prototype of `depth` in the placement and back end of the surface's
// implementation (memory, DIB section, kept-DC DIB section, DirectDraw); null
// when there is none.
const CSurface* PrototypeLike(const CSurface* surface, int32_t depth);
