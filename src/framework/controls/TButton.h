#pragma once
// A push button. A click (mouse released over it, Space released, Enter while it is the active
// button, Escape when it is the cancel button) sets its ModalResult on the form, then raises
// OnClick. The active button is the focused button, or the default one while the focus is on a
// control that is not a button.
#include <string>

#include "framework/Control.h"
#include "framework/Form.h"

namespace tv {

class TCanvas;

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }

  // State for painters.
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }
  // Whether Enter clicks this button now (and it shows the default frame).
  bool IsActiveDefault() const;

  void Click() override;
  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyUp(std::uint16_t& key, TShiftState shift) override;
  void DoExit() override;
  // The face inside the frame, where captions and glyphs go.
  TRect FaceRect() const;
  // Paints the frame (default frame, raised or pressed) and the face; returns the content rect.
  TRect PaintFrame(TCanvas& canvas);
  void PaintFocus(TCanvas& canvas);

 private:
  void SetPressed(bool v);

  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
  bool hot_ = false;
  bool pressed_ = false;
  bool mouseDown_ = false;
  bool spaceDown_ = false;
};

}  // namespace tv
