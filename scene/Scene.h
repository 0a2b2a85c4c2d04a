#pragma once
// TScene: everything the program knows about the button being designed: the
// parameters the user edits (TParams), the values of the roll-over picture
// (Effect), the caption letters as closed integer contours, the 3D bodies built
// from them, the two colour ramps, the button shape and the rendered picture.
//
// Units: caption and button geometry are integer points in glyph units (device
// pixels of the caption fonts enlarged by 512/18), x right, y up. Bodies hold
// (X, Y, Z) with X the glyph x, Z the glyph y and Y the depth, growing away from
// the viewer; a point put into a body at depth d gets Y = d. Colours are TColor
// values ($00BBGGRR); ramp entries are TPixel values (blue in the low byte).
// Values named as single precision are stored as float.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Render3D.h"
#include "platform/Color.h"
#include "platform/GlyphSource.h"
#include "platform/Picture.h"
#include "platform/TextShaper.h"
#include "scene/BShape.h"
#include "scene/Caption.h"
#include "scene/ContourUnion.h"
#include "scene/Letter.h"
#include "scene/Messages.h"
#include "scene/Progress.h"

namespace vantrix {

struct TColorScheme {
  TColor DColor{};  // ramp index 0
  TColor MColor{};  // ramp index ColSplit: the colour the user picks
  TColor BColor{};  // ramp index 255
  int32_t ColSplit = 204;
  friend bool operator==(const TColorScheme&, const TColorScheme&) = default;
};

// The five values that differ between the two pictures of a roll-over.
struct TPhase {
  vantrix::TColor BColor{};  // button main colour
  vantrix::TColor TColor{};  // caption main colour
  vantrix::TColor LColor{};  // light colour
  int32_t ButY = 0;
  int32_t TxtY = 0;
  friend bool operator==(const TPhase&, const TPhase&) = default;
};

struct TParams {
  int32_t SplPnt = 2;  // line pieces per spline piece; detail of round outlines
  int32_t ButType =
      2;              // 0 none, 1 rectangle, 2/3 rounded, 4/5 chamfered, 6 ellipse, 7 circle, 8/16 shape file
  int32_t TxtW = 10;  // caption bevel width
  int32_t ButW = 20;  // button rim width
  int32_t ButY = 0;   // button extrusion, 0 or negative
  int32_t TxtY = 30;  // caption extrusion
  TViewParams ViewParams;
  TBodyTransform View;
  int32_t GutLeft = 192;
  int32_t GutTop = 48;
  int32_t GutRight = 192;
  int32_t GutBottom = 48;
  TColorScheme TxtColors;
  TColorScheme ButColors;
  TColor BkgColor = kColorWhite;
  int32_t Distance = 1500;
  int32_t Bright = 32;
  int32_t Contrast = 32;
  std::string ButTexFile;
  std::string TxtTexFile;
  float ButTexW = 1;
  float ButTexH = 1;
  float TxtTexH = 1;
  float TxtTexW = 1;
  int32_t RDelay = 3;
  int32_t ExpWidth = 160;
  int32_t ExpHeight = 100;
  int32_t ViewSize = 50;
  bool HoldButtonSize = false;
  int32_t ButLeft = 0;
  int32_t ButTop = 0;
  int32_t ButRight = 0;
  int32_t ButBottom = 0;
  bool ButHoldRatio = false;
  bool TxtHoldRatio = false;
  int32_t EffectType = 0;  // 0 none, 1 colour changes, 2 extrusions
  std::string ShapeName;
  // The font's kerning and standard ligatures; off, captions that need no
  // shaping are placed glyph by glyph at their own advances, as they always were.
  bool Kerning = false;
  // Bevel profiles of the letters and of the button's rim (see Profile.h).
  int32_t TxtProfile = 0;
  int32_t ButProfile = 0;
  friend bool operator==(const TParams&, const TParams&) = default;
};

// The five roll-over values as the parameters hold them now.
TPhase PhaseOfParams(const TParams& params);

class TScene;
// Gives `to` the look of `from` as it stands: parameters, the roll-over
// phase, the shade ramps and the textures, but no geometry. A scene drawn on
// another thread starts from such a copy.
void CopySceneLook(const TScene& from, TScene& to);

struct TCaptionExtent {
  int32_t MinX = 65535;
  int32_t MaxX = -65535;
  int32_t MinY = 65535;
  int32_t MaxY = -65535;
};

// A glyph as the last Build placed it: its face, its index there, its pen
// position in glyph units from the start of the line (before centring; y up),
// and the characters (0-based, as typed) its cluster came from.
struct TPlacedGlyph {
  std::string Face;
  uint32_t Glyph = 0;
  int32_t X = 0, Y = 0;
  int FirstChar = 0, CharCount = 1;
  bool Drawn = true;  // false: beyond the letter bodies there are
};

// What Render makes besides the picture: the mask of drawn pixels, and the
// stage texts and progress positions of a render on its own.
struct TRenderOptions {
  bool WithMask = false;
  bool ShowProgress = false;
};

class TScene {
 public:
  static constexpr int kMaxPoints = kMaxOutlinePoints;  // 1024
  static constexpr int kMaxLetters = 33;

