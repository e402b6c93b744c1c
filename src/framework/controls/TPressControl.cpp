#include "framework/controls/TPressControl.h"

namespace tv {

void TPressControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && CanPress()) {
    dragging_ = true;
    pressed_ = true;
    Invalidate();
  }
  TControl::MouseDown(button, shift, x, y);
}

void TPressControl::MouseMove(TShiftState shift, int x, int y) {
  if (dragging_) {
    const bool inside = ClientRect().Contains({x, y});
    if (inside != pressed_) {
      pressed_ = inside;
      Invalidate();
    }
  }
  TControl::MouseMove(shift, x, y);
}

void TPressControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && dragging_) {
    dragging_ = false;
    pressed_ = false;
    Invalidate();
    if (ClientRect().Contains({x, y})) {
      Released();
      ComponentGuard guard(this);
      Click();
      if (!guard) return;
    }
  }
  TControl::MouseUp(button, shift, x, y);
}

void TPressControl::MouseEnter() {
  hot_ = true;
  Invalidate();
  TControl::MouseEnter();
}

void TPressControl::MouseLeave() {
  hot_ = false;
  Invalidate();
  TControl::MouseLeave();
}

}  // namespace tv
