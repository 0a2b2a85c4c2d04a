// Work files: writing and reading the scene parameters, the roll-over values
// and the caption's letters, key by key in a fixed order. Section and key
// names and their order are the file format; see WorkFile.h for encodings.

#include "scene/WorkFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "platform/CodePage.h"
#include "platform/Rounding.h"
#include "scene/Ico2Ini.h"

namespace vantrix {

namespace {

constexpr std::string_view kFileId = "$010700FF";  // 17236223
constexpr char kGeneral[] = "General";
constexpr char kMessage[] = "Message";
constexpr char kButton[] = "Button";
constexpr char kRender[] = "Render";
constexpr char kLight[] = "Light";
constexpr char kEffect[] = "Effect";

std::string LetterSection(int i) {
  return "Letter " + std::to_string(i);
}

// Ranges that values of a damaged or hand-made file are brought into. Where
// the program's own controls have a range, theirs is used, so that whatever
// loads is something the user could have set; that also keeps texture tiles
// no larger than the picture and shadows and depths within the picture's
// usual reach. Coordinates (margins, the held rectangle, bevel widths) are
// held to the span the caption extent starts from. Left as read, because
// their users guard them already: SplPnt, ButType, ColSplit, Distance,
// LoBright/HiBright, ShadType, the light vector and angles, CnX/CnZ and the
// view position.
constexpr int32_t kMaxLetters = TCaption::kMaxChars;  // letters past it are dropped
constexpr int32_t kMinTxtY = 10, kMaxTxtY = 310;      // caption extrusion slider
constexpr int32_t kMinButY = -300, kMaxButY = 0;      // minus the button extrusion slider
constexpr int32_t kMaxAltitude = 100;                 // altitude sliders, from 0
constexpr int32_t kMinBrightness = 1, kMaxBrightness = 254;
constexpr int32_t kMinDelay = 1, kMaxDelay = 10;         // 250..2500 ms
constexpr int32_t kMinViewSize = 10, kMaxViewSize = 90;  // per cent
constexpr float kMinTexRepeat = 1, kMaxTexRepeat = 10;   // texture spin edits
constexpr int32_t kMaxCoordinate = 65535;
constexpr int32_t kMaxExportSide = 16384;
constexpr int32_t kMaxFontSize = 1638;  // points; below 1 counts as unreadable
constexpr int32_t kMaxCharset = 255;    // outside 0..255 counts as unreadable
// A "1.3.5" real is held to what an integer key of "1.7.0" can carry.
constexpr double kMaxScaledReal = 2147483.647;

// ---- Writing ----

void PutInt(TIniFile& ini, std::string_view section, std::string_view key, int32_t v) {
  ini.WriteInteger(section, key, v);
}
void PutColor(TIniFile& ini, std::string_view section, std::string_view key, TColor c) {
  ini.WriteInteger(section, key, static_cast<int32_t>(c));
}
void PutReal(TIniFile& ini, std::string_view section, std::string_view key, float v) {
  ini.WriteInteger(section, key, ScaledRealToInt(v));
}
void PutText(TIniFile& ini, std::string_view section, std::string_view key, const std::string& utf8) {
  ini.WriteString(section, key, Utf8ToCp1252(utf8));
}

// ---- Reading ----

class TWorkReader {
 public:
  TWorkReader(const TIniFile& ini, bool oldFormat) : ini_(ini), old_(oldFormat) {}

