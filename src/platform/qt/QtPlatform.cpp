#include "platform/qt/QtPlatform.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QStyleHints>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/qt/DesktopEntry.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/LayerBlend.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/X11HotKeys.h"

namespace tv::platform {

using qt::QtWindow;

namespace {

const QEvent::Type kMessageEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

// How long other clients get to repaint what an unmapped overlay uncovered before a grab.
constexpr auto kUncoverSettle = std::chrono::milliseconds(30);
constexpr std::uint32_t kMinTimerMs = 10;  // USER_TIMER_MINIMUM
constexpr int kMaxDrainRounds = 1000;

struct MessageEvent : QEvent {
  MessageEvent(HWND w, UINT m, WPARAM wp, LPARAM lp, std::uint64_t serial)
      : QEvent(kMessageEventType), window(w), msg(m), wParam(wp), lParam(lp), timerSerial(serial) {}
  HWND window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  std::uint64_t timerSerial;  // non-zero for WM_TIMER: the timer instance that posted it
};

// Receives posted messages; they travel through Qt's queue, in order with everything else.
class Dispatcher : public QObject {
 public:
  std::function<void(const MessageEvent&)> onMessage;
  bool event(QEvent* e) override {
    if (e->type() != kMessageEventType) return QObject::event(e);
    if (onMessage) onMessage(static_cast<const MessageEvent&>(*e));
    return true;
  }
};

QImage ImageFromView(const PixelView& v) {
  if (!v.bits || v.width <= 0 || v.height <= 0) return {};
  return QImage(v.bits, v.width, v.height, v.stride, QImage::Format_RGB32).copy();
}

QImage ImageFromBuffer(const PixelBuffer& b) {
  if (b.width <= 0 || b.height <= 0) return {};
  return QImage(reinterpret_cast<const uchar*>(b.pixels.data()), b.width, b.height, b.width * 4,
                QImage::Format_RGB32)
      .copy();
}

Qt::CursorShape ShapeFrom(Cursor c) {
  switch (c) {
    case Cursor::Cross: return Qt::CrossCursor;
    case Cursor::Hand: return Qt::PointingHandCursor;
    case Cursor::IBeam: return Qt::IBeamCursor;
    case Cursor::SizeWE: return Qt::SizeHorCursor;
    case Cursor::SizeNS: return Qt::SizeVerCursor;
    case Cursor::Wait: return Qt::WaitCursor;
    case Cursor::No: return Qt::ForbiddenCursor;
    case Cursor::Default:
    case Cursor::Arrow: break;
  }
  return Qt::ArrowCursor;
}

Rect RectFrom(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

// The root window of the screen the connection was opened for.
std::uint32_t RootWindow(xcb_connection_t* c) {
  int screen = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
  std::free(host);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  std::uint32_t root = it.data ? it.data->root : 0;
  for (int i = 0; it.rem; xcb_screen_next(&it), ++i)
    if (i == screen) root = it.data->root;
  return root;
}

}  // namespace

struct QtPlatform::State {
  struct WindowRec {
    WindowKind kind = WindowKind::TopLevel;
    std::unique_ptr<QtWindow> qwin;  // none for message-only windows
    bool fixed = false;
    std::uint8_t alpha = 255;
    std::optional<TColor> colorKey;
    QImage layer;        // the picture last presented
    PixelBuffer under;   // the screen under a layered window, grabbed when it showed
    bool Layered() const { return alpha < 255 || colorKey.has_value(); }
  };
  struct TimerRec {
    std::unique_ptr<QTimer> timer;
    std::uint64_t serial = 0;
    bool queued = false;  // a WM_TIMER of this timer waits in the queue
  };

