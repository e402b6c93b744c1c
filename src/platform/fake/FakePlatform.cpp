#include "platform/fake/FakePlatform.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tv::platform {
namespace {
// A handler that keeps posting messages forever would otherwise hang the test.
constexpr std::size_t kMaxEventsPerDrain = 1'000'000;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr int kMaxIdleSpins = 100'000;
}  // namespace

FakePlatform::FakePlatform() { SetScreenSize({1280, 800}); }

// ---- event loop ---------------------------------------------------------------------------------

void FakePlatform::SetEventHandler(EventHandler handler) { handler_ = std::move(handler); }

void FakePlatform::QueueEvent(Event e) { queue_.push_back(std::move(e)); }

void FakePlatform::Drain() {
  std::size_t handled = 0;
  while (!queue_.empty()) {
    if (++handled > kMaxEventsPerDrain) throw Stall("FakePlatform: events never stop coming");
    Event e = std::move(queue_.front());
    queue_.pop_front();
    // Events of a window destroyed while they waited are dropped, as the system would.
    if (e.window != 0 && !IsWindow(e.window)) continue;
    dispatched_.push_back(e);
    if (handler_) handler_(e);
  }
}

void FakePlatform::ProcessEvents(bool waitForMore) {
  if (waitForMore && queue_.empty()) {
    if (wakeRequested_) {
      wakeRequested_ = false;
      return;
    }
    bool changed = false;
    if (idleHook_) {
      auto hook = idleHook_;  // the hook may replace itself
      changed = hook();
    }
    if (queue_.empty() && !changed && !wakeRequested_) {
      if (!AdvanceToNextTimer()) throw Stall("FakePlatform: waiting with nothing to do");
    }
    // A hook that keeps saying it changed something while nothing ever arrives would spin forever.
    idleSpins_ = (queue_.empty() && changed) ? idleSpins_ + 1 : 0;
    if (idleSpins_ > kMaxIdleSpins) throw Stall("FakePlatform: the idle hook never lets the loop go on");
    wakeRequested_ = false;
  }
  Drain();
}

void FakePlatform::Wake() { wakeRequested_ = true; }

bool FakePlatform::PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return false;
  Event e;
  e.kind = EventKind::Message;
  e.window = window;
  e.msg = msg;
  e.wParam = wParam;
  e.lParam = lParam;
  queue_.push_back(std::move(e));
  return true;
}

// ---- windows ------------------------------------------------------------------------------------

