#include <gtest/gtest.h>

#include "app/ProgramFixture.h"
#include "framework/controls/TScrollBox.h"

namespace tv::testing {
namespace {

using CaptureSmoke = ProgramFixture;

TEST_F(CaptureSmoke, TwoHotKeyPressesGrabTheWholeScreen) {
  PressHotKey();
  EXPECT_FALSE(OverlayHidden);
  EXPECT_TRUE(Form2->Visible());
  PressHotKey();
  EXPECT_TRUE(OverlayHidden);
  EXPECT_FALSE(Form2->Visible());
  ASSERT_EQ(Form1->Picture().Width(), kScreenWidth);
  ASSERT_EQ(Form1->Picture().Height(), kScreenHeight);
  EXPECT_EQ(Form1->Picture().PixelColor(17, 33), PatternColor(17, 33));
  EXPECT_EQ(Form1->sScrollBox1->HorzScrollBar().Range(), kScreenWidth);
  EXPECT_EQ(Form1->sScrollBox1->VertScrollBar().Range(), kScreenHeight);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tv::testing
