#pragma once
// Windows bitmap (BMP) reading and writing, written here with strict bounds.
//
// Reads 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed (BI_RGB) or, for 16
// and 32 bits, with colour masks (BI_BITFIELDS); bottom-up and top-down rows;
// core (12-byte) and info (40, 52, 56, 108, 124-byte) headers. Run-length and
// embedded JPEG/PNG bitmaps are refused. The decoded picture is always 24 bits
// per pixel (bytes blue, green, red); an alpha channel is dropped.
//
// Writes 24-bit bottom-up bitmaps with a 40-byte info header.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix {

// Throws TPictureError for anything that is not a readable bitmap.
[[nodiscard]] TPicture DecodeBmp(std::span<const uint8_t> data);

// A complete .bmp file. A 32-bit picture loses its fourth byte. Throws
// TPictureError for an empty picture.
std::vector<uint8_t> EncodeBmp24(const TPicture& picture);

}  // namespace vantrix
