#include "framework/controls/TButton.h"

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  Invalidate();
}

bool TButton::IsActiveDefault() const {
  TForm* form = ParentForm();
  if (!form) return default_;
  TWinControl* focused = form->ActiveControl();
  if (focused && dynamic_cast<TButton*>(focused)) return focused == this;
  return default_;
}

void TButton::Click() {
  ComponentGuard guard(this);
  if (modalResult_ != mrNone) {
    if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  }
  if (guard) TWinControl::Click();
}

void TButton::SetPressed(bool v) {
  if (v == pressed_) return;
  pressed_ = v;
  Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) {
      ComponentGuard guard(this);
      SetFocus();
      if (!guard) return;
    }
    mouseDown_ = true;
    SetPressed(true);
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (mouseDown_) SetPressed(ClientRect().Contains({x, y}));
  TWinControl::MouseMove(shift, x, y);
}

void TButton::MouseEnter() {
  hot_ = true;
  Invalidate();
  TWinControl::MouseEnter();
}

void TButton::MouseLeave() {
  hot_ = false;
  Invalidate();
  TWinControl::MouseLeave();
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONUP:
      // Looks released before the click runs (a click may open a modal box).
      mouseDown_ = false;
      SetPressed(false);
      break;
    case CM_DIALOGKEY: {
      const auto key = static_cast<UINT>(m.WParam);
      const TShiftState mods = KeyboardStateToShiftState() & (ssShift | ssAlt | ssCtrl);
      if (mods == 0 && Visible() && IsEnabledInTree() &&
          ((key == VK_RETURN && IsActiveDefault()) || (key == VK_ESCAPE && cancel_))) {
        m.Result = 1;
        Click();
        return;
      }
      break;
    }
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        mouseDown_ = spaceDown_ = false;
        SetPressed(false);
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TButton::KeyDown(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyDown(key, shift);
  if (!guard || !IsEnabledInTree()) return;
  if (key == VK_SPACE && (shift & (ssAlt | ssCtrl)) == 0) {
    spaceDown_ = true;
    SetPressed(true);
    key = 0;
  } else if (key == VK_RETURN && (shift & (ssAlt | ssCtrl | ssShift)) == 0) {
    // Enter clicks the focused button when the form did not take it as a dialog key.
    key = 0;
    Click();
  }
}

void TButton::KeyUp(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyUp(key, shift);
  if (!guard) return;
  if (key == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    SetPressed(false);
    key = 0;
    if (IsEnabledInTree()) Click();
  }
}

void TButton::DoExit() {
  spaceDown_ = false;
  if (!mouseDown_) SetPressed(false);
  Invalidate();
  TWinControl::DoExit();
}

TRect TButton::FaceRect() const {
  TRect r = ClientRect();
  if (IsActiveDefault()) r = r.Inflated(-1, -1);
  return r.Inflated(-2, -2);
}

TRect TButton::PaintFrame(TCanvas& canvas) {
  TRect r = ClientRect();
  if (IsActiveDefault()) {
    canvas.Brush().SetColor(cl3DDkShadow);
    canvas.FrameRect(r);
    r = r.Inflated(-1, -1);
  }
  classic::ButtonFace(canvas, r, pressed_, Color());
  TRect face = r.Inflated(-2, -2);
  if (pressed_) face.Offset(1, 1);
  return face;
}

void TButton::PaintFocus(TCanvas& canvas) {
  if (!Focused()) return;
  TRect f = ClientRect().Inflated(-4, -4);
  if (IsActiveDefault()) f = f.Inflated(-1, -1);
  canvas.DrawFocusRect(f);
}

void TButton::Paint(TCanvas& canvas) {
  canvas.Font().Assign(Font());
  const TRect face = PaintFrame(canvas);
  classic::DrawCaption(canvas, Caption(), face, DT_CENTER | DT_VCENTER | DT_SINGLELINE, IsEnabledInTree(),
                       Font().Color());
  PaintFocus(canvas);
}

}  // namespace tv
