#include "platform/PictureFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

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
    default:
      throw TPictureError("not a GIF, JPEG or BMP picture");
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
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) ThrowForFile(path, "cannot open file");
  std::ifstream in(path, std::ios::binary);
  if (!in) ThrowForFile(path, "cannot open file");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) ThrowForFile(path, "cannot read file");
  if (static_cast<uint64_t>(size) > kMaxPictureFileSize) ThrowForFile(path, "file too large");
  in.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    ThrowForFile(path, "cannot read file");
  return bytes;
}

void WritePictureFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) ThrowForFile(path, "cannot write file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return;
  }
  // A half-written picture is worse than none.
  std::remove(path.c_str());
  ThrowForFile(path, "cannot write file");
}

}  // namespace vantrix
