#pragma once
// The values a work file stores, one row each: where the file keeps it
// (section and key), the field of the model that holds it, its name in the
// command line's info output and the range a loaded value is brought into.
// Reading, writing and the info output all walk these rows, so they cannot
// disagree about a key.
//
// Row order is the order a save writes the keys. A key a file lacks is added
// at the end of its section, so the order is part of the file format. The
// info output lists the same fields in the order their structs declare them.
//
// A row's kind is its field's C++ type: int32_t an integer, bool a flag,
// float a scaled real, TColor a colour, std::string a text (WorkFile.h has
// the encodings). Keys the rows do not cover (the version, the caption's
// length, a letter's character) are WorkFile.cpp's own.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "platform/Color.h"
#include "platform/GlyphSource.h"
#include "scene/Scene.h"

namespace vantrix {

inline constexpr std::string_view kGeneralSection = "General";
inline constexpr std::string_view kMessageSection = "Message";
inline constexpr std::string_view kButtonSection = "Button";
inline constexpr std::string_view kRenderSection = "Render";
inline constexpr std::string_view kLightSection = "Light";
inline constexpr std::string_view kEffectSection = "Effect";

// The field a row stands for, as a pointer of its kind.
using TFieldPtr = std::variant<int32_t*, bool*, float*, TColor*, std::string*>;
using TConstFieldPtr =
    std::variant<const int32_t*, const bool*, const float*, const TColor*, const std::string*>;

template <class Root>
class TField {
 public:
  using TAt = TFieldPtr (*)(Root&);
  using TConstAt = TConstFieldPtr (*)(const Root&);
  constexpr TField(TAt at, TConstAt constAt) : at_(at), constAt_(constAt) {}

  TFieldPtr At(Root& root) const { return at_(root); }
  TConstFieldPtr At(const Root& root) const { return constAt_(root); }

 private:
  TAt at_;
  TConstAt constAt_;
};

// What a loaded value outside a row's range becomes.
enum class TOutside : uint8_t { Clamped, Unreadable };

struct TRange {
  int32_t Lo;
  int32_t Hi;
  TOutside BelowLo = TOutside::Clamped;
  TOutside AboveHi = TOutside::Clamped;
};

template <class Root>
struct TWorkKey {
  std::string_view Section;  // empty in the letter rows: each letter has a section of its own
  std::string_view Key;      // empty: not stored (worked out on opening), listed by info only
  TField<Root> Field;
  std::string_view Info;                       // "Group.Name" for a field of a struct inside Root
  std::optional<TRange> Range = std::nullopt;  // none: loaded as read
  // Written, and listed by info, only when not at its start-up value: a key
  // added later that works made before it never set, so that their files and
  // listings stay as they were.
  bool OnlyWhenSet = false;
};

// Whether a row's field holds its start-up value, the one a Root made afresh
// holds.
template <class Root>
bool FieldIsDefault(const TWorkKey<Root>& k, const Root& root) {
  static const Root fresh{};
  return std::visit(
      [&](const auto* v) {
        using T = std::remove_cvref_t<decltype(*v)>;
        return *v == *std::get<const T*>(k.Field.At(fresh));
      },
      k.Field.At(root));
}

std::span<const TWorkKey<TParams>> ParamKeys();
// The roll-over picture's own values, stored only with an effect switched on.
std::span<const TWorkKey<TPhase>> EffectKeys();
// A letter's font, after its character in the letter's section.
std::span<const TWorkKey<TFontSpec>> LetterKeys();

}  // namespace vantrix
