// The Qt backend on a real X server (run under tests/e2e/run_x11.sh): hot keys, grabs, layered
// windows, the event loop, input and the shell services, driven with xdotool and raw xcb.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/X11HotKeys.h"

using namespace tv;
using namespace tv::platform;
using namespace std::chrono_literals;

namespace {

int Shell(const std::string& cmd) { return std::system(cmd.c_str()); }

std::string Capture(const std::string& cmd) {
  std::string out;
  if (FILE* f = ::popen(cmd.c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, f)) out += buf;
    ::pclose(f);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// A second X client, for what other programs do.
class OtherClient {
 public:
  OtherClient() {
    int screen = 0;
    c_ = xcb_connect(nullptr, &screen);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; i < screen; ++i) xcb_screen_next(&it);
    root_ = it.data->root;
  }
  ~OtherClient() { xcb_disconnect(c_); }
  xcb_connection_t* c() const { return c_; }

  // Grabs the key of `keysym` with exactly `mods` on the root window; false if refused.
  bool GrabKey(std::uint32_t keysym, std::uint16_t mods) {
    bool ok = true;
    for (std::uint8_t k : qt::KeycodesForKeysym(c_, keysym)) {
      auto cookie = xcb_grab_key_checked(c_, 1, root_, mods, k, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
      if (xcb_generic_error_t* e = xcb_request_check(c_, cookie)) {
        ok = false;
        std::free(e);
      }
    }
    return ok;
  }
  void UngrabKey(std::uint32_t keysym, std::uint16_t mods) {
    for (std::uint8_t k : qt::KeycodesForKeysym(c_, keysym)) xcb_ungrab_key(c_, k, root_, mods);
    qt::SyncX(c_);
  }
  // The server's pixels, bypassing the backend (as another program sees the screen).
  std::vector<std::uint32_t> RootPixels(int x, int y, int w, int h) {
    std::vector<std::uint32_t> px;
    auto* r = xcb_get_image_reply(
        c_,
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                      static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u),
        nullptr);
    if (!r) return px;
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(r));
    const int n = xcb_get_image_data_length(r) / 4;
    for (int i = 0; i < n && i < w * h; ++i) px.push_back(data[i] & 0xFFFFFF);
    std::free(r);
    return px;
  }
  // Whether some other client holds the pointer grabbed.
  bool PointerGrabbedElsewhere() {
    auto* r = xcb_grab_pointer_reply(c_,
                                     xcb_grab_pointer(c_, 0, root_, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                                                      XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                     nullptr);
    const bool taken = r && r->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    if (r && r->status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_pointer(c_, XCB_CURRENT_TIME);
    std::free(r);
    qt::SyncX(c_);
    return taken;
  }
  std::uint16_t PointerState() {
    auto* r = xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr);
    std::uint16_t m = r ? r->mask : 0;
    std::free(r);
    return m;
  }
  void SendDeleteWindow(std::uint32_t window) {
    auto atom = [&](const char* name) {
      auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                                      nullptr);
      xcb_atom_t a = r ? r->atom : 0;
      std::free(r);
      return a;
    };
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = atom("WM_PROTOCOLS");
    ev.data.data32[0] = atom("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    qt::SyncX(c_);
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t root_ = 0;
};

PixelBuffer Pattern(int w, int h) {
  PixelBuffer b;
  b.width = w;
  b.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>((x * 7) & 0xFF) << 16 |
                         static_cast<std::uint32_t>((y * 11) & 0xFF) << 8 | static_cast<std::uint32_t>((x ^ y) * 5 & 0xFF));
  return b;
}

PixelView ViewOf(const PixelBuffer& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.pixels.data()), b.width, b.height, b.width * 4};
}