  std::unique_ptr<QApplication> ownApp;  // destroyed last
  EventHandler handler;
  std::unique_ptr<Dispatcher> dispatcher;
  xcb_connection_t* xcb = nullptr;
  std::uint32_t root = 0;
  std::unique_ptr<qt::X11HotKeys> hotKeys;
  std::map<HWND, WindowRec> windows;
  HWND nextId = 1;
  std::vector<std::unique_ptr<QtWindow>> graveyard;
  int depth = 0;  // handlers running
  std::exception_ptr pending;
  std::map<std::pair<HWND, std::uintptr_t>, TimerRec> timers;
  std::uint64_t nextSerial = 1;
  std::atomic<int> queued{0};  // posted messages not yet dispatched
  HWND capture = 0;
  std::optional<Rect> clip;
  std::unique_ptr<QTimer> clipTimer;

  void Emit(const Event& e) {
    if (!handler) return;
    EventHandler h = handler;  // the handler may replace itself
    ++depth;
    try {
      h(e);
    } catch (...) {
      // Exceptions must not cross Qt's event delivery; they resume when control is back with us.
      if (!pending) pending = std::current_exception();
    }
    --depth;
  }

  void RethrowPending() {
    if (pending) std::rethrow_exception(std::exchange(pending, nullptr));
  }

  // Timer ticks are not counted: a loop step drains posted messages, not a fast timer.
  void Post(MessageEvent* m) {
    if (!m->timerSerial) ++queued;
    QCoreApplication::postEvent(dispatcher.get(), m);
  }

  void OnMessage(const MessageEvent& m) {
    if (!m.timerSerial) --queued;
    if (m.timerSerial) {
      auto it = timers.find({m.window, m.wParam});
      if (it == timers.end() || it->second.serial != m.timerSerial) return;  // killed meanwhile
      it->second.queued = false;
    }
    if (m.window && !windows.count(m.window)) return;
    Event e;
    e.kind = EventKind::Message;
    e.window = m.window;
    e.msg = m.msg;
    e.wParam = m.wParam;
    e.lParam = m.lParam;
    Emit(e);
  }

  WindowRec* Find(HWND h) {
    auto it = windows.find(h);
    return it == windows.end() ? nullptr : &it->second;
  }
  const WindowRec* Find(HWND h) const {
    auto it = windows.find(h);
    return it == windows.end() ? nullptr : &it->second;
  }
  QtWindow* Win(HWND h) const {
    const WindowRec* r = Find(h);
    return r ? r->qwin.get() : nullptr;
  }

  void Bury() {
    if (depth == 0) graveyard.clear();
  }

  void Compose(WindowRec& r) {
    if (!r.qwin) return;
    if (r.Layered() && r.under.width > 0) {
      PixelView v{r.layer.isNull() ? nullptr : r.layer.constBits(), r.layer.width(), r.layer.height(),
                  static_cast<int>(r.layer.bytesPerLine())};
      r.qwin->SetContent(ImageFromBuffer(qt::BlendLayer(r.under, v, r.alpha, r.colorKey)));
    } else {
      r.qwin->SetContent(r.layer);
    }
  }

  // Takes a new picture of the screen under a layered window (the window itself is lifted out).
  void RefreshUnderlay(WindowRec& r) {
    if (!r.qwin) return;
    if (r.Layered()) {
      r.under = Grab(RectFrom(r.qwin->geometry()));
    } else {
      r.under = {};
    }
    Compose(r);
  }

  PixelBuffer Grab(const Rect& area) {
    PixelBuffer out;
    out.width = std::max(0, area.Width());
    out.height = std::max(0, area.Height());
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 0xFF000000u);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (out.pixels.empty() || !screen) return out;

    // Layered windows are never part of the picture: take them off the screen meanwhile.
    std::vector<QtWindow*> lifted;
    QtWindow* focused = nullptr;
    if (xcb) {
      for (auto& [id, r] : windows)
        if (r.Layered() && r.qwin && r.qwin->isVisible() && r.qwin->handle()) {
          xcb_unmap_window(xcb, static_cast<xcb_window_t>(r.qwin->winId()));
          lifted.push_back(r.qwin.get());
          if (QGuiApplication::focusWindow() == r.qwin.get()) focused = r.qwin.get();
        }
      if (!lifted.empty()) {
        qt::SyncX(xcb);
        // Without a compositor the windows under the overlay must paint again; ours do it now.
        for (auto& [id, r] : windows)
          if (!r.Layered() && r.qwin && r.qwin->isVisible()) r.qwin->RenderNow();
        qt::SyncX(xcb);
        std::this_thread::sleep_for(kUncoverSettle);
        qt::SyncX(xcb);
      }
    }

