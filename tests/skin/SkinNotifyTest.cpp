// The manager's commands reaching forms and controls, and the skin data of a control.
#include <gtest/gtest.h>

#include "framework/AppFixture.h"
#include "framework/Form.h"
#include "framework/graphics/TCanvas.h"
#include "skin/DarkMetroSkin.h"
#include "skin/SkinTestSupport.h"
#include "skin/sCommonData.h"

namespace tv {
namespace {

std::vector<std::string>* g_log = nullptr;

void Log(const TControl* c, const TMessage& m) {
  if (g_log && m.Msg == SM_ALPHACMD) g_log->push_back(c->Name() + ":" + std::to_string(AlphaCmdOf(m.WParam)));
}

class SkinnedPanel : public TWinControl {
 public:
  SkinnedPanel(TComponent* owner, int kind = COC_TsScrollBox) : TWinControl(owner), SkinData(this, kind, "TSkinnedPanel") {}
  void WndProc(TMessage& m) override {
    Log(this, m);
    if (SkinData.HandleSkinMessage(m)) return;
    TWinControl::WndProc(m);
  }
  TsCommonData SkinData;
};

class SkinnedLabel : public TControl {
 public:
  explicit SkinnedLabel(TComponent* owner) : TControl(owner), SkinData(this, COC_TsCheckBox, "TSkinnedLabel") {}
  void WndProc(TMessage& m) override {
    Log(this, m);
    if (SkinData.HandleSkinMessage(m)) return;
    TControl::WndProc(m);
  }
  TsCommonData SkinData;
};

class LoggingForm : public TForm {
 public:
  using TForm::TForm;
  void WndProc(TMessage& m) override {
    Log(this, m);
    TForm::WndProc(m);
  }
};

class SkinNotifyTest : public testing::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    g_log = &log;
    form = Create<LoggingForm>(app);
    form->SetName("Form");
    outer = Create<SkinnedPanel>(form);
    outer->SetName("Outer");
    outer->SetParent(form);
    outer->SetBounds(0, 0, 100, 50);
    inner = Create<SkinnedPanel>(form, COC_TsEdit);
    inner->SetName("Inner");
    inner->SetParent(outer);
    label = Create<SkinnedLabel>(form);
    label->SetName("Label");
    label->SetParent(outer);
    second = Create<SkinnedPanel>(form, COC_TsButton);
    second->SetName("Second");
    second->SetParent(form);
    manager = Create<TsSkinManager>(form);
    manager->SetSkinDirectory("/nonexistent-skins");
    AddDarkMetroSkin(*manager);
  }
  void TearDown() override {
    g_log = nullptr;
    AppFixture::TearDown();
  }

  std::vector<std::string> log;
  LoggingForm* form = nullptr;
  SkinnedPanel* outer = nullptr;
  SkinnedPanel* inner = nullptr;
  SkinnedLabel* label = nullptr;
  SkinnedPanel* second = nullptr;
  TsSkinManager* manager = nullptr;
};

TEST_F(SkinNotifyTest, ApplyingReachesEveryControlDepthFirstAndBindsThem) {
  manager->SetSkinName(kDarkMetroSkinName);
  ASSERT_TRUE(errors.empty()) << errors.front();
  std::vector<std::string> expected;
  for (int command : {AC_SETNEWSKIN, AC_PREPARING, AC_REFRESH})
    for (const char* who : {"Form", "Outer", "Label", "Inner", "Second"})
      expected.push_back(std::string(who) + ":" + std::to_string(command));
  EXPECT_EQ(log, expected);

  EXPECT_EQ(outer->SkinData.SkinSection(), "PANEL_LOW");
  EXPECT_EQ(outer->SkinData.SectionIndex(), manager->SectionIndexOf("PANEL_LOW"));
  EXPECT_EQ(outer->Color(), 0x141414);
  EXPECT_EQ(outer->Font().Color(), 0xADADAD);
  EXPECT_EQ(inner->SkinData.SkinSection(), "EDIT");
  EXPECT_EQ(inner->SkinData.BorderMaskIndex(), manager->OwnMaskIndexOf("EDIT", "BORDERSMASK"));
  EXPECT_EQ(label->SkinData.SkinSection(), "CHECKBOX");
  EXPECT_TRUE(label->SkinData.Transparent());
  EXPECT_EQ(second->SkinData.SkinSection(), "BUTTON");
  EXPECT_EQ(second->SkinData.BackgroundKind(), TsBackgroundKind::Gradient);
  EXPECT_EQ(second->SkinData.GradientLayout(), TsGradientLayout::Vertical);
}

