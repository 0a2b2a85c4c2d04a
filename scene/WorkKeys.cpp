// The rows of the work file, section by section in the order a save writes
// them (see WorkKeys.h).

#include "scene/WorkKeys.h"

#include <type_traits>

#include "scene/Caption.h"

namespace vantrix {

namespace {

// A field reached from a Root through a path of members, e.g.
// Field<&TParams::ViewParams, &TViewParams::CnX>(); its type gives the kind.
template <class M>
struct TClassOf;
template <class T, class C>
struct TClassOf<T C::*> {
  using Type = C;
};

template <auto First, auto... Rest>
constexpr auto Field() {
  using Root = typename TClassOf<decltype(First)>::Type;
  return TField<Root>([](Root& r) -> TFieldPtr { return &((r.*First).*....*Rest); },
                      [](const Root& r) -> TConstFieldPtr { return &((r.*First).*....*Rest); });
}

// Ranges that values of a damaged or hand-made file are brought into. Where
// the program's own controls have a range, theirs is used, so that whatever
// loads is something the user could have set; that also keeps texture tiles
// no larger than the picture and shadows and depths within the picture's
// usual reach. Coordinates (margins, the held rectangle, bevel widths) are
// held to the span the caption extent starts from. Left as read, because
// their users guard them already: SplPnt, ButType, ColSplit, Distance,
// LoBright/HiBright, ShadType, the light vector and angles, CnX/CnZ and the
// view position.
constexpr TRange kTxtY{10, 310};     // caption extrusion slider
constexpr TRange kButY{-300, 0};     // minus the button extrusion slider
constexpr TRange kAltitude{0, 100};  // altitude sliders
constexpr TRange kBrightness{1, 254};
constexpr TRange kDelay{1, 10};      // 250..2500 ms
constexpr TRange kViewSize{10, 90};  // per cent
constexpr TRange kTexRepeat{1, 10};  // texture spin edits
constexpr TRange kCoordinate{-65535, 65535};
constexpr TRange kExportSide{1, 16384};
constexpr TRange kProfile{0, 3};      // straight, round, cove, two steps
constexpr TRange kPerMille{0, 1000};  // highlight and fill light strengths
constexpr TRange kGloss{1, 200};
// A letter's size in points, where below 1 counts as unreadable, and its
// character set, where anything outside 0..255 does.
constexpr TRange kFontSize{1, 1638, TOutside::Unreadable};
constexpr TRange kCharset{0, 255, TOutside::Unreadable, TOutside::Unreadable};

using P = TParams;
using V = TViewParams;
using B = TBodyTransform;
using S = TColorScheme;

constexpr std::string_view kGeneral = kGeneralSection;
constexpr std::string_view kMessage = kMessageSection;
constexpr std::string_view kButton = kButtonSection;
constexpr std::string_view kRender = kRenderSection;
constexpr std::string_view kLight = kLightSection;
constexpr std::string_view kEffect = kEffectSection;

constexpr TWorkKey<TParams> kParamKeys[] = {
    {kGeneral, "ExpWidth", Field<&P::ExpWidth>(), "ExpWidth", kExportSide},
    {kGeneral, "ExpHeight", Field<&P::ExpHeight>(), "ExpHeight", kExportSide},

    // [Message] opens with the caption's length, NLetters.
    {kMessage, "SplPnt", Field<&P::SplPnt>(), "SplPnt"},
    {kMessage, "TxtW", Field<&P::TxtW>(), "TxtW", kCoordinate},
    {kMessage, "TxtY", Field<&P::TxtY>(), "TxtY", kTxtY},
    {kMessage, "TexW", Field<&P::TxtTexW>(), "TxtTexW", kTexRepeat},
    {kMessage, "TexH", Field<&P::TxtTexH>(), "TxtTexH", kTexRepeat},
    {kMessage, "HoldRatio", Field<&P::TxtHoldRatio>(), "TxtHoldRatio"},
    {kMessage, "TexFile", Field<&P::TxtTexFile>(), "TxtTexFile"},
    {kMessage, "GutLeft", Field<&P::GutLeft>(), "GutLeft", kCoordinate},
    {kMessage, "GutRight", Field<&P::GutRight>(), "GutRight", kCoordinate},
    {kMessage, "GutTop", Field<&P::GutTop>(), "GutTop", kCoordinate},
    {kMessage, "GutBottom", Field<&P::GutBottom>(), "GutBottom", kCoordinate},
    {kMessage, "DColor", Field<&P::TxtColors, &S::DColor>(), "TxtColors.DColor"},
    {kMessage, "BColor", Field<&P::TxtColors, &S::BColor>(), "TxtColors.BColor"},
    {kMessage, "MColor", Field<&P::TxtColors, &S::MColor>(), "TxtColors.MColor"},
    {kMessage, "ColSplit", Field<&P::TxtColors, &S::ColSplit>(), "TxtColors.ColSplit"},
    {kMessage, "Altitude", Field<&P::ViewParams, &V::TextAltitude>(), "ViewParams.TextAltitude", kAltitude},
    {kMessage, "Kerning", Field<&P::Kerning>(), "Kerning", std::nullopt, true},
    {kMessage, "Profile", Field<&P::TxtProfile>(), "TxtProfile", kProfile, true},

    {kButton, "Type", Field<&P::ButType>(), "ButType"},
    {kButton, "ButW", Field<&P::ButW>(), "ButW", kCoordinate},
    {kButton, "ButY", Field<&P::ButY>(), "ButY", kButY},
    {kButton, "TexW", Field<&P::ButTexW>(), "ButTexW", kTexRepeat},
    {kButton, "TexH", Field<&P::ButTexH>(), "ButTexH", kTexRepeat},
    {kButton, "HoldRatio", Field<&P::ButHoldRatio>(), "ButHoldRatio"},
    {kButton, "TexFile", Field<&P::ButTexFile>(), "ButTexFile"},
    {kButton, "BkgColor", Field<&P::BkgColor>(), "BkgColor"},
    {kButton, "DColor", Field<&P::ButColors, &S::DColor>(), "ButColors.DColor"},
    {kButton, "BColor", Field<&P::ButColors, &S::BColor>(), "ButColors.BColor"},
    {kButton, "MColor", Field<&P::ButColors, &S::MColor>(), "ButColors.MColor"},
    {kButton, "ColSplit", Field<&P::ButColors, &S::ColSplit>(), "ButColors.ColSplit"},
    {kButton, "Altitude", Field<&P::ViewParams, &V::ButtonAltitude>(), "ViewParams.ButtonAltitude",
     kAltitude},
    {kButton, "HoldButtonSize", Field<&P::HoldButtonSize>(), "HoldButtonSize"},
    {kButton, "ButTop", Field<&P::ButTop>(), "ButTop", kCoordinate},
    {kButton, "ButLeft", Field<&P::ButLeft>(), "ButLeft", kCoordinate},
    {kButton, "ButRight", Field<&P::ButRight>(), "ButRight", kCoordinate},
    {kButton, "ButBottom", Field<&P::ButBottom>(), "ButBottom", kCoordinate},
    {kButton, "ShapeName", Field<&P::ShapeName>(), "ShapeName"},
    {kButton, "Profile", Field<&P::ButProfile>(), "ButProfile", kProfile, true},

    {kRender, "Distance", Field<&P::Distance>(), "Distance"},
    {kRender, "Bright", Field<&P::Bright>(), "Bright"},
    {kRender, "Brightness", Field<&P::ViewParams, &V::Brightness>(), "ViewParams.Brightness", kBrightness},
    {kRender, "Contrast", Field<&P::Contrast>(), "Contrast"},
    {kRender, "ShadType", Field<&P::View, &B::Smooth>(), "View.Smooth"},
    {kRender, "RDelay", Field<&P::RDelay>(), "RDelay", kDelay},
    {kRender, "ViewSize", Field<&P::ViewSize>(), "ViewSize", kViewSize},
    {kRender, "X", Field<&P::View, &B::OffsetX>(), "View.OffsetX"},
    {kRender, "Y", Field<&P::View, &B::OffsetY>(), "View.OffsetY"},
    {kRender, "Z", Field<&P::View, &B::OffsetZ>(), "View.OffsetZ"},
    {kRender, "Ax", Field<&P::View, &B::AngleX>(), "View.AngleX"},
    {kRender, "Ay", Field<&P::View, &B::AngleY>(), "View.AngleY"},
    {kRender, "Az", Field<&P::View, &B::AngleZ>(), "View.AngleZ"},
    {kRender, "CnX", Field<&P::ViewParams, &V::CnX>(), "ViewParams.CnX"},
    {kRender, "CnZ", Field<&P::ViewParams, &V::CnZ>(), "ViewParams.CnZ"},

    {kLight, "X", Field<&P::ViewParams, &V::LightX>(), "ViewParams.LightX"},
    {kLight, "Y", Field<&P::ViewParams, &V::LightY>(), "ViewParams.LightY"},
    {kLight, "Z", Field<&P::ViewParams, &V::LightZ>(), "ViewParams.LightZ"},
    {kLight, "A", Field<&P::ViewParams, &V::LightLen>(), "ViewParams.LightLen"},
    {kLight, "a1", Field<&P::ViewParams, &V::LightA1>(), "ViewParams.LightA1"},
    {kLight, "a2", Field<&P::ViewParams, &V::LightA2>(), "ViewParams.LightA2"},
    {kLight, "LoBright", Field<&P::ViewParams, &V::LoBright>(), "ViewParams.LoBright"},
    {kLight, "HiBright", Field<&P::ViewParams, &V::HiBright>(), "ViewParams.HiBright"},
    {kLight, "Color", Field<&P::ViewParams, &V::LightColor>(), "ViewParams.LightColor"},
    {kLight, "Specular", Field<&P::ViewParams, &V::Specular>(), "ViewParams.Specular", kPerMille, true},
    {kLight, "Gloss", Field<&P::ViewParams, &V::Gloss>(), "ViewParams.Gloss", kGloss, true},
    {kLight, "Fill", Field<&P::ViewParams, &V::Fill>(), "ViewParams.Fill", kPerMille, true},

    // [Effect] goes on with EffectKeys() when the effect is on.
    {kEffect, "Type", Field<&P::EffectType>(), "EffectType"},

    // Follow from the picture size and the altitudes when a work is opened.
    {{}, {}, Field<&P::ViewParams, &V::CentreX>(), "ViewParams.CentreX"},
    {{}, {}, Field<&P::ViewParams, &V::CentreY>(), "ViewParams.CentreY"},
    {{}, {}, Field<&P::ViewParams, &V::ButtonShadowDX>(), "ViewParams.ButtonShadowDX"},
    {{}, {}, Field<&P::ViewParams, &V::ButtonShadowDY>(), "ViewParams.ButtonShadowDY"},
    {{}, {}, Field<&P::ViewParams, &V::TextShadowDX>(), "ViewParams.TextShadowDX"},
    {{}, {}, Field<&P::ViewParams, &V::TextShadowDY>(), "ViewParams.TextShadowDY"},
};

constexpr TWorkKey<TPhase> kEffectKeys[] = {
    {kEffect, "BColor", Field<&TPhase::BColor>(), "BColor"},
    {kEffect, "TColor", Field<&TPhase::TColor>(), "TColor"},
    {kEffect, "LColor", Field<&TPhase::LColor>(), "LColor"},
    {kEffect, "ButY", Field<&TPhase::ButY>(), "ButY", kButY},
    {kEffect, "TxtY", Field<&TPhase::TxtY>(), "TxtY", kTxtY},
};

using F = TFontSpec;
constexpr TWorkKey<TFontSpec> kLetterKeys[] = {
    {{}, "Name", Field<&F::FaceName>(), "Name"},
    {{}, "Size", Field<&F::Size>(), "Size", kFontSize},
    {{}, "Charset", Field<&F::Charset>(), "Charset", kCharset},
    {{}, "Bold", Field<&F::Bold>(), "Bold"},
    {{}, "Italic", Field<&F::Italic>(), "Italic"},
    {{}, "Underline", Field<&F::Underline>(), "Underline"},
    {{}, {}, Field<&F::Strikeout>(), "Strikeout"},  // not stored: off in a loaded letter
};

}  // namespace

std::span<const TWorkKey<TParams>> ParamKeys() {
  return kParamKeys;
}

std::span<const TWorkKey<TPhase>> EffectKeys() {
  return kEffectKeys;
}

std::span<const TWorkKey<TFontSpec>> LetterKeys() {
  return kLetterKeys;
}

}  // namespace vantrix
