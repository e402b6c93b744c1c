#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/TBitBtn.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TCheckBox.h"
#include "framework/controls/TLabel.h"
#include "framework/controls/TPanel.h"
#include "framework/dialogs/TDialogForm.h"
#include "framework/graphics/TCanvas.h"

using namespace tv;

namespace {

class ButtonTest : public tv::testing::ControlsFixture {
 protected:
  template <class T>
  T* Add(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
};

}  // namespace

TEST_F(ButtonTest, MouseSpaceAndEnterClickTheFocusedButton) {
  auto* b = Add<TButton>(form, 10, 10, 75, 25);
  int clicks = 0;
  std::vector<std::string> order;
  b->OnClick = [&](TObject*) {
    ++clicks;
    order.push_back(std::string("click pressed=") + (b->Pressed() ? "1" : "0"));
  };
  b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { order.push_back("up"); };
  Click(b, 10, 10);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->Focused());
  // The button looks released before its click runs.
  EXPECT_EQ(order, (std::vector<std::string>{"click pressed=0", "up"}));
  fake->KeyDown(form->Handle(), VK_SPACE);
  app->ProcessMessages();
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(clicks, 1);  // Space clicks on release
  fake->KeyUp(form->Handle(), VK_SPACE);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 2);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 3);
  // A press dragged off the button and released there is no click.
  Press(b, 10, 10);
  Move(b, 200, 200);
  EXPECT_FALSE(b->Pressed());
  Release(b, 200, 200);
  EXPECT_EQ(clicks, 3);
  // Disabled: nothing.
  b->SetEnabled(false);
  Click(b, 10, 10);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 3);
}

