#include "Commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "InfoJson.h"
#include "TerminalProgress.h"
#include "imaging/Animation.h"
#include "imaging/Export.h"
#include "imaging/HTMLUnit.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"
#include "resample/Resample.h"
#include "scene/Ico2Ini.h"
#include "scene/Scene.h"
#include "scene/Textures.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {

namespace {

void ApplySets(TIniFile& ini, const std::vector<std::string>& sets) {
  for (const std::string& s : sets) {
    const size_t dot = s.find('.');
    const size_t eq = s.find('=');
    if (dot == std::string::npos || eq == std::string::npos || dot == 0 || eq < dot + 2)
      throw TUsageError("--set needs Section.Key=VALUE, not '" + s + "'");
    // A mistyped key would be written, never read, and the picture made as if nothing was asked.
    if (!IsWorkFileKey(s.substr(0, dot), s.substr(dot + 1, eq - dot - 1)))
      throw TUsageError("--set: a work file has no key '" + s.substr(0, eq) + "'");
    ini.WriteString(Utf8ToCp1252(s.substr(0, dot)), Utf8ToCp1252(s.substr(dot + 1, eq - dot - 1)),
                    Utf8ToCp1252(s.substr(eq + 1)));
  }
}

}  // namespace

void Load(TLoadedWork& w, const TCliOptions& o, const std::string& file) {
  w.Scene.Messages = &w.Messages;
  w.Scene.AppPath = OpenProgramFolder(DefaultProgramFolderCandidates(o.ProgramFolder));
  struct stat st;
  if (stat(file.c_str(), &st) != 0)
    throw std::runtime_error("Error loading file: " + file + " (the file does not exist)");
  TIniFile ini(file);
  ApplySets(ini, o.Sets);
  LoadWork(w.Scene, w.Caption, ini);
  if (o.Caption) {
    // Every letter takes the first letter's font.
    const TFontSpec font = w.Caption.Empty() ? TFontSpec{} : w.Caption.At(0).Font;
    w.Caption.SetText(*o.Caption, font);
  }
  PrepareLoadedWork(w.Scene);
}

namespace {

// Unlike a work's texture names, a name typed on the command line may be in any case.
TExportType TypeOfExtension(const std::string& path) {
  return ExportTypeOfExtension(std::filesystem::path(path).extension().string());
}

// The picture formats that render and --mask write: those without alpha.
TExportType OpaqueTypeOfExtension(const std::string& path) {
  const TExportType type = TypeOfExtension(path);
  return ExportTypeHasAlpha(type) ? kExportNone : type;
}

// A picture in the format its extension names, with the export page's start
// settings (GIF: optimized 256 colours, transparent background).
void WritePicture(const std::string& path, const TPicture& picture, const TPicture& mask, bool filteredMask) {
  TExportSettings settings;
  settings.Type = OpaqueTypeOfExtension(path);
  if (settings.Type == kExportNone)
    throw TUsageError("cannot tell the picture format from '" + path +
                      "' (use .gif, .jpg, .bmp, .png, .webp or .avif)");
  WriteExportPicture(path, picture, mask, settings, filteredMask);
}

// Builds and renders the loaded work. Only a progress that asks to stop ends
// a run early, which the command line's never does; it is still an error.
void Draw(TLoadedWork& w, TRenderOptions options) {
  if (!w.Scene.Build(w.Caption, &w.Progress) || !w.Scene.Render(options, &w.Progress))
    throw std::runtime_error("the drawing was stopped and made no picture");
}

// The --mask picture, already at its size: opaque, in the format its extension names.
void WriteMask(const std::string& path, const TPicture& mask) {
  TExportSettings plain;
  plain.Type = OpaqueTypeOfExtension(path);
  plain.Transparency = false;
  if (plain.Type == kExportNone) throw TUsageError("cannot tell the picture format from '" + path + "'");
  WriteExportPicture(path, mask, mask, plain, false);
}

// PNG, WebP and AVIF keep the background out: the button drawn on black and on
// white gives every pixel's alpha, as the export's do.
int RenderWithAlpha(const TCliOptions& o, TExportType type) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  if (w.Caption.Empty()) throw std::runtime_error("Sorry, there is nothing to export");
  const TExportPhases phases = RenderExportPhases(w.Scene, w.Caption, &w.Progress, true);
  w.Progress.SetPosition(100);
  w.Progress.Finish();
  const TPicture& full = phases.Image1;
  const auto size = o.Full   ? std::pair{full.Width(), full.Height()}
                    : o.Size ? *o.Size
                             : DefaultExportSize(full.Width(), full.Height());
  TExportSettings settings;
  settings.Type = type;
  WriteAlphaExportPicture(o.Output, ExportAlphaPicture(phases.Black1, phases.White1, size.first, size.second),
                          settings);
  if (!o.MaskFile.empty())
    WriteMask(o.MaskFile, o.Full ? phases.Mask1
                                 : ResizedPicture(phases.Mask1, size.first, size.second, Lanczos3Filter, 3));
  std::printf("%s\n", o.Output.c_str());
  if (!o.MaskFile.empty()) std::printf("%s\n", o.MaskFile.c_str());
  return 0;
}

