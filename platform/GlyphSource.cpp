#include "platform/GlyphSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cstring>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FontLocator.h"
#include "platform/NativeOutline.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

// Synthetic styles: the emboldening strength as a share of the em, and the shear of the
// slant (x grows by 0.2 y), close to what a platform does for faces that lack them.
constexpr double kEmboldenShare = 1.0 / 24.0;
constexpr FT_Fixed kObliqueShear = 0x3333;

struct TLoadedFace {
  FT_Face Face = nullptr;
  int Ppem = 0;  // size currently set on Face
  bool Bold = false, Italic = false;
};

struct TSelection {
  TLoadedFace* Face = nullptr;
  bool Embolden = false, Oblique = false;
  TUsedFace Used;
};

bool FaceIsBold(FT_Face face) {
  if (face->style_flags & FT_STYLE_FLAG_BOLD) return true;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  return os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600;
}

bool FaceIsItalic(FT_Face face) {
  if (face->style_flags & FT_STYLE_FLAG_ITALIC) return true;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  constexpr FT_UShort kItalicOrOblique = 0x0001 | 0x0200;
  return os2 != nullptr && os2->version != 0xFFFF && (os2->fsSelection & kItalicOrOblique) != 0;
}

FT_UInt SymbolMapGlyph(FT_Face face, FT_ULong code) {
  if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) != 0) return 0;
  const FT_UInt g = FT_Get_Char_Index(face, kSymbolBase + code);
  return g != 0 ? g : FT_Get_Char_Index(face, code);
}

// Glyph index of a byte in a character set, 0 when the font has none.
FT_UInt GlyphIndexOf(FT_Face face, int charset, uint8_t code) {
  if (charset == kSymbolCharset) {
    // Symbol fonts are addressed by byte: through their symbol map, or the font's own
    // encoding for PostScript symbol fonts. Other fonts read the byte as Western.
    if (const FT_UInt g = SymbolMapGlyph(face, code)) return g;
    if (FT_Select_Charmap(face, FT_ENCODING_ADOBE_CUSTOM) == 0) {
      if (const FT_UInt g = FT_Get_Char_Index(face, code)) return g;
    }
    // Some symbol fonts put their byte codes into the Unicode map, as private-use
    // characters or as they are (bytes 0x80-0x9F are left to Windows-1252, where a
    // text font keeps the euro sign and the typographic quotes).
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
      if (const FT_UInt g = FT_Get_Char_Index(face, kSymbolBase + code)) return g;
      if (code < 0x80 || code >= 0xA0) {
        if (const FT_UInt g = FT_Get_Char_Index(face, code)) return g;
      }
    }
    charset = kAnsiCharset;
  }
  const std::optional<char32_t> c = CharsetToUnicode(charset, code);
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) return c ? FT_Get_Char_Index(face, *c) : 0;
  // A symbol font without a Unicode map is still reached by byte.
  return SymbolMapGlyph(face, code);
}

FT_UInt UnicodeGlyph(FT_Face face, char32_t ch) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) return 0;
  return FT_Get_Char_Index(face, ch);
}

FT_UInt SpaceGlyph(FT_Face face) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
    if (const FT_UInt g = FT_Get_Char_Index(face, ' ')) return g;
  }
  return SymbolMapGlyph(face, ' ');
}

}  // namespace

struct TGlyphSource::TImpl {
  FT_Library Library = nullptr;
  // Keyed by file and face index; a null entry remembers a file FreeType could not open.
  std::map<std::pair<std::string, int>, std::unique_ptr<TLoadedFace>> Faces;
  // Keyed by family, bold, italic and character set; nullopt remembers a failed search.
  std::map<std::tuple<std::string, bool, bool, int>, std::optional<TSelection>> Selections;
  // Keyed by character, family, bold and italic; nullopt remembers that no face has it.
  std::map<std::tuple<char32_t, std::string, bool, bool>, std::optional<TSelection>> Fallbacks;
  const TSelection* Current = nullptr;
  // Face numbers handed out by Resolve*, 1-based; the selections live in the maps above.
  std::vector<const TSelection*> Numbered;
  int Ppem = 0;
  int Charset = 0;
  std::string Family;
  bool Bold = false, Italic = false;

