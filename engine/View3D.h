#pragma once
// TView3D: the engine's entry point. It owns the bodies of the scene, the span
// buffer and the two textures, and draws a frame: every body is projected in
// perspective, lit by a light (and, when asked, a fill light and a
// highlight) with flat or smooth shading, and painted into the caller's
// 32-bit picture (and optionally its mask), button first, letters after, each
// pass with its drop shadow. A frame is drawn in bands of rows on several
// threads at once, with the same pixels as on one.
//
// The scene writes Params (a plain copy of its own record) before every
// bounds or render call. The light vector is used as given, not normalised,
// for the shades; the highlight takes its direction only.

#include <memory>
#include <vector>

#include "engine/Body.h"
#include "engine/RenderList.h"
#include "engine/ShadeRamp.h"
#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/Picture.h"

namespace vantrix {

class TZBuffer;

struct TViewParams {
  float CnX = 450;                           // horizontal projection factor
  float CnZ = 450;                           // vertical projection factor
  int32_t CentreX = 0;                       // picture column of the optical axis
  int32_t CentreY = 0;                       // picture row of the optical axis
  float LightX = 0, LightY = 0, LightZ = 0;  // light direction, a unit vector
  float LightLen = 0;                        // stored only
  float LightA1 = 0, LightA2 = 0;            // stored only
  int32_t LoBright = 0;                      // lowest shade
  int32_t HiBright = 255;                    // highest shade
  TColor LightColor = kColorWhite;           // tints textures
  int32_t Brightness = 204;                  // shade at which a texel shows its own colour
  int32_t ButtonShadowDX = 0, ButtonShadowDY = 0;
  int32_t TextShadowDX = 0, TextShadowDY = 0;
  int32_t TextAltitude = 10;    // letters' shadow only when > 0
  int32_t ButtonAltitude = 30;  // button's shadow only when > 0
  int32_t Specular = 0;         // highlight strength 0..1000 (per mille of the light colour); 0 none
  int32_t Gloss = 20;           // highlight exponent 1..200: small a broad sheen, large a tight spark
  int32_t Fill = 0;             // fill light strength 0..1000 (per mille of the light); 0 none
  friend bool operator==(const TViewParams&, const TViewParams&) = default;
};

class TView3D {
 public:
  static constexpr int kMaxBodies = 33;

  TView3D();
  ~TView3D();
  TView3D(const TView3D&) = delete;
  TView3D& operator=(const TView3D&) = delete;

  void Clear() { bodies_.clear(); }
  // Index 1..33 of a new empty body; 0 (and nothing created) when full.
  int AddBody();
  TBody& Body(int index) { return *bodies_[index - 1]; }
  const TBody& Body(int index) const { return *bodies_[index - 1]; }
  int BodyCount() const { return static_cast<int>(bodies_.size()); }

  void SetTransform(const TBodyTransform& transform);
  int FaceCount() const;
  int VertexCount() const;
  // Model units: Left = smallest X, Top = largest Z, Right = largest X,
  // Bottom = smallest Z over all vertices, each starting from 0.
  TRect ModelBounds() const;
  // Picture units after projecting every body with the current Params.
  TRect ScreenBounds();

  // Draws the frame. buttonType > 0 means the last body is the button.
  // threads: how many threads draw the frame's bands of rows at once; 0 or
  // less, one per core (DefaultThreads).
  void Render(TPicture& image, TPicture& mask, const TShadeRamp& buttonRamp, const TShadeRamp& textRamp,
              int buttonType, bool withMask, int threads = 0);
  static int DefaultThreads();
  // Sets every pixel of a picture, in bands of rows on `threads`
  // threads as Render draws (0: DefaultThreads): the background a frame is
  // drawn on.
  static void FillPicture(TPicture& picture, TPixel value, int threads = 0);

  // A texture smaller than 2 x 2 switches texturing off.
  void SetButtonTexture(const TPicture& bitmap);
  void SetTextTexture(const TPicture& bitmap);

  // The letters' span buffer as the last frame left it; its layout is the
  // engine's own (ZBuffer_p.h), for the engine's white-box tests.
  const TZBuffer& Buffer() const;
  const TPicture& ButtonTexture() const { return buttonTexture_; }
  const TPicture& TextTexture() const { return textTexture_; }

  TViewParams Params;
  bool TextTextured = false;
  bool ButtonTextured = false;

 private:
  static void SetPassTexture(TZBuffer& buffer, const TPicture* texture);

  std::vector<std::unique_ptr<TBody>> bodies_;
  TRenderList bodyList_;
  // Behind pointers, so that the span buffer's layout stays inside the engine.
  std::unique_ptr<TZBuffer> buffer_;          // the letters
  std::unique_ptr<TZBuffer> buttonBuffer_;    // the button
  std::vector<TBody::TEdgeTable> bandEdges_;  // one edge table per band
  TPicture textTexture_;
  TPicture buttonTexture_;
};

}  // namespace vantrix
