#include "framework/Form.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Screen.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"

namespace tv {
namespace {

TControl* gCaptureControl = nullptr;

platform::Platform* Plat() { return platform::HasPlatform() ? &platform::GetPlatform() : nullptr; }

platform::ShowMode ShowModeOf(TWindowState state) {
  switch (state) {
    case wsMinimized:
      return platform::ShowMode::Minimized;
    case wsMaximized:
      return platform::ShowMode::Maximized;
    default:
      return platform::ShowMode::Normal;
  }
}

}  // namespace

TControl* GetCaptureControl() { return gCaptureControl; }

void SetCaptureControl(TControl* control) {
  if (control == gCaptureControl) return;
  gCaptureControl = control;
  auto* p = Plat();
  if (!p) return;
  if (control) {
    if (TForm* f = control->ParentForm()) p->SetCapture(f->Handle());
  } else {
    p->ReleaseCapture();
  }
}

// ---- construction and destruction ------------------------------------------------------------------

TForm::TForm(TComponent* owner) : TWinControl(owner), buffer_(std::make_unique<TBitmap>()) {
  BeginLoading();
  visible_ = false;
  parentFont_ = false;
  SetControlStyle(ControlStyle() | csAcceptsControls);
  handle_ = platform::GetPlatform().CreateWindow(platform::WindowKind::TopLevel);
  RegisterWindowProc(handle_, [this](TMessage& m) {
    // As a window's main procedure: errors go to the error box, not to the sender.
    try {
      TWndMethod proc = WindowProc();
      proc(m);
    } catch (...) {
      if (!Application) throw;
      Application->HandleException(this);
    }
  });
  if (Screen) Screen->AddForm(this);
  SetBounds(0, 0, 320 + FrameExtraWidth(), 240 + FrameExtraHeight());
  UpdateLayered();
}

TForm::~TForm() {
  if (!destructionStarted_) TForm::BeforeDestruction();
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (GetCaptureControl() && ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
  UnregisterWindowProc(handle_);
  if (auto* p = Plat()) p->DestroyWindow(handle_);
  visible_ = false;
  if (Application) Application->UpdateWindowVisible();
}

void TForm::AfterConstruction() { CompleteCreation(); }

void TForm::CompleteCreation() {
  if (created_) return;
  created_ = true;
  ComponentGuard guard(this);
  EndLoading();
  if (!guard) return;
  Realign();
  DoCreate();
  if (!guard) return;
  // A form made visible while it was being built shows now.
  if (visible_) {
    visible_ = false;
    SetVisible(true);
  }
}

void TForm::BeforeDestruction() {
  if (destructionStarted_) return;
  destructionStarted_ = true;
  Destroying();
  DoDestroy();
  TWinControl::BeforeDestruction();
}

// ---- geometry ----------------------------------------------------------------------------------------

int TForm::FrameLeft() const { return borderStyle_ == bsNone ? 0 : kFrameWidth; }
int TForm::FrameTop() const { return borderStyle_ == bsNone ? 0 : kFrameWidth + kCaptionHeight; }
int TForm::FrameExtraWidth() const { return borderStyle_ == bsNone ? 0 : 2 * kFrameWidth; }
int TForm::FrameExtraHeight() const { return borderStyle_ == bsNone ? 0 : 2 * kFrameWidth + kCaptionHeight; }

TRect TForm::ClientRect() const {
  return {0, 0, std::max(0, Width() - FrameExtraWidth()), std::max(0, Height() - FrameExtraHeight())};
}

TPoint TForm::ClientOrigin() const {
  // The window manager may have moved the window: the platform knows where it is.
  if (auto* p = Plat(); p && handle_ && p->IsWindow(handle_)) {
    const platform::Rect g = p->WindowGeometry(handle_);
    return {g.left, g.top};
  }
  return {Left() + FrameLeft(), Top() + FrameTop()};
}

void TForm::SetBounds(int left, int top, int width, int height) {
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  const bool resized = width != Width() || height != Height();
  TControl::SetBounds(left, top, width, height);
  if (resized) ResizeBuffer();
  ApplyGeometry();
}

void TForm::SetClientWidth(int v) { SetBounds(Left(), Top(), v + FrameExtraWidth(), Height()); }
void TForm::SetClientHeight(int v) { SetBounds(Left(), Top(), Width(), v + FrameExtraHeight()); }

void TForm::ApplyGeometry() {
  auto* p = Plat();
  if (!p || !handle_) return;
  const TPoint o{Left() + FrameLeft(), Top() + FrameTop()};
  const TRect c = ClientRect();
  p->SetWindowGeometry(handle_, {o.X, o.Y, o.X + c.Width(), o.Y + c.Height()});
}

void TForm::ResizeBuffer() {
  const TRect c = ClientRect();
  if (buffer_->Width() != c.Width() || buffer_->Height() != c.Height()) buffer_->SetSize(c.Width(), c.Height());
  invalid_ = true;
}

// ---- window attributes --------------------------------------------------------------------------------

void TForm::SetWindowState(TWindowState s) {
  if (s == windowState_) return;
  windowState_ = s;
  if (!Showing() || hiddenByParent_) return;
  auto* p = Plat();
  p->ShowWindow(handle_, ShowModeOf(s));
}

void TForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == borderStyle_) return;
  const TRect client = ClientRect();
  borderStyle_ = s;
  auto* p = Plat();
  p->SetWindowBorderless(handle_, s == bsNone);
  p->SetWindowFixedSize(handle_, s == bsSingle || s == bsDialog || s == bsToolWindow);
  // The client area keeps its size; the frame grows or shrinks around it.
  SetBounds(Left(), Top(), client.Width() + FrameExtraWidth(), client.Height() + FrameExtraHeight());
}

