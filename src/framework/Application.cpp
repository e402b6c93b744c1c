#include "framework/Application.h"

#include <cstdio>

#include "framework/Exceptions.h"
#include "framework/Screen.h"
#include "platform/fake/FakePlatform.h"

namespace tv {

TApplication* Application = nullptr;

namespace {

WPARAM MouseKeys(std::uint16_t shift) {
  WPARAM w = 0;
  if (shift & platform::kShift) w |= MK_SHIFT;
  if (shift & platform::kCtrl) w |= MK_CONTROL;
  if (shift & platform::kLeft) w |= MK_LBUTTON;
  if (shift & platform::kRight) w |= MK_RBUTTON;
  if (shift & platform::kMiddle) w |= MK_MBUTTON;
  return w;
}

UINT ButtonMessage(platform::MouseButton b, UINT left, UINT right, UINT middle) {
  switch (b) {
    case platform::MouseButton::Right:
      return right;
    case platform::MouseButton::Middle:
      return middle;
    default:
      return left;
  }
}

// Code points of a UTF-8 text; malformed bytes are skipped.
std::vector<char32_t> DecodeUtf8(const std::string& s) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (ok) out.push_back(cp);
    i += ok ? static_cast<std::size_t>(len) : 1;
  }
  return out;
}

TForm* FormOfHandle(HWND h) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->Handle() == h) return Screen->Forms(i);
  return nullptr;
}

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (!Application) Application = this;
  if (!Screen) {
    Screen = new TScreen();
    ownsScreen_ = true;
  }
  auto& p = platform::GetPlatform();
  title_ = BaseName(p.ExecutablePath());
  handle_ = AllocateHWnd([this](TMessage& m) {
    // Hooks first, newest first; a copy, since a hook may add or remove hooks.
    auto hooks = hooks_;
    ComponentGuard guard(this);
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
      if (it->fn(m)) return;
      if (!guard) return;
    }
    WndProc(m);
  });
  p.SetWindowTitle(handle_, title_);
  p.SetEventHandler([this](const platform::Event& e) { DispatchEvent(e); });
  presenter_ = [](const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", Application ? Application->Title().c_str() : "", text.c_str());
  };
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  DeallocateHWnd(handle_);
  if (platform::HasPlatform()) platform::GetPlatform().SetEventHandler(nullptr);
  if (Application == this) Application = nullptr;
  if (ownsScreen_) {
    delete Screen;
    Screen = nullptr;
  }
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  platform::GetPlatform().SetWindowTitle(handle_, title);
}

void TApplication::SetMainFormFromCreate(TForm* form) { mainForm_ = form; }

// ---- the loop ---------------------------------------------------------------------------------------

void TApplication::Run() {
  running_ = true;
  if (mainForm_ && showMainForm_) {
    if (mainForm_->WindowState() == wsMinimized)
      Minimize();
    else
      mainForm_->SetVisible(true);
  }
  while (!terminated_) HandleMessage();
  running_ = false;
}

void TApplication::UpdateForms() {
  if (!Screen) return;
  std::vector<std::pair<TForm*, ComponentGuard>> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.emplace_back(Screen->Forms(i), ComponentGuard(Screen->Forms(i)));
  for (auto& [f, g] : forms) {
    // A form made with plain new completes its creation here at the latest.
    if (g && !f->created_) {
      try {
        f->CompleteCreation();
      } catch (const platform::FakePlatform::Stall&) {
        throw;
      } catch (...) {
        HandleException(f);
      }
    }
    if (!g || !f->NeedsPaint()) continue;
    try {
      f->UpdateWindow();
    } catch (const platform::FakePlatform::Stall&) {
      throw;
    } catch (...) {
      HandleException(f);
    }
  }
}

void TApplication::ProcessMessages() {
  platform::GetPlatform().ProcessEvents(false);
  UpdateForms();
}

void TApplication::HandleMessage() {
  UpdateForms();
  if (OnIdle) {
    try {
      RaiseEvent(OnIdle, this);
    } catch (const platform::FakePlatform::Stall&) {
      throw;
    } catch (...) {
      HandleException(this);
    }
  }
  if (terminated_) return;
  platform::GetPlatform().ProcessEvents(true);
  UpdateForms();
}

