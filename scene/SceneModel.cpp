#include <cmath>
#include <cstdio>

#include "platform/Rounding.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

namespace {

constexpr TColor kBlack = MakeColor(0, 0, 0);
constexpr TColor kWhite = kColorWhite;
constexpr TColor kStartButtonColor = MakeColor(255, 128, 128);
constexpr TColor kStartCaptionColor = MakeColor(255, 255, 128);

}  // namespace

TScene::TScene() {
  Image.SetSize(64, 16, 32);
  Mask.SetSize(100, 100, 32);
  Params.View.OffsetY = static_cast<float>(Params.Distance);
  Params.View.Smooth = 1;
  SetLightAngles(0.5f, 0.3f);
  SetColors(kBlack, kStartButtonColor, kWhite, Params.ViewParams.Brightness, false);
  SetColors(kBlack, kStartCaptionColor, kWhite, Params.ViewParams.Brightness, true);
  ClearLetters();
  Effect = SavePhase();
}

void TScene::Message(const std::string& text) {
  if (Messages)
    Messages->ShowMessage(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

void TScene::Note(const std::string& text) {
  if (Messages)
    Messages->ShowNote(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

// The light vector points from the light into the scene. Shadows use the
// angles clamped to [pi/10, 9pi/10] so that a grazing light cannot throw an
// endless shadow; the stored angles keep their values.
void TScene::SetLightAngles(float a1, float a2) {
  TViewParams& v = Params.ViewParams;
  v.LightA1 = a1;
  v.LightA2 = a2;
  v.LightX = static_cast<float>(std::sin(static_cast<double>(a2)) * std::cos(static_cast<double>(a1)));
  v.LightY = static_cast<float>(std::sin(static_cast<double>(a2)) * std::sin(static_cast<double>(a1)));
  v.LightZ = static_cast<float>(-std::cos(static_cast<double>(a2)));
  v.LightLen = static_cast<float>(std::sqrt(static_cast<double>(v.LightX) * v.LightX +
                                            static_cast<double>(v.LightY) * v.LightY +
                                            static_cast<double>(v.LightZ) * v.LightZ));
  constexpr float kLow = 0.31415927f;
  constexpr float kHigh = 2.8274333f;
  auto clamp = [](float a) -> double {
    if (!(a >= kLow)) return kLow;  // also NaN
    if (a > kHigh) return kHigh;
    return a;
  };
  const double c1 = clamp(a1), c2 = clamp(a2);
  const double q = Params.View.OffsetY;
  auto offset = [q](double c, int32_t altitude, float cn) -> int32_t {
    // A distance of 0 or less (only from a damaged work) would divide by zero.
    if (!(q > 0)) return 0;
    return RoundInt(std::cos(c) * altitude * cn / (std::sin(c) * q));
  };
  v.ButtonShadowDX = offset(c1, v.ButtonAltitude, v.CnX);
  v.ButtonShadowDY = offset(c2, v.ButtonAltitude, v.CnZ);
  v.TextShadowDX = offset(c1, v.TextAltitude, v.CnX);
  v.TextShadowDY = offset(c2, v.TextAltitude, v.CnZ);
}

void TScene::SetColors(TColor dColor, TColor mColor, TColor bColor, int32_t colSplit, bool caption) {
  TColorScheme& s = caption ? Params.TxtColors : Params.ButColors;
  s.DColor = dColor;
  s.MColor = mColor;
  s.BColor = bColor;
  s.ColSplit = colSplit;
  BuildRamp(caption);
}

// Index 0 is the dark colour, index ColSplit the main colour, index 255 the
// bright colour, each multiplied by the light colour. A split outside 1..255
// (only from a damaged work file) is clamped so that no entry outside the ramp
// is written and nothing is divided by zero.
void TScene::BuildRamp(bool caption) {
  const TColorScheme& s = caption ? Params.TxtColors : Params.ButColors;
  TShadeRamp& ramp = caption ? TextRamp : ButtonRamp;
  const int split = ClampInt(s.ColSplit, 1, 255);
  const TColor light = Params.ViewParams.LightColor;
  auto channel = [&](int i, uint8_t (*pick)(TColor)) -> uint8_t {
    const double d = pick(s.DColor), m = pick(s.MColor), b = pick(s.BColor);
    const int v =
        i <= split ? RoundInt((m - d) * i / split + d) : RoundInt((b - m) * (i - split) / (255 - split) + m);
    return static_cast<uint8_t>(ClampInt(pick(light) * v / 255, 0, 255));
  };
  for (int i = 0; i < 256; ++i)
    ramp[i] = MakePixel(channel(i, ColorRed), channel(i, ColorGreen), channel(i, ColorBlue));
}

TPhase PhaseOfParams(const TParams& params) {
  TPhase p;
  p.BColor = params.ButColors.MColor;
  p.TColor = params.TxtColors.MColor;
  p.LColor = params.ViewParams.LightColor;
  p.ButY = params.ButY;
  p.TxtY = params.TxtY;
  return p;
}

TPhase TScene::SavePhase() const {
  return PhaseOfParams(Params);
}

void TScene::ApplyPhase(const TPhase& phase) {
  Params.ButColors.MColor = phase.BColor;
  Params.TxtColors.MColor = phase.TColor;
  Params.ViewParams.LightColor = phase.LColor;
  Params.ButY = phase.ButY;
  Params.TxtY = phase.TxtY;
  SetColors(kBlack, phase.BColor, kWhite, Params.ViewParams.Brightness, false);
  SetColors(kBlack, phase.TColor, kWhite, Params.ViewParams.Brightness, true);
}

void TScene::ClearLetters() {
  Letters.clear();
  CaptionExtent = TCaptionExtent{};
}

int TScene::CountNonBlank(std::string_view utf8) {
  int n = 0;
  for (char32_t c : DecodeUtf8(utf8))
    if (c != U' ') ++n;
  return n;
}

void CopySceneLook(const TScene& from, TScene& to) {
  to.Params = from.Params;
  to.Effect = from.Effect;
  to.AppPath = from.AppPath;
  to.ButtonRamp = from.ButtonRamp;
  to.TextRamp = from.TextRamp;
  const TView3D& v = from.View3D;
  to.View3D.ButtonTextured = v.ButtonTextured;
  to.View3D.TextTextured = v.TextTextured;
  if (v.ButtonTextured) to.View3D.SetButtonTexture(v.ButtonTexture());
  if (v.TextTextured) to.View3D.SetTextTexture(v.TextTexture());
}

}  // namespace vantrix
