#include "app/logic/AdvancedOptions.h"

#include "app/logic/TypedValues.h"
#include "platform/Rounding.h"

namespace vantrix {

TAdvancedFields FieldsOfParams(const TParams& params) {
  TAdvancedFields f;
  f.XFactor = FormatReal(params.ViewParams.CnX);
  f.YFactor = FormatReal(params.ViewParams.CnZ);
  f.Shading = params.View.Smooth != 0 ? 1 : 0;
  f.Distance = std::to_string(params.Distance);
  const int64_t delay = int64_t{params.RDelay} * kDelayStepMs;
  f.DelayMs = static_cast<int>(delay < kMinDelayMs ? kMinDelayMs : delay > kMaxDelayMs ? kMaxDelayMs : delay);
  f.Top = std::to_string(params.GutTop);
  f.Bottom = std::to_string(params.GutBottom);
  f.Left = std::to_string(params.GutLeft);
  f.Right = std::to_string(params.GutRight);
  f.ViewSize = ClampInt(params.ViewSize, kMinViewSize, kMaxViewSize);
  return f;
}

namespace {

template <class TParse>
auto Take(const char* field, TParse parse) {
  try {
    return parse();
  } catch (const TConversionError& e) {
    throw TFieldError(field, e);
  }
}

}  // namespace

void TakeBackFields(const TAdvancedFields& f, TParams& params) {
  params.ViewParams.CnX = Take("X Factor", [&] { return ParseReal(f.XFactor); });
  params.ViewParams.CnZ = Take("Y Factor", [&] { return ParseReal(f.YFactor); });
  params.GutTop = Take("Top", [&] { return MakeInt(f.Top); });
  params.GutBottom = Take("Bottom", [&] { return MakeInt(f.Bottom); });
  params.GutLeft = Take("Left", [&] { return MakeInt(f.Left); });
  params.GutRight = Take("Right", [&] { return MakeInt(f.Right); });
  params.Distance = Take("Distance", [&] { return MakeInt(f.Distance); });
  params.View.Smooth = f.Shading;
  params.View.OffsetY = static_cast<float>(params.Distance);
  params.RDelay = f.DelayMs / kDelayStepMs;
  params.ViewSize = f.ViewSize;
}

}  // namespace vantrix