int Render(const TCliOptions& o) {
  const TExportType type = TypeOfExtension(o.Output);
  if (ExportTypeHasAlpha(type)) return RenderWithAlpha(o, type);
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  Draw(w, {.WithMask = true, .ShowProgress = true});
  w.Progress.SetPosition(100);
  w.Progress.Finish();
  TPicture image = w.Scene.Image.Converted(24);
  TPicture mask = w.Scene.Mask.Converted(24);
  if (!o.Full) {
    const auto size = o.Size ? *o.Size : DefaultExportSize(image.Width(), image.Height());
    image = ResizedPicture(image, size.first, size.second, Lanczos3Filter, 3);
    if (!o.MaskFile.empty()) mask = ResizedPicture(mask, size.first, size.second, Lanczos3Filter, 3);
  }
  const bool filtered = ExportMaskFiltered(w.Scene);
  WritePicture(o.Output, image, w.Scene.Mask.Converted(24), filtered);
  if (!o.MaskFile.empty()) WriteMask(o.MaskFile, mask);
  std::printf("%s\n", o.Output.c_str());
  if (!o.MaskFile.empty()) std::printf("%s\n", o.MaskFile.c_str());
  return 0;
}

int Info(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  // Shaped captions list their glyphs, which only a build knows.
  if (w.Scene.NeedsLayout(w.Caption) && !w.Scene.Build(w.Caption))
    throw std::runtime_error("the scene is busy and made no glyphs");
  std::fputs(WorkToJson(w.Scene, w.Caption).c_str(), stdout);
  return 0;
}

// Saves as the program does: the work is rendered for its preview icon first.
int Resave(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  TPicture icon;
  if (!w.Caption.Empty()) {
    Draw(w, {.ShowProgress = true});
    w.Progress.Finish();
    icon = MakeWorkIcon(w.Scene.Image);
  }
  SaveWork(w.Scene, w.Caption, o.Arguments[1], &icon);
  std::printf("%s\n", o.Arguments[1].c_str());
  return 0;
}

// The HTML page of an export; returns the files written.
std::vector<std::string> WriteExportPage(const TScene& scene, const TCaption& caption,
                                         const TExportSettings& settings, const TExportResult& r) {
  std::vector<std::string> written = {MakeHtml(scene.AppPath, r.FirstFile, r.SecondFile, settings, scene,
                                               caption, r.ImageFileSize, r.Phase2FileSize)};
  if (scene.Params.EffectType > 0) written.push_back(FindHtmlFile(scene.AppPath, "example.txt"));
  return written;
}

}  // namespace

