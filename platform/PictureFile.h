#pragma once
// Reading and writing picture files: GIF, JPEG and BMP.
//
// Every decoded picture is 24 bits per pixel (bytes blue, green, red, rows
// top-down); callers that want 32 bits use TPicture::Converted. The format of
// data is told by its first bytes, never by a file name. Every failure throws
// TPictureError; the file entry points start the message with "<path>: ".

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/GifCodec.h"
#include "platform/JpegCodec.h"
#include "platform/Picture.h"
#include "platform/PictureError.h"

namespace vantrix {

enum class TPictureFormat { Unknown, Gif, Jpeg, Bmp };

// By signature: "GIF87a"/"GIF89a", FF D8 FF, "BM".
TPictureFormat DetectPictureFormat(std::span<const uint8_t> data);

// Detects the format and decodes; "not a GIF, JPEG or BMP picture" otherwise.
TPicture DecodePicture(std::span<const uint8_t> data);
// With one decoder chosen by the caller (Unknown means detect).
TPicture DecodePicture(std::span<const uint8_t> data, TPictureFormat format);

// Reads and decodes a whole file.
TPicture LoadPictureFile(const std::string& path, TPictureFormat format = TPictureFormat::Unknown);

// Writes a 24-bit BMP or a JPEG of quality 1..100 (clamped).
void SaveBmpFile(const std::string& path, const TPicture& picture);
void SaveJpegFile(const std::string& path, const TPicture& picture, int quality);

// Plain file access with the same error style. Files over kMaxPictureFileSize
// are refused rather than read into memory.
constexpr uint64_t kMaxPictureFileSize = uint64_t{256} << 20;
std::vector<uint8_t> ReadPictureFileBytes(const std::string& path);
void WritePictureFileBytes(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace vantrix
