#pragma once
// Reading and writing picture files: GIF, JPEG, BMP, PNG and WebP (the last
// two are written by their own codecs).
//
// Every decoded picture is 24 bits per pixel (bytes blue, green, red, rows
// top-down); callers that want 32 bits use TPicture::Converted. The decoders
// tell the format of data by its first bytes; a caller that goes by the file
// name chooses with PictureFormatFromExtension. Every failure throws
// TPictureError; the file entry points start the message with "<path>: ".

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/GifCodec.h"
#include "platform/JpegCodec.h"
#include "platform/Picture.h"
#include "platform/PictureError.h"
#include "platform/PngCodec.h"
#include "platform/WebpCodec.h"

namespace vantrix {

enum class TPictureFormat { Unknown, Gif, Jpeg, Bmp, Png, Webp };

// By signature: "GIF87a"/"GIF89a", FF D8 FF, "BM", the PNG signature, "RIFF"....
// "WEBP".
TPictureFormat DetectPictureFormat(std::span<const uint8_t> data);

// Detects the format and decodes; "not a GIF, JPEG, BMP, PNG or WebP picture"
// otherwise.
[[nodiscard]] TPicture DecodePicture(std::span<const uint8_t> data);
// With one decoder chosen by the caller (Unknown means detect).
[[nodiscard]] TPicture DecodePicture(std::span<const uint8_t> data, TPictureFormat format);

// Reads and decodes a whole file.
[[nodiscard]] TPicture LoadPictureFile(const std::string& path,
                                       TPictureFormat format = TPictureFormat::Unknown);

// Writes a 24-bit BMP or a JPEG of quality 1..100 (clamped).
void SaveBmpFile(const std::string& path, const TPicture& picture);
void SaveJpegFile(const std::string& path, const TPicture& picture, int quality);

// Plain file access with the same error style. Files over kMaxPictureFileSize
// are refused rather than read into memory. Writing replaces the file as a
// whole (platform/FileIO.h), so a failed write leaves the old picture as it was.
constexpr uint64_t kMaxPictureFileSize = uint64_t{256} << 20;
[[nodiscard]] std::vector<uint8_t> ReadPictureFileBytes(const std::string& path);
void WritePictureFileBytes(const std::string& path, std::span<const uint8_t> bytes);

// The format a file-name extension (with its dot) names: ".gif", ".jpg" or
// ".jpeg", ".bmp", ".png", ".webp"; Unknown for any other. Exact compares the bytes as they
// are (".JPG" is no JPEG); IgnoreAscii folds ASCII letters first.
enum class TExtensionCase { Exact, IgnoreAscii };
TPictureFormat PictureFormatFromExtension(std::string_view extension, TExtensionCase letterCase);

}  // namespace vantrix