  TScene();
  TScene(const TScene&) = delete;
  TScene& operator=(const TScene&) = delete;

  // Scene model.
  void SetLightAngles(float a1, float a2);
  void SetColors(TColor dColor, TColor mColor, TColor bColor, int32_t colSplit, bool caption);
  void BuildRamp(bool caption);
  TPhase SavePhase() const;
  void ApplyPhase(const TPhase& phase);
  static int CountNonBlank(std::string_view utf8);

  // The pipeline. Build makes the geometry of `caption`; Render sizes and
  // draws Image (and Mask). Both return false when their progress says stop
  // (a newer request supersedes this one); the scene must then be built again.
  [[nodiscard]] bool Build(const TCaption& caption, TProgress* progress = nullptr);
  [[nodiscard]] bool Render(TRenderOptions options, TProgress* progress = nullptr);
  void ClearImage();
  void ResizeTextures();

  // Largest picture Render makes; a larger scene is cut at these sides.
  static constexpr int kMaxImageWidth = 32767;
  static constexpr int kMaxImageHeight = 16384;
  static constexpr int64_t kMaxImagePixels = int64_t{1} << 27;

  // The caption's letters as the last Build outlined them.
  int LetterCount() const { return static_cast<int>(Letters.size()); }
  const TLetter& Letter(int i) const { return *Letters[i - 1]; }  // 1-based
  // Whether the caption needs the shaped layout: kerning on, or a character
  // that is written right to left, is a mark or belongs to a shaped script.
  bool NeedsLayout(const TCaption& caption) const;
  // The glyphs of the last Build that laid its caption out by shaping; empty
  // when every character was placed on its own.
  const std::vector<TPlacedGlyph>& PlacedGlyphs() const { return Placed; }

  TParams Params;
  TPhase Effect;

  TPicture Image;
  TPicture Mask;
  TView3D View3D;
  TShadeRamp ButtonRamp{};
  TShadeRamp TextRamp{};
  TButShape Shape;
  // How many threads Render draws on: 0, one per core. Scenes drawn side by
  // side share the cores out.
  int RenderThreads = 0;
  std::string AppPath;               // program folder, ending with '/'
  TMessageSink* Messages = nullptr;  // not owned; stderr when null
  // The button kind a hidden button (ButType 0) comes back as; 0: by its shape name.
  int32_t HiddenButType = 0;

 private:
  // The white-box tests and the outline parser's fuzz target reach the steps
  // below through scene/SceneProbe_p.h.
  friend class TSceneProbe;

  // Glyph outlines: the glyph source must have the letter's font selected.
  void ClearLetters();
  void AddGlyph(uint8_t code);
  // A character outside the letter's character set, by code point. Returns
  // false when the glyph could not be fetched (a message says why).
  bool AddCharGlyph(char32_t ch);
  void ParseOutline(const uint8_t* buffer, size_t size);
  void NewLetter();
  // Selects a caption character's font for AddGlyph, enlarged by 512/18 so
  // that an 18-point letter is outlined at 512 points.
  bool SelectLetterFont(const TFontSpec& font);

  // Letters and button geometry.
  void Normalize();
  void BuildLetters();
  void AddCapPlane(TBody& body, const TLetter& letter);
  void MakeOutline();
  void BuildButton();
  TLetter& Letter(int i) { return *Letters[i - 1]; }

  void Message(const std::string& text);
  void Note(const std::string& text);
  // Appends a point of the contour being collected; dropped once 1024 are held.
  void AddPoint(int32_t x, int32_t y);
  void AddFixedPoint(int32_t fx, int32_t fy);
  void AddSplinePiece(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t cx, int32_t cy);
  template <class TFetch>
  bool AddFetchedGlyph(TFetch fetch);
  // A note on a character drawn from another face (`fallback`), or drawn by none.
  void NoteCharFace(char32_t ch, const TFontSpec& font, bool missing, const TUsedFace* fallback);
  // Lays the caption out as one line (bidi order, shaped runs) and outlines
  // its glyphs; glyphs that touch become merged letters.
  void LayOutCaption(const TCaption& caption);
  struct TGlyphLetter;
  // groupStarts: where each group of glyphs starts, and after the last one
  // where the next would, in pen units.
  void MergeGroups(const std::vector<TGlyphLetter>& glyphs, const std::vector<int32_t>& groupStarts);
  void PrepareView();
  void ResizeTexture(bool button, int w, int h);

  // The contour being collected from a glyph outline, and the pen's advance.
  std::array<TPoint, kMaxPoints> Points{};
  int32_t PointCount = 0;
  int32_t PenX = 0;
  int32_t PenY = 0;  // a mark's raise; 0 outside the shaped layout
  std::vector<std::unique_ptr<TLetter>> Letters;
  std::vector<TPlacedGlyph> Placed;
  TCaptionExtent CaptionExtent;
  TUnionCache Unions;  // joined glyphs, united once for as long as they stay the same
  TGlyphSource Glyphs;
  TTextShaper Shaper;  // after Glyphs: its fonts hold Glyphs' faces
};

}  // namespace vantrix
