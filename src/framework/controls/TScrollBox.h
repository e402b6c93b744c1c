#pragma once
// A scrolling container. Its children live in an inner client window (the area inside the border
// and the scroll bars): a control put into the box is moved into that window, so its Left and Top
// are client coordinates as usual and it is clipped to the client area. Scrolling moves the
// children. With AutoScroll (the default) the ranges follow the children's extent; otherwise
// they are what SetRange gives. The wheel raises OnMouseWheelDown/Up; when no handler sets
// Handled, it scrolls vertically by WheelStep pixels per notch.
#include <cstdint>

#include "framework/Control.h"
#include "framework/Form.h"

namespace tv {

class TScrollBox;

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

class TControlScrollBar {
 public:
  TControlScrollBar(TScrollBox* box, TScrollBarKind kind) : box_(box), kind_(kind) {}

  TScrollBarKind Kind() const { return kind_; }
  // The scrollable extent in pixels.
  int Range() const { return range_; }
  void SetRange(int v);
  // Pixels scrolled, 0 .. Range - visible size.
  int Position() const { return position_; }
  void SetPosition(int v);
  // Pixels per arrow click.
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v < 1 ? 1 : v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Shown now (Visible, and the range exceeds the client size).
  bool IsScrollBarVisible() const { return showing_; }
  // The largest position.
  int MaxPosition() const;
  // The client size along the bar.
  int PageSize() const;

 private:
  friend class TScrollBox;
  TScrollBox* box_;
  TScrollBarKind kind_;
  int range_ = 0;
  int position_ = 0;
  int increment_ = 8;
  bool visible_ = true;
  bool showing_ = false;
};

// The inner window of a scroll box that holds its children.
class TScrollBoxClient : public TWinControl {
 public:
  explicit TScrollBoxClient(TScrollBox* box);
  TScrollBox* Box() const { return box_; }
  void Paint(TCanvas& canvas) override;

 private:
  TScrollBox* box_;
};

class TScrollBox : public TWinControl {
 public:
  static constexpr int kScrollBarSize = 16;

  explicit TScrollBox(TComponent* owner);

  TControlScrollBar& HorzScrollBar() { return horz_; }
  TControlScrollBar& VertScrollBar() { return vert_; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  int WheelStep() const { return wheelStep_; }
  void SetWheelStep(int v) { wheelStep_ = v; }
  // The window the children are in.
  TScrollBoxClient* ClientControl() const { return client_; }
  // The client area in the box's own coordinates.
  TRect ClientArea() const;
  TRect ClientRect() const override;
  // The bars and the border belong to the box too.
  bool HitTest(TPoint p) const override { return TRect{0, 0, Width(), Height()}.Contains(p); }

  // Moves the children by (dx, dy).
  void ScrollBy(int dx, int dy);
  // Scrolls so that the control (a descendant) is in view.
  void ScrollInView(TControl* control);
  // Recomputes ranges, bar visibility and the client window's place.
  void UpdateScrollBars();

  // Bar geometry in the box's coordinates (empty when the bar is hidden).
  TRect BarRect(TScrollBarKind kind) const;
  TRect ThumbRect(TScrollBarKind kind) const;

  void Paint(TCanvas& canvas) override;
  // Paints the background of the client window (a skinned box overrides it).
  virtual void PaintClient(TCanvas& canvas, const TRect& rect);
  void WndProc(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;

 protected:
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void AlignControls(TRect& rect) override;

 private:
  friend class TControlScrollBar;
  int BorderWidth() const { return borderStyle_ == bsSingle ? 2 : 0; }
  void PaintBar(TCanvas& canvas, TScrollBarKind kind);
  void ApplyPosition(TControlScrollBar& bar, int position);
  TControlScrollBar& Bar(TScrollBarKind kind) { return kind == sbHorizontal ? horz_ : vert_; }
  const TControlScrollBar& Bar(TScrollBarKind kind) const { return kind == sbHorizontal ? horz_ : vert_; }

  TControlScrollBar horz_{this, sbHorizontal};
  TControlScrollBar vert_{this, sbVertical};
  TScrollBoxClient* client_ = nullptr;
  bool autoScroll_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  int wheelStep_ = 24;
  bool updating_ = false;
  // Thumb dragging.
  bool dragging_ = false;
  TScrollBarKind dragKind_ = sbVertical;
  int dragOffset_ = 0;
};

}  // namespace tv
