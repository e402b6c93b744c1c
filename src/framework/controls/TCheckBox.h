#pragma once
// A check box. OnClick is raised whenever the state changes, by the user (click, Space) or by the
// program (SetChecked, SetState).
#include <cstdint>

#include "framework/Control.h"
#include "framework/controls/ClassicPaint.h"

namespace tv {

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  // taRightJustify (the default) puts the box left of the caption, taLeftJustify right of it.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

  // What a click does: unchecked -> checked -> (grayed when allowed) -> unchecked.
  virtual void Toggle();

  // State for painters.
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }
  // The 13 x 13 box.
  TRect BoxRect() const;

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyUp(std::uint16_t& key, TShiftState shift) override;
  void DoExit() override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
  bool hot_ = false;
  bool pressed_ = false;
  bool mouseDown_ = false;
  bool spaceDown_ = false;
};

}  // namespace tv
