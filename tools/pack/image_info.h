#pragma once
// Size and depth of an image file, read from its header, for the picture
// elements that embed whole image files.
#include <cstdint>
#include <string>
#include <vector>

struct ImageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;  // bits per pixel
};

// BMP, PNG and JPEG are recognised by their content, PCX by its first byte,
// TGA by its header when the name ends in ".tga". False when the format is
// not known or the header is cut off.
bool ReadImageInfo(const std::vector<uint8_t>& file, const std::string& name, ImageInfo* info);
