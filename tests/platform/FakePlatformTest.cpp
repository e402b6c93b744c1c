#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

using namespace tv;
using namespace tv::platform;

namespace {

// A record of what the handler saw, as short strings.
struct Recorder {
  std::vector<std::string> seen;
  void Attach(FakePlatform& p) {
    p.SetEventHandler([this](const Event& e) {
      switch (e.kind) {
        case EventKind::Message:
          seen.push_back("msg " + std::to_string(e.msg) + " " + std::to_string(e.wParam));
          break;
        case EventKind::MouseDown:
          seen.push_back("down " + std::to_string(e.pos.x) + "," + std::to_string(e.pos.y));
          break;
        case EventKind::MouseUp:
          seen.push_back("up");
          break;
        case EventKind::DoubleClick:
          seen.push_back("dbl");
          break;
        case EventKind::Activate:
          seen.push_back("activate " + std::to_string(e.window));
          break;
        case EventKind::Deactivate:
          seen.push_back("deactivate " + std::to_string(e.window));
          break;
        default:
          seen.push_back("other");
      }
    });
  }
};

}  // namespace

TEST(FakePlatformQueue, PostedMessagesAndInputStayInOneOrder) {
  FakePlatform p;
  Recorder r;
  r.Attach(p);
  HWND w = p.CreateWindow(WindowKind::TopLevel);
  p.PostMessage(w, WM_USER, 1, 0);
  p.MouseDown(w, MouseButton::Left, 3, 4);
  p.PostMessage(w, WM_USER, 2, 0);
  p.MouseUp(w, MouseButton::Left, 3, 4);
  p.ProcessEvents(false);
  EXPECT_EQ(r.seen, (std::vector<std::string>{"msg 1024 1", "down 3,4", "msg 1024 2", "up"}));
  EXPECT_EQ(p.PendingEventCount(), 0u);
}

TEST(FakePlatformQueue, DrainHandlesWhatHandlersPostAndDropsDestroyedWindows) {
  FakePlatform p;
  HWND a = p.CreateWindow(WindowKind::MessageOnly);
  HWND b = p.CreateWindow(WindowKind::MessageOnly);
  std::vector<WPARAM> got;
  p.SetEventHandler([&](const Event& e) {
    got.push_back(e.wParam);
    if (e.wParam == 1) p.PostMessage(a, WM_USER, 3, 0);  // queued during the drain: handled too
    if (e.wParam == 2) p.DestroyWindow(b);
  });
  p.PostMessage(a, WM_USER, 1, 0);
  p.PostMessage(a, WM_USER, 2, 0);
  p.PostMessage(b, WM_USER, 9, 0);  // its window dies before it is handled
  p.ProcessEvents(false);
  EXPECT_EQ(got, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_FALSE(p.PostMessage(b, WM_USER, 0, 0));
  EXPECT_FALSE(p.IsWindow(b));
}

TEST(FakePlatformQueue, WaitingUsesTheIdleHookThenTheNextTimerThenFails) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::MessageOnly);
  std::vector<std::string> seen;
  p.SetEventHandler([&](const Event& e) { seen.push_back(std::to_string(e.msg) + "@" + std::to_string(p.NowMs())); });

  int hookCalls = 0;
  p.SetIdleHook([&] {
    ++hookCalls;
    if (hookCalls == 1) {
      p.PostMessage(w, WM_USER, 0, 0);
      return true;
    }
    return false;
  });
  p.ProcessEvents(true);  // the hook injects a message
  EXPECT_EQ(seen, (std::vector<std::string>{"1024@0"}));

  ASSERT_TRUE(p.SetTimer(w, 7, 250));
  p.ProcessEvents(true);  // the hook has nothing: the clock moves to the timer
  EXPECT_EQ(seen.back(), "275@250");

  ASSERT_TRUE(p.KillTimer(w, 7));
  EXPECT_THROW(p.ProcessEvents(true), FakePlatform::Stall);
  EXPECT_THROW(p.ProcessEvents(true), std::logic_error);
}