  // The integer a key holds; nullopt when it is missing or not an integer.
  std::optional<int32_t> Integer(std::string_view section, std::string_view key) const {
    const int32_t a = ini_.ReadInteger(section, key, 0);
    const int32_t b = ini_.ReadInteger(section, key, 1);
    if (a != b) return std::nullopt;
    return a;
  }
  void Int(std::string_view section, std::string_view key, int32_t& v) const {
    if (auto r = Integer(section, key)) v = *r;
  }
  void Int(std::string_view section, std::string_view key, int32_t& v, int32_t lo, int32_t hi) const {
    if (auto r = Integer(section, key)) v = ClampInt(*r, lo, hi);
  }
  void Bool(std::string_view section, std::string_view key, bool& v) const {
    v = ini_.ReadBool(section, key, v);
  }
  // Colours are 24-bit; an upper byte from a hand-written value is dropped.
  void Color(std::string_view section, std::string_view key, TColor& v) const {
    if (auto r = Integer(section, key)) v = static_cast<TColor>(*r) & 0x00FFFFFFu;
  }
  // A scaled real: the integer divided by 1000, or in an old file the real
  // number itself.
  std::optional<float> RealValue(std::string_view section, std::string_view key) const {
    if (old_) {
      if (!ini_.ValueExists(section, key)) return std::nullopt;
      return ParseOldReal(ini_.ReadString(section, key, {}));
    }
    if (auto r = Integer(section, key)) return static_cast<float>(*r / 1000.0);
    return std::nullopt;
  }
  void Real(std::string_view section, std::string_view key, float& v) const {
    if (auto r = RealValue(section, key)) v = *r;
  }
  void Real(std::string_view section, std::string_view key, float& v, float lo, float hi) const {
    if (auto r = RealValue(section, key)) v = std::clamp(*r, lo, hi);
  }
  // A value as a C string: nothing after a NUL byte counts, and blanks
  // before it are dropped like those at the end of any value.
  std::string Raw(std::string_view section, std::string_view key) const {
    std::string s = ini_.ReadString(section, key, {});
    s.resize(std::min(s.size(), s.find('\0')));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
  }
  void Text(std::string_view section, std::string_view key, std::string& v) const {
    if (ini_.ValueExists(section, key)) v = Cp1252ToUtf8(Raw(section, key));
  }