  // Glyphs are keyed by byte code 0..255, characters by kCharKeyBase + code point,
  // glyph indices by kIndexKeyBase + face number * 2^32 + index.
  static constexpr int64_t kCharKeyBase = 256;
  static constexpr int64_t kIndexKeyBase = int64_t{1} << 40;

  // Fallbacks are kept per character, so one face drawn alike has one number.
  int NumberOf(const TSelection* s) {
    for (size_t i = 0; i < Numbered.size(); ++i) {
      const TSelection* n = Numbered[i];
      if (n->Face == s->Face && n->Embolden == s->Embolden && n->Oblique == s->Oblique)
        return static_cast<int>(i + 1);
    }
    Numbered.push_back(s);
    return static_cast<int>(Numbered.size());
  }

  const TSelection* ByNumber(int face) const {
    return face >= 1 && static_cast<size_t>(face) <= Numbered.size() ? Numbered[face - 1] : nullptr;
  }

  bool BuildIndexGlyph(int64_t key) {
    const int64_t rest = key - kIndexKeyBase;
    const TSelection* from = ByNumber(static_cast<int>(rest >> 32));
    if (from == nullptr) return false;
    return BuildGlyph(*from, static_cast<FT_UInt>(rest & 0xFFFFFFFF));
  }

  // The last glyph built, so that the second call of the protocol only copies.
  struct TLastGlyph {
    const TSelection* Selection = nullptr;  // the selection it was asked of
    const TSelection* From = nullptr;       // the one that drew it
    bool Missing = false;
    int Ppem = 0, Charset = 0;
    int64_t Key = -1;
    int32_t Advance = 0;
    std::vector<uint8_t> Outline;
  } Last;

  ~TImpl() {
    for (auto& [key, face] : Faces) {
      if (face) FT_Done_Face(face->Face);
    }
    if (Library) FT_Done_FreeType(Library);
  }

