#include "app/logic/ExportSize.h"

#include <algorithm>
#include <tuple>

#include "imaging/ExportNames.h"
#include "platform/Rounding.h"

namespace vantrix {

void TExportSize::Start(int32_t width, int32_t height) {
  ExportWidth = NaturalWidth = width;
  ExportHeight = NaturalHeight = height;
}

bool TExportSize::FollowPicture(int32_t width, int32_t height) {
  if (width == NaturalWidth && height == NaturalHeight) return false;
  NaturalWidth = width;
  NaturalHeight = height;
  if (width <= 0 || height <= 0) return true;
  std::tie(ExportWidth, ExportHeight) = DefaultExportSize(width, height);
  return true;
}

void TExportSize::Apply(bool widthChanged, bool constrain) {
  if (widthChanged)
    ExportWidth = std::min(ExportWidth, kMaxExportWidth);
  else
    ExportHeight = std::min(ExportHeight, kMaxExportHeight);
  if (!constrain || NaturalWidth <= 0 || NaturalHeight <= 0) return;
  if (widthChanged)
    ExportHeight = RoundInt(double(ExportWidth) * NaturalHeight / NaturalWidth);
  else
    ExportWidth = RoundInt(double(ExportHeight) * NaturalWidth / NaturalHeight);
}

int32_t TExportSize::WidthRuler() const {
  return ClampInt(ExportWidth, kWidthRulerMin, kWidthRulerMax);
}

int32_t TExportSize::HeightRuler() const {
  return ClampInt(-ExportHeight, kHeightRulerMin, kHeightRulerMax);
}

int32_t HeightOfRuler(int32_t position) {
  return std::max(-position, kMinRulerHeight);
}

std::pair<int32_t, int32_t> SetExportSize(const TExportSize& window, int32_t width, int32_t height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  int32_t w = 0, h = 0;
  if (window.NaturalWidth > 0 && window.NaturalHeight > 0 && window.ExportWidth > 0 &&
      window.ExportHeight > 0) {
    // Each side as the window's: a stretch the user chose carries over.
    w = RoundInt(static_cast<double>(width) * window.ExportWidth / window.NaturalWidth);
    h = RoundInt(static_cast<double>(height) * window.ExportHeight / window.NaturalHeight);
  } else {
    TExportSize start;
    start.FollowPicture(width, height);
    w = start.ExportWidth;
    h = start.ExportHeight;
  }
  return {std::clamp(w, 1, kMaxExportWidth), std::clamp(h, 1, kMaxExportHeight)};
}

}  // namespace vantrix
