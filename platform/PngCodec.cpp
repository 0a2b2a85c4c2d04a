#include "platform/PngCodec.h"

#include <png.h>

#include <cstring>

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

}  // namespace

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
