#pragma once
// The scene's build steps and glyph state, opened for the scene's white-box
// tests and the outline parser's fuzz target: a scene that can be driven one
// step at a time. Nothing in the product includes this.

#include "scene/Scene.h"

namespace vantrix {

class TSceneProbe : public TScene {
 public:
  using TScene::AddCapPlane;
  using TScene::AddCharGlyph;
  using TScene::AddGlyph;
  using TScene::BuildButton;
  using TScene::BuildLetters;
  using TScene::ClearLetters;
  using TScene::Letter;
  using TScene::MakeOutline;
  using TScene::NewLetter;
  using TScene::Normalize;
  using TScene::ParseOutline;
  using TScene::SelectLetterFont;
  using TScene::Unions;

  using TScene::CaptionExtent;
  using TScene::Glyphs;
  using TScene::Letters;
  using TScene::PenX;
  using TScene::PointCount;
  using TScene::Points;
};

}  // namespace vantrix
