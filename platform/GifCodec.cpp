#include "platform/GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

[[noreturn]] void ThrowGifError(int code) {
  if (code == D_GIF_ERR_READ_FAILED || code == D_GIF_ERR_EOF_TOO_SOON)
    throw TPictureError("truncated GIF data");
  const char* text = GifErrorString(code);
  throw TPictureError(std::string("damaged GIF data (") + (text ? text : "unknown error") + ")");
}

struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using TGifHandle = std::unique_ptr<GifFileType, TGifCloser>;

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
  TGifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
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

}  // namespace vantrix