  TLoadedFace* OpenFace(const TFaceLocation& where) {
    auto& slot = Faces[{where.File, where.Index}];
    if (slot) return slot.get();
    FT_Face face = nullptr;
    if (FT_New_Face(Library, where.File.c_str(), where.Index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      return nullptr;
    }
    slot = std::make_unique<TLoadedFace>();
    slot->Face = face;
    slot->Bold = FaceIsBold(face);
    slot->Italic = FaceIsItalic(face);
    return slot.get();
  }

  std::optional<TSelection> Find(const TFontSpec& font) {
    for (const TFaceLocation& where : LocateFaces(font.FaceName, font.Bold, font.Italic, font.Charset)) {
      if (TLoadedFace* face = OpenFace(where)) return SelectionOf(where, face, font.Bold, font.Italic);
    }
    return std::nullopt;
  }

  static TSelection SelectionOf(const TFaceLocation& where, TLoadedFace* face, bool bold, bool italic) {
    TSelection s;
    s.Face = face;
    s.Embolden = bold && !face->Bold;
    s.Oblique = italic && !face->Italic;
    s.Used.Family = where.Family;
    s.Used.Style = where.Style;
    s.Used.File = where.File;
    s.Used.Substituted = where.Substituted;
    s.Used.SyntheticBold = s.Embolden;
    s.Used.SyntheticItalic = s.Oblique;
    return s;
  }

  // The face to draw a character the selected one lacks; cached per character
  // and style, a failed search included.
  const TSelection* FallbackFor(char32_t ch) {
    const auto key = std::make_tuple(ch, Family, Bold, Italic);
    auto it = Fallbacks.find(key);
    if (it == Fallbacks.end()) {
      std::optional<TSelection> found;
      if (auto where = LocateFaceForChar(ch, Family, Bold, Italic)) {
        if (TLoadedFace* face = OpenFace(*where)) found = SelectionOf(*where, face, Bold, Italic);
      }
      it = Fallbacks.emplace(key, std::move(found)).first;
    }
    return it->second ? &*it->second : nullptr;
  }

  bool BuildByteGlyph(uint8_t code) {
    FT_Face face = Current->Face->Face;
    const FT_UInt glyph = GlyphIndexOf(face, Charset, code);
    return BuildGlyph(*Current, glyph);
  }

  bool BuildCharGlyph(char32_t ch) {
    FT_UInt glyph = UnicodeGlyph(Current->Face->Face, ch);
    const TSelection* from = Current;
    if (glyph == 0) {
      if (const TSelection* other = FallbackFor(ch)) {
        glyph = UnicodeGlyph(other->Face->Face, ch);
        if (glyph != 0) from = other;
      }
    }
    return BuildGlyph(*from, glyph);
  }

  // Glyph 0 is drawn as a blank of the face's space width.
  bool BuildGlyph(const TSelection& from, FT_UInt glyph) {
    TLoadedFace& lf = *from.Face;
    FT_Face face = lf.Face;
    if (lf.Ppem != Ppem) {
      if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(Ppem)) != 0) return false;
      lf.Ppem = Ppem;
    }
    const bool blank = glyph == 0;
    if (blank) glyph = SpaceGlyph(face);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (!blank && slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;

    double advance = slot->linearHoriAdvance / 65536.0;
    std::vector<uint8_t> outline;
    // Emboldening keeps the left and bottom edges, so the advance widens by the strength.
    const FT_Pos strength = from.Embolden ? RoundInt(Ppem * 64.0 * kEmboldenShare) : 0;
    advance += strength / 64.0;
    if (!blank) {
      FT_Outline& o = slot->outline;
      if (strength > 0 && FT_Outline_EmboldenXY(&o, strength, strength) != 0) return false;
      if (from.Oblique) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&o, &shear);
      }
      const bool reverse = FT_Outline_Get_Orientation(&o) == FT_ORIENTATION_POSTSCRIPT;
      outline = NativeOutlineFromFt(o, reverse);
      if (outline.size() >= kGlyphError) return false;
    }
    Last.Selection = Current;
    Last.From = &from;
    Last.Missing = blank;
    Last.Ppem = Ppem;
    Last.Charset = Charset;
    Last.Advance = RoundInt(advance);
    Last.Outline = std::move(outline);
    return true;
  }

  uint32_t Deliver(int64_t key, TGlyphMetrics& metrics, uint8_t* buffer, uint32_t bufferSize) {
    if (Current == nullptr) return kGlyphError;
    const bool cached =
        Last.Selection == Current && Last.Ppem == Ppem && Last.Charset == Charset && Last.Key == key;
    if (!cached) {
      const bool built = key < 256             ? BuildByteGlyph(static_cast<uint8_t>(key))
                         : key < kIndexKeyBase ? BuildCharGlyph(static_cast<char32_t>(key - kCharKeyBase))
                                               : BuildIndexGlyph(key);
      if (!built) {
        Last.Key = -1;
        return kGlyphError;
      }
      Last.Key = key;
    }
    const auto size = static_cast<uint32_t>(Last.Outline.size());
    if (buffer != nullptr && bufferSize != 0) {
      if (bufferSize < size) return kGlyphError;
      if (size != 0) std::memcpy(buffer, Last.Outline.data(), size);
    }
    metrics.CellIncX = Last.Advance;
    return size;
  }
};

TGlyphSource::TGlyphSource() : impl_(std::make_unique<TImpl>()) {}
TGlyphSource::~TGlyphSource() = default;

int TGlyphSource::EmPixels(int points) {
  // Integer rounding of points * 96 / 72 with halves going up, without overflow.
  const int64_t p = points < 0 ? -static_cast<int64_t>(points) : points;
  const int64_t px = (p * 96 + 36) / 72;
  return static_cast<int>(px < 1 ? 1 : px > kMaxEmPixels ? kMaxEmPixels : px);
}

