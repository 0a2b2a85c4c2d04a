#include "platform/Picture.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vantrix {

void TPicture::SetSize(int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw std::invalid_argument("picture format must be 24 or 32 bits per pixel");
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width > kMaxDimension || height > kMaxDimension) throw std::length_error("picture too large");
  const size_t stride = (static_cast<size_t>(width) * (bitsPerPixel / 8) + 3) & ~static_cast<size_t>(3);
  data_.assign(stride * static_cast<size_t>(height), 0);
  width_ = width;
  height_ = height;
  bpp_ = bitsPerPixel;
  stride_ = stride;
}

TPixel TPicture::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  if (bpp_ == 32) return Row32(y)[x];
  const uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
  return MakePixel(p[2], p[1], p[0]);
}

void TPicture::SetPixelAt(int x, int y, TPixel v) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  if (bpp_ == 32) {
    Row32(y)[x] = v;
    return;
  }
  uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
  p[0] = PixelBlue(v);
  p[1] = PixelGreen(v);
  p[2] = PixelRed(v);
}

void TPicture::FillRect(int x1, int y1, int x2, int y2, TPixel v) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_);
  y2 = std::min(y2, height_);
  if (x1 >= x2 || y1 >= y2) return;
  for (int y = y1; y < y2; ++y) {
    if (bpp_ == 32) {
      std::fill(Row32(y) + x1, Row32(y) + x2, v);
    } else {
      uint8_t* p = Row(y) + 3 * static_cast<size_t>(x1);
      for (int x = x1; x < x2; ++x, p += 3) {
        p[0] = PixelBlue(v);
        p[1] = PixelGreen(v);
        p[2] = PixelRed(v);
      }
    }
  }
}

void TPicture::CopyFrom(const TPicture& src, int sx, int sy, int dx, int dy, int w, int h) {
  // Clip the block against the source, then against the destination: a
  // negative start moves to 0, moving the other side's start with it and
  // shortening the block.
  auto clipStart = [](int& start, int& other, int& length) {
    if (start >= 0) return;
    other -= start;
    length += start;
    start = 0;
  };
  clipStart(sx, dx, w);
  clipStart(sy, dy, h);
  clipStart(dx, sx, w);
  clipStart(dy, sy, h);
  w = std::min({w, src.width_ - sx, width_ - dx});
  h = std::min({h, src.height_ - sy, height_ - dy});
  if (w <= 0 || h <= 0) return;
  for (int y = 0; y < h; ++y) {
    if (bpp_ == src.bpp_) {
      const int bytes = BytesPerPixel();
      std::memmove(Row(dy + y) + static_cast<size_t>(dx) * bytes,
                   src.Row(sy + y) + static_cast<size_t>(sx) * bytes, static_cast<size_t>(w) * bytes);
    } else {
      for (int x = 0; x < w; ++x) SetPixelAt(dx + x, dy + y, src.PixelAt(sx + x, sy + y));
    }
  }
}

TPicture TPicture::Converted(int bitsPerPixel) const {
  TPicture out(width_, height_, bitsPerPixel);
  out.CopyFrom(*this, 0, 0, 0, 0, width_, height_);
  return out;
}

bool operator==(const TPicture& a, const TPicture& b) {
  if (a.width_ != b.width_ || a.height_ != b.height_ || a.bpp_ != b.bpp_) return false;
  const size_t used = static_cast<size_t>(a.width_) * a.BytesPerPixel();
  for (int y = 0; y < a.height_; ++y)
    if (std::memcmp(a.Row(y), b.Row(y), used) != 0) return false;
  return true;
}

TPicture PictureOverWhite(const uint8_t* bgra, int width, int height) {
  TPicture picture(width, height, 24);
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* in = bgra + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    uint8_t* out = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x, in += 4, out += 3) {
      // c * a + 255 * (255 - a), divided by 255 to the nearest (no exact halves: 255 is odd).
      const unsigned a = in[3];
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<uint8_t>((in[c] * a + 255u * (255u - a) + 127u) / 255u);
    }
  }
  return picture;
}

}  // namespace vantrix
