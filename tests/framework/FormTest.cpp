#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/AppFixture.h"
#include "framework/Exceptions.h"
#include "framework/Form.h"
#include "framework/Screen.h"
#include "framework/Timer.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"

using namespace tv;
using tv::testing::AppFixture;

namespace {

// A form that writes its lifecycle events into a log.
class LogForm : public TForm {
 public:
  explicit LogForm(TComponent* owner, std::vector<std::string>* log = nullptr)
      : TForm(owner), log_(log ? log : &ownLog) {
    inner = new TWinControl(this);  // built in the constructor, before OnCreate
    inner->SetParent(this);
    OnCreate = [this](TObject*) { log_->push_back(std::string("create, child ") + (inner ? "built" : "missing")); };
    OnShow = [this](TObject*) { log_->push_back("show"); };
    OnHide = [this](TObject*) { log_->push_back("hide"); };
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_HOTKEY) hotKeys.push_back(static_cast<int>(m.WParam));
    if (m.Msg == WM_SHOWWINDOW) log_->push_back("WM_SHOWWINDOW " + std::to_string(m.WParam));
    TForm::WndProc(m);
  }
  TWinControl* inner = nullptr;
  std::vector<int> hotKeys;
  std::vector<std::string> ownLog;
  std::vector<std::string>* log_;
};

class FormTest : public AppFixture {};

}  // namespace

