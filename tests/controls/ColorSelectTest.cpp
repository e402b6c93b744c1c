// The colour button: its value and the swatch it shows.
#include <gtest/gtest.h>

#include "controls/sColorSelect.h"
#include "framework/AppFixture.h"
#include "framework/Form.h"
#include "framework/Screen.h"

namespace tv::testing {
namespace {

class ColorSelect : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    form = app->CreateForm<TForm>();
    form->SetBounds(0, 0, 200, 100);
    button = Create<TsColorSelect>(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 23, 21);
    form->Show();
    app->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    AppFixture::TearDown();
  }

  // The swatch pixel as (colour 0x00BBGGRR, alpha).
  std::pair<TColor, int> Swatch(int x, int y) {
    const std::uint8_t* p = button->Glyph().ScanLine(y) + 4 * x;
    return {RGB(p[2], p[1], p[0]), p[3]};
  }

  // The button's centre as presented on the screen.
  TColor ShownCentre() { return PresentedPixel(form->Handle(), 10 + 23 / 2, 10 + 21 / 2); }

  TForm* form = nullptr;
  TsColorSelect* button = nullptr;
};

TEST_F(ColorSelect, StartsBlackWithAFifteenPixelSwatch) {
  EXPECT_EQ(button->ColorValue(), clBlack);
  EXPECT_EQ(button->ImgWidth(), 15);
  EXPECT_EQ(button->ImgHeight(), 15);
  EXPECT_FALSE(button->StandardDlg());
  EXPECT_TRUE(button->Caption().empty());
  ASSERT_EQ(button->Glyph().Width(), 15);
  EXPECT_EQ(Swatch(7, 7), std::make_pair(clBlack, 255));
}

TEST_F(ColorSelect, TheSwatchIsTheColourWithTransparentFuchsiaCorners) {
  button->SetColorValue(RGB(0x12, 0x34, 0x56));
  const TBitmap& g = button->Glyph();
  ASSERT_EQ(g.Width(), 15);
  ASSERT_EQ(g.Height(), 15);
  EXPECT_EQ(g.PixelFormat(), pf32bit);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) {
      const bool corner = (x == 0 || x == 14) && (y == 0 || y == 14);
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      EXPECT_EQ(Swatch(x, y), corner ? std::make_pair(clFuchsia, 0) : std::make_pair(RGB(0x12, 0x34, 0x56), 255));
    }
  // Drawn centred on the button, corners showing the face.
  app->ProcessMessages();
  EXPECT_EQ(ShownCentre(), RGB(0x12, 0x34, 0x56));
  const TColor corner = PresentedPixel(form->Handle(), 10 + (23 - 15) / 2, 10 + (21 - 15) / 2);
  EXPECT_NE(corner, clFuchsia);
  EXPECT_NE(corner, RGB(0x12, 0x34, 0x56));
}

TEST_F(ColorSelect, OnlyANewValueRebuildsAndRepaints) {
  button->SetColorValue(clRed);
  app->ProcessMessages();
  EXPECT_EQ(ShownCentre(), clRed);
  const int builds = button->SwatchBuilds();
  const int presents = fake->Window(form->Handle())->presentCount;
  button->SetColorValue(clRed);
  button->UpdateSwatch(true);
  app->ProcessMessages();
  EXPECT_EQ(button->SwatchBuilds(), builds);
  EXPECT_EQ(fake->Window(form->Handle())->presentCount, presents);

  button->SetColorValue(clLime);
  EXPECT_EQ(button->SwatchBuilds(), builds + 1);
  EXPECT_EQ(Swatch(7, 7), std::make_pair(clLime, 255));
  app->ProcessMessages();
  EXPECT_EQ(ShownCentre(), clLime);
}

TEST_F(ColorSelect, ASwatchSizeChangeRebuildsAtTheNewSize) {
  button->SetColorValue(clBlue);
  const int builds = button->SwatchBuilds();
  button->SetImgWidth(9);
  EXPECT_EQ(button->SwatchBuilds(), builds + 1);
  EXPECT_EQ(button->Glyph().Width(), 9);
  EXPECT_EQ(Swatch(8, 14), std::make_pair(clFuchsia, 0));
  EXPECT_EQ(Swatch(4, 7), std::make_pair(clBlue, 255));
  button->SetImgHeight(0);  // no swatch at all
  EXPECT_EQ(button->Glyph().Height(), 0);
  button->SetImgHeight(5);
  EXPECT_EQ(button->Glyph().Height(), 5);
}

TEST_F(ColorSelect, AClickKeepsTheColourAndOpensNothing) {
  button->SetColorValue(clRed);
  int clicks = 0, changes = 0;
  button->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, button);
    ++clicks;
  };
  button->OnChange = [&](TObject*) { ++changes; };
  const int forms = Screen->FormCount();
  fake->Click(form->Handle(), platform::MouseButton::Left, 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(button->ColorValue(), clRed);
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_FALSE(button->Down());
}

}  // namespace
}  // namespace tv::testing
