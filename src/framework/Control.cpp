#include "framework/Control.h"

#include <algorithm>
#include <cstdlib>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Form.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"

namespace tv {
namespace {

TShiftState ShiftFromMouseWParam(WPARAM w) {
  TShiftState s = 0;
  if (w & MK_SHIFT) s |= ssShift;
  if (w & MK_CONTROL) s |= ssCtrl;
  if (w & MK_LBUTTON) s |= ssLeft;
  if (w & MK_RBUTTON) s |= ssRight;
  if (w & MK_MBUTTON) s |= ssMiddle;
  s |= KeyboardStateToShiftState() & ssAlt;
  return s;
}

constexpr int kWheelDelta = 120;

}  // namespace

TShiftState KeyboardStateToShiftState() {
  return Application ? static_cast<TShiftState>(Application->CurrentShiftState() & (ssShift | ssAlt | ssCtrl)) : 0;
}

// ---- TControl ------------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TFont*) { FontChanged(); };
  windowProc_ = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  if (parent_) parent_->RemoveControl(this);
  TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBoundsRaw(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(this); w && resized) w->Realign();
  if (resized && !HasState(csLoading)) {
    ComponentGuard guard(this);
    Resize();
    if (!guard) return;
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  SetBoundsRaw(left, top, width, height);
  if (!HasState(csLoading)) UpdateAnchorRules();
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || parent_->HasState(csLoading) || HasState(csLoading)) return;
  const TRect pc = parent_->ClientRect();
  anchorRight_ = pc.Width() - (left_ + width_);
  anchorBottom_ = pc.Height() - (top_ + height_);
  anchorsKnown_ = true;
}

void TControl::SetClientWidth(int v) { SetWidth(v + (width_ - ClientRect().Width())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (height_ - ClientRect().Height())); }

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  if (parent_) parent_->Realign();
}

void TControl::SetAnchors(TAnchors a) {
  if (a == anchors_) return;
  anchors_ = a;
  UpdateAnchorRules();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  Invalidate();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
  Invalidate();
  if (parent_ && align_ != alNone) parent_->Realign();
  if (!v) {
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    if (TForm* f = ParentForm(); f && f != this) {
      TWinControl* ac = f->ActiveControl();
      if (ac && (ac == this || (IsWindowed() && static_cast<TWinControl*>(this)->ContainsControl(ac))))
        f->SetFocusedControl(nullptr);
    }
  }
}

bool TControl::Showing() const {
  if (!visible_) return false;
  return parent_ ? parent_->Showing() : false;
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED, 0, 0);
  Invalidate();
}

bool TControl::IsEnabledInTree() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TControl::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  Perform(CM_TEXTCHANGED, 0, 0);
  Invalidate();
}

TFont& TControl::Font() { return *font_; }
const TFont& TControl::Font() const { return *font_; }

void TControl::SetFont(const TFont& font) { font_->Assign(font); }

void TControl::FontChanged() {
  parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor c) {
  if (c == cursor_) return;
  cursor_ = c;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::Invalidate() {
  if (TForm* f = ParentForm(); f && f != this) f->Invalidate();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (TForm* f = ParentForm()) f->UpdateWindow();
}

void TControl::Paint(TCanvas&) {}

void TControl::SetWindowProc(TWndMethod proc) {
  if (!proc) {
    RestoreWindowProc();
    return;
  }
  windowProc_ = std::move(proc);
}

void TControl::RestoreWindowProc() {
  windowProc_ = [this](TMessage& m) { WndProc(m); };
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  TWndMethod proc = windowProc_;  // the procedure may replace itself or destroy the control
  proc(m);
  return m.Result;
}

void TControl::HandleMouseMessage(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = ShiftFromMouseWParam(m.WParam);
  ComponentGuard guard(this);
  auto buttonOf = [](UINT msg) {
    switch (msg) {
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
        return mbRight;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
      case WM_MBUTTONDBLCLK:
        return mbMiddle;
      default:
        return mbLeft;
    }
  };
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const TMouseButton b = buttonOf(m.Msg);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      if (b == mbLeft && (controlStyle_ & csClickEvents)) controlState_ |= csClicked;
      if (b == mbLeft) controlState_ |= csLButtonDown;
      MouseDown(b, shift, x, y);
      break;
    }
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      const TMouseButton b = buttonOf(m.Msg);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      if (b == mbLeft) controlState_ |= csLButtonDown;
      if (b == mbLeft && (controlStyle_ & csClickEvents)) {
        DblClick();
        if (!guard) return;
      }
      MouseDown(b, static_cast<TShiftState>(shift | ssDouble), x, y);
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const TMouseButton b = buttonOf(m.Msg);
      // The capture ends with the last button released.
      if ((m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && MouseCapture()) SetMouseCapture(false);
      if (b == mbLeft) {
        controlState_ &= ~csLButtonDown;
        if (controlState_ & csClicked) {
          controlState_ &= ~csClicked;
          // The click comes before the release event.
          if (ClientRect().Contains({x, y})) {
            Click();
            if (!guard) return;
          }
        }
      }
      MouseUp(b, shift, x, y);
      break;
    }
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    default:
      break;
  }
}

void TControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    if (!(controlStyle_ & csNoStdEvents)) HandleMouseMessage(m);
    return;
  }
  switch (m.Msg) {
    case WM_MOUSEWHEEL: {
      const TShiftState shift = ShiftFromMouseWParam(LOWORD(m.WParam));
      const TPoint screenPos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      ComponentGuard guard(this);
      if (DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(m.WParam), screenPos)) {
        m.Result = 1;
      } else if (guard && parent_) {
        m.Result = parent_->Perform(m.Msg, m.WParam, m.LParam);
      }
      break;
    }
    case CM_MOUSEENTER:
      MouseEnter();
      break;
    case CM_MOUSELEAVE:
      MouseLeave();
      break;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        font_->Assign(parent_->Font());
        parentFont_ = true;
      }
      break;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        if (color_ != parent_->Color()) {
          color_ = parent_->Color();
          Perform(CM_COLORCHANGED, 0, 0);
          Invalidate();
        }
        parentColor_ = true;
      }
      break;
    default:
      break;
  }
}

void TControl::BringToFront() {
  if (parent_) parent_->Restack(this, true);
}

void TControl::SendToBack() {
  if (parent_) parent_->Restack(this, false);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v) {
  if (v == MouseCapture()) return;
  SetCaptureControl(v ? this : nullptr);
}

void TControl::Click() { RaiseEvent(OnClick, this); }
void TControl::DblClick() { RaiseEvent(OnDblClick, this); }
void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  RaiseEvent(OnMouseDown, this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) { RaiseEvent(OnMouseMove, this, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  RaiseEvent(OnMouseUp, this, button, shift, x, y);
}
void TControl::MouseEnter() { RaiseEvent(OnMouseEnter, this); }
void TControl::MouseLeave() { RaiseEvent(OnMouseLeave, this); }
void TControl::Resize() { RaiseEvent(OnResize, this); }

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  ComponentGuard guard(this);
  if (OnMouseWheel) {
    RaiseEvent(OnMouseWheel, this, shift, wheelDelta, mousePos, handled);
    if (!guard || handled) return handled;
  }
  // One Up or Down per whole notch.
  int steps = wheelDelta / kWheelDelta;
  if (steps == 0 && wheelDelta != 0) steps = wheelDelta > 0 ? 1 : -1;
  for (int i = 0; i < std::abs(steps); ++i) {
    handled = steps < 0 ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
    if (!guard) return handled;
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  RaiseEvent(OnMouseWheelDown, this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  RaiseEvent(OnMouseWheelUp, this, shift, mousePos, handled);
  return handled;
}

// ---- TWinControl ---------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children go with their parent, whoever owns them.
  while (!winControls_.empty() || !controls_.empty()) {
    TControl* c = !winControls_.empty() ? static_cast<TControl*>(winControls_.back()) : controls_.back();
    RemoveControl(c);
    c->Free();
  }
  if (handle_) UnregisterWindowProc(handle_);
}

void TWinControl::BeforeDestruction() {
  Destroying();
  while (!winControls_.empty() || !controls_.empty()) {
    TControl* c = !winControls_.empty() ? static_cast<TControl*>(winControls_.back()) : controls_.back();
    RemoveControl(c);
    c->Free();
  }
  TControl::BeforeDestruction();
}

void TWinControl::Restack(TControl* c, bool toFront) {
  auto move = [&](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return;
    list.erase(it);
    if (toFront)
      list.push_back(item);
    else
      list.insert(list.begin(), item);
  };
  if (c->IsWindowed())
    move(winControls_, static_cast<TWinControl*>(c));
  else
    move(controls_, c);
  c->Invalidate();
}

int TWinControl::ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }

TControl* TWinControl::Controls(int index) const {
  if (index < 0) return nullptr;
  auto i = static_cast<std::size_t>(index);
  if (i < controls_.size()) return controls_[i];
  i -= controls_.size();
  return i < winControls_.size() ? winControls_[i] : nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->parent_ == this) return;
  if (control->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(control);
    if (w->ContainsControl(this)) throw EInvalidOperation("A control cannot contain its own parent");
    winControls_.push_back(w);
    tabList_.push_back(w);
  } else {
    controls_.push_back(control);
  }
  control->parent_ = this;
  if (control->parentFont_) control->Perform(CM_PARENTFONTCHANGED, 0, 0);
  if (control->parentColor_) control->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  control->UpdateAnchorRules();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  if (control->align_ != alNone) Realign();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (!control || control->parent_ != this) return;
  control->Invalidate();
  if (TForm* f = ParentForm()) {
    TWinControl* ac = f->ActiveControl();
    if (ac && (ac == control || (control->IsWindowed() && static_cast<TWinControl*>(control)->ContainsControl(ac))))
      f->activeControl_ = nullptr;
  }
  if (GetCaptureControl() && (GetCaptureControl() == control ||
                              (control->IsWindowed() && static_cast<TWinControl*>(control)->ContainsControl(GetCaptureControl()))))
    SetCaptureControl(nullptr);
  std::erase(controls_, control);
  auto same = [control](TWinControl* w) { return static_cast<TControl*>(w) == control; };
  std::erase_if(winControls_, same);
  std::erase_if(tabList_, same);
  control->parent_ = nullptr;
  if (!HasState(csDestroying)) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (control->align_ != alNone) Realign();
  }
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->parent_)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls, bool allLevels) const {
  auto test = [&](TControl* c) -> TControl* {
    if (!c->Visible()) return nullptr;
    if (!allowDisabled && !c->Enabled()) return nullptr;
    const TPoint local{pos.X - c->Left(), pos.Y - c->Top()};
    if (!c->BoundsRect().Contains(pos) || !c->HitTest(local)) return nullptr;
    if (allLevels && c->IsWindowed()) {
      if (TControl* inner = static_cast<TWinControl*>(c)->ControlAtPos(local, allowDisabled, allowWinControls, true))
        return inner;
    }
    return c;
  };
  if (allowWinControls) {
    for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
      if (TControl* r = test(*it)) return r;
  }
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (TControl* r = test(*it)) return r;
  return nullptr;
}

HWND TWinControl::Handle() {
  if (!handle_) {
    handle_ = AllocateVirtualHandle([this](TMessage& m) {
      // As a window's main procedure: errors go to the error box, not to the sender.
      try {
        TWndMethod proc = WindowProc();
        proc(m);
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(this);
      }
    });
  }
  return handle_;
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (order < 0 || order > static_cast<int>(list.size())) order = static_cast<int>(list.size());
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::CanFocus() const {
  TForm* form = ParentForm();
  if (!form) return false;
  for (const TControl* c = this; c && c != form; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

void TWinControl::SetFocus() {
  TForm* form = ParentForm();
  if (!form) return;
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->SetFocusedControl(this);
}

bool TWinControl::Focused() const {
  TForm* form = ParentForm();
  return form && form->ActiveControl() == this;
}

void TWinControl::CollectTabList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->CollectTabList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  CollectTabList(list);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[static_cast<std::size_t>(i)] == current) start = i;
  if (start < 0) start = goForward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c == current) break;
    if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

void TWinControl::Broadcast(TMessage& message) {
  // A copy: a receiver may change the list.
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  std::vector<ComponentGuard> guards(all.begin(), all.end());
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!guards[i]) continue;
    TControl* c = all[i];
    if (c->IsWindowed()) {
      message.Result = SendMessage(static_cast<TWinControl*>(c)->Handle(), message.Msg, message.WParam, message.LParam);
    } else {
      TWndMethod proc = c->WindowProc();
      proc(message);
    }
    if (message.Result != 0) return;
  }
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
  if (alignDisabled_ > 0 || aligning_) return;
  aligning_ = true;
  TRect r = ClientRect();
  AlignControls(r);
  aligning_ = false;
}