    const QRect screenRect = screen->geometry();
    const QRect part = QRect(area.left, area.top, out.width, out.height) & screenRect;
    if (!part.isEmpty()) {
      QImage img = screen->grabWindow(0, part.x() - screenRect.x(), part.y() - screenRect.y(), part.width(),
                                      part.height())
                       .toImage()
                       .convertToFormat(QImage::Format_RGB32);
      const int w = std::min(img.width(), part.width());
      const int h = std::min(img.height(), part.height());
      for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::uint32_t* dst = out.pixels.data() +
                             static_cast<std::size_t>(part.y() - area.top + y) * out.width + (part.x() - area.left);
        for (int x = 0; x < w; ++x) dst[x] = src[x] | 0xFF000000u;
      }
    }

    if (!lifted.empty()) {
      for (QtWindow* q : lifted) xcb_map_window(xcb, static_cast<xcb_window_t>(q->winId()));
      if (focused)
        xcb_set_input_focus(xcb, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(focused->winId()),
                            XCB_CURRENT_TIME);
      // Unmapping ended a pointer grab held by a lifted window; take it again.
      QtWindow* captured = Win(capture);
      if (captured && std::find(lifted.begin(), lifted.end(), captured) != lifted.end())
        captured->setMouseGrabEnabled(true);
      xcb_flush(xcb);
    }
    return out;
  }

  void ClampCursor() {
    if (!clip) return;
    const QPoint p = QCursor::pos();
    const int x = std::clamp(p.x(), clip->left, std::max(clip->left, clip->right - 1));
    const int y = std::clamp(p.y(), clip->top, std::max(clip->top, clip->bottom - 1));
    if (x != p.x() || y != p.y()) QCursor::setPos(x, y);
  }
};

QtPlatform::QtPlatform(int& argc, char** argv) : s_(std::make_unique<State>()) {
  if (!QCoreApplication::instance()) {
    // Window geometry, input positions and grabs are all in screen pixels: no scaling.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    s_->ownApp = std::make_unique<QApplication>(argc, argv);
  }
  QGuiApplication::setQuitOnLastWindowClosed(false);
  s_->dispatcher = std::make_unique<Dispatcher>();
  s_->dispatcher->onMessage = [s = s_.get()](const MessageEvent& m) { s->OnMessage(m); };
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11) {
    s_->xcb = x11->connection();
    if (s_->xcb) {
      s_->root = RootWindow(s_->xcb);
      s_->hotKeys = std::make_unique<qt::X11HotKeys>(
          s_->xcb, s_->root, [this](HWND w, int id, UINT mods, UINT vk) {
            PostMessage(w, WM_HOTKEY, static_cast<WPARAM>(id), static_cast<LPARAM>((vk << 16) | (mods & 0xFFFF)));
          });
      qGuiApp->installNativeEventFilter(s_->hotKeys.get());
    }
  }
}

QtPlatform::~QtPlatform() {
  if (s_->hotKeys) qGuiApp->removeNativeEventFilter(s_->hotKeys.get());
  s_->hotKeys.reset();
  s_->clipTimer.reset();
  s_->timers.clear();
  for (auto& [id, r] : s_->windows)
    if (r.qwin) r.qwin->Detach();
  s_->windows.clear();
  s_->graveyard.clear();
  s_->dispatcher.reset();
  s_->handler = nullptr;
  s_->ownApp.reset();
}

bool QtPlatform::IsX11() const { return s_->xcb != nullptr; }

// ---- event loop ---------------------------------------------------------------------------

void QtPlatform::SetEventHandler(EventHandler handler) { s_->handler = std::move(handler); }

