#include "framework/controls/TScrollBox.h"

#include <algorithm>

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

namespace {
constexpr int kMinThumb = 8;
}

// ---- TControlScrollBar ------------------------------------------------------------------------------

void TControlScrollBar::SetRange(int v) {
  v = std::max(0, v);
  // An explicit range replaces the automatic one.
  box_->autoScroll_ = false;
  if (v == range_) return;
  range_ = v;
  box_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int v) {
  box_->UpdateScrollBars();
  box_->ApplyPosition(*this, v);
}

void TControlScrollBar::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  box_->UpdateScrollBars();
}

int TControlScrollBar::PageSize() const {
  const TRect c = box_->ClientArea();
  return kind_ == sbHorizontal ? c.Width() : c.Height();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, range_ - PageSize()); }

// ---- TScrollBoxClient --------------------------------------------------------------------------------

TScrollBoxClient::TScrollBoxClient(TScrollBox* box) : TWinControl(box), box_(box) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetParentColor(true);
}

void TScrollBoxClient::Paint(TCanvas& canvas) { box_->PaintClient(canvas, ClientRect()); }

// ---- TScrollBox -----------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  client_ = new TScrollBoxClient(this);
  client_->SetParent(this);
  SetBounds(0, 0, 185, 41);
  UpdateScrollBars();
}

void TScrollBox::SetAutoScroll(bool v) {
  if (v == autoScroll_) return;
  autoScroll_ = v;
  UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TFormBorderStyle s) {
  if (s != bsNone) s = bsSingle;
  if (s == borderStyle_) return;
  borderStyle_ = s;
  UpdateScrollBars();
  Invalidate();
}

TRect TScrollBox::ClientArea() const {
  const int b = BorderWidth();
  const int w = std::max(0, Width() - 2 * b - (vert_.showing_ ? kScrollBarSize : 0));
  const int h = std::max(0, Height() - 2 * b - (horz_.showing_ ? kScrollBarSize : 0));
  return {b, b, b + w, b + h};
}

TRect TScrollBox::ClientRect() const {
  const TRect a = ClientArea();
  return {0, 0, a.Width(), a.Height()};
}

void TScrollBox::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  std::vector<TControl*> children;
  for (int i = 0; i < client_->ControlCount(); ++i) children.push_back(client_->Controls(i));
  for (TControl* c : children) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  Invalidate();
}

void TScrollBox::ApplyPosition(TControlScrollBar& bar, int position) {
  position = std::clamp(position, 0, bar.MaxPosition());
  const int delta = bar.position_ - position;
  if (delta == 0) return;
  bar.position_ = position;
  if (bar.kind_ == sbHorizontal)
    ScrollBy(delta, 0);
  else
    ScrollBy(0, delta);
}

void TScrollBox::ScrollInView(TControl* control) {
  if (!control || !client_->ContainsControl(control) || control == client_) return;
  TPoint p{control->Left(), control->Top()};
  for (TControl* c = control->Parent(); c && c != client_; c = c->Parent()) {
    p.X += c->Left();
    p.Y += c->Top();
  }
  const TRect page = ClientRect();
  auto fit = [&](TControlScrollBar& bar, int start, int size, int pageSize) {
    if (start < 0)
      ApplyPosition(bar, bar.position_ + start);
    else if (start + size > pageSize)
      ApplyPosition(bar, bar.position_ + std::min(start, start + size - pageSize));
  };
  UpdateScrollBars();
  fit(horz_, p.X, control->Width(), page.Width());
  fit(vert_, p.Y, control->Height(), page.Height());
}

