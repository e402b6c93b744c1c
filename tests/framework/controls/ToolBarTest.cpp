#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/TLabel.h"
#include "framework/controls/TSpeedButton.h"
#include "framework/controls/TToolBar.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"

using namespace tv;

namespace {

class ToolBarTest : public tv::testing::ControlsFixture {
 protected:
  TToolButton* AddButton(TToolBar* bar, TToolButtonStyle style, const std::string& caption = "", int width = 0) {
    auto* b = new TToolButton(form);
    b->SetParent(bar);
    b->SetStyle(style);
    b->SetCaption(caption);
    if (width > 0) b->SetWidth(width);
    return b;
  }
};

}  // namespace

// The main window's tool bar: buttons flow in insertion order past the label and the colour
// button, which keep their own places.
TEST_F(ToolBarTest, ButtonsFlowPastOtherControlsAsInTheMainWindowLayout) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetButtonWidth(75);
  bar->SetButtonHeight(21);
  bar->SetShowCaptions(true);
  // The label and the colour button are put on the bar first, at their own places.
  auto* label = new TLabel(form);
  label->SetParent(bar);
  label->SetAutoSize(false);
  label->SetBounds(257, 2, 38, 21);
  auto* color = new TSpeedButton(form);
  color->SetParent(bar);
  color->SetBounds(299, 2, 23, 21);
  struct Item {
    TToolButtonStyle style;
    int width;
    int expectedLeft;
  };
  const std::vector<Item> items = {
      {tbsSeparator, 8, 0},   {tbsCheck, 0, 8},       {tbsSeparator, 8, 83}, {tbsCheck, 0, 91},
      {tbsSeparator, 8, 166}, {tbsCheck, 0, 174},     {tbsSeparator, 8, 249}, {tbsSeparator, 4, 295},
      {tbsSeparator, 7, 322}, {tbsButton, 0, 329},    {tbsDivider, 21, 404}, {tbsButton, 0, 425},
      {tbsButton, 0, 500},
  };
  std::vector<TToolButton*> buttons;
  for (const Item& it : items) buttons.push_back(AddButton(bar, it.style, "B", it.width));
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(buttons[i]->Left(), items[i].expectedLeft);
    EXPECT_EQ(buttons[i]->Top(), 2);
    EXPECT_EQ(buttons[i]->Width(), items[i].width ? items[i].width : 75);
    EXPECT_EQ(buttons[i]->Height(), 21);
  }
  EXPECT_EQ(label->Left(), 257);
  EXPECT_EQ(color->Left(), 299);
  EXPECT_EQ(bar->ButtonCount(), static_cast<int>(items.size()));
  EXPECT_EQ(bar->Buttons(1), buttons[1]);
}

TEST_F(ToolBarTest, ACheckButtonFlipsDownBeforeItsClickHandlerRuns) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  auto* pen = AddButton(bar, tbsCheck, "Pen");
  auto* plain = AddButton(bar, tbsButton, "Undo");
  std::vector<std::string> log;
  pen->OnClick = [&](TObject* s) { log.push_back(std::string("click down=") + (pen->Down() ? "1" : "0")); };
  pen->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
  plain->OnClick = [&](TObject*) { log.push_back(std::string("plain down=") + (plain->Down() ? "1" : "0")); };

  Click(pen, 5, 5);
  Click(pen, 5, 5);
  Click(plain, 5, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"click down=1", "up", "click down=0", "up", "plain down=0"}));

  // Released outside the button: no click, no toggle.
  log.clear();
  Press(pen, 5, 5);
  EXPECT_TRUE(pen->Pressed());
  Move(pen, 5, 50);
  EXPECT_FALSE(pen->Pressed());
  Release(pen, 5, 50);
  EXPECT_EQ(log, (std::vector<std::string>{"up"}));
  EXPECT_FALSE(pen->Down());
}

TEST_F(ToolBarTest, AButtonShowsItsPictureFromTheBarsImageList) {
  TImageList images(21, 21);
  TBitmap red(21, 21);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().FillRect({0, 0, 21, 21});
  images.Add(red);
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetAlign(alNone);
  bar->SetBounds(714 - 400, 29, 28, 29);
  bar->SetButtonWidth(28);
  bar->SetButtonHeight(27);
  bar->SetImages(&images);
  auto* b = AddButton(bar, tbsCheck);
  b->SetImageIndex(0);
  EXPECT_EQ(b->BoundsRect(), (TRect{0, 2, 28, 29}));
  EXPECT_EQ(ShownAt(b, 14, 13), clRed);
  Click(b, 14, 13);
  EXPECT_TRUE(b->Down());
  bar->SetImages(nullptr);
}

TEST_F(ToolBarTest, AHandlerMayDestroyItsButton) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  auto* b = AddButton(bar, tbsCheck, "X");
  bool clicked = false;
  b->OnClick = [&](TObject* s) {
    clicked = true;
    delete static_cast<TToolButton*>(s);
  };
  Click(b, 3, 3);
  EXPECT_TRUE(clicked);
  EXPECT_EQ(bar->ButtonCount(), 0);
}

TEST_F(ToolBarTest, SpeedButtonsOfAGroupAreExclusive) {
  auto* a = new TSpeedButton(form);
  a->SetParent(form);
  a->SetBounds(0, 0, 23, 22);
  auto* b = new TSpeedButton(form);
  b->SetParent(form);
  b->SetBounds(30, 0, 23, 22);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  std::vector<bool> downAtClick;
  a->OnClick = [&](TObject*) { downAtClick.push_back(a->Down()); };

  Click(a, 5, 5);
  EXPECT_TRUE(a->Down());
  Click(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  // Without AllowAllUp the down button stays down.
  Click(b, 5, 5);
  EXPECT_TRUE(b->Down());
  b->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  Click(b, 5, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(downAtClick, std::vector<bool>{true});

  // Ungrouped buttons never stay down.
  auto* c = new TSpeedButton(form);
  c->SetParent(form);
  c->SetDown(true);
  EXPECT_FALSE(c->Down());
}
