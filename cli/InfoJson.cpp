#include "InfoJson.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace vantrix {

namespace {

// A small writer that keeps commas and indentation right.
class TJson {
 public:
  TJson& Open(const char* key = nullptr) { return Start(key, '{'); }
  TJson& OpenArray(const char* key) { return Start(key, '['); }
  TJson& Close(char c = '}') {
    --depth_;
    out_ << '\n' << std::string(2 * depth_, ' ') << c;
    first_ = false;
    return *this;
  }
  TJson& Int(const char* key, int64_t v) {
    Key(key);
    out_ << v;
    return *this;
  }
  TJson& Bool(const char* key, bool v) {
    Key(key);
    out_ << (v ? "true" : "false");
    return *this;
  }
  TJson& Real(const char* key, double v) {
    Key(key);
    if (!std::isfinite(v)) {
      out_ << "null";  // JSON has no NaN or infinity
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.9g", v);
      out_ << buf;
    }
    return *this;
  }
  TJson& Str(const char* key, const std::string& v) {
    Key(key);
    out_ << '"';
    for (unsigned char c : v) {
      if (c == '"' || c == '\\') {
        out_ << '\\' << c;
      } else if (c < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out_ << buf;
      } else {
        out_ << c;
      }
    }
    out_ << '"';
    return *this;
  }
  std::string Text() const { return out_.str() + "\n"; }

 private:
  TJson& Start(const char* key, char c) {
    Key(key);
    out_ << c;
    ++depth_;
    first_ = true;
    return *this;
  }
  void Key(const char* key) {
    if (depth_ > 0) {
      if (!first_) out_ << ',';
      out_ << '\n' << std::string(2 * depth_, ' ');
    }
    first_ = false;
    if (key) out_ << '"' << key << "\": ";
  }
  std::ostringstream out_;
  int depth_ = 0;
  bool first_ = true;
};

void Scheme(TJson& j, const char* name, const TColorScheme& s) {
  j.Open(name)
      .Int("DColor", s.DColor)
      .Int("MColor", s.MColor)
      .Int("BColor", s.BColor)
      .Int("ColSplit", s.ColSplit)
      .Close();
}

}  // namespace

std::string WorkToJson(const TScene& scene, const TCaption& caption) {
  const TParams& p = scene.Params;
  const TViewParams& v = p.ViewParams;
  const TBodyTransform& t = p.View;
  TJson j;
  j.Open();
  j.Open("Params");
  j.Int("SplPnt", p.SplPnt).Int("ButType", p.ButType).Int("TxtW", p.TxtW).Int("ButW", p.ButW);
  j.Int("ButY", p.ButY).Int("TxtY", p.TxtY);
  j.Open("ViewParams");
  j.Real("CnX", v.CnX).Real("CnZ", v.CnZ).Int("CentreX", v.CentreX).Int("CentreY", v.CentreY);
  j.Real("LightX", v.LightX).Real("LightY", v.LightY).Real("LightZ", v.LightZ).Real("LightLen", v.LightLen);
  j.Real("LightA1", v.LightA1)
      .Real("LightA2", v.LightA2)
      .Int("LoBright", v.LoBright)
      .Int("HiBright", v.HiBright);
  j.Int("LightColor", v.LightColor).Int("Brightness", v.Brightness);
  j.Int("ButtonShadowDX", v.ButtonShadowDX).Int("ButtonShadowDY", v.ButtonShadowDY);
  j.Int("TextShadowDX", v.TextShadowDX).Int("TextShadowDY", v.TextShadowDY);
  j.Int("TextAltitude", v.TextAltitude).Int("ButtonAltitude", v.ButtonAltitude);
  j.Close();
  j.Open("View");
  j.Real("OffsetX", t.OffsetX).Real("OffsetY", t.OffsetY).Real("OffsetZ", t.OffsetZ);
  j.Real("AngleX", t.AngleX).Real("AngleY", t.AngleY).Real("AngleZ", t.AngleZ).Int("Smooth", t.Smooth);
  j.Close();
  j.Int("GutLeft", p.GutLeft)
      .Int("GutTop", p.GutTop)
      .Int("GutRight", p.GutRight)
      .Int("GutBottom", p.GutBottom);
  Scheme(j, "TxtColors", p.TxtColors);
  Scheme(j, "ButColors", p.ButColors);
  j.Int("BkgColor", p.BkgColor)
      .Int("Distance", p.Distance)
      .Int("Bright", p.Bright)
      .Int("Contrast", p.Contrast);
  j.Str("ButTexFile", p.ButTexFile).Str("TxtTexFile", p.TxtTexFile);
  j.Real("ButTexW", p.ButTexW)
      .Real("ButTexH", p.ButTexH)
      .Real("TxtTexH", p.TxtTexH)
      .Real("TxtTexW", p.TxtTexW);
  j.Int("RDelay", p.RDelay)
      .Int("ExpWidth", p.ExpWidth)
      .Int("ExpHeight", p.ExpHeight)
      .Int("ViewSize", p.ViewSize);
  j.Bool("HoldButtonSize", p.HoldButtonSize);
  j.Int("ButLeft", p.ButLeft)
      .Int("ButTop", p.ButTop)
      .Int("ButRight", p.ButRight)
      .Int("ButBottom", p.ButBottom);
  j.Bool("ButHoldRatio", p.ButHoldRatio).Bool("TxtHoldRatio", p.TxtHoldRatio);
  j.Int("EffectType", p.EffectType).Str("ShapeName", p.ShapeName);
  j.Close();
  const TPhase& e = scene.Effect;
  j.Open("Effect").Int("BColor", e.BColor).Int("TColor", e.TColor).Int("LColor", e.LColor);
  j.Int("ButY", e.ButY).Int("TxtY", e.TxtY).Close();
  j.Str("Caption", caption.TextUtf8());
  j.OpenArray("Letters");
  for (const TCaptionChar& c : caption.Chars()) {
    j.Open();
    j.Str("Char", EncodeUtf8(std::u32string(1, c.Char)));
    j.Str("Name", c.Font.FaceName).Int("Size", c.Font.Size).Int("Charset", c.Font.Charset);
    j.Bool("Bold", c.Font.Bold).Bool("Italic", c.Font.Italic).Bool("Underline", c.Font.Underline);
    j.Bool("Strikeout", c.Font.Strikeout);
    j.Close();
  }
  j.Close(']');
  j.Close();
  return j.Text();
}

}  // namespace vantrix