void TApplication::Terminate() {
  terminated_ = true;
  platform::GetPlatform().Wake();
}

void TApplication::RunModalLoop(const std::function<bool()>& done) {
  while (!terminated_ && !done()) HandleMessage();
}

// ---- dispatch ------------------------------------------------------------------------------------------

void TApplication::DispatchEvent(const platform::Event& e) {
  try {
    if (e.kind == platform::EventKind::Message) {
      TMessage m{e.msg, e.wParam, e.lParam, 0};
      DispatchToWindow(e.window, m);
      return;
    }
    if (TForm* form = FormOfHandle(e.window)) DeliverInput(form, e);
  } catch (const platform::FakePlatform::Stall&) {
    throw;  // a test that would hang ends here
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::DeliverInput(TForm* form, const platform::Event& e) {
  using platform::EventKind;
  const HWND h = form->Handle();
  auto send = [&](UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    DispatchToWindow(h, m);
  };
  const bool input = e.kind == EventKind::MouseDown || e.kind == EventKind::MouseUp ||
                     e.kind == EventKind::MouseMove || e.kind == EventKind::DoubleClick ||
                     e.kind == EventKind::MouseWheel || e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp ||
                     e.kind == EventKind::Char || e.kind == EventKind::CloseRequest;
  // A disabled window (another one is modal) gets no input.
  if (input && !form->Enabled()) return;
  if (e.kind != EventKind::Char && e.kind != EventKind::Activate && e.kind != EventKind::Deactivate)
    currentShift_ = e.shift & (platform::kShift | platform::kAlt | platform::kCtrl);
  const LPARAM pos = MAKELPARAM(e.pos.x, e.pos.y);
  switch (e.kind) {
    case EventKind::MouseDown:
      send(ButtonMessage(e.button, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), MouseKeys(e.shift), pos);
      break;
    case EventKind::MouseUp:
      send(ButtonMessage(e.button, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), MouseKeys(e.shift), pos);
      break;
    case EventKind::DoubleClick:
      send(ButtonMessage(e.button, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK), MouseKeys(e.shift), pos);
      break;
    case EventKind::MouseMove:
      send(WM_MOUSEMOVE, MouseKeys(e.shift), pos);
      break;
    case EventKind::MouseWheel: {
      const TPoint screen = form->ClientToScreen({e.pos.x, e.pos.y});
      send(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeys(e.shift)), e.wheelDelta),
           MAKELPARAM(screen.X, screen.Y));
      break;
    }
    case EventKind::MouseLeave:
      send(WM_MOUSELEAVE, 0, 0);
      break;
    case EventKind::KeyDown:
      send((e.shift & platform::kAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, e.key, 0);
      break;
    case EventKind::KeyUp:
      send((e.shift & platform::kAlt) ? WM_SYSKEYUP : WM_KEYUP, e.key, 0);
      break;
    case EventKind::Char: {
      ComponentGuard guard(form);
      for (char32_t cp : DecodeUtf8(e.text)) {
        if (!guard) break;
        send(WM_CHAR, cp, 0);
      }
      break;
    }
    case EventKind::Activate:
      if (!active_) {
        active_ = true;
        RaiseEvent(OnActivate, this);
      }
      send(WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case EventKind::Deactivate: {
      send(WM_ACTIVATE, WA_INACTIVE, 0);
      // The application stays active while one of its windows is.
      const HWND now = platform::GetPlatform().ActiveWindow();
      if (active_ && !FormOfHandle(now)) {
        active_ = false;
        RaiseEvent(OnDeactivate, this);
      }
      break;
    }
    case EventKind::CloseRequest:
      send(WM_CLOSE, 0, 0);
      break;
    case EventKind::Minimized:
      send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    case EventKind::Restored:
      send(WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case EventKind::Resized: {
      form->SetBounds(form->Left(), form->Top(), e.size.width + form->FrameExtraWidth(),
                      e.size.height + form->FrameExtraHeight());
      send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(e.size.width, e.size.height));
      break;
    }
    case EventKind::Expose:
      form->presentPending_ = true;
      break;
    case EventKind::Message:
      break;
  }
}

// ---- the application window ------------------------------------------------------------------------

int TApplication::HookMainWindow(TWindowHook hook) {
  const int id = nextHookId_++;
  hooks_.push_back({id, std::move(hook)});
  return id;
}

void TApplication::UnhookMainWindow(int id) {
  std::erase_if(hooks_, [&](const Hook& h) { return h.id == id; });
}

void TApplication::UpdateWindowVisible() {
  bool any = false;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Showing()) any = true;
  windowVisible_ = any;
}

void TApplication::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          break;
        case SC_RESTORE:
          InternalRestore();
          break;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      break;
    default:
      m.Result = DefWindowProc(handle_, m.Msg, m.WParam, m.LParam);
  }
}

