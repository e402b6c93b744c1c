#pragma once
// The real backend: Qt 6 (QtGui, QtWidgets) on X11 through xcb. Includes no Qt header, so the
// program entry can create it.
#include <memory>

#include "platform/Platform.h"

namespace tv::platform {

class QtPlatform : public Platform {
 public:
  // Uses the running QApplication, or creates one from argc/argv (kept for the backend's life).
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  // Whether the backend talks to an X server (false on Qt's offscreen platform).
  bool IsX11() const;

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

 private:
  struct State;
  std::unique_ptr<State> s_;
};

std::unique_ptr<Platform> CreateQtPlatform(int& argc, char** argv);

}  // namespace tv::platform