TEST_F(FormTest, OnCreateRunsAfterTheConstructorAndTheFirstFormIsMain) {
  LogForm* ref = nullptr;
  auto* f = app->CreateForm<LogForm>(&ref);
  const std::vector<std::string>& log = f->ownLog;
  ASSERT_EQ(ref, f);
  EXPECT_EQ(app->MainForm(), f);
  EXPECT_EQ(log, (std::vector<std::string>{"create, child built"}));
  EXPECT_FALSE(f->HasState(csLoading));
  EXPECT_FALSE(f->Visible());
  auto* second = Create<TForm>(app);
  EXPECT_EQ(app->MainForm(), f);
  EXPECT_EQ(Screen->FormCount(), 2);
  second->Free();
  EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(FormTest, ShowAndHideRaiseOnlyOnARealChangeAndBeforeReturning) {
  std::vector<std::string> log;
  auto* f = Create<LogForm>(app, &log);
  log.clear();
  f->SetVisible(false);  // hidden already: nothing
  EXPECT_TRUE(log.empty());

  f->SetVisible(true);
  EXPECT_EQ(log, (std::vector<std::string>{"show", "WM_SHOWWINDOW 1"}));
  EXPECT_TRUE(fake->IsWindowVisible(f->Handle()));
  EXPECT_TRUE(app->WindowVisible());
  f->SetVisible(true);  // showing already: nothing
  EXPECT_EQ(log.size(), 2u);

  log.clear();
  f->SetVisible(false);  // OnHide has run when SetVisible returns
  EXPECT_EQ(log, (std::vector<std::string>{"hide", "WM_SHOWWINDOW 0"}));
  EXPECT_FALSE(fake->IsWindowVisible(f->Handle()));
  EXPECT_FALSE(app->WindowVisible());
  f->Hide();
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(FormTest, AFormMadeVisibleWhileBuiltShowsAfterOnCreate) {
  std::vector<std::string> log;
  class StoredVisible : public LogForm {
   public:
    StoredVisible(TComponent* o, std::vector<std::string>* l) : LogForm(o, l) { SetVisible(true); }
  };
  auto* f = Create<StoredVisible>(app, &log);
  EXPECT_EQ(log, (std::vector<std::string>{"create, child built", "show", "WM_SHOWWINDOW 1"}));
  EXPECT_TRUE(f->Showing());
  EXPECT_TRUE(fake->IsWindowVisible(f->Handle()));
}

TEST_F(FormTest, ScreenCenterUsesTheSizeSetByOnShow) {
  fake->SetScreenSize({1280, 800});
  auto* f = Create<TForm>(app);
  f->SetBorderStyle(bsNone);
  f->SetPosition(poScreenCenter);
  f->OnShow = [f](TObject*) {
    f->SetWidth(Screen->Width());
    f->SetHeight(Screen->Height());
  };
  f->Show();
  EXPECT_EQ(f->Left(), 0);
  EXPECT_EQ(f->Top(), 0);
  EXPECT_EQ(fake->WindowGeometry(f->Handle()), (platform::Rect{0, 0, 1280, 800}));

  auto* g = Create<TForm>(app);
  g->SetBorderStyle(bsSingle);
  g->SetClientWidth(741);
  g->SetClientHeight(419);
  EXPECT_EQ(g->Width(), 741 + 2 * TForm::kFrameWidth);
  EXPECT_EQ(g->Height(), 419 + 2 * TForm::kFrameWidth + TForm::kCaptionHeight);
  g->SetPosition(poScreenCenter);
  g->Show();
  EXPECT_EQ(g->Left(), (1280 - g->Width()) / 2);
  const platform::Rect client = fake->WindowGeometry(g->Handle());
  EXPECT_EQ(client.Width(), 741);
  EXPECT_EQ(client.left, g->Left() + TForm::kFrameWidth);
  EXPECT_TRUE(fake->Window(g->Handle())->fixedSize);
}

TEST_F(FormTest, LayeredAttributesReachThePlatform) {
  auto* f = Create<TForm>(app);
  f->SetCaption("ScreenWindow");
  EXPECT_EQ(fake->Window(f->Handle())->title, "ScreenWindow");
  f->SetBorderStyle(bsNone);
  f->SetAlphaBlend(true);
  f->SetAlphaBlendValue(150);
  f->SetTransparentColor(true);
  f->SetTransparentColorValue(clGray);
  f->SetFormStyle(fsStayOnTop);
  const auto* w = fake->Window(f->Handle());
  EXPECT_EQ(w->alpha, 150);
  EXPECT_EQ(w->colorKey, TColor{0x808080});
  EXPECT_TRUE(w->stayOnTop);
  EXPECT_TRUE(w->borderless);
  f->SetAlphaBlend(false);
  EXPECT_EQ(fake->Window(f->Handle())->alpha, 255);
}

TEST_F(FormTest, HotKeyReachesTheRegisteredFormsWndProc) {
  auto* f = app->CreateForm<LogForm>();
  ASSERT_TRUE(fake->RegisterHotKey(f->Handle(), 1, 0, VK_F7));
  EXPECT_TRUE(fake->PressHotKey(VK_F7));
  app->ProcessMessages();
  EXPECT_EQ(f->hotKeys, (std::vector<int>{1}));
}

TEST_F(FormTest, ModalLoopHandlesPostedMessagesAndTimerTicksWhileOpen) {
  auto* main = app->CreateForm<LogForm>();
  main->Show();
  auto* dialog = Create<TForm>(app);
  auto* timer = new TTimer(main);
  timer->SetInterval(100);
  int ticks = 0;
  timer->SetOnTimer([&](TObject*) {
    ++ticks;
    if (ticks == 2) dialog->SetModalResult(mrOk);
  });
  ASSERT_TRUE(fake->RegisterHotKey(main->Handle(), 1, 0, VK_F7));
  bool mainDisabledDuringModal = false;
  dialog->OnShow = [&](TObject*) {
    fake->PressHotKey(VK_F7);
    PostMessage(main->Handle(), WM_USER + 5, 0, 0);
    mainDisabledDuringModal = !main->Enabled();
    fake->Click(main->Handle(), platform::MouseButton::Left, 10, 10);  // dropped: main is disabled
  };
  int clicks = 0;
  main->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(main->hotKeys, (std::vector<int>{1}));
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(fake->NowMs(), 200u);
  EXPECT_TRUE(mainDisabledDuringModal);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(main->Enabled());
  EXPECT_FALSE(dialog->Visible());
  // A visible form cannot be made modal.
  main->Show();
  EXPECT_THROW(main->ShowModal(), EInvalidOperation);
}

TEST_F(FormTest, ClosingAModalFormGivesCancelAndOnCloseCanRefuse) {
  auto* dialog = Create<TForm>(app);
  int closes = 0;
  dialog->OnClose = [&](TObject*, TCloseAction& a) {
    if (++closes == 1) a = caNone;  // the first attempt is refused
  };
  fake->SetIdleHook([&] {
    dialog->Close();
    return true;
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(closes, 2);
}

TEST_F(FormTest, CloseQueryAndCloseActions) {
  auto* main = app->CreateForm<TForm>();
  auto* other = Create<TForm>(app);
  other->Show();
  ComponentGuard otherAlive(other);
  other->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
  other->Close();
  EXPECT_TRUE(otherAlive);  // released, not yet freed
  app->ProcessMessages();
  EXPECT_FALSE(otherAlive);

  main->Show();
  bool allow = false;
  main->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
  fake->CloseRequest(main->Handle());
  app->ProcessMessages();
  EXPECT_FALSE(app->Terminated());
  allow = true;
  fake->CloseRequest(main->Handle());
  app->ProcessMessages();
  EXPECT_TRUE(app->Terminated());  // the main form closing ends the application
}

TEST_F(FormTest, ExceptionInAHandlerIsShownAndTheLoopGoesOn) {
  auto* f = app->CreateForm<TForm>();
  f->Show();
  int clicks = 0;
  f->OnClick = [&](TObject*) {
    if (++clicks == 1) throw EIniFileException("Unable to write to /opt/tovalin/Settings.ini");
    if (clicks == 2) throw EAbort();
  };
  fake->Click(f->Handle(), platform::MouseButton::Left, 5, 5);
  fake->Click(f->Handle(), platform::MouseButton::Left, 5, 5);
  fake->Click(f->Handle(), platform::MouseButton::Left, 5, 5);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 3);
  // As the VCL's box: the full stop is added; EAbort is silent.
  EXPECT_EQ(errors, (std::vector<std::string>{"Unable to write to /opt/tovalin/Settings.ini."}));

  std::vector<std::string> seen;
  app->OnException = [&](TObject*, const std::exception& e) { seen.push_back(e.what()); };
  f->OnClick = [](TObject*) { throw std::runtime_error("boom!"); };
  fake->Click(f->Handle(), platform::MouseButton::Left, 5, 5);
  app->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<std::string>{"boom!"}));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FormTest, RunShowsTheMainFormAndStopsOnTerminate) {
  auto* f = app->CreateForm<TForm>();
  auto* timer = new TTimer(f);
  timer->SetInterval(500);
  bool shownWhenTicked = false;
  timer->SetOnTimer([&](TObject*) {
    shownWhenTicked = f->Showing();
    timer->SetEnabled(false);
    app->Terminate();
  });
  app->Run();
  EXPECT_TRUE(shownWhenTicked);
  EXPECT_EQ(fake->NowMs(), 500u);
}

TEST_F(FormTest, ReentrantProcessMessagesHandlesTheNextMessageOnce) {
  auto* f = app->CreateForm<TForm>();
  std::vector<std::string> log;
  f->SetWindowProc([&, f](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      log.push_back("first begins");
      app->ProcessMessages();  // the second message is handled inside the first
      log.push_back("first ends");
      return;
    }
    if (m.Msg == WM_USER + 2) {
      log.push_back("second");
      return;
    }
    f->WndProc(m);
  });
  PostMessage(f->Handle(), WM_USER + 1, 0, 0);
  PostMessage(f->Handle(), WM_USER + 2, 0, 0);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"first begins", "second", "first ends"}));
}

