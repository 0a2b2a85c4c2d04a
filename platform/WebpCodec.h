#pragma once
// WebP writing through libwebp. Lossless keeps every byte of colour and
// alpha; lossy compresses the colour at a quality 1..100 and keeps the alpha
// plane lossless, so edges and shadows keep their exact transparency.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "platform/PictureError.h"
#include "platform/RgbaPicture.h"

namespace vantrix {

// quality 0 means lossless; 1..100 lossy (larger values are clamped to 100).
// Throws TPictureError for a picture without pixels, one over WebP's 16383
// pixel sides, and any failure inside libwebp.
std::vector<uint8_t> EncodeWebp(const TRgbaPicture& picture, int quality);

// Encodes and writes the file as SavePngFile does; returns its size.
size_t SaveWebpFile(const std::string& path, const TRgbaPicture& picture, int quality);

// Reads a still WebP (lossy or lossless, with or without alpha) as a 24-bit
// picture, transparent parts laid over white as DecodePng does. Throws
// TPictureError for anything else, animations included.
[[nodiscard]] TPicture DecodeWebp(std::span<const uint8_t> data);

// An animation that loops for ever through libwebpmux: every frame the same
// size, each shown for 1/fps seconds; quality as for EncodeWebp. Throws
// TPictureError for no frames, frames of different sizes, and as EncodeWebp.
std::vector<uint8_t> EncodeWebpAnimation(const std::vector<TRgbaPicture>& frames, int fps, int quality);

}  // namespace vantrix
