// Builds a FreeType outline from arbitrary bytes (counts, contour ends, tags and
// coordinates all unchecked) and checks that the native buffer made of it is always
// well formed: polygons and records fill it exactly, every record is long enough.
//
// Input: byte 0 bit 0 = reverse; byte 1 = number of contours (at most 32); then one
// int16 end index per contour; then points of 9 bytes: tag, int32 x, int32 y (26.6).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "platform/NativeOutline.h"
#include "tests/support/NativeOutlineReader.h"

using vantrix::fuzz::Check;

namespace {

constexpr size_t kMaxInput = 16384;

int32_t Int32At(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return static_cast<int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const bool reverse = data[0] & 1;
  const size_t nContours = data[1] % 33;
  size_t pos = 2;
  if (size - pos < 2 * nContours) return 0;
  std::vector<short> ends(nContours);
  for (size_t c = 0; c < nContours; ++c, pos += 2) {
    ends[c] = static_cast<short>(data[pos] | data[pos + 1] << 8);
  }
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  for (; size - pos >= 9; pos += 9) {
    tags.push_back(static_cast<char>(data[pos]));
    points.push_back({Int32At(data + pos + 1), Int32At(data + pos + 5)});
  }
  FT_Outline outline{};
  outline.n_contours = static_cast<short>(nContours);
  outline.n_points = static_cast<short>(points.size());
  outline.points = points.data();
  outline.tags = tags.data();
  outline.contours = ends.data();

  const std::vector<uint8_t> buffer = vantrix::NativeOutlineFromFt(outline, reverse);
  std::vector<vantrix::testing::TContour> contours;
  Check(vantrix::testing::ReadOutline(buffer.data(), buffer.size(), contours).empty());
  Check(contours.size() <= nContours);
  for (const auto& c : contours) {
    // A contour never repeats its start as a straight closing point.
    const auto& last = c.Records.back();
    Check(!(last.Type == vantrix::kLineRecord && last.Points.back() == c.Start));
  }
  return 0;
}