void TForm::SetFormStyle(TFormStyle s) {
  if (s == formStyle_) return;
  formStyle_ = s;
  Plat()->SetWindowStayOnTop(handle_, s == fsStayOnTop);
}

void TForm::SetAlphaBlend(bool v) {
  if (v == alphaBlend_) return;
  alphaBlend_ = v;
  UpdateLayered();
}

void TForm::SetAlphaBlendValue(std::uint8_t v) {
  if (v == alphaBlendValue_) return;
  alphaBlendValue_ = v;
  UpdateLayered();
}

void TForm::SetTransparentColor(bool v) {
  if (v == transparentColor_) return;
  transparentColor_ = v;
  UpdateLayered();
}

void TForm::SetTransparentColorValue(TColor c) {
  if (c == transparentColorValue_) return;
  transparentColorValue_ = c;
  UpdateLayered();
}

void TForm::UpdateLayered() {
  auto* p = Plat();
  if (!p || !handle_) return;
  std::optional<TColor> key;
  if (transparentColor_) key = ColorToRGB(transparentColorValue_);
  p->SetWindowLayered(handle_, alphaBlend_ ? alphaBlendValue_ : 255, key);
}

TCanvas& TForm::Canvas() {
  presentPending_ = true;
  return buffer_->Canvas();
}

TBitmap& TForm::BackBuffer() { return *buffer_; }

// ---- showing and hiding ---------------------------------------------------------------------------------

bool TForm::Showing() const { return Visible() && created_; }

void TForm::SetVisible(bool v) {
  if (v == Visible()) return;
  if (!created_) {
    visible_ = v;  // takes effect when creation completes
    return;
  }
  ShowingChanged(v);
}

void TForm::ShowingChanged(bool show) {
  ComponentGuard guard(this);
  auto* p = Plat();
  if (show) {
    visible_ = true;
    hiddenByParent_ = false;
    DoShow();
    if (!guard || !visible_) return;
    if (!shownOnce_ && (position_ == poScreenCenter || position_ == poDesktopCenter)) {
      const platform::Size s = p->PrimaryScreenSize();
      SetBounds((s.width - Width()) / 2, (s.height - Height()) / 2, Width(), Height());
    }
    shownOnce_ = true;
    ApplyGeometry();
    SendMessage(handle_, WM_SHOWWINDOW, 1, 0);
    if (!guard || !visible_) return;
    invalid_ = true;
    p->ShowWindow(handle_, ShowModeOf(windowState_));
    if (Application) Application->UpdateWindowVisible();
    if (windowState_ != wsMinimized) p->ActivateWindow(handle_);
  } else {
    visible_ = false;
    DoHide();
    if (!guard || visible_) return;
    SendMessage(handle_, WM_SHOWWINDOW, 0, 0);
    if (!guard || visible_) return;
    if (GetCaptureControl() && ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
    p->ShowWindow(handle_, platform::ShowMode::Hide);
    if (Application) Application->UpdateWindowVisible();
  }
}

void TForm::SetEnabled(bool v) {
  if (v == Enabled()) return;
  TControl::SetEnabled(v);
  if (!v && GetCaptureControl() && ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
}

// ---- focus and activation -------------------------------------------------------------------------------

void TForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && (!ContainsControl(control) || control == this || !control->CanFocus()))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetFocusedControl(control);
}

