// Loads arbitrary bytes as a work file into a fresh scene and caption, reads
// its icon, and uses what was loaded the way opening a work does (light,
// ramps, roll-over phase). What loads must save and load again unchanged.
//
// Build and Render are left out: values a work may legitimately hold (optics
// factors, margins) can ask for pictures of hundreds of megabytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "platform/IniFile.h"
#include "scene/Ico2Ini.h"
#include "scene/WorkFile.h"

using vantrix::fuzz::Check;
using namespace vantrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 32768) return 0;
  const TIniFile ini =
      TIniFile::FromText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.vtxs");

  TPicture icon;
  try {
    if (IniToIcon(ini, "Icon", icon)) Check(!icon.Empty());
  } catch (const TWorkFileError&) {
  }

  TScene scene;
  TCaption caption;
  try {
    LoadWork(scene, caption, ini);
  } catch (const TWorkFileError&) {
    return 0;
  }
  Check(caption.Length() <= TCaption::kMaxChars);
  for (const TCaptionChar& c : caption.Chars())
    Check(c.Font.Size >= 1 && c.Font.Charset >= 0 && c.Font.Charset <= 255);

  TIniFile again;
  WriteWork(again, scene, caption);
  TScene reloaded;
  TCaption recaption;
  LoadWork(reloaded, recaption, again);
  const TParams &p = scene.Params, &q = reloaded.Params;
  Check(recaption.Length() == caption.Length());
  Check(p.ButTexFile == q.ButTexFile && p.TxtTexFile == q.TxtTexFile && p.ShapeName == q.ShapeName);
  Check(p.GutLeft == q.GutLeft && p.ButY == q.ButY && p.TxtY == q.TxtY && p.EffectType == q.EffectType);
  Check(p.ViewParams.LightColor == q.ViewParams.LightColor && scene.Effect.TxtY == reloaded.Effect.TxtY);
  for (int i = 0; i < caption.Length(); ++i)
    Check(caption.At(i).Font.FaceName == recaption.At(i).Font.FaceName &&
          caption.At(i).Char == recaption.At(i).Char);

  scene.SetLightAngles(p.ViewParams.LightA1, p.ViewParams.LightA2);
  scene.BuildRamp(true);
  scene.BuildRamp(false);
  const TPhase first = scene.SavePhase();
  scene.ApplyPhase(scene.Effect);
  scene.ApplyPhase(first);
  (void)TScene::CountNonBlank(caption.TextUtf8());
  return 0;
}
