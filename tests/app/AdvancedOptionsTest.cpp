#include <gtest/gtest.h>

#include <cstring>

#include "app/logic/AdvancedOptions.h"
#include "app/logic/TypedValues.h"

namespace vantrix {
namespace {

// The record compared field by field through its work-file form is too coarse
// for floats; these are the fields the dialog touches.
void ExpectSameOptions(const TParams& a, const TParams& b) {
  EXPECT_EQ(a.ViewParams.CnX, b.ViewParams.CnX);
  EXPECT_EQ(a.ViewParams.CnZ, b.ViewParams.CnZ);
  EXPECT_EQ(a.View.Smooth, b.View.Smooth);
  EXPECT_EQ(a.Distance, b.Distance);
  EXPECT_EQ(a.RDelay, b.RDelay);
  EXPECT_EQ(a.GutTop, b.GutTop);
  EXPECT_EQ(a.GutBottom, b.GutBottom);
  EXPECT_EQ(a.GutLeft, b.GutLeft);
  EXPECT_EQ(a.GutRight, b.GutRight);
  EXPECT_EQ(a.ViewSize, b.ViewSize);
}

TEST(AdvancedOptions, OkWithoutChangesKeepsEveryValueInRange) {
  TParams p;
  p.ViewParams.CnX = 437.125f;
  p.ViewParams.CnZ = 0.1f;
  p.View.Smooth = 1;
  p.Distance = 2100;
  p.RDelay = 4;
  p.GutTop = 7;
  p.ViewSize = 85;
  TParams back = p;
  TakeBackFields(FieldsOfParams(p), back);
  ExpectSameOptions(back, p);
  EXPECT_EQ(back.View.OffsetY, 2100.f);  // the view moves to the distance
}

TEST(AdvancedOptions, ValuesOutsideTheControlsComeBackAtTheirEnds) {
  struct Case {
    int rDelay, viewSize, gutLeft;
    int shownDelay, shownView;
    const char* shownLeft;
    int storedDelay, storedView, storedLeft;
  } cases[] = {
      {20, 95, -5, 2500, 90, "-5", 10, 90, 5},
      {3, 50, 192, 750, 50, "192", 3, 50, 192},
      {0, 5, 0, 250, 10, "0", 1, 10, 0},
  };
  for (const Case& c : cases) {
    TParams p;
    p.RDelay = c.rDelay;
    p.ViewSize = c.viewSize;
    p.GutLeft = c.gutLeft;
    const TAdvancedFields f = FieldsOfParams(p);
    EXPECT_EQ(f.DelayMs, c.shownDelay);
    EXPECT_EQ(f.ViewSize, c.shownView);
    EXPECT_EQ(f.Left, c.shownLeft);
    TakeBackFields(f, p);
    EXPECT_EQ(p.RDelay, c.storedDelay);
    EXPECT_EQ(p.ViewSize, c.storedView);
    EXPECT_EQ(p.GutLeft, c.storedLeft);
  }
}

TEST(AdvancedOptions, TypedFieldsAndTheirErrors) {
  TParams p;
  TAdvancedFields f = FieldsOfParams(p);
  f.Distance = "1 500";
  f.DelayMs = 2500;
  TakeBackFields(f, p);
  EXPECT_EQ(p.Distance, 1500);
  EXPECT_EQ(p.RDelay, 10);

  struct Bad {
    std::string TAdvancedFields::*field;
    const char* text;
    const char* message;
  } bad[] = {
      {&TAdvancedFields::XFactor, "4,5", "'4,5' is not a valid floating point value"},
      {&TAdvancedFields::YFactor, "", "'' is not a valid floating point value"},
      {&TAdvancedFields::Distance, "abc", "'' is not a valid integer value"},
      {&TAdvancedFields::Right, "-", "'' is not a valid integer value"},
  };
  for (const Bad& b : bad) {
    TAdvancedFields g = FieldsOfParams(TParams{});
    g.*b.field = b.text;
    TParams copy;
    try {
      TakeBackFields(g, copy);
      ADD_FAILURE() << b.text;
    } catch (const TConversionError& e) {
      EXPECT_STREQ(e.what(), b.message);
    }
  }
}

}  // namespace
}  // namespace vantrix
