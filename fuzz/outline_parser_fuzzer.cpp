// Feeds arbitrary bytes to the scene's glyph outline parser as a native
// outline buffer. Byte 0 picks the curve detail; the rest is the buffer.
// The parser must end cleanly on any input and keep its limits.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "scene/SceneProbe_p.h"

using vantrix::fuzz::Check;

namespace {

class TQuiet : public vantrix::TMessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  static vantrix::TSceneProbe* scene = new vantrix::TSceneProbe();
  static TQuiet quiet;
  scene->Messages = &quiet;
  scene->ClearLetters();
  scene->PenX = 0;
  scene->Params.SplPnt = static_cast<int8_t>(data[0]);
  scene->NewLetter();
  scene->ParseOutline(data + 1, size - 1);
  const vantrix::TLetter& l = scene->Letter(1);
  Check(l.ContourCount() <= vantrix::TLetter::kMaxContours);
  for (const auto& c : l.Contours) Check(c.size() <= 1024);
  // The letters must also survive the geometry built from them.
  scene->Normalize();
  scene->BuildLetters();
  return 0;
}
