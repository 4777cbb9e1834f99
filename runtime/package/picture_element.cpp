#include "runtime/package/picture_element.h"

#include "runtime/io/byte_vector_writer.h"
#include "runtime/io/io_status.h"

int32_t PictureRowPitch(int32_t width, int32_t depth) {
    const int64_t bits = depth == 15 ? 16 : depth;
    return static_cast<int32_t>((bits * width + 31) / 32 * 4);
}

bool IsPictureDepth(uint32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

namespace {

void PutPictureHead(std::vector<uint8_t>* body, int16_t hx, int16_t hy, uint32_t palette, uint32_t kind,
                    uint16_t width, uint16_t height, uint16_t depth, uint32_t flags) {
    Put16(body, static_cast<uint16_t>(hx));
    Put16(body, static_cast<uint16_t>(hy));
    Put32(body, palette);
    Put16(body, kind);
    Put16(body, width);
    Put16(body, height);
    Put16(body, depth);
    Put32(body, flags);
}

}  // namespace

bool EncodePictureRows(const PictureRows& rows, std::vector<uint8_t>* body) {
    body->clear();
    const int64_t expected = int64_t(PictureRowPitch(rows.width, rows.depth)) * rows.height;
    if (!IsPictureDepth(rows.depth) || rows.width == 0 || rows.height == 0 || rows.size != expected ||
        rows.pixels == nullptr)
        return false;
    PutPictureHead(body, rows.hotSpotX, rows.hotSpotY, rows.paletteIndex, 0, rows.width, rows.height, rows.depth,
                   rows.mask ? kPictureHasMask : 0);
    if (PutPacked(body, rows.pixels, rows.size, rows.compress) != kIoOk)
        return false;
    if (rows.mask != nullptr &&
        PutPacked(body, rows.mask, int32_t(rows.width) * rows.height, rows.compress) != kIoOk)
        return false;
    return true;
}

bool EncodePictureFile(int16_t hotSpotX, int16_t hotSpotY, uint16_t width, uint16_t height, uint16_t depth,
                       const uint8_t* file, int32_t size, std::vector<uint8_t>* body) {
    body->clear();
    if (file == nullptr || size <= 0)
        return false;
    PutPictureHead(body, hotSpotX, hotSpotY, kPictureNoPalette, kPictureFileKind, width, height, depth, 0);
    PutBytes(body, file, static_cast<size_t>(size));
    return true;
}
