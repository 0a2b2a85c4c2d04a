#pragma once
// The export sequence: the button (and its roll-over picture) rendered as
// phase pictures, reduced to the export size with Lanczos3, and written as
// GIF, JPEG, BMP, PNG, WebP or AVIF under the names the export dialog would give
// them. The desktop program's Export page and vantrix-cli both run it; the
// HTML page (HTMLUnit.h) is the caller's next step.
//
// PNG, WebP and AVIF carry alpha, and it is exact rather than guessed from the
// mask: each phase is rendered once on black and once on white, and at the
// full size, where pixels are not yet mixed by the filter, the two solve for
// alpha = 1 - (white - black) / 255 with the picture on black as the
// premultiplied colour. That is reduced premultiplied (ResampleAlpha.h), so a
// drop shadow comes out as translucent black and an edge as the mix the
// filter made, right over any page colour.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "imaging/ExportNames.h"
#include "imaging/ExportSettings.h"
#include "platform/Picture.h"
#include "platform/RgbaPicture.h"
#include "resample/ResampleAlpha.h"
#include "scene/Caption.h"
#include "scene/Progress.h"
#include "scene/Scene.h"

namespace vantrix {

class TExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The rendered pictures of one export, each 24 bits per pixel.
struct TExportPhases {
  TPicture Image1, Mask1;
  TPicture Image2, Mask2;  // empty without a roll-over effect
  // Only when asked for alpha: each phase on black and on white.
  TPicture Black1, White1, Black2, White2;
  bool HasSecond() const { return !Image2.Empty(); }
  bool HasAlpha() const { return !Black1.Empty(); }
};

struct TExportResult {
  std::string FirstFile;   // the first picture written (1x)
  std::string SecondFile;  // the roll-over picture; the first file's name without an effect
  uint64_t ImageFileSize = 0;
  uint64_t Phase2FileSize = 0;
  // Every density written, ascending; FirstFiles[i] and SecondFiles[i] are
  // the pictures at Scales[i] (SecondFiles as SecondFile without an effect).
  std::vector<int> Scales;
  std::vector<std::string> FirstFiles, SecondFiles;
  // The pictures of each offered format (settings.OfferedTypes()), named as
  // the main ones with the format's extension, densities alike.
  struct TOffered {
    TExportType Type = kExportNone;
    std::vector<std::string> FirstFiles, SecondFiles;
  };
  std::vector<TOffered> Offered;
};

// Renders the phase pictures (withAlpha: also on black and on white, as
// settings.HasAlpha() asks), then the first picture once more so that the
// scene shows it again. Throws TExportError "Sorry, there is nothing to
// export" for an empty caption.
TExportPhases ExportButton(TScene& scene, const TCaption& caption, TProgress* progress = nullptr,
                           bool withAlpha = false);
// The same without drawing the first picture again: the scene is left with
// the last phase drawn (and the parameters of the first). With alpha, the
// picture on white is drawn by a second scene on another thread unless
// `alone` (a caller that keeps every core busy already).
TExportPhases RenderExportPhases(TScene& scene, const TCaption& caption, TProgress* progress = nullptr,
                                 bool withAlpha = false, bool alone = false);

// Writes the files for the chosen name: its extension is replaced by the
// type's, and with a roll-over effect "_1" and "_2" are inserted before it;
// a scale s > 1 of settings.Scales adds "@sx" last (Go_1@2x.png), at s times
// the export size; each offered format is written the same way under its own
// extension. PNG, WebP and AVIF need phases rendered with alpha
// (settings.RendersAlpha()).
// The folder must exist. A file that cannot be written throws an error that
// names it; files written before it stay.
TExportResult SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                         const std::string& chosenName);
// The same, filling `written` as each file is done: when the second picture
// fails, it still tells the first one's name and size.
void SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                const std::string& chosenName, TExportResult& written);
// The names SaveExport writes for the chosen name, every density included (sizes 0).
TExportResult ExportFileNames(const std::string& chosenName, const TExportSettings& settings, bool second);
// Whether the export writes a roll-over picture.
bool ExportHasSecond(const TScene& scene, const TExportPhases& phases);

// Writes one picture of the export size: GIF with the settings' palette,
// dithering and transparency (mask: the phase mask of the picture), JPEG at
// the settings' quality, else a 24-bit BMP. Returns the file's size in bytes.
uint64_t WriteExportPicture(const std::string& path, const TPicture& picture, const TPicture& phaseMask,
                            const TExportSettings& settings, bool filteredMask);

// The alpha picture of a phase at the given size: solved at the full size,
// reduced with Lanczos3. Throws TExportError when the two renders differ in size.
TRgbaPicture ExportAlphaPicture(const TPicture& onBlack, const TPicture& onWhite, int width, int height);
// The per-pixel solution from the two backgrounds (see the top of this file);
// alpha is the mean over the channels, never below the premultiplied colour.
TPremultipliedPicture PremultipliedFromBackdrops(const TPicture& onBlack, const TPicture& onWhite);

// Writes one picture with alpha: RGBA or indexed PNG, lossless or lossy
// WebP, or AVIF, as the settings say. Returns the file's size in bytes.
uint64_t WriteAlphaExportPicture(const std::string& path, const TRgbaPicture& picture,
                                 const TExportSettings& settings);

// Magenta where the phase mask, scaled to the picture's size, is exactly
// black; returns that transparency (one byte per pixel, non-zero where
// transparent). The mask is scaled with B-Spline when the button throws a
// shadow (a smoothed mask keeps a margin of background around it), else by
// a plain stretch.
std::vector<uint8_t> MarkTransparent(TPicture& picture, const TPicture& phaseMask, bool filteredMask);

// Whether the button's drop shadow decides the mask scaling.
bool ExportMaskFiltered(const TScene& scene);

}  // namespace vantrix
