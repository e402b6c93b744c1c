#include "framework/MessageWindow.h"

#include <map>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Screen.h"
#include "platform/Platform.h"

namespace tv {
namespace {

struct Registry {
  std::map<HWND, std::shared_ptr<TWndMethod>> procs;
  HWND nextVirtual = kVirtualHandleBase;
  // Messages posted to handles without a platform window wait here; the application window
  // carries their serial number through the queue.
  std::map<std::uint64_t, std::pair<HWND, TMessage>> virtualPosts;
  std::uint64_t nextPost = 1;
};

Registry& Reg() {
  static Registry r;
  return r;
}

constexpr UINT kDeliverVirtualPost = CM_BASE + 0x1FF;

bool IsVirtual(HWND h) { return h >= kVirtualHandleBase; }

TForm* FormOf(HWND h) {
  if (!Screen || h == 0) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->Handle() == h) return f;
  }
  return nullptr;
}

}  // namespace

void RegisterWindowProc(HWND window, TWndMethod proc) {
  if (window == 0) return;
  Reg().procs[window] = std::make_shared<TWndMethod>(std::move(proc));
}

void UnregisterWindowProc(HWND window) {
  auto& r = Reg();
  r.procs.erase(window);
  std::erase_if(r.virtualPosts, [&](const auto& kv) { return kv.second.first == window; });
}

bool IsKnownWindow(HWND window) { return Reg().procs.count(window) != 0; }

HWND AllocateVirtualHandle(TWndMethod proc) {
  HWND h = Reg().nextVirtual++;
  RegisterWindowProc(h, std::move(proc));
  return h;
}

HWND AllocateHWnd(TWndMethod proc) {
  HWND h = platform::GetPlatform().CreateWindow(platform::WindowKind::MessageOnly);
  if (h == 0) return 0;
  RegisterWindowProc(h, std::move(proc));
  return h;
}

void DeallocateHWnd(HWND window) {
  if (window == 0) return;
  UnregisterWindowProc(window);
  if (platform::HasPlatform()) platform::GetPlatform().DestroyWindow(window);
}

TWndMethod GetWindowProc(HWND window) {
  auto it = Reg().procs.find(window);
  return it == Reg().procs.end() ? TWndMethod() : *it->second;
}

TWndMethod SetWindowProc(HWND window, TWndMethod proc) {
  auto it = Reg().procs.find(window);
  if (it == Reg().procs.end()) return TWndMethod();
  TWndMethod old = *it->second;
  // A new cell, so a procedure running right now keeps its own copy alive.
  it->second = std::make_shared<TWndMethod>(std::move(proc));
  return old;
}

LRESULT CallWindowProc(const TWndMethod& proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (proc)
    proc(m);
  else
    m.Result = DefWindowProc(window, msg, wParam, lParam);
  return m.Result;
}

void DispatchToWindow(HWND window, TMessage& message) {
  auto& r = Reg();
  if (message.Msg == kDeliverVirtualPost && Application && window == Application->Handle()) {
    auto it = r.virtualPosts.find(message.WParam);
    if (it == r.virtualPosts.end()) return;
    auto [target, m] = it->second;
    r.virtualPosts.erase(it);
    DispatchToWindow(target, m);
    return;
  }
  auto it = r.procs.find(window);
  if (it == r.procs.end()) return;  // a destroyed window: dropped
  std::shared_ptr<TWndMethod> proc = it->second;
  if (*proc) (*proc)(message);
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  DispatchToWindow(window, m);
  return m.Result;
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (window == 0 || !platform::HasPlatform()) return false;
  if (IsVirtual(window)) {
    auto& r = Reg();
    if (!r.procs.count(window) || !Application) return false;
    std::uint64_t serial = r.nextPost++;
    r.virtualPosts[serial] = {window, TMessage{msg, wParam, lParam, 0}};
    return platform::GetPlatform().PostMessage(Application->Handle(), kDeliverVirtualPost, static_cast<WPARAM>(serial), 0);
  }
  return platform::GetPlatform().PostMessage(window, msg, wParam, lParam);
}

UINT RegisterWindowMessage(const std::string& name) {
  static std::map<std::string, UINT> registered;
  if (name.empty()) return 0;
  auto it = registered.find(name);
  if (it != registered.end()) return it->second;
  const UINT id = 0xC000 + static_cast<UINT>(registered.size());
  if (id > 0xFFFF) return 0;
  registered.emplace(name, id);
  return id;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

bool IsWindowVisible(HWND window) {
  if (Application && window == Application->Handle()) return Application->WindowVisible();
  if (TForm* f = FormOf(window)) return f->Showing();
  if (IsVirtual(window) || !platform::HasPlatform()) return false;
  return platform::GetPlatform().IsWindowVisible(window);
}

bool ShowWindow(HWND window, int cmdShow) {
  const bool wasVisible = IsWindowVisible(window);
  if (Application && window == Application->Handle()) {
    switch (cmdShow) {
      case SW_HIDE:
        Application->SetWindowVisibleFlag(false);
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
        Application->Minimize();
        break;
      case SW_RESTORE:
        Application->Restore();
        Application->SetWindowVisibleFlag(true);
        break;
      default:
        Application->SetWindowVisibleFlag(true);
        break;
    }
    return wasVisible;
  }
  if (TForm* f = FormOf(window)) {
    switch (cmdShow) {
      case SW_HIDE:
        f->SetVisible(false);
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
        f->SetWindowState(wsMinimized);
        f->SetVisible(true);
        break;
      case SW_MAXIMIZE:
        f->SetWindowState(wsMaximized);
        f->SetVisible(true);
        break;
      case SW_RESTORE:
      case SW_SHOWNORMAL:
        f->SetWindowState(wsNormal);
        f->SetVisible(true);
        break;
      default:
        f->SetVisible(true);
        break;
    }
    return wasVisible;
  }
  if (!IsVirtual(window) && platform::HasPlatform()) {
    auto& p = platform::GetPlatform();
    switch (cmdShow) {
      case SW_HIDE:
        p.ShowWindow(window, platform::ShowMode::Hide);
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
        p.ShowWindow(window, platform::ShowMode::Minimized);
        break;
      case SW_MAXIMIZE:
        p.ShowWindow(window, platform::ShowMode::Maximized);
        break;
      default:
        p.ShowWindow(window, platform::ShowMode::Normal);
        break;
    }
  }
  return wasVisible;
}

bool IsIconic(HWND window) {
  if (Application && window == Application->Handle()) return Application->WindowMinimized();
  if (TForm* f = FormOf(window)) return f->WindowState() == wsMinimized;
  if (IsVirtual(window) || !platform::HasPlatform()) return false;
  return platform::GetPlatform().IsWindowMinimized(window);
}

bool SetForegroundWindow(HWND window) {
  if (!platform::HasPlatform()) return false;
  if (Application && window == Application->Handle()) {
    Application->BringToFront();
    return true;
  }
  if (TForm* f = FormOf(window)) {
    if (!f->Showing()) return false;
    return platform::GetPlatform().ActivateWindow(window);
  }
  if (IsKnownWindow(window)) return true;  // message windows: nothing to raise
  return platform::GetPlatform().ActivateWindow(window);
}

HWND GetForegroundWindow() { return platform::HasPlatform() ? platform::GetPlatform().ActiveWindow() : 0; }

}  // namespace tv
