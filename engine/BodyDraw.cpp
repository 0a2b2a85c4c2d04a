// Drawing a prepared body into the span buffer: the caps through the outline
// scan converter, then every visible face through the body's edge table.
//
// Face spans carry the sum of the left and right depths, the sum of two interpolated squared
// distances, while cap spans carry one. A cap therefore wins against the side
// faces of about the same distance, so a letter's cap is never hidden by the
// walls that meet it; the button's cap depth is multiplied by 100 so that it
// lies behind the button's own bevel faces.
//
// The edge table only covers the rows of the body that lie inside the buffer:
// rows outside would be dropped by InsertSpan anyway.

#include <algorithm>

#include "engine/Body.h"
#include "engine/EdgeWalk_p.h"
#include "engine/FontView.h"
#include "engine/ZBuffer_p.h"
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
  // FaceBottom starts at row 0, so a face wholly above the picture would
  // otherwise reach row 0 and store whatever its edge row held there.
  const int64_t yLast = std::min<int64_t>({faceBottom_, hi, tableEnd - 1});
  for (int64_t y = yFirst; y <= yLast; ++y) {
    const TEdgeRow& e = edges_[y - edgeTop_];
    const float depth = static_cast<float>(static_cast<double>(e.Depth[0]) + e.Depth[1]);
    if (smooth)
      buffer_->InsertSpan(static_cast<int>(y), e.X[0], e.X[1], e.Shade[0], e.Shade[1], depth);
    else
      buffer_->InsertSpan(static_cast<int>(y), e.X[0], e.X[1], f.Shade, f.Shade, depth);
  }
}

// Edges running down the picture are the face's left side, edges running up
// its right side (the winding every face is built with).
void TBody::DrawEdge(const TEdgeEnd& from, const TEdgeEnd& to) {
  if (from.P.Y == to.P.Y) return;
  const bool down = to.P.Y > from.P.Y;
  // Selected rather than branched on: up and down edges alternate in no order
  // the processor could learn.
  faceBottom_ = down ? std::max(faceBottom_, to.P.Y) : faceBottom_;
  faceTop_ = down ? faceTop_ : std::min(faceTop_, to.P.Y);
  const int side = down ? 0 : 1;

  const int64_t tableEnd = static_cast<int64_t>(edgeTop_) + static_cast<int64_t>(edges_.size());
  const int64_t yMin = std::max<int64_t>(std::min(from.P.Y, to.P.Y), edgeTop_);
  const int64_t yMax = std::min<int64_t>(std::max(from.P.Y, to.P.Y), tableEnd - 1);
  auto store = [&](int64_t y, int32_t x, int32_t shade, float dist) {
    TEdgeRow& e = edges_[y - edgeTop_];
    e.X[side] = x;
    e.Shade[side] = shade;
    e.Depth[side] = dist;
  };
  // Flat faces never read the edges' shades.
  if (Transform.Smooth != 0)
    WalkEdge(from, to, yMin, yMax, store);
  else
    WalkEdge<false>(from, to, yMin, yMax, store);
}

}  // namespace vantrix