TEST_F(SkinNotifyTest, DroppingTheSkinUnbindsAndGivesEditsTheirSystemColours) {
  manager->SetSkinName(kDarkMetroSkinName);
  log.clear();
  manager->SetActive(false);
  EXPECT_EQ(log, (std::vector<std::string>{"Form:2", "Outer:2", "Label:2", "Inner:2", "Second:2"}));
  EXPECT_FALSE(outer->SkinData.Skinned());
  EXPECT_EQ(outer->SkinData.BorderMaskIndex(), -1);
  EXPECT_EQ(inner->Color(), clWindow);
  EXPECT_EQ(inner->Font().Color(), clWindowText);
  EXPECT_EQ(outer->Color(), 0x141414);  // not an edit: keeps its colour
}

TEST_F(SkinNotifyTest, CommandsOfAnotherManagerAreIgnored) {
  manager->SetSkinName(kDarkMetroSkinName);
  TsSkinManager other;
  TMessage m{SM_ALPHACMD, MakeAlphaCmd(AC_REMOVESKIN), reinterpret_cast<LPARAM>(&other), 0};
  outer->WindowProc()(m);
  EXPECT_TRUE(outer->SkinData.Skinned());
}

TEST_F(SkinNotifyTest, AssigningSectionsRebindsAndRefreshesItself) {
  manager->SetSkinName(kDarkMetroSkinName);
  log.clear();
  outer->SkinData.SetSkinSection("button");
  EXPECT_EQ(outer->SkinData.SkinSection(), "BUTTON");
  EXPECT_EQ(outer->Color(), 0x444444);
  EXPECT_EQ(log, (std::vector<std::string>{"Outer:3"}));
  log.clear();
  outer->SkinData.SetSkinSection("NO SUCH SECTION");
  EXPECT_FALSE(outer->SkinData.Skinned());
  EXPECT_EQ(log, (std::vector<std::string>{"Outer:2"}));
  outer->SkinData.SetSkinSection("");
  EXPECT_EQ(outer->SkinData.SkinSection(), "PANEL_LOW");
  EXPECT_TRUE(outer->SkinData.Skinned());

  outer->SkinData.SetCustomColor(true);
  outer->SetColor(0x00FF00);
  outer->SkinData.SetSkinSection("BUTTON");
  EXPECT_EQ(outer->Color(), 0x00FF00);  // custom colour kept
  EXPECT_EQ(outer->SkinData.BackgroundColor(false), 0x00FF00);

  outer->SkinData.SetSkinManager(manager);  // the default manager is stored as null
  EXPECT_EQ(outer->SkinData.SkinManager(), nullptr);
}

TEST_F(SkinNotifyTest, BackgroundColoursByStateAndTransparency) {
  manager->SetSkinName(kDarkMetroSkinName);
  second->SkinData.SetSkinSection("BUTTON");
  EXPECT_EQ(second->SkinData.BackgroundColor(false), 0x444444);
  EXPECT_EQ(second->SkinData.BackgroundColor(true), 0xE2A11B);
  // PANEL_LOW has one state: hot is normal.
  EXPECT_EQ(outer->SkinData.BackgroundColor(true), 0x141414);
  // CHECKBOX is fully transparent: the parent's colour, answered by the skinned parent.
  EXPECT_EQ(label->SkinData.BackgroundColor(false), 0x141414);
  // A speed button at rest is transparent over the form; hot it is opaque.
  second->SkinData.SetSkinSection("SPEEDBUTTON");
  EXPECT_EQ(second->SkinData.BackgroundColor(false), ColorToRGB(form->Color()));
  EXPECT_EQ(second->SkinData.BackgroundColor(true), 0xE2A11B);

  TsSkinManager half;
  half.SetIsDefault(true);
  test::AddStoredSkin(half, "Half", "[GLOBALINFO]\r\n[HALF]\r\nSTATES=1\r\nCOLOR=0\r\nTRANSPARENCY=25\r\n");
  half.SetSkinName("Half");
  SkinnedPanel* p = Create<SkinnedPanel>(form);
  p->SetParent(form);
  form->SetColor(0xFFFFFF);
  p->SkinData.SetSkinSection("HALF");
  EXPECT_EQ(p->SkinData.BackgroundColor(false), 0x404040);  // 255 * 25 / 100 = 63.75 -> 64
  manager->SetIsDefault(true);
}

}  // namespace
}  // namespace tv