class QtX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test_x11";
    static char* argv[] = {name, nullptr};
    p_ = std::make_unique<QtPlatform>(argc, argv);
    ASSERT_TRUE(p_->IsX11()) << "needs an X display (run through tests/e2e/run_x11.sh)";
    p_->SetEventHandler([this](const Event& e) { events_.push_back(e); });
  }
  void TearDown() override { p_.reset(); }

  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      p_->ProcessEvents(false);
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  void PumpFor(std::chrono::milliseconds d) {
    const auto end = std::chrono::steady_clock::now() + d;
    while (std::chrono::steady_clock::now() < end) {
      p_->ProcessEvents(false);
      std::this_thread::sleep_for(2ms);
    }
  }
  int Count(EventKind kind, HWND w, UINT msg = 0) const {
    int n = 0;
    for (const Event& e : events_)
      if (e.kind == kind && e.window == w && (kind != EventKind::Message || e.msg == msg)) ++n;
    return n;
  }
  const Event* Last(EventKind kind, HWND w, UINT msg = 0) const {
    for (auto it = events_.rbegin(); it != events_.rend(); ++it)
      if (it->kind == kind && it->window == w && (kind != EventKind::Message || it->msg == msg)) return &*it;
    return nullptr;
  }
  // Shows a window with the pattern at `client` and waits until the server shows it.
  HWND ShowPattern(const Rect& client, const PixelBuffer& pattern, const char* title = "pattern") {
    HWND w = p_->CreateWindow(WindowKind::TopLevel);
    p_->SetWindowTitle(w, title);
    p_->SetWindowBorderless(w, true);
    p_->SetWindowGeometry(w, client);
    p_->PresentWindow(w, ViewOf(pattern));
    p_->ShowWindow(w, ShowMode::Normal);
    EXPECT_TRUE(PumpUntil([&] { return Count(EventKind::Expose, w) > 0; }));
    PumpFor(50ms);
    return w;
  }
  std::uint32_t XWindowOf(const char* title) {
    const std::string id = Capture(std::string("xdotool search --name '^") + title + "$' | head -n1");
    return static_cast<std::uint32_t>(std::strtoul(id.c_str(), nullptr, 10));
  }

  std::unique_ptr<QtPlatform> p_;
  std::vector<Event> events_;
};

TEST_F(QtX11Test, HotKeyFiresWithAndWithoutLockKeys) {
  OtherClient other;
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  ASSERT_TRUE(p_->RegisterHotKey(w, 1, 0, VK_F7));

  auto pressAndExpect = [&](const char* what) {
    const int before = Count(EventKind::Message, w, WM_HOTKEY);
    ASSERT_EQ(Shell("xdotool key F7"), 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::Message, w, WM_HOTKEY) > before; })) << what;
    const Event* e = Last(EventKind::Message, w, WM_HOTKEY);
    EXPECT_EQ(e->wParam, 1u);
    EXPECT_EQ(e->lParam, static_cast<LPARAM>(VK_F7) << 16);
  };
  pressAndExpect("no locks");

  const std::uint16_t numLock = qt::FindNumLockMask(other.c());
  ASSERT_EQ(Shell("xdotool key Num_Lock"), 0);
  ASSERT_TRUE(other.PointerState() & numLock) << "Num Lock did not latch";
  pressAndExpect("Num Lock on");
  ASSERT_EQ(Shell("xdotool key Caps_Lock"), 0);
  ASSERT_TRUE(other.PointerState() & XCB_MOD_MASK_LOCK);
  pressAndExpect("Num Lock and Caps Lock on");
  ASSERT_EQ(Shell("xdotool key Num_Lock"), 0);
  pressAndExpect("Caps Lock on");
  ASSERT_EQ(Shell("xdotool key Caps_Lock"), 0);
  EXPECT_EQ(other.PointerState() & (numLock | XCB_MOD_MASK_LOCK), 0);

  // With a modifier held the key is another combination and does not fire.
  const int before = Count(EventKind::Message, w, WM_HOTKEY);
  ASSERT_EQ(Shell("xdotool key shift+F7"), 0);
  PumpFor(150ms);
  EXPECT_EQ(Count(EventKind::Message, w, WM_HOTKEY), before);

  // Unregistered, the key is free for others and fires no more.
  ASSERT_TRUE(p_->UnregisterHotKey(w, 1));
  EXPECT_FALSE(p_->UnregisterHotKey(w, 1));
  ASSERT_EQ(Shell("xdotool key F7"), 0);
  PumpFor(150ms);
  EXPECT_EQ(Count(EventKind::Message, w, WM_HOTKEY), before);
  EXPECT_TRUE(other.GrabKey(0xffc4, 0));
  other.UngrabKey(0xffc4, 0);
}