TEST_F(ButtonTest, ModalResultClosesAModalFormAndDialogKeysReachDefaultAndCancel) {
  auto* dlg = Create<TDialogForm>(app);
  dlg->SetClientWidth(200);
  dlg->SetClientHeight(80);
  auto* edit = new TCheckBox(dlg);  // a focusable control that is not a button
  edit->SetParent(dlg);
  edit->SetBounds(5, 5, 100, 17);
  auto* ok = new TButton(dlg);
  ok->SetParent(dlg);
  ok->SetBounds(10, 40, 75, 25);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TButton(dlg);
  cancel->SetParent(dlg);
  cancel->SetBounds(100, 40, 75, 25);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  std::vector<std::string> clicked;
  ok->OnClick = [&](TObject*) { clicked.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { clicked.push_back("cancel"); };

  std::vector<UINT> keys = {VK_RETURN, VK_ESCAPE};
  for (UINT key : keys) {
    bool sent = false;
    fake->SetIdleHook([&] {
      if (sent) return false;
      sent = true;
      EXPECT_TRUE(edit->Focused());
      EXPECT_TRUE(ok->IsActiveDefault());
      fake->KeyDown(dlg->Handle(), key);
      return true;
    });
    const TModalResult r = dlg->ShowModal();
    EXPECT_EQ(r, key == VK_RETURN ? mrOk : mrCancel);
    EXPECT_FALSE(dlg->Visible());
  }
  EXPECT_EQ(clicked, (std::vector<std::string>{"ok", "cancel"}));

  // With the focus on Cancel, Cancel is the active button and Enter clicks it.
  clicked.clear();
  bool sent = false;
  fake->SetIdleHook([&] {
    if (sent) return false;
    sent = true;
    cancel->SetFocus();
    EXPECT_FALSE(ok->IsActiveDefault());
    fake->KeyDown(dlg->Handle(), VK_RETURN);
    return true;
  });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(clicked, std::vector<std::string>{"cancel"});
  fake->SetIdleHook(nullptr);
  delete dlg;
}

TEST_F(ButtonTest, DefaultAndCancelButtonsAnswerEnterAndEscapeOnAnyForm) {
  auto* box = Add<TCheckBox>(form, 5, 5, 100, 17);
  auto* def = Add<TButton>(form, 10, 40, 75, 25);
  def->SetDefault(true);
  auto* cancel = Add<TButton>(form, 100, 40, 75, 25);
  cancel->SetCancel(true);
  std::vector<std::string> log;
  def->OnClick = [&](TObject*) { log.push_back("default"); };
  cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
  box->SetFocus();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  def->SetEnabled(false);
  Key(VK_RETURN);  // a disabled default button does nothing
  EXPECT_EQ(log, (std::vector<std::string>{"default", "cancel"}));
}

TEST_F(ButtonTest, CheckBoxRaisesOnClickOnEveryChangeOfState) {
  auto* box = Add<TCheckBox>(form, 114, 76, 20, 18);
  std::vector<bool> seen;
  box->OnClick = [&](TObject*) { seen.push_back(box->Checked()); };
  box->SetChecked(true);   // by the program
  box->SetChecked(true);   // no change: nothing
  Click(box, 5, 5);        // by the user
  box->SetFocus();
  Key(VK_SPACE);           // Space toggles
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
  box->SetAllowGrayed(true);
  Click(box, 5, 5);
  EXPECT_EQ(box->State(), cbGrayed);
  Click(box, 5, 5);
  EXPECT_EQ(box->State(), cbUnchecked);
  // A press released outside does not toggle.
  Press(box, 5, 5);
  Release(box, 100, 100);
  EXPECT_EQ(box->State(), cbUnchecked);
}

TEST_F(ButtonTest, LabelFitsItsTextAndReportsMouseEnterAndLeave) {
  auto* label = Add<TLabel>(form, 16, 24, 10, 10);
  label->SetCaption("localhost:8080");
  const int oneLine = label->Height();
  EXPECT_GT(label->Width(), 40);
  EXPECT_GT(oneLine, 8);
  label->SetFont([&] {
    TFont f = label->Font();
    f.SetName("Tahoma");
    f.SetHeight(-13);
    f.SetStyle(fsBold);
    return f;
  }());
  EXPECT_GT(label->Height(), oneLine);
  // The link label of the main window: underline on move, none after leaving.
  label->SetCursor(crHandPoint);
  label->OnMouseMove = [&](TObject*, TShiftState, int, int) { label->Font().SetStyle(fsBold | fsUnderline); };
  label->OnMouseLeave = [&](TObject*) { label->Font().SetStyle(fsBold); };
  std::vector<std::string> log;
  label->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  Move(label, 5, 5);
  EXPECT_EQ(label->Font().Style(), fsBold | fsUnderline);
  EXPECT_EQ(fake->Window(form->Handle())->cursor, platform::Cursor::Hand);
  Move(form, 390, 250);
  EXPECT_EQ(label->Font().Style(), fsBold);
  EXPECT_EQ(log, std::vector<std::string>{"enter"});

  // Word wrap keeps the width and grows downwards.
  auto* wrap = Add<TLabel>(form, 10, 100, 60, 10);
  wrap->SetWordWrap(true);
  wrap->SetCaption("several words that cannot fit on one line");
  EXPECT_EQ(wrap->Width(), 60);
  EXPECT_GE(wrap->Height(), 3 * oneLine);
}

TEST_F(ButtonTest, BitBtnDrawsItsGlyphWithTheBottomLeftColourTransparent) {
  auto* b = Add<TBitBtn>(form, 10, 10, 40, 30);
  TBitmap glyph(8, 8);
  glyph.Canvas().Brush().SetColor(clFuchsia);
  glyph.Canvas().FillRect({0, 0, 8, 8});
  glyph.Canvas().Brush().SetColor(clBlue);
  glyph.Canvas().FillRect({2, 2, 6, 6});
  b->SetGlyph(glyph);
  app->ProcessMessages();
  // The glyph is centred in the face: its corner is transparent, its middle blue.
  const int gx = 2 + (36 - 8) / 2 + 0;
  const int gy = 2 + (26 - 8) / 2;
  EXPECT_EQ(ShownAt(b, gx + 4, gy + 4), clBlue);
  EXPECT_EQ(ColorToRGB(ShownAt(b, gx, gy)), ColorToRGB(clBtnFace));
}

TEST_F(ButtonTest, PanelBevelsAndAlignedChildrenInsideThem) {
  auto* panel = Add<TPanel>(form, 0, 0, 100, 60);
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(2);
  auto* child = new TPanel(form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(panel->InnerRect(), (TRect{4, 4, 96, 56}));
  EXPECT_EQ(child->BoundsRect(), (TRect{4, 4, 96, 56}));
  app->ProcessMessages();
  EXPECT_EQ(ShownAt(panel, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ShownAt(panel, 99, 59), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ShownAt(panel, 3, 3), ColorToRGB(clBtnShadow));
}
