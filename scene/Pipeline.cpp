// The build-and-render pipeline: Build fetches every caption character's
// outline, centres the caption, extrudes the letters, makes the button and
// fits the textures; Render computes the viewport, sizes the picture with room
// for the drop shadow and has the view draw all bodies.

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Rounding.h"
#include "resample/Resample.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

void Status(TProgress* p, const char* text) {
  if (p) p->SetStatus(text);
}
void Position(TProgress* p, int position) {
  if (p) p->SetPosition(position);
}
// Checked between stages: a run whose result nobody wants any more ends early.
bool Stopped(const TProgress* p) {
  return p && p->Stopped();
}

}  // namespace

bool TScene::SelectLetterFont(const TFontSpec& font) {
  TFontSpec enlarged = font;
  enlarged.Size = static_cast<int>(static_cast<int64_t>(font.Size) * 512 / 18);
  return Glyphs.SelectFont(enlarged);
}

bool TScene::Build(const TCaption& caption, TProgress* progress) {
  Params.View.OffsetY = static_cast<float>(Params.Distance);
  Status(progress, " Reallocating memory ...");
  ClearLetters();
  Position(progress, 2);
  Status(progress, " Getting font outline ...");
  PenX = 0;
  Placed.clear();
  if (NeedsLayout(caption)) {
    LayOutCaption(caption);
  } else {
    const int n = std::min(caption.Length(), TCaption::kMaxChars);
    std::u32string noted;  // one note per character and build
    for (int i = 0; i < n; ++i) {
      if (Stopped(progress)) return false;
      const TCaptionChar& c = caption.At(i);
      if (!SelectLetterFont(c.Font)) {
        Message("ERROR: Cannot obtain Size of the Glyph");  // no face could be loaded at all
        continue;
      }
      if (TCaption::InCharset(c)) {
        AddGlyph(TCaption::ByteCode(c));
      } else if (AddCharGlyph(c.Char) && noted.find(c.Char) == std::u32string::npos) {
        noted.push_back(c.Char);
        NoteCharFace(c.Char, c.Font, Glyphs.LastGlyphMissing(),
                     Glyphs.LastGlyphFromFallback() ? &Glyphs.LastGlyphFace() : nullptr);
      }
    }
  }
  Status(progress, " Normalizing coordinates ...");
  Position(progress, 15);
  Normalize();
  Status(progress, " Transforming letters ...");
  Position(progress, 17);
  BuildLetters();
  Position(progress, 20);
  if (Stopped(progress)) return false;
  if (Params.ButType > 0) {
    Status(progress, " Making button ...");
    MakeOutline();
    BuildButton();
    Position(progress, 23);
  }
  Status(progress, " Resizing textures ...");
  ResizeTextures();
  Position(progress, 30);
  return true;
}

void TScene::PrepareView() {
  View3D.Params = Params.ViewParams;
  View3D.SetTransform(Params.View);
}

