#include "platform/TextShaper.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <array>

namespace vantrix {

TTextShaper::~TTextShaper() {
  for (auto& [face, font] : fonts_) hb_font_destroy(font);
}

int TTextShaper::UnitsPerEm(FT_FaceRec_* face) {
  return face != nullptr && face->units_per_EM > 0 ? face->units_per_EM : 1000;
}

std::vector<TShapedGlyph> TTextShaper::Shape(FT_FaceRec_* face, std::u32string_view text, size_t start,
                                             size_t count, bool rightToLeft, bool kerning) {
  std::vector<TShapedGlyph> out;
  if (face == nullptr || count == 0 || start + count > text.size()) return out;
  hb_font_t*& font = fonts_[face];
  if (font == nullptr) {
    // The face's own tables at its design size: the same numbers any shaper of
    // the face reports, whatever size FreeType is set to.
    hb_face_t* hbFace = hb_ft_face_create_referenced(face);
    font = hb_font_create(hbFace);
    hb_face_destroy(hbFace);
  }
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()), static_cast<int>(text.size()),
                      static_cast<unsigned>(start), static_cast<int>(count));
  hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_guess_segment_properties(buffer);
  const std::array<hb_feature_t, 2> plain{{{HB_TAG('k', 'e', 'r', 'n'), 0, 0, HB_FEATURE_GLOBAL_END},
                                           {HB_TAG('l', 'i', 'g', 'a'), 0, 0, HB_FEATURE_GLOBAL_END}}};
  hb_shape(font, buffer, kerning ? nullptr : plain.data(), kerning ? 0 : static_cast<unsigned>(plain.size()));
  unsigned n = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &n);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);
  out.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    TShapedGlyph g;
    g.Glyph = info[i].codepoint;
    g.Cluster = info[i].cluster;
    g.Advance = pos[i].x_advance;
    g.Nominal = hb_font_get_glyph_h_advance(font, g.Glyph);
    g.XOffset = pos[i].x_offset;
    g.YOffset = pos[i].y_offset;
    out.push_back(g);
  }
  hb_buffer_destroy(buffer);
  return out;
}

uint32_t CharScript(char32_t ch) {
  const hb_script_t s = hb_unicode_script(hb_unicode_funcs_get_default(), ch);
  if (s == HB_SCRIPT_COMMON || s == HB_SCRIPT_INHERITED || s == HB_SCRIPT_UNKNOWN) return 0;
  return s;
}

bool IsJoiningScript(uint32_t script) {
  constexpr std::array<hb_script_t, 10> kJoining{
      HB_SCRIPT_ARABIC,     HB_SCRIPT_SYRIAC,  HB_SCRIPT_NKO,      HB_SCRIPT_MONGOLIAN, HB_SCRIPT_MANDAIC,
      HB_SCRIPT_DEVANAGARI, HB_SCRIPT_BENGALI, HB_SCRIPT_GURMUKHI, HB_SCRIPT_TIBETAN,   HB_SCRIPT_ADLAM};
  return std::find(kJoining.begin(), kJoining.end(), static_cast<hb_script_t>(script)) != kJoining.end();
}

bool NeedsNoShaping(char32_t ch) {
  switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), ch)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:  // joiners, direction marks
      return false;
    default:
      break;
  }
  if (FRIBIDI_IS_RTL(fribidi_get_bidi_type(ch)) || fribidi_get_bidi_type(ch) == FRIBIDI_TYPE_AN) return false;
  // Scripts whose text is one glyph per character in every font we draw.
  constexpr std::array<hb_script_t, 12> kSimple{HB_SCRIPT_LATIN,    HB_SCRIPT_GREEK,    HB_SCRIPT_CYRILLIC,
                                                HB_SCRIPT_ARMENIAN, HB_SCRIPT_GEORGIAN, HB_SCRIPT_HAN,
                                                HB_SCRIPT_HIRAGANA, HB_SCRIPT_KATAKANA, HB_SCRIPT_BOPOMOFO,
                                                HB_SCRIPT_HANGUL,   HB_SCRIPT_ETHIOPIC, HB_SCRIPT_CHEROKEE};
  const uint32_t script = CharScript(ch);
  return script == 0 ||
         std::find(kSimple.begin(), kSimple.end(), static_cast<hb_script_t>(script)) != kSimple.end();
}

std::u32string ComposedLetters(std::u32string_view text) {
  hb_unicode_funcs_t* u = hb_unicode_funcs_get_default();
  std::u32string out;
  for (char32_t ch : text) {
    const hb_unicode_general_category_t cat = hb_unicode_general_category(u, ch);
    const bool mark = cat == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
                      cat == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
                      cat == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
    const bool letter = cat >= HB_UNICODE_GENERAL_CATEGORY_LOWERCASE_LETTER &&
                        cat <= HB_UNICODE_GENERAL_CATEGORY_UPPERCASE_LETTER;
    if (!mark && !letter) continue;
    hb_codepoint_t composed = 0;
    if (mark && !out.empty() && hb_unicode_compose(u, out.back(), ch, &composed)) {
      out.back() = composed;
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

bool IsSpaceChar(char32_t ch) {
  return hb_unicode_general_category(hb_unicode_funcs_get_default(), ch) ==
             HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR ||
         ch == U'\t';
}

}  // namespace vantrix
