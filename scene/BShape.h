#pragma once
// TButShape: a button outline read from a shape file (.vtxb) and fitted to a
// target rectangle.
//
// Units: shape files hold integer points in shape units, the outline comes out
// in scene units (glyph units); both have y growing upwards, so a rectangle's
// Top is greater than its Bottom. The inner rectangle of a shape is the part
// that stretches with the caption: points inside it are scaled about the
// origin, points outside keep their distance from the matching target edge, so
// corners keep their size whatever the caption's length. Every float-to-int
// conversion rounds half to even (RoundInt).
//
// File layout (little-endian, signed 32-bit unless noted):
//   0 signature 1048576 | 4 point count | 8..23 inner left, top, right, bottom |
//   24..39 reserved | 40 preview offset (0: no preview) | 44 reserved |
//   48 point records of 9 bytes: on-curve flag (1 byte), x, y |
//   preview offset: a JPEG picture for the chooser's 120 x 40 slots.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace vantrix {

constexpr int kMaxShapePoints = 256;
constexpr int kMaxOutlinePoints = 1024;  // the scene's Points buffer

constexpr int32_t kShapeSignature = 1048576;
constexpr size_t kShapeHeaderSize = 48;
constexpr size_t kShapePointSize = 9;

struct TShapePoint {
  uint8_t OnCurve = 1;  // 0: control point of a quadratic curve
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TShapePoint&, const TShapePoint&) = default;
};

// A shape file that cannot be used; the message starts with the file's path.
class TShapeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TButShape {
 public:
  // False when the file does not exist (nothing changes). Throws TShapeError
  // for a file that cannot be read or is malformed; the shape loaded before
  // then stays as it was.
  [[nodiscard]] bool LoadFromFile(const std::string& fileName);
  // The same check and load on bytes already in memory; fileName only names
  // the data in error messages.
  void LoadFromMemory(std::span<const uint8_t> data, const std::string& fileName);

  // Writes the closed outline for target (scene units, y up) into outline,
  // which has room for kMaxOutlinePoints; count is set to its length. Points
  // beyond that room are dropped. Also sets XScale and YScale.
  void BuildOutline(const TRect& target, TPoint* outline, int& count) const;

  // One shape point in scene units for target, with the scales of the last
  // BuildOutline. Coordinates that would leave the int32 range saturate.
  TPoint MapPoint(int32_t x, int32_t y, const TRect& target) const;

  int PointCount() const { return pointCount_; }
  // 1-based like the file order; any other index gives a zero point.
  TShapePoint Point(int i) const { return i >= 1 && i <= pointCount_ ? points_[i - 1] : TShapePoint{}; }
  const TRect& Inner() const { return inner_; }
  double XScale() const { return xScale_; }
  double YScale() const { return yScale_; }

 private:
  int pointCount_ = 0;
  TShapePoint points_[kMaxShapePoints];
  TRect inner_;
  // Results of the last outline build, kept for MapPoint.
  mutable double xScale_ = 1.0;
  mutable double yScale_ = 1.0;
};

// What a shape file describes, for writing one.
struct TShapeData {
  TRect Inner;
  std::vector<TShapePoint> Points;
};

// The bytes of a shape file: header, points and, when preview is not empty,
// the JPEG preview after the points with the preview offset pointing at it.
// The shape is written as given, not checked (tests write broken files with it).
std::vector<uint8_t> EncodeShapeFile(const TShapeData& shape, std::span<const uint8_t> preview = {});
// EncodeShapeFile into a file; throws TShapeError naming the file on failure.
void SaveShapeFile(const std::string& fileName, const TShapeData& shape,
                   std::span<const uint8_t> preview = {});

// The JPEG preview inside a shape file's bytes: empty when the file lacks the
// signature or its preview offset points at none of its bytes.
std::span<const uint8_t> ShapePreviewBytes(std::span<const uint8_t> file);

// Path of the stored shape name (upper case, "PILL.vtxb") in the shapes folder
// whatever the case of the file on disk; a Windows folder part of the stored
// name is ignored. Empty when there is no such file.
std::string FindShapeFile(const std::string& shapesFolder, std::string_view shapeName);

}  // namespace vantrix
