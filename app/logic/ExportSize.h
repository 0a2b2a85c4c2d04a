#pragma once
// The size of exported pictures, which belongs to the window rather than the
// work: it follows the rendered picture after each rebuild (160 wide for a long
// button, else 40 high), is edited on the Dimensions page with rulers and
// edits, and is kept in proportion to the rendered ("natural") size when the
// user asks for it. Sizes are pixels; ratios round to nearest, halves to even.

#include <cstdint>
#include <utility>

namespace vantrix {

inline constexpr int32_t kMaxExportWidth = 800;
inline constexpr int32_t kMaxExportHeight = 600;

// The Dimensions page's rulers: width 5..300, height drawn upside down as
// -145..0 so that the top of the ruler is the largest height.
inline constexpr int32_t kWidthRulerMin = 5, kWidthRulerMax = 300;
inline constexpr int32_t kHeightRulerMin = -145, kHeightRulerMax = 0;
inline constexpr int32_t kMinRulerHeight = 5;

struct TExportSize {
  int32_t ExportWidth = 0;
  int32_t ExportHeight = 0;
  int32_t NaturalWidth = 0;
  int32_t NaturalHeight = 0;

  // Natural and export size both the picture's size.
  void Start(int32_t width, int32_t height);
  // After a rebuild that was free to resize the button: a picture size other
  // than the natural one becomes natural and sets a new export size. True
  // when it did.
  bool FollowPicture(int32_t width, int32_t height);
  // After the user changed the width (or the height): clamp it, and with
  // constrain set derive the other side from the natural proportions.
  void Apply(bool widthChanged, bool constrain);

  // What the rulers show for the export size (nearest end when outside).
  int32_t WidthRuler() const;
  int32_t HeightRuler() const;
};

// The export size of a set of buttons whose widest picture is width x
// height: the window's picture shrinks by ExportHeight / NaturalHeight, so the
// set's pictures shrink alike and their letters come out as large as the
// single export's. Within 1..kMaxExportWidth and 1..kMaxExportHeight; a
// window without a picture yet gives the start rule (160 wide or 40 high).
std::pair<int32_t, int32_t> SetExportSize(const TExportSize& window, int32_t width, int32_t height);

// The height a height-ruler position stands for: never below 5.
int32_t HeightOfRuler(int32_t position);

}  // namespace vantrix
