// Decodes arbitrary bytes as a Windows bitmap from memory. A refusal must be a
// TPictureError; a success must be a 24-bit picture within the size limits that
// survives our own BMP writer and reader unchanged.

#include "fuzz/PictureDecodeCheck.h"
#include "platform/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vantrix;
  return fuzz::CheckPictureDecoder(DecodeBmp, data, size, [](const TPicture& picture) {
    fuzz::Check(DecodeBmp(EncodeBmp24(picture)) == picture);
  });
}
