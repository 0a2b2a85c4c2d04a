// Work files: writing and reading the scene parameters, the roll-over values
// and the caption's letters by walking the rows of WorkKeys.h, plus the few
// keys that are not a field of the model (version, file id, caption length,
// a letter's character). See WorkFile.h for the encodings.

#include "scene/WorkFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <variant>

#include "platform/CodePage.h"
#include "platform/PathText.h"
#include "platform/Rounding.h"
#include "scene/Ico2Ini.h"
#include "scene/WorkKeys.h"

namespace vantrix {

namespace {

constexpr std::string_view kFileId = "$010700FF";     // 17236223
constexpr int32_t kMaxLetters = TCaption::kMaxChars;  // letters past it are dropped
// A "1.3.5" real is held to what an integer key of "1.7.0" can carry.
constexpr double kMaxScaledReal = 2147483.647;

// A letter's character where its set has no byte for it (Char then holds '?').
constexpr std::string_view kUnicodeKey = "Unicode";

bool IsUnicodeScalar(int64_t v) {
  return v > 0 && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF);
}

std::string LetterSection(int i) {
  return "Letter " + std::to_string(i);
}

// ---- Writing ----

void Put(TIniFile& ini, std::string_view section, std::string_view key, int32_t v) {
  ini.WriteInteger(section, key, v);
}
void Put(TIniFile& ini, std::string_view section, std::string_view key, bool v) {
  ini.WriteBool(section, key, v);
}
void Put(TIniFile& ini, std::string_view section, std::string_view key, float v) {
  ini.WriteInteger(section, key, ScaledRealToInt(v));
}
void Put(TIniFile& ini, std::string_view section, std::string_view key, TColor c) {
  ini.WriteInteger(section, key, static_cast<int32_t>(ColorValue(c)));
}
void Put(TIniFile& ini, std::string_view section, std::string_view key, const std::string& utf8) {
  ini.WriteString(section, key, Utf8ToCp1252(utf8));
}

template <class Root>
void Write(TIniFile& ini, std::string_view section, const TWorkKey<Root>& k, const Root& root) {
  if (k.Key.empty() || (k.OnlyWhenSet && FieldIsDefault(k, root))) return;
  std::visit([&](const auto* v) { Put(ini, section, k.Key, *v); }, k.Field.At(root));
}

// ---- Reading ----

// A read value brought into a row's range; nullopt where the range says the
// value counts as unreadable.
template <class T>
std::optional<T> InRange(T v, const std::optional<TRange>& range) {
  if (!range) return v;
  const T lo = static_cast<T>(range->Lo), hi = static_cast<T>(range->Hi);
  if (v < lo) return range->BelowLo == TOutside::Clamped ? std::optional<T>(lo) : std::nullopt;
  if (v > hi) return range->AboveHi == TOutside::Clamped ? std::optional<T>(hi) : std::nullopt;
  return v;
}

// A value as a C string: nothing after a NUL byte counts, and blanks before
// it are dropped like those at the end of any value.
std::string CString(std::string s) {
  s.resize(std::min(s.size(), s.find('\0')));
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

class TWorkReader {
 public:
  TWorkReader(const TIniFile& ini, bool oldFormat) : ini_(ini), old_(oldFormat) {}

  // The integer a key holds; nullopt when it is missing or not an integer.
  std::optional<int32_t> Integer(std::string_view section, std::string_view key) const {
    return ini_.TryReadInteger(section, key);
  }
  std::string Raw(std::string_view section, std::string_view key) const {
    return CString(ini_.ReadString(section, key, {}));
  }

  // Keeps the field's value when the key is missing or unreadable.
  template <class Root>
  void Read(std::string_view section, const TWorkKey<Root>& k, Root& root) const {
    if (k.Key.empty()) return;
    std::visit([&](auto* v) { Get(section, k.Key, k.Range, *v); }, k.Field.At(root));
  }

 private:
  using TOptRange = std::optional<TRange>;

  void Get(std::string_view section, std::string_view key, const TOptRange& range, int32_t& v) const {
    if (auto r = Integer(section, key)) v = InRange(*r, range).value_or(v);
  }
  void Get(std::string_view section, std::string_view key, const TOptRange&, bool& v) const {
    if (auto r = Integer(section, key)) v = *r != 0;
  }
  // Colours are 24-bit; an upper byte from a hand-written value is dropped.
  void Get(std::string_view section, std::string_view key, const TOptRange&, TColor& v) const {
    if (auto r = Integer(section, key)) v = ColorFromValue(static_cast<uint32_t>(*r) & 0x00FFFFFFu);
  }
  // A scaled real: the integer divided by 1000, or in an old file the real
  // number itself.
  void Get(std::string_view section, std::string_view key, const TOptRange& range, float& v) const {
    std::optional<float> r;
    if (old_) {
      if (auto text = ini_.TryReadString(section, key)) r = ParseOldReal(*text);
    } else if (auto i = Integer(section, key)) {
      r = static_cast<float>(*i / 1000.0);
    }
    if (r) v = InRange(*r, range).value_or(v);
  }
  void Get(std::string_view section, std::string_view key, const TOptRange&, std::string& v) const {
    if (auto text = ini_.TryReadString(section, key)) v = Cp1252ToUtf8(CString(std::move(*text)));
  }

  const TIniFile& ini_;
  bool old_;
};

// A letter's character is one byte read through its own font's character set,
// the byte its glyph is fetched by (TCaption::ByteCode), so that a loaded
// caption draws exactly what the saved one drew. A byte the set leaves
// undefined becomes '?', which is also what the glyph lookup would use.
TCaptionChar ReadLetter(const TWorkReader& r, int i, const TFontSpec& editorFont) {
  const std::string section = LetterSection(i);
  TCaptionChar c;
  c.Font = editorFont;
  c.Font.Strikeout = false;  // not stored
  for (const TWorkKey<TFontSpec>& k : LetterKeys()) r.Read(section, k, c.Font);
  if (c.Font.FaceName.empty()) c.Font.FaceName = editorFont.FaceName;

  const std::string ch = r.Raw(section, "Char");
  if (ch.empty())
    c.Char = U' ';  // a blank reads back empty
  else
    c.Char = CharsetToUnicode(c.Font.Charset, static_cast<uint8_t>(ch[0])).value_or(U'?');
  // The character itself, for one the set cannot hold. It counts only while
  // Char still holds the byte it would be saved as: a program that knows no
  // Unicode key may have changed Char and left the key behind.
  if (const auto code = r.Integer(section, kUnicodeKey)) {
    TCaptionChar wide = c;
    wide.Char = static_cast<char32_t>(*code);
    if (IsUnicodeScalar(*code) && !TCaption::InCharset(wide) && !ch.empty() &&
        static_cast<uint8_t>(ch[0]) == TCaption::ByteCode(wide))
      c.Char = wide.Char;
  }
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
  ini.WriteString(kGeneralSection, "Version", kWorkFileVersion);
  ini.WriteString(kGeneralSection, "FileID", kFileId);
  // The caption's length is the first key of [Message]; written before the
  // rows, it still comes after the [General] ones, which go into a section
  // that exists by now.
  ini.WriteInteger(kMessageSection, "NLetters", caption.Length());
  for (const TWorkKey<TParams>& k : ParamKeys()) Write(ini, k.Section, k, p);
  if (p.EffectType > 0)
    for (const TWorkKey<TPhase>& k : EffectKeys()) Write(ini, k.Section, k, scene.Effect);

  for (int i = 1; i <= caption.Length(); ++i) {
    const TCaptionChar& c = caption.At(i - 1);
    const std::string section = LetterSection(i);
    ini.WriteString(section, "Char", std::string(1, static_cast<char>(TCaption::ByteCode(c))));
    if (TCaption::InCharset(c))
      ini.DeleteKey(section, kUnicodeKey);
    else
      ini.WriteInteger(section, kUnicodeKey, static_cast<int32_t>(c.Char));
    for (const TWorkKey<TFontSpec>& k : LetterKeys()) Write(ini, section, k, c.Font);
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

bool IsWorkFileKey(std::string_view section, std::string_view key) {
  auto in = [&](std::string_view s, std::string_view k) {
    return EqualsNoCase(section, s) && EqualsNoCase(key, k);
  };
  if (in(kGeneralSection, "Version") || in(kGeneralSection, "FileID") || in(kMessageSection, "NLetters"))
    return true;
  for (const auto& row : ParamKeys())
    if (!row.Key.empty() && in(row.Section, row.Key)) return true;
  for (const auto& row : EffectKeys())
    if (!row.Key.empty() && in(row.Section, row.Key)) return true;
  for (int i = 1; i <= kMaxLetters; ++i) {
    if (!EqualsNoCase(section, LetterSection(i))) continue;
    if (EqualsNoCase(key, "Char") || EqualsNoCase(key, kUnicodeKey)) return true;
    for (const auto& row : LetterKeys())
      if (EqualsNoCase(key, row.Key)) return true;
  }
  return false;
}

void LoadWork(TScene& scene, TCaption& caption, const TIniFile& ini, const TFontSpec& editorFont) {
  const std::string version = ini.ReadString(kGeneralSection, "Version", {});
  if (version != kWorkFileVersion && version != kOldWorkFileVersion)
    throw TWorkFileError("Invalid file version: " + Cp1252ToUtf8(version));

  // Everything is read into copies and committed at the end, so that nothing
  // changes when anything fails on the way.
  const TWorkReader r(ini, version == kOldWorkFileVersion);
  TParams p = scene.Params;
  for (const TWorkKey<TParams>& k : ParamKeys()) r.Read(k.Section, k, p);
  const int32_t letters = ClampInt(r.Integer(kMessageSection, "NLetters").value_or(0), 0, kMaxLetters);
  // The second image starts as a copy of the first; its own keys count only
  // with an effect switched on.
  TPhase effect = PhaseOfParams(p);
  if (p.EffectType > 0)
    for (const TWorkKey<TPhase>& k : EffectKeys()) r.Read(k.Section, k, effect);
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
