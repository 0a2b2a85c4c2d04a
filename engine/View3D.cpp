#include "engine/View3D.h"

#include <algorithm>
#include <thread>

#include "engine/Bands_p.h"
#include "engine/ZBuffer_p.h"

namespace vantrix {

namespace {

// The smallest and largest x and y of the points taken in.
struct TExtent {
  TPoint Lo, Hi;
  void TakeIn(int32_t x, int32_t y) {
    Lo = {std::min(Lo.X, x), std::min(Lo.Y, y)};
    Hi = {std::max(Hi.X, x), std::max(Hi.Y, y)};
  }
};

bool LoadTexture(const TPicture& bitmap, TPicture& texture) {
  if (bitmap.Width() < 2 || bitmap.Height() < 2) return false;
  texture = bitmap.Converted(32);
  return true;
}

}  // namespace

TView3D::TView3D() : buffer_(std::make_unique<TZBuffer>()), buttonBuffer_(std::make_unique<TZBuffer>()) {}

TView3D::~TView3D() = default;

const TZBuffer& TView3D::Buffer() const {
  return *buffer_;
}

int TView3D::AddBody() {
  if (BodyCount() >= kMaxBodies) return 0;
  bodies_.push_back(std::make_unique<TBody>());
  return BodyCount();
}

void TView3D::SetTransform(const TBodyTransform& transform) {
  for (auto& b : bodies_) b->Transform = transform;
}

int TView3D::FaceCount() const {
  int n = 0;
  for (const auto& b : bodies_) n += b->FaceCount();
  return n;
}

int TView3D::VertexCount() const {
  int n = 0;
  for (const auto& b : bodies_) n += b->VertexCount();
  return n;
}

TRect TView3D::ModelBounds() const {
  TExtent e{{0, 0}, {0, 0}};
  for (const auto& b : bodies_)
    for (int i = 1; i <= b->VertexCount(); ++i) e.TakeIn(b->Vertex(i).X, b->Vertex(i).Z);
  return TRect{e.Lo.X, e.Hi.Y, e.Hi.X, e.Lo.Y};  // model Z grows upward
}

TRect TView3D::ScreenBounds() {
  TExtent e{{65535, 65535}, {-65535, -65535}};
  for (auto& b : bodies_) {
    b->Project(Params);
    if (b->BehindEye()) continue;  // not drawn, so it takes no room
    for (int i = 1; i <= b->VertexCount(); ++i) e.TakeIn(b->ScreenPoint(i).X, b->ScreenPoint(i).Y);
  }
  return TRect{e.Lo.X, e.Lo.Y, e.Hi.X, e.Hi.Y};
}

int TView3D::DefaultThreads() {
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

void TView3D::FillPicture(TPicture& picture, TPixel value, int threads) {
  const int height = picture.Height();
  const int bands =
      std::clamp(threads > 0 ? threads : DefaultThreads(), 1, std::max(std::min(height, kMaxThreads), 1));
  RunBands(bands, bands, [&](int b) {
    const int first = static_cast<int>(int64_t{height} * b / bands);
    const int last = static_cast<int>(int64_t{height} * (b + 1) / bands);
    picture.FillRect(0, first, picture.Width(), last, value);
  });
}

void TView3D::Render(TPicture& image, TPicture& mask, const TShadeRamp& buttonRamp,
                     const TShadeRamp& textRamp, int buttonType, bool withMask, int threads) {
  if (image.Empty() || image.BitsPerPixel() != 32) return;
  threads = std::clamp(threads > 0 ? threads : DefaultThreads(), 1, kMaxThreads);
  const int bands = BandCount(threads, image.Height());
  buffer_->SetSize(image.Height(), image.Width());
  buffer_->SetBands(bands);
  buffer_->LightColor = Params.LightColor;
  buffer_->MidBright = Params.Brightness;

  // Bodies are prepared each on its own, so several at once.
  RunBands(BodyCount(), threads, [&](int b) {
    Body(b + 1).Prepare(Params);
    Body(b + 1).SortFaces();
  });
  bodyList_.Clear();
  for (int i = 1; i <= BodyCount(); ++i) bodyList_.Add(i, Body(i).AvgKey());
  bodyList_.Sort();  // nearest bodies first

  // The button pass comes first, so the letters are always painted over the
  // button whatever their depths, and their shadow falls on the finished button.
  // Both are drawn into buffers of their own and painted in one sweep.
  const bool hasButton = buttonType > 0 && BodyCount() > 0;
  TZBuffer::TPassPaint passes[2];
  int count = 0;
  if (hasButton) {
    buttonBuffer_->SetSize(image.Height(), image.Width());
    buttonBuffer_->SetBands(bands);
    buttonBuffer_->LightColor = Params.LightColor;
    buttonBuffer_->MidBright = Params.Brightness;
  }
  // Each band stores the spans of its own rows, from every body in the order
  // one thread would draw them, so each row ends up as on one thread.
  bandEdges_.resize(static_cast<size_t>(bands));
  RunBands(bands, threads, [&](int b) {
    TBody::TEdgeTable& edges = bandEdges_[static_cast<size_t>(b)];
    int first, last;
    buffer_->BandRows(b, first, last);
    if (hasButton) Body(BodyCount()).DrawRows(*buttonBuffer_, true, first, last, edges);
    for (int i = 1; i <= bodyList_.Count(); ++i) {
      const int index = bodyList_.Item(i).Index;
      if (hasButton && index == BodyCount()) continue;
      Body(index).DrawRows(*buffer_, false, first, last, edges);
    }
  });
  if (hasButton) {
    SetPassTexture(*buttonBuffer_, ButtonTextured ? &buttonTexture_ : nullptr);
    passes[count++] = {
        buttonBuffer_.get(), &buttonRamp,
        TPassShadow{Params.ButtonAltitude > 0, Params.ButtonShadowDX, Params.ButtonShadowDY, true}};
  }
  SetPassTexture(*buffer_, TextTextured ? &textTexture_ : nullptr);
  passes[count++] = {buffer_.get(), &textRamp,
                     TPassShadow{Params.TextAltitude > 0, Params.TextShadowDX, Params.TextShadowDY, false}};
  TZBuffer::DrawPasses(image, withMask ? &mask : nullptr, passes, count, threads);
}

void TView3D::SetPassTexture(TZBuffer& buffer, const TPicture* texture) {
  if (texture)
    buffer.SetTexture(texture);
  else
    buffer.Textured = false;
}

void TView3D::SetButtonTexture(const TPicture& bitmap) {
  ButtonTextured = false;
  ButtonTextured = LoadTexture(bitmap, buttonTexture_);
}

void TView3D::SetTextTexture(const TPicture& bitmap) {
  TextTextured = false;
  TextTextured = LoadTexture(bitmap, textTexture_);
}

}  // namespace vantrix
