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
  // Per channel: (layer * alpha + screen * (255 - alpha)) / 255, rounded. Red and blue are
  // worked together in two 16-bit lanes; x / 255 rounded is (x + 128 + ((x + 128) >> 8)) >> 8.
  const std::uint32_t a = alpha, na = 255u - alpha;
  const std::uint32_t keyRgb = key.value_or(0);
  const bool keyed = key.has_value();
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(layer.bits + static_cast<std::ptrdiff_t>(y) * layer.stride);
    std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t l = row[x] & 0xFFFFFF;
      const std::uint32_t u = dst[x];
      std::uint32_t rb = (l & 0xFF00FF) * a + (u & 0xFF00FF) * na + 0x800080;
      rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
      std::uint32_t g = ((l >> 8) & 0xFF) * a + ((u >> 8) & 0xFF) * na + 0x80;
      g = ((g + (g >> 8)) >> 8) & 0xFF;
      const std::uint32_t blended = 0xFF000000u | rb | g << 8;
      dst[x] = keyed && l == keyRgb ? u : blended;
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