TExportSettings ExportSettingsOf(const TCliOptions& o, const TPicture& image) {
  TExportSettings s;
  if (!o.Format.empty()) {
    // "avif,webp,png": every format is written, the last one is the page's
    // <img> and the others are offered before it. png8: the PNG tab's
    // indexed choice.
    std::vector<TExportType> types;
    size_t start = 0;
    while (start <= o.Format.size()) {
      const size_t comma = std::min(o.Format.find(',', start), o.Format.size());
      const std::string name = o.Format.substr(start, comma - start);
      const TExportType type = name == "png8" ? kExportPng : ExportTypeOfExtension(name);
      if (type == kExportNone || (name != "png8" && name != ExportExtension(type)))
        throw TUsageError(
            "--format is gif, jpg, bmp, png, png8, webp or avif (or several, as avif,webp,png), not '" +
            name + "'");
      if (std::find(types.begin(), types.end(), type) != types.end())
        throw TUsageError("--format names " + std::string(ExportExtension(type)) + " twice");
      if (name == "png8") s.PngIndexed = true;
      types.push_back(type);
      start = comma + 1;
    }
    s.Type = types.back();
    s.AlsoOffer.assign(types.begin(), types.end() - 1);
  } else if (!o.Output.empty() && TypeOfExtension(o.Output) != kExportNone) {
    s.Type = TypeOfExtension(o.Output);
  }
  if (!o.Preset.empty()) {
    const int preset = o.Preset == "fast" ? 0 : o.Preset == "medium" ? 1 : o.Preset == "high" ? 2 : -1;
    if (preset < 0) throw TUsageError("--preset is fast, medium or high, not '" + o.Preset + "'");
    s.ApplyGifPreset(preset);
    s.ApplyJpegPreset(preset);
  }
  if (o.Palette) {
    if (*o.Palette < 0 || *o.Palette > 7) throw TUsageError("--palette is a list index 0..7");
    s.Palette = *o.Palette;
  }
  if (o.Colors) {
    int index = -1;
    for (int i = 0; i < 6; ++i)
      if ((8 << i) == *o.Colors) index = i;
    if (index < 0) throw TUsageError("--colors is 8, 16, 32, 64, 128 or 256");
    s.ColorIndex = index;
    s.PngColorIndex = index;
  }
  if (o.Dither) {
    if (*o.Dither < 0 || *o.Dither > 6) throw TUsageError("--dither is a list index 0..6");
    s.Dither = *o.Dither;
    s.PngDither = *o.Dither;
  }
  if (o.Quality) {
    if (*o.Quality < 1 || *o.Quality > 100) throw TUsageError("--quality is 1..100");
    s.JpegQuality = *o.Quality;
    s.WebpQuality = *o.Quality;
    s.WebpLossless = false;
    s.AvifQuality = *o.Quality;
  }
  if (!o.Scales.empty()) s.Scales = o.Scales;
  if (!o.Rollover.empty()) {
    if (o.Rollover != "css" && o.Rollover != "js")
      throw TUsageError("--rollover is css or js, not '" + o.Rollover + "'");
    s.Rollover = o.Rollover == "css" ? TRollover::Css : TRollover::Script;
  }
  if (!o.Animate.empty()) {
    s.Animate = AnimationOfName(o.Animate);
    if (s.Animate == TAnimation::None)
      throw TUsageError("--animate is swing, light or pulse, not '" + o.Animate + "'");
    if (s.Type != kExportGif && s.Type != kExportPng && s.Type != kExportWebp)
      throw TUsageError("--animate writes GIF, PNG or WebP");
    if (!s.AlsoOffer.empty() || s.Scales.size() > 1 || s.PngIndexed)
      throw TUsageError("--animate writes one format at one density (gif, png or webp)");
  }
  if (o.Frames) {
    if (*o.Frames < TExportSettings::kMinFrames || *o.Frames > TExportSettings::kMaxFrames)
      throw TUsageError("--frames is 2..240");
    s.AnimationFrames = *o.Frames;
  }
  if (o.Fps) {
    if (*o.Fps < 1 || *o.Fps > TExportSettings::kMaxFps) throw TUsageError("--fps is 1..60");
    s.AnimationFps = *o.Fps;
  }
  if ((o.Frames || o.Fps) && s.Animate == TAnimation::None)
    throw TUsageError("--frames and --fps need --animate");
  s.Transparency = !o.NoTransparency;
  s.TargetURL = o.Link;
  s.BrowserPreview = o.Html;
  const auto size = o.Size ? *o.Size : DefaultExportSize(image.Width(), image.Height());
  s.ExportWidth = size.first;
  s.ExportHeight = size.second;
  return s;
}

