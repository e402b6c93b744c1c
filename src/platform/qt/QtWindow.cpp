#include "platform/qt/QtWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWindowStateChangeEvent>
#include <chrono>

#include "platform/qt/KeyMap.h"

namespace tv::platform::qt {
namespace {

constexpr QRgb kBackground = 0xFFF0F0F0;  // the Windows button-face grey
constexpr int kDoubleClickDistance = 2;   // half of SM_CXDOUBLECLK

std::uint16_t ShiftFrom(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  std::uint16_t s = 0;
  if (mods & Qt::ShiftModifier) s |= kShift;
  if (mods & Qt::AltModifier) s |= kAlt;
  if (mods & Qt::ControlModifier) s |= kCtrl;
  if (buttons & Qt::LeftButton) s |= kLeft;
  if (buttons & Qt::RightButton) s |= kRight;
  if (buttons & Qt::MiddleButton) s |= kMiddle;
  return s;
}

bool ButtonFrom(Qt::MouseButton b, MouseButton& out) {
  switch (b) {
    case Qt::LeftButton: out = MouseButton::Left; return true;
    case Qt::RightButton: out = MouseButton::Right; return true;
    case Qt::MiddleButton: out = MouseButton::Middle; return true;
    default: return false;
  }
}

Event Make(EventKind kind) {
  Event e;
  e.kind = kind;
  return e;
}

Point PosFrom(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }

std::uint64_t Now() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

QtWindow::QtWindow(HWND id, Sink sink) : id_(id), sink_(std::move(sink)), store_(this) {
  setSurfaceType(QSurface::RasterSurface);
}

QtWindow::~QtWindow() = default;

void QtWindow::Raise(Event e) {
  if (!sink_) return;
  e.window = id_;
  sink_(e);
}

void QtWindow::SetContent(QImage image) {
  content_ = std::move(image);
  RenderNow();
}

void QtWindow::RenderNow() {
  if (!isExposed()) return;
  const QRect rect(QPoint(0, 0), size());
  if (store_.size() != size()) store_.resize(size());
  store_.beginPaint(rect);
  {
    QPainter p(store_.paintDevice());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect, QColor::fromRgb(kBackground));
    if (!content_.isNull()) p.drawImage(0, 0, content_);
  }
  store_.endPaint();
  store_.flush(rect);
}

bool QtWindow::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Close:
      // The program decides whether a close request closes anything.
      e->ignore();
      Raise(Make(EventKind::CloseRequest));
      return true;
    case QEvent::Leave:
      Raise(Make(EventKind::MouseLeave));
      break;
    case QEvent::WindowStateChange: {
      const bool min = windowStates() & Qt::WindowMinimized;
      if (min != minimized_) {
        minimized_ = min;
        Raise(Make(min ? EventKind::Minimized : EventKind::Restored));
      }
      break;
    }
    case QEvent::UpdateRequest:
      RenderNow();
      return true;
    default:
      break;
  }
  return QWindow::event(e);
}

void QtWindow::exposeEvent(QExposeEvent*) {
  if (!isExposed()) return;
  RenderNow();
  Raise(Make(EventKind::Expose));
}

void QtWindow::resizeEvent(QResizeEvent*) {
  store_.resize(size());
  RenderNow();
  Event e = Make(EventKind::Resized);
  e.size = {width(), height()};
  Raise(e);
}

void QtWindow::mousePressEvent(QMouseEvent* e) {
  Event ev;
  if (!ButtonFrom(e->button(), ev.button)) return;
  ev.pos = PosFrom(e->position());
  ev.shift = ShiftFrom(e->modifiers(), e->buttons());
  const auto interval = static_cast<std::uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  if (clicks_.Press(ev.button, ev.pos, Now(), interval, kDoubleClickDistance)) {
    ev.kind = EventKind::DoubleClick;
    ev.shift |= kDouble;
  } else {
    ev.kind = EventKind::MouseDown;
  }
  Raise(ev);
}

void QtWindow::mouseReleaseEvent(QMouseEvent* e) {
  Event ev = Make(EventKind::MouseUp);
  if (!ButtonFrom(e->button(), ev.button)) return;
  ev.pos = PosFrom(e->position());
  ev.shift = ShiftFrom(e->modifiers(), e->buttons());
  Raise(ev);
}

void QtWindow::mouseDoubleClickEvent(QMouseEvent*) {
  // Double clicks are told from presses in mousePressEvent, so that the second press is reported
  // as the double click itself rather than as a press followed by one.
}

void QtWindow::mouseMoveEvent(QMouseEvent* e) {
  Event ev = Make(EventKind::MouseMove);
  ev.pos = PosFrom(e->position());
  ev.shift = ShiftFrom(e->modifiers(), e->buttons());
  Raise(ev);
}

void QtWindow::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) return;
  Event ev = Make(EventKind::MouseWheel);
  ev.wheelDelta = delta;  // Qt's angle delta is already 120 per notch
  ev.pos = PosFrom(e->position());
  ev.shift = ShiftFrom(e->modifiers(), e->buttons());
  Raise(ev);
}

void QtWindow::keyPressEvent(QKeyEvent* e) {
  const UINT vk = VirtualKeyFromQtKey(e->key(), e->modifiers() & Qt::KeypadModifier);
  const std::uint16_t shift = ShiftFrom(e->modifiers(), QGuiApplication::mouseButtons());
  if (vk) {
    Event ev = Make(EventKind::KeyDown);
    ev.key = vk;
    ev.shift = shift;
    Raise(ev);
  }
  const QString text = e->text();
  for (int i = 0; i < text.size() && sink_;) {
    const int len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString ch = text.mid(i, len);
    i += len;
    if (ch == QChar(0x7F)) continue;  // Delete types nothing
    Event ev = Make(EventKind::Char);
    ev.text = ch.toStdString();
    ev.shift = shift;
    Raise(ev);
  }
}

void QtWindow::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;
  const UINT vk = VirtualKeyFromQtKey(e->key(), e->modifiers() & Qt::KeypadModifier);
  if (!vk) return;
  Event ev = Make(EventKind::KeyUp);
  ev.key = vk;
  ev.shift = ShiftFrom(e->modifiers(), QGuiApplication::mouseButtons());
  Raise(ev);
}

void QtWindow::focusInEvent(QFocusEvent*) { Raise(Make(EventKind::Activate)); }

void QtWindow::focusOutEvent(QFocusEvent*) {
  clicks_.Reset();
  Raise(Make(EventKind::Deactivate));
}

}  // namespace tv::platform::qt
