#pragma once
// GIF reading through giflib.
//
// Only the first image of the file is read, as its own frame: its size is the
// image descriptor's, not the logical screen's, and its position on the screen
// is ignored (a texture wants the pixels, not the animation canvas). The image's
// local colour map is used when it has one, else the global one; interlaced
// images come out in display order. A transparent colour index is not treated
// specially: the pixel takes that entry's colour. The result is 24 bits per
// pixel (bytes blue, green, red).

#include <cstdint>
#include <span>

#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix {

// Throws TPictureError for anything that is not a readable GIF, for a file
// without an image, and for a pixel whose index lies beyond its colour map.
TPicture DecodeGif(std::span<const uint8_t> data);

}  // namespace vantrix
