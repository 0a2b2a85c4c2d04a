#pragma once
// The Advanced Options dialog's fields as text and spinner values, made from a
// copy of the scene parameters and taken back into it. The delay is edited in
// milliseconds (250 per timer tick) and the spinners hold their ranges, so a
// value outside them is shown, and stored, at the nearest end. Integer fields
// keep only their digits: no margin or distance can become negative.

#include <string>

#include "app/logic/TypedValues.h"
#include "scene/Scene.h"

namespace vantrix {

inline constexpr int kDelayStepMs = 250;
inline constexpr int kMinDelayMs = 250, kMaxDelayMs = 2500;
inline constexpr int kMinViewSize = 10, kMaxViewSize = 90;

struct TAdvancedFields {
  std::string XFactor, YFactor;  // optics factors
  int Shading = 0;               // 0 flat, 1 smooth
  std::string Distance;
  int DelayMs = 750;
  std::string Top, Bottom, Left, Right;  // margins around the caption
  int ViewSize = 50;                     // preview size in percent
};

TAdvancedFields FieldsOfParams(const TParams& params);

// A field that holds no number: the conversion's message, and the field's
// label ("X Factor", "Distance", "Top", ...).
class TFieldError : public TConversionError {
 public:
  TFieldError(std::string field, const TConversionError& error)
      : TConversionError(error.what()), Field(std::move(field)) {}
  std::string Field;
};

// Takes the fields back in the dialog's order (factors, margins, distance,
// shading, view position, delay, preview size). A field that is not a number
// throws TFieldError and leaves the fields after it out; the caller then
// drops the copy.
void TakeBackFields(const TAdvancedFields& fields, TParams& params);

}  // namespace vantrix
