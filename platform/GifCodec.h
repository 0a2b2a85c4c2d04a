#pragma once
// GIF reading and writing through giflib.
//
// Reading: only the first image of the file is read, as its own frame: its size is the
// image descriptor's, not the logical screen's, and its position on the screen
// is ignored (a texture wants the pixels, not the animation canvas). The image's
// local colour map is used when it has one, else the global one; interlaced
// images come out in display order. A transparent colour index is not treated
// specially: the pixel takes that entry's colour. The result is 24 bits per
// pixel (bytes blue, green, red).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/IndexedPicture.h"
#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix {

// Throws TPictureError for anything that is not a readable GIF, for a file
// without an image, and for a pixel whose index lies beyond its colour map.
[[nodiscard]] TPicture DecodeGif(std::span<const uint8_t> data);

// Writing: the file holds one image at (0, 0) covering the logical screen, the
// palette as the global colour table (padded with black to the next power of
// two, at least 2 entries, as GIF requires), and, when the picture has a
// transparent index, a graphic control extension before the image that names
// it (the file is then GIF89a, else GIF87a). Pixel data is giflib's LZW.
//
// The complete file in memory. Throws TPictureError for a picture GIF cannot
// hold (no pixels, a side over 65535, a pixel count that does not match, a
// palette of 0 or over 256 entries, an index outside the palette) and for any
// failure inside giflib.
std::vector<uint8_t> EncodeGif(const TIndexedPicture& picture);

// Encodes and writes the file; returns its size in bytes. Every error throws
// TPictureError with a message that begins "<path>: "; the old file, if any,
// is left as it was.
size_t SaveGifFile(const std::string& path, const TIndexedPicture& picture);

// An animation that loops for ever (the NETSCAPE2.0 extension): every frame
// the same size with its own palette as a local colour table, shown for
// `delayCs` hundredths of a second; a frame with a transparent index clears
// to the page before the next (disposal to background). Throws as EncodeGif,
// and for no frames or frames of different sizes.
std::vector<uint8_t> EncodeGifAnimation(const std::vector<TIndexedPicture>& frames, int delayCs);

}  // namespace vantrix
