// Per-frame preparation of a body: translation, perspective projection,
// back-face test, flat and per-vertex shading and highlights.
//
// The highlight is worked out per vertex, like the shades, and stepped across
// the spans between them. Per pixel it would need a normal and a position in
// every span instead of two bytes, and the spans' depth test per span rather
// than per pixel is what makes the renderer fast; the bevels' rings put
// vertices close enough together for a highlight to run smoothly over them.

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/Body.h"
#include "engine/Lighting.h"
#include "engine/View3D.h"
#include "platform/Rounding.h"

namespace vantrix {

namespace {

// Screen coordinates are kept within this range so that differences and
// products of them stay exact in 64-bit integers whatever the input.
constexpr int32_t kScreenLimit = 1 << 24;

int32_t ScreenCoord(double v) {
  return ClampInt(RoundInt(v), -kScreenLimit, kScreenLimit);
}

}  // namespace

TVec3 FillDirection(const TViewParams& params) {
  return TVec3{-static_cast<double>(params.LightX), params.LightY, -static_cast<double>(params.LightZ)};
}

double LightCosine(const TViewParams& params, double nx, double ny, double nz) {
  const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!(len > 0)) return 0.0;
  double cosine = (params.LightX * nx + static_cast<double>(params.LightY) * ny +
                   static_cast<double>(params.LightZ) * nz) /
                  len;
  if (params.Fill > 0) {
    const TVec3 f = FillDirection(params);
    const double fill = (f.X * nx + f.Y * ny + f.Z * nz) / len;
    if (fill > 0) cosine = std::min(cosine + std::min(params.Fill, 1000) / 1000.0 * fill, 1.0);
  }
  return cosine;
}

int32_t HighlightOf(const TViewParams& params, TVec3 n, TVec3 at) {
  if (params.Specular <= 0) return 0;
  auto unit = [](TVec3 v) {
    const double len = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    return len > 0 && std::isfinite(len) ? TVec3{v.X / len, v.Y / len, v.Z / len} : TVec3{};
  };
  auto dot = [](TVec3 a, TVec3 b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; };
  n = unit(n);
  const TVec3 light = unit(TVec3{params.LightX, params.LightY, params.LightZ});
  if (!(dot(n, light) > 0)) return 0;
  // Normals point into the body and the light vector the way the light
  // travels, so the mirror direction is the light's plus the line of sight.
  const TVec3 sight = unit(at);
  const TVec3 half = unit(TVec3{light.X + sight.X, light.Y + sight.Y, light.Z + sight.Z});
  const double cosine = dot(n, half);
  if (!(cosine > 0)) return 0;
  const double strength = std::min(params.Specular, 1000) / 1000.0;
  const double s = strength * std::pow(cosine, ClampInt(params.Gloss, 1, 200));
  return ClampInt(RoundInt(std::min(s, 1.0) * 255), 0, 255);
}

void TBody::Project(const TViewParams& params) {
  int32_t top = 65536;
  int32_t bottom = -65536;
  behindEye_ = false;
  auto project = [&](size_t i) {
    TVertex& v = vertices_[i];
    v.TX = static_cast<float>(v.X + static_cast<double>(Transform.OffsetX));
    v.TY = static_cast<float>(v.Y + static_cast<double>(Transform.OffsetY));
    v.TZ = static_cast<float>(v.Z + static_cast<double>(Transform.OffsetZ));
    const double tx = v.TX, ty = v.TY, tz = v.TZ;
    v.Dist2 = static_cast<float>(ty * ty + tx * tx + tz * tz);
    v.NX = v.NY = v.NZ = 0;
    TPoint& s = screen_[i];
    if (!(ty > 0) || !std::isfinite(tx) || !std::isfinite(tz)) {
      // No near-plane clipping exists; such a body is left out of the picture.
      behindEye_ = true;
      s = TPoint{params.CentreX, params.CentreY};
    } else {
      s.X = ScreenCoord(params.CnX * tx / ty + params.CentreX);
      s.Y = ScreenCoord(params.CentreY - params.CnZ * tz / ty);
    }
    top = std::min(top, s.Y);
    bottom = std::max(bottom, s.Y);
  };
  size_t i = 0;
#if defined(__SSE2__)
  // Two vertices at a time, each lane with exactly the arithmetic above; a
  // pair that is not plainly in front of the eye and near the picture goes
  // through it one by one.
  typedef double V2d __attribute__((vector_size(16)));
  typedef float V2f __attribute__((vector_size(8)));
  const V2d offX = {Transform.OffsetX, Transform.OffsetX}, offY = {Transform.OffsetY, Transform.OffsetY},
            offZ = {Transform.OffsetZ, Transform.OffsetZ};
  const V2d cnX = {params.CnX, params.CnX}, cnZ = {params.CnZ, params.CnZ};
  const V2d centreX = {static_cast<double>(params.CentreX), static_cast<double>(params.CentreX)};
  const V2d centreY = {static_cast<double>(params.CentreY), static_cast<double>(params.CentreY)};
  const V2d zero = {0, 0}, limit = {kScreenLimit, kScreenLimit};
  for (; i + 2 <= vertices_.size(); i += 2) {
    TVertex& a = vertices_[i];
    TVertex& b = vertices_[i + 1];
    const V2f fx =
        __builtin_convertvector(V2d{static_cast<double>(a.X), static_cast<double>(b.X)} + offX, V2f);
    const V2f fy =
        __builtin_convertvector(V2d{static_cast<double>(a.Y), static_cast<double>(b.Y)} + offY, V2f);
    const V2f fz =
        __builtin_convertvector(V2d{static_cast<double>(a.Z), static_cast<double>(b.Z)} + offZ, V2f);
    const V2d tx = __builtin_convertvector(fx, V2d), ty = __builtin_convertvector(fy, V2d),
              tz = __builtin_convertvector(fz, V2d);
    const V2d q = cnX * tx / ty + centreX;
    const V2d r = centreY - cnZ * tz / ty;
    // x - x is 0 only for a finite x; NaN fails every comparison.
    const auto ok = (ty > zero) & (tx - tx == zero) & (tz - tz == zero) & (q > -limit) & (q < limit) &
                    (r > -limit) & (r < limit);
    if (!(ok[0] && ok[1])) {
      project(i);
      project(i + 1);
      continue;
    }
    const V2f dist = __builtin_convertvector(ty * ty + tx * tx + tz * tz, V2f);
    a.TX = fx[0], a.TY = fy[0], a.TZ = fz[0], a.Dist2 = dist[0];
    b.TX = fx[1], b.TY = fy[1], b.TZ = fz[1], b.Dist2 = dist[1];
    a.NX = a.NY = a.NZ = b.NX = b.NY = b.NZ = 0;
    // Within +-2^24 one conversion rounds as RoundInt does, and ScreenCoord's
    // clamp changes nothing.
    alignas(16) int32_t xs[4], ys[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(xs), _mm_cvtpd_epi32(reinterpret_cast<__m128d>(q)));
    _mm_store_si128(reinterpret_cast<__m128i*>(ys), _mm_cvtpd_epi32(reinterpret_cast<__m128d>(r)));
    screen_[i] = TPoint{xs[0], ys[0]};
    screen_[i + 1] = TPoint{xs[1], ys[1]};
    top = std::min({top, ys[0], ys[1]});
    bottom = std::max({bottom, ys[0], ys[1]});
  }
#endif
  for (; i < vertices_.size(); ++i) project(i);
  topRow_ = top;
  rowCount_ = std::max(bottom - top + 1, 0);
}