FakePlatform::WindowRecord* FakePlatform::Find(HWND window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const FakePlatform::WindowRecord* FakePlatform::Window(HWND window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<HWND> FakePlatform::Windows() const { return windowOrder_; }

HWND FakePlatform::CreateWindow(WindowKind kind) {
  HWND h = nextWindow_++;  // never reused, so a stale handle stays invalid
  WindowRecord r;
  r.kind = kind;
  windows_.emplace(h, std::move(r));
  windowOrder_.push_back(h);
  return h;
}

void FakePlatform::DestroyWindow(HWND window) {
  if (!windows_.erase(window)) return;
  windowOrder_.erase(std::remove(windowOrder_.begin(), windowOrder_.end(), window), windowOrder_.end());
  std::erase_if(timers_, [&](const TimerRecord& t) { return t.window == window; });
  std::erase_if(hotKeys_, [&](const HotKeyRecord& k) { return k.window == window; });
  std::erase_if(queue_, [&](const Event& e) { return e.window == window; });
  if (active_ == window) active_ = 0;
  if (capture_ == window) capture_ = 0;
}

bool FakePlatform::IsWindow(HWND window) const { return windows_.count(window) != 0; }

void FakePlatform::SetWindowTitle(HWND window, const std::string& title) {
  if (auto* w = Find(window)) w->title = title;
}

void FakePlatform::SetWindowGeometry(HWND window, const Rect& client) {
  if (auto* w = Find(window)) w->geometry = client;
}

Rect FakePlatform::WindowGeometry(HWND window) const {
  auto* w = Window(window);
  return w ? w->geometry : Rect{};
}

void FakePlatform::SetWindowFixedSize(HWND window, bool fixed) {
  if (auto* w = Find(window)) w->fixedSize = fixed;
}

void FakePlatform::SetWindowBorderless(HWND window, bool borderless) {
  if (auto* w = Find(window)) w->borderless = borderless;
}

void FakePlatform::SetWindowStayOnTop(HWND window, bool onTop) {
  if (auto* w = Find(window)) w->stayOnTop = onTop;
}

void FakePlatform::SetWindowLayered(HWND window, std::uint8_t alpha, std::optional<TColor> colorKey) {
  if (auto* w = Find(window)) {
    w->alpha = alpha;
    w->colorKey = colorKey;
  }
}

void FakePlatform::CoverPrimaryScreen(HWND window) {
  if (auto* w = Find(window)) w->geometry = Rect{0, 0, screen_.width, screen_.height};
}

void FakePlatform::ShowWindow(HWND window, ShowMode mode) {
  auto* w = Find(window);
  if (!w || w->kind == WindowKind::MessageOnly) return;
  switch (mode) {
    case ShowMode::Hide:
      w->visible = false;
      if (active_ == window) SetActive(0);
      if (capture_ == window) capture_ = 0;
      break;
    case ShowMode::Normal:
      w->visible = true;
      w->minimized = false;
      w->maximized = false;
      break;
    case ShowMode::Minimized:
      w->visible = true;
      w->minimized = true;
      if (active_ == window) SetActive(0);
      break;
    case ShowMode::Maximized:
      w->visible = true;
      w->minimized = false;
      w->maximized = true;
      break;
  }
}

bool FakePlatform::IsWindowVisible(HWND window) const {
  auto* w = Window(window);
  return w && w->visible;
}

bool FakePlatform::IsWindowMinimized(HWND window) const {
  auto* w = Window(window);
  return w && w->minimized;
}

void FakePlatform::SetActive(HWND window) {
  if (active_ == window) return;
  if (active_ != 0) {
    Event e;
    e.kind = EventKind::Deactivate;
    e.window = active_;
    queue_.push_back(e);
  }
  active_ = window;
  if (window != 0) {
    Event e;
    e.kind = EventKind::Activate;
    e.window = window;
    queue_.push_back(e);
  }
}

bool FakePlatform::ActivateWindow(HWND window) {
  auto* w = Find(window);
  if (!w || w->kind == WindowKind::MessageOnly || !w->visible) return false;
  SetActive(window);
  return true;
}

HWND FakePlatform::ActiveWindow() const { return active_; }

void FakePlatform::PresentWindow(HWND window, const PixelView& image) {
  auto* w = Find(window);
  if (!w) return;
  PixelBuffer b;
  b.width = image.width;
  b.height = image.height;
  b.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(&b.pixels[static_cast<std::size_t>(y) * image.width], image.bits + static_cast<std::ptrdiff_t>(y) * image.stride,
                static_cast<std::size_t>(image.width) * 4);
  }
  w->lastImage = std::move(b);
  ++w->presentCount;
}

PixelBuffer FakePlatform::LastImage(HWND window) const {
  auto* w = Window(window);
  return (w && w->lastImage) ? *w->lastImage : PixelBuffer{};
}

void FakePlatform::SetWindowCursor(HWND window, Cursor cursor) {
  if (auto* w = Find(window)) w->cursor = cursor;
}

void FakePlatform::SetCapture(HWND window) {
  if (IsWindow(window)) capture_ = window;
}

void FakePlatform::ReleaseCapture() { capture_ = 0; }

// ---- timers -------------------------------------------------------------------------------------

bool FakePlatform::SetTimer(HWND window, std::uintptr_t id, std::uint32_t ms) {
  if (!IsWindow(window)) return false;
  ms = std::max<std::uint32_t>(ms, 1);
  for (auto& t : timers_) {
    if (t.window == window && t.id == id) {  // resetting an existing timer restarts its period
      t.intervalMs = ms;
      t.dueMs = now_ + ms;
      return true;
    }
  }
  timers_.push_back({window, id, ms, now_ + ms, timerSerial_++});
  return true;
}

bool FakePlatform::KillTimer(HWND window, std::uintptr_t id) {
  auto before = timers_.size();
  std::erase_if(timers_, [&](const TimerRecord& t) { return t.window == window && t.id == id; });
  if (timers_.size() == before) return false;
  // A killed timer delivers no tick that was still waiting.
  std::erase_if(queue_, [&](const Event& e) {
    return e.kind == EventKind::Message && e.window == window && e.msg == WM_TIMER && e.wParam == id;
  });
  return true;
}

void FakePlatform::PostTimer(const TimerRecord& t) {
  for (const auto& e : queue_) {
    if (e.kind == EventKind::Message && e.window == t.window && e.msg == WM_TIMER && e.wParam == t.id) return;
  }
  PostMessage(t.window, WM_TIMER, t.id, 0);
}

bool FakePlatform::AdvanceToNextTimer() {
  if (timers_.empty()) return false;
  auto next = std::min_element(timers_.begin(), timers_.end(), [](const TimerRecord& a, const TimerRecord& b) {
    return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.serial < b.serial;
  });
  AdvanceClock(next->dueMs > now_ ? next->dueMs - now_ : 0);
  return true;
}

void FakePlatform::AdvanceClock(std::uint64_t ms) {
  const std::uint64_t target = now_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const TimerRecord& a, const TimerRecord& b) {
      return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.serial < b.serial;
    });
    if (next == timers_.end() || next->dueMs > target) break;
    now_ = std::max(now_, next->dueMs);
    next->dueMs += next->intervalMs;
    PostTimer(*next);
  }
  now_ = target;
}

