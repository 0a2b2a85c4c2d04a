#pragma once
// The one error type of the picture codecs, and the size limits every decoder
// enforces before it allocates anything.
//
// Decoders working on memory throw messages without a file name ("truncated BMP
// data"); the file entry points of PictureFile.h put "<path>: " in front.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantrix {

class TPictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decoded picture is at most this wide and high, and holds at most this many
// pixels: far beyond any texture or preview, small enough that a hostile header
// cannot make us allocate gigabytes.
constexpr int64_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

// Throws unless 1 <= width, height <= kMaxPictureSide and the area is within
// kMaxPicturePixels. kind names the format in the message ("BMP").
inline void CheckPictureDimensions(int64_t width, int64_t height, const char* kind) {
  if (width <= 0 || height <= 0)
    throw TPictureError(std::string(kind) + " picture has no pixels (" + std::to_string(width) + " x " +
                        std::to_string(height) + ")");
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    throw TPictureError(std::string(kind) + " picture too large (" + std::to_string(width) + " x " +
                        std::to_string(height) + ")");
}

}  // namespace vantrix
