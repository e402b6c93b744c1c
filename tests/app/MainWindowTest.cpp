// The main window's controls and layout, the hot-key list, its registration and the settings
// panel's report of a key that another program holds.
#include <gtest/gtest.h>

#include "app/ProgramFixture.h"
#include "controls/sColorSelect.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TCheckBox.h"
#include "framework/controls/TComboBox.h"
#include "framework/controls/TGroupBox.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TLabel.h"
#include "framework/controls/TScrollBox.h"
#include "framework/controls/TToolBar.h"
#include "framework/graphics/TImageList.h"
#include "skin/DarkMetroSkin.h"
#include "skin/sSkinManager.h"

namespace tv::testing {
namespace {

using MainWindow = ProgramFixture;

struct Place {
  int left, top, width, height;
  friend bool operator==(const Place&, const Place&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Place& p) {
    return os << p.left << ", " << p.top << ", " << p.width << " x " << p.height;
  }
};

Place PlaceOf(const TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

TEST(HotKeyExTest, MapsTheListNamesExactlyAndEverythingElseToZero) {
  const std::pair<const char*, std::uint16_t> cases[] = {
      {"F4", 115}, {"F5", 116}, {"F6", 117}, {"F7", 118}, {"F8", 119}, {"F9", 120},  {"F10", 121},
      {"F11", 122}, {"F12", 123}, {"Scr Lk", 145}, {"Pause", 19},
      {"", 0}, {"f7", 0}, {"F7 ", 0}, {" F7", 0}, {"F13", 0}, {"F3", 0}, {"Scroll Lock", 0}, {"scr lk", 0},
      {"PAUSE", 0}, {"ScrLk", 0}, {"F1", 0}};
  for (const auto& [name, code] : cases) EXPECT_EQ(HotKeyEx(name), code) << '"' << name << '"';
}

TEST_F(MainWindow, HasTheCaptionSizeAndTheToolBarItemsAtTheirPlaces) {
  EXPECT_EQ(Form1->Caption(), "Tovalin");
  EXPECT_EQ(Form1->ClientWidth(), 741);
  EXPECT_EQ(Form1->ClientHeight(), 419);
  EXPECT_EQ(Form1->BorderStyle(), bsSingle);
  EXPECT_TRUE(fake->Window(Form1->Handle())->fixedSize);

  TToolBar* bar = Form1->sToolBar1;
  EXPECT_EQ(PlaceOf(bar), (Place{0, 0, 741, 29}));
  EXPECT_TRUE(bar->ShowCaptions());
  EXPECT_TRUE(bar->Font().Style() & fsBold);
  struct Item {
    const char* caption;  // nullptr for a separator or divider
    int left, width;
  };
  const Item items[] = {{nullptr, 0, 8},     {"Pen", 8, 75},     {nullptr, 83, 8},   {"Line", 91, 75},
                        {nullptr, 166, 8},   {"Text", 174, 75},  {nullptr, 249, 8},  {nullptr, 295, 4},
                        {nullptr, 322, 7},   {"Undo", 329, 75},  {nullptr, 404, 21}, {"Send Image", 425, 75},
                        {"Save Image", 500, 75}};
  ASSERT_EQ(bar->ButtonCount(), static_cast<int>(std::size(items)));
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    const TToolButton* b = bar->Buttons(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(b->Left(), items[i].left);
    EXPECT_EQ(b->Width(), items[i].width);
    if (items[i].caption) {
      EXPECT_EQ(b->Caption(), items[i].caption);
      EXPECT_EQ(b->Top(), 2);
      EXPECT_EQ(b->Height(), 21);
    } else {
      EXPECT_TRUE(b->IsSpacer());
    }
  }
  EXPECT_EQ(bar->Buttons(1), Form1->ToolButton1);
  EXPECT_EQ(bar->Buttons(3), Form1->ToolButton2);
  EXPECT_EQ(bar->Buttons(5), Form1->ToolButton3);
  EXPECT_EQ(bar->Buttons(9), Form1->ToolButton11);
  EXPECT_EQ(bar->Buttons(11), Form1->ToolButton4);
  EXPECT_EQ(bar->Buttons(12), Form1->ToolButton14);
  EXPECT_EQ(Form1->ToolButton1->Style(), tbsCheck);
  EXPECT_EQ(Form1->ToolButton2->Style(), tbsCheck);
  EXPECT_EQ(Form1->ToolButton3->Style(), tbsCheck);
  EXPECT_EQ(bar->Buttons(10)->Style(), tbsDivider);

  EXPECT_EQ(Form1->sLabel3->Caption(), "Color");
  EXPECT_EQ(PlaceOf(Form1->sLabel3), (Place{257, 2, 38, 21}));
  EXPECT_TRUE(Form1->sLabel3->Font().Style() & fsBold);
  EXPECT_EQ(Form1->sLabel3->Font().Height(), -13);
  EXPECT_EQ(Form1->sColorSelect1->Parent(), bar);
  EXPECT_EQ(Form1->sColorSelect1->Left(), 299);
  EXPECT_EQ(Form1->sColorSelect1->Width(), 23);
}

TEST_F(MainWindow, PictureAreaSettingsToggleAndHiddenButtonAreAtTheirPlaces) {
  EXPECT_EQ(PlaceOf(Form1->sScrollBox1), (Place{0, 29, 741, 390}));
  EXPECT_EQ(Form1->Image1->Parent(), Form1->sScrollBox1->ClientControl());
  EXPECT_EQ(Form1->Image1->Left(), 0);
  EXPECT_EQ(Form1->Image1->Top(), 0);
  EXPECT_TRUE(Form1->Image1->AutoSize());

  EXPECT_EQ(PlaceOf(Form1->sToolBar2), (Place{714, 29, 28, 29}));
  EXPECT_EQ(Form1->sToolBar2->Anchors(), akTop | akRight);
  ASSERT_EQ(Form1->sToolBar2->ButtonCount(), 1);
  EXPECT_EQ(Form1->sToolBar2->Buttons(0), Form1->ToolButton12);
  EXPECT_EQ(Form1->ToolButton12->Width(), 28);
  EXPECT_EQ(Form1->ToolButton12->Height(), 27);
  EXPECT_EQ(Form1->ToolButton12->Style(), tbsCheck);
  EXPECT_EQ(Form1->ToolButton12->ImageIndex(), 0);
  EXPECT_EQ(Form1->sToolBar2->Images(), Form1->SystemImg);
  EXPECT_EQ(Form1->SystemImg->Width(), 21);
  EXPECT_EQ(Form1->SystemImg->Height(), 21);
  EXPECT_EQ(Form1->SystemImg->Count(), 1);

  // The show-overlay button lies under the scroll panel: nothing on the window reaches it.
  EXPECT_FALSE(Form1->RectScreen->Parent() == Form1->sScrollBox1);
  const TRect r = Form1->RectScreen->BoundsRect();
  for (TPoint p : {r.TopLeft(), TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}})
    EXPECT_NE(Form1->ControlAtPos(p, true, true, true), Form1->RectScreen);
  EXPECT_FALSE(Form1->RectScreen->TabStop());
}

TEST_F(MainWindow, SettingsPanelHoldsItsControlsAtTheirPlaces) {
  TGroupBox* panel = Form1->sGroupBox1;
  EXPECT_EQ(panel->Caption(), "Settings");
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(PlaceOf(panel), (Place{553, 29, 161, 180}));
  struct Child {
    const TControl* control;
    const char* caption;
    int left, top;
  };
  const Child children[] = {{Form1->sLabel1, "Hotkey", 8, 24},        {Form1->sComboBox1, nullptr, 56, 19},
                            {Form1->sButton1, "Help", 96, 19},        {Form1->sLabel2, "Language", 9, 51},
                            {Form1->sLabel4, "Close to tray", 8, 80}, {Form1->sCheckBox1, nullptr, 114, 76},
                            {Form1->sLabel5, "Autorun", 8, 104},      {Form1->sCheckBox2, nullptr, 114, 103},
                            {Form1->sGroupBox2, "About us", 0, 128}};
  for (const Child& c : children) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(c.control->Parent(), panel);
    EXPECT_EQ(c.control->Left(), c.left);
    EXPECT_EQ(c.control->Top(), c.top);
    if (c.caption) {
      EXPECT_EQ(c.control->Caption(), c.caption);
    }
  }
  EXPECT_EQ(PlaceOf(Form1->sComboBox1), (Place{56, 19, 35, 21}));
  EXPECT_EQ(PlaceOf(Form1->sButton1), (Place{96, 19, 57, 21}));
  EXPECT_EQ(PlaceOf(Form1->sCheckBox1), (Place{114, 76, 20, 18}));
  EXPECT_EQ(PlaceOf(Form1->sCheckBox2), (Place{114, 103, 20, 18}));
  EXPECT_TRUE(Form1->sCheckBox1->Checked());
  EXPECT_TRUE(Form1->sCheckBox2->Checked());
  EXPECT_EQ(PlaceOf(Form1->sGroupBox2), (Place{0, 128, 161, 57}));
  EXPECT_EQ(Form1->sLabel6->Parent(), Form1->sGroupBox2);
  EXPECT_EQ(PlaceOf(Form1->sLabel6), (Place{16, 24, 128, 16}));

