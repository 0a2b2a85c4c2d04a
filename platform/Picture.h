#pragma once
// TPicture: an in-memory picture with 24 or 32 bits per pixel.
//
// Rows grow downward. A 32-bit pixel is one TPixel word (blue in the low byte,
// see Color.h); a 24-bit pixel is three bytes blue, green, red. Rows are padded
// to a multiple of four bytes. A default-constructed picture is 0 x 0 and
// allocates nothing; every operation on it is a no-op.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Color.h"

namespace vantrix {

class TPicture {
 public:
  // Largest width or height accepted; a larger request throws std::length_error.
  static constexpr int kMaxDimension = 1 << 20;

  TPicture() = default;
  TPicture(int width, int height, int bitsPerPixel) { SetSize(width, height, bitsPerPixel); }

  // Resizes and zero-fills. Negative sizes count as 0; bitsPerPixel is 24 or 32.
  void SetSize(int width, int height, int bitsPerPixel);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bpp_; }
  int BytesPerPixel() const { return bpp_ / 8; }
  size_t Stride() const { return stride_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  uint8_t* Row(int y) { return data_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Row(int y) const { return data_.data() + static_cast<size_t>(y) * stride_; }
  // Only for 32-bit pictures.
  TPixel* Row32(int y) { return reinterpret_cast<TPixel*>(Row(y)); }
  const TPixel* Row32(int y) const { return reinterpret_cast<const TPixel*>(Row(y)); }

  // Pixel as a TPixel whatever the format (fourth byte 0 for 24-bit pictures).
  TPixel PixelAt(int x, int y) const;
  void SetPixelAt(int x, int y, TPixel p);

  // Fills the rectangle [x1, x2) x [y1, y2), clipped to the picture.
  void FillRect(int x1, int y1, int x2, int y2, TPixel p);
  void Fill(TPixel p) { FillRect(0, 0, width_, height_, p); }

  // Copies a w x h block from src at (sx, sy) to (dx, dy), clipped to both
  // pictures, converting between 24 and 32 bits where they differ.
  void CopyFrom(const TPicture& src, int sx, int sy, int dx, int dy, int w, int h);

  // A copy of the whole picture in the other (or the same) pixel format.
  TPicture Converted(int bitsPerPixel) const;

  friend bool operator==(const TPicture& a, const TPicture& b);

 private:
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 32;
  size_t stride_ = 0;
  std::vector<uint8_t> data_;
};

// A 24-bit picture of width x height pixels given as rows of bytes blue,
// green, red, alpha, each pixel laid over white. The decoders of formats with
// alpha use it for textures, which have no use for transparency.
TPicture PictureOverWhite(const uint8_t* bgra, int width, int height);

}  // namespace vantrix
