#include "platform/WebpCodec.h"

#include <webp/decode.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <memory>

#include "platform/PictureFile.h"

namespace vantrix {
namespace {

struct TWebpPicture {
  WebPPicture Picture;
  WebPMemoryWriter Writer;
  TWebpPicture() {
    WebPPictureInit(&Picture);
    WebPMemoryWriterInit(&Writer);
  }
  ~TWebpPicture() {
    WebPPictureFree(&Picture);
    WebPMemoryWriterClear(&Writer);
  }
  TWebpPicture(const TWebpPicture&) = delete;
  TWebpPicture& operator=(const TWebpPicture&) = delete;
};

void CheckRgba(const TRgbaPicture& picture) {
  CheckPictureDimensions(picture.Width, picture.Height, "WebP");
  if (picture.Width > WEBP_MAX_DIMENSION || picture.Height > WEBP_MAX_DIMENSION)
    throw TPictureError("WebP picture too large");
  if (picture.Pixels.size() != static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height) * 4)
    throw TPictureError("RGBA picture has the wrong number of bytes");
}

WebPConfig ConfigOf(int quality) {
  WebPConfig config;
  if (!WebPConfigInit(&config)) throw TPictureError("the WebP library does not match its header");
  if (quality <= 0) {
    // Level 0 of 9: on button art it is still smaller than the RGBA PNG, at a
    // tenth of the time of level 1 (bench/compare-web-export).
    WebPConfigLosslessPreset(&config, 0);
  } else {
    config.quality = static_cast<float>(std::min(quality, 100));
    config.method = 4;
    config.alpha_compression = 1;  // the alpha plane stays lossless
    config.alpha_quality = 100;
  }
  return config;
}

}  // namespace

std::vector<uint8_t> EncodeWebp(const TRgbaPicture& picture, int quality) {
  CheckRgba(picture);
  const WebPConfig config = ConfigOf(quality);
  TWebpPicture p;
  p.Picture.use_argb = config.lossless;
  p.Picture.width = picture.Width;
  p.Picture.height = picture.Height;
  p.Picture.writer = WebPMemoryWrite;
  p.Picture.custom_ptr = &p.Writer;
  if (!WebPPictureImportRGBA(&p.Picture, picture.Pixels.data(), picture.Width * 4))
    throw TPictureError("not enough memory to encode the WebP picture");
  if (!WebPEncode(&config, &p.Picture))
    throw TPictureError("cannot encode the WebP picture (libwebp error " +
                        std::to_string(static_cast<int>(p.Picture.error_code)) + ")");
  return std::vector<uint8_t>(p.Writer.mem, p.Writer.mem + p.Writer.size);
}

std::vector<uint8_t> EncodeWebpAnimation(const std::vector<TRgbaPicture>& frames, int fps, int quality) {
  if (frames.empty()) throw TPictureError("an animation needs frames");
  for (const TRgbaPicture& f : frames) {
    CheckRgba(f);
    if (f.Width != frames[0].Width || f.Height != frames[0].Height)
      throw TPictureError("the frames of an animation differ in size");
  }
  const WebPConfig config = ConfigOf(quality);
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options))
    throw TPictureError("the WebP library does not match its header");
  options.anim_params.loop_count = 0;  // for ever
  std::unique_ptr<WebPAnimEncoder, void (*)(WebPAnimEncoder*)> encoder(
      WebPAnimEncoderNew(frames[0].Width, frames[0].Height, &options), WebPAnimEncoderDelete);
  if (!encoder) throw TPictureError("not enough memory to encode the WebP animation");
  const int rate = std::max(fps, 1);
  // Timestamps in milliseconds, rounded down: the frames keep the rate on average.
  auto stamp = [rate](size_t i) { return static_cast<int>(static_cast<int64_t>(i) * 1000 / rate); };
  for (size_t i = 0; i < frames.size(); ++i) {
    TWebpPicture p;
    p.Picture.use_argb = 1;
    p.Picture.width = frames[i].Width;
    p.Picture.height = frames[i].Height;
    if (!WebPPictureImportRGBA(&p.Picture, frames[i].Pixels.data(), frames[i].Width * 4))
      throw TPictureError("not enough memory to encode the WebP animation");
    if (!WebPAnimEncoderAdd(encoder.get(), &p.Picture, stamp(i), &config))
      throw TPictureError(std::string("cannot encode the WebP animation (") +
                          WebPAnimEncoderGetError(encoder.get()) + ")");
  }
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, stamp(frames.size()), nullptr) ||
      !WebPAnimEncoderAssemble(encoder.get(), &data)) {
    WebPDataClear(&data);
    throw TPictureError(std::string("cannot encode the WebP animation (") +
                        WebPAnimEncoderGetError(encoder.get()) + ")");
  }
  std::vector<uint8_t> bytes(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  return bytes;
}

size_t SaveWebpFile(const std::string& path, const TRgbaPicture& picture, int quality) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeWebp(picture, quality);
  } catch (const TPictureError& e) {
    throw TPictureError(path + ": " + e.what());
  }
  WritePictureFileBytes(path, bytes);
  return bytes.size();
}

TPicture DecodeWebp(std::span<const uint8_t> data) {
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK)
    throw TPictureError("not a readable WebP picture");
  if (features.has_animation) throw TPictureError("animated WebP pictures are not read");
  CheckPictureDimensions(features.width, features.height, "WebP");
  const size_t width = static_cast<size_t>(features.width);
  const size_t height = static_cast<size_t>(features.height);
  std::vector<uint8_t> bgra(width * height * 4);
  if (!WebPDecodeBGRAInto(data.data(), data.size(), bgra.data(), bgra.size(), static_cast<int>(width * 4)))
    throw TPictureError("damaged WebP picture");
  return PictureOverWhite(bgra.data(), features.width, features.height);
}

}  // namespace vantrix