TEST_F(QtX11Test, HotKeyWinsOverTheFocusedWindowOfThisProgram) {
  const HWND msgWin = p_->CreateWindow(WindowKind::MessageOnly);
  const HWND w = ShowPattern({300, 300, 400, 400}, Pattern(100, 100), "focused");
  ASSERT_TRUE(p_->ActivateWindow(w));
  ASSERT_TRUE(PumpUntil([&] { return p_->ActiveWindow() == w; }));
  ASSERT_TRUE(p_->RegisterHotKey(msgWin, 1, 0, VK_F7));

  ASSERT_EQ(Shell("xdotool key F7 key F6"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::KeyDown, w) >= 1 && Count(EventKind::Message, msgWin, WM_HOTKEY) >= 1; }));
  PumpFor(50ms);
  // F7 became the hot key only; F6, not registered, reached the window as usual.
  EXPECT_EQ(Count(EventKind::Message, msgWin, WM_HOTKEY), 1);
  for (const Event& e : events_) {
    if (e.window == w && e.kind == EventKind::KeyDown) {
      EXPECT_EQ(e.key, 0x75u);
    }
  }
}

TEST_F(QtX11Test, EveryKeyOfTheHotKeyListRegistersAndFires) {
  struct Key {
    UINT vk;
    const char* xdotoolName;
  };
  const Key keys[] = {{VK_F4, "F4"},   {0x74, "F5"},   {0x75, "F6"},   {VK_F7, "F7"},
                      {0x77, "F8"},    {0x78, "F9"},   {0x79, "F10"},  {0x7A, "F11"},
                      {VK_F12, "F12"}, {VK_SCROLL, "Scroll_Lock"},    {VK_PAUSE, "Pause"}};
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  for (const Key& k : keys) {
    ASSERT_TRUE(p_->RegisterHotKey(w, 1, 0, k.vk)) << k.xdotoolName;
    const int before = Count(EventKind::Message, w, WM_HOTKEY);
    ASSERT_EQ(Shell(std::string("xdotool key ") + k.xdotoolName), 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::Message, w, WM_HOTKEY) > before; })) << k.xdotoolName;
    EXPECT_EQ(Last(EventKind::Message, w, WM_HOTKEY)->lParam, static_cast<LPARAM>(k.vk) << 16);
    ASSERT_TRUE(p_->UnregisterHotKey(w, 1));
  }
  // Scroll Lock latches a lock; release it for the tests that follow.
  ASSERT_EQ(Shell("xdotool key Scroll_Lock"), 0);
}

TEST_F(QtX11Test, AKeyHeldByAnotherClientIsReportedTaken) {
  OtherClient other;
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  constexpr std::uint32_t kF8 = 0xffc5, kF9 = 0xffc6;

  ASSERT_TRUE(other.GrabKey(kF8, 0));
  EXPECT_FALSE(p_->RegisterHotKey(w, 1, 0, 0x77));

  // Holding only one lock variant is enough to make the key taken, and the variants we did get
  // are given back: the other client can then take all of them.
  const std::uint16_t numLock = qt::FindNumLockMask(other.c());
  ASSERT_TRUE(other.GrabKey(kF9, numLock));
  EXPECT_FALSE(p_->RegisterHotKey(w, 1, 0, 0x78));
  EXPECT_TRUE(other.GrabKey(kF9, 0));
  EXPECT_TRUE(other.GrabKey(kF9, XCB_MOD_MASK_LOCK));
  other.UngrabKey(kF9, 0);
  other.UngrabKey(kF9, XCB_MOD_MASK_LOCK);
  other.UngrabKey(kF9, numLock);

  // Once the other client lets go, the key is ours.
  other.UngrabKey(kF8, 0);
  EXPECT_TRUE(p_->RegisterHotKey(w, 1, 0, 0x77));
  EXPECT_FALSE(other.GrabKey(kF8, 0)) << "now we hold it";

  // Our own bookkeeping: an id in use, the same key twice, keys without a keysym, no window.
  EXPECT_FALSE(p_->RegisterHotKey(w, 1, 0, 0x78));
  EXPECT_FALSE(p_->RegisterHotKey(w, 2, 0, 0x77));
  EXPECT_TRUE(p_->RegisterHotKey(w, 2, MOD_CONTROL, 0x77));
  EXPECT_FALSE(p_->RegisterHotKey(w, 3, 0, 0));
  EXPECT_FALSE(p_->RegisterHotKey(w, 3, 0, VK_LBUTTON));
  EXPECT_FALSE(p_->RegisterHotKey(9999, 3, 0, 0x78));

  // Destroying the window frees its keys.
  p_->DestroyWindow(w);
  EXPECT_TRUE(other.GrabKey(kF8, 0));
  other.UngrabKey(kF8, 0);
}