void QtPlatform::ProcessEvents(bool waitForMore) {
  s_->Bury();
  QCoreApplication::processEvents(waitForMore ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
  // Qt leaves messages posted by the handlers of this step for the next one; like a message loop
  // that peeks until the queue is empty, handle them now (bounded, should handlers post forever).
  for (int round = 0; round < kMaxDrainRounds && s_->queued.load() > 0 && !s_->pending; ++round)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  s_->Bury();
  s_->RethrowPending();
}

void QtPlatform::Wake() {
  if (auto* app = QCoreApplication::instance())
    if (auto* d = QAbstractEventDispatcher::instance(app->thread())) d->wakeUp();
}

bool QtPlatform::PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (window && !IsWindow(window)) return false;
  s_->Post(new MessageEvent(window, msg, wParam, lParam, 0));
  return true;
}

// ---- windows ------------------------------------------------------------------------------

HWND QtPlatform::CreateWindow(WindowKind kind) {
  const HWND id = s_->nextId++;
  State::WindowRec& r = s_->windows[id];
  r.kind = kind;
  if (kind == WindowKind::TopLevel) {
    r.qwin = std::make_unique<QtWindow>(id, [s = s_.get()](const Event& e) { s->Emit(e); });
    r.qwin->resize(320, 240);
  }
  return id;
}

void QtPlatform::DestroyWindow(HWND window) {
  auto it = s_->windows.find(window);
  if (it == s_->windows.end()) return;
  for (auto t = s_->timers.begin(); t != s_->timers.end();)
    t = t->first.first == window ? s_->timers.erase(t) : std::next(t);
  if (s_->hotKeys) s_->hotKeys->UnregisterWindow(window);
  if (s_->capture == window) ReleaseCapture();
  if (auto& q = it->second.qwin) {
    q->Detach();
    q->hide();
    // A handler of this very window may be running: delete once no handler is.
    s_->graveyard.push_back(std::move(q));
  }
  s_->windows.erase(it);
  s_->Bury();
}

bool QtPlatform::IsWindow(HWND window) const { return s_->windows.count(window) != 0; }

void QtPlatform::SetWindowTitle(HWND window, const std::string& title) {
  if (QtWindow* w = s_->Win(window)) w->setTitle(QString::fromStdString(title));
}

void QtPlatform::SetWindowGeometry(HWND window, const Rect& client) {
  State::WindowRec* r = s_->Find(window);
  if (!r || !r->qwin) return;
  const QRect g(client.left, client.top, std::max(1, client.Width()), std::max(1, client.Height()));
  if (r->fixed) {
    r->qwin->setMinimumSize(g.size());
    r->qwin->setMaximumSize(g.size());
  }
  const bool moved = r->qwin->geometry() != g;
  r->qwin->setGeometry(g);
  if (moved && r->Layered() && r->qwin->isVisible()) s_->RefreshUnderlay(*r);
}

Rect QtPlatform::WindowGeometry(HWND window) const {
  QtWindow* w = s_->Win(window);
  return w ? RectFrom(w->geometry()) : Rect{};
}

void QtPlatform::SetWindowFixedSize(HWND window, bool fixed) {
  State::WindowRec* r = s_->Find(window);
  if (!r || !r->qwin) return;
  r->fixed = fixed;
  if (fixed) {
    r->qwin->setMinimumSize(r->qwin->size());
    r->qwin->setMaximumSize(r->qwin->size());
  } else {
    r->qwin->setMinimumSize(QSize(0, 0));
    r->qwin->setMaximumSize(QSize(16777215, 16777215));
  }
}

void QtPlatform::SetWindowBorderless(HWND window, bool borderless) {
  if (QtWindow* w = s_->Win(window)) w->setFlag(Qt::FramelessWindowHint, borderless);
}