TEST_F(FormTest, ApplicationHookSeesMinimizeOfTheMainForm) {
  auto* f = app->CreateForm<LogForm>();
  std::vector<std::string>& log = f->ownLog;
  f->Show();
  std::vector<std::pair<UINT, WPARAM>> hooked;
  const int id = app->HookMainWindow([&](TMessage& m) {
    hooked.emplace_back(m.Msg, m.WParam);
    if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED) f->SetVisible(false);  // what a tray would do
    return false;
  });
  log.clear();
  fake->Minimize(f->Handle());
  app->ProcessMessages();
  ASSERT_FALSE(hooked.empty());
  EXPECT_EQ(hooked[0], (std::pair<UINT, WPARAM>{WM_SIZE, SIZE_MINIMIZED}));
  EXPECT_TRUE(app->WindowMinimized());
  EXPECT_TRUE(IsIconic(app->Handle()));
  EXPECT_EQ(log.back(), "WM_SHOWWINDOW 0");
  EXPECT_EQ(log.front(), "WM_SHOWWINDOW 0");  // SW_PARENTCLOSING first, then the hide
  EXPECT_NE(std::find(log.begin(), log.end(), "hide"), log.end());

  // Restoring goes through the hook too, as SC_RESTORE.
  hooked.clear();
  app->Restore();
  ASSERT_FALSE(hooked.empty());
  EXPECT_EQ(hooked[0], (std::pair<UINT, WPARAM>{WM_SYSCOMMAND, SC_RESTORE}));
  EXPECT_FALSE(app->WindowMinimized());
  app->UnhookMainWindow(id);
  hooked.clear();
  SendMessage(app->Handle(), WM_USER, 0, 0);
  EXPECT_TRUE(hooked.empty());
}