TEST_F(QtX11Test, GrabReturnsTheScreenPixels) {
  const PixelBuffer pattern = Pattern(64, 48);
  ShowPattern({100, 120, 164, 168}, pattern);

  const PixelBuffer grab = p_->GrabScreen({100, 120, 164, 168});
  ASSERT_EQ(grab.width, 64);
  ASSERT_EQ(grab.height, 48);
  EXPECT_EQ(grab.pixels, pattern.pixels);

  // A part of the pattern, and an area reaching off the screen: the outside part is black.
  const PixelBuffer part = p_->GrabScreen({110, 130, 120, 135});
  EXPECT_EQ(part.At(0, 0), pattern.At(10, 10));
  EXPECT_EQ(part.At(9, 4), pattern.At(19, 14));
  const PixelBuffer edge = p_->GrabScreen({-5, -5, 5, 5});
  ASSERT_EQ(edge.width, 10);
  EXPECT_EQ(edge.At(0, 0), 0xFF000000u);
  EXPECT_EQ(edge.At(4, 9), 0xFF000000u);
  for (std::uint32_t px : edge.pixels) EXPECT_EQ(px >> 24, 0xFFu);
  EXPECT_TRUE(p_->GrabScreen({10, 10, 10, 20}).pixels.empty());

  EXPECT_EQ(p_->PrimaryScreenSize(), (Size{1280, 800}));
}

TEST_F(QtX11Test, LayeredOverlayShowsBlendedButIsNeverGrabbed) {
  OtherClient other;
  const PixelBuffer pattern = Pattern(64, 48);
  const HWND under = ShowPattern({200, 200, 264, 248}, pattern);

  const HWND overlay = p_->CreateWindow(WindowKind::TopLevel);
  p_->SetWindowTitle(overlay, "ScreenWindow");
  p_->SetWindowBorderless(overlay, true);
  p_->SetWindowLayered(overlay, 150, TColor{0x808080});
  p_->SetWindowStayOnTop(overlay, true);
  p_->CoverPrimaryScreen(overlay);
  EXPECT_EQ(p_->WindowGeometry(overlay), (Rect{0, 0, 1280, 800}));
  // Silver everywhere except a key-grey hole over the right half of the pattern window.
  PixelBuffer layer;
  layer.width = 1280;
  layer.height = 800;
  layer.pixels.assign(1280u * 800u, 0xFFC0C0C0u);
  for (int y = 200; y < 248; ++y)
    for (int x = 232; x < 264; ++x) layer.pixels[static_cast<std::size_t>(y) * 1280 + x] = 0xFF808080u;
  p_->PresentWindow(overlay, ViewOf(layer));
  p_->ShowWindow(overlay, ShowMode::Normal);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::Expose, overlay) > 0; }));
  PumpFor(50ms);
  EXPECT_TRUE(p_->IsWindowVisible(overlay));

  // What other programs see: the pattern under silver at 150/255, untouched in the hole.
  auto blended = [&](int x, int y) {
    const std::uint32_t s = pattern.At(x, y);
    std::uint32_t out = 0;
    for (int sh = 0; sh <= 16; sh += 8) out |= ((0xC0u * 150 + ((s >> sh) & 0xFF) * 105 + 127) / 255) << sh;
    return out;
  };
  std::vector<std::uint32_t> seen = other.RootPixels(200, 200, 64, 48);
  ASSERT_EQ(seen.size(), 64u * 48u);
  EXPECT_EQ(seen[0], blended(0, 0));
  EXPECT_EQ(seen[5 * 64 + 20], blended(20, 5));
  EXPECT_EQ(seen[5 * 64 + 40], pattern.At(40, 5) & 0xFFFFFF);
  EXPECT_EQ(other.RootPixels(600, 600, 1, 1), std::vector<std::uint32_t>{(0xC0u * 150 + 127) / 255 * 0x010101u});

  // Our own grab never contains the overlay, and the overlay keeps the mouse capture.
  p_->SetCapture(overlay);
  PumpFor(20ms);
  ASSERT_TRUE(other.PointerGrabbedElsewhere());
  const PixelBuffer grab = p_->GrabScreen({200, 200, 264, 248});
  EXPECT_EQ(grab.pixels, pattern.pixels);
  EXPECT_TRUE(p_->IsWindowVisible(overlay));
  EXPECT_TRUE(other.PointerGrabbedElsewhere());
  p_->ReleaseCapture();
  PumpFor(20ms);
  EXPECT_FALSE(other.PointerGrabbedElsewhere());

  // The overlay comes back afterwards, since it is still meant to show.
  ASSERT_TRUE(PumpUntil([&] { return other.RootPixels(200, 200, 1, 1) == std::vector<std::uint32_t>{blended(0, 0)}; }));

  // Hidden, it leaves the pattern on the screen; shown again, it blends over a fresh picture.
  p_->ShowWindow(overlay, ShowMode::Hide);
  PumpFor(50ms);
  EXPECT_FALSE(p_->IsWindowVisible(overlay));
  EXPECT_EQ(p_->GrabScreen({200, 200, 264, 248}).pixels, pattern.pixels);
  p_->DestroyWindow(under);
  PumpFor(50ms);
  p_->ShowWindow(overlay, ShowMode::Normal);
  PumpFor(100ms);
  std::vector<std::uint32_t> now = other.RootPixels(220, 205, 1, 1);
  ASSERT_EQ(now.size(), 1u);
  EXPECT_NE(now[0], blended(20, 5)) << "the old picture under the overlay was reused";
  EXPECT_EQ(now[0], (0xC0u * 150 + 127) / 255 * 0x010101u);
}

