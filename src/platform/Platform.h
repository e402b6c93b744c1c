#pragma once
// The operating-system layer. Everything above src/platform reaches the host only through this
// interface. Two backends: qt/ (Qt 6 + xcb, the real one) and fake/ (deterministic, for tests).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinDefs.h"

namespace tv::platform {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// 32-bit pixels, 0xAARRGGBB in a uint32_t (B, G, R, A in memory on little-endian), rows top down.
struct PixelBuffer {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A view of pixels owned elsewhere, same layout as PixelBuffer; stride in bytes.
struct PixelView {
  const std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Bits of the shift state that comes with input events.
enum ShiftBits : std::uint16_t {
  kShift = 1 << 0,
  kAlt = 1 << 1,
  kCtrl = 1 << 2,
  kLeft = 1 << 3,
  kRight = 1 << 4,
  kMiddle = 1 << 5,
  kDouble = 1 << 6,
};

enum class EventKind : std::uint8_t {
  Message,       // a posted message: msg, wParam, lParam
  MouseDown,     // button, shift, pos (client coordinates)
  MouseUp,       // button, shift, pos
  MouseMove,     // shift, pos
  DoubleClick,   // button, shift, pos; arrives after the first click's down/up, in place of a second down
  MouseWheel,    // wheelDelta (120 per notch, positive = away from the user), shift, pos
  MouseLeave,    //
  KeyDown,       // key (virtual-key code), shift
  KeyUp,         // key, shift
  Char,          // text (UTF-8, one character)
  Activate,      // the window became the active one (has the keyboard focus)
  Deactivate,    //
  CloseRequest,  // the user asked the window manager to close the window
  Minimized,     // the window manager minimised the window
  Restored,      // the window manager restored it
  Resized,       // size = new client size
  Expose,        // the window must present its buffer again
};

struct Event {
  EventKind kind = EventKind::Message;
  HWND window = 0;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  MouseButton button = MouseButton::Left;
  std::uint16_t shift = 0;
  Point pos;
  int wheelDelta = 0;
  UINT key = 0;
  std::string text;
  Size size;
};

enum class WindowKind : std::uint8_t {
  TopLevel,     // a real window on the screen
  MessageOnly,  // never shown; only receives posted messages and timers
};

enum class ShowMode : std::uint8_t { Hide, Normal, Minimized, Maximized };

enum class Cursor : std::uint8_t { Default, Arrow, Cross, Hand, IBeam, SizeWE, SizeNS, Wait, No };

struct SaveFileDialogOptions {
  std::string title;
  std::string initialDir;
  std::string fileName;
  std::string defaultExt;  // without dot, e.g. "jpg"; appended when the typed name has no extension
  // Pairs of (description, pattern list separated by ';'), as in "JPEG Image File (*.jpg)", "*.jpg".
  std::vector<std::pair<std::string, std::string>> filters;
  HWND owner = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- event loop -------------------------------------------------------------------------
  // Every event (native input and posted messages, in arrival order) goes to this handler.
  using EventHandler = std::function<void(const Event&)>;
  virtual void SetEventHandler(EventHandler handler) = 0;
  // Handles every pending event. With waitForMore, first blocks until at least one is pending.
  virtual void ProcessEvents(bool waitForMore) = 0;
  // Makes a blocked ProcessEvents return (for example after a loop's exit flag was set).
  virtual void Wake() = 0;
  // Queues a message for `window`; it reaches the handler as an EventKind::Message event.
  virtual bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  // ---- windows ----------------------------------------------------------------------------
  virtual HWND CreateWindow(WindowKind kind) = 0;
  virtual void DestroyWindow(HWND window) = 0;
  virtual bool IsWindow(HWND window) const = 0;
  virtual void SetWindowTitle(HWND window, const std::string& title) = 0;
  // Position of the client area's top-left on the screen and its size.
  virtual void SetWindowGeometry(HWND window, const Rect& client) = 0;
  virtual Rect WindowGeometry(HWND window) const = 0;
  virtual void SetWindowFixedSize(HWND window, bool fixed) = 0;
  virtual void SetWindowBorderless(HWND window, bool borderless) = 0;
  virtual void SetWindowStayOnTop(HWND window, bool onTop) = 0;
  // Layered attributes. alpha 255 and no key = opaque. colorKey is 0x00BBGGRR.
  virtual void SetWindowLayered(HWND window, std::uint8_t alpha, std::optional<TColor> colorKey) = 0;
  // Sizes the window to the primary screen's geometry and places it at the screen's origin.
  virtual void CoverPrimaryScreen(HWND window) = 0;
  virtual void ShowWindow(HWND window, ShowMode mode) = 0;
  virtual bool IsWindowVisible(HWND window) const = 0;
  virtual bool IsWindowMinimized(HWND window) const = 0;
  // SetForegroundWindow: raise and give the keyboard focus.
  virtual bool ActivateWindow(HWND window) = 0;
  virtual HWND ActiveWindow() const = 0;
  // Copies the image as the window's client content and shows it.
  virtual void PresentWindow(HWND window, const PixelView& image) = 0;
  virtual void SetWindowCursor(HWND window, Cursor cursor) = 0;
  virtual void SetCapture(HWND window) = 0;
  virtual void ReleaseCapture() = 0;