std::vector<FakePlatform::TimerRecord> FakePlatform::Timers() const { return timers_; }

bool FakePlatform::HasTimer(HWND window, std::uintptr_t id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const TimerRecord& t) { return t.window == window && t.id == id; });
}

std::optional<std::uint32_t> FakePlatform::TimerInterval(HWND window, std::uintptr_t id) const {
  for (const auto& t : timers_)
    if (t.window == window && t.id == id) return t.intervalMs;
  return std::nullopt;
}

// ---- hot keys -----------------------------------------------------------------------------------

bool FakePlatform::RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) {
  if (!IsWindow(window) || vk == 0 || takenKeys_.count(vk)) return false;
  for (const auto& k : hotKeys_) {
    if (k.window == window && k.id == id) return false;
    if (k.vk == vk && k.modifiers == modifiers) return false;  // one owner per key combination
  }
  hotKeys_.push_back({window, id, modifiers, vk});
  return true;
}

bool FakePlatform::UnregisterHotKey(HWND window, int id) {
  auto before = hotKeys_.size();
  std::erase_if(hotKeys_, [&](const HotKeyRecord& k) { return k.window == window && k.id == id; });
  return hotKeys_.size() != before;
}

void FakePlatform::MarkHotKeyTaken(UINT vk, bool taken) {
  if (taken)
    takenKeys_.insert(vk);
  else
    takenKeys_.erase(vk);
}

bool FakePlatform::PressHotKey(UINT vk, UINT modifiers) {
  for (const auto& k : hotKeys_) {
    if (k.vk == vk && k.modifiers == modifiers) {
      return PostMessage(k.window, WM_HOTKEY, static_cast<WPARAM>(k.id),
                         static_cast<LPARAM>(modifiers | (static_cast<std::uint32_t>(vk) << 16)));
    }
  }
  return false;
}

// ---- screen -------------------------------------------------------------------------------------

Size FakePlatform::PrimaryScreenSize() const { return {screen_.width, screen_.height}; }

void FakePlatform::SetScreenImage(PixelBuffer image) { screen_ = std::move(image); }

void FakePlatform::SetScreenSize(Size size) {
  screen_.width = std::max(0, size.width);
  screen_.height = std::max(0, size.height);
  screen_.pixels.assign(static_cast<std::size_t>(screen_.width) * screen_.height, kBlack);
}

