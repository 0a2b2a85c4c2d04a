// Decodes arbitrary bytes as a GIF picture from memory. A refusal must be a
// TPictureError; a success must be a 24-bit picture within the size limits.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/GifCodec.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t{1} << 18)) return 0;
  vantrix::TPicture picture;
  try {
    picture = vantrix::DecodeGif(std::span<const uint8_t>(data, size));
  } catch (const vantrix::TPictureError&) {
    return 0;
  }
  Check(picture.BitsPerPixel() == 24 && !picture.Empty());
  Check(picture.Width() <= vantrix::kMaxPictureSide && picture.Height() <= vantrix::kMaxPictureSide);
  return 0;
}
