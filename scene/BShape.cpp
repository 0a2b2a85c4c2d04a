#include "scene/BShape.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/FileIO.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

// Only the header and at most kMaxShapePoints records are ever looked at; the
// preview behind them can be any size and is left unread.
constexpr size_t kMaxShapeBytes = kShapeHeaderSize + kMaxShapePoints * kShapePointSize;

int32_t GetInt32(const uint8_t* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(u);
}

void PutInt32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

// A fixed edge keeps its distance from the target edge: edge + (v - innerEdge),
// in 64 bits because both terms may be near the int32 limits.
int32_t Offset(int32_t targetEdge, int32_t v, int32_t innerEdge) {
  return ClampToInt32(int64_t{targetEdge} + (int64_t{v} - innerEdge));
}

void Append(TPoint* outline, int& count, TPoint p) {
  if (count < kMaxOutlinePoints) outline[count++] = p;
}

// Quadratic Bezier from p0 (not emitted) to p2 with about one point per 67
// units of control polygon, so short curves collapse to nothing at all.
void AddCurve(TPoint p0, TPoint p1, TPoint p2, TPoint* outline, int& count) {
  const double d1 = std::hypot(static_cast<double>(p1.X) - p0.X, static_cast<double>(p1.Y) - p0.Y);
  const double d2 = std::hypot(static_cast<double>(p2.X) - p1.X, static_cast<double>(p2.Y) - p1.Y);
  const int32_t n = RoundInt(0.015 * (d1 + d2));
  const double ax = 2.0 * (static_cast<double>(p1.X) - p0.X),
               bx = static_cast<double>(p0.X) - 2.0 * p1.X + p2.X;
  const double ay = 2.0 * (static_cast<double>(p1.Y) - p0.Y),
               by = static_cast<double>(p0.Y) - 2.0 * p1.Y + p2.Y;
  // A huge n from wild coordinates stops as soon as the outline is full.
  for (int32_t k = 1; k <= n && count < kMaxOutlinePoints; ++k) {
    const double w = static_cast<double>(k) / n;
    Append(outline, count, {RoundInt(p0.X + ax * w + bx * w * w), RoundInt(p0.Y + ay * w + by * w * w)});
  }
}

std::string Invalid(const std::string& fileName, const std::string& why) {
  return fileName + ": invalid shape file (" + why + ")";
}

}  // namespace

bool TButShape::LoadFromFile(const std::string& fileName) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return false;
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadFileStart(fileName, kMaxShapeBytes);
  } catch (const TFileError& e) {
    throw TShapeError(fileName +
                      (e.Fault() == TFileFault::Read ? ": cannot read file" : ": cannot open file"));
  }
  LoadFromMemory(bytes, fileName);
  return true;
}

void TButShape::LoadFromMemory(std::span<const uint8_t> data, const std::string& fileName) {
  if (data.size() < kShapeHeaderSize) throw TShapeError(fileName + ": Read beyond end of file");
  const uint8_t* h = data.data();
  const int32_t count = GetInt32(h + 4);
  const TRect inner{GetInt32(h + 8), GetInt32(h + 12), GetInt32(h + 16), GetInt32(h + 20)};
  if (count < 0 || count > kMaxShapePoints)
    throw TShapeError(Invalid(fileName, "point count " + std::to_string(count)));
  if (data.size() < kShapeHeaderSize + static_cast<size_t>(count) * kShapePointSize)
    throw TShapeError(fileName + ": Read beyond end of file");
  // The first point has no point before it to start a curve from, and an
  // empty inner rectangle gives no scale: both are refused.
  if (count > 0 && h[kShapeHeaderSize] == 0)
    throw TShapeError(Invalid(fileName, "first point is a control point"));
  if (inner.Right <= inner.Left || inner.Top <= inner.Bottom)
    throw TShapeError(Invalid(fileName, "inner rectangle without width or height"));

  for (int i = 0; i < count; ++i) {
    const uint8_t* r = h + kShapeHeaderSize + static_cast<size_t>(i) * kShapePointSize;
    points_[i] = {r[0], GetInt32(r + 1), GetInt32(r + 5)};
  }
  pointCount_ = count;
  inner_ = inner;
}

