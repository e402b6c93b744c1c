#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/AppFixture.h"
#include "framework/Exceptions.h"
#include "framework/Form.h"
#include "framework/Screen.h"

using namespace tv;
using tv::testing::AppFixture;
using platform::MouseButton;

namespace {

// Logs the mouse events of a control as "<name> <event> x,y".
void LogMouse(TControl* c, const std::string& name, std::vector<std::string>& log) {
  c->OnMouseDown = [&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(name + " down " + std::to_string(x) + "," + std::to_string(y) + (b == mbRight ? " right" : "") +
                  ((s & ssDouble) ? " double" : ""));
  };
  c->OnMouseMove = [&log, name](TObject*, TShiftState, int x, int y) {
    log.push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnMouseUp = [&log, name](TObject*, TMouseButton, TShiftState, int x, int y) {
    log.push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnClick = [&log, name](TObject*) { log.push_back(name + " click"); };
  c->OnDblClick = [&log, name](TObject*) { log.push_back(name + " dblclick"); };
}

class ControlTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetClientWidth(200);
    form->SetClientHeight(100);
    form->Show();
    app->ProcessMessages();
  }
  HWND h() const { return form->Handle(); }
  TForm* form = nullptr;
};

}  // namespace

TEST_F(ControlTest, ClickComesBeforeTheReleaseEvent) {
  std::vector<std::string> log;
  LogMouse(form, "form", log);
  fake->Click(h(), MouseButton::Left, 20, 30);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form down 20,30", "form click", "form up 20,30"}));

  // A release outside the control raises no click; the right button never clicks.
  log.clear();
  fake->MouseDown(h(), MouseButton::Left, 20, 30);
  fake->MouseUp(h(), MouseButton::Left, 250, 30);
  fake->Click(h(), MouseButton::Right, 1, 1);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form down 20,30", "form up 250,30", "form down 1,1 right", "form up 1,1"}));

  // Double-click: click, then DblClick with a down flagged double, and no second click.
  log.clear();
  fake->DoubleClick(h(), MouseButton::Left, 3, 4);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form down 3,4", "form click", "form up 3,4", "form dblclick",
                                           "form down 3,4 double", "form up 3,4"}));
}

TEST_F(ControlTest, NestedControlsAreHitInTheirOwnCoordinates) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  panel->SetBounds(50, 20, 100, 60);
  auto* inner = new TControl(form);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 30, 20);
  auto* hidden = new TControl(form);
  hidden->SetParent(panel);
  hidden->SetBounds(0, 0, 100, 60);
  hidden->SetVisible(false);  // topmost but invisible: not hit
  auto* disabled = new TControl(form);
  disabled->SetParent(panel);
  disabled->SetBounds(60, 0, 40, 60);
  disabled->SetEnabled(false);  // the parent gets its clicks

  EXPECT_EQ(form->ControlAtPos({65, 35}, false, true, true), inner);
  EXPECT_EQ(form->ControlAtPos({65, 35}), panel);
  EXPECT_EQ(form->ControlAtPos({115, 25}, false, true, true), panel);
  EXPECT_EQ(form->ControlAtPos({115, 25}, true, true, true), disabled);
  EXPECT_EQ(form->ControlAtPos({5, 5}, false, true, true), nullptr);

  std::vector<std::string> log;
  LogMouse(inner, "inner", log);
  LogMouse(panel, "panel", log);
  fake->Click(h(), MouseButton::Left, 65, 35);
  fake->Click(h(), MouseButton::Left, 115, 25);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"inner down 5,5", "inner click", "inner up 5,5", "panel down 65,5",
                                           "panel click", "panel up 65,5"}));
  EXPECT_EQ(inner->ClientToScreen({0, 0}), (TPoint{60, 30}));
  EXPECT_EQ(inner->ScreenToClient({61, 31}), (TPoint{1, 1}));
}

TEST_F(ControlTest, ADragThatLeavesTheControlStillReachesIt) {
  auto* c = new TControl(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 20, 20);
  std::vector<std::string> log;
  LogMouse(c, "c", log);
  std::vector<std::string> formLog;
  LogMouse(form, "form", formLog);
  fake->MouseDown(h(), MouseButton::Left, 15, 15);
  fake->MouseMove(h(), 100, 90);  // outside the control, over the form
  fake->MouseMove(h(), -5, 300);  // outside the window
  fake->MouseUp(h(), MouseButton::Left, 100, 90);
  fake->MouseMove(h(), 100, 90);  // the capture is over
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"c down 5,5", "c move 90,80", "c move -15,290", "c up 90,80"}));
  EXPECT_EQ(formLog, (std::vector<std::string>{"form move 100,90"}));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(fake->CaptureWindow(), 0u);
}

