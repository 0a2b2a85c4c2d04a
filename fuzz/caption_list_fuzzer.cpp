// Parses arbitrary bytes as a caption list. Every line kept is either a usable
// caption (valid UTF-8 without control characters, at most 32 characters, a
// name for its file) or carries an error and nothing of its text; a refused
// list throws TCaptionListError and nothing else.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "imaging/Export.h"
#include "scene/CaptionList.h"

using namespace vantrix;
using vantrix::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<TCaptionLine> lines;
  try {
    lines = ParseCaptionList(text, "fuzz");
  } catch (const TCaptionListError&) {
    return 0;
  }
  Check(!lines.empty() && lines.size() <= kMaxCaptionLines);
  int previous = 0;
  for (const TCaptionLine& l : lines) {
    Check(l.Line > previous);
    previous = l.Line;
    if (!l.Error.empty()) {
      Check(l.Text.empty() && l.Link.empty());
      continue;
    }
    Check(!l.Text.empty() && l.Text.find('\0') == std::string::npos);
    const std::u32string chars = DecodeUtf8(l.Text, 0xFFFFFFFF);
    Check(chars.size() <= TCaption::kMaxChars);
    for (char32_t c : chars) Check(c != 0xFFFFFFFF && c >= 0x20);
    TCaption caption;
    caption.SetText(l.Text, TFontSpec{});
    Check(caption.TextUtf8() == l.Text);
    for (char c : DefaultExportName(caption)) Check(c >= 65 && c <= 126);
  }
  return 0;
}
