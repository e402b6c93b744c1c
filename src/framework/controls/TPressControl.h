#pragma once
// A windowless control pressed with the left button, as buttons are: pressed while the button is
// down over it, hot while the pointer is over it, clicked when the button is released over it.
#include "framework/Control.h"

namespace tv {

class TPressControl : public TControl {
 public:
  explicit TPressControl(TComponent* owner) : TControl(owner) {}

  // State for painters.
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }

 protected:
  // Whether a left press starts pressing the control.
  virtual bool CanPress() const { return IsEnabledInTree(); }
  // Runs at a release over the control, just before Click.
  virtual void Released() {}

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  bool hot_ = false;
  bool pressed_ = false;

 private:
  bool dragging_ = false;
};

}  // namespace tv
