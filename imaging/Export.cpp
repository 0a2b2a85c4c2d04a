#include "imaging/Export.h"

#include <sys/stat.h>

#include <algorithm>

#include "imaging/ColorReduction.h"
#include "platform/GifCodec.h"
#include "platform/PictureFile.h"
#include "resample/Resample.h"

namespace vantrix {

namespace {

constexpr TPixel kMagenta = MakePixel(255, 0, 255);

// Only a scene that is drawing already refuses; exporting its half-made
// picture would be wrong, so that is an error.
void Draw(TScene& scene, const TCaption& caption, TRenderOptions options, TProgress* progress) {
  if (!scene.Build(caption, progress) || !scene.Render(options, progress))
    throw TExportError("Sorry, the button is being drawn: export it when it is done");
}

void RenderPhase(TScene& scene, const TCaption& caption, TProgress* progress, TPicture& image,
                 TPicture& mask) {
  Draw(scene, caption, {.WithMask = true}, progress);
  if (progress) progress->SetPosition(100);
  image = scene.Image.Converted(24);
  mask = scene.Mask.Converted(24);
}

// An unfiltered stretch: each target pixel takes the source pixel it falls on.
TPicture Stretch(const TPicture& src, int width, int height) {
  TPicture out(width, height, 24);
  if (src.Empty()) return out;
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * src.Height() / height);
    for (int x = 0; x < width; ++x)
      out.SetPixelAt(x, y, src.PixelAt(static_cast<int>(static_cast<int64_t>(x) * src.Width() / width), sy));
  }
  return out;
}

uint64_t FileSize(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) throw TExportError(path + ": cannot read the size of the file written");
  return static_cast<uint64_t>(st.st_size);
}

}  // namespace

bool ExportMaskFiltered(const TScene& scene) {
  return scene.Params.ViewParams.ButtonAltitude != 0;
}

TExportPhases ExportButton(TScene& scene, const TCaption& caption, TProgress* progress) {
  TExportPhases phases = RenderExportPhases(scene, caption, progress);
  // The scene shows the first picture again.
  Draw(scene, caption, {}, progress);
  if (progress) {
    progress->SetPosition(100);
    progress->SetStatus(" Done");
  }
  return phases;
}

TExportPhases RenderExportPhases(TScene& scene, const TCaption& caption, TProgress* progress) {
  if (caption.Empty()) throw TExportError("Sorry, there is nothing to export");
  TExportPhases phases;
  RenderPhase(scene, caption, progress, phases.Image1, phases.Mask1);
  if (scene.Params.EffectType > 0) {
    const TPhase saved = scene.SavePhase();
    scene.ApplyPhase(scene.Effect);
    try {
      RenderPhase(scene, caption, progress, phases.Image2, phases.Mask2);
    } catch (...) {
      scene.ApplyPhase(saved);
      throw;
    }
    scene.ApplyPhase(saved);
  }
  return phases;
}

std::vector<uint8_t> MarkTransparent(TPicture& picture, const TPicture& phaseMask, bool filteredMask) {
  TPicture scaled;
  if (filteredMask) {
    scaled.SetSize(picture.Width(), picture.Height(), 24);
    if (!phaseMask.Empty()) ResampleBitmap(phaseMask, scaled, SplineFilter, 2);
  } else {
    scaled = Stretch(phaseMask, picture.Width(), picture.Height());
  }
  std::vector<uint8_t> transparent = TransparencyFromMask(scaled);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (transparent[static_cast<size_t>(y) * picture.Width() + x]) picture.SetPixelAt(x, y, kMagenta);
  return transparent;
}

uint64_t WriteExportPicture(const std::string& path, const TPicture& picture, const TPicture& phaseMask,
                            const TExportSettings& settings, bool filteredMask) {
  if (settings.Type == kExportGif) {
    TPicture marked = picture.Converted(24);
    std::vector<uint8_t> transparent;
    if (settings.Transparency) transparent = MarkTransparent(marked, phaseMask, filteredMask);
    const TIndexedPicture indexed =
        ReduceColors(marked, settings.Transparency ? &transparent : nullptr, settings.GifOptions());
    return SaveGifFile(path, indexed);
  }
  if (settings.Type == kExportJpeg)
    SaveJpegFile(path, picture, std::clamp(settings.JpegQuality, 1, 100));
  else
    SaveBmpFile(path, picture);
  return FileSize(path);
}

TExportResult SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                         const std::string& chosenName) {
  const bool second = scene.Params.EffectType > 0 && phases.HasSecond();
  const bool filtered = ExportMaskFiltered(scene);
  const TPicture export1 =
      ResizedPicture(phases.Image1, settings.ExportWidth, settings.ExportHeight, Lanczos3Filter, 3);
  TExportResult r;
  r.FirstFile = SetExportExt(chosenName, settings.Type);
  r.SecondFile = r.FirstFile;
  if (second) r.FirstFile = AddNameSuffix(r.FirstFile, "_1");
  r.ImageFileSize = WriteExportPicture(r.FirstFile, export1, phases.Mask1, settings, filtered);
  if (second) {
    const TPicture export2 =
        ResizedPicture(phases.Image2, settings.ExportWidth, settings.ExportHeight, Lanczos3Filter, 3);
    r.SecondFile = AddNameSuffix(r.SecondFile, "_2");
    r.Phase2FileSize = WriteExportPicture(r.SecondFile, export2, phases.Mask2, settings, filtered);
  }
  return r;
}

namespace {

// Where the extension starts: the last dot after the last folder separator.
size_t ExtensionStart(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name.size();
  return dot;
}

}  // namespace

std::string SetExportExt(const std::string& name, TExportType type) {
  const char* ext = type == kExportGif ? ".gif" : type == kExportJpeg ? ".jpg" : ".bmp";
  return name.substr(0, ExtensionStart(name)) + ext;
}

std::string DefaultExportName(const TCaption& caption) {
  std::string name;
  for (const TCaptionChar& c : caption.Chars())
    if (c.Char >= 65 && c.Char <= 126) name.push_back(static_cast<char>(c.Char));
  return name;
}

std::string AddNameSuffix(const std::string& name, const std::string& suffix) {
  const size_t at = ExtensionStart(name);
  return name.substr(0, at) + suffix + name.substr(at);
}

}  // namespace vantrix