void QtPlatform::SetWindowStayOnTop(HWND window, bool onTop) {
  if (QtWindow* w = s_->Win(window)) w->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

void QtPlatform::SetWindowLayered(HWND window, std::uint8_t alpha, std::optional<TColor> colorKey) {
  State::WindowRec* r = s_->Find(window);
  if (!r) return;
  if (r->alpha == alpha && r->colorKey == colorKey) return;
  const bool was = r->Layered();
  r->alpha = alpha;
  r->colorKey = colorKey;
  if (!r->qwin) return;
  if (r->qwin->isVisible() && (r->Layered() != was || r->under.width == 0)) {
    s_->RefreshUnderlay(*r);
  } else {
    if (!r->Layered()) r->under = {};
    s_->Compose(*r);
  }
}

void QtPlatform::CoverPrimaryScreen(HWND window) {
  State::WindowRec* r = s_->Find(window);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!r || !r->qwin || !screen) return;
  // Full-screen requests need a window manager; placing the window ourselves works everywhere.
  r->qwin->setFlags(r->qwin->flags() | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
  SetWindowGeometry(window, RectFrom(screen->geometry()));
}

void QtPlatform::ShowWindow(HWND window, ShowMode mode) {
  State::WindowRec* r = s_->Find(window);
  if (!r || !r->qwin) return;
  QtWindow* w = r->qwin.get();
  if (mode == ShowMode::Hide) {
    if (s_->capture == window) ReleaseCapture();
    w->hide();
    r->under = {};
    return;
  }
  if (mode != ShowMode::Minimized && r->Layered() && !w->isVisible()) {
    // The screen as it is before the window covers it.
    r->under = s_->Grab(RectFrom(w->geometry()));
    s_->Compose(*r);
  }
  switch (mode) {
    case ShowMode::Normal: w->showNormal(); break;
    case ShowMode::Minimized: w->showMinimized(); break;
    case ShowMode::Maximized: w->showMaximized(); break;
    case ShowMode::Hide: break;
  }
}

bool QtPlatform::IsWindowVisible(HWND window) const {
  QtWindow* w = s_->Win(window);
  return w && w->isVisible();
}

bool QtPlatform::IsWindowMinimized(HWND window) const {
  QtWindow* w = s_->Win(window);
  return w && (w->windowStates() & Qt::WindowMinimized);
}

bool QtPlatform::ActivateWindow(HWND window) {
  QtWindow* w = s_->Win(window);
  if (!w || !w->isVisible()) return false;
  w->raise();
  w->requestActivate();
  return true;
}

HWND QtPlatform::ActiveWindow() const {
  auto* w = dynamic_cast<QtWindow*>(QGuiApplication::focusWindow());
  return w && IsWindow(w->Id()) ? w->Id() : 0;
}

void QtPlatform::PresentWindow(HWND window, const PixelView& image) {
  State::WindowRec* r = s_->Find(window);
  if (!r || !r->qwin) return;
  r->layer = ImageFromView(image);
  s_->Compose(*r);
}

void QtPlatform::SetWindowCursor(HWND window, Cursor cursor) {
  if (QtWindow* w = s_->Win(window)) w->setCursor(QCursor(ShapeFrom(cursor)));
}

void QtPlatform::SetCapture(HWND window) {
  if (s_->capture && s_->capture != window) ReleaseCapture();
  QtWindow* w = s_->Win(window);
  if (!w) return;
  w->setMouseGrabEnabled(true);
  s_->capture = window;
}

void QtPlatform::ReleaseCapture() {
  if (QtWindow* w = s_->Win(s_->capture)) w->setMouseGrabEnabled(false);
  s_->capture = 0;
}

// ---- timers and hot keys ------------------------------------------------------------------

bool QtPlatform::SetTimer(HWND window, std::uintptr_t id, std::uint32_t ms) {
  if (!IsWindow(window)) return false;
  const auto key = std::make_pair(window, id);
  State::TimerRec& t = s_->timers[key];
  if (!t.timer) {
    t.timer = std::make_unique<QTimer>();
    t.timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(t.timer.get(), &QTimer::timeout, [s = s_.get(), key] {
      auto it = s->timers.find(key);
      // Like WM_TIMER, at most one tick of a timer waits in the queue.
      if (it == s->timers.end() || it->second.queued) return;
      it->second.queued = true;
      s->Post(new MessageEvent(key.first, WM_TIMER, key.second, 0, it->second.serial));
    });
  }
  t.serial = s_->nextSerial++;
  t.queued = false;
  t.timer->start(static_cast<int>(std::clamp<std::uint32_t>(ms, kMinTimerMs, 0x7FFFFFFF)));
  return true;
}

bool QtPlatform::KillTimer(HWND window, std::uintptr_t id) { return s_->timers.erase({window, id}) != 0; }

bool QtPlatform::RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) {
  if (!IsWindow(window) || !s_->hotKeys) return false;
  return s_->hotKeys->Register(window, id, modifiers, vk);
}

