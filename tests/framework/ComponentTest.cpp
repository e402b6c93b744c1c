#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/AppFixture.h"
#include "framework/Clipboard.h"
#include "framework/Component.h"
#include "framework/Exceptions.h"
#include "framework/MessageWindow.h"
#include "framework/Screen.h"
#include "framework/Timer.h"

using namespace tv;
using tv::testing::AppFixture;

namespace {

class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>* log) : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Probe() override { log_->push_back("destroy " + Name()); }
  TComponent* ref = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == ref) {
      log_->push_back(Name() + " lost " + c->Name());
      ref = nullptr;
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    log_->push_back("loaded " + Name());
  }

 private:
  std::vector<std::string>* log_;
};

}  // namespace

TEST(Component, OwnedComponentsDieLastFirstAndReferencesAreCleared) {
  std::vector<std::string> log;
  auto* root = new Probe(nullptr, "root", &log);
  auto* a = new Probe(root, "a", &log);
  auto* b = new Probe(root, "b", &log);
  auto* c = new Probe(root, "c", &log);
  a->ref = c;  // a sibling reference
  auto* outsider = new Probe(nullptr, "outsider", &log);
  outsider->ref = b;
  outsider->FreeNotification(b);
  EXPECT_EQ(root->ComponentCount(), 3);
  EXPECT_EQ(root->FindComponent("B"), b);
  EXPECT_THROW(c->SetName("a"), EComponentError);

  root->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"a lost c", "destroy c", "outsider lost b", "destroy b", "destroy a",
                                           "destroy root"}));
  EXPECT_EQ(outsider->ref, nullptr);

  // A plain delete destroys the same objects (the owner's own destructor runs first).
  log.clear();
  auto* other = new Probe(nullptr, "other", &log);
  new Probe(other, "x", &log);
  auto* y = new Probe(other, "y", &log);
  outsider->ref = y;
  outsider->FreeNotification(y);
  delete other;
  EXPECT_EQ(log, (std::vector<std::string>{"destroy other", "outsider lost y", "destroy y", "destroy x"}));
  EXPECT_EQ(outsider->ref, nullptr);
  delete outsider;
}

TEST(Component, DestroyingOneTellsTheOwnersOtherComponents) {
  std::vector<std::string> log;
  Probe root(nullptr, "root", &log);
  auto* menu = new Probe(&root, "menu", &log);
  auto* tray = new Probe(&root, "tray", &log);
  tray->ref = menu;
  menu->Free();
  EXPECT_EQ(tray->ref, nullptr);
  EXPECT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"tray lost menu", "destroy menu"}));
}

TEST(Component, LoadingEndsWithLoadedOwnerFirst) {
  std::vector<std::string> log;
  Probe root(nullptr, "root", &log);
  root.BeginLoading();
  auto* a = new Probe(&root, "a", &log);
  auto* b = new Probe(a, "b", &log);
  EXPECT_TRUE(b->HasState(csLoading));  // made while its owner loads
  root.EndLoading();
  EXPECT_FALSE(b->HasState(csLoading));
  EXPECT_EQ(log, (std::vector<std::string>{"loaded root", "loaded a", "loaded b"}));
}

TEST(Component, CreateDestroysWhatFailsToComplete) {
  struct Failing : TComponent {
    explicit Failing(bool* destroyed) : TComponent(nullptr), destroyed_(destroyed) {}
    ~Failing() override { *destroyed_ = true; }
    void AfterConstruction() override { throw Exception("no"); }
    bool* destroyed_;
  };
  bool destroyed = false;
  EXPECT_THROW(Create<Failing>(&destroyed), Exception);
  EXPECT_TRUE(destroyed);
}

class TimerTest : public AppFixture {};

TEST_F(TimerTest, TicksWhileEnabledWithAHandlerAndRestartsOnChange) {
  TTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_FALSE(fake->HasTimer(timer.Handle(), 1));  // no handler yet
  std::vector<std::uint64_t> ticks;
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ticks.push_back(fake->NowMs());
  });
  timer.SetInterval(500);
  fake->AdvanceClock(500);
  app->ProcessMessages();
  fake->AdvanceClock(500);
  app->ProcessMessages();
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{500, 1000}));
  // Ticks that fall due while the loop is busy do not pile up.
  fake->AdvanceClock(1500);
  app->ProcessMessages();
  EXPECT_EQ(ticks.size(), 3u);
  ticks.pop_back();
  timer.SetInterval(1000);
  timer.SetInterval(500);  // restarts: the next tick is 500 ms from here (2500)

  fake->AdvanceClock(300);
  timer.SetInterval(400);  // a new period from now
  fake->AdvanceClock(300);
  app->ProcessMessages();
  EXPECT_EQ(ticks.size(), 2u);
  fake->AdvanceClock(100);
  app->ProcessMessages();
  EXPECT_EQ(ticks.back(), 3200u);

  timer.SetEnabled(false);
  fake->AdvanceClock(5000);
  app->ProcessMessages();
  EXPECT_EQ(ticks.size(), 3u);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_FALSE(fake->HasTimer(timer.Handle(), 1));
}

