#pragma once
// TGlyphSource: glyph outlines of installed fonts in the native record form.
//
// A font is chosen by family name, style, Windows character set and size in points;
// a glyph by a single-byte character code read in that character set, or by a
// Unicode character for what the set cannot hold. Sizes: S points
// are S * 96 / 72 pixels to the em (96 dots per inch, rounded to the nearest pixel),
// and every outline and advance is in those device pixels. Outlines are unhinted and
// untransformed, y up, origin on the baseline at the pen, outer contours clockwise
// and holes counter-clockwise, in the record layout of NativeOutline.h.
//
// Bold and italic take the family's own bold or italic face. Where the family has
// none, the outline is emboldened by em/24 (the advance grows by as much) or slanted
// by a shear of 0.2. Underline and strikeout add nothing to an outline.

#include <cstdint>
#include <memory>
#include <string>

struct FT_FaceRec_;

namespace vantrix {

struct TFontSpec {
  std::string FaceName = "Arial";
  int Size = 18;    // points
  int Charset = 0;  // Windows character set number
  bool Bold = false, Italic = false, Underline = false, Strikeout = false;
  friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

constexpr uint32_t kGlyphError = 0xFFFFFFFFu;

struct TGlyphMetrics {
  int32_t CellIncX = 0;  // advance in whole pixels
};

// The face a selection ended up with.
struct TUsedFace {
  std::string Family, Style, File;
  bool Substituted = false;  // another family than the one asked for
  bool SyntheticBold = false, SyntheticItalic = false;
};

class TGlyphSource {
 public:
  TGlyphSource();
  ~TGlyphSource();
  TGlyphSource(const TGlyphSource&) = delete;
  TGlyphSource& operator=(const TGlyphSource&) = delete;

  // Selects the font for the following calls; false when no face at all could be loaded.
  // Faces and matches are cached, so selecting a font again is cheap.
  bool SelectFont(const TFontSpec& font);

  // The face actually used, e.g. "Liberation Sans Bold", with "(synthetic bold)" or
  // "(synthetic italic)" appended where the style is made up; and its file.
  std::string UsedFaceName() const;
  std::string UsedFaceFile() const;
  // Empty fields when nothing is selected.
  const TUsedFace& UsedFace() const;

  // Two-call protocol: with buffer == nullptr (or bufferSize 0) returns the size the
  // outline needs, 0 for a blank; with a buffer of bufferSize >= that size writes the
  // outline and returns its size. kGlyphError when no font is selected, FreeType fails or
  // the buffer is too small. A code the font has no glyph for is a blank with the width
  // of the font's space.
  uint32_t GetGlyphOutline(uint8_t code, TGlyphMetrics& metrics, uint8_t* buffer, uint32_t bufferSize);

  // The same protocol for a Unicode character, looked up in the font's Unicode map.
  // When the selected face has no glyph for it, fontconfig's best face for the
  // character (nearest in family, weight and slant; synthetic styles as above) draws
  // it at the same size; when no installed face has one, it is a blank like above.
  uint32_t GetCharOutline(char32_t ch, TGlyphMetrics& metrics, uint8_t* buffer, uint32_t bufferSize);
  // The face the last outline came from, and whether that was a fallback for a
  // character the selected face lacks, or no face had the character at all.
  const TUsedFace& LastGlyphFace() const;
  bool LastGlyphFromFallback() const;
  bool LastGlyphMissing() const;

  // Laying out a caption: the face that draws a character under the selected font and
  // the glyph it maps to (0: no face has one, drawn as a blank). Faces are numbered
  // from 1 for the source's lifetime. ResolveByte reads a byte in the font's
  // character set, ResolveChar a Unicode character (with the fallback above).
  struct TResolved {
    int Face = 0;
    uint32_t Glyph = 0;
  };
  TResolved ResolveByte(uint8_t code);
  TResolved ResolveChar(char32_t ch);
  // The outline protocol above for a glyph index of a resolved face, at the size of
  // the selected font.
  uint32_t GetIndexOutline(int face, uint32_t glyph, TGlyphMetrics& metrics, uint8_t* buffer,
                           uint32_t bufferSize);
  // The FreeType face behind a face number (for the shaper), and what it is; null and
  // empty fields for a number never handed out.
  FT_FaceRec_* FreeTypeFace(int face) const;
  const TUsedFace& FaceInfo(int face) const;

  // Pixels to the em for a size in points (negative sizes count as positive), within
  // [1, kMaxEmPixels].
  static int EmPixels(int points);
  static constexpr int kMaxEmPixels = 8192;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace vantrix