namespace {

// An animated button: its frames on every core (or --jobs), the animation
// and its still picture, and the page that shows them.
int ExportAnimation(const TCliOptions& o, TLoadedWork& w, TExportSettings settings) {
  const TAnimationFrames frames =
      RenderAnimation(w.Scene, w.Caption, settings, settings.HasAlpha(), o.Jobs.value_or(0));
  w.Progress.Finish();
  settings = ExportSettingsOf(o, TPicture(frames.Width(), frames.Height(), 24));
  const std::string name =
      o.Output.empty() ? MakeExportFolder(w.Scene.AppPath) + DefaultExportName(w.Caption) : o.Output;
  const TExportResult r = SaveAnimation(w.Scene, frames, settings, name);
  std::printf("%s\n%s\n", r.FirstFile.c_str(), r.SecondFile.c_str());
  if (o.Html) {
    // The page shows the animation alone: no roll-over picture.
    w.Scene.Params.EffectType = 0;
    std::printf(
        "%s\n",
        MakeHtml(w.Scene.AppPath, r.FirstFile, "", settings, w.Scene, w.Caption, r.ImageFileSize, 0).c_str());
  }
  return 0;
}

int Export(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  if (!o.Animate.empty()) return ExportAnimation(o, w, ExportSettingsOf(o, TPicture(1, 1, 24)));
  // The settings hang on the rendered size only for the default export size,
  // which the phases' first picture gives; the type is known before.
  TExportSettings settings = ExportSettingsOf(o, TPicture(1, 1, 24));
  const TExportPhases phases = ExportButton(w.Scene, w.Caption, &w.Progress, settings.RendersAlpha());
  w.Progress.Finish();
  settings = ExportSettingsOf(o, phases.Image1);
  std::string name = o.Output;
  if (name.empty()) {
    name = MakeExportFolder(w.Scene.AppPath) + DefaultExportName(w.Caption);
  }
  const TExportResult r = SaveExport(w.Scene, phases, settings, name);
  const bool second = w.Scene.Params.EffectType > 0;
  for (size_t i = 0; i < r.Scales.size(); ++i) {
    std::printf("%s\n", r.FirstFiles[i].c_str());
    if (second) std::printf("%s\n", r.SecondFiles[i].c_str());
  }
  for (const TExportResult::TOffered& offered : r.Offered)
    for (size_t i = 0; i < offered.FirstFiles.size(); ++i) {
      std::printf("%s\n", offered.FirstFiles[i].c_str());
      if (second) std::printf("%s\n", offered.SecondFiles[i].c_str());
    }
  if (o.Html) {
    for (const std::string& page : WriteExportPage(w.Scene, w.Caption, settings, r))
      std::printf("%s\n", page.c_str());
  }
  return 0;
}

}  // namespace

int RunCommand(const TCliOptions& o) {
  if (o.Command == "render") return Render(o);
  if (o.Command == "info") return Info(o);
  if (o.Command == "resave") return Resave(o);
  if (o.Command == "batch") return RunBatch(o);
  return Export(o);
}

}  // namespace vantrix
