#include "platform/qt/LayerBlend.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tv::platform::qt {

PixelBuffer BlendLayer(const PixelBuffer& under, const PixelView& layer, std::uint8_t alpha,
                       std::optional<TColor> colorKey) {
  PixelBuffer out = under;
  const int w = std::min(under.width, layer.width);
  const int h = std::min(under.height, layer.height);
  if (!layer.bits || w <= 0 || h <= 0) return out;
  // TColor is 0x00BBGGRR; our pixels are 0xAARRGGBB.
  std::optional<std::uint32_t> key;
  if (colorKey) {
    const auto c = static_cast<std::uint32_t>(*colorKey);
    key = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  const std::uint32_t a = alpha, na = 255 - alpha;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = layer.bits + static_cast<std::ptrdiff_t>(y) * layer.stride;
    std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width;
    for (int x = 0; x < w; ++x) {
      std::uint32_t l;
      std::memcpy(&l, row + x * 4, 4);
      l &= 0xFFFFFF;
      if (key && l == *key) continue;
      const std::uint32_t u = dst[x];
      std::uint32_t px = 0xFF000000u;
      for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t lc = (l >> shift) & 0xFF, uc = (u >> shift) & 0xFF;
        px |= ((lc * a + uc * na + 127) / 255) << shift;
      }
      dst[x] = px;
    }
  }
  return out;
}

bool ClickTracker::Press(MouseButton button, Point pos, std::uint64_t timeMs, std::uint32_t intervalMs,
                         int distance) {
  const bool isDouble = armed_ && button == button_ && timeMs - time_ <= intervalMs &&
                        std::abs(pos.x - pos_.x) <= distance && std::abs(pos.y - pos_.y) <= distance;
  armed_ = !isDouble;
  button_ = button;
  pos_ = pos;
  time_ = timeMs;
  return isDouble;
}

}  // namespace tv::platform::qt