TEST(FakePlatformQueue, WakeEndsAWaitWithoutEvents) {
  FakePlatform p;
  p.Wake();
  EXPECT_NO_THROW(p.ProcessEvents(true));
  // A hook that reports a change (a dialog answered) ends the wait as well.
  p.SetIdleHook([] { return true; });
  EXPECT_NO_THROW(p.ProcessEvents(true));
  // ... but not forever when nothing ever arrives.
  EXPECT_THROW(
      {
        for (;;) p.ProcessEvents(true);
      },
      FakePlatform::Stall);
}

TEST(FakePlatformClock, TimersFireInTimeOrderAndDoNotPileUp) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::MessageOnly);
  std::vector<std::string> seen;
  p.SetEventHandler([&](const Event& e) { seen.push_back(std::to_string(e.wParam)); });
  p.SetTimer(w, 1, 300);
  p.SetTimer(w, 2, 200);
  p.AdvanceClock(1000);
  // Timer 2 fell due at 200; timer 1 at 300; then each has one tick waiting: no pile-up.
  EXPECT_EQ(p.PendingEventCount(), 2u);
  p.ProcessEvents(false);
  EXPECT_EQ(seen, (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(p.NowMs(), 1000u);

  // Resetting a timer restarts its period from now.
  seen.clear();
  p.SetTimer(w, 1, 300);
  p.AdvanceClock(299);
  p.ProcessEvents(false);
  EXPECT_EQ(seen, (std::vector<std::string>{"2"}));  // 2 was due at 1200
  p.AdvanceClock(1);
  p.ProcessEvents(false);
  EXPECT_EQ(seen.back(), "1");
}

TEST(FakePlatformClock, KillTimerDropsItsWaitingTickAndSleepMovesTheClock) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::MessageOnly);
  int ticks = 0;
  p.SetEventHandler([&](const Event&) { ++ticks; });
  p.SetTimer(w, 5, 20);
  p.Sleep(20);
  EXPECT_EQ(p.PendingEventCount(), 1u);
  EXPECT_TRUE(p.KillTimer(w, 5));
  EXPECT_FALSE(p.KillTimer(w, 5));
  p.ProcessEvents(false);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(p.NowMs(), 20u);
  EXPECT_EQ(p.TotalSleptMs(), 20u);
}

TEST(FakePlatformHotKeys, RegistrationRules) {
  FakePlatform p;
  HWND a = p.CreateWindow(WindowKind::TopLevel);
  HWND b = p.CreateWindow(WindowKind::TopLevel);
  p.MarkHotKeyTaken(VK_PAUSE);
  EXPECT_TRUE(p.RegisterHotKey(a, 1, 0, VK_F7));
  EXPECT_FALSE(p.RegisterHotKey(a, 1, 0, VK_F12));  // id in use on that window
  EXPECT_FALSE(p.RegisterHotKey(b, 1, 0, VK_F7));   // key owned by another window
  EXPECT_FALSE(p.RegisterHotKey(b, 2, 0, 0));       // no key
  EXPECT_FALSE(p.RegisterHotKey(b, 2, 0, VK_PAUSE));  // taken by another program
  EXPECT_TRUE(p.RegisterHotKey(b, 1, 0, VK_F12));   // ids are per window
  EXPECT_TRUE(p.UnregisterHotKey(a, 1));
  EXPECT_FALSE(p.UnregisterHotKey(a, 1));
  EXPECT_TRUE(p.RegisterHotKey(b, 2, 0, VK_F7));  // freed key can be taken by another window
}