TEST_F(TimerTest, AHandlerCanStopOrDestroyItsTimerAndErrorsAreShown) {
  auto* once = new TTimer(nullptr);
  once->SetInterval(500);
  int onceTicks = 0;
  once->SetOnTimer([&](TObject*) {
    ++onceTicks;
    once->SetEnabled(false);
  });
  auto* selfDestroying = new TTimer(nullptr);
  selfDestroying->SetInterval(100);
  ComponentGuard alive(selfDestroying);
  selfDestroying->SetOnTimer([selfDestroying](TObject*) { delete selfDestroying; });
  TTimer failing(nullptr);
  failing.SetInterval(250);
  int failures = 0;
  failing.SetOnTimer([&](TObject*) {
    ++failures;
    throw Exception("tick failed");
  });
  for (int i = 0; i < 22; ++i) {  // 2200 ms in steps of 100
    fake->AdvanceClock(100);
    app->ProcessMessages();
  }
  EXPECT_EQ(onceTicks, 1);
  EXPECT_FALSE(alive);
  EXPECT_EQ(failures, 8);  // the timer goes on after an error
  EXPECT_EQ(errors.size(), 8u);
  EXPECT_EQ(errors[0], "tick failed.");
  delete once;
}

class MessageWindowTest : public AppFixture {};

TEST_F(MessageWindowTest, SentMessagesRunAtOncePostedOnesInTheLoopAndDeadWindowsGetNothing) {
  std::vector<std::string> log;
  HWND w = AllocateHWnd([&](TMessage& m) {
    log.push_back(std::to_string(m.Msg) + ":" + std::to_string(m.WParam));
    m.Result = 42;
  });
  ASSERT_NE(w, 0u);
  EXPECT_FALSE(fake->Window(w) == nullptr);
  EXPECT_EQ(fake->Window(w)->kind, platform::WindowKind::MessageOnly);
  EXPECT_EQ(SendMessage(w, WM_USER, 1, 0), 42);
  EXPECT_TRUE(PostMessage(w, WM_USER, 2, 0));
  EXPECT_EQ(log.size(), 1u);
  fake->SetTimer(w, 9, 20);
  fake->AdvanceClock(20);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"1024:1", "1024:2", "275:9"}));
  PostMessage(w, WM_USER, 3, 0);
  DeallocateHWnd(w);
  app->ProcessMessages();
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(SendMessage(w, WM_USER, 4, 0), 0);
  EXPECT_FALSE(PostMessage(w, WM_USER, 5, 0));
}

TEST_F(MessageWindowTest, ReplacedProcedurePassesOnToThePreviousOne) {
  std::vector<std::string> log;
  HWND w = AllocateHWnd([&](TMessage& m) {
    log.push_back("original " + std::to_string(m.Msg));
    m.Result = 7;
  });
  TWndMethod old;
  old = SetWindowProc(w, [&](TMessage& m) {
    log.push_back("hook " + std::to_string(m.Msg));
    if (m.Msg == WM_CLOSE) {
      m.Result = 1;  // consumed
      return;
    }
    m.Result = CallWindowProc(old, w, m.Msg, m.WParam, m.LParam);
  });
  EXPECT_EQ(SendMessage(w, WM_USER), 7);
  EXPECT_EQ(SendMessage(w, WM_CLOSE), 1);
  // The procedure may take itself out while it runs.
  SetWindowProc(w, [&](TMessage& m) {
    SetWindowProc(w, old);
    log.push_back("once");
    m.Result = CallWindowProc(old, w, m.Msg, m.WParam, m.LParam);
  });
  SendMessage(w, WM_USER);
  SendMessage(w, WM_USER);
  EXPECT_EQ(log, (std::vector<std::string>{"hook 1024", "original 1024", "hook 16", "once", "original 1024",
                                           "original 1024"}));
  DeallocateHWnd(w);
}

TEST_F(MessageWindowTest, ScreenAndClipboardUseThePlatform) {
  fake->SetScreenSize({1920, 1080});
  EXPECT_EQ(Screen->Width(), 1920);
  EXPECT_EQ(Screen->Height(), 1080);
  Clipboard()->SetAsText("http://localhost:8080/index2.html?file=a.jpg&path=1");
  EXPECT_EQ(fake->ClipboardText(), "http://localhost:8080/index2.html?file=a.jpg&path=1");
  EXPECT_EQ(Clipboard()->AsText(), fake->ClipboardText());
}

TEST(RegisteredMessages, OneNumberPerNameInTheRegisteredRange) {
  const UINT a = RegisterWindowMessage("TaskbarCreated");
  const UINT b = RegisterWindowMessage("Tovalin.Other");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_NE(a, b);
  EXPECT_EQ(RegisterWindowMessage("TaskbarCreated"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}