TEST_F(QtX11Test, PostedMessagesAndTimersArriveThroughTheLoop) {
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  ASSERT_TRUE(p_->PostMessage(w, WM_USER + 1, 1, 10));
  ASSERT_TRUE(p_->PostMessage(w, WM_USER + 2, 2, 20));
  ASSERT_TRUE(p_->PostMessage(w, WM_USER + 3, 3, 30));
  EXPECT_FALSE(p_->PostMessage(12345, WM_USER, 0, 0));
  while (Count(EventKind::Message, w, WM_USER + 3) == 0) p_->ProcessEvents(true);
  std::vector<UINT> order;
  for (const Event& e : events_)
    if (e.kind == EventKind::Message && e.window == w) order.push_back(e.msg);
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
  EXPECT_EQ(Last(EventKind::Message, w, WM_USER + 2)->lParam, 20);

  // A timer ticks through a blocking wait.
  ASSERT_TRUE(p_->SetTimer(w, 42, 30));
  const auto start = std::chrono::steady_clock::now();
  while (Count(EventKind::Message, w, WM_TIMER) < 3) p_->ProcessEvents(true);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
  EXPECT_EQ(Last(EventKind::Message, w, WM_TIMER)->wParam, 42u);

  // Ticks do not pile up while nobody reads the queue, and none arrives after the kill.
  std::this_thread::sleep_for(200ms);
  const int ticks = Count(EventKind::Message, w, WM_TIMER);
  p_->ProcessEvents(false);
  PumpFor(5ms);
  EXPECT_LE(Count(EventKind::Message, w, WM_TIMER), ticks + 2);
  ASSERT_TRUE(p_->KillTimer(w, 42));
  EXPECT_FALSE(p_->KillTimer(w, 42));
  const int afterKill = Count(EventKind::Message, w, WM_TIMER);
  PumpFor(120ms);
  EXPECT_EQ(Count(EventKind::Message, w, WM_TIMER), afterKill);

  // Messages posted to a window that is destroyed before they arrive are dropped.
  ASSERT_TRUE(p_->SetTimer(w, 7, 10));
  ASSERT_TRUE(p_->PostMessage(w, WM_USER + 9, 0, 0));
  p_->DestroyWindow(w);
  EXPECT_FALSE(p_->SetTimer(w, 7, 10));
  PumpFor(60ms);
  EXPECT_EQ(Count(EventKind::Message, w, WM_USER + 9), 0);
}

TEST_F(QtX11Test, WakeEndsABlockingWaitFromAnotherThread) {
  std::atomic<bool> woke{false};
  std::thread t([&] {
    std::this_thread::sleep_for(100ms);
    woke = true;
    p_->Wake();
  });
  while (!woke) p_->ProcessEvents(true);
  t.join();
  SUCCEED();
}

