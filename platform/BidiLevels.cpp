#include "platform/BidiLevels.h"

#include <fribidi.h>

#include <algorithm>

namespace vantrix {

std::vector<uint8_t> BidiLevels(std::u32string_view text) {
  const auto len = static_cast<FriBidiStrIndex>(text.size());
  std::vector<uint8_t> out(text.size(), 0);
  if (len == 0) return out;
  std::vector<FriBidiChar> chars(text.begin(), text.end());
  std::vector<FriBidiCharType> types(text.size());
  std::vector<FriBidiBracketType> brackets(text.size());
  std::vector<FriBidiLevel> levels(text.size());
  fribidi_get_bidi_types(chars.data(), len, types.data());
  fribidi_get_bracket_types(chars.data(), len, types.data(), brackets.data());
  FriBidiParType direction = FRIBIDI_PAR_ON;  // from the first strong character
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), len, &direction, levels.data()) == 0)
    return out;
  // Reordering a line applies rule L1 to the levels; the order itself is the
  // caller's, run by run.
  if (fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, types.data(), len, 0, direction, levels.data(), nullptr,
                           nullptr) == 0)
    return out;
  std::transform(levels.begin(), levels.end(), out.begin(),
                 [](FriBidiLevel l) { return static_cast<uint8_t>(l); });
  return out;
}

std::vector<size_t> VisualRunOrder(const std::vector<uint8_t>& runLevels) {
  std::vector<size_t> order(runLevels.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (runLevels.empty()) return order;
  const uint8_t highest = *std::max_element(runLevels.begin(), runLevels.end());
  uint8_t lowestOdd = 255;
  for (uint8_t l : runLevels)
    if (l % 2 == 1) lowestOdd = std::min(lowestOdd, l);
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    size_t i = 0;
    while (i < order.size()) {
      if (runLevels[order[i]] < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < order.size() && runLevels[order[j]] >= level) ++j;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i),
                   order.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
  return order;
}

}  // namespace vantrix
