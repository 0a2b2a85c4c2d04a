// make_shapes: writes the button shape files delivered in data/BShapes.
//
//   make_shapes <output folder>
//
// Every shape is drawn here in shape units (y up) around an inner rectangle of
// 400 x 140, the part that stretches with the caption. What lies outside it
// keeps its size in scene units, where a caption button of the default font is
// some 500 to 700 units high; the frames are sized for that. Outlines run
// clockwise with y up (along the top edge to the right first), like the
// built-in button outlines, so that the scene pushes the rim outwards.
//
// The preview of each file is the shape's own outline, built for a 1200 x 400
// target (a short caption), fitted into 120 x 40 pixels, filled with four times
// four samples per pixel and shaded with a vertical gradient.
//
// Before a file is written its outline is checked at two target sizes: no two
// neighbouring points alike (the scene's rim offset needs a direction at every
// corner) and clockwise. A failed check writes nothing and exits with 1.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/FontView.h"
#include "platform/JpegCodec.h"
#include "platform/Picture.h"
#include "platform/Rounding.h"
#include "scene/BShape.h"

namespace vantrix {
namespace {

constexpr int32_t L = -200, T = 70, R = 200, B = -70;
constexpr double kPi = 3.14159265358979323846;

constexpr int kPreviewWidth = 120, kPreviewHeight = 40, kSamples = 4;
constexpr int kJpegQuality = 90;

class TShapeDraft {
 public:
  TShapeDraft& On(int32_t x, int32_t y) { return Add(1, x, y); }
  TShapeDraft& Ctrl(int32_t x, int32_t y) { return Add(0, x, y); }

  // An elliptic arc around (cx, cy) from angle a0 to a1 (degrees, counter-
  // clockwise positive, so a clockwise outline goes from a larger to a smaller
  // angle) in `pieces` quadratic curves. Its start point is the one added last.
  // The control point of a piece lies where the tangents at its ends meet.
  TShapeDraft& Arc(int32_t cx, int32_t cy, double rx, double ry, double a0, double a1, int pieces) {
    const double step = (a1 - a0) / pieces * kPi / 180.0;
    const double reach = 1.0 / std::cos(step / 2.0);
    for (int k = 0; k < pieces; ++k) {
      const double mid = a0 * kPi / 180.0 + step * (k + 0.5);
      const double end = a0 * kPi / 180.0 + step * (k + 1);
      Ctrl(cx + RoundInt(rx * reach * std::cos(mid)), cy + RoundInt(ry * reach * std::sin(mid)));
      On(cx + RoundInt(rx * std::cos(end)), cy + RoundInt(ry * std::sin(end)));
    }
    return *this;
  }

  TShapeData Data() const { return {TRect{L, T, R, B}, points_}; }

