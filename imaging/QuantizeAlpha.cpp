#include "imaging/QuantizeAlpha.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "imaging/BoxCut_p.h"
#include "imaging/Dither.h"
#include "platform/Rounding.h"

namespace vantrix {
namespace {

using TVec4 = std::array<double, 4>;

// The palette is searched in the colour each pixel shows over black and over
// white (six values): a distance there is the error over either page, so the
// drop shadows' translucent pixels, whose errors show over a light page in all
// three channels at once, get the entries they need. Both composites are
// linear in the premultiplied colour, so means map back exactly.
constexpr int kDims = 6;
using TPoint6 = std::array<double, kDims>;

uint32_t KeyOf(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

TVec4 Premultiplied(uint32_t key) {
  const double a = key & 0xFF;
  return {(key >> 24) * a / 255.0, ((key >> 16) & 0xFF) * a / 255.0, ((key >> 8) & 0xFF) * a / 255.0, a};
}

double Distance(const TVec4& a, const TVec4& b) {
  double d = 0;
  for (int c = 0; c < 4; ++c) d += (a[c] - b[c]) * (a[c] - b[c]);
  return d;
}

TPoint6 Composites(uint32_t key) {
  const TVec4 p = Premultiplied(key);
  return {p[0], p[1], p[2], p[0] + 255 - p[3], p[1] + 255 - p[3], p[2] + 255 - p[3]};
}

double Distance(const TPoint6& a, const TPoint6& b) {
  double d = 0;
  for (int c = 0; c < kDims; ++c) d += (a[c] - b[c]) * (a[c] - b[c]);
  return d;
}

// One distinct translucent or opaque colour.
struct TEntry {
  TPoint6 P;                       // over black, then over white
  std::array<uint8_t, kDims> Bin;  // P rounded, for the cut search
  double Count;
};

using TMoments = boxcut::TMoments<kDims>;

// The box cuts' view of the entries: cut where the rounded premultiplied
// values change, sums of the values themselves.
struct TEntryItems {
  using TItem = TEntry;
  static constexpr bool kStablePartition = true;
  static int Bin(const TEntry& e, int axis) { return e.Bin[axis]; }
  static void Add(TMoments& m, const TEntry& e) {
    m.W += e.Count;
    for (int c = 0; c < kDims; ++c) {
      m.S[c] += e.Count * e.P[c];
      m.Q += e.Count * e.P[c] * e.P[c];
    }
  }
  static double Error(const TMoments& m) {
    if (m.W <= 0) return 0;
    double e = m.Q;
    for (int c = 0; c < kDims; ++c) e -= m.S[c] * m.S[c] / m.W;
    return e;
  }
};

// The straight 8-bit entry nearest to a mean of composites; alpha is never
// 0, that entry belongs to the transparent pixels.
std::array<uint8_t, 4> EntryOfMean(const TPoint6& m) {
  const int a = ClampInt(RoundInt(255 - (m[3] + m[4] + m[5] - m[0] - m[1] - m[2]) / 3), 1, 255);
  std::array<uint8_t, 4> e{};
  for (int c = 0; c < 3; ++c) e[c] = static_cast<uint8_t>(ClampInt(RoundInt(255.0 * m[c] / a), 0, 255));
  e[3] = static_cast<uint8_t>(a);
  return e;
}

TPoint6 CompositesOf(const std::array<uint8_t, 4>& e) {
  return Composites(uint32_t{e[0]} << 24 | uint32_t{e[1]} << 16 | uint32_t{e[2]} << 8 | e[3]);
}

double Sum(const TPoint6& p) {
  double s = 0;
  for (double v : p) s += v;
  return s;
}

// Nearest-entry search with entries sorted by the sum of their values:
// (sum difference)^2 / 6 bounds the squared distance from below, so the
// search walks out from the query's sum and stops once the bound passes the
// best match.
class TAlphaMatcher {
 public:
  explicit TAlphaMatcher(const std::vector<TPoint6>& palette) : palette_(palette) {
    for (size_t i = 0; i < palette.size(); ++i) order_.push_back({Sum(palette[i]), static_cast<int>(i)});
    std::sort(order_.begin(), order_.end());
  }
  int Nearest(const TPoint6& q) const {
    const double s = Sum(q);
    const auto at = std::lower_bound(order_.begin(), order_.end(), std::pair<double, int>{s, -1});
    int best = -1;
    double bestD = std::numeric_limits<double>::infinity();
    auto up = at;
    auto down = at;
    while (up != order_.end() || down != order_.begin()) {
      bool moved = false;
      if (up != order_.end()) {
        const double bound = (up->first - s) * (up->first - s) / kDims;
        if (bound < bestD) {
          Try(q, up->second, best, bestD);
          ++up;
          moved = true;
        } else {
          up = order_.end();
        }
      }
      if (down != order_.begin()) {
        const auto prev = down - 1;
        const double bound = (prev->first - s) * (prev->first - s) / kDims;
        if (bound < bestD) {
          Try(q, prev->second, best, bestD);
          down = prev;
          moved = true;
        } else {
          down = order_.begin();
        }
      }
      if (!moved) break;
    }
    return best;
  }

 private:
  void Try(const TPoint6& q, int i, int& best, double& bestD) const {
    const double d = Distance(q, palette_[i]);
    if (d < bestD || (d == bestD && i < best)) {
      bestD = d;
      best = i;
    }
  }
  const std::vector<TPoint6>& palette_;
  std::vector<std::pair<double, int>> order_;
};

std::vector<std::array<uint8_t, 4>> Quantize(std::vector<TEntry> items, int count) {
  const std::vector<boxcut::TBox> boxes = boxcut::SplitBoxes<kDims, TEntryItems>(items, count);
  std::vector<std::array<uint8_t, 4>> palette;
  for (const boxcut::TBox& b : boxes) {
    TMoments m;
    for (size_t i = b.Begin; i < b.End; ++i) TEntryItems::Add(m, items[i]);
    TPoint6 mean;
    for (int c = 0; c < kDims; ++c) mean[c] = m.S[c] / m.W;
    palette.push_back(EntryOfMean(mean));
  }

  // Lloyd passes, keeping the best palette seen.
  constexpr int kPasses = 4;
  std::vector<std::array<uint8_t, 4>> best = palette;
  double bestError = std::numeric_limits<double>::infinity();
  for (int pass = 0; pass <= kPasses; ++pass) {
    std::vector<TPoint6> pre;
    pre.reserve(palette.size());
    for (const auto& e : palette) pre.push_back(CompositesOf(e));
    const TAlphaMatcher matcher(pre);
    std::vector<TMoments> sums(palette.size());
    double error = 0;
    for (const TEntry& item : items) {
      const int idx = matcher.Nearest(item.P);
      error += item.Count * Distance(item.P, pre[idx]);
      TEntryItems::Add(sums[idx], item);
    }
    if (!(error < bestError)) break;
    const bool small = bestError - error < 2e-3 * error;
    bestError = error;
    best = palette;
    if (small || error == 0) break;
    for (size_t i = 0; i < palette.size(); ++i) {
      if (sums[i].W <= 0) continue;
      TPoint6 mean;
      for (int c = 0; c < kDims; ++c) mean[c] = sums[i].S[c] / sums[i].W;
      palette[i] = EntryOfMean(mean);
    }
  }
  return best;
}

}  // namespace

TAlphaIndexedPicture ReduceColorsAlpha(const TRgbaPicture& picture, int colors, int dither) {
  const TDitherKernel& kernel = DitherKernel(dither);
  colors = std::clamp(colors, 2, kMaxPaletteSize);
  TAlphaIndexedPicture out;
  out.Width = picture.Width;
  out.Height = picture.Height;
  const size_t count = static_cast<size_t>(std::max(picture.Width, 0)) * std::max(picture.Height, 0);
  out.Pixels.assign(count, 0);
  if (count == 0) {
    out.Palette = {TRgb{}};
    out.Alpha = {0};
    return out;
  }

  std::vector<uint32_t> keys;
  bool anyTransparent = false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = picture.Pixels.data() + 4 * i;
    if (p[3] == 0)
      anyTransparent = true;
    else
      keys.push_back(KeyOf(p));
  }
  std::sort(keys.begin(), keys.end());
  std::vector<uint32_t> distinct;
  std::vector<TEntry> items;
  for (size_t i = 0; i < keys.size();) {
    size_t j = i + 1;
    while (j < keys.size() && keys[j] == keys[i]) ++j;
    TEntry e{Composites(keys[i]), {}, static_cast<double>(j - i)};
    for (int c = 0; c < kDims; ++c) e.Bin[c] = static_cast<uint8_t>(ClampInt(RoundInt(e.P[c]), 0, 255));
    items.push_back(e);
    distinct.push_back(keys[i]);
    i = j;
  }

