// Renders a plain form with a few of each control and saves it as a PNG beside the test
// executable (controls_form.png), to look at; checks that text was drawn in a resolved font.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TCheckBox.h"
#include "framework/controls/TComboBox.h"
#include "framework/controls/TEdit.h"
#include "framework/controls/TGroupBox.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TLabel.h"
#include "framework/controls/TPanel.h"
#include "framework/controls/TScrollBox.h"
#include "framework/controls/TSpeedButton.h"
#include "framework/controls/TToolBar.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"

using namespace tv;

namespace {

std::filesystem::path ExecutableDir() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

template <class T>
T* Put(TWinControl* parent, TComponent* owner, int left, int top, int width, int height, const std::string& caption = "") {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  if (!caption.empty()) c->SetCaption(caption);
  return c;
}

class ScreenshotTest : public tv::testing::ControlsFixture {};

}  // namespace

TEST_F(ScreenshotTest, APlainFormWithControlsPaints) {
  form->SetClientWidth(741);
  form->SetClientHeight(300);
  form->SetCaption("Tovalin");

  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetButtonWidth(75);
  bar->SetButtonHeight(21);
  bar->SetShowCaptions(true);
  TFont bold = bar->Font();
  bold.SetStyle(fsBold);
  bar->SetFont(bold);
  for (const char* caption : {"Pen", "Line", "Text", "Undo", "Send Image"}) {
    auto* sep = new TToolButton(form);
    sep->SetParent(bar);
    sep->SetStyle(tbsSeparator);
    auto* b = new TToolButton(form);
    b->SetParent(bar);
    b->SetStyle(tbsCheck);
    b->SetCaption(caption);
  }
  bar->Buttons(3)->SetDown(true);

  auto* box = Put<TScrollBox>(form, form, 0, 29, 540, 271);
  auto* image = new TImage(form);
  image->SetParent(box);
  image->SetAutoSize(true);
  TBitmap* pic = image->Picture()->Bitmap();
  pic->SetSize(700, 400);
  TCanvas& c = pic->Canvas();
  for (int y = 0; y < 400; y += 20) {
    c.Brush().SetColor(RGB(40 + y / 3, 90, 160));
    c.FillRect({0, y, 700, y + 20});
  }
  c.Pen().SetColor(clRed);
  c.Pen().SetWidth(3);
  c.MoveTo(10, 10);
  c.LineTo(100, 50);
  c.Brush().SetColor(clWhite);
  c.Font().SetColor(clRed);
  c.TextOut(20, 60, "Annotated text");
  image->Picture()->Changed();
  box->VertScrollBar().SetPosition(10);

  auto* group = Put<TGroupBox>(form, form, 553, 29, 161, 180, "Settings");
  Put<TLabel>(group, form, 8, 24, 40, 13, "Hotkey");
  auto* combo = Put<TComboBox>(group, form, 56, 19, 40, 21);
  for (const char* k : {"F4", "F5", "F6", "F7"}) combo->Items().Add(k);
  combo->SetItemIndex(3);
  Put<TButton>(group, form, 96, 19, 57, 21, "Help");
  Put<TLabel>(group, form, 8, 80, 80, 13, "Close to tray");
  Put<TCheckBox>(group, form, 114, 76, 20, 18)->SetChecked(true);
  Put<TLabel>(group, form, 8, 104, 80, 13, "Autorun");
  Put<TCheckBox>(group, form, 114, 103, 20, 18);
  auto* about = Put<TGroupBox>(group, form, 0, 128, 161, 52, "About us");
  auto* link = Put<TLabel>(about, form, 16, 24, 128, 16, "localhost:8080");
  TFont linkFont = link->Font();
  linkFont.SetName("Tahoma");
  linkFont.SetHeight(-13);
  linkFont.SetStyle(fsBold | fsUnderline);
  linkFont.SetColor(clBlue);
  link->SetFont(linkFont);

  auto* panel = Put<TPanel>(form, form, 553, 215, 161, 75, "Panel");
  auto* edit = Put<TEdit>(panel, form, 8, 8, 145, 21);
  edit->SetText("Привет, edit €");
  edit->SetFocus();
  edit->SetSelStart(8);
  edit->SetSelLength(4);
  auto* speed = Put<TSpeedButton>(panel, form, 8, 40, 60, 25, "Speed");
  speed->SetGroupIndex(1);
  speed->SetDown(true);

  app->ProcessMessages();
  const QImage& shot = form->BackBuffer().Image();
  const std::filesystem::path out = ExecutableDir() / "controls_form.png";
  ASSERT_TRUE(shot.save(QString::fromStdString(out.string()), "PNG"));
  std::printf("screenshot: %s\n", out.c_str());

  // Text was drawn with a font that exists here.
  EXPECT_FALSE(link->Font().ResolvedFamily().empty());
  EXPECT_FALSE(bar->Font().ResolvedFamily().empty());
  // The presented image is what was painted: the group box frame, the check box's white box,
  // and dark caption pixels on the "Help" button.
  EXPECT_EQ(ShownAt(group, 0, 30), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ShownAt(group, 114 + 3, 76 + 5), ColorToRGB(clWindow));
  int dark = 0;
  for (int y = 19; y < 40; ++y)
    for (int x = 96; x < 153; ++x)
      if (const TColor px = ShownAt(group, x, y); GetRValue(px) + GetGValue(px) + GetBValue(px) < 200) ++dark;
  EXPECT_GT(dark, 10);
}