void TScrollBox::UpdateScrollBars() {
  if (updating_ || !client_) return;
  updating_ = true;
  if (autoScroll_) {
    int right = 0, bottom = 0;
    for (int i = 0; i < client_->ControlCount(); ++i) {
      TControl* c = client_->Controls(i);
      if (!c->Visible()) continue;
      right = std::max(right, c->Left() + c->Width() + horz_.position_);
      bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
    }
    horz_.range_ = right;
    vert_.range_ = bottom;
  }
  const bool oldH = horz_.showing_, oldV = vert_.showing_;
  const int b = BorderWidth();
  const int w = Width() - 2 * b;
  const int h = Height() - 2 * b;
  bool showV = vert_.visible_ && vert_.range_ > h;
  const bool showH = horz_.visible_ && horz_.range_ > w - (showV ? kScrollBarSize : 0);
  if (showH && !showV) showV = vert_.visible_ && vert_.range_ > h - kScrollBarSize;
  horz_.showing_ = showH;
  vert_.showing_ = showV;
  // A smaller range or a larger page may leave the position past its end.
  ApplyPosition(horz_, horz_.position_);
  ApplyPosition(vert_, vert_.position_);
  client_->SetBoundsRect(ClientArea());
  if (oldH != showH || oldV != showV) Invalidate();
  updating_ = false;
}

void TScrollBox::AlignControls(TRect&) { UpdateScrollBars(); }

void TScrollBox::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  UpdateScrollBars();
}

void TScrollBox::WndProc(TMessage& m) {
  if (m.Msg == CM_CONTROLLISTCHANGE && m.LParam && client_) {
    auto* c = reinterpret_cast<TControl*>(m.WParam);
    if (c != client_) {
      // Children live in the client window.
      TWinControl::WndProc(m);
      c->SetParent(client_);
      UpdateScrollBars();
      return;
    }
  }
  TWinControl::WndProc(m);
}

TRect TScrollBox::BarRect(TScrollBarKind kind) const {
  const TRect a = ClientArea();
  if (kind == sbVertical)
    return vert_.showing_ ? TRect{a.Right, a.Top, a.Right + kScrollBarSize, a.Bottom} : TRect{};
  return horz_.showing_ ? TRect{a.Left, a.Bottom, a.Right, a.Bottom + kScrollBarSize} : TRect{};
}

TRect TScrollBox::ThumbRect(TScrollBarKind kind) const {
  const TRect bar = BarRect(kind);
  if (bar.IsEmpty()) return {};
  const TControlScrollBar& sb = Bar(kind);
  const bool vertical = kind == sbVertical;
  const int length = vertical ? bar.Height() : bar.Width();
  const int track = length - 2 * kScrollBarSize;
  if (track < kMinThumb || sb.range_ <= 0) return {};
  const int thumb = std::clamp(track * sb.PageSize() / sb.range_, kMinThumb, track);
  const int maxPos = sb.MaxPosition();
  const int offset = kScrollBarSize + (maxPos > 0 ? (track - thumb) * sb.position_ / maxPos : 0);
  if (vertical) return {bar.Left, bar.Top + offset, bar.Right, bar.Top + offset + thumb};
  return {bar.Left + offset, bar.Top, bar.Left + offset + thumb, bar.Bottom};
}

void TScrollBox::PaintBar(TCanvas& canvas, TScrollBarKind kind) {
  const TRect bar = BarRect(kind);
  if (bar.IsEmpty()) return;
  const bool vertical = kind == sbVertical;
  const bool enabled = IsEnabledInTree();
  canvas.Brush().SetColor(cl3DLight);
  canvas.FillRect(bar);
  const TRect first = vertical ? TRect{bar.Left, bar.Top, bar.Right, bar.Top + kScrollBarSize}
                               : TRect{bar.Left, bar.Top, bar.Left + kScrollBarSize, bar.Bottom};
  const TRect second = vertical ? TRect{bar.Left, bar.Bottom - kScrollBarSize, bar.Right, bar.Bottom}
                                : TRect{bar.Right - kScrollBarSize, bar.Top, bar.Right, bar.Bottom};
  const TColor arrow = enabled ? clBtnText : clGrayText;
  classic::ButtonFace(canvas, first, false);
  classic::DrawArrow(canvas, first, vertical ? classic::Arrow::Up : classic::Arrow::Left, arrow);
  classic::ButtonFace(canvas, second, false);
  classic::DrawArrow(canvas, second, vertical ? classic::Arrow::Down : classic::Arrow::Right, arrow);
  const TRect thumb = ThumbRect(kind);
  if (!thumb.IsEmpty()) classic::ButtonFace(canvas, thumb, false);
}

