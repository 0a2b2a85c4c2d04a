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
  SortFaces();
  DrawRows(buffer, isButton, 0, buffer.RowCount() - 1, edges_);
}

// The faces to draw, nearest first, with the rows they reach, so that a band
// passes over the faces outside it without reading their vertices.
void TBody::SortFaces() {
  faceList_.Clear();
  for (int k = 1; k <= FaceCount(); ++k) faceList_.Add(k, Face(k).Key);
  faceList_.Sort();  // nearest faces first
  drawList_.clear();
  for (int i = 1; i <= faceList_.Count(); ++i) {
    const int k = faceList_.Item(i).Index;
    const TFace& f = Face(k);
    if (f.Visible <= 0 || f.Key <= 0) continue;
    const int32_t y1 = ScreenPoint(f.V1).Y, y2 = ScreenPoint(f.V2).Y, y3 = ScreenPoint(f.V3).Y,
                  y4 = ScreenPoint(f.V4).Y;
    drawList_.push_back({k, std::min({y1, y2, y3, y4}), std::max({y1, y2, y3, y4})});
  }
}

void TBody::DrawRows(TZBuffer& buffer, bool isButton, int first, int last, TEdgeTable& edges) const {
  if (faces_.empty() || behindEye_) return;
  // The edge table only covers the body's rows that are to be drawn.
  const int64_t top = std::max<int64_t>({topRow_, first, 0});
  const int64_t bottom = std::min<int64_t>(
      {static_cast<int64_t>(topRow_) + rowCount_ - 1, last, static_cast<int64_t>(buffer.RowCount()) - 1});
  if (top > bottom) return;
  TDraw d{buffer, edges, static_cast<int32_t>(top)};
  // Not cleared: each face clears the rows it uses.
  edges.resize(static_cast<size_t>(bottom - top + 1));

  DrawCaps(d, isButton);
  for (const TFaceRows& f : drawList_)
    if (f.Bottom >= top && f.Top <= bottom) DrawFace(d, f.Face);
}

void TBody::DrawCaps(TDraw& d, bool isButton) const {
  // The body's rows inside the table, as for the faces.
  TFontView fv(d.EdgeTop, static_cast<int>(d.Edges.size()));
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
      d.Buffer.InsertSpan(r, fv.Span(r, i).X1, fv.Span(r, i).X2, shade, shade, depth, cap.Shine, cap.Shine);
}

void TBody::DrawFace(TDraw& d, int k) const {
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
  const int64_t tableEnd = static_cast<int64_t>(d.EdgeTop) + static_cast<int64_t>(d.Edges.size());
  if (hi < d.EdgeTop || lo >= tableEnd) return;  // no row of the table: nothing to store
  // Only the face's own rows can be read below, so only they need clearing.
  for (int64_t y = std::max<int64_t>(lo, d.EdgeTop); y <= hi && y < tableEnd; ++y)
    d.Edges[y - d.EdgeTop] = TEdgeRow{};

  d.FaceBottom = 0;
  d.FaceTop = topRow_ + rowCount_;
  DrawEdge(d, ends[0], ends[1]);
  DrawEdge(d, ends[1], ends[2]);
  DrawEdge(d, ends[2], ends[3]);
  DrawEdge(d, ends[3], ends[0]);

  const bool smooth = Transform.Smooth != 0;
  if (smooth && highlight_) {
    // The highlight walks the same edges with its own end values.
    const int32_t faceBottom = d.FaceBottom, faceTop = d.FaceTop;
    TEdgeEnd shineEnds[4];
    for (int i = 0; i < 4; ++i) shineEnds[i] = TEdgeEnd{ends[i].P, ends[i].Dist2, Vertex(ids[i]).Shine};
    for (int i = 0; i < 4; ++i) {
      const TEdgeEnd& from = shineEnds[i];
      const TEdgeEnd& to = shineEnds[(i + 1) % 4];
      if (from.P.Y == to.P.Y) continue;
      const int side = to.P.Y > from.P.Y ? 0 : 1;
      const int64_t yMin = std::max<int64_t>(std::min(from.P.Y, to.P.Y), d.EdgeTop);
      const int64_t yMax = std::min<int64_t>(std::max(from.P.Y, to.P.Y), tableEnd - 1);
      WalkEdge(from, to, yMin, yMax,
               [&](int64_t y, int32_t, int32_t shine, float) { d.Edges[y - d.EdgeTop].Shine[side] = shine; });
    }
    d.FaceBottom = faceBottom;
    d.FaceTop = faceTop;
  }

  const int64_t yFirst = std::max<int64_t>(d.FaceTop, d.EdgeTop);
  // FaceBottom starts at row 0, so a face wholly above the picture would
  // otherwise reach row 0 and store whatever its edge row held there.
  const int64_t yLast = std::min<int64_t>({d.FaceBottom, hi, tableEnd - 1});
  for (int64_t y = yFirst; y <= yLast; ++y) {
    const TEdgeRow& e = d.Edges[y - d.EdgeTop];
    const float depth = static_cast<float>(static_cast<double>(e.Depth[0]) + e.Depth[1]);
    if (smooth)
      d.Buffer.InsertSpan(static_cast<int>(y), e.X[0], e.X[1], e.Shade[0], e.Shade[1], depth, e.Shine[0],
                          e.Shine[1]);
    else
      d.Buffer.InsertSpan(static_cast<int>(y), e.X[0], e.X[1], f.Shade, f.Shade, depth, f.Shine, f.Shine);
  }
}

// Edges running down the picture are the face's left side, edges running up
// its right side (the winding every face is built with).
void TBody::DrawEdge(TDraw& d, const TEdgeEnd& from, const TEdgeEnd& to) const {
  if (from.P.Y == to.P.Y) return;
  const bool down = to.P.Y > from.P.Y;
  // Selected rather than branched on: up and down edges alternate in no order
  // the processor could learn.
  d.FaceBottom = down ? std::max(d.FaceBottom, to.P.Y) : d.FaceBottom;
  d.FaceTop = down ? d.FaceTop : std::min(d.FaceTop, to.P.Y);
  const int side = down ? 0 : 1;

  const int64_t tableEnd = static_cast<int64_t>(d.EdgeTop) + static_cast<int64_t>(d.Edges.size());
  const int64_t yMin = std::max<int64_t>(std::min(from.P.Y, to.P.Y), d.EdgeTop);
  const int64_t yMax = std::min<int64_t>(std::max(from.P.Y, to.P.Y), tableEnd - 1);
  auto store = [&](int64_t y, int32_t x, int32_t shade, float dist) {
    TEdgeRow& e = d.Edges[y - d.EdgeTop];
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
