#include "imaging/Export.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "imaging/ColorReduction.h"
#include "imaging/QuantizeAlpha.h"
#include "platform/AvifCodec.h"
#include "platform/GifCodec.h"
#include "platform/PictureFile.h"
#include "platform/PngCodec.h"
#include "platform/WebpCodec.h"
#include "resample/Resample.h"

namespace vantrix {

namespace {

constexpr TPixel kMagenta = MakePixel(255, 0, 255);

// Only a scene that is drawing already refuses; exporting its half-made
// picture would be wrong, so that is an error.
void Draw(TScene& scene, const TCaption& caption, TRenderOptions options, TProgress* progress) {
  if (!scene.Build(caption, progress) || !scene.Render(options, progress))
    throw TExportError("The export was stopped before its picture was made");
}

void RenderPhase(TScene& scene, const TCaption& caption, TProgress* progress, TPicture& image,
                 TPicture& mask) {
  Draw(scene, caption, {.WithMask = true}, progress);
  if (progress) progress->SetPosition(100);
  image = scene.Image.Converted(24);
  mask = scene.Mask.Converted(24);
}

// The built scene drawn again on `backdrop`; the background colour is put
// back whatever happens.
void RenderBackdrop(TScene& scene, TProgress* progress, TColor backdrop, TPicture& target) {
  const TColor saved = scene.Params.BkgColor;
  scene.Params.BkgColor = backdrop;
  bool drawn = false;
  try {
    drawn = scene.Render({}, progress);
  } catch (...) {
    scene.Params.BkgColor = saved;
    throw;
  }
  scene.Params.BkgColor = saved;
  if (!drawn) throw TExportError("The export was stopped before its picture was made");
  target = scene.Image.Converted(24);
}

// The second scene says again what the first one says.
class TQuietSink : public TMessageSink {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowNote(const std::string&) override {}
};

// A phase with its pictures on black and on white. The one on white is drawn
// by a second scene on a thread of its own while this one draws the phase
// and the picture on black: it starts from the same look before the build,
// so it builds the same geometry (and resizes the textures alike). Alone, or
// without a thread to be had, it is drawn afterwards.
void RenderPhaseWithBackdrops(TScene& scene, const TCaption& caption, TProgress* progress, bool alone,
                              TPicture& image, TPicture& mask, TPicture& onBlack, TPicture& onWhite) {
  TQuietSink quiet;
  TScene second;
  second.Messages = &quiet;
  CopySceneLook(scene, second);
  second.Params.BkgColor = MakeColor(255, 255, 255);
  bool drawn = false;
  std::exception_ptr failure;
  auto drawOnWhite = [&] {
    try {
      drawn = second.Build(caption) && second.Render({});
      if (drawn) onWhite = second.Image.Converted(24);
    } catch (...) {
      failure = std::current_exception();
    }
  };
  std::thread worker;
  try {
    if (!alone) worker = std::thread(drawOnWhite);
  } catch (const std::system_error&) {
    // No thread to be had: drawn afterwards.
  }
  struct TJoin {
    std::thread& Worker;
    ~TJoin() {
      if (Worker.joinable()) Worker.join();
    }
  } join{worker};
  RenderPhase(scene, caption, progress, image, mask);
  RenderBackdrop(scene, progress, MakeColor(0, 0, 0), onBlack);
  if (worker.joinable())
    worker.join();
  else
    drawOnWhite();
  if (failure) std::rethrow_exception(failure);
  if (!drawn) throw TExportError("The export was stopped before its picture was made");
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

TExportPhases ExportButton(TScene& scene, const TCaption& caption, TProgress* progress, bool withAlpha) {
  TExportPhases phases = RenderExportPhases(scene, caption, progress, withAlpha);
  // The scene shows the first picture again.
  Draw(scene, caption, {}, progress);
  if (progress) {
    progress->SetPosition(100);
    progress->SetStatus(" Done");
  }
  return phases;
}

TExportPhases RenderExportPhases(TScene& scene, const TCaption& caption, TProgress* progress, bool withAlpha,
                                 bool alone) {
  if (caption.Empty()) throw TExportError("Sorry, there is nothing to export");
  TExportPhases phases;
  if (withAlpha)
    RenderPhaseWithBackdrops(scene, caption, progress, alone, phases.Image1, phases.Mask1, phases.Black1,
                             phases.White1);
  else
    RenderPhase(scene, caption, progress, phases.Image1, phases.Mask1);
  if (scene.Params.EffectType > 0) {
    const TPhase saved = scene.SavePhase();
    scene.ApplyPhase(scene.Effect);
    try {
      if (withAlpha)
        RenderPhaseWithBackdrops(scene, caption, progress, alone, phases.Image2, phases.Mask2, phases.Black2,
                                 phases.White2);
      else
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

TPremultipliedPicture PremultipliedFromBackdrops(const TPicture& onBlack, const TPicture& onWhite) {
  if (onBlack.Width() != onWhite.Width() || onBlack.Height() != onWhite.Height())
    throw TExportError("the renders on black and on white differ in size");
  TPremultipliedPicture out(onBlack.Width(), onBlack.Height());
  for (int y = 0; y < onBlack.Height(); ++y)
    for (int x = 0; x < onBlack.Width(); ++x) {
      const TPixel b = onBlack.PixelAt(x, y), w = onWhite.PixelAt(x, y);
      const int black[3] = {PixelRed(b), PixelGreen(b), PixelBlue(b)};
      const int white[3] = {PixelRed(w), PixelGreen(w), PixelBlue(w)};
      int through = 0, darkest = 0;
      for (int c = 0; c < 3; ++c) {
        through += std::clamp(white[c] - black[c], 0, 255);
        darkest = std::max(darkest, black[c]);
      }
      float* p = out.At(x, y);
      for (int c = 0; c < 3; ++c) p[c] = static_cast<float>(black[c]);
      p[3] = std::max(255.0f - static_cast<float>(through) / 3.0f, static_cast<float>(darkest));
    }
  return out;
}

TRgbaPicture ExportAlphaPicture(const TPicture& onBlack, const TPicture& onWhite, int width, int height) {
  return ResizedRgba(PremultipliedFromBackdrops(onBlack, onWhite), width, height, Lanczos3Filter, 3);
}

uint64_t WriteAlphaExportPicture(const std::string& path, const TRgbaPicture& picture,
                                 const TExportSettings& settings) {
  if (settings.Type == kExportAvif)
    return SaveAvifFile(path, picture, std::clamp(settings.AvifQuality, 1, 100));
  if (settings.Type == kExportWebp)
    return SaveWebpFile(path, picture, settings.WebpLossless ? 0 : std::clamp(settings.WebpQuality, 1, 100));
  if (settings.PngIndexed)
    return SavePngFile(path, ReduceColorsAlpha(picture, GifColorsOfListIndex(settings.PngColorIndex),
                                               std::clamp(settings.PngDither, 0, kDitherKindCount - 1)));
  return SavePngFile(path, picture);
}

TExportResult ExportFileNames(const std::string& chosenName, const TExportSettings& settings, bool second) {
  TExportResult r;
  const std::string named = SetExportExt(chosenName, settings.Type);
  const std::string firstName = second ? AddNameSuffix(named, "_1") : named;
  const std::string secondName = second ? AddNameSuffix(named, "_2") : named;
  r.Scales = settings.NormalizedScales();
  for (int scale : r.Scales) {
    r.FirstFiles.push_back(ScaledExportName(firstName, scale));
    r.SecondFiles.push_back(second ? ScaledExportName(secondName, scale) : r.FirstFiles.back());
  }
  r.FirstFile = r.FirstFiles.front();
  r.SecondFile = r.SecondFiles.front();
  for (TExportType type : settings.OfferedTypes()) {
    TExportSettings alone = settings;
    alone.Type = type;
    alone.AlsoOffer.clear();
    const TExportResult names = ExportFileNames(chosenName, alone, second);
    r.Offered.push_back({type, names.FirstFiles, names.SecondFiles});
  }
  return r;
}

bool ExportHasSecond(const TScene& scene, const TExportPhases& phases) {
  return scene.Params.EffectType > 0 && phases.HasSecond();
}

void SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                const std::string& chosenName, TExportResult& written) {
  const bool second = ExportHasSecond(scene, phases);
  const bool filtered = ExportMaskFiltered(scene);
  if (settings.RendersAlpha() && !phases.HasAlpha())
    throw TExportError("PNG, WebP and AVIF pictures need the button rendered with alpha");
  written = ExportFileNames(chosenName, settings, second);
  // The main format first, then each offered one with its own settings.
  std::vector<TExportSettings> formats = {settings};
  for (const TExportResult::TOffered& offered : written.Offered) {
    formats.push_back(settings);
    formats.back().Type = offered.Type;
  }
  // One phase at one density in every format; the picture with alpha is
  // solved and reduced once for all of them.
  auto write = [&](size_t i, bool phase2) {
    const int scale = written.Scales[i];
    const int w = settings.ExportWidth * scale, h = settings.ExportHeight * scale;
    TRgbaPicture alpha;
    TPicture opaque;
    for (size_t f = 0; f < formats.size(); ++f) {
      const TExportSettings& format = formats[f];
      const std::string& path =
          f == 0 ? (phase2 ? written.SecondFiles[i] : written.FirstFiles[i])
                 : (phase2 ? written.Offered[f - 1].SecondFiles[i] : written.Offered[f - 1].FirstFiles[i]);
      uint64_t size;
      if (format.HasAlpha()) {
        if (alpha.Empty())
          alpha = ExportAlphaPicture(phase2 ? phases.Black2 : phases.Black1,
                                     phase2 ? phases.White2 : phases.White1, w, h);
        size = WriteAlphaExportPicture(path, alpha, format);
      } else {
        if (opaque.Empty())
          opaque = ResizedPicture(phase2 ? phases.Image2 : phases.Image1, w, h, Lanczos3Filter, 3);
        size = WriteExportPicture(path, opaque, phase2 ? phases.Mask2 : phases.Mask1, format, filtered);
      }
      // Sizes are kept as soon as each file is written: a failure later
      // still tells what the first picture was.
      if (f == 0 && scale == 1) (phase2 ? written.Phase2FileSize : written.ImageFileSize) = size;
    }
  };
  for (size_t i = 0; i < written.Scales.size(); ++i) {
    write(i, false);
    if (second) write(i, true);
  }
}

TExportResult SaveExport(const TScene& scene, const TExportPhases& phases, const TExportSettings& settings,
                         const std::string& chosenName) {
  TExportResult r;
  SaveExport(scene, phases, settings, chosenName, r);
  return r;
}

}  // namespace vantrix