PixelBuffer FakePlatform::GrabScreen(const Rect& area) {
  if (grabObserver_) grabObserver_(area);
  grabs_.push_back(area);
  PixelBuffer out;
  out.width = std::max(0, area.Width());
  out.height = std::max(0, area.Height());
  out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, kBlack);
  for (int y = 0; y < out.height; ++y) {
    const int sy = area.top + y;
    if (sy < 0 || sy >= screen_.height) continue;
    for (int x = 0; x < out.width; ++x) {
      const int sx = area.left + x;
      if (sx < 0 || sx >= screen_.width) continue;
      out.pixels[static_cast<std::size_t>(y) * out.width + x] = screen_.At(sx, sy) | 0xFF000000u;
    }
  }
  return out;
}

// ---- shell --------------------------------------------------------------------------------------

void FakePlatform::SetClipboardText(const std::string& text) { clipboard_ = text; }
std::string FakePlatform::ClipboardText() const { return clipboard_; }

bool FakePlatform::OpenUrl(const std::string& url) {
  openedUrls_.push_back(url);
  return openUrlResult_;
}

std::optional<std::string> FakePlatform::RunSaveFileDialog(const SaveFileDialogOptions& options) {
  saveCalls_.push_back(options);
  if (saveDialogHandler_) return saveDialogHandler_(options);
  if (saveAnswers_.empty()) return std::nullopt;
  auto answer = std::move(saveAnswers_.front());
  saveAnswers_.pop_front();
  return answer;
}

bool FakePlatform::AutorunOpen(bool create) {
  if (!autorunReachable_) return false;
  if (!autorunKeyExists_ && create) autorunKeyExists_ = true;
  return autorunKeyExists_;
}

std::optional<std::string> FakePlatform::AutorunGet(const std::string& name) const {
  if (!autorunReachable_ || !autorunKeyExists_) return std::nullopt;
  auto it = autorun_.find(name);
  if (it == autorun_.end()) return std::nullopt;
  return it->second;
}

bool FakePlatform::AutorunSet(const std::string& name, const std::string& command) {
  if (!autorunReachable_ || !autorunKeyExists_) return false;
  autorun_[name] = command;
  return true;
}

bool FakePlatform::AutorunDelete(const std::string& name) {
  if (!autorunReachable_ || !autorunKeyExists_) return false;
  return autorun_.erase(name) != 0;
}

// ---- queries ------------------------------------------------------------------------------------

Point FakePlatform::CursorPos() const { return cursor_; }
void FakePlatform::SetCursorPos(Point p) { cursor_ = p; }

bool FakePlatform::IsKeyDown(UINT vk) const { return keysDown_.count(vk) != 0; }

void FakePlatform::SetKeyDown(UINT vk, bool down) {
  if (down)
    keysDown_.insert(vk);
  else
    keysDown_.erase(vk);
}

std::uint32_t FakePlatform::DoubleClickTimeMs() const { return doubleClickMs_; }

void FakePlatform::ClipCursor(const std::optional<Rect>& area) {
  cursorClip_ = area;
  cursorClipHistory_.push_back(area);
}

void FakePlatform::Sleep(std::uint32_t ms) {
  sleptMs_ += ms;
  AdvanceClock(ms);
}

std::uint64_t FakePlatform::NowMs() const { return now_; }

std::string FakePlatform::ExecutablePath() const { return executablePath_; }

// ---- input injection ----------------------------------------------------------------------------

std::uint16_t FakePlatform::HeldButtons() const {
  std::uint16_t s = 0;
  if (buttonsHeld_.count(MouseButton::Left)) s |= kLeft;
  if (buttonsHeld_.count(MouseButton::Right)) s |= kRight;
  if (buttonsHeld_.count(MouseButton::Middle)) s |= kMiddle;
  return s;
}

void FakePlatform::MoveCursorTo(HWND window, int x, int y) {
  Rect g = WindowGeometry(window);
  cursor_ = {g.left + x, g.top + y};
}

void FakePlatform::MouseDown(HWND window, MouseButton button, int x, int y, std::uint16_t shift) {
  buttonsHeld_.insert(button);
  MoveCursorTo(window, x, y);
  Event e;
  e.kind = EventKind::MouseDown;
  e.window = window;
  e.button = button;
  e.shift = static_cast<std::uint16_t>(shift | HeldButtons());
  e.pos = {x, y};
  queue_.push_back(std::move(e));
}

