#include "imaging/Animation.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <numbers>
#include <system_error>
#include <thread>

#include "imaging/ColorReduction.h"
#include "imaging/ExportNames.h"
#include "imaging/Workers_p.h"
#include "platform/FileIO.h"
#include "platform/GifCodec.h"
#include "platform/PictureFile.h"
#include "platform/PngCodec.h"
#include "platform/Rounding.h"
#include "platform/WebpCodec.h"
#include "resample/Resample.h"

namespace vantrix {

namespace {

// What each worker's scene reports was reported when the work was loaded.
class TQuietSink : public TMessageSink {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowNote(const std::string&) override {}
};

// One frame as drawn: its pictures and where the optical axis fell on them.
struct TDrawn {
  TPicture Image, Mask, Black, White;
  int CentreX = 0, CentreY = 0;
};

// Turns every body about the vertical axis through the middle of the
// model (in X and in depth) by `degrees`. Model points are whole units, a
// small fraction of a pixel, so rounding them does not show.
void Swing(TView3D& view, double degrees) {
  if (degrees == 0 || view.BodyCount() == 0) return;
  int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
  for (int b = 1; b <= view.BodyCount(); ++b)
    for (int v = 1; v <= view.Body(b).VertexCount(); ++v) {
      const TVertex& p = view.Body(b).Vertex(v);
      minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
    }
  const double cx = (static_cast<double>(minX) + maxX) / 2, cy = (static_cast<double>(minY) + maxY) / 2;
  const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  for (int b = 1; b <= view.BodyCount(); ++b)
    for (int v = 1; v <= view.Body(b).VertexCount(); ++v) {
      TVertex& p = view.Body(b).Vertex(v);
      const double x = p.X - cx, y = p.Y - cy;
      p.X = RoundInt(cx + x * c - y * s);
      p.Y = RoundInt(cy + x * s + y * c);
    }
}

TDrawn DrawFrame(const TScene& look, const TCaption& caption, const TExportSettings& settings, bool withAlpha,
                 int index) {
  const double t = static_cast<double>(index) / settings.AnimationFrames;
  const double wave = std::sin(2 * std::numbers::pi * t);
  TQuietSink quiet;
  TScene scene;
  scene.Messages = &quiet;
  CopySceneLook(look, scene);
  if (settings.Animate == TAnimation::Light) {
    const TViewParams& v = look.Params.ViewParams;
    scene.SetLightAngles(static_cast<float>(v.LightA1 + kLightSweep * wave), v.LightA2);
  } else if (settings.Animate == TAnimation::Pulse) {
    const double ease = (1 - std::cos(2 * std::numbers::pi * t)) / 2;
    scene.Params.TxtY = RoundInt(look.Params.TxtY * (1 + kPulseDepth * ease));
  }
  if (!scene.Build(caption)) throw TExportError("the drawing was stopped and made no picture");
  if (settings.Animate == TAnimation::Swing) Swing(scene.View3D, kSwingDegrees * wave);
  TDrawn d;
  auto render = [&](TColor background, bool withMask, TPicture& image, TPicture* mask) {
    scene.Params.BkgColor = background;
    if (!scene.Render({.WithMask = withMask}))
      throw TExportError("the drawing was stopped and made no picture");
    image = scene.Image.Converted(24);
    if (mask) *mask = scene.Mask.Converted(24);
  };
  if (withAlpha) {
    render(MakeColor(0, 0, 0), false, d.Black, nullptr);
    render(MakeColor(255, 255, 255), false, d.White, nullptr);
  } else {
    render(look.Params.BkgColor, true, d.Image, &d.Mask);
  }
  d.CentreX = scene.Params.ViewParams.CentreX;
  d.CentreY = scene.Params.ViewParams.CentreY;
  return d;
}

// `picture` on a canvas of w x h filled with `fill`, its top left corner at (x, y).
TPicture Placed(const TPicture& picture, int w, int h, int x, int y, TPixel fill) {
  if (picture.Empty()) return picture;
  TPicture out(w, h, 24);
  out.Fill(fill);
  out.CopyFrom(picture, 0, 0, x, y, picture.Width(), picture.Height());
  return out;
}

}  // namespace

const char* AnimationName(TAnimation kind) {
  switch (kind) {
    case TAnimation::Swing:
      return "swing";
    case TAnimation::Light:
      return "light";
    case TAnimation::Pulse:
      return "pulse";
    case TAnimation::None:
      break;
  }
  return "";
}

TAnimation AnimationOfName(const std::string& name) {
  for (TAnimation kind : {TAnimation::Swing, TAnimation::Light, TAnimation::Pulse})
    if (name == AnimationName(kind)) return kind;
  return TAnimation::None;
}

int TAnimationFrames::Width() const {
  const std::vector<TPicture>& any = Image.empty() ? Black : Image;
  return any.empty() ? 0 : any.front().Width();
}

int TAnimationFrames::Height() const {
  const std::vector<TPicture>& any = Image.empty() ? Black : Image;
  return any.empty() ? 0 : any.front().Height();
}

std::string StillFrameName(const std::string& animationName) {
  return AddNameSuffix(animationName, "_still");
}

TAnimationFrames RenderAnimation(const TScene& look, const TCaption& caption, const TExportSettings& settings,
                                 bool withAlpha, int jobs) {
  if (caption.Empty()) throw TExportError("Sorry, there is nothing to export");
  if (settings.Animate == TAnimation::None) throw TExportError("no animation was asked for");
  const int count =
      std::clamp(settings.AnimationFrames, TExportSettings::kMinFrames, TExportSettings::kMaxFrames);
  TExportSettings clamped = settings;
  clamped.AnimationFrames = count;

  std::vector<TDrawn> drawn(static_cast<size_t>(count));
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&] {
    for (int i; (i = next++) < count;) {
      try {
        drawn[static_cast<size_t>(i)] = DrawFrame(look, caption, clamped, withAlpha, i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failureLock);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int threads = std::clamp(jobs > 0 ? jobs : cores, 1, count);
  RunOnThreads(threads, work);
  if (failure) std::rethrow_exception(failure);

  // One canvas: as far left and up of the optical axis as any frame reaches, and as far right and down.
  int left = 0, up = 0, right = 0, down = 0;
  for (const TDrawn& d : drawn) {
    const TPicture& p = withAlpha ? d.Black : d.Image;
    left = std::max(left, d.CentreX), up = std::max(up, d.CentreY);
    right = std::max(right, p.Width() - d.CentreX), down = std::max(down, p.Height() - d.CentreY);
  }
  const int w = left + right, h = up + down;
  const TPixel black = MakePixel(0, 0, 0), white = MakePixel(255, 255, 255);
  TAnimationFrames frames;
  for (const TDrawn& d : drawn) {
    const int x = left - d.CentreX, y = up - d.CentreY;
    if (withAlpha) {
      frames.Black.push_back(Placed(d.Black, w, h, x, y, black));
      frames.White.push_back(Placed(d.White, w, h, x, y, white));
    } else {
      frames.Image.push_back(Placed(d.Image, w, h, x, y, ColorToPixel(look.Params.BkgColor)));
      frames.Mask.push_back(Placed(d.Mask, w, h, x, y, black));
    }
  }
  return frames;
}

TExportResult SaveAnimation(const TScene& look, const TAnimationFrames& frames,
                            const TExportSettings& settings, const std::string& chosenName) {
  if (settings.Type != kExportGif && settings.Type != kExportPng && settings.Type != kExportWebp)
    throw TExportError("an animation is written as GIF, PNG or WebP");
  if (settings.HasAlpha() != frames.Image.empty() || frames.Count() == 0)
    throw TExportError("the animation's frames were drawn for another format");
  const int w = settings.ExportWidth, h = settings.ExportHeight;
  const int fps = std::clamp(settings.AnimationFps, 1, TExportSettings::kMaxFps);
  TExportResult r;
  r.FirstFile = SetExportExt(chosenName, settings.Type);
  r.SecondFile = StillFrameName(r.FirstFile);
  r.Scales = {1};
  r.FirstFiles = {r.FirstFile};
  r.SecondFiles = {r.SecondFile};

  std::vector<uint8_t> bytes;
  if (settings.HasAlpha()) {
    std::vector<TRgbaPicture> rgba;
    for (size_t i = 0; i < frames.Count(); ++i)
      rgba.push_back(ExportAlphaPicture(frames.Black[i], frames.White[i], w, h));
    bytes = settings.Type == kExportWebp
                ? EncodeWebpAnimation(rgba, fps,
                                      settings.WebpLossless ? 0 : std::clamp(settings.WebpQuality, 1, 100))
                : EncodeApng(rgba, fps);
    r.Phase2FileSize = WriteAlphaExportPicture(r.SecondFile, rgba.front(), settings);
  } else {
    const bool filtered = ExportMaskFiltered(look);
    std::vector<TIndexedPicture> indexed;
    for (size_t i = 0; i < frames.Count(); ++i) {
      TPicture picture = ResizedPicture(frames.Image[i], w, h, Lanczos3Filter, 3);
      std::vector<uint8_t> transparent;
      if (settings.Transparency) transparent = MarkTransparent(picture, frames.Mask[i], filtered);
      indexed.push_back(
          ReduceColors(picture, settings.Transparency ? &transparent : nullptr, settings.GifOptions()));
    }
    bytes = EncodeGifAnimation(indexed, RoundInt(100.0 / fps));
    r.Phase2FileSize = SaveGifFile(r.SecondFile, indexed.front());
  }
  WritePictureFileBytes(r.FirstFile, bytes);
  r.ImageFileSize = bytes.size();
  return r;
}

}  // namespace vantrix
