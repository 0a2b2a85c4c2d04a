#pragma once
// The light model of a frame, per face or vertex: a Lambert term from the
// light, to which a fill light from the mirrored direction adds, mapped onto
// the shade ramp; and a Blinn-Phong highlight in the light's colour, painted
// on top of the ramp's colour.
//
// Vectors are in the view's translated model space (X right, Y the depth away
// from the eye, Z up; the eye at the origin). A face's normal (B x A of its
// corners) points into the body, away from the side it is seen from, and the
// light vector the way the light travels: a face is lit full where the two
// are parallel. Normals need not be unit vectors; a zero normal counts as
// edge-on and gets no highlight.

#include <cstdint>

#include "engine/View3D.h"

namespace vantrix {

struct TVec3 {
  double X = 0, Y = 0, Z = 0;
};

// The fill light's direction: the light mirrored left-right and up-down, so
// that it reaches the sides the light leaves dark, from the same side of the
// picture plane.
TVec3 FillDirection(const TViewParams& params);

// The cosine between normal and light (-1..1), with the fill light's share
// (Fill per mille of its own cosine, where it faces the fill) added and the
// sum held to 1. Without a fill light, exactly the light's cosine.
double LightCosine(const TViewParams& params, double nx, double ny, double nz);

// The highlight 0..255 on a surface with this normal at this point: Specular
// per mille of the light colour times cos^Gloss of the angle between the
// normal and the half vector of the light and the line of sight to the point
// (the normal that would mirror the light into the eye). 0 where the surface
// is not lit, and always 0 with Specular 0.
int32_t HighlightOf(const TViewParams& params, TVec3 normal, TVec3 at);

}  // namespace vantrix
