#include "framework/controls/TCheckBox.h"

#include "framework/graphics/TCanvas.h"

namespace tv {

namespace {
constexpr int kBoxSize = 13;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  // Clicks come from Toggle (state changes), not from the generic mouse protocol.
  SetControlStyle(ControlStyle() & ~csClickEvents);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
  Click();
}

void TCheckBox::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(cbChecked);
      break;
    case cbChecked:
      SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbUnchecked);
      break;
  }
}

TRect TCheckBox::BoxRect() const {
  const int top = (Height() - kBoxSize) / 2;
  const int left = alignment_ == taLeftJustify ? Width() - kBoxSize : 0;
  return Bounds(left, top, kBoxSize, kBoxSize);
}

void TCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && IsEnabledInTree()) {
    if (CanFocus() && !Focused()) {
      ComponentGuard guard(this);
      SetFocus();
      if (!guard) return;
    }
    mouseDown_ = true;
    pressed_ = true;
    Invalidate();
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TCheckBox::MouseMove(TShiftState shift, int x, int y) {
  if (mouseDown_) {
    const bool inside = ClientRect().Contains({x, y});
    if (inside != pressed_) {
      pressed_ = inside;
      Invalidate();
    }
  }
  TWinControl::MouseMove(shift, x, y);
}

void TCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && mouseDown_) {
    mouseDown_ = false;
    pressed_ = false;
    Invalidate();
    if (ClientRect().Contains({x, y})) {
      ComponentGuard guard(this);
      Toggle();
      if (!guard) return;
    }
  }
  TWinControl::MouseUp(button, shift, x, y);
}

void TCheckBox::MouseEnter() {
  hot_ = true;
  Invalidate();
  TWinControl::MouseEnter();
}

void TCheckBox::MouseLeave() {
  hot_ = false;
  Invalidate();
  TWinControl::MouseLeave();
}

void TCheckBox::KeyDown(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyDown(key, shift);
  if (!guard) return;
  if (key == VK_SPACE && (shift & (ssAlt | ssCtrl)) == 0 && IsEnabledInTree()) {
    spaceDown_ = true;
    pressed_ = true;
    Invalidate();
    key = 0;
  }
}

void TCheckBox::KeyUp(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyUp(key, shift);
  if (!guard) return;
  if (key == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    pressed_ = false;
    Invalidate();
    key = 0;
    if (IsEnabledInTree()) Toggle();
  }
}

void TCheckBox::DoExit() {
  spaceDown_ = false;
  if (!mouseDown_) pressed_ = false;
  Invalidate();
  TWinControl::DoExit();
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CM_ENABLEDCHANGED && !Enabled()) mouseDown_ = spaceDown_ = pressed_ = false;
  TWinControl::WndProc(m);
}

void TCheckBox::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  TRect box = BoxRect();
  classic::SunkenFrame(canvas, box);
  const bool enabled = IsEnabledInTree();
  canvas.Brush().SetColor(pressed_ || !enabled ? clBtnFace : clWindow);
  canvas.FillRect(box);
  if (state_ != cbUnchecked) classic::DrawCheck(canvas, box, state_ == cbGrayed || !enabled ? clBtnShadow : clWindowText);
  canvas.Font().Assign(Font());
  const TRect b = BoxRect();
  TRect text = r;
  if (alignment_ == taLeftJustify)
    text.Right = b.Left - 4;
  else
    text.Left = b.Right + 4;
  if (!Caption().empty()) {
    classic::DrawCaption(canvas, Caption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, enabled, Font().Color());
    if (Focused()) {
      TRect calc = text;
      canvas.DrawText(Caption(), calc, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
      const int h = calc.Height();
      TRect focus{text.Left - 1, text.Top + (text.Height() - h) / 2 - 1, text.Left + calc.Width() + 1,
                  text.Top + (text.Height() - h) / 2 + h + 1};
      canvas.DrawFocusRect(focus);
    }
  }
}

}  // namespace tv