TEST_F(ControlTest, CaptureOnTheFormKeepsMovesOnTheForm) {
  auto* c = new TControl(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 20, 20);
  std::vector<std::string> log;
  LogMouse(form, "form", log);
  LogMouse(c, "c", log);
  fake->MouseDown(h(), MouseButton::Left, 100, 50);
  EXPECT_EQ(fake->PendingEventCount(), 1u);
  app->ProcessMessages();
  EXPECT_EQ(fake->CaptureWindow(), h());
  fake->MouseMove(h(), 15, 15);  // over the child, but the form holds the mouse
  fake->MouseUp(h(), MouseButton::Left, 15, 15);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"form down 100,50", "form move 15,15", "form click", "form up 15,15"}));
}

TEST_F(ControlTest, AHandlerMayDestroyItsSender) {
  auto* c = new TControl(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 20, 20);
  ComponentGuard alive(c);
  int ups = 0;
  c->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
  c->OnClick = [&, c](TObject* sender) {
    EXPECT_EQ(sender, c);
    delete c;  // destroyed in its own click: the release event must not run on it
  };
  fake->Click(h(), MouseButton::Left, 15, 15);
  fake->Click(h(), MouseButton::Left, 15, 15);  // now reaches the form
  int formClicks = 0;
  form->OnClick = [&](TObject*) { ++formClicks; };
  app->ProcessMessages();
  EXPECT_FALSE(alive);
  EXPECT_EQ(ups, 0);
  EXPECT_EQ(formClicks, 1);
  EXPECT_EQ(form->ControlCount(), 0);

  // A form that frees itself from a mouse-down handler.
  auto* other = Create<TForm>(app);
  other->Show();
  ComponentGuard otherAlive(other);
  other->OnMouseDown = [other](TObject*, TMouseButton, TShiftState, int, int) { other->Free(); };
  fake->Click(other->Handle(), MouseButton::Left, 1, 1);
  app->ProcessMessages();
  EXPECT_FALSE(otherAlive);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ControlTest, MouseEnterAndLeaveFollowThePointer) {
  auto* a = new TControl(form);
  a->SetParent(form);
  a->SetBounds(0, 0, 50, 50);
  a->SetCursor(crHandPoint);
  std::vector<std::string> log;
  a->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  a->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
  fake->MouseMove(h(), 10, 10);
  fake->MouseMove(h(), 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(fake->Window(h())->cursor, platform::Cursor::Hand);
  fake->MouseMove(h(), 100, 10);
  fake->MouseMove(h(), 10, 10);
  fake->MouseLeave(h());
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
  EXPECT_EQ(fake->Window(h())->cursor, platform::Cursor::Hand);  // unchanged until the next move
  fake->MouseMove(h(), 100, 10);
  app->ProcessMessages();
  EXPECT_EQ(fake->Window(h())->cursor, platform::Cursor::Default);
}

TEST_F(ControlTest, WheelGoesToTheControlUnderThePointerThenUpItsParents) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 100, 100);
  auto* image = new TControl(form);
  image->SetParent(panel);
  image->SetBounds(0, 0, 50, 50);
  std::vector<std::string> log;
  panel->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint p, bool& handled) {
    log.push_back("down at " + std::to_string(p.X) + "," + std::to_string(p.Y));
    handled = true;
  };
  panel->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("up");
    handled = true;
  };
  fake->SetWindowGeometry(h(), {100, 200, 300, 300});
  fake->Wheel(h(), -240, 10, 10);  // two notches away from the image
  fake->Wheel(h(), 120, 10, 10);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"down at 110,210", "down at 110,210", "up"}));
}

