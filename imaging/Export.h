#pragma once
// The export sequence: the button (and its roll-over picture) rendered as
// phase pictures, reduced to the export size with Lanczos3, and written as
// GIF, JPEG or BMP under the names the export dialog would give them. The
// desktop program's Export page and vantrix-cli both run it; the HTML page
// (HTMLUnit.h) is the caller's next step.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "imaging/ExportSettings.h"
#include "platform/Picture.h"
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
  bool HasSecond() const { return !Image2.Empty(); }
};

struct TExportResult {
  std::string FirstFile;   // the first picture written
  std::string SecondFile;  // the roll-over picture; the first file's name without an effect
  uint64_t ImageFileSize = 0;
  uint64_t Phase2FileSize = 0;
};

// Renders the phase pictures, then the first picture once more so that the
// scene shows it again. Throws TExportError "Sorry, there is nothing to
// export" for an empty caption.
TExportPhases ExportButton(TScene& scene, const TCaption& caption, TProgress* progress = nullptr);
// The same without drawing the first picture again: the scene is left with
// the last phase drawn (and the parameters of the first).
TExportPhases RenderExportPhases(TScene& scene, const TCaption& caption, TProgress* progress = nullptr);

// Writes the files for the chosen name: its extension is replaced by the
// type's, and with a roll-over effect "_1" and "_2" are inserted before it.
// The folder must exist. A file that cannot be written throws an error that
// names it; files written before it stay.
TExportResult SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                         const std::string& chosenName);

// Writes one picture of the export size: GIF with the settings' palette,
// dithering and transparency (mask: the phase mask of the picture), JPEG at
// the settings' quality, else a 24-bit BMP. Returns the file's size in bytes.
uint64_t WriteExportPicture(const std::string& path, const TPicture& picture, const TPicture& phaseMask,
                            const TExportSettings& settings, bool filteredMask);

// Magenta where the phase mask, scaled to the picture's size, is exactly
// black; returns that transparency (one byte per pixel, non-zero where
// transparent). The mask is scaled with B-Spline when the button throws a
// shadow (a smoothed mask keeps a margin of background around it), else by
// a plain stretch.
std::vector<uint8_t> MarkTransparent(TPicture& picture, const TPicture& phaseMask, bool filteredMask);

std::string SetExportExt(const std::string& name, TExportType type);
// The caption's characters with codes 65..126, in order; all others dropped.
std::string DefaultExportName(const TCaption& caption);
std::string AddNameSuffix(const std::string& name, const std::string& suffix);
// Whether the button's drop shadow decides the mask scaling.
bool ExportMaskFiltered(const TScene& scene);

}  // namespace vantrix
