#include "platform/GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/PictureFile.h"

namespace vantrix {
namespace {

struct TMemorySource {
  std::span<const uint8_t> data;
  size_t pos = 0;
};

// giflib treats a short count as a read failure, which ends the decode.
int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
  auto* src = static_cast<TMemorySource*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(length), src->data.size() - src->pos);
  std::memcpy(buffer, src->data.data() + src->pos, n);
  src->pos += n;
  return static_cast<int>(n);
}

std::string GifErrorText(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "unknown error";
}

// Reading and writing handles are closed by different calls; both free the
// handle whatever they return.
template <int (*Close)(GifFileType*, int*)>
struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    Close(gif, &ignored);
  }
};
using TGifReadHandle = std::unique_ptr<GifFileType, TGifCloser<DGifCloseFile>>;
using TGifWriteHandle = std::unique_ptr<GifFileType, TGifCloser<EGifCloseFile>>;

[[noreturn]] void ThrowGifError(int code) {
  if (code == D_GIF_ERR_READ_FAILED || code == D_GIF_ERR_EOF_TOO_SOON)
    throw TPictureError("truncated GIF data");
  throw TPictureError("damaged GIF data (" + GifErrorText(code) + ")");
}

void SkipExtension(GifFileType* gif) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) ThrowGifError(gif->Error);
  while (block != nullptr)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) ThrowGifError(gif->Error);
}

TPicture ReadImage(GifFileType* gif) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) ThrowGifError(gif->Error);
  const GifImageDesc& desc = gif->Image;
  CheckPictureDimensions(desc.Width, desc.Height, "GIF");
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr || map->ColorCount <= 0)
    throw TPictureError("GIF has no colour map");

  const int width = desc.Width;
  const int height = desc.Height;
  TPicture out(width, height, 24);
  std::vector<GifPixelType> line(static_cast<size_t>(width));
  // Interlaced images store every 8th row from 0, every 8th from 4, every 4th
  // from 2, then every 2nd from 1; a plain image is one pass of step 1.
  static constexpr int kInterlacedStart[] = {0, 4, 2, 1};
  static constexpr int kInterlacedStep[] = {8, 8, 4, 2};
  const int passes = desc.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = desc.Interlace ? kInterlacedStart[pass] : 0;
    const int step = desc.Interlace ? kInterlacedStep[pass] : 1;
    for (int y = start; y < height; y += step) {
      if (DGifGetLine(gif, line.data(), width) == GIF_ERROR) ThrowGifError(gif->Error);
      uint8_t* dst = out.Row(y);
      for (int x = 0; x < width; ++x, dst += 3) {
        if (line[x] >= map->ColorCount) throw TPictureError("GIF colour index out of range");
        const GifColorType& c = map->Colors[line[x]];
        dst[0] = c.Blue;
        dst[1] = c.Green;
        dst[2] = c.Red;
      }
    }
  }
  return out;
}

}  // namespace

TPicture DecodeGif(std::span<const uint8_t> data) {
  if (data.size() < 6 ||
      (std::memcmp(data.data(), "GIF87a", 6) != 0 && std::memcmp(data.data(), "GIF89a", 6) != 0))
    throw TPictureError("not a GIF picture");
  TMemorySource source{data};
  int error = 0;
  TGifReadHandle gif(DGifOpen(&source, ReadFromMemory, &error));
  if (!gif) ThrowGifError(error);
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) ThrowGifError(gif->Error);
    switch (record) {
      case IMAGE_DESC_RECORD_TYPE:
        return ReadImage(gif.get());
      case EXTENSION_RECORD_TYPE:
        SkipExtension(gif.get());
        break;
      case TERMINATE_RECORD_TYPE:
        throw TPictureError("GIF holds no image");
      default:
        ThrowGifError(D_GIF_ERR_WRONG_RECORD);
    }
  }
}

// Writing.

namespace {

int WriteToMemory(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  if (length <= 0) return 0;
  out->insert(out->end(), data, data + length);
  return length;
}

[[noreturn]] void ThrowGifEncodeError(int code) {
  throw TPictureError("GIF encoding failed (" + GifErrorText(code) + ")");
}

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
  if (!map) ThrowGifEncodeError(E_GIF_ERR_NOT_ENOUGH_MEM);

