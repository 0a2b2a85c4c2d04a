#pragma once
// Writing a colour-reduced picture as a GIF file through giflib.
//
// The file holds one image at (0, 0) covering the logical screen, the palette
// as the global colour table (padded with black to the next power of two, at
// least 2 entries, as GIF requires), and, when the picture has a transparent
// index, a graphic control extension before the image that names it (the file
// is then GIF89a, else GIF87a). Pixel data is giflib's LZW.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/IndexedPicture.h"
#include "platform/PictureError.h"

namespace vantrix {

// The complete file in memory. Throws TPictureError for a picture GIF cannot
// hold (no pixels, a side over 65535, a pixel count that does not match, a
// palette of 0 or over 256 entries, an index outside the palette) and for any
// failure inside giflib.
std::vector<uint8_t> EncodeGif(const TIndexedPicture& picture);

// Encodes and writes the file; returns its size in bytes. Every error throws
// TPictureError with a message that begins "<path>: "; a file that could not
// be written completely is removed.
size_t SaveGifFile(const std::string& path, const TIndexedPicture& picture);

}  // namespace vantrix