  // Entry 0 is the transparent one when there is any such pixel.
  const int reserved = anyTransparent ? 1 : 0;
  const int free = colors - reserved;
  std::vector<std::array<uint8_t, 4>> entries;
  if (reserved) entries.push_back({0, 0, 0, 0});
  const bool exact = distinct.size() <= static_cast<size_t>(free);
  if (exact) {
    for (uint32_t k : distinct)
      entries.push_back({static_cast<uint8_t>(k >> 24), static_cast<uint8_t>(k >> 16),
                         static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(k)});
  } else {
    const auto q = Quantize(items, free);
    entries.insert(entries.end(), q.begin(), q.end());
  }
  if (entries.empty()) entries.push_back({0, 0, 0, 0});
  for (const auto& e : entries) {
    out.Palette.push_back({e[0], e[1], e[2]});
    out.Alpha.push_back(e[3]);
  }

  // Matching runs over the entries that opaque and translucent pixels may take.
  std::vector<TPoint6> pre;
  for (size_t i = reserved; i < entries.size(); ++i) pre.push_back(CompositesOf(entries[i]));
  if (pre.empty()) return out;
  const TAlphaMatcher matcher(pre);
  const int w = picture.Width, h = picture.Height;

  if (kernel.Taps.empty() || exact) {
    std::vector<uint8_t> indexOf(distinct.size());
    for (size_t i = 0; i < distinct.size(); ++i)
      indexOf[i] = static_cast<uint8_t>(matcher.Nearest(items[i].P) + reserved);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = picture.Pixels.data() + 4 * i;
      if (p[3] == 0) continue;  // entry 0
      const size_t at = static_cast<size_t>(std::lower_bound(distinct.begin(), distinct.end(), KeyOf(p)) -
                                            distinct.begin());
      out.Pixels[i] = indexOf[at];
    }
    return out;
  }