  for (const TLabel* l : {Form1->sLabel1, Form1->sLabel2, Form1->sLabel4, Form1->sLabel5}) {
    SCOPED_TRACE(l->Name());
    EXPECT_EQ(l->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(l->Font().Size(), 8);
    EXPECT_TRUE(l->Font().Style() & fsBold);
  }
  EXPECT_EQ(Form1->sLabel6->Font().Name(), "Tahoma");
  EXPECT_EQ(Form1->sLabel6->Font().Height(), -13);
  EXPECT_TRUE(Form1->sLabel6->Font().Style() & fsBold);
  EXPECT_EQ(Form1->sLabel6->Cursor(), crHandPoint);

  // The list holds the eleven keys in order, F7 chosen.
  ASSERT_EQ(Form1->sComboBox1->Items().Count(), 11);
  const char* names[] = {"F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "Scr Lk", "Pause"};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(Form1->sComboBox1->Items()[i], names[i]);
  EXPECT_EQ(Form1->sComboBox1->ItemIndex(), 3);
  EXPECT_FALSE(Form1->HotKeyTakenLabel->Visible());
}

TEST_F(MainWindow, FormResizePlacesTheSettingsPanelBesideTheToggle) {
  fake->Resize(Form1->Handle(), {1000, 600});
  app->ProcessMessages();
  ASSERT_EQ(Form1->ClientWidth(), 1000);
  EXPECT_EQ(Form1->sGroupBox1->Left(), Form1->Width() - 28 - 161 - 5);
  EXPECT_EQ(Form1->sToolBar2->Left() + Form1->sToolBar2->Width(), 1000 + 1) << "anchored to the right";
}

TEST_F(MainWindow, TheToggleShowsAndHidesTheSettingsPanel) {
  const TPoint toggle{714 + 14, 29 + 13};
  fake->Click(Form1->Handle(), platform::MouseButton::Left, toggle.X, toggle.Y);
  app->ProcessMessages();
  EXPECT_TRUE(Form1->sGroupBox1->Visible());
  fake->Click(Form1->Handle(), platform::MouseButton::Left, toggle.X, toggle.Y);
  app->ProcessMessages();
  EXPECT_FALSE(Form1->sGroupBox1->Visible());
}

class Startup : public ProgramFixture {
 protected:
  void FormsCreated() override {
    overlayShownAtCreation = Form2->Visible();
    overlayHiddenAtCreation = OverlayHidden;
    if (const auto* w = fake->Window(Form2->Handle())) overlayGeometry = w->geometry;
  }
  bool overlayShownAtCreation = false;
  bool overlayHiddenAtCreation = true;
  platform::Rect overlayGeometry;
};

TEST_F(Startup, TheOverlayShowsWhenCreatedAndHidesWhenTheMainWindowIsActivated) {
  EXPECT_TRUE(overlayShownAtCreation);
  EXPECT_FALSE(overlayHiddenAtCreation);
  EXPECT_EQ(overlayGeometry, (platform::Rect{0, 0, kScreenWidth, kScreenHeight}));
  EXPECT_FALSE(Form2->Visible());
  EXPECT_TRUE(OverlayHidden);
  EXPECT_EQ(fake->ActiveWindow(), Form1->Handle());
  ASSERT_EQ(fake->HotKeys().size(), 1u);
  const auto& k = fake->HotKeys()[0];
  EXPECT_EQ(k.window, Form1->Handle());
  EXPECT_EQ(k.id, 1);
  EXPECT_EQ(k.modifiers, 0u);
  EXPECT_EQ(k.vk, VK_F7);
  EXPECT_EQ(HotKeyCode, VK_F7);
  EXPECT_TRUE(FileSearchFlag);
  // Activating the main window again hides a showing overlay.
  PressHotKey();
  ASSERT_TRUE(Form2->Visible());
  fake->Activate(Form1->Handle());
  app->ProcessMessages();
  EXPECT_FALSE(Form2->Visible());
  EXPECT_TRUE(OverlayHidden);
}

TEST_F(MainWindow, TheSkinManagerHoldsTheStoredDarkSkinLoaded) {
  ASSERT_NE(Form1->sSkinManager1, nullptr);
  const TsSkinManager& manager = *Form1->sSkinManager1;
  EXPECT_EQ(Form1->sSkinManager1->InternalSkins().Count(), 1);
  EXPECT_EQ(manager.SkinName(), kDarkMetroSkinName);
  EXPECT_TRUE(manager.Active());
  EXPECT_EQ(manager.SkinInfo(), "8.12");
  EXPECT_GE(manager.SectionIndexOf("PANEL_LOW"), 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, OnlyHotKeyIdOneCounts) {
  fake->PostMessage(Form1->Handle(), WM_HOTKEY, 2, VK_F7 << 16);
  app->ProcessMessages();
  EXPECT_FALSE(Form2->Visible());
  fake->PostMessage(Form1->Handle(), WM_HOTKEY, 1, VK_F7 << 16);
  app->ProcessMessages();
  EXPECT_TRUE(Form2->Visible());
}

TEST_F(MainWindow, PickingAnotherKeyFreesTheOldOneAtOnce) {
  Form1->sComboBox1->SetItemIndex(10);  // "Pause"
  Form1->sComboBox1->Change();
  EXPECT_EQ(HotKeyCode, VK_PAUSE);
  ASSERT_EQ(fake->HotKeys().size(), 1u);
  EXPECT_EQ(fake->HotKeys()[0].vk, VK_PAUSE);
  EXPECT_EQ(fake->HotKeys()[0].id, 1);
  // F7 no longer reaches us, and another program can have it.
  EXPECT_FALSE(fake->PressHotKey(VK_F7));
  EXPECT_TRUE(fake->RegisterHotKey(Form2->Handle(), 7, 0, VK_F7));
  fake->UnregisterHotKey(Form2->Handle(), 7);
  // Pause shows the overlay while the main window is active; a second press grabs the screen.
  ASSERT_EQ(fake->ActiveWindow(), Form1->Handle());
  ASSERT_TRUE(fake->PressHotKey(VK_PAUSE));
  app->ProcessMessages();
  EXPECT_TRUE(Form2->Visible());
  ASSERT_TRUE(fake->PressHotKey(VK_PAUSE));
  app->ProcessMessages();
  EXPECT_FALSE(Form2->Visible());
  EXPECT_EQ(Form1->Picture().Width(), kScreenWidth);
  EXPECT_EQ(Form1->Picture().Height(), kScreenHeight);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, AnEmptyChoiceRegistersNothingAndIsNoConflict) {
  Form1->sComboBox1->SetItemIndex(-1);
  Form1->sComboBox1->Change();
  EXPECT_EQ(HotKeyCode, 0);
  EXPECT_TRUE(fake->HotKeys().empty());
  EXPECT_FALSE(fake->PressHotKey(VK_F7));
  EXPECT_FALSE(Form1->HotKeyTakenLabel->Visible());
  // Choosing a key again brings the hot key back.
  Form1->sComboBox1->SetItemIndex(3);
  Form1->sComboBox1->Change();
  EXPECT_TRUE(fake->PressHotKey(VK_F7));
}

TEST_F(MainWindow, ClosingTheWindowReleasesTheHotKey) {
  Form1->Close();
  EXPECT_TRUE(fake->HotKeys().empty());
  EXPECT_TRUE(fake->RegisterHotKey(Form2->Handle(), 7, 0, VK_F7));
}

class HotKeyTaken : public ProgramFixture {
 protected:
  void BeforeForms() override { fake->MarkHotKeyTaken(VK_F7); }
};

TEST_F(HotKeyTaken, TheSettingsPanelSaysSoNextToTheList) {
  TLabel* note = Form1->HotKeyTakenLabel;
  EXPECT_TRUE(note->Visible());
  EXPECT_EQ(note->Caption(), "Taken by another program");
  EXPECT_EQ(note->Parent(), Form1->sGroupBox1);
  // Right under the list, inside the panel and clear of the rows below.
  EXPECT_GE(note->Top(), Form1->sComboBox1->Top() + Form1->sComboBox1->Height() - 1);
  EXPECT_LE(note->Top() + note->Height(), Form1->sLabel2->Top());
  EXPECT_LE(note->Left() + note->Width(), Form1->sGroupBox1->Width());
  EXPECT_TRUE(fake->HotKeys().empty());

  // Another key can be had: the note goes; back to the taken one: it returns and F8 is free.
  Form1->sComboBox1->SetItemIndex(4);
  Form1->sComboBox1->Change();
  EXPECT_FALSE(note->Visible());
  EXPECT_TRUE(fake->PressHotKey(VK_F7 + 1));
  Form1->sComboBox1->SetItemIndex(3);
  Form1->sComboBox1->Change();
  EXPECT_TRUE(note->Visible());
  EXPECT_FALSE(fake->PressHotKey(VK_F7 + 1));
  // Once the other program lets the key go, picking it again takes it.
  fake->MarkHotKeyTaken(VK_F7, false);
  Form1->sComboBox1->SetItemIndex(3);
  Form1->sComboBox1->Change();
  EXPECT_FALSE(note->Visible());
  EXPECT_TRUE(fake->PressHotKey(VK_F7));
}

}  // namespace
}  // namespace tv::testing
