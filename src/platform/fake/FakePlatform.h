#pragma once
// A deterministic, in-memory Platform for unit tests: one FIFO queue for posted messages and
// injected input, a virtual clock that only moves when told (or when the loop would otherwise
// wait), and records of everything the program asked of the system.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tv::platform {

class FakePlatform : public Platform {
 public:
  struct WindowRecord {
    WindowKind kind = WindowKind::TopLevel;
    std::string title;
    Rect geometry;
    bool fixedSize = false;
    bool borderless = false;
    bool stayOnTop = false;
    std::uint8_t alpha = 255;
    std::optional<TColor> colorKey;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    Cursor cursor = Cursor::Default;
    std::optional<PixelBuffer> lastImage;
    int presentCount = 0;
  };

  struct TimerRecord {
    HWND window = 0;
    std::uintptr_t id = 0;
    std::uint32_t intervalMs = 0;
    std::uint64_t dueMs = 0;
    std::uint64_t serial = 0;  // creation order, breaks ties between timers due at once
  };

  struct HotKeyRecord {
    HWND window = 0;
    int id = 0;
    UINT modifiers = 0;
    UINT vk = 0;
  };

  // Thrown when the loop would wait forever (nothing queued, no timer) or never stops handling
  // events. The framework's message loop lets it through, so the test fails instead of hanging.
  class Stall : public std::logic_error {
   public:
    using std::logic_error::logic_error;
  };

  FakePlatform();

  // ---- Platform -----------------------------------------------------------------------------
  void SetEventHandler(EventHandler handler) override;
  void ProcessEvents(bool waitForMore) override;
  void Wake() override;
  bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;

  HWND CreateWindow(WindowKind kind) override;
  void DestroyWindow(HWND window) override;
  bool IsWindow(HWND window) const override;
  void SetWindowTitle(HWND window, const std::string& title) override;
  void SetWindowGeometry(HWND window, const Rect& client) override;
  Rect WindowGeometry(HWND window) const override;
  void SetWindowFixedSize(HWND window, bool fixed) override;
  void SetWindowBorderless(HWND window, bool borderless) override;
  void SetWindowStayOnTop(HWND window, bool onTop) override;
  void SetWindowLayered(HWND window, std::uint8_t alpha, std::optional<TColor> colorKey) override;
  void CoverPrimaryScreen(HWND window) override;
  void ShowWindow(HWND window, ShowMode mode) override;
  bool IsWindowVisible(HWND window) const override;
  bool IsWindowMinimized(HWND window) const override;
  bool ActivateWindow(HWND window) override;
  HWND ActiveWindow() const override;
  void PresentWindow(HWND window, const PixelView& image) override;
  void SetWindowCursor(HWND window, Cursor cursor) override;
  void SetCapture(HWND window) override;
  void ReleaseCapture() override;

