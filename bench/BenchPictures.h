#pragma once
// Test pictures for the benchmarks.
#include <cstdint>

#include "framework/graphics/TBitmap.h"

namespace bench {

// A picture like a desktop: flat panels, gradients and noisy blocks (photos, text). Every
// `period`-th diagonal of `block`-sized squares is noise; the rest is a gradient.
inline tv::TBitmap Desktop(int w, int h, std::uint32_t seed = 1, int block = 64, int period = 5,
                           std::uint8_t red = 90) {
  tv::TBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const bool detail = (x / block + y / block) % period == 0;
      const std::uint8_t v = detail ? static_cast<std::uint8_t>(seed >> 24) : static_cast<std::uint8_t>(x * 255 / w);
      row[3 * x] = v;
      row[3 * x + 1] = static_cast<std::uint8_t>(detail ? v : y * 255 / h);
      row[3 * x + 2] = static_cast<std::uint8_t>(detail ? 255 - v : red);
    }
  }
  return b;
}

}  // namespace bench