void FakePlatform::MouseUp(HWND window, MouseButton button, int x, int y, std::uint16_t shift) {
  buttonsHeld_.erase(button);
  MoveCursorTo(window, x, y);
  Event e;
  e.kind = EventKind::MouseUp;
  e.window = window;
  e.button = button;
  e.shift = static_cast<std::uint16_t>(shift | HeldButtons());
  e.pos = {x, y};
  queue_.push_back(std::move(e));
}

void FakePlatform::MouseMove(HWND window, int x, int y, std::uint16_t shift) {
  MoveCursorTo(window, x, y);
  Event e;
  e.kind = EventKind::MouseMove;
  e.window = window;
  e.shift = static_cast<std::uint16_t>(shift | HeldButtons());
  e.pos = {x, y};
  queue_.push_back(std::move(e));
}

void FakePlatform::Click(HWND window, MouseButton button, int x, int y, std::uint16_t shift) {
  MouseDown(window, button, x, y, shift);
  MouseUp(window, button, x, y, shift);
}

void FakePlatform::DoubleClick(HWND window, MouseButton button, int x, int y, std::uint16_t shift) {
  Click(window, button, x, y, shift);
  buttonsHeld_.insert(button);
  MoveCursorTo(window, x, y);
  Event e;
  e.kind = EventKind::DoubleClick;
  e.window = window;
  e.button = button;
  e.shift = static_cast<std::uint16_t>(shift | HeldButtons() | kDouble);
  e.pos = {x, y};
  queue_.push_back(std::move(e));
  MouseUp(window, button, x, y, shift);
}

void FakePlatform::Wheel(HWND window, int delta, int x, int y, std::uint16_t shift) {
  MoveCursorTo(window, x, y);
  Event e;
  e.kind = EventKind::MouseWheel;
  e.window = window;
  e.wheelDelta = delta;
  e.shift = static_cast<std::uint16_t>(shift | HeldButtons());
  e.pos = {x, y};
  queue_.push_back(std::move(e));
}

void FakePlatform::MouseLeave(HWND window) {
  Event e;
  e.kind = EventKind::MouseLeave;
  e.window = window;
  queue_.push_back(std::move(e));
}

void FakePlatform::KeyDown(HWND window, UINT vk, std::uint16_t shift) {
  Event e;
  e.kind = EventKind::KeyDown;
  e.window = window;
  e.key = vk;
  e.shift = shift;
  queue_.push_back(std::move(e));
}

void FakePlatform::KeyUp(HWND window, UINT vk, std::uint16_t shift) {
  Event e;
  e.kind = EventKind::KeyUp;
  e.window = window;
  e.key = vk;
  e.shift = shift;
  queue_.push_back(std::move(e));
}

void FakePlatform::Char(HWND window, const std::string& text) {
  Event e;
  e.kind = EventKind::Char;
  e.window = window;
  e.text = text;
  queue_.push_back(std::move(e));
}

void FakePlatform::CloseRequest(HWND window) {
  Event e;
  e.kind = EventKind::CloseRequest;
  e.window = window;
  queue_.push_back(std::move(e));
}

void FakePlatform::Minimize(HWND window) {
  if (auto* w = Find(window)) w->minimized = true;
  if (active_ == window) SetActive(0);
  Event e;
  e.kind = EventKind::Minimized;
  e.window = window;
  queue_.push_back(std::move(e));
}

void FakePlatform::Restore(HWND window) {
  if (auto* w = Find(window)) w->minimized = false;
  Event e;
  e.kind = EventKind::Restored;
  e.window = window;
  queue_.push_back(std::move(e));
}

void FakePlatform::Activate(HWND window) { SetActive(window); }

void FakePlatform::Resize(HWND window, Size size) {
  if (auto* w = Find(window)) {
    w->geometry.right = w->geometry.left + size.width;
    w->geometry.bottom = w->geometry.top + size.height;
  }
  Event e;
  e.kind = EventKind::Resized;
  e.window = window;
  e.size = size;
  queue_.push_back(std::move(e));
}

void FakePlatform::Expose(HWND window) {
  Event e;
  e.kind = EventKind::Expose;
  e.window = window;
  queue_.push_back(std::move(e));
}

}  // namespace tv::platform