  // ---- timers and hot keys ----------------------------------------------------------------
  // Posts WM_TIMER (wParam = id) to the window every `ms` milliseconds until killed.
  virtual bool SetTimer(HWND window, std::uintptr_t id, std::uint32_t ms) = 0;
  virtual bool KillTimer(HWND window, std::uintptr_t id) = 0;
  // Posts WM_HOTKEY (wParam = id) to the window when the key is pressed anywhere. Returns false
  // when the key cannot be registered (taken by another program, unknown key, id in use).
  virtual bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) = 0;
  virtual bool UnregisterHotKey(HWND window, int id) = 0;

  // ---- screen -----------------------------------------------------------------------------
  virtual Size PrimaryScreenSize() const = 0;
  // Pixels of the primary screen under `area` (clipped parts are black), alpha 255.
  virtual PixelBuffer GrabScreen(const Rect& area) = 0;

  // ---- shell ------------------------------------------------------------------------------
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() const = 0;
  virtual bool OpenUrl(const std::string& url) = 0;
  // Modal; runs the event loop while open. Returns the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> RunSaveFileDialog(const SaveFileDialogOptions& options) = 0;

  // ---- autorun store (the per-user Run key) -----------------------------------------------
  // Whether the store can be opened; with `create`, tries to create it when missing.
  virtual bool AutorunOpen(bool create) = 0;
  virtual std::optional<std::string> AutorunGet(const std::string& name) const = 0;
  virtual bool AutorunSet(const std::string& name, const std::string& command) = 0;
  virtual bool AutorunDelete(const std::string& name) = 0;

  // ---- queries ----------------------------------------------------------------------------
  virtual Point CursorPos() const = 0;
  virtual void SetCursorPos(Point p) = 0;
  // GetAsyncKeyState: true while the key (or mouse button VK_LBUTTON...) is held down.
  virtual bool IsKeyDown(UINT vk) const = 0;
  virtual std::uint32_t DoubleClickTimeMs() const = 0;
  // Confines the pointer to `area` (screen coordinates), or frees it.
  virtual void ClipCursor(const std::optional<Rect>& area) = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  // Monotonic milliseconds.
  virtual std::uint64_t NowMs() const = 0;
  virtual std::string ExecutablePath() const = 0;
};

// The one platform of the process. The program installs the Qt backend; tests install the fake.
Platform& GetPlatform();
void SetPlatform(std::unique_ptr<Platform> platform);
bool HasPlatform();

}  // namespace tv::platform
