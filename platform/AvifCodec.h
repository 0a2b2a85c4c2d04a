#pragma once
// AVIF writing through libavif (AV1 still pictures). The colour is lossy at a
// quality 1..100 in full-resolution 4:4:4, so thin letter edges keep their
// colour; the alpha plane is always lossless, as WebP's is, so edges and drop
// shadows keep their exact transparency.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PictureError.h"
#include "platform/RgbaPicture.h"

namespace vantrix {

// quality 1..100 (clamped). Throws TPictureError for a picture without pixels
// or over kMaxPictureSide, and any failure inside libavif.
std::vector<uint8_t> EncodeAvif(const TRgbaPicture& picture, int quality);

// Encodes and writes the file as SavePngFile does; returns its size.
size_t SaveAvifFile(const std::string& path, const TRgbaPicture& picture, int quality);

}  // namespace vantrix