TEST_F(ControlTest, AlignAndAnchorsLayOutAFixedWindow) {
  form->SetClientWidth(741);
  form->SetClientHeight(419);
  auto* toolbar = new TWinControl(form);
  toolbar->SetParent(form);
  toolbar->SetHeight(29);
  toolbar->SetAlign(alTop);
  auto* scroll = new TWinControl(form);
  scroll->SetParent(form);
  scroll->SetAlign(alClient);
  auto* corner = new TWinControl(form);
  corner->SetParent(form);
  corner->SetBounds(713, 29, 28, 29);
  corner->SetAnchors(akTop | akRight);
  EXPECT_EQ(toolbar->BoundsRect(), (TRect{0, 0, 741, 29}));
  EXPECT_EQ(scroll->BoundsRect(), (TRect{0, 29, 741, 419}));
  form->SetClientWidth(841);
  EXPECT_EQ(toolbar->Width(), 841);
  EXPECT_EQ(scroll->BoundsRect(), (TRect{0, 29, 841, 419}));
  EXPECT_EQ(corner->BoundsRect(), (TRect{813, 29, 841, 58}));
  toolbar->SetVisible(false);
  EXPECT_EQ(scroll->Top(), 0);
}

TEST_F(ControlTest, AnchorsOfControlsBuiltInTheConstructorFollowTheFinalSize) {
  class Built : public TForm {
   public:
    explicit Built(TComponent* o) : TForm(o) {
      corner = new TWinControl(this);
      corner->SetParent(this);
      corner->SetBounds(713, 29, 28, 29);  // placed before the form has its size
      corner->SetAnchors(akTop | akRight);
      SetBorderStyle(bsSingle);
      SetClientWidth(741);
      SetClientHeight(419);
    }
    TWinControl* corner;
  };
  auto* f = Create<Built>(app);
  EXPECT_EQ(f->corner->Left(), 713);
  f->SetClientWidth(800);
  EXPECT_EQ(f->corner->Left(), 772);
}

TEST_F(ControlTest, FocusTabOrderAndKeys) {
  auto* a = new TWinControl(form);
  auto* b = new TWinControl(form);
  auto* c = new TWinControl(form);
  for (auto* w : {a, b, c}) {
    w->SetParent(form);
    w->SetTabStop(true);
  }
  c->SetTabOrder(0);  // c, a, b
  std::vector<std::string> log;
  a->OnEnter = [&](TObject*) { log.push_back("a enter"); };
  a->OnExit = [&](TObject*) { log.push_back("a exit"); };
  b->OnEnter = [&](TObject*) { log.push_back("b enter"); };
  a->SetFocus();
  log.clear();
  fake->KeyDown(h(), VK_TAB);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"a exit", "b enter"}));
  EXPECT_TRUE(b->Focused());
  fake->KeyDown(h(), VK_TAB);
  app->ProcessMessages();
  EXPECT_TRUE(c->Focused());
  fake->KeyDown(h(), VK_TAB, platform::kShift);
  app->ProcessMessages();
  EXPECT_TRUE(b->Focused());

  // Keys go to the focused control; with KeyPreview the form sees them first and may swallow them.
  std::vector<std::string> keys;
  b->OnKeyDown = [&](TObject*, std::uint16_t& k, TShiftState) { keys.push_back("b " + std::to_string(k)); };
  b->OnKeyPress = [&](TObject*, char32_t& ch) { keys.push_back("b char " + std::to_string(static_cast<int>(ch))); };
  form->OnKeyDown = [&](TObject*, std::uint16_t& k, TShiftState) {
    keys.push_back("form " + std::to_string(k));
    if (k == VK_ESCAPE) k = 0;
  };
  fake->KeyDown(h(), 'A');
  fake->Char(h(), "\xD0\xAF");  // Cyrillic Ya
  app->ProcessMessages();
  form->SetKeyPreview(true);
  fake->KeyDown(h(), 'B');
  fake->KeyDown(h(), VK_ESCAPE);
  app->ProcessMessages();
  EXPECT_EQ(keys, (std::vector<std::string>{"b 65", "b char 1071", "form 66", "b 66", "form 27"}));

  // Keys nobody keeps go round the controls as dialog keys until one answers.
  std::vector<WPARAM> dialogKeys;
  auto* okButton = new TWinControl(form);
  okButton->SetParent(c);
  okButton->SetWindowProc([&, okButton](TMessage& m) {
    if (m.Msg == CM_DIALOGKEY) {
      dialogKeys.push_back(m.WParam);
      m.Result = m.WParam == VK_RETURN ? 1 : 0;
      return;
    }
    okButton->WndProc(m);
  });
  form->SetKeyPreview(false);
  fake->KeyDown(h(), VK_RETURN);
  app->ProcessMessages();
  EXPECT_EQ(dialogKeys, (std::vector<WPARAM>{VK_RETURN}));

  // Hiding the focused control takes the focus away; a hidden control cannot take it.
  b->SetVisible(false);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_FALSE(b->CanFocus());
  EXPECT_ANY_THROW(b->SetFocus());
}

