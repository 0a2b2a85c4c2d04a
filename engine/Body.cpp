#include "engine/Body.h"

#include <algorithm>

namespace vantrix {

size_t TBody::TKeyHash::operator()(const TPoint3& p) const {
  uint64_t h = static_cast<uint32_t>(p.X);
  h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(p.Y);
  h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(p.Z);
  return static_cast<size_t>(h ^ (h >> 29));
}

// Equal points are found through a hash index instead of a linear search, so
// building a body of 4096 vertices costs linear rather than quadratic time.
// The result is the same: points are unique, so the first match is the only one.
void TBody::SetLimits(int maxFaces, int maxVertices) {
  maxFaces_ = std::max(maxFaces, 1);
  maxVertices_ = std::max(maxVertices, 4);
}

int32_t TBody::AddVertex(const TVertex& v) {
  if (VertexCount() >= maxVertices_) return 0;
  const TPoint3 key{v.X, v.Y, v.Z};
  if (index_.empty()) {
    index_.reserve(256);
    vertices_.reserve(256);
  }
  auto [it, inserted] = index_.try_emplace(key, VertexCount() + 1);
  if (!inserted) return it->second;
  TVertex stored;
  stored.X = v.X;
  stored.Y = v.Y;
  stored.Z = v.Z;
  vertices_.push_back(stored);
  screen_.push_back(TPoint{});
  return it->second;
}

void TBody::AddFace(TPoint3 p1, TPoint3 p2, TPoint3 p3, TPoint3 p4) {
  if (FaceCount() >= maxFaces_) return;
  auto add = [this](TPoint3 p) {
    TVertex v;
    v.X = p.X;
    v.Y = p.Y;
    v.Z = p.Z;
    return AddVertex(v);
  };
  TFace f;
  f.V1 = add(p1);
  f.V2 = add(p2);
  f.V3 = add(p3);
  f.V4 = add(p4);
  // A face with a vertex that found no room is withdrawn; the vertices that
  // did find room stay.
  if (f.V1 == 0 || f.V2 == 0 || f.V3 == 0 || f.V4 == 0) return;
  faces_.push_back(f);
}

void TBody::AddContour(const TPoint* points, int count, int32_t depth) {
  if (ContourCount() >= kMaxContours) return;
  if (count < 0) count = 0;
  std::vector<int32_t> indices(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TVertex v;
    v.X = points[i].X;
    v.Y = depth == INT32_MIN ? INT32_MAX : -depth;
    v.Z = points[i].Y;
    indices[i] = AddVertex(v);
  }
  contours_.push_back(std::move(indices));
}

}  // namespace vantrix