TEST_F(QtX11Test, HandlerExceptionsResumeAfterTheLoopStep) {
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  p_->SetEventHandler([](const Event& e) {
    if (e.msg == WM_USER) throw std::runtime_error("from a handler");
  });
  ASSERT_TRUE(p_->PostMessage(w, WM_USER, 0, 0));
  EXPECT_THROW(
      {
        for (int i = 0; i < 100; ++i) {
          p_->ProcessEvents(false);
          std::this_thread::sleep_for(1ms);
        }
      },
      std::runtime_error);
}

TEST_F(QtX11Test, MouseAndKeyboardInputBecomeEvents) {
  const HWND w = ShowPattern({300, 300, 500, 400}, Pattern(200, 100), "input");
  ASSERT_TRUE(p_->ActivateWindow(w));
  ASSERT_TRUE(PumpUntil([&] { return p_->ActiveWindow() == w; }));
  EXPECT_GE(Count(EventKind::Activate, w), 1);

  ASSERT_EQ(Shell("xdotool mousemove 350 320 click 1"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::MouseUp, w) >= 1; }));
  const Event* down = Last(EventKind::MouseDown, w);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->pos, (Point{50, 20}));
  EXPECT_EQ(down->button, MouseButton::Left);
  EXPECT_TRUE(down->shift & kLeft);

  // A quick second click is a double click in place of a second press.
  events_.clear();
  ASSERT_EQ(Shell("xdotool mousemove 360 330 click --repeat 2 --delay 40 1"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::MouseUp, w) >= 2; }));
  std::vector<EventKind> kinds;
  for (const Event& e : events_)
    if (e.window == w && (e.kind == EventKind::MouseDown || e.kind == EventKind::MouseUp ||
                          e.kind == EventKind::DoubleClick))
      kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::MouseDown, EventKind::MouseUp, EventKind::DoubleClick,
                                           EventKind::MouseUp}));
  EXPECT_TRUE(Last(EventKind::DoubleClick, w)->shift & kDouble);

  events_.clear();
  ASSERT_EQ(Shell("xdotool click 3 mousemove 370 340 click 5"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::MouseWheel, w) >= 1 && Count(EventKind::MouseUp, w) >= 1; }));
  EXPECT_EQ(Last(EventKind::MouseUp, w)->button, MouseButton::Right);
  EXPECT_EQ(Last(EventKind::MouseWheel, w)->wheelDelta, -120);
  EXPECT_EQ(Last(EventKind::MouseMove, w)->pos, (Point{70, 40}));

  events_.clear();
  ASSERT_EQ(Shell("xdotool key a shift+b F5 Escape"), 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::KeyDown, w) >= 5; }));
  std::vector<UINT> keys;
  std::string text;
  for (const Event& e : events_) {
    if (e.window != w) continue;
    if (e.kind == EventKind::KeyDown) keys.push_back(e.key);
    if (e.kind == EventKind::Char) text += e.text;
  }
  EXPECT_EQ(keys, (std::vector<UINT>{'A', VK_SHIFT, 'B', 0x74, VK_ESCAPE}));
  EXPECT_EQ(text, "aB\x1b");
  for (const Event& e : events_) {
    if (e.kind == EventKind::KeyDown && e.key == 'B') {
      EXPECT_TRUE(e.shift & kShift);
    }
  }
}

TEST_F(QtX11Test, CloseRequestsAreReportedAndTheWindowStays) {
  OtherClient other;
  const HWND w = ShowPattern({50, 50, 150, 150}, Pattern(100, 100), "closeme");
  const std::uint32_t xid = XWindowOf("closeme");
  ASSERT_NE(xid, 0u);
  other.SendDeleteWindow(xid);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::CloseRequest, w) == 1; }));
  EXPECT_TRUE(p_->IsWindow(w));
  EXPECT_TRUE(p_->IsWindowVisible(w));

  p_->ShowWindow(w, ShowMode::Hide);
  PumpFor(50ms);
  EXPECT_FALSE(p_->IsWindowVisible(w));
  EXPECT_EQ(Capture("xdotool search --onlyvisible --name '^closeme$'"), "");
}

TEST_F(QtX11Test, ClipboardIsServedToOtherPrograms) {
  const std::string text = "http://localhost:8080/index2.html?file=ab12&path=2026 \xe2\x9c\x93";
  p_->SetClipboardText(text);
  EXPECT_EQ(p_->ClipboardText(), text);
  // xclip asks us for the selection: keep the loop running while it waits.
  auto other = std::async(std::launch::async, [] { return Capture("timeout 10 xclip -o -selection clipboard"); });
  while (other.wait_for(5ms) != std::future_status::ready) p_->ProcessEvents(false);
  EXPECT_EQ(other.get(), text);
}

