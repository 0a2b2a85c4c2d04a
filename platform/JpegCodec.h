#pragma once
// JPEG reading and writing through libjpeg.
//
// Decoding accepts greyscale, YCbCr and RGB pictures, baseline or progressive,
// and gives a 24-bit picture (bytes blue, green, red). CMYK and YCCK pictures
// are refused. A library error becomes "JPEG error #<n>", n being the library's
// message number; data that ends early is "truncated JPEG data".
//
// Encoding writes a baseline colour JPEG at a quality 1..100 with the library's
// other defaults, from a 24- or 32-bit picture (the fourth byte is ignored).

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix {

// Throws TPictureError for anything that is not a readable JPEG.
[[nodiscard]] TPicture DecodeJpeg(std::span<const uint8_t> data);

// A complete .jpg file. quality is clamped to 1..100. Throws TPictureError for
// an empty picture.
std::vector<uint8_t> EncodeJpeg(const TPicture& picture, int quality);

}  // namespace vantrix
