#pragma once
// Right-to-left ordering of a one-line caption with FriBidi.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantrix {

// The embedding level of every character (odd: right to left) of a paragraph whose
// direction is that of its first strong character (left to right when it has
// none), with trailing blanks at the paragraph level.
std::vector<uint8_t> BidiLevels(std::u32string_view text);

// The visual order, left to right, of runs of the given levels (each run of one
// level, in logical order): from the highest level down to the lowest odd one,
// every stretch of runs at that level or above is reversed.
std::vector<size_t> VisualRunOrder(const std::vector<uint8_t>& runLevels);

}  // namespace vantrix
