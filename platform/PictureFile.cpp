#include "platform/PictureFile.h"

#include <cstring>

#include "platform/FileIO.h"
#include "platform/PathText.h"

namespace vantrix {
namespace {

[[noreturn]] void ThrowForFile(const std::string& path, const std::string& what) {
  throw TPictureError(path + ": " + what);
}

}  // namespace

TPictureFormat DetectPictureFormat(std::span<const uint8_t> data) {
  const auto starts = [&](const char* sig, size_t n) {
    return data.size() >= n && std::memcmp(data.data(), sig, n) == 0;
  };
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return TPictureFormat::Gif;
  if (starts("\xFF\xD8\xFF", 3)) return TPictureFormat::Jpeg;
  if (starts("BM", 2)) return TPictureFormat::Bmp;
  if (starts("\x89PNG\r\n\x1A\n", 8)) return TPictureFormat::Png;
  if (data.size() >= 12 && starts("RIFF", 4) && std::memcmp(data.data() + 8, "WEBP", 4) == 0)
    return TPictureFormat::Webp;
  return TPictureFormat::Unknown;
}

TPicture DecodePicture(std::span<const uint8_t> data) {
  return DecodePicture(data, TPictureFormat::Unknown);
}

TPicture DecodePicture(std::span<const uint8_t> data, TPictureFormat format) {
  if (format == TPictureFormat::Unknown) format = DetectPictureFormat(data);
  switch (format) {
    case TPictureFormat::Gif:
      return DecodeGif(data);
    case TPictureFormat::Jpeg:
      return DecodeJpeg(data);
    case TPictureFormat::Bmp:
      return DecodeBmp(data);
    case TPictureFormat::Png:
      return DecodePng(data);
    case TPictureFormat::Webp:
      return DecodeWebp(data);
    default:
      throw TPictureError("not a GIF, JPEG, BMP, PNG or WebP picture");
  }
}

TPicture LoadPictureFile(const std::string& path, TPictureFormat format) {
  const std::vector<uint8_t> bytes = ReadPictureFileBytes(path);
  try {
    return DecodePicture(bytes, format);
  } catch (const TPictureError& e) {
    ThrowForFile(path, e.what());
  } catch (const std::bad_alloc&) {
    ThrowForFile(path, "not enough memory to decode the picture");
  }
}

void SaveBmpFile(const std::string& path, const TPicture& picture) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeBmp24(picture);
  } catch (const TPictureError& e) {
    ThrowForFile(path, e.what());
  }
  WritePictureFileBytes(path, bytes);
}

void SaveJpegFile(const std::string& path, const TPicture& picture, int quality) {
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeJpeg(picture, quality);
  } catch (const TPictureError& e) {
    ThrowForFile(path, e.what());
  }
  WritePictureFileBytes(path, bytes);
}

std::vector<uint8_t> ReadPictureFileBytes(const std::string& path) {
  try {
    return ReadFileLimited(path, kMaxPictureFileSize);
  } catch (const TFileError& e) {
    if (e.Fault() == TFileFault::TooLarge) ThrowForFile(path, "file too large");
    if (e.Fault() == TFileFault::Read) ThrowForFile(path, "cannot read file");
    ThrowForFile(path, "cannot open file");
  }
}

void WritePictureFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
  try {
    ReplaceFileAtomically(path, bytes);
  } catch (const TFileError&) {
    ThrowForFile(path, "cannot write file");
  }
}

TPictureFormat PictureFormatFromExtension(std::string_view extension, TExtensionCase letterCase) {
  const std::string ext =
      letterCase == TExtensionCase::IgnoreAscii ? LowerAscii(extension) : std::string(extension);
  if (ext == ".gif") return TPictureFormat::Gif;
  if (ext == ".jpg" || ext == ".jpeg") return TPictureFormat::Jpeg;
  if (ext == ".bmp") return TPictureFormat::Bmp;
  if (ext == ".png") return TPictureFormat::Png;
  if (ext == ".webp") return TPictureFormat::Webp;
  return TPictureFormat::Unknown;
}

}  // namespace vantrix