void TWinControl::AlignControls(TRect& rect) {
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  const TRect client = ClientRect();
  // Anchored controls follow the right and bottom edges.
  for (TControl* c : all) {
    if (c->align_ != alNone) continue;
    if (!c->anchorsKnown_) {
      c->UpdateAnchorRules();
      continue;
    }
    int left = c->left_, top = c->top_, width = c->width_, height = c->height_;
    if (c->anchors_ & akRight) {
      if (c->anchors_ & akLeft)
        width = client.Width() - c->anchorRight_ - left;
      else
        left = client.Width() - c->anchorRight_ - width;
    }
    if (c->anchors_ & akBottom) {
      if (c->anchors_ & akTop)
        height = client.Height() - c->anchorBottom_ - top;
      else
        top = client.Height() - c->anchorBottom_ - height;
    }
    c->SetBoundsRaw(left, top, width, height);
  }
  auto placeAll = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : all)
      if (c->align_ == align && c->visible_) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      switch (align) {
        case alTop:
          return a->top_ < b->top_;
        case alBottom:
          return a->top_ + a->height_ > b->top_ + b->height_;
        case alLeft:
          return a->left_ < b->left_;
        case alRight:
          return a->left_ + a->width_ > b->left_ + b->width_;
        default:
          return false;
      }
    });
    for (TControl* c : list) {
      switch (align) {
        case alTop:
          c->SetBoundsRaw(rect.Left, rect.Top, rect.Width(), c->height_);
          rect.Top += c->height_;
          break;
        case alBottom:
          c->SetBoundsRaw(rect.Left, rect.Bottom - c->height_, rect.Width(), c->height_);
          rect.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBoundsRaw(rect.Left, rect.Top, c->width_, rect.Height());
          rect.Left += c->width_;
          break;
        case alRight:
          c->SetBoundsRaw(rect.Right - c->width_, rect.Top, c->width_, rect.Height());
          rect.Right -= c->width_;
          break;
        case alClient:
          c->SetBoundsRaw(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
        default:
          break;
      }
    }
  };
  placeAll(alTop);
  placeAll(alBottom);
  placeAll(alLeft);
  placeAll(alRight);
  placeAll(alClient);
}

void TWinControl::SetBounds(int left, int top, int width, int height) { TControl::SetBounds(left, top, width, height); }

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      auto key = static_cast<std::uint16_t>(m.WParam);
      KeyDown(key, KeyboardStateToShiftState());
      m.WParam = key;
      m.Result = key == 0 ? 1 : 0;
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<std::uint16_t>(m.WParam);
      KeyUp(key, KeyboardStateToShiftState());
      m.WParam = key;
      m.Result = key == 0 ? 1 : 0;
      return;
    }
    case WM_CHAR: {
      auto ch = static_cast<char32_t>(m.WParam);
      KeyPress(ch);
      m.WParam = ch;
      m.Result = ch == 0 ? 1 : 0;
      return;
    }
    case CM_DIALOGKEY:
      Broadcast(m);  // the default and cancel buttons answer with a non-zero result
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_PARENTFONTCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED: {
      TControl::WndProc(m);
      // Children that follow the parent's font or colour follow this one.
      const UINT childMsg = (m.Msg == CM_FONTCHANGED || m.Msg == CM_PARENTFONTCHANGED) ? CM_PARENTFONTCHANGED
                                                                                         : CM_PARENTCOLORCHANGED;
      std::vector<TControl*> all;
      for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
      for (TControl* c : all) c->Perform(childMsg, 0, 0);
      return;
    }
    default:
      TControl::WndProc(m);
  }
}

void TWinControl::Paint(TCanvas& canvas) {
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
}

void TWinControl::DoEnter() { RaiseEvent(OnEnter, this); }
void TWinControl::DoExit() { RaiseEvent(OnExit, this); }
void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) { RaiseEvent(OnKeyDown, this, key, shift); }
void TWinControl::KeyPress(char32_t& key) { RaiseEvent(OnKeyPress, this, key); }
void TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) { RaiseEvent(OnKeyUp, this, key, shift); }

}  // namespace tv