  // Serpentine error diffusion of the error over black and over white, as for GIF.
  constexpr int kRows = 4;
  std::vector<TPoint6> err(static_cast<size_t>(w) * kRows, TPoint6{});
  auto errAt = [&](int x, int y) -> TPoint6& { return err[static_cast<size_t>(y % kRows) * w + x]; };
  const double divisor = kernel.Divisor;
  for (int y = 0; y < h; ++y) {
    const bool forward = y % 2 == 0;
    const int dir = forward ? 1 : -1;
    for (int i = 0; i < w; ++i) {
      const int x = forward ? i : w - 1 - i;
      const size_t at = static_cast<size_t>(y) * w + x;
      const uint8_t* p = picture.Pixels.data() + 4 * at;
      if (p[3] == 0) continue;
      TPoint6 want = Composites(KeyOf(p));
      const TPoint6& e = errAt(x, y);
      for (int c = 0; c < kDims; ++c) want[c] = std::clamp(want[c] + e[c] / divisor, 0.0, 255.0);
      // No colour shows lighter over black than over white.
      for (int c = 0; c < 3; ++c) want[c] = std::min(want[c], want[c + 3]);
      const int idx = matcher.Nearest(want);
      out.Pixels[at] = static_cast<uint8_t>(idx + reserved);
      TPoint6 diff;
      for (int c = 0; c < kDims; ++c) diff[c] = want[c] - pre[idx][c];
      for (const TDitherTap& t : kernel.Taps) {
        const int nx = x + t.Dx * dir, ny = y + t.Dy;
        if (nx < 0 || nx >= w || ny >= h) continue;
        if (picture.Pixels[4 * (static_cast<size_t>(ny) * w + nx) + 3] == 0) continue;
        TPoint6& target = errAt(nx, ny);
        for (int c = 0; c < kDims; ++c) target[c] += diff[c] * t.Weight;
      }
    }
    for (int x = 0; x < w; ++x) errAt(x, y) = TPoint6{};
  }
  return out;
}

double MeanSquaredErrorAlpha(const TRgbaPicture& truth, const TAlphaIndexedPicture& mapped) {
  if (truth.Width != mapped.Width || truth.Height != mapped.Height)
    throw std::invalid_argument("pictures differ in size");
  const size_t count = mapped.Pixels.size();
  if (count == 0) return 0;
  double sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t idx = mapped.Pixels[i];
    if (idx >= mapped.Palette.size()) throw std::invalid_argument("index outside the palette");
    const TRgb& c = mapped.Palette[idx];
    const uint32_t key = uint32_t{c.R} << 24 | uint32_t{c.G} << 16 | uint32_t{c.B} << 8 | mapped.Alpha[idx];
    sum += Distance(Premultiplied(KeyOf(truth.Pixels.data() + 4 * i)), Premultiplied(key));
  }
  return sum / (4.0 * static_cast<double>(count));
}

}  // namespace vantrix
