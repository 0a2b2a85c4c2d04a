#pragma once
// TBody: one letter of the caption, or the button plate, as a fixed-capacity
// mesh of integer points, quadrilateral faces and up to eight outline contours
// describing the flat front face (the cap).
//
// Model space: X to the right, Z upward, Y the depth, growing away from the
// eye, which sits at the origin looking along +Y. Model points are 32-bit
// integers; everything computed from them per frame (translated coordinates,
// normals, distances, keys) is stored in single precision. Indices of vertices
// and faces are 1-based; 0 means none.
//
// Geometry is only ever appended. Equal points are shared (AddVertex), which is
// what makes smooth shading continuous and lets caps meet the side faces. The
// last face is the cap face: never drawn as a quadrilateral, its shade and
// depth colour the caps.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/RenderList.h"
#include "platform/Geometry.h"

namespace vantrix {

class TZBuffer;
struct TEdgeEnd;
struct TViewParams;

struct TVertex {
  int32_t X = 0, Y = 0, Z = 0;   // model point; the identity of the vertex
  float TX = 0, TY = 0, TZ = 0;  // translated by the body transform
  float NX = 0, NY = 0, NZ = 0;  // sum of the normals of the visible faces using it
  float Dist2 = 0;               // squared distance from the eye
  int32_t Shade = 0;             // 0..255, for smooth shading
  int32_t Shine = 0;             // highlight 0..255, for smooth shading
};

struct TFace {
  float Key = 0;  // smallest Dist2 of its vertices; 0 for the cap face
  int32_t V1 = 0, V2 = 0, V3 = 0, V4 = 0;
  int32_t Visible = 0;
  int32_t Shade = 0;
  int32_t Shine = 0;  // highlight 0..255
};

struct TBodyTransform {
  float OffsetX = 0, OffsetY = 0, OffsetZ = 0;
  float AngleX = 0, AngleY = 0, AngleZ = 0;  // stored with the work, no effect on the picture
  int32_t Smooth = 0;                        // 0 flat shading, else per-vertex shading
  friend bool operator==(const TBodyTransform&, const TBodyTransform&) = default;
};

struct TPoint3 {
  int32_t X = 0, Y = 0, Z = 0;
};

class TBody {
 public:
  static constexpr int kMaxVertices = 4096;
  static constexpr int kMaxFaces = 2048;
  static constexpr int kMaxContours = 8;

  // The room for faces and vertices, kMaxFaces and kMaxVertices unless set
  // before building: bodies with rounded bevels need more.
  void SetLimits(int maxFaces, int maxVertices);
  int MaxFaces() const { return maxFaces_; }
  int MaxVertices() const { return maxVertices_; }

  // Building. AddVertex returns the index of the vertex with equal (X, Y, Z),
  // appending it when new; 0 once the table is full, even for a known point.
  int32_t AddVertex(const TVertex& v);
  void AddFace(TPoint3 p1, TPoint3 p2, TPoint3 p3, TPoint3 p4);
  // A 2D outline in the plane Y = -depth: point (x, y) becomes (x, -depth, y).
  // An open polyline; a closed contour repeats its first point.
  void AddContour(const TPoint* points, int count, int32_t depth);

  // Per frame (View3D.cpp / BodyShade.cpp).
  void Project(const TViewParams& params);
  void Prepare(const TViewParams& params);
  void CalcFaceShades(const TViewParams& params);
  void CalcVertexShades(const TViewParams& params);

  // Drawing into the span buffer (BodyDraw.cpp): Draw is SortFaces, then
  // DrawRows over every row. DrawRows stores spans only in rows first..last
  // and changes nothing in the body, so bands of rows can be drawn at once,
  // each with room of its own, once the faces are sorted.
  struct TEdgeRow {
    // [0] from the edge running down (the left side), [1] from the one running up.
    int32_t X[2] = {0, 0};
    int32_t Shade[2] = {0, 0};
    float Depth[2] = {0, 0};
    int32_t Shine[2] = {0, 0};
  };
  using TEdgeTable = std::vector<TEdgeRow>;
  void Draw(TZBuffer& buffer, bool isButton);
  void SortFaces();
  void DrawRows(TZBuffer& buffer, bool isButton, int first, int last, TEdgeTable& edges) const;

  int FaceCount() const { return static_cast<int>(faces_.size()); }
  int VertexCount() const { return static_cast<int>(vertices_.size()); }
  int ContourCount() const { return static_cast<int>(contours_.size()); }
  const TFace& Face(int k) const { return faces_[k - 1]; }
  TFace& Face(int k) { return faces_[k - 1]; }
  const TVertex& Vertex(int k) const { return vertices_[k - 1]; }
  TVertex& Vertex(int k) { return vertices_[k - 1]; }
  const TPoint& ScreenPoint(int k) const { return screen_[k - 1]; }
  const std::vector<int32_t>& Contour(int c) const { return contours_[c - 1]; }  // 1-based
  float AvgKey() const { return avgKey_; }
  int32_t TopRow() const { return topRow_; }
  int32_t RowCount() const { return rowCount_; }
  // True when the last projection found a vertex at or behind the eye; such a
  // body cannot be drawn without clipping and is left out of the picture.
  bool BehindEye() const { return behindEye_; }

  TBodyTransform Transform;

 private:
  // One DrawRows call: its buffer, edge table (rows EdgeTop .. EdgeTop +
  // size - 1) and the rows of the face being walked.
  struct TDraw {
    TZBuffer& Buffer;
    TEdgeTable& Edges;
    int32_t EdgeTop = 0;
    int32_t FaceTop = 0;
    int32_t FaceBottom = 0;
  };
  struct TKeyHash {
    size_t operator()(const TPoint3& p) const;
  };
  struct TKeyEq {
    bool operator()(const TPoint3& a, const TPoint3& b) const {
      return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
    }
  };

  int32_t ShadeOf(double nx, double ny, double nz, const TViewParams& params) const;
  void DrawCaps(TDraw& d, bool isButton) const;
  void DrawFace(TDraw& d, int k) const;
  void DrawEdge(TDraw& d, const TEdgeEnd& from, const TEdgeEnd& to) const;

  std::vector<TFace> faces_;
  std::vector<TVertex> vertices_;
  std::vector<TPoint> screen_;
  std::unordered_map<TPoint3, int32_t, TKeyHash, TKeyEq> index_;  // (X, Y, Z) -> vertex index
  std::vector<std::vector<int32_t>> contours_;
  TRenderList faceList_;
  float avgKey_ = 0;
  int32_t topRow_ = 0;
  int32_t rowCount_ = 0;
  bool behindEye_ = false;
  bool highlight_ = false;  // the last Prepare lit with a highlight
  int maxFaces_ = kMaxFaces;
  int maxVertices_ = kMaxVertices;
  struct TFaceRows {
    int32_t Face, Top, Bottom;
  };
  std::vector<TFaceRows> drawList_;  // SortFaces' visible faces, nearest first
  TEdgeTable edges_;                 // Draw's, kept between calls
};

}  // namespace vantrix
