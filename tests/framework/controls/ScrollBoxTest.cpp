#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TScrollBox.h"
#include "framework/graphics/TCanvas.h"

using namespace tv;

namespace {

class ScrollBoxTest : public tv::testing::ControlsFixture {
 protected:
  void SetUp() override {
    ControlsFixture::SetUp();
    box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 200, 150);
    image = new TImage(form);
    image->SetParent(box);
    image->SetAutoSize(true);
    image->Picture()->Bitmap()->SetSize(500, 400);
    image->Picture()->Changed();
    app->ProcessMessages();
  }
  TScrollBox* box = nullptr;
  TImage* image = nullptr;
};

}  // namespace

TEST_F(ScrollBoxTest, ChildrenLiveInTheClientAreaAndSetTheRanges) {
  EXPECT_EQ(image->Parent(), box->ClientControl());
  EXPECT_TRUE(box->ContainsControl(image));
  EXPECT_EQ(image->Width(), 500);
  EXPECT_EQ(box->HorzScrollBar().Range(), 500);
  EXPECT_EQ(box->VertScrollBar().Range(), 400);
  EXPECT_TRUE(box->HorzScrollBar().IsScrollBarVisible());
  EXPECT_TRUE(box->VertScrollBar().IsScrollBarVisible());
  // Border 2 on each side, bars 16 wide.
  EXPECT_EQ(box->ClientWidth(), 200 - 4 - 16);
  EXPECT_EQ(box->ClientHeight(), 150 - 4 - 16);
  EXPECT_EQ(box->ClientControl()->BoundsRect(), (TRect{2, 2, 182, 132}));

  box->VertScrollBar().SetPosition(100);
  EXPECT_EQ(box->VertScrollBar().Position(), 100);
  EXPECT_EQ(image->Top(), -100);
  // Positions stop at Range - page.
  box->VertScrollBar().SetPosition(10000);
  EXPECT_EQ(box->VertScrollBar().Position(), 400 - 130);
  box->HorzScrollBar().SetPosition(-5);
  EXPECT_EQ(box->HorzScrollBar().Position(), 0);
  // A smaller picture pulls the position back and hides the bars it no longer needs.
  image->Picture()->Bitmap()->SetSize(150, 100);
  image->Picture()->Changed();
  EXPECT_EQ(box->VertScrollBar().Position(), 0);
  EXPECT_EQ(image->Top(), 0);
  EXPECT_FALSE(box->VertScrollBar().IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar().IsScrollBarVisible());
  EXPECT_EQ(box->ClientWidth(), 196);
}

TEST_F(ScrollBoxTest, TheWheelScrollsByDefaultUnlessAHandlerHandlesIt) {
  const TPoint over = InForm(image, 20, 20);
  fake->Wheel(form->Handle(), -120, over.X, over.Y);
  app->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar().Position(), box->WheelStep());
  fake->Wheel(form->Handle(), 120, over.X, over.Y);
  app->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar().Position(), 0);

  // The main window's handlers: five pixels per notch, handled.
  std::vector<std::string> log;
  box->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("down");
    box->VertScrollBar().SetPosition(box->VertScrollBar().Position() + 5);
    handled = true;
  };
  box->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("up");
    box->VertScrollBar().SetPosition(box->VertScrollBar().Position() - 5);
    handled = true;
  };
  fake->Wheel(form->Handle(), -240, over.X, over.Y);  // two notches
  app->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar().Position(), 10);
  fake->Wheel(form->Handle(), 120, over.X, over.Y);
  app->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar().Position(), 5);
  EXPECT_EQ(log, (std::vector<std::string>{"down", "down", "up"}));

  // A handler that leaves Handled false gets the default step as well.
  box->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { log.push_back("seen"); };
  fake->Wheel(form->Handle(), -120, over.X, over.Y);
  app->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar().Position(), 5 + box->WheelStep());
}

TEST_F(ScrollBoxTest, ArrowsTrackAndThumbOfTheBarsScroll) {
  const TRect bar = box->BarRect(sbVertical);
  ASSERT_FALSE(bar.IsEmpty());
  Click(box, bar.Left + 8, bar.Bottom - 8);  // down arrow
  EXPECT_EQ(box->VertScrollBar().Position(), box->VertScrollBar().Increment());
  Click(box, bar.Left + 8, bar.Top + 8);  // up arrow
  EXPECT_EQ(box->VertScrollBar().Position(), 0);
  TRect thumb = box->ThumbRect(sbVertical);
  Click(box, bar.Left + 8, thumb.Bottom + 3);  // the track below the thumb: a page
  EXPECT_EQ(box->VertScrollBar().Position(), box->ClientHeight());
  // Dragging the thumb to the end of the track scrolls to the end.
  box->VertScrollBar().SetPosition(0);
  thumb = box->ThumbRect(sbVertical);
  Press(box, bar.Left + 8, thumb.Top + 2);
  Move(box, bar.Left + 8, bar.Bottom + 50);  // past the end: the box holds the mouse
  Release(box, bar.Left + 8, bar.Bottom + 50);
  EXPECT_EQ(box->VertScrollBar().Position(), box->VertScrollBar().MaxPosition());
  EXPECT_EQ(image->Top(), -box->VertScrollBar().MaxPosition());
}

TEST_F(ScrollBoxTest, AnExplicitRangeReplacesTheAutomaticOne) {
  box->VertScrollBar().SetRange(1000);
  EXPECT_FALSE(box->AutoScroll());
  EXPECT_EQ(box->VertScrollBar().Range(), 1000);
  box->VertScrollBar().SetPosition(900);
  EXPECT_EQ(box->VertScrollBar().Position(), 1000 - box->ClientHeight());
  box->SetBorderStyle(bsNone);
  EXPECT_EQ(box->ClientControl()->Left(), 0);
}

TEST_F(ScrollBoxTest, DrawingOnThePictureShowsAfterTheImagesMouseHandler) {
  image->Picture()->Bitmap()->SetSize(100, 100);
  image->Picture()->Changed();
  app->ProcessMessages();
  EXPECT_EQ(ShownAt(image, 10, 10), clWhite);
  // A handler that draws on the picture's canvas, as the editor's tools do.
  image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    TCanvas& c = image->Picture()->Bitmap()->Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect({x - 2, y - 2, x + 3, y + 3});
  };
  std::vector<TPoint> ups;
  image->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) { ups.push_back({x, y}); };
  Click(image, 10, 10);
  EXPECT_EQ(ShownAt(image, 10, 10), clRed);
  // Mouse coordinates are picture pixels, also when scrolled.
  image->Picture()->Bitmap()->SetSize(500, 400);
  image->Picture()->Changed();
  box->VertScrollBar().SetPosition(50);
  app->ProcessMessages();
  Click(image, 30, 120);
  ASSERT_EQ(ups.size(), 2u);
  EXPECT_EQ(ups.back(), (TPoint{30, 120}));
  EXPECT_EQ(ShownAt(image, 30, 120), clRed);
  EXPECT_EQ(image->Picture()->Bitmap()->PixelColor(30, 120), clRed);
}