bool TForm::SetFocusedControl(TWinControl* control) {
  if (control == activeControl_) return true;
  TWinControl* old = activeControl_;
  activeControl_ = control;
  if (old) {
    ComponentGuard g(old);
    old->Perform(WM_KILLFOCUS, 0, 0);
    if (g) old->Perform(CM_EXIT, 0, 0);
  }
  if (control && activeControl_ == control) {
    ComponentGuard g(control);
    control->Perform(WM_SETFOCUS, 0, 0);
    if (g) control->Perform(CM_ENTER, 0, 0);
  }
  return activeControl_ == control;
}

bool TForm::CanFocus() const { return Showing() && Enabled(); }

void TForm::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  Plat()->ActivateWindow(handle_);
}

void TForm::BringToFront() {
  if (Showing()) Plat()->ActivateWindow(handle_);
}

// ---- closing ------------------------------------------------------------------------------------------

bool TForm::CloseQuery() {
  bool canClose = true;
  RaiseEvent(OnCloseQuery, this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  ComponentGuard guard(this);
  if (!CloseQuery() || !guard) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (!guard || action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TForm::CloseModal() {
  try {
    ComponentGuard guard(this);
    TCloseAction action = caNone;
    if (CloseQuery()) {
      if (!guard) return;
      action = caHide;
      DoClose(action);
      if (!guard) return;
    }
    if (action == caNone) modalResult_ = mrNone;
    if (action == caFree) Release();
  } catch (...) {
    modalResult_ = mrNone;
    if (Application) Application->HandleException(this);
  }
}

TModalResult TForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  CompleteCreation();
  if (GetCaptureControl()) SetCaptureControl(nullptr);
  ComponentGuard guard(this);
  // Every other enabled form is disabled while this one runs.
  std::vector<std::pair<TForm*, ComponentGuard>> disabled;
  if (Screen) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (f != this && f->Enabled()) disabled.emplace_back(f, ComponentGuard(f));
    }
  }
  for (auto& [f, g] : disabled) f->SetEnabled(false);
  auto reenable = [&] {
    for (auto& [f, g] : disabled)
      if (g) f->SetEnabled(true);
  };
  modal_ = true;
  modalResult_ = mrNone;
  TModalResult result = mrCancel;
  try {
    Show();
    while (guard && modalResult_ == mrNone) {
      Application->HandleMessage();
      if (!guard) break;
      if (Application->Terminated())
        modalResult_ = mrCancel;
      else if (modalResult_ != mrNone)
        CloseModal();
    }
    if (guard) {
      result = modalResult_;
      modal_ = false;
      Hide();
    }
  } catch (...) {
    if (guard) {
      modal_ = false;
      if (Visible()) Hide();
    }
    reenable();
    throw;
  }
  reenable();
  return result;
}

void TForm::Release() {
  if (releasing_) return;
  releasing_ = true;
  Plat()->PostMessage(handle_, CM_RELEASE, 0, 0);
}

// ---- painting ---------------------------------------------------------------------------------------------

void TForm::Invalidate() { invalid_ = true; }

void TForm::UpdateWindow() {
  if (!Showing() || hiddenByParent_) return;
  if (invalid_) PaintWindow();
  if (presentPending_) {
    presentPending_ = false;
    Plat()->PresentWindow(handle_, buffer_->View());
  }
}