void TBody::Prepare(const TViewParams& params) {
  if (faces_.empty()) return;
  Project(params);
  for (TFace& f : faces_)
    f.Key = std::min({Vertex(f.V1).Dist2, Vertex(f.V2).Dist2, Vertex(f.V3).Dist2, Vertex(f.V4).Dist2});
  faces_.back().Key = 0;  // the cap face is never drawn as a quadrilateral
  double sum = 0;
  for (const TFace& f : faces_) sum += f.Key;
  avgKey_ = static_cast<float>(sum / FaceCount());
  CalcFaceShades(params);
  CalcVertexShades(params);
}

// Maps the cosine between the normal and the light (-1..1) onto 0..254, then
// applies the shade limits. A zero normal counts as edge-on.
int32_t TBody::ShadeOf(double nx, double ny, double nz, const TViewParams& params) const {
  int32_t shade = RoundInt((LightCosine(params, nx, ny, nz) + 1) * 127);
  if (shade > params.HiBright) shade = params.HiBright;
  if (shade < params.LoBright) shade = params.LoBright;
  return ClampInt(shade, 0, 255);  // limits read from a damaged file must not leave the ramp
}

void TBody::CalcFaceShades(const TViewParams& params) {
  highlight_ = params.Specular > 0;
  for (TFace& f : faces_) {
    f.Visible = 0;
    if (!highlight_) f.Shine = 0;
    const TPoint& p1 = ScreenPoint(f.V1);
    const TPoint& p2 = ScreenPoint(f.V2);
    const TPoint& p4 = ScreenPoint(f.V4);
    const int64_t cross =
        static_cast<int64_t>(p2.X - p1.X) * (p4.Y - p1.Y) - static_cast<int64_t>(p2.Y - p1.Y) * (p4.X - p1.X);
    if (cross >= 0) continue;  // turned away: keeps its old shade
    f.Visible = 1;
    const TVertex& v1 = Vertex(f.V1);
    const TVertex& v2 = Vertex(f.V2);
    const TVertex& v4 = Vertex(f.V4);
    const double ax = static_cast<double>(v2.TX) - v1.TX, ay = static_cast<double>(v2.TY) - v1.TY,
                 az = static_cast<double>(v2.TZ) - v1.TZ;
    const double bx = static_cast<double>(v4.TX) - v1.TX, by = static_cast<double>(v4.TY) - v1.TY,
                 bz = static_cast<double>(v4.TZ) - v1.TZ;
    const float nx = static_cast<float>(by * az - bz * ay);
    const float ny = static_cast<float>(bz * ax - bx * az);
    const float nz = static_cast<float>(bx * ay - by * ax);
    f.Shade = ShadeOf(nx, ny, nz, params);
    if (highlight_) f.Shine = HighlightOf(params, TVec3{nx, ny, nz}, TVec3{v1.TX, v1.TY, v1.TZ});
    for (int32_t vi : {f.V1, f.V2, f.V3, f.V4}) {
      TVertex& v = Vertex(vi);
      v.NX = static_cast<float>(static_cast<double>(v.NX) + nx);
      v.NY = static_cast<float>(static_cast<double>(v.NY) + ny);
      v.NZ = static_cast<float>(static_cast<double>(v.NZ) + nz);
    }
  }
}

void TBody::CalcVertexShades(const TViewParams& params) {
  for (TVertex& v : vertices_) {
    const double nx = v.NX, ny = v.NY, nz = v.NZ;
    if (nx * nx + ny * ny + nz * nz > 0)
      v.Shade = ShadeOf(nx, ny, nz, params);
    else
      v.Shade = ClampInt(params.HiBright, 0, 255);  // used by no visible face
    v.Shine = highlight_ ? HighlightOf(params, TVec3{nx, ny, nz}, TVec3{v.TX, v.TY, v.TZ}) : 0;
  }
}

}  // namespace vantrix