TEST(FakePlatformHotKeys, PressPostsHotKeyWithTheIdToTheRegisteredWindow) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::TopLevel);
  std::vector<Event> got;
  p.SetEventHandler([&](const Event& e) { got.push_back(e); });
  EXPECT_FALSE(p.PressHotKey(VK_F7));  // nobody registered it
  ASSERT_TRUE(p.RegisterHotKey(w, 1, 0, VK_F7));
  EXPECT_TRUE(p.PressHotKey(VK_F7));
  EXPECT_FALSE(p.PressHotKey(VK_F7, MOD_CONTROL));  // another combination
  p.ProcessEvents(false);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].window, w);
  EXPECT_EQ(got[0].msg, WM_HOTKEY);
  EXPECT_EQ(got[0].wParam, 1u);
  EXPECT_EQ(got[0].lParam, static_cast<LPARAM>(VK_F7) << 16);
  // Destroying the window frees its keys.
  p.DestroyWindow(w);
  EXPECT_FALSE(p.PressHotKey(VK_F7));
}

TEST(FakePlatformScreen, GrabCopiesTheScreenBlackOutsideAndIsObserved) {
  FakePlatform p;
  PixelBuffer screen;
  screen.width = 4;
  screen.height = 3;
  for (int i = 0; i < 12; ++i) screen.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i));
  p.SetScreenImage(screen);
  EXPECT_EQ(p.PrimaryScreenSize(), (Size{4, 3}));

  HWND overlay = p.CreateWindow(WindowKind::TopLevel);
  p.ShowWindow(overlay, ShowMode::Normal);
  bool overlayVisibleAtGrab = true;
  p.SetGrabObserver([&](const Rect&) { overlayVisibleAtGrab = p.IsWindowVisible(overlay); });
  p.ShowWindow(overlay, ShowMode::Hide);

  PixelBuffer g = p.GrabScreen({2, 1, 6, 3});  // runs past the right edge
  EXPECT_FALSE(overlayVisibleAtGrab);
  ASSERT_EQ(g.width, 4);
  ASSERT_EQ(g.height, 2);
  EXPECT_EQ(g.At(0, 0), 0xFF000006u);
  EXPECT_EQ(g.At(1, 1), 0xFF00000Bu);
  EXPECT_EQ(g.At(2, 0), 0xFF000000u);  // off-screen: black
  EXPECT_EQ(p.GrabCount(), 1);
  EXPECT_EQ(p.GrabRects()[0], (Rect{2, 1, 6, 3}));

  p.CoverPrimaryScreen(overlay);
  EXPECT_EQ(p.WindowGeometry(overlay), (Rect{0, 0, 4, 3}));
}

TEST(FakePlatformWindows, ActivationQueuesDeactivateThenActivate) {
  FakePlatform p;
  Recorder r;
  r.Attach(p);
  HWND a = p.CreateWindow(WindowKind::TopLevel);
  HWND b = p.CreateWindow(WindowKind::TopLevel);
  EXPECT_FALSE(p.ActivateWindow(a));  // hidden windows cannot be activated
  p.ShowWindow(a, ShowMode::Normal);
  p.ShowWindow(b, ShowMode::Normal);
  EXPECT_TRUE(p.ActivateWindow(a));
  EXPECT_TRUE(p.ActivateWindow(b));
  p.ProcessEvents(false);
  EXPECT_EQ(r.seen, (std::vector<std::string>{"activate " + std::to_string(a), "deactivate " + std::to_string(a),
                                              "activate " + std::to_string(b)}));
  p.ShowWindow(b, ShowMode::Hide);
  EXPECT_EQ(p.ActiveWindow(), 0u);
}

TEST(FakePlatformWindows, RecordsAttributesAndPresentedImage) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::TopLevel);
  p.SetWindowTitle(w, "ScreenWindow");
  p.SetWindowLayered(w, 150, TColor{0x808080});
  p.SetWindowStayOnTop(w, true);
  p.SetWindowBorderless(w, true);
  std::uint32_t px[6] = {1, 2, 0, 3, 4, 0};  // 2x2 with a stride of 3 pixels
  p.PresentWindow(w, PixelView{reinterpret_cast<const std::uint8_t*>(px), 2, 2, 12});
  const auto* rec = p.Window(w);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->title, "ScreenWindow");
  EXPECT_EQ(rec->alpha, 150);
  EXPECT_EQ(rec->colorKey, TColor{0x808080});
  EXPECT_TRUE(rec->stayOnTop);
  EXPECT_TRUE(rec->borderless);
  PixelBuffer img = p.LastImage(w);
  EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{1, 2, 3, 4}));
}