 private:
  const TIniFile& ini_;
  bool old_;
};

void ReadParams(const TWorkReader& r, TParams& p, int32_t& letters) {
  r.Int(kGeneral, "ExpWidth", p.ExpWidth, 1, kMaxExportSide);
  r.Int(kGeneral, "ExpHeight", p.ExpHeight, 1, kMaxExportSide);
  letters = ClampInt(r.Integer(kMessage, "NLetters").value_or(0), 0, kMaxLetters);

  TViewParams& v = p.ViewParams;
  r.Int(kMessage, "SplPnt", p.SplPnt);
  r.Int(kMessage, "TxtW", p.TxtW, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kMessage, "TxtY", p.TxtY, kMinTxtY, kMaxTxtY);
  r.Real(kMessage, "TexW", p.TxtTexW, kMinTexRepeat, kMaxTexRepeat);
  r.Real(kMessage, "TexH", p.TxtTexH, kMinTexRepeat, kMaxTexRepeat);
  r.Bool(kMessage, "HoldRatio", p.TxtHoldRatio);
  r.Text(kMessage, "TexFile", p.TxtTexFile);
  r.Int(kMessage, "GutLeft", p.GutLeft, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kMessage, "GutRight", p.GutRight, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kMessage, "GutTop", p.GutTop, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kMessage, "GutBottom", p.GutBottom, -kMaxCoordinate, kMaxCoordinate);
  r.Color(kMessage, "DColor", p.TxtColors.DColor);
  r.Color(kMessage, "BColor", p.TxtColors.BColor);
  r.Color(kMessage, "MColor", p.TxtColors.MColor);
  r.Int(kMessage, "ColSplit", p.TxtColors.ColSplit);
  r.Int(kMessage, "Altitude", v.TextAltitude, 0, kMaxAltitude);

  r.Int(kButton, "Type", p.ButType);
  r.Int(kButton, "ButW", p.ButW, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kButton, "ButY", p.ButY, kMinButY, kMaxButY);
  r.Real(kButton, "TexW", p.ButTexW, kMinTexRepeat, kMaxTexRepeat);
  r.Real(kButton, "TexH", p.ButTexH, kMinTexRepeat, kMaxTexRepeat);
  r.Bool(kButton, "HoldRatio", p.ButHoldRatio);
  r.Text(kButton, "TexFile", p.ButTexFile);
  r.Color(kButton, "BkgColor", p.BkgColor);
  r.Color(kButton, "DColor", p.ButColors.DColor);
  r.Color(kButton, "BColor", p.ButColors.BColor);
  r.Color(kButton, "MColor", p.ButColors.MColor);
  r.Int(kButton, "ColSplit", p.ButColors.ColSplit);
  r.Int(kButton, "Altitude", v.ButtonAltitude, 0, kMaxAltitude);
  r.Bool(kButton, "HoldButtonSize", p.HoldButtonSize);
  r.Int(kButton, "ButTop", p.ButTop, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kButton, "ButLeft", p.ButLeft, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kButton, "ButRight", p.ButRight, -kMaxCoordinate, kMaxCoordinate);
  r.Int(kButton, "ButBottom", p.ButBottom, -kMaxCoordinate, kMaxCoordinate);
  r.Text(kButton, "ShapeName", p.ShapeName);

  r.Int(kRender, "Distance", p.Distance);
  r.Int(kRender, "Bright", p.Bright);
  r.Int(kRender, "Brightness", v.Brightness, kMinBrightness, kMaxBrightness);
  r.Int(kRender, "Contrast", p.Contrast);
  r.Int(kRender, "ShadType", p.View.Smooth);
  r.Int(kRender, "RDelay", p.RDelay, kMinDelay, kMaxDelay);
  r.Int(kRender, "ViewSize", p.ViewSize, kMinViewSize, kMaxViewSize);
  r.Real(kRender, "X", p.View.OffsetX);
  r.Real(kRender, "Y", p.View.OffsetY);
  r.Real(kRender, "Z", p.View.OffsetZ);
  r.Real(kRender, "Ax", p.View.AngleX);
  r.Real(kRender, "Ay", p.View.AngleY);
  r.Real(kRender, "Az", p.View.AngleZ);
  r.Real(kRender, "CnX", v.CnX);
  r.Real(kRender, "CnZ", v.CnZ);

  r.Real(kLight, "X", v.LightX);
  r.Real(kLight, "Y", v.LightY);
  r.Real(kLight, "Z", v.LightZ);
  r.Real(kLight, "A", v.LightLen);
  r.Real(kLight, "a1", v.LightA1);
  r.Real(kLight, "a2", v.LightA2);
  r.Int(kLight, "LoBright", v.LoBright);
  r.Int(kLight, "HiBright", v.HiBright);
  r.Color(kLight, "Color", v.LightColor);
}

// The second image starts as a copy of the first; its own keys count only
// with an effect switched on.
TPhase ReadEffect(const TWorkReader& r, TParams& p) {
  TPhase e = PhaseOfParams(p);
  r.Int(kEffect, "Type", p.EffectType);
  if (p.EffectType > 0) {
    r.Color(kEffect, "BColor", e.BColor);
    r.Color(kEffect, "TColor", e.TColor);
    r.Color(kEffect, "LColor", e.LColor);
    r.Int(kEffect, "ButY", e.ButY, kMinButY, kMaxButY);
    r.Int(kEffect, "TxtY", e.TxtY, kMinTxtY, kMaxTxtY);
  }
  return e;
}

// A letter's character is one byte read through its own font's character set,
// the byte its glyph is fetched by (TCaption::ByteCode), so that a loaded
// caption draws exactly what the saved one drew. A byte the set leaves
// undefined becomes '?', which is also what the glyph lookup would use.
TCaptionChar ReadLetter(const TWorkReader& r, int i, const TFontSpec& editorFont) {
  const std::string section = LetterSection(i);
  TCaptionChar c;
  TFontSpec& f = c.Font;
  f = TFontSpec{};
  f.FaceName = editorFont.FaceName;
  r.Text(section, "Name", f.FaceName);
  if (f.FaceName.empty()) f.FaceName = editorFont.FaceName;
  f.Size = editorFont.Size;
  if (auto size = r.Integer(section, "Size"); size && *size >= 1) f.Size = std::min(*size, kMaxFontSize);
  f.Charset = editorFont.Charset;
  if (auto cs = r.Integer(section, "Charset"); cs && *cs >= 0 && *cs <= kMaxCharset) f.Charset = *cs;
  f.Bold = editorFont.Bold;
  f.Italic = editorFont.Italic;
  f.Underline = editorFont.Underline;
  r.Bool(section, "Bold", f.Bold);
  r.Bool(section, "Italic", f.Italic);
  r.Bool(section, "Underline", f.Underline);
  f.Strikeout = false;  // not stored

  const std::string ch = r.Raw(section, "Char");
  if (ch.empty())
    c.Char = U' ';  // a blank reads back empty
  else
    c.Char = CharsetToUnicode(f.Charset, static_cast<uint8_t>(ch[0])).value_or(U'?');
  return c;
}

}  // namespace

int32_t ScaledRealToInt(float value) {
  return RoundInt(static_cast<double>(value) * 1000.0);
}

std::optional<float> ParseOldReal(std::string_view text) {
  std::string s;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
  int digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    s += '.';
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    s += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
    int expDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);  // from_chars takes no '+'
  double v = 0;
  const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  if (std::fabs(v) > kMaxScaledReal) return std::nullopt;
  return static_cast<float>(v);
}