bool QtPlatform::UnregisterHotKey(HWND window, int id) {
  return s_->hotKeys && s_->hotKeys->Unregister(window, id);
}

// ---- screen -------------------------------------------------------------------------------

Size QtPlatform::PrimaryScreenSize() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return {screen->size().width(), screen->size().height()};
}

PixelBuffer QtPlatform::GrabScreen(const Rect& area) { return s_->Grab(area); }

// ---- shell --------------------------------------------------------------------------------

void QtPlatform::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string QtPlatform::ClipboardText() const { return QGuiApplication::clipboard()->text().toStdString(); }

bool QtPlatform::OpenUrl(const std::string& url) {
  const QUrl u(QString::fromStdString(url), QUrl::TolerantMode);
  return u.isValid() && !u.isEmpty() && QDesktopServices::openUrl(u);
}

std::optional<std::string> QtPlatform::RunSaveFileDialog(const SaveFileDialogOptions& o) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  QFileDialog dlg(nullptr, QString::fromStdString(o.title), QString::fromStdString(o.initialDir));
  dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  QStringList filters;
  for (const auto& [desc, pattern] : o.filters) {
    const QString pats = QString::fromStdString(pattern).split(';', Qt::SkipEmptyParts).join(' ');
    const QString d = QString::fromStdString(desc);
    filters << (d.endsWith('(' + pats + ')') ? d : d + " (" + pats + ")");
  }
  if (!filters.isEmpty()) dlg.setNameFilters(filters);
  if (!o.defaultExt.empty()) dlg.setDefaultSuffix(QString::fromStdString(o.defaultExt));
  if (!o.fileName.empty()) dlg.selectFile(QString::fromStdString(o.fileName));
  dlg.setWindowModality(Qt::ApplicationModal);
  if (QtWindow* owner = s_->Win(o.owner)) {
    dlg.winId();
    if (QWindow* h = dlg.windowHandle()) h->setTransientParent(owner);
  }
  const int result = dlg.exec();
  s_->RethrowPending();
  const QStringList files = dlg.selectedFiles();
  if (result != QDialog::Accepted || files.isEmpty()) return std::nullopt;
  return files.first().toStdString();
}

// ---- autorun store ------------------------------------------------------------------------

namespace {
std::string EntryPath(const std::string& name) { return qt::AutostartDirectory() + "/" + name + ".desktop"; }
}  // namespace

bool QtPlatform::AutorunOpen(bool create) {
  const std::string dir = qt::AutostartDirectory();
  if (dir.empty()) return false;
  std::error_code ec;
  if (std::filesystem::is_directory(dir, ec)) return true;
  if (!create) return false;
  std::filesystem::create_directories(dir, ec);
  return std::filesystem::is_directory(dir, ec);
}