bool TGlyphSource::SelectFont(const TFontSpec& font) {
  TImpl& m = *impl_;
  m.Current = nullptr;
  if (m.Library == nullptr && FT_Init_FreeType(&m.Library) != 0) {
    m.Library = nullptr;
    return false;
  }
  const auto key = std::make_tuple(font.FaceName, font.Bold, font.Italic, font.Charset);
  auto it = m.Selections.find(key);
  if (it == m.Selections.end()) it = m.Selections.emplace(key, m.Find(font)).first;
  if (!it->second) return false;
  m.Current = &*it->second;
  m.Ppem = EmPixels(font.Size);
  m.Charset = font.Charset;
  m.Family = font.FaceName;
  m.Bold = font.Bold;
  m.Italic = font.Italic;
  return true;
}

const TUsedFace& TGlyphSource::UsedFace() const {
  static const TUsedFace kNone;
  return impl_->Current ? impl_->Current->Used : kNone;
}

std::string TGlyphSource::UsedFaceName() const {
  const TUsedFace& u = UsedFace();
  std::string name = u.Family;
  if (!u.Style.empty() && u.Style != "Regular") name += (name.empty() ? "" : " ") + u.Style;
  if (u.SyntheticBold && u.SyntheticItalic) {
    name += " (synthetic bold italic)";
  } else if (u.SyntheticBold) {
    name += " (synthetic bold)";
  } else if (u.SyntheticItalic) {
    name += " (synthetic italic)";
  }
  return name;
}

std::string TGlyphSource::UsedFaceFile() const {
  return UsedFace().File;
}

uint32_t TGlyphSource::GetGlyphOutline(uint8_t code, TGlyphMetrics& metrics, uint8_t* buffer,
                                       uint32_t bufferSize) {
  return impl_->Deliver(code, metrics, buffer, bufferSize);
}

uint32_t TGlyphSource::GetCharOutline(char32_t ch, TGlyphMetrics& metrics, uint8_t* buffer,
                                      uint32_t bufferSize) {
  return impl_->Deliver(TImpl::kCharKeyBase + ch, metrics, buffer, bufferSize);
}

const TUsedFace& TGlyphSource::LastGlyphFace() const {
  static const TUsedFace kNone;
  const TImpl& m = *impl_;
  return m.Last.Key >= 0 && m.Last.From ? m.Last.From->Used : kNone;
}

bool TGlyphSource::LastGlyphFromFallback() const {
  const TImpl& m = *impl_;
  return m.Last.Key >= 0 && m.Last.From != m.Last.Selection;
}

bool TGlyphSource::LastGlyphMissing() const {
  const TImpl& m = *impl_;
  return m.Last.Key >= TImpl::kCharKeyBase && m.Last.Key < TImpl::kIndexKeyBase && m.Last.Missing;
}

TGlyphSource::TResolved TGlyphSource::ResolveByte(uint8_t code) {
  TImpl& m = *impl_;
  if (m.Current == nullptr) return {};
  return {m.NumberOf(m.Current), GlyphIndexOf(m.Current->Face->Face, m.Charset, code)};
}

TGlyphSource::TResolved TGlyphSource::ResolveChar(char32_t ch) {
  TImpl& m = *impl_;
  if (m.Current == nullptr) return {};
  if (const FT_UInt g = UnicodeGlyph(m.Current->Face->Face, ch)) return {m.NumberOf(m.Current), g};
  if (const TSelection* other = m.FallbackFor(ch)) {
    if (const FT_UInt g = UnicodeGlyph(other->Face->Face, ch)) return {m.NumberOf(other), g};
  }
  return {m.NumberOf(m.Current), 0};
}

uint32_t TGlyphSource::GetIndexOutline(int face, uint32_t glyph, TGlyphMetrics& metrics, uint8_t* buffer,
                                       uint32_t bufferSize) {
  if (face < 1) return kGlyphError;
  const int64_t key = TImpl::kIndexKeyBase + (static_cast<int64_t>(face) << 32) + glyph;
  return impl_->Deliver(key, metrics, buffer, bufferSize);
}

FT_FaceRec_* TGlyphSource::FreeTypeFace(int face) const {
  const TSelection* s = impl_->ByNumber(face);
  return s ? s->Face->Face : nullptr;
}

const TUsedFace& TGlyphSource::FaceInfo(int face) const {
  static const TUsedFace kNone;
  const TSelection* s = impl_->ByNumber(face);
  return s ? s->Used : kNone;
}

}  // namespace vantrix