TEST_F(QtX11Test, PointerAndKeyStateQueries) {
  p_->SetCursorPos({200, 150});
  PumpFor(20ms);
  EXPECT_EQ(p_->CursorPos(), (Point{200, 150}));
  EXPECT_EQ(Capture("xdotool getmouselocation | cut -d' ' -f1-2"), "x:200 y:150");

  EXPECT_FALSE(p_->IsKeyDown(VK_SHIFT));
  ASSERT_EQ(Shell("xdotool keydown shift"), 0);
  EXPECT_TRUE(p_->IsKeyDown(VK_SHIFT));
  ASSERT_EQ(Shell("xdotool keyup shift"), 0);
  EXPECT_FALSE(p_->IsKeyDown(VK_SHIFT));
  ASSERT_EQ(Shell("xdotool keydown F9"), 0);
  EXPECT_TRUE(p_->IsKeyDown(0x78));
  ASSERT_EQ(Shell("xdotool keyup F9"), 0);
  EXPECT_FALSE(p_->IsKeyDown(0x78));

  EXPECT_FALSE(p_->IsKeyDown(VK_LBUTTON));
  ASSERT_EQ(Shell("xdotool mousedown 1"), 0);
  EXPECT_TRUE(p_->IsKeyDown(VK_LBUTTON));
  EXPECT_FALSE(p_->IsKeyDown(VK_RBUTTON));
  ASSERT_EQ(Shell("xdotool mouseup 1"), 0);
  EXPECT_FALSE(p_->IsKeyDown(VK_LBUTTON));

  // A confined pointer is put back inside its rectangle.
  p_->ClipCursor(Rect{100, 100, 300, 300});
  ASSERT_EQ(Shell("xdotool mousemove 600 50"), 0);
  ASSERT_TRUE(PumpUntil([&] { return p_->CursorPos() == Point{299, 100}; }, 2000ms));
  p_->ClipCursor(std::nullopt);
  ASSERT_EQ(Shell("xdotool mousemove 600 50"), 0);
  PumpFor(50ms);
  EXPECT_EQ(p_->CursorPos(), (Point{600, 50}));

  EXPECT_GT(p_->DoubleClickTimeMs(), 0u);
  const std::string exe = p_->ExecutablePath();
  EXPECT_EQ(exe.substr(exe.size() - 8), "test_x11");
  const auto t0 = p_->NowMs();
  p_->Sleep(20);
  EXPECT_GE(p_->NowMs() - t0, 20u);
}

TEST_F(QtX11Test, WindowGeometryStateAndDestruction) {
  const HWND w = p_->CreateWindow(WindowKind::TopLevel);
  const HWND m = p_->CreateWindow(WindowKind::MessageOnly);
  EXPECT_NE(w, m);
  EXPECT_TRUE(p_->IsWindow(m));
  EXPECT_FALSE(p_->IsWindowVisible(m));
  p_->SetWindowTitle(w, "geometry");
  p_->SetWindowGeometry(w, {40, 60, 340, 260});
  p_->SetWindowFixedSize(w, true);
  p_->ShowWindow(w, ShowMode::Normal);
  ASSERT_TRUE(PumpUntil([&] { return Count(EventKind::Expose, w) > 0; }));
  EXPECT_EQ(p_->WindowGeometry(w), (Rect{40, 60, 340, 260}));
  const std::string geo = Capture("xdotool getwindowgeometry --shell $(xdotool search --name '^geometry$' | head -n1) "
                                  "| tr '\\n' ' '");
  EXPECT_NE(geo.find("X=40 Y=60 WIDTH=300 HEIGHT=200"), std::string::npos) << geo;

  // Resizing reports the new client size.
  p_->SetWindowGeometry(w, {40, 60, 440, 310});
  ASSERT_TRUE(PumpUntil([&] {
    const Event* r = Last(EventKind::Resized, w);
    return r && r->size == Size{400, 250};
  }));

  // A window destroyed from inside its own handler is gone at once and safe to unwind from.
  p_->SetEventHandler([&](const Event& e) {
    events_.push_back(e);
    if (e.kind == EventKind::Message && e.msg == WM_CLOSE) p_->DestroyWindow(e.window);
  });
  ASSERT_TRUE(p_->PostMessage(w, WM_CLOSE, 0, 0));
  ASSERT_TRUE(PumpUntil([&] { return !p_->IsWindow(w); }));
  PumpFor(50ms);
  EXPECT_EQ(Capture("xdotool search --onlyvisible --name '^geometry$'"), "");
  EXPECT_EQ(p_->WindowGeometry(w), Rect{});
  p_->ShowWindow(w, ShowMode::Normal);  // harmless on a dead handle
}

}  // namespace

