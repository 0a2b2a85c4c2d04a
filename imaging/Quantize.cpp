#include "imaging/Quantize.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <stdexcept>

#include "imaging/BoxCut_p.h"
#include "imaging/ColorMatcher.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

int Channel(uint32_t rgb, int axis) {
  return static_cast<int>((rgb >> (16 - 8 * axis)) & 0xFF);
}

TRgb Unpack(uint32_t rgb) {
  return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
}

// Least-significant-digit radix sort of 24-bit keys, a byte per pass.
void SortKeys(std::vector<uint32_t>& keys) {
  std::vector<uint32_t> tmp(keys.size());
  for (int shift = 0; shift < 24; shift += 8) {
    std::array<size_t, 257> pos{};
    for (uint32_t k : keys) ++pos[((k >> shift) & 0xFF) + 1];
    for (int i = 0; i < 256; ++i) pos[i + 1] += pos[i];
    for (uint32_t k : keys) tmp[pos[(k >> shift) & 0xFF]++] = k;
    keys.swap(tmp);
  }
}

using TMoments = boxcut::TMoments<3>;

// The box cuts' view of the histogram.
struct TColorItems {
  using TItem = TColorCount;
  static constexpr bool kStablePartition = false;
  static int Bin(const TColorCount& c, int axis) { return Channel(c.Rgb, axis); }
  static void Add(TMoments& m, const TColorCount& c) {
    const double n = c.Count;
    const double cr = Channel(c.Rgb, 0), cg = Channel(c.Rgb, 1), cb = Channel(c.Rgb, 2);
    m.W += n;
    m.S[0] += n * cr;
    m.S[1] += n * cg;
    m.S[2] += n * cb;
    m.Q += n * (cr * cr + cg * cg + cb * cb);
  }
  static double Error(const TMoments& m) {
    return m.W > 0 ? m.Q - (m.S[0] * m.S[0] + m.S[1] * m.S[1] + m.S[2] * m.S[2]) / m.W : 0.0;
  }
};

TRgb MeanOf(const TMoments& m) {
  if (m.W <= 0) return {};
  return {static_cast<uint8_t>(ClampInt(RoundInt(m.S[0] / m.W), 0, 255)),
          static_cast<uint8_t>(ClampInt(RoundInt(m.S[1] / m.W), 0, 255)),
          static_cast<uint8_t>(ClampInt(RoundInt(m.S[2] / m.W), 0, 255))};
}

TRgb BoxMean(const std::vector<TColorCount>& colors, size_t begin, size_t end) {
  TMoments m;
  for (size_t i = begin; i < end; ++i) TColorItems::Add(m, colors[i]);
  return MeanOf(m);
}

TPalette ExactColors(const std::vector<TColorCount>& histogram, const TPalette& fixed) {
  TPalette p = fixed;
  for (const TColorCount& c : histogram) {
    const TRgb rgb = Unpack(c.Rgb);
    if (std::find(fixed.begin(), fixed.end(), rgb) == fixed.end()) p.push_back(rgb);
  }
  return p;
}

TPalette VarianceSplit(std::vector<TColorCount> colors, int count) {
  TPalette p;
  for (const boxcut::TBox& b : boxcut::SplitBoxes<3, TColorItems>(colors, count))
    p.push_back(BoxMean(colors, b.Begin, b.End));
  return p;
}

int SquaredDistance(const TRgb& a, uint32_t rgb) {
  const int dr = a.R - Channel(rgb, 0), dg = a.G - Channel(rgb, 1), db = a.B - Channel(rgb, 2);
  return dr * dr + dg * dg + db * db;
}