  std::vector<uint8_t> out;
  int error = 0;
  TGifWriteHandle gif(EGifOpen(&out, WriteToMemory, &error));
  if (!gif) ThrowGifEncodeError(error);
  const bool transparent = picture.TransparentIndex >= 0;
  EGifSetGifVersion(gif.get(), transparent);
  if (EGifPutScreenDesc(gif.get(), picture.Width, picture.Height, 8, 0, map.get()) == GIF_ERROR)
    ThrowGifEncodeError(gif->Error);
  if (transparent) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = picture.TransparentIndex;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR)
      ThrowGifEncodeError(gif->Error);
  }
  if (EGifPutImageDesc(gif.get(), 0, 0, picture.Width, picture.Height, false, nullptr) == GIF_ERROR)
    ThrowGifEncodeError(gif->Error);
  // giflib takes a non-const line although it only reads it.
  std::vector<GifPixelType> line(static_cast<size_t>(picture.Width));
  for (int y = 0; y < picture.Height; ++y) {
    const uint8_t* src = picture.Pixels.data() + static_cast<size_t>(y) * picture.Width;
    line.assign(src, src + picture.Width);
    if (EGifPutLine(gif.get(), line.data(), picture.Width) == GIF_ERROR) ThrowGifEncodeError(gif->Error);
  }
  // Closing writes the trailer and frees the handle whatever it returns.
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) ThrowGifEncodeError(error);
  return out;
}

std::vector<uint8_t> EncodeGifAnimation(const std::vector<TIndexedPicture>& frames, int delayCs) {
  if (frames.empty()) throw TPictureError("an animation needs frames");
  for (const TIndexedPicture& f : frames) {
    CheckPicture(f);
    if (f.Width != frames[0].Width || f.Height != frames[0].Height)
      throw TPictureError("the frames of an animation differ in size");
  }
  std::vector<uint8_t> out;
  int error = 0;
  TGifWriteHandle gif(EGifOpen(&out, WriteToMemory, &error));
  if (!gif) ThrowGifEncodeError(error);
  EGifSetGifVersion(gif.get(), true);
  if (EGifPutScreenDesc(gif.get(), frames[0].Width, frames[0].Height, 8, 0, nullptr) == GIF_ERROR)
    ThrowGifEncodeError(gif->Error);
  GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  GifByteType loop[] = {1, 0, 0};  // sub-block 1, loop count 0: for ever
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), sizeof netscape, netscape) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), sizeof loop, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif.get()) == GIF_ERROR)
    ThrowGifEncodeError(gif->Error);
  for (const TIndexedPicture& f : frames) {
    int bits = 1;
    while ((size_t{1} << bits) < f.Palette.size()) ++bits;
    std::vector<GifColorType> table(size_t{1} << bits, GifColorType{0, 0, 0});
    for (size_t i = 0; i < f.Palette.size(); ++i) table[i] = {f.Palette[i].R, f.Palette[i].G, f.Palette[i].B};
    std::unique_ptr<ColorMapObject, TMapDeleter> map(
        GifMakeMapObject(static_cast<int>(table.size()), table.data()));
    if (!map) ThrowGifEncodeError(E_GIF_ERR_NOT_ENOUGH_MEM);
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = f.TransparentIndex >= 0 ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = std::clamp(delayCs, 1, 65535);
    gcb.TransparentColor = f.TransparentIndex >= 0 ? f.TransparentIndex : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR)
      ThrowGifEncodeError(gif->Error);
    if (EGifPutImageDesc(gif.get(), 0, 0, f.Width, f.Height, false, map.get()) == GIF_ERROR)
      ThrowGifEncodeError(gif->Error);
    std::vector<GifPixelType> line(static_cast<size_t>(f.Width));
    for (int y = 0; y < f.Height; ++y) {
      const uint8_t* src = f.Pixels.data() + static_cast<size_t>(y) * f.Width;
      line.assign(src, src + f.Width);
      if (EGifPutLine(gif.get(), line.data(), f.Width) == GIF_ERROR) ThrowGifEncodeError(gif->Error);
    }
  }
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) ThrowGifEncodeError(error);
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