namespace {

class SaveDialogTest : public QtX11Test {
 protected:
  void SetUp() override {
    QtX11Test::SetUp();
    dir_ = std::filesystem::temp_directory_path() / ("tovalin-save-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    QtX11Test::TearDown();
  }
  // Runs the dialog while another thread types `keys` into it once it shows.
  std::optional<std::string> RunWith(const std::string& keys, const std::string& fileName = "") {
    SaveFileDialogOptions o;
    o.title = "Save picture";
    o.initialDir = dir_.string();
    o.fileName = fileName;
    o.defaultExt = "jpg";
    o.filters = {{"JPEG Image File (*.jpg)", "*.jpg"}, {"All files", "*"}};
    auto driver = std::async(std::launch::async, [keys] {
      const int rc = Shell("timeout 10 xdotool search --sync --onlyvisible --name '^Save picture$' >/dev/null && "
                           "sleep 0.4 && " + keys);
      // Should the keys have gone astray, close the dialog rather than hang the test.
      Shell("for i in $(seq 50); do xdotool search --onlyvisible --name '^Save picture$' >/dev/null || exit 0; "
            "sleep 0.1; done; xdotool search --onlyvisible --name '^Save picture$' windowfocus key Escape");
      return rc;
    });
    auto result = p_->RunSaveFileDialog(o);
    EXPECT_EQ(driver.get(), 0);
    return result;
  }
  std::filesystem::path dir_;
};

TEST_F(SaveDialogTest, TypedNamesGetTheDefaultExtensionAndNoOverwritePrompt) {
  EXPECT_EQ(RunWith("xdotool type --delay 15 shot && xdotool key Return"), (dir_ / "shot.jpg").string());

  // An existing file is chosen without any question.
  { std::ofstream(dir_ / "old.jpg") << "x"; }
  EXPECT_EQ(RunWith("xdotool type --delay 15 old && xdotool key Return"), (dir_ / "old.jpg").string());

  // A name with its own extension keeps it; the proposed name can be taken as it is.
  EXPECT_EQ(RunWith("xdotool type --delay 15 pic.png && xdotool key Return"), (dir_ / "pic.png").string());
  EXPECT_EQ(RunWith("xdotool key Return", "screenshot.jpg"), (dir_ / "screenshot.jpg").string());

  EXPECT_EQ(RunWith("xdotool key Escape"), std::nullopt);
}

}  // namespace

namespace {

TEST_F(QtX11Test, OpenUrlHandsTheAddressToTheDesktopOpener) {
  // A stand-in xdg-open first on PATH records what it is asked to open.
  const auto dir = std::filesystem::temp_directory_path() / ("tovalin-open-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto log = dir / "opened.txt";
  {
    std::ofstream script(dir / "xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << log.string() << "'\n";
  }
  std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

  EXPECT_TRUE(p_->OpenUrl("http://localhost:8080/#update"));
  std::string opened;
  PumpUntil(
      [&] {
        std::ifstream in(log);
        std::getline(in, opened);
        return !opened.empty();
      },
      5000ms);
  EXPECT_EQ(opened, "http://localhost:8080/#update");
  EXPECT_FALSE(p_->OpenUrl(""));

  setenv("PATH", oldPath.c_str(), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

TEST_F(QtX11Test, OneLoopStepAlsoHandlesMessagesPostedWhileItRuns) {
  const HWND w = p_->CreateWindow(WindowKind::MessageOnly);
  p_->SetEventHandler([&](const Event& e) {
    events_.push_back(e);
    if (e.kind == EventKind::Message && e.msg < WM_USER + 5) p_->PostMessage(w, e.msg + 1, 0, 0);
  });
  ASSERT_TRUE(p_->PostMessage(w, WM_USER, 0, 0));
  p_->ProcessEvents(false);
  EXPECT_EQ(Count(EventKind::Message, w, WM_USER + 5), 1);
}

}  // namespace
