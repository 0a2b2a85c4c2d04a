#include "platform/PngCodec.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/PictureFile.h"

namespace vantrix {
namespace {

// libpng's simplified writer: it needs no setjmp, reports failures in
// image.message and writes tRNS for a palette with translucent entries itself.
std::vector<uint8_t> Write(png_image& image, const void* pixels, const void* colormap) {
  std::vector<uint8_t> out(PNG_IMAGE_PNG_SIZE_MAX(image));
  png_alloc_size_t size = out.size();
  const bool ok = png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, colormap) != 0;
  const std::string message = image.message;
  png_image_free(&image);
  if (!ok) throw TPictureError("cannot encode the PNG picture (" + message + ")");
  out.resize(size);
  return out;
}

png_image Header(int width, int height, uint32_t format) {
  CheckPictureDimensions(width, height, "PNG");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  return image;
}

size_t PixelCount(int width, int height) {
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

template <typename Picture>
size_t Save(const std::string& path, const Picture& picture) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodePng(picture);
  } catch (const TPictureError& e) {
    throw TPictureError(path + ": " + e.what());
  }
  WritePictureFileBytes(path, bytes);
  return bytes.size();
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t GetU32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutU32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// The chunks of a PNG that libpng wrote: (type, data) in order.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Chunks(const std::vector<uint8_t>& png) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = GetU32(png.data() + at);
    if (length > png.size() - at - 12) throw TPictureError("libpng wrote a damaged chunk");
    chunks.emplace_back(std::string(png.begin() + at + 4, png.begin() + at + 8),
                        std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length));
    at += 12 + length;
  }
  return chunks;
}

}  // namespace

std::vector<uint8_t> EncodeApng(const std::vector<TRgbaPicture>& frames, int fps) {
  if (frames.empty()) throw TPictureError("an animation needs frames");
  for (const TRgbaPicture& f : frames)
    if (f.Width != frames[0].Width || f.Height != frames[0].Height)
      throw TPictureError("the frames of an animation differ in size");
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  uint32_t sequence = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    const auto chunks = Chunks(EncodePng(frames[i]));
    if (i == 0) {
      for (const auto& [type, data] : chunks)
        if (type == "IHDR") PutChunk(out, type, data);
      std::vector<uint8_t> control;
      PutU32(control, static_cast<uint32_t>(frames.size()));
      PutU32(control, 0);  // plays for ever
      PutChunk(out, "acTL", control);
    }
    std::vector<uint8_t> frame;
    PutU32(frame, sequence++);
    PutU32(frame, static_cast<uint32_t>(frames[i].Width));
    PutU32(frame, static_cast<uint32_t>(frames[i].Height));
    PutU32(frame, 0);  // x offset
    PutU32(frame, 0);  // y offset
    const uint16_t den = static_cast<uint16_t>(std::clamp(fps, 1, 65535));
    frame.insert(frame.end(), {0, 1, static_cast<uint8_t>(den >> 8), static_cast<uint8_t>(den)});
    frame.insert(frame.end(), {0, 0});  // dispose: none; blend: source, so alpha replaces
    PutChunk(out, "fcTL", frame);
    for (const auto& [type, data] : chunks) {
      if (type != "IDAT") continue;
      if (i == 0) {
        PutChunk(out, "IDAT", data);
      } else {
        std::vector<uint8_t> moved;
        PutU32(moved, sequence++);
        moved.insert(moved.end(), data.begin(), data.end());
        PutChunk(out, "fdAT", moved);
      }
    }
  }
  PutChunk(out, "IEND", {});
  return out;
}

std::vector<uint8_t> EncodePng(const TRgbaPicture& picture) {
  png_image image = Header(picture.Width, picture.Height, PNG_FORMAT_RGBA);
  if (picture.Pixels.size() != PixelCount(picture.Width, picture.Height) * 4)
    throw TPictureError("RGBA picture has the wrong number of bytes");
  return Write(image, picture.Pixels.data(), nullptr);
}

std::vector<uint8_t> EncodePng(const TAlphaIndexedPicture& picture) {
  png_image image = Header(picture.Width, picture.Height, PNG_FORMAT_RGBA_COLORMAP);
  const size_t entries = picture.Palette.size();
  if (entries == 0 || entries > kMaxPaletteSize) throw TPictureError("PNG palette needs 1 to 256 entries");
  if (picture.Alpha.size() != entries) throw TPictureError("PNG palette and alpha list differ in size");
  if (picture.Pixels.size() != PixelCount(picture.Width, picture.Height))
    throw TPictureError("indexed picture has the wrong number of pixels");
  for (uint8_t index : picture.Pixels)
    if (index >= entries) throw TPictureError("pixel index outside the PNG palette");
  std::vector<uint8_t> colormap(entries * 4);
  for (size_t i = 0; i < entries; ++i) {
    colormap[4 * i] = picture.Palette[i].R;
    colormap[4 * i + 1] = picture.Palette[i].G;
    colormap[4 * i + 2] = picture.Palette[i].B;
    colormap[4 * i + 3] = picture.Alpha[i];
  }
  image.colormap_entries = static_cast<png_uint_32>(entries);
  return Write(image, picture.Pixels.data(), colormap.data());
}

size_t SavePngFile(const std::string& path, const TRgbaPicture& picture) {
  return Save(path, picture);
}

size_t SavePngFile(const std::string& path, const TAlphaIndexedPicture& picture) {
  return Save(path, picture);
}

TPicture DecodePng(std::span<const uint8_t> data) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    const std::string why = image.message;
    png_image_free(&image);
    throw TPictureError("PNG error: " + why);
  }
  try {
    CheckPictureDimensions(image.width, image.height, "PNG");
  } catch (...) {
    png_image_free(&image);
    throw;
  }
  // Read with alpha and laid over white here, as WebP is: libpng's own
  // composition works in linear light and would give other colours.
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint8_t> bgra(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) {
    const std::string why = image.message;
    png_image_free(&image);
    throw TPictureError("PNG error: " + why);
  }
  return PictureOverWhite(bgra.data(), static_cast<int>(image.width), static_cast<int>(image.height));
}

}  // namespace vantrix