TEST_F(ControlTest, BroadcastReachesWindowedChildrenThroughTheirHandle) {
  auto* plain = new TControl(form);
  plain->SetParent(form);
  auto* windowed = new TWinControl(form);
  windowed->SetParent(form);
  std::vector<std::string> log;
  plain->SetWindowProc([&](TMessage& m) {
    if (m.Msg == 0xA100) log.push_back("plain");
  });
  // Interception at the handle: what a sent message passes through.
  const HWND hw = windowed->Handle();
  TWndMethod saved = SetWindowProc(hw, [&](TMessage& m) {
    if (m.Msg == 0xA100) log.push_back("windowed via handle");
    m.Result = CallWindowProc(saved, hw, m.Msg, m.WParam, m.LParam);
  });
  TMessage m{0xA100, 1, 0, 0};
  form->Broadcast(m);
  EXPECT_EQ(log, (std::vector<std::string>{"plain", "windowed via handle"}));
  EXPECT_EQ(form->ControlCount(), 2);
  EXPECT_EQ(form->Controls(0), plain);  // windowless first
  EXPECT_EQ(form->Controls(1), windowed);
  // Posted to a control's handle, a message arrives through the loop.
  log.clear();
  PostMessage(hw, 0xA100, 0, 0);
  EXPECT_TRUE(log.empty());
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"windowed via handle"}));
  // Messages for a destroyed control are dropped.
  PostMessage(hw, 0xA100, 0, 0);
  delete windowed;
  app->ProcessMessages();
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(SendMessage(hw, 0xA100, 0, 0), 0);
}

TEST_F(ControlTest, ParentFontAndColorFollowTheParent) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  auto* label = new TControl(form);
  label->SetParent(panel);
  label->SetParentColor(true);
  form->Font().SetName("Tahoma");
  EXPECT_EQ(label->Font().Name(), "Tahoma");
  panel->SetColor(clRed);
  EXPECT_EQ(label->Color(), clRed);
  label->Font().SetStyle(fsBold);
  EXPECT_FALSE(label->ParentFont());
  form->Font().SetName("MS Sans Serif");
  EXPECT_EQ(label->Font().Name(), "Tahoma");
}

TEST_F(ControlTest, WindowedChildrenPaintAboveWindowlessOnesAndBringToFrontRestacks) {
  class Fill : public TControl {
   public:
    Fill(TComponent* o, TColor c) : TControl(o), color_(c) {}
    void Paint(TCanvas& canvas) override {
      canvas.Brush().SetColor(color_);
      canvas.FillRect(ClientRect());
    }
    TColor color_;
  };
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 20, 20);
  panel->SetColor(clBlue);
  auto* red = new Fill(form, clRed);
  red->SetParent(form);
  red->SetBounds(0, 0, 20, 20);  // added later, still below the windowed panel
  auto* green = new Fill(form, clLime);
  green->SetParent(form);
  green->SetBounds(10, 10, 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(PresentedPixel(h(), 5, 5), clBlue);
  EXPECT_EQ(PresentedPixel(h(), 25, 25), clLime);
  EXPECT_EQ(form->ControlAtPos({5, 5}), panel);
  red->BringToFront();  // above green, still below the panel
  green->SendToBack();
  panel->SetVisible(false);
  app->ProcessMessages();
  EXPECT_EQ(PresentedPixel(h(), 15, 15), clRed);
  EXPECT_EQ(form->ControlAtPos({15, 15}), red);
}

TEST_F(ControlTest, AnErrorWhilePaintingIsShownOnce) {
  class Broken : public TControl {
   public:
    using TControl::TControl;
    void Paint(TCanvas&) override { throw Exception("cannot paint"); }
  };
  auto* b = new Broken(form);
  b->SetParent(form);
  b->SetBounds(0, 0, 10, 10);
  app->ProcessMessages();
  app->ProcessMessages();
  EXPECT_EQ(errors, (std::vector<std::string>{"cannot paint."}));
}
