#pragma once
// A top-level window of the Qt backend: shows a retained image and turns Qt input into Events.
#include <QBackingStore>
#include <QImage>
#include <QWindow>
#include <functional>

#include "platform/Platform.h"
#include "platform/qt/LayerBlend.h"

namespace tv::platform::qt {

class QtWindow : public QWindow {
 public:
  using Sink = std::function<void(const Event&)>;
  QtWindow(HWND id, Sink sink);
  ~QtWindow() override;

  HWND Id() const { return id_; }
  // The picture shown in the client area (the rest is filled with the background).
  void SetContent(QImage image);
  const QImage& Content() const { return content_; }
  // Paints the content and flushes it to the server now, without waiting for the event loop.
  void RenderNow();
  // Stops raising events (the window is being destroyed).
  void Detach() { sink_ = nullptr; }

 protected:
  bool event(QEvent* e) override;
  void exposeEvent(QExposeEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void Raise(Event e);

  HWND id_;
  Sink sink_;
  QBackingStore store_;
  QImage content_;
  ClickTracker clicks_;
  bool minimized_ = false;
};

}  // namespace tv::platform::qt