TEST_F(FormTest, ApplicationWindowVisibilityIsAFlag) {
  auto* f = app->CreateForm<TForm>();
  f->Show();
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  ShowWindow(app->Handle(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
  EXPECT_TRUE(f->Showing());
}

TEST_F(FormTest, OwnerWindowInterceptionSeesShowAndMinimizeAndCanConsumeThem) {
  auto* f = app->CreateForm<TForm>();
  std::vector<std::string> log;
  TWndMethod saved = SetWindowProc(f->Handle(), [&](TMessage& m) {
    if (m.Msg == WM_SHOWWINDOW) log.push_back("show " + std::to_string(m.WParam) + "," + std::to_string(m.LParam));
    if (m.Msg == WM_SYSCOMMAND && m.WParam == SC_MINIMIZE) {
      log.push_back("minimize consumed");
      m.Result = 1;
      return;
    }
    m.Result = CallWindowProc(saved, f->Handle(), m.Msg, m.WParam, m.LParam);
  });
  ASSERT_TRUE(saved);
  // Show and hide are sent through the window's procedure.
  f->Show();
  f->Hide();
  f->Show();
  fake->Minimize(f->Handle());
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"show 1,0", "show 0,0", "show 1,0", "minimize consumed"}));
  EXPECT_FALSE(app->WindowMinimized());
  // Putting the old procedure back ends the interception.
  SetWindowProc(f->Handle(), saved);
  log.clear();
  f->Hide();
  EXPECT_TRUE(log.empty());
}

TEST_F(FormTest, PaintingIsCoalescedAndPresentedBeforeTheLoopWaits) {
  class Box : public TControl {
   public:
    using TControl::TControl;
    void Paint(TCanvas& c) override {
      ++paints;
      c.Brush().SetColor(clRed);
      c.FillRect(ClientRect());
    }
    int paints = 0;
  };
  auto* f = app->CreateForm<TForm>();
  f->SetBorderStyle(bsNone);
  f->SetClientWidth(40);
  f->SetClientHeight(30);
  f->SetColor(clSilver);
  auto* panel = new TWinControl(f);
  panel->SetParent(f);
  panel->SetBounds(10, 10, 20, 15);
  panel->SetColor(clWhite);
  auto* box = new Box(f);
  box->SetParent(panel);
  box->SetBounds(5, 5, 100, 100);  // clipped by the panel
  f->Show();
  const int presentsBefore = fake->Window(f->Handle())->presentCount;
  box->Invalidate();
  panel->Invalidate();
  f->Invalidate();
  EXPECT_EQ(box->paints, 0);  // nothing paints inside a handler
  app->ProcessMessages();
  EXPECT_EQ(box->paints, 1);
  EXPECT_EQ(fake->Window(f->Handle())->presentCount, presentsBefore + 1);
  EXPECT_EQ(PresentedPixel(f->Handle(), 2, 2), clSilver);
  EXPECT_EQ(PresentedPixel(f->Handle(), 11, 11), clWhite);
  EXPECT_EQ(PresentedPixel(f->Handle(), 15, 15), clRed);
  EXPECT_EQ(PresentedPixel(f->Handle(), 29, 24), clRed);
  EXPECT_EQ(PresentedPixel(f->Handle(), 30, 25), clSilver);  // outside the panel

  // Drawing on the form's canvas in a handler is presented too, without a repaint.
  f->Canvas().Brush().SetColor(clWhite);
  f->Canvas().FillRect(Bounds(0, 0, 5, 5));
  app->ProcessMessages();
  EXPECT_EQ(box->paints, 1);
  EXPECT_EQ(PresentedPixel(f->Handle(), 1, 1), clWhite);
  // Repaint paints at once.
  box->Repaint();
  EXPECT_EQ(box->paints, 2);
}

