#pragma once
// The export settings as one plain record: what the Export page's controls
// hold and what the command line fills. List indices follow the page's lists;
// their texts (kPaletteNames, ...) are the program's own and reach the HTML
// page as they are (" None", " 256").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/ColorReduction.h"

namespace vantrix {

// The Export page's tabs, counted from 1 as the save dialog's filters are
// (GIF, JPEG, BMP, PNG, WebP, AVIF); kExportNone is what a name without a
// picture extension gives. PNG, WebP and AVIF carry true alpha; the PNG tab
// chooses RGBA or an indexed palette with alpha.
enum TExportType : int {
  kExportNone = 0,
  kExportGif = 1,
  kExportJpeg = 2,
  kExportBmp = 3,
  kExportPng = 4,
  kExportWebp = 5,
  kExportAvif = 6,
};

// How the page and the snippet swap to the roll-over picture: the script of
// the original pages, or CSS alone (:hover and :focus-visible, both pictures
// in the markup).
enum class TRollover { Script, Css };

// An animated button (Animation.h): none, or the movement of its loop.
enum class TAnimation { None, Swing, Light, Pulse };

// "gif", "jpg", "bmp", "png", "webp", "avif"; kExportNone gives "bmp", as a name
// without a known extension is saved as a bitmap.
const char* ExportExtension(TExportType type);
// The type an extension names, with or without its dot, ASCII letters in
// any case (".JPEG" is JPEG); kExportNone for any other.
TExportType ExportTypeOfExtension(std::string_view extension);
// "image/gif", "image/jpeg", "image/bmp", "image/png", "image/webp", "image/avif".
const char* ExportMimeType(TExportType type);
// Whether pictures of the type carry alpha, rendered on black and on white.
inline bool ExportTypeHasAlpha(TExportType type) {
  return type == kExportPng || type == kExportWebp || type == kExportAvif;
}

extern const char* const kPaletteNames[8];
extern const char* const kDitherNames[7];
extern const char* const kColorNames[6];  // " 8" .. " 256"

struct TExportSettings {
  TExportType Type = kExportGif;
  int Palette = 0;     // " Optimized"
  int ColorIndex = 5;  // " 256"
  int Dither = 0;      // " None"
  bool Transparency = true;
  int JpegQuality = 90;
  std::string TargetURL;  // the link the page gives the button
  bool BrowserPreview = true;
  int ExportWidth = 160;
  int ExportHeight = 40;
  // PNG tab: RGBA, or indexed with per-entry alpha from PngColorIndex colours
  // (kColorNames) and PngDither (kDitherNames), as the GIF tab's lists.
  bool PngIndexed = false;
  int PngColorIndex = 5;
  int PngDither = 0;
  // WebP tab: lossless, or lossy colour at WebpQuality 1..100 (alpha stays lossless).
  bool WebpLossless = true;
  int WebpQuality = 90;
  // AVIF: colour at AvifQuality 1..100, alpha lossless.
  int AvifQuality = 80;
  // Formats written beside Type under the same names and offered before it
  // by the page's <picture>, in the browser's order of preference: the
  // Export page's "Also offer AVIF / WebP" ({kExportAvif, kExportWebp}).
  // Type's own pictures stay the <img> that every browser shows.
  std::vector<TExportType> AlsoOffer;
  // The pixel densities written, ascending, 1 always among them: 2 gives
  // Name@2x.ext at twice the size from the same render. 1..kMaxScale.
  std::vector<int> Scales = {1};
  TRollover Rollover = TRollover::Script;
  // An animation instead of the still pictures: GIF, PNG (APNG) or WebP,
  // AnimationFrames frames (kMinFrames..kMaxFrames) at AnimationFps
  // (1..kMaxFps), one density, no roll-over.
  TAnimation Animate = TAnimation::None;
  int AnimationFrames = 24;
  int AnimationFps = 12;
  static constexpr int kMinFrames = 2, kMaxFrames = 240, kMaxFps = 60;

  static constexpr int kMaxScale = 4;

  TGifOptions GifOptions() const;
  // " Fast download", " Medium quality", " High quality" (0..2).
  void ApplyGifPreset(int preset);
  void ApplyJpegPreset(int preset);
  // Only the optimized palette has a choosable size.
  bool ColorListEnabled() const { return Palette == 0; }
  // Whether Type's pictures carry alpha, rendered on black and on white.
  bool HasAlpha() const { return ExportTypeHasAlpha(Type); }
  // Whether any picture written needs those renders: Type's or an offered format's.
  bool RendersAlpha() const;
  // AlsoOffer without kExportNone, Type and repeats, in its order.
  std::vector<TExportType> OfferedTypes() const;
  // The check box "Also for high-density screens (2x)": scales {1, 2} or {1}.
  bool HighDensity() const { return Scales.size() > 1; }
  void SetHighDensity(bool on) { Scales = on ? std::vector<int>{1, 2} : std::vector<int>{1}; }
  // Scales sorted, without repeats, clamped to 1..kMaxScale, with 1 added.
  std::vector<int> NormalizedScales() const;
};

}  // namespace vantrix