 private:
  TShapeDraft& Add(uint8_t onCurve, int32_t x, int32_t y) {
    points_.push_back({onCurve, x, y});
    return *this;
  }
  std::vector<TShapePoint> points_;
};

// A tab: rounded top corners and feet that flare out at the bottom.
TShapeData Tab() {
  const int32_t r = 100, f = 70;
  return TShapeDraft()
      .On(0, T + r)
      .On(R, T + r)
      .Arc(R, T, r, r, 90, 0, 2)
      .On(R + r, B)
      .Ctrl(R + r, B - f)
      .On(R + r + f, B - f)
      .On(L - r - f, B - f)
      .Ctrl(L - r, B - f)
      .On(L - r, B)
      .On(L - r, T)
      .Arc(L, T, r, r, 180, 90, 2)
      .Data();
}

// A pill: half ellipses at both ends, as high as the button, of fixed width.
TShapeData Pill() {
  const int32_t w = 220;
  return TShapeDraft()
      .On(0, T)
      .On(R, T)
      .Arc(R, 0, w, T, 90, -90, 4)
      .On(L, B)
      .Arc(L, 0, w, T, 270, 90, 4)
      .Data();
}

// An arrow pointing right: rounded tail corners, a head of fixed size.
TShapeData Arrow() {
  const int32_t m = 80, barb = 180, head = 300;
  return TShapeDraft()
      .On(0, T + m)
      .On(R, T + m)
      .On(R, T + barb)
      .On(R + head, 0)
      .On(R, B - barb)
      .On(R, B - m)
      .On(L, B - m)
      .Arc(L, B, m, m, 270, 180, 1)
      .On(L - m, T)
      .Arc(L, T, m, m, 180, 90, 1)
      .Data();
}

// A speech bubble: rounded corners, a tail hanging from the lower left.
TShapeData Speech() {
  const int32_t r = 80;
  return TShapeDraft()
      .On(0, T + r)
      .On(R, T + r)
      .Arc(R, T, r, r, 90, 0, 1)
      .On(R + r, B)
      .Arc(R, B, r, r, 0, -90, 1)
      .On(L, B - r)
      .Ctrl(L - 30, B - 150)
      .On(L - 160, B - 230)
      .Ctrl(L - 85, B - 110)
      .On(L - r, B)
      .On(L - r, T)
      .Arc(L, T, r, r, 180, 90, 1)
      .Data();
}

// A ribbon: a band whose ends are cut into swallowtails with curved notches.
TShapeData Ribbon() {
  const int32_t tail = 240, notch = -60;
  return TShapeDraft()
      .On(0, T)
      .On(R + tail, T)
      .Ctrl(R + notch, 0)
      .On(R + tail, B)
      .On(L - tail, B)
      .Ctrl(L - notch, 0)
      .On(L - tail, T)
      .Data();
}

// A star burst: valleys on the inner rectangle, spikes of fixed height between
// them and one across every corner. Straight throughout.
TShapeData Star() {
  const int top = 6, side = 2;  // valleys along the top (and bottom) and each side
  const int32_t h = 110, hc = 90;
  const double dx = static_cast<double>(R - L) / top, dy = static_cast<double>(T - B) / side;
  auto X = [&](double k) { return RoundInt(L + dx * k); };
  auto Y = [&](double k) { return RoundInt(T - dy * k); };
  TShapeDraft d;
  for (int k = 0; k < top; ++k) {
    d.On(X(k + 0.5), T);
    if (k + 1 < top) d.On(X(k + 1), T + h);
  }
  d.On(R + hc, T + hc);
  for (int k = 0; k < side; ++k) {
    d.On(R, Y(k + 0.5));
    if (k + 1 < side) d.On(R + h, Y(k + 1));
  }
  d.On(R + hc, B - hc);
  for (int k = top; k > 0; --k) {
    d.On(X(k - 0.5), B);
    if (k > 1) d.On(X(k - 1), B - h);
  }
  d.On(L - hc, B - hc);
  for (int k = side; k > 0; --k) {
    d.On(L, Y(k - 0.5));
    if (k > 1) d.On(L - h, Y(k - 1));
  }
  d.On(L - hc, T + hc);
  return d.Data();
}

// A shield: rounded top corners, sides that sweep down to a point.
TShapeData Shield() {
  const int32_t r = 80, sweep = 170, point = 300;
  return TShapeDraft()
      .On(0, T + r)
      .On(R, T + r)
      .Arc(R, T, r, r, 90, 0, 1)
      .On(R + r, B)
      .Ctrl(R + r, B - sweep)
      .On(0, B - point)
      .Ctrl(L - r, B - sweep)
      .On(L - r, B)
      .On(L - r, T)
      .Arc(L, T, r, r, 180, 90, 1)
      .Data();
}

// A ticket: corners cut out in quarter circles, a half-round notch in each side.
TShapeData Ticket() {
  const int32_t m = 60, half = 25, depth = 50;
  return TShapeDraft()
      .On(0, T + m)
      .On(R, T + m)
      .Ctrl(R, T)
      .On(R + m, T)
      .On(R + m, half)
      .Ctrl(R + m - depth, half)
      .On(R + m - depth, 0)
      .Ctrl(R + m - depth, -half)
      .On(R + m, -half)
      .On(R + m, B)
      .Ctrl(R, B)
      .On(R, B - m)
      .On(L, B - m)
      .Ctrl(L, B)
      .On(L - m, B)
      .On(L - m, -half)
      .Ctrl(L - m + depth, -half)
      .On(L - m + depth, 0)
      .Ctrl(L - m + depth, half)
      .On(L - m, half)
      .On(L - m, T)
      .Ctrl(L, T)
      .On(L, T + m)
      .Data();
}

struct TNamedShape {
  const char* name;
  TShapeData (*make)();
};

const TNamedShape kShapes[] = {
    {"TAB", Tab},       {"PILL", Pill}, {"ARROW", Arrow},   {"SPEECH", Speech},
    {"RIBBON", Ribbon}, {"STAR", Star}, {"SHIELD", Shield}, {"TICKET", Ticket},
};

std::vector<TPoint> OutlineFor(const TButShape& shape, const TRect& target) {
  std::vector<TPoint> points(kMaxOutlinePoints);
  int count = 0;
  shape.BuildOutline(target, points.data(), count);
  points.resize(static_cast<size_t>(count));
  return points;
}

// Empty when the outline is fit for the scene, else what is wrong with it.
std::string CheckOutline(const std::vector<TPoint>& outline) {
  if (outline.size() < 4) return "fewer than three corners";
  double twiceArea = 0;
  for (size_t i = 0; i + 1 < outline.size(); ++i) {
    const TPoint a = outline[i], b = outline[i + 1];
    if (a == b) return "point " + std::to_string(i + 1) + " repeats";
    twiceArea += static_cast<double>(a.X) * b.Y - static_cast<double>(b.X) * a.Y;
  }
  if (twiceArea >= 0) return "not clockwise";
  return {};
}

TPicture Preview(const std::vector<TPoint>& outline) {
  int32_t minX = outline[0].X, maxX = minX, minY = outline[0].Y, maxY = minY;
  for (const TPoint& p : outline) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  // Fitted with one pixel to spare on every side; y flips to picture rows.
  const int w = kPreviewWidth * kSamples, h = kPreviewHeight * kSamples, margin = kSamples;
  const double scale = std::min(static_cast<double>(w - 2 * margin) / (maxX - minX),
                                static_cast<double>(h - 2 * margin) / (maxY - minY));
  const double offX = (w - scale * (maxX - minX)) / 2.0, offY = (h - scale * (maxY - minY)) / 2.0;
  auto toPicture = [&](TPoint p) {
    return TPoint{RoundInt(offX + scale * (p.X - minX)), RoundInt(offY + scale * (maxY - p.Y))};
  };
  TFontView fill(h);
  for (size_t i = 0; i + 1 < outline.size(); ++i)
    fill.AddEdge(toPicture(outline[i]), toPicture(outline[i + 1]));
  fill.BuildSpans();

  std::vector<int> cover(static_cast<size_t>(kPreviewWidth * kPreviewHeight), 0);
  for (int row = 0; row < h; ++row)
    for (int s = 0; s < fill.SpanCount(row); ++s) {
      const auto& span = fill.Span(row, s);
      for (int x = std::max(span.X1, 0); x < std::min(span.X2, w); ++x)
        ++cover[static_cast<size_t>((row / kSamples) * kPreviewWidth + x / kSamples)];
    }

  // Light sky blue at the top of the shape to a deep blue at its foot, on white.
  const double top = offY / kSamples, height = scale * (maxY - minY) / kSamples;
  TPicture picture(kPreviewWidth, kPreviewHeight, 24);
  for (int y = 0; y < kPreviewHeight; ++y) {
    const double t = std::clamp((y + 0.5 - top) / height, 0.0, 1.0);
    const double rgb[3] = {175 - 140 * t, 210 - 130 * t, 250 - 90 * t};
    for (int x = 0; x < kPreviewWidth; ++x) {
      const double a = cover[static_cast<size_t>(y * kPreviewWidth + x)] / double{kSamples * kSamples};
      auto mix = [&](double c) { return static_cast<uint8_t>(RoundInt(255 + (c - 255) * a)); };
      picture.SetPixelAt(x, y, MakePixel(mix(rgb[0]), mix(rgb[1]), mix(rgb[2])));
    }
  }
  return picture;
}

int Run(const std::string& folder) {
  std::filesystem::create_directories(folder);
  const TRect previewTarget{-600, 200, 600, -200};
  const TRect captionTarget{-1100, 320, 1100, -320};
  for (const TNamedShape& s : kShapes) {
    const TShapeData data = s.make();
    TButShape shape;
    shape.LoadFromMemory(EncodeShapeFile(data), s.name);
    const std::vector<TPoint> preview = OutlineFor(shape, previewTarget);
    for (const TRect& target : {previewTarget, captionTarget}) {
      const std::string fault = CheckOutline(OutlineFor(shape, target));
      if (!fault.empty()) {
        std::fprintf(stderr, "make_shapes: %s: %s\n", s.name, fault.c_str());
        return 1;
      }
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(Preview(preview), kJpegQuality);
    const std::string path = (std::filesystem::path(folder) / (std::string(s.name) + ".vtxb")).string();
    SaveShapeFile(path, data, jpeg);
    std::printf("%s: %zu points, outline %zu points\n", path.c_str(), data.Points.size(), preview.size());
  }
  return 0;
}

}  // namespace
}  // namespace vantrix

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_shapes <output folder>\n");
    return 2;
  }
  try {
    return vantrix::Run(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_shapes: %s\n", e.what());
    return 1;
  }
}
