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

void TakeBackFields(const TAdvancedFields& f, TParams& params) {
  params.ViewParams.CnX = ParseReal(f.XFactor);
  params.ViewParams.CnZ = ParseReal(f.YFactor);
  params.GutTop = MakeInt(f.Top);
  params.GutBottom = MakeInt(f.Bottom);
  params.GutLeft = MakeInt(f.Left);
  params.GutRight = MakeInt(f.Right);
  params.Distance = MakeInt(f.Distance);
  params.View.Smooth = f.Shading;
  params.View.OffsetY = static_cast<float>(params.Distance);
  params.RDelay = f.DelayMs / kDelayStepMs;
  params.ViewSize = f.ViewSize;
}

}  // namespace vantrix