  bool SetTimer(HWND window, std::uintptr_t id, std::uint32_t ms) override;
  bool KillTimer(HWND window, std::uintptr_t id) override;
  bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) override;
  bool UnregisterHotKey(HWND window, int id) override;

  Size PrimaryScreenSize() const override;
  PixelBuffer GrabScreen(const Rect& area) override;

  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() const override;
  bool OpenUrl(const std::string& url) override;
  std::optional<std::string> RunSaveFileDialog(const SaveFileDialogOptions& options) override;

  bool AutorunOpen(bool create) override;
  std::optional<std::string> AutorunGet(const std::string& name) const override;
  bool AutorunSet(const std::string& name, const std::string& command) override;
  bool AutorunDelete(const std::string& name) override;

  Point CursorPos() const override;
  void SetCursorPos(Point p) override;
  bool IsKeyDown(UINT vk) const override;
  std::uint32_t DoubleClickTimeMs() const override;
  void ClipCursor(const std::optional<Rect>& area) override;
  void Sleep(std::uint32_t ms) override;
  std::uint64_t NowMs() const override;
  std::string ExecutablePath() const override;

  // ---- event loop control ---------------------------------------------------------------------
  // Called by ProcessEvents(true) when the queue is empty, before the clock is moved. The hook may
  // inject input, answer a dialog or set a flag; it returns true when it changed something (the
  // wait then ends so the loop can look again), false when it had nothing to do.
  void SetIdleHook(std::function<bool()> hook) { idleHook_ = std::move(hook); }
  std::size_t PendingEventCount() const { return queue_.size(); }
  const std::deque<Event>& PendingEvents() const { return queue_; }
  // Every event handed to the handler so far, in order (cleared by ClearDispatched).
  const std::vector<Event>& DispatchedEvents() const { return dispatched_; }
  void ClearDispatched() { dispatched_.clear(); }

  // ---- virtual clock ------------------------------------------------------------------------
  // Moves the clock forward, posting WM_TIMER for every timer that falls due, in time order. A
  // timer that already has a WM_TIMER waiting in the queue gets no second one (as on Windows).
  void AdvanceClock(std::uint64_t ms);
  // Advances to the next due timer and posts it; false when no timer runs.
  bool AdvanceToNextTimer();
  std::vector<TimerRecord> Timers() const;
  bool HasTimer(HWND window, std::uintptr_t id) const;
  std::optional<std::uint32_t> TimerInterval(HWND window, std::uintptr_t id) const;

  // ---- windows ------------------------------------------------------------------------------
  const WindowRecord* Window(HWND window) const;  // nullptr when no such window
  std::vector<HWND> Windows() const;              // live windows in creation order
  PixelBuffer LastImage(HWND window) const;       // empty when nothing was presented
  HWND CaptureWindow() const { return capture_; }

  // ---- hot keys -----------------------------------------------------------------------------
  // Marks a key as owned by another program: registering it fails.
  void MarkHotKeyTaken(UINT vk, bool taken = true);
  // Posts WM_HOTKEY (wParam = id, lParam = modifiers | vk << 16) to the window that registered
  // the key; returns false (posting nothing) when nobody did.
  bool PressHotKey(UINT vk, UINT modifiers = 0);
  const std::vector<HotKeyRecord>& HotKeys() const { return hotKeys_; }

  // ---- screen -------------------------------------------------------------------------------
  // The image defines the primary screen's size.
  void SetScreenImage(PixelBuffer image);
  // A black screen of this size.
  void SetScreenSize(Size size);
  int GrabCount() const { return static_cast<int>(grabs_.size()); }
  const std::vector<Rect>& GrabRects() const { return grabs_; }
  // Called at grab time, before the pixels are copied.
  void SetGrabObserver(std::function<void(const Rect&)> observer) { grabObserver_ = std::move(observer); }

  // ---- shell --------------------------------------------------------------------------------
  const std::vector<std::string>& OpenedUrls() const { return openedUrls_; }
  void SetOpenUrlResult(bool ok) { openUrlResult_ = ok; }
  void SetAutorunReachable(bool reachable) { autorunReachable_ = reachable; }
  // Whether the Run key exists; AutorunOpen(true) creates it.
  void SetAutorunKeyExists(bool exists) { autorunKeyExists_ = exists; }
  bool AutorunKeyExists() const { return autorunKeyExists_; }
  const std::map<std::string, std::string>& AutorunValues() const { return autorun_; }
  void SetAutorunValue(const std::string& name, const std::string& command) { autorun_[name] = command; }
  // Scripted answers of the save dialog, used in order; with none left the dialog is cancelled.
  void QueueSaveDialogAnswer(std::optional<std::string> answer) { saveAnswers_.push_back(std::move(answer)); }
  // Optional: answers in place of the queue (may run the event loop, like the real modal dialog).
  void SetSaveDialogHandler(std::function<std::optional<std::string>(const SaveFileDialogOptions&)> h) {
    saveDialogHandler_ = std::move(h);
  }
  const std::vector<SaveFileDialogOptions>& SaveDialogCalls() const { return saveCalls_; }

  // ---- queries ------------------------------------------------------------------------------
  void SetKeyDown(UINT vk, bool down);
  void SetDoubleClickTime(std::uint32_t ms) { doubleClickMs_ = ms; }
  const std::optional<Rect>& CursorClip() const { return cursorClip_; }
  const std::vector<std::optional<Rect>>& CursorClipHistory() const { return cursorClipHistory_; }
  void SetExecutablePath(std::string path) { executablePath_ = std::move(path); }
  std::uint32_t TotalSleptMs() const { return sleptMs_; }

  // ---- input injection (each queues events; positions are client coordinates) ---------------
  // Mouse events carry the held buttons in their shift bits, as the real backend reports them,
  // and move the cursor to the matching screen position.
  void MouseDown(HWND window, MouseButton button, int x, int y, std::uint16_t shift = 0);
  void MouseUp(HWND window, MouseButton button, int x, int y, std::uint16_t shift = 0);
  void MouseMove(HWND window, int x, int y, std::uint16_t shift = 0);
  void Click(HWND window, MouseButton button, int x, int y, std::uint16_t shift = 0);
  // The whole gesture: down, up, double-click (in place of the second down), up.
  void DoubleClick(HWND window, MouseButton button, int x, int y, std::uint16_t shift = 0);
  void Wheel(HWND window, int delta, int x, int y, std::uint16_t shift = 0);
  void MouseLeave(HWND window);
  void KeyDown(HWND window, UINT vk, std::uint16_t shift = 0);
  void KeyUp(HWND window, UINT vk, std::uint16_t shift = 0);
  void Char(HWND window, const std::string& text);
  void CloseRequest(HWND window);
  // The window manager minimises / restores the window: the state changes and an event is queued.
  void Minimize(HWND window);
  void Restore(HWND window);
  // The window manager activates the window: deactivation of the previous one, then activation.
  void Activate(HWND window);
  void Resize(HWND window, Size size);
  void Expose(HWND window);
  void QueueEvent(Event e);

 private:
  WindowRecord* Find(HWND window);
  void Drain();
  void PostTimer(const TimerRecord& t);
  std::uint16_t HeldButtons() const;
  void MoveCursorTo(HWND window, int x, int y);
  void SetActive(HWND window);

  EventHandler handler_;
  std::deque<Event> queue_;
  std::vector<Event> dispatched_;
  std::function<bool()> idleHook_;
  bool wakeRequested_ = false;
  int idleSpins_ = 0;

  std::uint64_t now_ = 0;
  std::uint64_t timerSerial_ = 0;
  std::vector<TimerRecord> timers_;

  HWND nextWindow_ = 1;
  std::map<HWND, WindowRecord> windows_;
  std::vector<HWND> windowOrder_;
  HWND active_ = 0;
  HWND capture_ = 0;

  std::vector<HotKeyRecord> hotKeys_;
  std::set<UINT> takenKeys_;

  PixelBuffer screen_;
  std::vector<Rect> grabs_;
  std::function<void(const Rect&)> grabObserver_;

  std::string clipboard_;
  std::vector<std::string> openedUrls_;
  bool openUrlResult_ = true;
  bool autorunReachable_ = true;
  bool autorunKeyExists_ = true;
  std::map<std::string, std::string> autorun_;
  std::deque<std::optional<std::string>> saveAnswers_;
  std::function<std::optional<std::string>(const SaveFileDialogOptions&)> saveDialogHandler_;
  std::vector<SaveFileDialogOptions> saveCalls_;

  Point cursor_;
  std::set<UINT> keysDown_;
  std::set<MouseButton> buttonsHeld_;
  std::uint32_t doubleClickMs_ = 500;
  std::optional<Rect> cursorClip_;
  std::vector<std::optional<Rect>> cursorClipHistory_;
  std::uint32_t sleptMs_ = 0;
  std::string executablePath_ = "/opt/tovalin/tovalin";
};

}  // namespace tv::platform
