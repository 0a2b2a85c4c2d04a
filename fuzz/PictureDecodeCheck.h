#pragma once
// The body shared by the picture decoder fuzz targets: decode arbitrary bytes
// from memory; a refusal must be a TPictureError, a success a 24-bit picture
// within the size limits.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix::fuzz {

// `more` gets every picture decoded, for checks of one decoder's own.
template <typename Decode, typename More>
int CheckPictureDecoder(Decode decode, const uint8_t* data, size_t size, More more) {
  if (size > (size_t{1} << 18)) return 0;
  TPicture picture;
  try {
    picture = decode(std::span<const uint8_t>(data, size));
  } catch (const TPictureError&) {
    return 0;
  }
  Check(picture.BitsPerPixel() == 24 && !picture.Empty());
  Check(picture.Width() <= kMaxPictureSide && picture.Height() <= kMaxPictureSide);
  more(picture);
  return 0;
}

template <typename Decode>
int CheckPictureDecoder(Decode decode, const uint8_t* data, size_t size) {
  return CheckPictureDecoder(decode, data, size, [](const TPicture&) {});
}

}  // namespace vantrix::fuzz
