#pragma once
// The export settings as one plain record: what the Export page's controls
// hold and what the command line fills. List indices follow the page's lists;
// their texts (kPaletteNames, ...) are the program's own and reach the HTML
// page as they are (" None", " 256").

#include <cstdint>
#include <string>

#include "imaging/ColorReduction.h"

namespace vantrix {

// The Export page's tabs, counted from 1 as the save dialog's filters are;
// kExportNone is what a name without a picture extension gives.
enum TExportType : int { kExportNone = 0, kExportGif = 1, kExportJpeg = 2, kExportBmp = 3 };

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

  TGifOptions GifOptions() const;
  // " Fast download", " Medium quality", " High quality" (0..2).
  void ApplyGifPreset(int preset);
  void ApplyJpegPreset(int preset);
  // Only the optimized palette has a choosable size.
  bool ColorListEnabled() const { return Palette == 0; }
};

}  // namespace vantrix