void TScrollBox::Paint(TCanvas& canvas) {
  // Children may have moved or resized since the last pass.
  UpdateScrollBars();
  TRect r{0, 0, Width(), Height()};
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  if (borderStyle_ == bsSingle) classic::SunkenFrame(canvas, r);
  PaintBar(canvas, sbHorizontal);
  PaintBar(canvas, sbVertical);
  if (horz_.showing_ && vert_.showing_) {
    const TRect a = ClientArea();
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect({a.Right, a.Bottom, a.Right + kScrollBarSize, a.Bottom + kScrollBarSize});
  }
}

void TScrollBox::PaintClient(TCanvas& canvas, const TRect& rect) {
  canvas.Brush().SetColor(Color());
  canvas.FillRect(rect);
}

bool TScrollBox::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  ComponentGuard guard(this);
  if (TWinControl::DoMouseWheelDown(shift, mousePos) || !guard) return true;
  UpdateScrollBars();
  ApplyPosition(vert_, vert_.position_ + wheelStep_);
  return true;
}

bool TScrollBox::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  ComponentGuard guard(this);
  if (TWinControl::DoMouseWheelUp(shift, mousePos) || !guard) return true;
  UpdateScrollBars();
  ApplyPosition(vert_, vert_.position_ - wheelStep_);
  return true;
}

void TScrollBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && IsEnabledInTree()) {
    for (TScrollBarKind kind : {sbVertical, sbHorizontal}) {
      const TRect bar = BarRect(kind);
      if (!bar.Contains({x, y})) continue;
      TControlScrollBar& sb = Bar(kind);
      const bool vertical = kind == sbVertical;
      const int along = vertical ? y - bar.Top : x - bar.Left;
      const int length = vertical ? bar.Height() : bar.Width();
      const TRect thumb = ThumbRect(kind);
      if (along < kScrollBarSize) {
        ApplyPosition(sb, sb.position_ - sb.increment_);
      } else if (along >= length - kScrollBarSize) {
        ApplyPosition(sb, sb.position_ + sb.increment_);
      } else if (thumb.Contains({x, y})) {
        dragging_ = true;
        dragKind_ = kind;
        dragOffset_ = vertical ? y - thumb.Top : x - thumb.Left;
      } else {
        const int thumbStart = vertical ? thumb.Top : thumb.Left;
        const bool before = (vertical ? y : x) < thumbStart;
        ApplyPosition(sb, before ? sb.position_ - sb.PageSize() : sb.position_ + sb.PageSize());
      }
      Invalidate();
      break;
    }
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TScrollBox::MouseMove(TShiftState shift, int x, int y) {
  if (dragging_) {
    const TRect bar = BarRect(dragKind_);
    const TRect thumb = ThumbRect(dragKind_);
    TControlScrollBar& sb = Bar(dragKind_);
    if (!bar.IsEmpty() && !thumb.IsEmpty()) {
      const bool vertical = dragKind_ == sbVertical;
      const int track = (vertical ? bar.Height() : bar.Width()) - 2 * kScrollBarSize;
      const int thumbLen = vertical ? thumb.Height() : thumb.Width();
      const int start = (vertical ? y - bar.Top : x - bar.Left) - kScrollBarSize - dragOffset_;
      const int free = track - thumbLen;
      if (free > 0) ApplyPosition(sb, start * sb.MaxPosition() / free);
      Invalidate();
    }
  }
  TWinControl::MouseMove(shift, x, y);
}

void TScrollBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) dragging_ = false;
  TWinControl::MouseUp(button, shift, x, y);
}

}  // namespace tv