void TForm::PaintWindow() {
  invalid_ = false;  // an error while painting is shown once, not on every pass
  presentPending_ = true;
  TCanvas& c = buffer_->Canvas();
  c.ResetClip();
  c.SetOrigin({0, 0});
  c.Pen().Assign(TPen());
  c.Brush().Assign(TBrush());
  c.Brush().SetColor(Color());
  c.FillRect(ClientRect());
  c.Font().Assign(Font());
  ComponentGuard guard(this);
  Paint(c);
  if (!guard) return;
  const TRect clip = ClientRect();
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  for (TControl* child : all) PaintControl(c, child, clip, {0, 0});
  c.ResetClip();
  c.SetOrigin({0, 0});
}

void TForm::PaintControl(TCanvas& canvas, TControl* control, const TRect& parentClip, TPoint origin) {
  if (!control->Visible()) return;
  const TRect r = control->BoundsRect().Offsetted(origin.X, origin.Y);
  const TRect clip = IntersectRect(r, parentClip);
  if (clip.IsEmpty()) return;
  canvas.ResetClip();
  canvas.SetOrigin(r.TopLeft());
  canvas.SetClipRect(clip.Offsetted(-r.Left, -r.Top));
  canvas.Pen().Assign(TPen());
  canvas.Brush().Assign(TBrush());
  canvas.Brush().SetColor(control->Color());
  canvas.Font().Assign(control->Font());
  control->Paint(canvas);
  if (control->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(control);
    for (int i = 0; i < w->ControlCount(); ++i) PaintControl(canvas, w->Controls(i), clip, r.TopLeft());
  }
}

void TForm::Paint(TCanvas&) { RaiseEvent(OnPaint, this); }

// ---- messages -------------------------------------------------------------------------------------------------

void TForm::SetHover(TControl* control) {
  TControl* old = hoverToken_.expired() ? nullptr : hover_;
  if (control == old) return;
  hover_ = control;
  hoverToken_ = control ? control->LifeToken() : std::weak_ptr<void>();
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (control && hover_ == control && !hoverToken_.expired()) control->Perform(CM_MOUSEENTER, 0, 0);
}

void TForm::DispatchMouse(TMessage& m) {
  ComponentGuard guard(this);
  const TPoint pos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TControl* hit = ControlAtPos(pos, false, true, true);
  SetHover(hit ? hit : this);
  if (!guard) return;

  // The cursor shape: the screen's when set, else the first non-default one up the tree.
  TCursor cur = Screen ? Screen->Cursor() : crDefault;
  for (TControl* c = hit ? hit : this; cur == crDefault && c; c = c->Parent()) cur = c->Cursor();
  const platform::Cursor pc = ToPlatformCursor(cur);
  if (pc != shownCursor_) {
    shownCursor_ = pc;
    Plat()->SetWindowCursor(handle_, pc);
  }

  TControl* target = GetCaptureControl();
  if (!target || target->ParentForm() != this) target = hit ? hit : this;
  if (target == this) {
    TWinControl::WndProc(m);
    return;
  }
  TPoint local = pos;
  for (const TControl* c = target; c && c != this; c = c->Parent()) {
    local.X -= c->Left();
    local.Y -= c->Top();
  }
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(local.X, local.Y));
}

void TForm::DispatchKey(TMessage& m) {
  ComponentGuard guard(this);
  TWinControl* target = activeControl_;
  if (keyPreview_ || !target) {
    TWinControl::WndProc(m);
    if (!guard || m.Result != 0 || m.WParam == 0) return;
    target = activeControl_;
    if (!target) return;
  }
  ComponentGuard targetGuard(target);
  m.Result = target->Perform(m.Msg, m.WParam, m.LParam);
  if (!guard || m.Result != 0) return;
  // Keys the control does not keep are dialog keys: Tab moves the focus, and Enter or Escape reach
  // the default or cancel button.
  if (m.Msg == WM_KEYDOWN && m.WParam != 0 && (!targetGuard || !target->WantsKey(static_cast<std::uint16_t>(m.WParam))))
    m.Result = Perform(CM_DIALOGKEY, m.WParam, 0);
}

