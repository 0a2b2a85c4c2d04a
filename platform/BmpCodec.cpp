#include "platform/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <string>

namespace vantrix {
namespace {

// Every header field goes through these, so no read can pass the end.
class TBmpReader {
 public:
  explicit TBmpReader(std::span<const uint8_t> data) : data_(data) {}
  size_t Size() const { return data_.size(); }
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  uint16_t U16(size_t at) const {
    Need(at, 2);
    return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
           static_cast<uint32_t>(data_[at + 2]) << 16 | static_cast<uint32_t>(data_[at + 3]) << 24;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  const uint8_t* At(size_t at) const { return data_.data() + at; }

 private:
  void Need(size_t at, size_t count) const {
    if (!Has(at, count)) throw TPictureError("truncated BMP data");
  }
  std::span<const uint8_t> data_;
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

// One colour channel of a masked 16- or 32-bit pixel, scaled to 0..255.
struct TMaskChannel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit TMaskChannel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  uint8_t Extract(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint64_t v = (pixel & mask) >> shift;  // never above max
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

struct TBmpLayout {
  int64_t width = 0;
  int64_t height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kBiRgb;
  uint32_t colorsUsed = 0;
  size_t headerSize = 0;
  bool core = false;
};

TBmpLayout ReadLayout(const TBmpReader& in) {
  TBmpLayout l;
  l.headerSize = in.U32(kFileHeaderSize);
  const size_t h = l.headerSize;
  if (h != 12 && h != 40 && h != 52 && h != 56 && h != 108 && h != 124)
    throw TPictureError("unsupported BMP header (" + std::to_string(h) + " bytes)");
  if (!in.Has(kFileHeaderSize, h)) throw TPictureError("truncated BMP data");
  if (h == 12) {
    l.core = true;
    l.width = in.U16(18);
    l.height = in.U16(20);
    l.bpp = in.U16(24);
  } else {
    l.width = in.I32(18);
    const int64_t height = in.I32(22);
    l.topDown = height < 0;
    l.height = height < 0 ? -height : height;
    l.bpp = in.U16(28);
    l.compression = in.U32(30);
    l.colorsUsed = in.U32(46);
  }
  CheckPictureDimensions(l.width, l.height, "BMP");
  return l;
}

// The palette as TPixel values; only the entries that the file really holds.
std::vector<TPixel> ReadPalette(const TBmpReader& in, const TBmpLayout& l, uint64_t pixelOffset) {
  const size_t start = kFileHeaderSize + l.headerSize;
  const size_t entrySize = l.core ? 3 : 4;
  const uint32_t maxEntries = 1u << l.bpp;
  uint64_t count = (l.colorsUsed == 0 || l.colorsUsed > maxEntries) ? maxEntries : l.colorsUsed;
  // The colour count may promise more entries than fit before the pixels; the
  // caller has made sure that the pixels do not start inside the headers.
  const uint64_t end = std::min<uint64_t>(in.Size(), pixelOffset);
  count = std::min<uint64_t>(count, end > start ? (end - start) / entrySize : 0);
  if (count == 0) throw TPictureError("BMP palette is missing");
  std::vector<TPixel> palette(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = in.At(start + i * entrySize);
    palette[i] = MakePixel(e[2], e[1], e[0]);
  }
  return palette;
}

void PutPixel(uint8_t* dst, TPixel p) {
  dst[0] = PixelBlue(p);
  dst[1] = PixelGreen(p);
  dst[2] = PixelRed(p);
}

}  // namespace

TPicture DecodeBmp(std::span<const uint8_t> data) {
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') throw TPictureError("not a BMP picture");
  const TBmpReader in(data);
  const uint64_t pixelOffset = in.U32(10);
  const TBmpLayout l = ReadLayout(in);

  const bool paletted = l.bpp == 1 || l.bpp == 4 || l.bpp == 8;
  if (!paletted && l.bpp != 16 && l.bpp != 24 && l.bpp != 32)
    throw TPictureError("unsupported BMP depth (" + std::to_string(l.bpp) + " bits per pixel)");
  if (l.compression == kBiBitfields) {
    if (l.bpp != 16 && l.bpp != 32) throw TPictureError("damaged BMP header (bit fields need 16 or 32 bits)");
  } else if (l.compression != kBiRgb) {
    throw TPictureError("unsupported BMP compression (" + std::to_string(l.compression) + ")");
  }

  // The three masks sit right after a 40-byte header and inside the larger ones,
  // at the same place either way.
  size_t headersEnd = kFileHeaderSize + l.headerSize;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16-bit BI_RGB is 5-5-5
  if (l.compression == kBiBitfields) {
    const size_t at = kFileHeaderSize + kInfoHeaderSize;
    for (int i = 0; i < 3; ++i) masks[i] = in.U32(at + 4 * i);
    headersEnd = std::max(headersEnd, at + 12);
  }
  if (pixelOffset < headersEnd)
    throw TPictureError("damaged BMP header (pixel data offset " + std::to_string(pixelOffset) + ")");

  std::vector<TPixel> palette;
  if (paletted) palette = ReadPalette(in, l, pixelOffset);

  // The last row may lack its padding; some writers leave it out.
  const uint64_t rowBits = static_cast<uint64_t>(l.width) * l.bpp;
  const uint64_t stride = (rowBits + 31) / 32 * 4;
  const uint64_t needed = stride * static_cast<uint64_t>(l.height - 1) + (rowBits + 7) / 8;
  if (!in.Has(pixelOffset, needed)) throw TPictureError("truncated BMP data");

  const TMaskChannel red(masks[0]), green(masks[1]), blue(masks[2]);
  const bool plain32 = l.bpp == 32 && l.compression == kBiRgb;
  const int width = static_cast<int>(l.width);
  const int height = static_cast<int>(l.height);
  TPicture out(width, height, 24);
  for (int r = 0; r < height; ++r) {
    const uint8_t* src = in.At(pixelOffset + static_cast<uint64_t>(r) * stride);
    uint8_t* dst = out.Row(l.topDown ? r : height - 1 - r);
    if (paletted) {
      const int perByte = 8 / l.bpp;
      const unsigned valueMask = (1u << l.bpp) - 1;
      for (int x = 0; x < width; ++x) {
        const int shift = 8 - l.bpp * (x % perByte + 1);  // leftmost pixel in the high bits
        const unsigned index = (src[x / perByte] >> shift) & valueMask;
        if (index >= palette.size()) throw TPictureError("BMP palette index out of range");
        PutPixel(dst + 3 * static_cast<size_t>(x), palette[index]);
      }
    } else if (l.bpp == 24) {
      std::copy(src, src + 3 * static_cast<size_t>(width), dst);
    } else if (plain32) {
      for (int x = 0; x < width; ++x, src += 4, dst += 3) std::copy(src, src + 3, dst);
    } else {
      const int bytes = l.bpp / 8;
      for (int x = 0; x < width; ++x, src += bytes, dst += 3) {
        uint32_t v = static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8;
        if (bytes == 4) v |= static_cast<uint32_t>(src[2]) << 16 | static_cast<uint32_t>(src[3]) << 24;
        dst[0] = blue.Extract(v);
        dst[1] = green.Extract(v);
        dst[2] = red.Extract(v);
      }
    }
  }
  return out;
}

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const TPicture& picture) {
  if (picture.Empty()) throw TPictureError("cannot write an empty picture");
  const int width = picture.Width();
  const int height = picture.Height();
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  const size_t imageSize = stride * static_cast<size_t>(height);
  if (pixelOffset + imageSize > UINT32_MAX) throw TPictureError("picture too large for a BMP file");
  std::vector<uint8_t> out(pixelOffset + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, static_cast<uint32_t>(pixelOffset));
  Put32(out, 14, kInfoHeaderSize);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));  // positive: bottom-up
  Put16(out, 26, 1);                              // planes
  Put16(out, 28, 24);
  Put32(out, 30, kBiRgb);
  Put32(out, 34, static_cast<uint32_t>(imageSize));
  // Resolution, colours used and important stay 0.
  const int bytes = picture.BytesPerPixel();
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = picture.Row(y);
    uint8_t* dst = out.data() + pixelOffset + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x, src += bytes, dst += 3) std::copy(src, src + 3, dst);
  }
  return out;
}

}  // namespace vantrix