void WriteWork(TIniFile& ini, const TScene& scene, const TCaption& caption) {
  const TParams& p = scene.Params;
  const TViewParams& v = p.ViewParams;

  ini.WriteString(kGeneral, "Version", kWorkFileVersion);
  ini.WriteString(kGeneral, "FileID", kFileId);
  PutInt(ini, kGeneral, "ExpWidth", p.ExpWidth);
  PutInt(ini, kGeneral, "ExpHeight", p.ExpHeight);

  PutInt(ini, kMessage, "NLetters", caption.Length());
  PutInt(ini, kMessage, "SplPnt", p.SplPnt);
  PutInt(ini, kMessage, "TxtW", p.TxtW);
  PutInt(ini, kMessage, "TxtY", p.TxtY);
  PutReal(ini, kMessage, "TexW", p.TxtTexW);
  PutReal(ini, kMessage, "TexH", p.TxtTexH);
  ini.WriteBool(kMessage, "HoldRatio", p.TxtHoldRatio);
  PutText(ini, kMessage, "TexFile", p.TxtTexFile);
  PutInt(ini, kMessage, "GutLeft", p.GutLeft);
  PutInt(ini, kMessage, "GutRight", p.GutRight);
  PutInt(ini, kMessage, "GutTop", p.GutTop);
  PutInt(ini, kMessage, "GutBottom", p.GutBottom);
  PutColor(ini, kMessage, "DColor", p.TxtColors.DColor);
  PutColor(ini, kMessage, "BColor", p.TxtColors.BColor);
  PutColor(ini, kMessage, "MColor", p.TxtColors.MColor);
  PutInt(ini, kMessage, "ColSplit", p.TxtColors.ColSplit);
  PutInt(ini, kMessage, "Altitude", v.TextAltitude);

  PutInt(ini, kButton, "Type", p.ButType);
  PutInt(ini, kButton, "ButW", p.ButW);
  PutInt(ini, kButton, "ButY", p.ButY);
  PutReal(ini, kButton, "TexW", p.ButTexW);
  PutReal(ini, kButton, "TexH", p.ButTexH);
  ini.WriteBool(kButton, "HoldRatio", p.ButHoldRatio);
  PutText(ini, kButton, "TexFile", p.ButTexFile);
  PutColor(ini, kButton, "BkgColor", p.BkgColor);
  PutColor(ini, kButton, "DColor", p.ButColors.DColor);
  PutColor(ini, kButton, "BColor", p.ButColors.BColor);
  PutColor(ini, kButton, "MColor", p.ButColors.MColor);
  PutInt(ini, kButton, "ColSplit", p.ButColors.ColSplit);
  PutInt(ini, kButton, "Altitude", v.ButtonAltitude);
  ini.WriteBool(kButton, "HoldButtonSize", p.HoldButtonSize);
  PutInt(ini, kButton, "ButTop", p.ButTop);
  PutInt(ini, kButton, "ButLeft", p.ButLeft);
  PutInt(ini, kButton, "ButRight", p.ButRight);
  PutInt(ini, kButton, "ButBottom", p.ButBottom);
  PutText(ini, kButton, "ShapeName", p.ShapeName);

  PutInt(ini, kRender, "Distance", p.Distance);
  PutInt(ini, kRender, "Bright", p.Bright);
  PutInt(ini, kRender, "Brightness", v.Brightness);
  PutInt(ini, kRender, "Contrast", p.Contrast);
  PutInt(ini, kRender, "ShadType", p.View.Smooth);
  PutInt(ini, kRender, "RDelay", p.RDelay);
  PutInt(ini, kRender, "ViewSize", p.ViewSize);
  PutReal(ini, kRender, "X", p.View.OffsetX);
  PutReal(ini, kRender, "Y", p.View.OffsetY);
  PutReal(ini, kRender, "Z", p.View.OffsetZ);
  PutReal(ini, kRender, "Ax", p.View.AngleX);
  PutReal(ini, kRender, "Ay", p.View.AngleY);
  PutReal(ini, kRender, "Az", p.View.AngleZ);
  PutReal(ini, kRender, "CnX", v.CnX);
  PutReal(ini, kRender, "CnZ", v.CnZ);

  PutReal(ini, kLight, "X", v.LightX);
  PutReal(ini, kLight, "Y", v.LightY);
  PutReal(ini, kLight, "Z", v.LightZ);
  PutReal(ini, kLight, "A", v.LightLen);
  PutReal(ini, kLight, "a1", v.LightA1);
  PutReal(ini, kLight, "a2", v.LightA2);
  PutInt(ini, kLight, "LoBright", v.LoBright);
  PutInt(ini, kLight, "HiBright", v.HiBright);
  PutColor(ini, kLight, "Color", v.LightColor);

  PutInt(ini, kEffect, "Type", p.EffectType);
  if (p.EffectType > 0) {
    PutColor(ini, kEffect, "BColor", scene.Effect.BColor);
    PutColor(ini, kEffect, "TColor", scene.Effect.TColor);
    PutColor(ini, kEffect, "LColor", scene.Effect.LColor);
    PutInt(ini, kEffect, "ButY", scene.Effect.ButY);
    PutInt(ini, kEffect, "TxtY", scene.Effect.TxtY);
  }

  for (int i = 1; i <= caption.Length(); ++i) {
    const TCaptionChar& c = caption.At(i - 1);
    const std::string section = LetterSection(i);
    ini.WriteString(section, "Char", std::string(1, static_cast<char>(TCaption::ByteCode(c))));
    PutText(ini, section, "Name", c.Font.FaceName);
    PutInt(ini, section, "Size", c.Font.Size);
    PutInt(ini, section, "Charset", c.Font.Charset);
    ini.WriteBool(section, "Bold", c.Font.Bold);
    ini.WriteBool(section, "Italic", c.Font.Italic);
    ini.WriteBool(section, "Underline", c.Font.Underline);
  }
}

