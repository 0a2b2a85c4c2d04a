#include "imaging/ExportSettings.h"

#include <algorithm>

#include "platform/PathText.h"

namespace vantrix {

const char* const kPaletteNames[8] = {" Optimized",
                                      " Netscape (216)",
                                      " Monochrome (2)",
                                      " Grayscale (256)",
                                      " Windows grayscale (4)",
                                      " Windows System (20)",
                                      " Windows halftone (256)",
                                      " Optimized Windows (256)"};
const char* const kDitherNames[7] = {" None",   " Floyd Steinberg",        " Stucki",
                                     " Sierra", " Jarvis, Judice & Ninke", " Stevenson & Arche",
                                     " Burkes"};
const char* const kColorNames[6] = {" 8", " 16", " 32", " 64", " 128", " 256"};

TGifOptions TExportSettings::GifOptions() const {
  TGifOptions o;
  o.Palette = std::clamp(Palette, 0, 7);
  o.Colors = 1 << (std::clamp(ColorIndex, 0, 5) + 3);
  o.Dither = std::clamp(Dither, 0, 6);
  o.Transparent = Transparency;
  return o;
}

const char* ExportExtension(TExportType type) {
  switch (type) {
    case kExportGif:
      return "gif";
    case kExportJpeg:
      return "jpg";
    case kExportPng:
      return "png";
    case kExportWebp:
      return "webp";
    case kExportAvif:
      return "avif";
    case kExportBmp:
    case kExportNone:
      break;
  }
  return "bmp";
}

TExportType ExportTypeOfExtension(std::string_view extension) {
  if (extension.starts_with('.')) extension.remove_prefix(1);
  const std::string ext = LowerAscii(extension);
  if (ext == "gif") return kExportGif;
  if (ext == "jpg" || ext == "jpeg") return kExportJpeg;
  if (ext == "bmp") return kExportBmp;
  if (ext == "png") return kExportPng;
  if (ext == "webp") return kExportWebp;
  if (ext == "avif") return kExportAvif;
  return kExportNone;
}

const char* ExportMimeType(TExportType type) {
  switch (type) {
    case kExportGif:
      return "image/gif";
    case kExportJpeg:
      return "image/jpeg";
    case kExportPng:
      return "image/png";
    case kExportWebp:
      return "image/webp";
    case kExportAvif:
      return "image/avif";
    case kExportBmp:
    case kExportNone:
      break;
  }
  return "image/bmp";
}

bool TExportSettings::RendersAlpha() const {
  const std::vector<TExportType> offered = OfferedTypes();
  return HasAlpha() || std::any_of(offered.begin(), offered.end(), ExportTypeHasAlpha);
}

std::vector<TExportType> TExportSettings::OfferedTypes() const {
  std::vector<TExportType> out;
  for (TExportType t : AlsoOffer)
    if (t != kExportNone && t != Type && std::find(out.begin(), out.end(), t) == out.end()) out.push_back(t);
  return out;
}

std::vector<int> TExportSettings::NormalizedScales() const {
  std::vector<int> s = {1};
  for (int v : Scales) s.push_back(std::clamp(v, 1, kMaxScale));
  std::sort(s.begin(), s.end());
  s.erase(std::unique(s.begin(), s.end()), s.end());
  return s;
}

void TExportSettings::ApplyGifPreset(int preset) {
  static const int kColorIndex[3] = {1, 3, 5};  // 16, 64, 256 colours
  ColorIndex = kColorIndex[std::clamp(preset, 0, 2)];
  Dither = 0;
  Palette = 0;
}

void TExportSettings::ApplyJpegPreset(int preset) {
  static const int kQuality[3] = {30, 60, 90};
  JpegQuality = kQuality[std::clamp(preset, 0, 2)];
}

}  // namespace vantrix
