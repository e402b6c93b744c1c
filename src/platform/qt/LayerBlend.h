#pragma once
// What a layered window shows without a compositor: the screen under it, blended with the
// window's own picture at alpha/255; pixels of the colour key let the screen through unblended.
#include <cstdint>
#include <optional>

#include "platform/Platform.h"

namespace tv::platform::qt {

// `under` and the result have the window's size; `layer` may be smaller or larger (the part
// outside the window is dropped, a missing part shows the screen). colorKey is 0x00BBGGRR.
PixelBuffer BlendLayer(const PixelBuffer& under, const PixelView& layer, std::uint8_t alpha,
                       std::optional<TColor> colorKey);

// Double clicks the Windows way: a press of the same button within the double-click time and
// close to the previous press completes one; the press after a double click starts over.
class ClickTracker {
 public:
  bool Press(MouseButton button, Point pos, std::uint64_t timeMs, std::uint32_t intervalMs, int distance);
  void Reset() { armed_ = false; }

 private:
  bool armed_ = false;
  MouseButton button_ = MouseButton::Left;
  Point pos_;
  std::uint64_t time_ = 0;
};

}  // namespace tv::platform::qt