TEST(FakePlatformInput, InjectedMouseCarriesHeldButtonsAndMovesTheCursor) {
  FakePlatform p;
  HWND w = p.CreateWindow(WindowKind::TopLevel);
  p.SetWindowGeometry(w, {100, 50, 300, 250});
  p.MouseDown(w, MouseButton::Left, 5, 6, kShift);
  p.MouseMove(w, 7, 8);
  p.MouseUp(w, MouseButton::Left, 7, 8);
  p.DoubleClick(w, MouseButton::Left, 1, 1);
  const auto& q = p.PendingEvents();
  ASSERT_EQ(q.size(), 7u);
  EXPECT_EQ(q[0].shift, kShift | kLeft);
  EXPECT_EQ(q[1].shift, kLeft);
  EXPECT_EQ(q[2].shift, 0);  // the released button is no longer held
  EXPECT_EQ(q[3].kind, EventKind::MouseDown);
  EXPECT_EQ(q[4].kind, EventKind::MouseUp);
  EXPECT_EQ(q[5].kind, EventKind::DoubleClick);
  EXPECT_EQ(q[6].kind, EventKind::MouseUp);
  EXPECT_EQ(p.CursorPos(), (Point{101, 51}));
}

TEST(FakePlatformShell, AutorunSaveDialogAndQueries) {
  FakePlatform p;
  EXPECT_TRUE(p.AutorunOpen(false));
  EXPECT_TRUE(p.AutorunSet("Tovalin", "/opt/tovalin/tovalin"));
  EXPECT_EQ(p.AutorunGet("Tovalin"), std::optional<std::string>("/opt/tovalin/tovalin"));
  p.SetAutorunReachable(false);
  EXPECT_FALSE(p.AutorunOpen(true));
  EXPECT_FALSE(p.AutorunSet("Tovalin", "x"));
  p.SetAutorunReachable(true);
  p.SetAutorunKeyExists(false);
  EXPECT_FALSE(p.AutorunOpen(false));
  EXPECT_TRUE(p.AutorunOpen(true));  // creating the key
  EXPECT_TRUE(p.AutorunDelete("Tovalin"));
  EXPECT_FALSE(p.AutorunDelete("Tovalin"));

  p.QueueSaveDialogAnswer(std::string("/tmp/a.jpg"));
  SaveFileDialogOptions o;
  o.defaultExt = "jpg";
  EXPECT_EQ(p.RunSaveFileDialog(o), std::optional<std::string>("/tmp/a.jpg"));
  EXPECT_EQ(p.RunSaveFileDialog(o), std::nullopt);  // nothing scripted: cancelled
  ASSERT_EQ(p.SaveDialogCalls().size(), 2u);
  EXPECT_EQ(p.SaveDialogCalls()[0].defaultExt, "jpg");

  EXPECT_EQ(p.DoubleClickTimeMs(), 500u);
  EXPECT_FALSE(p.IsKeyDown(VK_SHIFT));
  p.SetKeyDown(VK_SHIFT, true);
  EXPECT_TRUE(p.IsKeyDown(VK_SHIFT));
  p.ClipCursor(Rect{0, 0, 10, 10});
  p.ClipCursor(std::nullopt);
  EXPECT_EQ(p.CursorClipHistory().size(), 2u);
  EXPECT_FALSE(p.CursorClip().has_value());
  EXPECT_TRUE(p.OpenUrl("http://localhost:8080"));
  EXPECT_EQ(p.OpenedUrls(), (std::vector<std::string>{"http://localhost:8080"}));
}
