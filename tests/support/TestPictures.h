#pragma once
// Seeded synthetic pictures for the colour reduction tests and benchmark.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/Picture.h"
#include "platform/Rounding.h"

namespace vantrix::testing {

inline uint8_t ToByte(double v) {
  return static_cast<uint8_t>(ClampInt(RoundInt(v), 0, 255));
}

// Two crossing colour ramps.
inline TPicture GradientPicture(int width, int height) {
  TPicture pic(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double u = x / std::max(1.0, width - 1.0), v = y / std::max(1.0, height - 1.0);
      pic.SetPixelAt(x, y,
                     MakePixel(ToByte(255 * u), ToByte(255 * v), ToByte(255 * (1 - u) * (0.5 + 0.5 * v))));
    }
  return pic;
}

// Something like a rendered button: a flat background, a drop shadow, a
// shaded pill-shaped body and a row of bevelled "letters", each lit by one
// light with a colour ramp, edges smoothed by 3 x 3 supersampling. The seed
// picks the colours and the letter layout.
inline TPicture ShadedPicture(int width, int height, uint32_t seed) {
  std::mt19937 rng(seed);
  auto hue = [&] {
    std::uniform_int_distribution<int> d(30, 230);
    return std::array<double, 3>{double(d(rng)), double(d(rng)), double(d(rng))};
  };
  const auto bkg = hue(), body = hue(), ink = hue();
  struct TBar {
    double x0, x1, y0, y1;
  };
  std::vector<TBar> letters;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (double x = 0.18; x < 0.8; x += 0.08) {
    const double w = 0.03 + 0.03 * unit(rng), top = 0.3 + 0.1 * unit(rng);
    letters.push_back({x, x + w, top, 0.7 - 0.05 * unit(rng)});
  }
  const double lx = -0.5, ly = -0.6, lz = 0.62;  // light from upper left, towards the viewer

  auto sample = [&](double u, double v, double out[3]) {
    // Pill body: |(u - 0.5) / 0.42|^4 + |(v - 0.5) / 0.38|^4 < 1 (a rounded box).
    auto pill = [](double pu, double pv, double& nx, double& ny) {
      const double a = (pu - 0.5) / 0.42, b = (pv - 0.5) / 0.38;
      nx = a;
      ny = b;
      return a * a * a * a + b * b * b * b;
    };
    double nx = 0, ny = 0;
    const double f = pill(u, v, nx, ny);
    if (f < 1) {
      const double k = std::sqrt(std::max(0.0, 1 - f));
      double n[3] = {nx * 0.7, ny * 0.7, k + 0.3};
      const double base[3] = {body[0], body[1], body[2]};
      const double* col = base;
      for (const TBar& l : letters)
        if (u >= l.x0 && u < l.x1 && v >= l.y0 && v < l.y1) {
          // Bevel: tilt the normal near the letter's edges.
          // Rounded strokes: the normal turns across the width, and the
          // ends are bevelled.
          const double ey = std::min(v - l.y0, l.y1 - v);
          n[0] = 1.6 * ((u - l.x0) / (l.x1 - l.x0) - 0.5);
          n[1] = ey < 0.03 ? (v - l.y0 < l.y1 - v ? -0.8 : 0.8) : 0;
          n[2] = 1;
          col = ink.data();
          break;
        }
      const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      const double lambert = std::max(0.0, (n[0] * lx + n[1] * ly + n[2] * lz) / len);
      const double shade = 0.25 + 0.9 * lambert;
      for (int c = 0; c < 3; ++c) out[c] = std::min(255.0, col[c] * shade + 40 * lambert * lambert * lambert);
      return;
    }
    double sx = 0, sy = 0;
    const double shadow = pill(u - 0.03, v - 0.06, sx, sy) < 1 ? 0.55 : 1.0;
    for (int c = 0; c < 3; ++c) out[c] = bkg[c] * shadow;
  };

  TPicture pic(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double acc[3] = {0, 0, 0};
      for (int sy = 0; sy < 3; ++sy)
        for (int sx = 0; sx < 3; ++sx) {
          double s[3];
          sample((x + (sx + 0.5) / 3) / width, (y + (sy + 0.5) / 3) / height, s);
          for (int c = 0; c < 3; ++c) acc[c] += s[c];
        }
      pic.SetPixelAt(x, y, MakePixel(ToByte(acc[0] / 9), ToByte(acc[1] / 9), ToByte(acc[2] / 9)));
    }
  return pic;
}

// Seeded noise over a smooth ramp: many distinct colours, no structure.
inline TPicture NoisyPicture(int width, int height, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> noise(-24, 24);
  TPicture pic(width, height, 32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double t = 200.0 * x / width;
      pic.SetPixelAt(
          x, y, MakePixel(ToByte(t + noise(rng)), ToByte(128 + noise(rng)), ToByte(220 - t + noise(rng))));
    }
  return pic;
}

}  // namespace vantrix::testing
