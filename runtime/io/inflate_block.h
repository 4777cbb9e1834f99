#pragma once
// Inflating compressed data stored in a file into one block of known size.
#include <cstdint>

#include "runtime/io/os_file.h"

// Inflates `packed` bytes at the handle's file pointer into a new block of
// exactly `size` bytes followed by a zero byte (*block; free it with
// std::free). The block grows only as inflated data arrives, so a size that a
// damaged file claims is never allocated up front. Data that ends before
// `size` bytes is kIoCorruptData, data that goes on beyond it kIoOutputFull;
// on any failure *block is null.
uint32_t InflateHandleToBlock(FileHandle handle, int32_t packed, int32_t size, uint8_t** block);