TEST_F(FormTest, ActivationRaisesOnActivateOnceAndFocusesTheFirstTabStop) {
  auto* f = app->CreateForm<TForm>();
  auto* a = new TWinControl(f);
  a->SetParent(f);
  a->SetTabStop(true);
  int activations = 0, deactivations = 0, enters = 0;
  f->OnActivate = [&](TObject*) { ++activations; };
  f->OnDeactivate = [&](TObject*) { ++deactivations; };
  a->OnEnter = [&](TObject*) { ++enters; };
  f->Show();  // showing activates it
  app->ProcessMessages();
  fake->Activate(f->Handle());  // already active: nothing new
  app->ProcessMessages();
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(enters, 1);
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(Screen->ActiveForm(), f);
  auto* g = Create<TForm>(app);
  g->Show();
  app->ProcessMessages();
  EXPECT_EQ(deactivations, 1);
  EXPECT_TRUE(g->Active());
}

TEST_F(FormTest, AWindowManagerResizeReachesTheFormAndItsBuffer) {
  auto* f = app->CreateForm<TForm>();
  f->SetBorderStyle(bsSizeable);
  f->SetClientWidth(100);
  f->SetClientHeight(50);
  f->Show();
  std::vector<std::string> log;
  f->OnResize = [&](TObject*) { log.push_back(std::to_string(f->ClientWidth()) + "x" + std::to_string(f->ClientHeight())); };
  fake->Resize(f->Handle(), {300, 200});
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"300x200"}));
  EXPECT_EQ(f->BackBuffer().Width(), 300);
  EXPECT_EQ(fake->LastImage(f->Handle()).width, 300);
  // The same size again changes nothing.
  fake->Resize(f->Handle(), {300, 200});
  app->ProcessMessages();
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(FormTest, HideToTrayAndBackThroughTheApplicationWindow) {
  // What the tray component does: the hook hides the main form when the application minimises, and
  // showing it again restores the application first.
  auto* f = app->CreateForm<LogForm>();
  std::vector<std::string>& log = f->ownLog;
  f->Show();
  app->ProcessMessages();
  app->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED) {
      f->SetVisible(false);
      if (IsWindowVisible(app->Handle())) ShowWindow(app->Handle(), SW_HIDE);
    }
    if (m.Msg == WM_SYSCOMMAND && m.WParam == SC_RESTORE) {
      if (f->WindowState() == wsMinimized) f->SetWindowState(wsNormal);
      f->SetVisible(true);
    }
    return false;
  });
  log.clear();
  fake->Minimize(f->Handle());
  app->ProcessMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "hide"), 1);
  EXPECT_FALSE(fake->IsWindowVisible(f->Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Handle()));

  log.clear();
  app->Restore();  // ShowMainForm's first step
  f->SetVisible(true);
  SetForegroundWindow(app->Handle());
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"show", "WM_SHOWWINDOW 1"}));
  EXPECT_TRUE(fake->IsWindowVisible(f->Handle()));
  EXPECT_FALSE(fake->IsWindowMinimized(f->Handle()));
  EXPECT_EQ(fake->ActiveWindow(), f->Handle());
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  EXPECT_FALSE(app->WindowMinimized());
}

TEST_F(FormTest, ErrorsInOnCreateAndOnDestroyAreShownAndTheFormStillWorks) {
  class Faulty : public TForm {
   public:
    explicit Faulty(TComponent* o) : TForm(o) {
      OnCreate = [](TObject*) { throw Exception("Unable to write to /x/Settings.ini"); };
      OnDestroy = [](TObject*) { throw Exception("gone"); };
      SetVisible(true);
    }
  };
  auto* f = app->CreateForm<Faulty>();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(app->MainForm(), f);
  EXPECT_TRUE(f->Showing());  // creation went on
  f->Free();
  EXPECT_EQ(errors, (std::vector<std::string>{"Unable to write to /x/Settings.ini.", "gone."}));
}
