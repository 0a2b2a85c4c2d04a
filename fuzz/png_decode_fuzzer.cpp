// Decodes arbitrary bytes as a PNG texture from memory. A refusal must be a
// TPictureError; a success must be a 24-bit picture within the size limits.

#include "fuzz/PictureDecodeCheck.h"
#include "platform/PngCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vantrix::fuzz::CheckPictureDecoder(vantrix::DecodePng, data, size);
}