TPoint TButShape::MapPoint(int32_t x, int32_t y, const TRect& target) const {
  // Inside the inner rectangle a coordinate is scaled; beyond it, it keeps its
  // distance to the nearer edge, moved to the target's edge.
  auto map = [](int32_t v, int32_t innerLo, int32_t innerHi, double scale, int32_t targetLo,
                int32_t targetHi) {
    if (v > innerLo && v < innerHi) return RoundInt(v * scale);
    return v >= innerHi ? Offset(targetHi, v, innerHi) : Offset(targetLo, v, innerLo);
  };
  const TRect& in = inner_;
  return {map(x, in.Left, in.Right, xScale_, target.Left, target.Right),
          map(y, in.Bottom, in.Top, yScale_, target.Bottom, target.Top)};
}

void TButShape::BuildOutline(const TRect& target, TPoint* outline, int& count) const {
  count = 0;
  // A shape never loaded has no inner rectangle to divide by; a loaded one
  // always has a positive width and height.
  if (pointCount_ == 0) return;
  xScale_ =
      (static_cast<double>(target.Right) - target.Left) / (static_cast<double>(inner_.Right) - inner_.Left);
  yScale_ =
      (static_cast<double>(target.Top) - target.Bottom) / (static_cast<double>(inner_.Top) - inner_.Bottom);

  auto map = [&](int i) { return MapPoint(points_[i].X, points_[i].Y, target); };
  int i = 0;  // 0-based here
  while (i < pointCount_) {
    if (points_[i].OnCurve != 0) {
      Append(outline, count, map(i));
      i += 1;
    } else {
      // Each control point bends the stretch from the point before it to the
      // point after it (the first point after the last), whatever their kinds.
      const int next = i + 1 < pointCount_ ? i + 1 : 0;
      AddCurve(map(i - 1), map(i), map(next), outline, count);
      i += 2;
    }
  }
  Append(outline, count, map(0));
}

std::vector<uint8_t> EncodeShapeFile(const TShapeData& shape, std::span<const uint8_t> preview) {
  const size_t pointBytes = shape.Points.size() * kShapePointSize;
  std::vector<uint8_t> out(kShapeHeaderSize + pointBytes + preview.size(), 0);
  uint8_t* h = out.data();
  PutInt32(h + 0, kShapeSignature);
  PutInt32(h + 4, static_cast<int32_t>(shape.Points.size()));
  PutInt32(h + 8, shape.Inner.Left);
  PutInt32(h + 12, shape.Inner.Top);
  PutInt32(h + 16, shape.Inner.Right);
  PutInt32(h + 20, shape.Inner.Bottom);
  const size_t previewOffset = kShapeHeaderSize + pointBytes;
  PutInt32(h + 40, preview.empty() ? 0 : static_cast<int32_t>(previewOffset));
  uint8_t* r = h + kShapeHeaderSize;
  for (const TShapePoint& p : shape.Points) {
    r[0] = p.OnCurve;
    PutInt32(r + 1, p.X);
    PutInt32(r + 5, p.Y);
    r += kShapePointSize;
  }
  std::copy(preview.begin(), preview.end(), out.begin() + static_cast<std::ptrdiff_t>(previewOffset));
  return out;
}

void SaveShapeFile(const std::string& fileName, const TShapeData& shape, std::span<const uint8_t> preview) {
  const std::vector<uint8_t> bytes = EncodeShapeFile(shape, preview);
  try {
    ReplaceFileAtomically(fileName, bytes);
  } catch (const TFileError&) {
    throw TShapeError(fileName + ": cannot write file");
  }
}

std::span<const uint8_t> ShapePreviewBytes(std::span<const uint8_t> file) {
  if (file.size() < kShapeHeaderSize || GetInt32(file.data()) != kShapeSignature) return {};
  const int32_t offset = GetInt32(file.data() + 40);
  if (offset <= 0 || static_cast<size_t>(offset) >= file.size()) return {};
  return file.subspan(static_cast<size_t>(offset));
}

std::string FindShapeFile(const std::string& shapesFolder, std::string_view shapeName) {
  const std::string name = StoredPathFileName(shapeName);
  if (name.empty()) return {};
  return FindFileNoCase(shapesFolder, name);
}

}  // namespace vantrix
