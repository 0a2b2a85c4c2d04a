#include "imaging/GifWriter.h"

#include <gif_lib.h>

#include <memory>

#include "platform/PictureFile.h"

namespace vantrix {
namespace {

int WriteToMemory(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  if (length <= 0) return 0;
  out->insert(out->end(), data, data + length);
  return length;
}

[[noreturn]] void ThrowGifError(int code) {
  const char* text = GifErrorString(code);
  throw TPictureError(std::string("GIF encoding failed (") + (text ? text : "unknown error") + ")");
}

struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    EGifCloseFile(gif, &ignored);
  }
};

struct TMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

void CheckPicture(const TIndexedPicture& picture) {
  if (picture.Width <= 0 || picture.Height <= 0) throw TPictureError("GIF picture has no pixels");
  if (picture.Width > 65535 || picture.Height > 65535) throw TPictureError("picture too large for GIF");
  if (picture.Pixels.size() != static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height))
    throw TPictureError("GIF pixel count does not match the picture size");
  const size_t colors = picture.Palette.size();
  if (colors == 0 || colors > static_cast<size_t>(kMaxPaletteSize))
    throw TPictureError("GIF palette must have 1 to 256 entries");
  for (uint8_t p : picture.Pixels)
    if (p >= colors) throw TPictureError("GIF pixel index outside the palette");
  if (picture.TransparentIndex >= static_cast<int>(colors))
    throw TPictureError("GIF transparent index outside the palette");
}

}  // namespace

std::vector<uint8_t> EncodeGif(const TIndexedPicture& picture) {
  CheckPicture(picture);
  int bits = 1;
  while ((size_t{1} << bits) < picture.Palette.size()) ++bits;
  std::vector<GifColorType> table(size_t{1} << bits, GifColorType{0, 0, 0});
  for (size_t i = 0; i < picture.Palette.size(); ++i)
    table[i] = {picture.Palette[i].R, picture.Palette[i].G, picture.Palette[i].B};
  std::unique_ptr<ColorMapObject, TMapDeleter> map(
      GifMakeMapObject(static_cast<int>(table.size()), table.data()));
  if (!map) ThrowGifError(E_GIF_ERR_NOT_ENOUGH_MEM);

  std::vector<uint8_t> out;
  int error = 0;
  std::unique_ptr<GifFileType, TGifCloser> gif(EGifOpen(&out, WriteToMemory, &error));
  if (!gif) ThrowGifError(error);
  const bool transparent = picture.TransparentIndex >= 0;
  EGifSetGifVersion(gif.get(), transparent);
  if (EGifPutScreenDesc(gif.get(), picture.Width, picture.Height, 8, 0, map.get()) == GIF_ERROR)
    ThrowGifError(gif->Error);
  if (transparent) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = picture.TransparentIndex;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR)
      ThrowGifError(gif->Error);
  }
  if (EGifPutImageDesc(gif.get(), 0, 0, picture.Width, picture.Height, false, nullptr) == GIF_ERROR)
    ThrowGifError(gif->Error);
  // giflib takes a non-const line although it only reads it.
  std::vector<GifPixelType> line(static_cast<size_t>(picture.Width));
  for (int y = 0; y < picture.Height; ++y) {
    const uint8_t* src = picture.Pixels.data() + static_cast<size_t>(y) * picture.Width;
    line.assign(src, src + picture.Width);
    if (EGifPutLine(gif.get(), line.data(), picture.Width) == GIF_ERROR) ThrowGifError(gif->Error);
  }
  // Closing writes the trailer and frees the handle whatever it returns.
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) ThrowGifError(error);
  return out;
}

size_t SaveGifFile(const std::string& path, const TIndexedPicture& picture) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeGif(picture);
  } catch (const TPictureError& e) {
    throw TPictureError(path + ": " + e.what());
  }
  WritePictureFileBytes(path, bytes);
  return bytes.size();
}

}  // namespace vantrix