int NearestByFullSearch(const TPalette& palette, uint32_t rgb) {
  int best = 0, bestDist = SquaredDistance(palette[0], rgb);
  for (size_t i = 1; i < palette.size() && bestDist > 0; ++i) {
    const int d = SquaredDistance(palette[i], rgb);
    if (d < bestDist) {
      bestDist = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

// Lloyd passes: entries from `fixedCount` on move to the mean of the colours
// that match them. Stops when a pass gains less than a small fraction.
TPalette Refine(const std::vector<TColorCount>& histogram, TPalette palette, size_t fixedCount) {
  constexpr int kMaxPasses = 8;
  constexpr double kMinGain = 2e-3;
  TPalette best = palette;
  double bestError = std::numeric_limits<double>::infinity();
  std::vector<TMoments> sums(palette.size());
  // Building the matcher's cells costs more than a full search when there
  // are few colours to match.
  const bool fullSearch = histogram.size() <= 4096;
  for (int pass = 0; pass <= kMaxPasses; ++pass) {
    std::optional<TColorMatcher> matcher;
    if (!fullSearch) matcher.emplace(palette);
    std::fill(sums.begin(), sums.end(), TMoments{});
    double error = 0;
    double worst = -1;
    uint32_t worstRgb = 0;
    for (const TColorCount& c : histogram) {
      const int idx = fullSearch ? NearestByFullSearch(palette, c.Rgb)
                                 : matcher->Nearest(Channel(c.Rgb, 0), Channel(c.Rgb, 1), Channel(c.Rgb, 2));
      const double e = static_cast<double>(c.Count) * SquaredDistance(palette[idx], c.Rgb);
      error += e;
      if (e > worst) {
        worst = e;
        worstRgb = c.Rgb;
      }
      TColorItems::Add(sums[idx], c);
    }
    if (!(error < bestError)) break;
    const bool small = bestError - error < kMinGain * error;
    bestError = error;
    best = palette;
    if (small || error == 0) break;
    bool reseeded = false;
    for (size_t i = fixedCount; i < palette.size(); ++i) {
      if (sums[i].W > 0) {
        palette[i] = MeanOf(sums[i]);
      } else if (!reseeded) {
        // An entry nobody uses is worth more at the colour that is served worst.
        palette[i] = Unpack(worstRgb);
        reseeded = true;
      }
    }
  }
  return best;
}

}  // namespace

std::vector<TColorCount> ColorHistogram(const TPicture& picture, const std::vector<uint8_t>* mask) {
  const int w = picture.Width(), h = picture.Height();
  if (picture.Empty()) return {};
  const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
  if (mask != nullptr && mask->size() != pixels)
    throw std::invalid_argument("transparency mask size does not match the picture");
  std::vector<uint32_t> keys;
  keys.reserve(pixels);
  const int bpp = picture.BytesPerPixel();
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = picture.Row(y);
    const uint8_t* m = mask != nullptr ? mask->data() + static_cast<size_t>(y) * w : nullptr;
    for (int x = 0; x < w; ++x, p += bpp)
      if (m == nullptr || m[x] == 0) keys.push_back(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
  }
  SortKeys(keys);
  std::vector<TColorCount> out;
  for (size_t i = 0; i < keys.size();) {
    size_t j = i + 1;
    while (j < keys.size() && keys[j] == keys[i]) ++j;
    out.push_back({keys[i], static_cast<uint32_t>(j - i)});
    i = j;
  }
  return out;
}

TPalette MedianCutPalette(const std::vector<TColorCount>& histogram, int colors) {
  colors = std::clamp(colors, 1, kMaxPaletteSize);
  if (histogram.size() <= static_cast<size_t>(colors)) return ExactColors(histogram, {});
  std::vector<TColorCount> work = histogram;
  struct TRange {
    size_t Begin, End;
    int Axis, Extent;
  };
  auto measure = [&](size_t begin, size_t end) {
    TRange r{begin, end, 0, -1};
    for (int a = 0; a < 3; ++a) {
      int lo = 255, hi = 0;
      for (size_t i = begin; i < end; ++i) {
        lo = std::min(lo, Channel(work[i].Rgb, a));
        hi = std::max(hi, Channel(work[i].Rgb, a));
      }
      if (hi - lo > r.Extent) {
        r.Extent = hi - lo;
        r.Axis = a;
      }
    }
    return r;
  };
  std::vector<TRange> boxes{measure(0, work.size())};
  while (static_cast<int>(boxes.size()) < colors) {
    size_t pick = 0;
    for (size_t i = 1; i < boxes.size(); ++i)
      if (boxes[i].Extent > boxes[pick].Extent) pick = i;
    const TRange box = boxes[pick];
    if (box.Extent <= 0) break;
    const auto first = work.begin() + static_cast<ptrdiff_t>(box.Begin);
    const auto last = work.begin() + static_cast<ptrdiff_t>(box.End);
    std::sort(first, last, [&](const TColorCount& a, const TColorCount& b) {
      const int ca = Channel(a.Rgb, box.Axis), cb = Channel(b.Rgb, box.Axis);
      return ca != cb ? ca < cb : a.Rgb < b.Rgb;
    });
    double total = 0;
    for (size_t i = box.Begin; i < box.End; ++i) total += work[i].Count;
    double running = 0;
    size_t split = box.Begin;
    while (split < box.End - 1 && running + work[split].Count <= total / 2) running += work[split++].Count;
    if (split == box.Begin) split = box.Begin + 1;
    boxes[pick] = measure(box.Begin, split);
    boxes.push_back(measure(split, box.End));
  }
  TPalette p;
  for (const TRange& b : boxes) p.push_back(BoxMean(work, b.Begin, b.End));
  return p;
}

TPalette OptimizedPalette(const std::vector<TColorCount>& histogram, int colors, const TPalette& fixed) {
  colors = std::clamp(colors, 0,
                      kMaxPaletteSize - static_cast<int>(std::min<size_t>(fixed.size(), kMaxPaletteSize)));
  if (histogram.size() <= static_cast<size_t>(colors)) return ExactColors(histogram, fixed);
  TPalette start = fixed;
  if (colors > 0) {
    const TPalette split = VarianceSplit(histogram, colors);
    start.insert(start.end(), split.begin(), split.end());
  }
  if (start.empty()) return start;
  return Refine(histogram, std::move(start), fixed.size());
}

double HistogramError(const std::vector<TColorCount>& histogram, const TPalette& palette) {
  if (palette.empty()) return 0;
  TColorMatcher matcher(palette);
  double error = 0;
  for (const TColorCount& c : histogram) {
    const int idx = matcher.Nearest(Channel(c.Rgb, 0), Channel(c.Rgb, 1), Channel(c.Rgb, 2));
    error += static_cast<double>(c.Count) * SquaredDistance(palette[idx], c.Rgb);
  }
  return error;
}

}  // namespace vantrix