void TApplication::Minimize() {
  if (minimized_) return;
  InternalMinimize();
}

void TApplication::InternalMinimize() {
  minimized_ = true;
  ComponentGuard guard(this);
  // Owned windows go away with the application window, as on Windows.
  if (Screen) {
    std::vector<std::pair<TForm*, ComponentGuard>> forms;
    for (int i = 0; i < Screen->FormCount(); ++i) forms.emplace_back(Screen->Forms(i), ComponentGuard(Screen->Forms(i)));
    for (auto& [f, g] : forms)
      if (g && f->Showing()) SendMessage(f->Handle(), WM_SHOWWINDOW, 0, SW_PARENTCLOSING);
  }
  if (!guard) return;
  SendMessage(handle_, WM_SIZE, SIZE_MINIMIZED, 0);
  if (!guard) return;
  RaiseEvent(OnMinimize, this);
}

void TApplication::Restore() {
  if (!minimized_) return;
  SendMessage(handle_, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TApplication::InternalRestore() {
  if (!minimized_) return;
  minimized_ = false;
  ComponentGuard guard(this);
  if (Screen) {
    std::vector<std::pair<TForm*, ComponentGuard>> forms;
    for (int i = 0; i < Screen->FormCount(); ++i) forms.emplace_back(Screen->Forms(i), ComponentGuard(Screen->Forms(i)));
    for (auto& [f, g] : forms)
      if (g && f->hiddenByParent_) SendMessage(f->Handle(), WM_SHOWWINDOW, 1, SW_PARENTOPENING);
  }
  if (!guard) return;
  if (mainForm_ && mainForm_->WindowState() == wsMinimized) mainForm_->SetWindowState(wsNormal);
  SendMessage(handle_, WM_SIZE, SIZE_RESTORED, 0);
  if (!guard) return;
  RaiseEvent(OnRestore, this);
}

void TApplication::BringToFront() {
  TForm* target = nullptr;
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->Showing()) target = Screen->ActiveForm();
  if (!target && mainForm_ && mainForm_->Showing()) target = mainForm_;
  if (target && target->Enabled()) platform::GetPlatform().ActivateWindow(target->Handle());
}

// ---- errors ---------------------------------------------------------------------------------------------

void TApplication::SetExceptionPresenter(std::function<void(const std::string&)> presenter) {
  presenter_ = std::move(presenter);
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  try {
    std::rethrow_exception(ep);
  } catch (const platform::FakePlatform::Stall&) {
    throw;
  } catch (const EAbort&) {
    // silent by design
  } catch (const std::exception& e) {
    if (OnException) {
      try {
        RaiseEvent(OnException, sender, e);
      } catch (const platform::FakePlatform::Stall&) {
        throw;
      } catch (...) {
        std::fprintf(stderr, "%s: error in the exception handler\n", title_.c_str());
      }
    } else {
      ShowException(e);
    }
  } catch (...) {
    ShowException(Exception("Unknown error"));
  }
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  // As the VCL's error box: a sentence gets its full stop.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  try {
    if (presenter_) presenter_(text);
  } catch (const platform::FakePlatform::Stall&) {
    throw;
  } catch (...) {
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), text.c_str());
  }
}

}  // namespace tv
