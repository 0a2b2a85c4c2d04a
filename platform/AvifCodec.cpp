#include "platform/AvifCodec.h"

#include <avif/avif.h>

#include <algorithm>
#include <memory>

#include "platform/PictureFile.h"

namespace vantrix {
namespace {

struct TAvifDeleter {
  void operator()(avifImage* image) const { avifImageDestroy(image); }
  void operator()(avifEncoder* encoder) const { avifEncoderDestroy(encoder); }
};

void Check(avifResult result, const char* step) {
  if (result != AVIF_RESULT_OK)
    throw TPictureError(std::string("cannot encode the AVIF picture (") + step + ": " +
                        avifResultToString(result) + ")");
}

}  // namespace

std::vector<uint8_t> EncodeAvif(const TRgbaPicture& picture, int quality) {
  CheckPictureDimensions(picture.Width, picture.Height, "AVIF");
  if (picture.Pixels.size() != static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height) * 4)
    throw TPictureError("RGBA picture has the wrong number of bytes");
  std::unique_ptr<avifImage, TAvifDeleter> image(avifImageCreate(static_cast<uint32_t>(picture.Width),
                                                                 static_cast<uint32_t>(picture.Height), 8,
                                                                 AVIF_PIXEL_FORMAT_YUV444));
  if (!image) throw TPictureError("not enough memory to encode the AVIF picture");
  image->yuvRange = AVIF_RANGE_FULL;
  avifRGBImage rgb;
  avifRGBImageSetDefaults(&rgb, image.get());
  rgb.format = AVIF_RGB_FORMAT_RGBA;
  rgb.depth = 8;
  rgb.pixels = const_cast<uint8_t*>(picture.Pixels.data());  // only read
  rgb.rowBytes = static_cast<uint32_t>(picture.Width) * 4;
  Check(avifImageRGBToYUV(image.get(), &rgb), "colour conversion");

  std::unique_ptr<avifEncoder, TAvifDeleter> encoder(avifEncoderCreate());
  if (!encoder) throw TPictureError("not enough memory to encode the AVIF picture");
  // Quality 100 is the finest quantizer short of lossless, 1 the coarsest.
  const int q = std::clamp(quality, 1, 100);
  const int quantizer = (100 - q) * (AVIF_QUANTIZER_WORST_QUALITY - 1) / 99 + 1;
  encoder->minQuantizer = encoder->maxQuantizer = quantizer;
  encoder->minQuantizerAlpha = encoder->maxQuantizerAlpha = AVIF_QUANTIZER_LOSSLESS;
  // Speed 6 of 0..10 keeps a button's encode in the time a WebP takes; one
  // thread, since a set already gives every core a button of its own.
  encoder->speed = 6;
  encoder->maxThreads = 1;
  avifRWData out = AVIF_DATA_EMPTY;
  const avifResult written = avifEncoderWrite(encoder.get(), image.get(), &out);
  std::vector<uint8_t> bytes;
  if (written == AVIF_RESULT_OK) bytes.assign(out.data, out.data + out.size);
  avifRWDataFree(&out);
  Check(written, "AV1 encoder");
  return bytes;
}

size_t SaveAvifFile(const std::string& path, const TRgbaPicture& picture, int quality) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeAvif(picture, quality);
  } catch (const TPictureError& e) {
    throw TPictureError(path + ": " + e.what());
  }
  WritePictureFileBytes(path, bytes);
  return bytes.size();
}

}  // namespace vantrix
