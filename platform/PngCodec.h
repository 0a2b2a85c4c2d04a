#pragma once
// PNG writing through libpng: 8-bit RGBA, or a palette with one alpha per
// entry (a tRNS chunk, left out when every entry is opaque). zlib's default
// level with libpng's adaptive row filters: close to the smallest files at a
// fraction of the time of the strongest setting.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "platform/PictureError.h"
#include "platform/RgbaPicture.h"

namespace vantrix {

// The complete file in memory. Throws TPictureError for a picture without
// pixels or over kMaxPictureSide, a pixel array or alpha list of the wrong
// size, a palette of 0 or over 256 entries, an index outside the palette, and
// any failure inside libpng.
std::vector<uint8_t> EncodePng(const TRgbaPicture& picture);
std::vector<uint8_t> EncodePng(const TAlphaIndexedPicture& picture);

// Encodes and writes the file (platform/FileIO.h: a failure leaves the old
// file whole); returns its size. Errors begin "<path>: ".
size_t SavePngFile(const std::string& path, const TRgbaPicture& picture);
size_t SavePngFile(const std::string& path, const TAlphaIndexedPicture& picture);

// Reads a PNG of any colour type and depth as a 24-bit picture (bytes blue,
// green, red). Textures have no use for transparency, so transparent parts are
// laid over white, the colour of most pages. Throws TPictureError for anything
// that is not a readable PNG, and for sides over kMaxPictureSide.
[[nodiscard]] TPicture DecodePng(std::span<const uint8_t> data);

// An animated PNG that loops for ever: every frame the same size, each
// replacing the one before (no blending) for 1/fps seconds; the first is the
// still picture a reader without animation shows. Each frame is compressed
// as EncodePng does and its image data moved into the animation's chunks.
// Throws TPictureError for no frames, frames of different sizes, and as EncodePng.
std::vector<uint8_t> EncodeApng(const std::vector<TRgbaPicture>& frames, int fps);

}  // namespace vantrix