void TForm::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    DispatchMouse(m);
    return;
  }
  switch (m.Msg) {
    case WM_MOUSEWHEEL: {
      if (inWheelDispatch_) {
        TWinControl::WndProc(m);
        return;
      }
      const TPoint client = ScreenToClient({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      TControl* target = ControlAtPos(client, false, true, true);
      if (!target) {
        TWinControl::WndProc(m);
        return;
      }
      ComponentGuard guard(this);
      inWheelDispatch_ = true;
      try {
        m.Result = target->Perform(m.Msg, m.WParam, m.LParam);
      } catch (...) {
        if (guard) inWheelDispatch_ = false;
        throw;
      }
      if (guard) inWheelDispatch_ = false;
      return;
    }
    case WM_MOUSELEAVE:
      SetHover(nullptr);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      DispatchKey(m);
      return;
    case WM_ACTIVATE: {
      ComponentGuard guard(this);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        if (active_) return;
        active_ = true;
        if (Screen) Screen->SetActiveForm(this);
        if (!activeControl_) {
          if (TWinControl* first = FindNextControl(nullptr, true, true, false)) SetFocusedControl(first);
          if (!guard) return;
        }
        Activate();
      } else {
        if (!active_) return;
        active_ = false;
        Deactivate();
      }
      return;
    }
    case WM_CLOSE:
      Close();
      return;
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          if (Application && Application->MainForm() == this)
            Application->Minimize();
          else
            SetWindowState(wsMinimized);
          return;
        case SC_RESTORE:
          if (Application && Application->MainForm() == this && Application->WindowMinimized())
            Application->Restore();
          else
            SetWindowState(wsNormal);
          return;
        case SC_MAXIMIZE:
          SetWindowState(wsMaximized);
          return;
        case SC_CLOSE:
          Close();
          return;
        default:
          return;
      }
    case WM_SHOWWINDOW:
      // The application window minimises or comes back: owned windows follow it.
      if (m.LParam == SW_PARENTCLOSING && m.WParam == 0) {
        if (Showing() && !hiddenByParent_) {
          hiddenByParent_ = true;
          // The main form stays in the task bar as a minimised window; other forms disappear.
          const bool isMain = Application && Application->MainForm() == this;
          Plat()->ShowWindow(handle_, isMain ? platform::ShowMode::Minimized : platform::ShowMode::Hide);
        }
      } else if (m.LParam == SW_PARENTOPENING && m.WParam != 0) {
        if (hiddenByParent_) {
          hiddenByParent_ = false;
          if (Showing()) {
            Plat()->ShowWindow(handle_, windowState_ == wsMaximized ? platform::ShowMode::Maximized
                                                                     : platform::ShowMode::Normal);
            invalid_ = true;
          }
        }
      }
      return;
    case WM_SIZE:
    case WM_PAINT:
      return;
    case CM_RELEASE:
      Free();
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_TAB && !(KeyboardStateToShiftState() & (ssAlt | ssCtrl))) {
        const bool backwards = (KeyboardStateToShiftState() & ssShift) != 0;
        SelectNext(activeControl_, !backwards, true);
        m.Result = 1;
        return;
      }
      TWinControl::WndProc(m);
      return;
    case CM_TEXTCHANGED:
      Plat()->SetWindowTitle(handle_, Caption());
      TWinControl::WndProc(m);
      return;
    default:
      TWinControl::WndProc(m);
  }
}

// ---- raisers ------------------------------------------------------------------------------------------------

// As in the VCL, an error in OnCreate or OnDestroy is shown and the creation or destruction goes on.
void TForm::DoCreate() {
  try {
    RaiseEvent(OnCreate, this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

void TForm::DoDestroy() {
  try {
    RaiseEvent(OnDestroy, this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}
void TForm::DoShow() { RaiseEvent(OnShow, this); }
void TForm::DoHide() { RaiseEvent(OnHide, this); }
void TForm::Activate() { RaiseEvent(OnActivate, this); }
void TForm::Deactivate() { RaiseEvent(OnDeactivate, this); }
void TForm::DoClose(TCloseAction& action) { RaiseEvent(OnClose, this, action); }

}  // namespace tv
