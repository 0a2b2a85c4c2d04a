#include "InfoJson.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <span>
#include <sstream>
#include <string_view>
#include <variant>
#include <vector>

#include "scene/WorkKeys.h"

namespace vantrix {

namespace {

// A small writer that keeps commas and indentation right.
class TJson {
 public:
  TJson& Open(std::string_view key = {}) { return Start(key, '{'); }
  TJson& OpenArray(std::string_view key) { return Start(key, '['); }
  TJson& Close(char c = '}') {
    --depth_;
    out_ << '\n' << std::string(2 * depth_, ' ') << c;
    first_ = false;
    return *this;
  }
  TJson& Int(std::string_view key, int64_t v) {
    Key(key);
    out_ << v;
    return *this;
  }
  TJson& Bool(std::string_view key, bool v) {
    Key(key);
    out_ << (v ? "true" : "false");
    return *this;
  }
  TJson& Real(std::string_view key, double v) {
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
  TJson& Str(std::string_view key, const std::string& v) {
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
  TJson& Start(std::string_view key, char c) {
    Key(key);
    out_ << c;
    ++depth_;
    first_ = true;
    return *this;
  }
  void Key(std::string_view key) {
    if (depth_ > 0) {
      if (!first_) out_ << ',';
      out_ << '\n' << std::string(2 * depth_, ' ');
    }
    first_ = false;
    if (!key.empty()) out_ << '"' << key << "\": ";
  }
  std::ostringstream out_;
  int depth_ = 0;
  bool first_ = true;
};

void Put(TJson& j, std::string_view key, int32_t v) {
  j.Int(key, v);
}
void Put(TJson& j, std::string_view key, bool v) {
  j.Bool(key, v);
}
void Put(TJson& j, std::string_view key, float v) {
  j.Real(key, v);
}
void Put(TJson& j, std::string_view key, TColor v) {
  j.Int(key, ColorValue(v));
}
void Put(TJson& j, std::string_view key, const std::string& v) {
  j.Str(key, v);
}

// The rows' fields in the order their structs declare them (later members
// lie at higher addresses), a field of a nested struct inside an object
// named after it.
template <class Root>
void PutFields(TJson& j, std::span<const TWorkKey<Root>> keys, const Root& root) {
  const auto address = [&root](const TWorkKey<Root>* k) {
    return std::visit([](const auto* v) { return static_cast<const void*>(v); }, k->Field.At(root));
  };
  std::vector<const TWorkKey<Root>*> rows;
  for (const TWorkKey<Root>& k : keys)
    if (!k.OnlyWhenSet || !FieldIsDefault(k, root)) rows.push_back(&k);
  std::ranges::sort(rows, std::less<const void*>(), address);

  std::string_view group;
  for (const TWorkKey<Root>* k : rows) {
    const size_t dot = k->Info.find('.');
    const std::string_view g = dot == std::string_view::npos ? std::string_view() : k->Info.substr(0, dot);
    const std::string_view name = k->Info.substr(dot == std::string_view::npos ? 0 : dot + 1);
    if (g != group) {
      if (!group.empty()) j.Close();
      if (!g.empty()) j.Open(g);
      group = g;
    }
    std::visit([&](const auto* v) { Put(j, name, *v); }, k->Field.At(root));
  }
  if (!group.empty()) j.Close();
}

}  // namespace

std::string WorkToJson(const TScene& scene, const TCaption& caption) {
  TJson j;
  j.Open();
  j.Open("Params");
  PutFields(j, ParamKeys(), scene.Params);
  j.Close();
  j.Open("Effect");
  PutFields(j, EffectKeys(), scene.Effect);
  j.Close();
  j.Str("Caption", caption.TextUtf8());
  j.OpenArray("Letters");
  for (const TCaptionChar& c : caption.Chars()) {
    j.Open();
    j.Str("Char", EncodeUtf8(std::u32string(1, c.Char)));
    PutFields(j, LetterKeys(), c.Font);
    j.Close();
  }
  j.Close(']');
  if (!scene.PlacedGlyphs().empty()) {
    j.OpenArray("Glyphs");
    for (const TPlacedGlyph& g : scene.PlacedGlyphs()) {
      j.Open();
      j.Str("Face", g.Face);
      j.Int("Glyph", g.Glyph);
      j.Int("X", g.X);
      j.Int("Y", g.Y);
      std::u32string chars;
      for (int i = g.FirstChar; i < g.FirstChar + g.CharCount && i < caption.Length(); ++i)
        chars.push_back(caption.At(i).Char);
      j.Str("Chars", EncodeUtf8(chars));
      j.Int("FirstChar", g.FirstChar);
      j.Bool("Drawn", g.Drawn);
      j.Close();
    }
    j.Close(']');
  }
  j.Close();
  return j.Text();
}

}  // namespace vantrix