std::optional<std::string> QtPlatform::AutorunGet(const std::string& name) const {
  if (!qt::IsValidAutorunName(name) || qt::AutostartDirectory().empty()) return std::nullopt;
  std::ifstream in(EntryPath(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return qt::DesktopEntryCommand(text.str());
}

bool QtPlatform::AutorunSet(const std::string& name, const std::string& command) {
  if (!qt::IsValidAutorunName(name) || !AutorunOpen(true)) return false;
  return qt::WriteFileAtomically(EntryPath(name), qt::DesktopEntryText(name, command));
}

bool QtPlatform::AutorunDelete(const std::string& name) {
  if (!qt::IsValidAutorunName(name) || qt::AutostartDirectory().empty()) return false;
  std::error_code ec;
  return std::filesystem::remove(EntryPath(name), ec);
}

// ---- queries ------------------------------------------------------------------------------

Point QtPlatform::CursorPos() const {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void QtPlatform::SetCursorPos(Point p) {
  QCursor::setPos(p.x, p.y);
  if (s_->xcb) xcb_flush(s_->xcb);
}

bool QtPlatform::IsKeyDown(UINT vk) const {
  if (!s_->xcb) {
    const Qt::MouseButtons b = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    switch (vk) {
      case VK_LBUTTON: return b & Qt::LeftButton;
      case VK_RBUTTON: return b & Qt::RightButton;
      case VK_MBUTTON: return b & Qt::MiddleButton;
      case VK_SHIFT: return m & Qt::ShiftModifier;
      case VK_CONTROL: return m & Qt::ControlModifier;
      case VK_MENU: return m & Qt::AltModifier;
      default: return false;
    }
  }
  xcb_connection_t* c = s_->xcb;
  if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
    xcb_query_pointer_reply_t* r = xcb_query_pointer_reply(c, xcb_query_pointer(c, s_->root), nullptr);
    if (!r) return false;
    const std::uint16_t mask = r->mask;
    std::free(r);
    const std::uint16_t bit = vk == VK_LBUTTON   ? XCB_BUTTON_MASK_1
                              : vk == VK_MBUTTON ? XCB_BUTTON_MASK_2
                                                 : XCB_BUTTON_MASK_3;
    return mask & bit;
  }
  std::vector<std::uint32_t> keysyms;
  switch (vk) {
    case VK_SHIFT: keysyms = {0xffe1, 0xffe2}; break;
    case VK_CONTROL: keysyms = {0xffe3, 0xffe4}; break;
    case VK_MENU: keysyms = {0xffe9, 0xffea, 0xfe03}; break;
    case 0xA0: keysyms = {0xffe1}; break;  // VK_LSHIFT
    case 0xA1: keysyms = {0xffe2}; break;
    case 0xA2: keysyms = {0xffe3}; break;  // VK_LCONTROL
    case 0xA3: keysyms = {0xffe4}; break;
    case 0xA4: keysyms = {0xffe9}; break;  // VK_LMENU
    case 0xA5: keysyms = {0xffea, 0xfe03}; break;
    default:
      if (std::uint32_t k = qt::KeysymFromVirtualKey(vk)) keysyms = {k};
  }
  if (keysyms.empty()) return false;
  xcb_query_keymap_reply_t* km = xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr);
  if (!km) return false;
  bool down = false;
  for (std::uint32_t sym : keysyms)
    for (std::uint8_t code : qt::KeycodesForKeysym(c, sym))
      if (km->keys[code / 8] & (1u << (code % 8))) down = true;
  std::free(km);
  return down;
}

std::uint32_t QtPlatform::DoubleClickTimeMs() const {
  return static_cast<std::uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void QtPlatform::ClipCursor(const std::optional<Rect>& area) {
  s_->clip = area;
  if (!area) {
    s_->clipTimer.reset();
    return;
  }
  // Best effort: X has no confinement to an arbitrary rectangle, so the pointer is put back.
  if (!s_->clipTimer) {
    s_->clipTimer = std::make_unique<QTimer>();
    QObject::connect(s_->clipTimer.get(), &QTimer::timeout, [s = s_.get()] { s->ClampCursor(); });
    s_->clipTimer->start(10);
  }
  s_->ClampCursor();
}

void QtPlatform::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::uint64_t QtPlatform::NowMs() const {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

std::string QtPlatform::ExecutablePath() const {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::unique_ptr<Platform> CreateQtPlatform(int& argc, char** argv) {
  return std::make_unique<QtPlatform>(argc, argv);
}

}  // namespace tv::platform