void SaveWork(TScene& scene, const TCaption& caption, const std::string& fileName, const TPicture* icon) {
  try {
    // Reading the old file first keeps every key this save does not write.
    TIniFile ini(fileName);
    WriteWork(ini, scene, caption);
    if (icon != nullptr && !icon->Empty() && !caption.Empty()) IconToIni(ini, "Icon", *icon);
    ini.UpdateFile();
  } catch (const TIniError& e) {
    throw TWorkFileError(e.what());
  }
}

void LoadWork(TScene& scene, TCaption& caption, const TIniFile& ini, const TFontSpec& editorFont) {
  const std::string version = ini.ReadString(kGeneral, "Version", {});
  if (version != kWorkFileVersion && version != kOldWorkFileVersion)
    throw TWorkFileError("Invalid file version: " + Cp1252ToUtf8(version));

  // Everything is read into copies and committed at the end, so that nothing
  // changes when anything fails on the way.
  const TWorkReader r(ini, version == kOldWorkFileVersion);
  TParams p = scene.Params;
  int32_t letters = 0;
  ReadParams(r, p, letters);
  const TPhase effect = ReadEffect(r, p);
  TCaption loaded;
  for (int i = 1; i <= letters; ++i) {
    const TCaptionChar c = ReadLetter(r, i, editorFont);
    loaded.Append(c.Char, c.Font);
  }

  scene.Params = std::move(p);
  scene.Effect = effect;
  caption = std::move(loaded);
}

void LoadWork(TScene& scene, TCaption& caption, const std::string& fileName, const TFontSpec& editorFont) {
  std::error_code ec;
  if (!std::filesystem::exists(fileName, ec)) throw TWorkFileError("Error loading file: " + fileName);
  try {
    const TIniFile ini(fileName);
    LoadWork(scene, caption, ini, editorFont);
  } catch (const TIniError& e) {
    throw TWorkFileError(e.what());
  }
}

}  // namespace vantrix