bool TScene::Render(TRenderOptions options, TProgress* progress) {
  const bool withMask = options.WithMask, showProgress = options.ShowProgress;
  if (Stopped(progress)) return false;
  if (showProgress && progress) progress->SetStatus(" Calculating viewport ...");

  TViewParams& v = Params.ViewParams;
  v.CentreX = v.CentreY = 0;
  PrepareView();
  const TRect r = View3D.ScreenBounds();
  int64_t width, height;
  if (r.Right < r.Left || r.Bottom < r.Top) {
    // No vertex at all (every character failed and there is no button): an
    // empty picture of the start-up size.
    width = 64;
    height = 16;
  } else {
    v.CentreX = -r.Left;
    v.CentreY = -r.Top;
    width = static_cast<int64_t>(r.Right) - r.Left + 2;
    height = static_cast<int64_t>(r.Bottom) - r.Top + 2;
    // With a button only the button's shadow widens the picture; the
    // caption's shadow falls on the button.
    int32_t dx = 0, dy = 0;
    if (Params.ButType < 1 && v.TextAltitude > 0) {
      dx = v.TextShadowDX;
      dy = v.TextShadowDY;
    } else if (Params.ButType >= 1 && v.ButtonAltitude > 0) {
      dx = v.ButtonShadowDX;
      dy = v.ButtonShadowDY;
    }
    if (dx < 0) v.CentreX -= dx;
    if (dy < 0) v.CentreY -= dy;
    width += std::abs(static_cast<int64_t>(dx));
    height += std::abs(static_cast<int64_t>(dy));
  }
  width = std::clamp<int64_t>(width, 1, kMaxImageWidth);
  height = std::clamp<int64_t>(height, 1, std::min<int64_t>(kMaxImageHeight, kMaxImagePixels / width));
  if (showProgress) {
    Position(progress, 35);
    Status(progress, " Rendering scene ...");
  }
  // ClearImage sets every pixel, so a picture of the right size need not be
  // zeroed first.
  if (Image.Width() != width || Image.Height() != height || Image.BitsPerPixel() != 32)
    Image.SetSize(static_cast<int>(width), static_cast<int>(height), 32);
  // Black, as a fresh picture is; kept when its size stays, and cleared in
  // bands, as the frame is drawn.
  if (Mask.Width() != width || Mask.Height() != height || Mask.BitsPerPixel() != 32)
    Mask.SetSize(static_cast<int>(width), static_cast<int>(height), 32);
  else
    TView3D::FillPicture(Mask, 0, RenderThreads);
  ClearImage();
  PrepareView();
  if (Stopped(progress)) return false;
  View3D.Render(Image, Mask, ButtonRamp, TextRamp, Params.ButType, withMask, RenderThreads);
  if (showProgress) Position(progress, 75);
  return true;
}

void TScene::ClearImage() {
  TView3D::FillPicture(Image, ColorToPixel(Params.BkgColor), RenderThreads);
}

// Textures tile the picture a given number of times across and down; they
// are resampled only when the tile size changes.
void TScene::ResizeTextures() {
  Params.ViewParams.CentreX = Params.ViewParams.CentreY = 0;
  PrepareView();
  const TRect r = View3D.ScreenBounds();
  if (r.Right < r.Left || r.Bottom < r.Top) return;
  const int w =
      static_cast<int>(std::min<int64_t>(static_cast<int64_t>(r.Right) - r.Left + 2, kMaxImageWidth));
  const int h =
      static_cast<int>(std::min<int64_t>(static_cast<int64_t>(r.Bottom) - r.Top + 2, kMaxImageHeight));
  if (View3D.ButtonTextured) ResizeTexture(true, w, h);
  if (View3D.TextTextured) ResizeTexture(false, w, h);
}

void TScene::ResizeTexture(bool button, int w, int h) {
  const TPicture& current = button ? View3D.ButtonTexture() : View3D.TextTexture();
  float& repW = button ? Params.ButTexW : Params.TxtTexW;
  float& repH = button ? Params.ButTexH : Params.TxtTexH;
  const bool holdRatio = button ? Params.ButHoldRatio : Params.TxtHoldRatio;
  if (holdRatio && current.Height() > 0 && current.Width() > 0) {
    const double aspect = static_cast<double>(current.Width()) / current.Height();
    repW = static_cast<float>(w * static_cast<double>(repH) / (h * aspect));
  } else {
    repW = static_cast<float>(RoundInt(repW));
    repH = static_cast<float>(RoundInt(repH));
  }
  // Repetitions of 0 or less (only from a damaged work) count as one tile.
  const double tw = repW > 0 ? w / static_cast<double>(repW) : w;
  const double th = repH > 0 ? h / static_cast<double>(repH) : h;
  const int tileW = std::clamp(RoundInt(tw), 1, kMaxImageWidth);
  const int tileH = std::clamp(RoundInt(th), 1, kMaxImageHeight);
  if (current.Width() == tileW && current.Height() == tileH) return;
  const TPicture tile = ResizedPicture(current, tileW, tileH, SplineFilter, 2);
  if (button)
    View3D.SetButtonTexture(tile);
  else
    View3D.SetTextTexture(tile);
}

}  // namespace vantrix
