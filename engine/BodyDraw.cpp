// Drawing a prepared body into the span buffer: the caps through the outline
// scan converter, then every visible face through the body's edge table.
//
// Face spans carry DepthL + DepthR, the sum of two interpolated squared
// distances, while cap spans carry one. A cap therefore wins against the side
// faces of about the same distance, so a letter's cap is never hidden by the
// walls that meet it; the button's cap depth is multiplied by 100 so that it
// lies behind the button's own bevel faces.
//
// The edge table only covers the rows of the body that lie inside the buffer:
// rows outside would be dropped by InsertSpan anyway.

#include <algorithm>

#include "engine/Body.h"
#include "engine/FontView.h"
#include "engine/ZBuffer.h"
#include "platform/Rounding.h"

namespace vantrix {

void TBody::Draw(TZBuffer& buffer, bool isButton) {
  if (faces_.empty() || behindEye_) return;
  buffer_ = &buffer;
  faceList_.Clear();
  for (int k = 1; k <= FaceCount(); ++k) faceList_.Add(k, Face(k).Key);
  faceList_.Sort();  // nearest faces first

  const int64_t first = std::max<int64_t>(topRow_, 0);
  const int64_t last =
      std::min<int64_t>(static_cast<int64_t>(topRow_) + rowCount_ - 1, buffer.RowCount() - 1);
  edgeTop_ = static_cast<int32_t>(first);
  // Not cleared: each face clears the rows it uses.
  edges_.resize(last >= first ? static_cast<size_t>(last - first + 1) : 0);

  DrawCaps(isButton);
  for (int i = 1; i <= faceList_.Count(); ++i) {
    const int k = faceList_.Item(i).Index;
    if (Face(k).Visible > 0 && Face(k).Key > 0) DrawFace(k);
  }
  buffer_ = nullptr;
}

void TBody::DrawCaps(bool isButton) {
  // The body's rows inside the buffer, as for the edge table.
  TFontView fv(edgeTop_, static_cast<int>(edges_.size()));
  for (const std::vector<int32_t>& c : contours_) {
    for (size_t j = 1; j < c.size(); ++j) {
      // An entry 0 (no room was left in the vertex table) names no point.
      if (c[j - 1] == 0 || c[j] == 0) continue;
      fv.AddEdge(ScreenPoint(c[j - 1]), ScreenPoint(c[j]));
    }
  }
  fv.BuildSpans();
  const TFace& cap = faces_.back();
  float depth = Vertex(cap.V1).Dist2;
  if (isButton) depth = static_cast<float>(static_cast<double>(depth) * 100);
  const int shade = cap.Shade;  // caps are always flat
  for (int r = fv.FirstRow(); r - fv.FirstRow() < fv.RowCount(); ++r)
    for (int i = 0; i < fv.SpanCount(r); ++i)
      buffer_->InsertSpan(r, fv.Span(r, i).X1, fv.Span(r, i).X2, shade, shade, depth);
}

void TBody::DrawFace(int k) {
  const TFace& f = Face(k);
  const int32_t ids[4] = {f.V1, f.V2, f.V3, f.V4};
  TEdgeEnd ends[4];
  int32_t lo = INT32_MAX, hi = INT32_MIN;
  for (int i = 0; i < 4; ++i) {
    const TVertex& v = Vertex(ids[i]);
    ends[i] = TEdgeEnd{ScreenPoint(ids[i]), v.Dist2, v.Shade};
    lo = std::min(lo, ends[i].P.Y);
    hi = std::max(hi, ends[i].P.Y);
  }
  // Only the face's own rows can be read below, so only they need clearing.
  const int64_t tableEnd = static_cast<int64_t>(edgeTop_) + static_cast<int64_t>(edges_.size());
  for (int64_t y = std::max<int64_t>(lo, edgeTop_); y <= hi && y < tableEnd; ++y)
    edges_[y - edgeTop_] = TEdgeRow{};

  faceBottom_ = 0;
  faceTop_ = topRow_ + rowCount_;
  DrawEdge(ends[0], ends[1]);
  DrawEdge(ends[1], ends[2]);
  DrawEdge(ends[2], ends[3]);
  DrawEdge(ends[3], ends[0]);

  const bool smooth = Transform.Smooth != 0;
  const int64_t yFirst = std::max<int64_t>(faceTop_, edgeTop_);
  const int64_t yLast = std::min<int64_t>(faceBottom_, tableEnd - 1);
  for (int64_t y = yFirst; y <= yLast; ++y) {
    const TEdgeRow& e = edges_[y - edgeTop_];
    const float depth = static_cast<float>(static_cast<double>(e.DepthL) + e.DepthR);
    if (smooth)
      buffer_->InsertSpan(static_cast<int>(y), e.XL, e.XR, e.ShadeL, e.ShadeR, depth);
    else
      buffer_->InsertSpan(static_cast<int>(y), e.XL, e.XR, f.Shade, f.Shade, depth);
  }
}

// Edges running down the picture are the face's left side, edges running up
// its right side (the winding every face is built with).
void TBody::DrawEdge(const TEdgeEnd& from, const TEdgeEnd& to) {
  if (from.P.Y == to.P.Y) return;
  const float dx = static_cast<float>(to.P.X - from.P.X);
  const float dy = static_cast<float>(to.P.Y - from.P.Y);
  const float dShade = static_cast<float>(to.Shade - from.Shade);
  const float dDepth = static_cast<float>(static_cast<double>(to.Dist2) - from.Dist2);
  const bool down = dy > 0;
  if (down)
    faceBottom_ = std::max(faceBottom_, to.P.Y);
  else
    faceTop_ = std::min(faceTop_, to.P.Y);

  const int64_t tableEnd = static_cast<int64_t>(edgeTop_) + static_cast<int64_t>(edges_.size());
  const int64_t yMin = std::max<int64_t>(std::min(from.P.Y, to.P.Y), edgeTop_);
  const int64_t yMax = std::min<int64_t>(std::max(from.P.Y, to.P.Y), tableEnd - 1);
  // Two rows at a time: the divisions dominate, and a pair of them costs about
  // as much as one. Each lane does exactly the scalar arithmetic.
  typedef double V2d __attribute__((vector_size(16)));
  auto both = [](double v) { return V2d{v, v}; };
  const V2d vdx = both(dx), vdy = both(dy), vShade = both(dShade), vDepth = both(dDepth);
  const V2d x0 = both(from.P.X), shade0 = both(from.Shade), dist0 = both(from.Dist2);
  auto store = [&](int64_t y, int32_t x, int32_t shade, float dist) {
    TEdgeRow& e = edges_[y - edgeTop_];
    if (down) {
      e.XL = x;
      e.ShadeL = shade;
      e.DepthL = dist;
    } else {
      e.XR = x;
      e.ShadeR = shade;
      e.DepthR = dist;
    }
  };
  for (int64_t y = yMin; y <= yMax; y += 2) {
    const V2d t = {static_cast<double>(y - from.P.Y), static_cast<double>(y + 1 - from.P.Y)};
    const V2d x = t * vdx / vdy + x0;
    const V2d shade = t * vShade / vdy + shade0;
    const V2d dist = dist0 + t * vDepth / vdy;
    store(y, RoundInt(x[0]), RoundInt(shade[0]), static_cast<float>(dist[0]));
    if (y + 1 <= yMax) store(y + 1, RoundInt(x[1]), RoundInt(shade[1]), static_cast<float>(dist[1]));
  }
}

}  // namespace vantrix
