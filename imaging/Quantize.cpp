#include "imaging/Quantize.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

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

// Count-weighted sums of a set of colours; q sums the squared channel values.
struct TMoments {
  double w = 0, r = 0, g = 0, b = 0, q = 0;
  void Add(const TColorCount& c) {
    const double n = c.Count;
    const double cr = Channel(c.Rgb, 0), cg = Channel(c.Rgb, 1), cb = Channel(c.Rgb, 2);
    w += n;
    r += n * cr;
    g += n * cg;
    b += n * cb;
    q += n * (cr * cr + cg * cg + cb * cb);
  }
  TMoments operator-(const TMoments& o) const { return {w - o.w, r - o.r, g - o.g, b - o.b, q - o.q}; }
  TMoments& operator+=(const TMoments& o) {
    w += o.w;
    r += o.r;
    g += o.g;
    b += o.b;
    q += o.q;
    return *this;
  }
  // Summed squared distance of the colours to their mean.
  double Error() const { return w > 0 ? q - (r * r + g * g + b * b) / w : 0.0; }
  TRgb Mean() const {
    if (w <= 0) return {};
    return {static_cast<uint8_t>(ClampInt(RoundInt(r / w), 0, 255)),
            static_cast<uint8_t>(ClampInt(RoundInt(g / w), 0, 255)),
            static_cast<uint8_t>(ClampInt(RoundInt(b / w), 0, 255))};
  }
};

TMoments BoxMoments(const std::vector<TColorCount>& colors, size_t begin, size_t end) {
  TMoments m;
  for (size_t i = begin; i < end; ++i) m.Add(colors[i]);
  return m;
}

// A box of the splitting quantizers: a range of the working colour list.
struct TBox {
  size_t Begin = 0;
  size_t End = 0;
  double Gain = -1.0;  // error saved by the best cut; negative: cannot be cut
  int Axis = 0;
  int Cut = 0;  // colours with channel value <= Cut go to the first half
};

// Per-value sums of one box on each channel; zero between uses.
using TBins = std::array<std::array<TMoments, 256>, 3>;

// Finds the cut of the box that lowers the summed squared error the most.
// Only the values the box spans are scanned, and only they are cleared after.
void FindBestCut(const std::vector<TColorCount>& colors, TBox& box, TBins& bins) {
  TMoments total;
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (size_t i = box.Begin; i < box.End; ++i) {
    const TColorCount& c = colors[i];
    TMoments one;
    one.Add(c);
    total += one;
    for (int a = 0; a < 3; ++a) {
      const int v = Channel(c.Rgb, a);
      bins[a][v] += one;
      lo[a] = std::min(lo[a], v);
      hi[a] = std::max(hi[a], v);
    }
  }
  const double whole = total.Error();
  box.Gain = -1.0;
  for (int a = 0; a < 3; ++a) {
    TMoments left;
    for (int v = lo[a]; v < hi[a]; ++v) {
      if (bins[a][v].w == 0) continue;
      left += bins[a][v];
      const double gain = whole - left.Error() - (total - left).Error();
      if (gain > box.Gain) {
        box.Gain = gain;
        box.Axis = a;
        box.Cut = v;
      }
    }
    if (box.End > box.Begin) std::fill(bins[a].begin() + lo[a], bins[a].begin() + hi[a] + 1, TMoments{});
  }
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
  auto bins = std::make_unique<TBins>();
  std::vector<TBox> boxes(1);
  boxes[0].End = colors.size();
  FindBestCut(colors, boxes[0], *bins);
  while (static_cast<int>(boxes.size()) < count) {
    size_t pick = 0;
    for (size_t i = 1; i < boxes.size(); ++i)
      if (boxes[i].Gain > boxes[pick].Gain) pick = i;
    TBox box = boxes[pick];
    if (box.Gain <= 0) break;
    const auto mid = std::partition(
        colors.begin() + static_cast<ptrdiff_t>(box.Begin), colors.begin() + static_cast<ptrdiff_t>(box.End),
        [&](const TColorCount& c) { return Channel(c.Rgb, box.Axis) <= box.Cut; });
    const size_t split = static_cast<size_t>(mid - colors.begin());
    TBox low{box.Begin, split}, high{split, box.End};
    FindBestCut(colors, low, *bins);
    FindBestCut(colors, high, *bins);
    boxes[pick] = low;
    boxes.push_back(high);
  }
  TPalette p;
  for (const TBox& b : boxes) p.push_back(BoxMoments(colors, b.Begin, b.End).Mean());
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
      sums[idx].Add(c);
    }
    if (!(error < bestError)) break;
    const bool small = bestError - error < kMinGain * error;
    bestError = error;
    best = palette;
    if (small || error == 0) break;
    bool reseeded = false;
    for (size_t i = fixedCount; i < palette.size(); ++i) {
      if (sums[i].w > 0) {
        palette[i] = sums[i].Mean();
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
  for (const TRange& b : boxes) p.push_back(BoxMoments(work, b.Begin, b.End).Mean());
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
