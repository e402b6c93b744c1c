#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/ClassicPaint.h"
#include "framework/controls/TComboBox.h"

using namespace tv;

namespace {

class ComboBoxTest : public tv::testing::ControlsFixture {
 protected:
  void SetUp() override {
    ControlsFixture::SetUp();
    combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(56, 19, 60, 21);
    for (const char* k : {"F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "Scr Lk", "Pause"}) combo->Items().Add(k);
    combo->SetItemIndex(3);
    combo->OnChange = [this](TObject*) { changes.push_back(combo->Text()); };
    combo->SetFocus();
    app->ProcessMessages();
  }
  HWND ListWindow() const { return combo->ListForm()->Handle(); }

  TComboBox* combo = nullptr;
  std::vector<std::string> changes;
};

}  // namespace

TEST_F(ComboBoxTest, AnInvalidIndexClearsSelectionAndTextWithoutOnChange) {
  EXPECT_EQ(combo->Text(), "F7");
  for (int bad : {-1, 11, 100, -5}) {
    combo->SetItemIndex(4);
    combo->SetItemIndex(bad);
    EXPECT_EQ(combo->ItemIndex(), -1) << bad;
    EXPECT_EQ(combo->Text(), "") << bad;
  }
  combo->SetItemIndex(10);
  EXPECT_EQ(combo->Text(), "Pause");
  EXPECT_TRUE(changes.empty());
  // Text from the program selects the matching item, or nothing.
  combo->SetText("F9");
  EXPECT_EQ(combo->ItemIndex(), 5);
  combo->SetText("F13");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_TRUE(changes.empty());
  // Removing the selected item leaves nothing selected.
  combo->SetItemIndex(10);
  combo->Items().Delete(10);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboBoxTest, ArrowKeysWhileClosedChangeTheSelectionAndRaiseOnChange) {
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_UP);
  EXPECT_EQ(changes, (std::vector<std::string>{"F8", "F9", "F8"}));
  Key(VK_END);
  Key(VK_DOWN);  // at the end: nothing changes, nothing raised
  EXPECT_EQ(changes.back(), "Pause");
  EXPECT_EQ(changes.size(), 4u);
  Key(VK_HOME);
  EXPECT_EQ(combo->ItemIndex(), 0);
  // Typing selects the next item starting with the letter.
  Type("p");
  EXPECT_EQ(combo->Text(), "Pause");
  // From no selection, Down selects the first item.
  combo->SetItemIndex(-1);
  changes.clear();
  Key(VK_DOWN);
  EXPECT_EQ(changes, std::vector<std::string>{"F4"});
  EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(ComboBoxTest, AClickOpensTheListAndAPickClosesItAndRaisesOnChange) {
  std::vector<std::string> log;
  combo->OnDropDown = [&](TObject*) { log.push_back("drop"); };
  combo->OnCloseUp = [&](TObject*) { log.push_back("close"); };
  Click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  TComboListForm* list = combo->ListForm();
  // Under the box, as wide as it, with DropDownCount rows; stay-on-top and borderless.
  const TPoint below = combo->ClientToScreen({0, combo->Height()});
  EXPECT_EQ(list->Left(), below.X);
  EXPECT_EQ(list->Top(), below.Y);
  EXPECT_EQ(list->Width(), combo->Width());
  EXPECT_EQ(list->VisibleCount(), 8);
  const auto* rec = fake->Window(ListWindow());
  ASSERT_NE(rec, nullptr);
  EXPECT_TRUE(rec->visible);
  EXPECT_TRUE(rec->stayOnTop);
  EXPECT_TRUE(rec->borderless);
  EXPECT_EQ(list->HotIndex(), 3);

  // Pick the second row ("F5").
  const TRect row = list->ItemRect(1);
  fake->MouseMove(ListWindow(), row.Left + 3, row.Top + 2);
  fake->Click(ListWindow(), platform::MouseButton::Left, row.Left + 3, row.Top + 2);
  app->ProcessMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "F5");
  EXPECT_EQ(changes, std::vector<std::string>{"F5"});
  EXPECT_EQ(log, (std::vector<std::string>{"drop", "close"}));
  EXPECT_EQ(fake->ActiveWindow(), form->Handle());
}

TEST_F(ComboBoxTest, KeyboardOpensTheListEscapeCancelsEnterPicks) {
  Key(VK_DOWN, platform::kAlt);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(fake->ActiveWindow(), ListWindow());
  Key(VK_DOWN, 0, ListWindow());
  Key(VK_DOWN, 0, ListWindow());
  EXPECT_EQ(combo->ListForm()->HotIndex(), 5);
  EXPECT_TRUE(changes.empty());  // moving in the open list selects nothing yet
  Key(VK_ESCAPE, 0, ListWindow());
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "F7");
  EXPECT_TRUE(changes.empty());

  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  Key(VK_END, 0, ListWindow());
  EXPECT_EQ(combo->ListForm()->TopIndex(), 3);  // scrolled to keep the last item in view
  Key(VK_RETURN, 0, ListWindow());
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Pause");
  EXPECT_EQ(changes, std::vector<std::string>{"Pause"});
}

TEST_F(ComboBoxTest, TheListClosesWhenItLosesActivationOrOnAPressOutside) {
  auto* other = Create<TForm>(app);
  other->Show();
  app->ProcessMessages();
  combo->ParentForm()->SetFocus();
  app->ProcessMessages();

  Click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  fake->Activate(other->Handle());
  app->ProcessMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_TRUE(changes.empty());

  fake->Activate(form->Handle());
  app->ProcessMessages();
  Click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  // The list holds the mouse: a press beyond its edges arrives with outside coordinates.
  fake->MouseDown(ListWindow(), platform::MouseButton::Left, -40, -40);
  app->ProcessMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "F7");
  EXPECT_TRUE(changes.empty());
}

TEST_F(ComboBoxTest, APressOnTheBoxThatTakesTheActivationFromTheListOnlyClosesIt) {
  Click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  // The press on the box: the list loses the activation first, with the button already down.
  const TPoint p = InForm(combo, 30, 10);
  fake->SetKeyDown(VK_LBUTTON, true);
  fake->MouseMove(form->Handle(), p.X, p.Y);
  fake->Activate(form->Handle());
  fake->MouseDown(form->Handle(), platform::MouseButton::Left, p.X, p.Y);
  app->ProcessMessages();
  fake->SetKeyDown(VK_LBUTTON, false);
  fake->MouseUp(form->Handle(), platform::MouseButton::Left, p.X, p.Y);
  app->ProcessMessages();
  EXPECT_FALSE(combo->DroppedDown());
  // The next click opens it again.
  Click(combo, 30, 10);
  EXPECT_TRUE(combo->DroppedDown());
}

TEST_F(ComboBoxTest, ANarrowBoxOpensAListWideEnoughForItsItems) {
  combo->SetBounds(56, 19, 35, 21);  // the settings panel's hot-key list
  Click(combo, 10, 10);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_GT(combo->ListForm()->Width(), 35);
  const TRect row = combo->ListForm()->ItemRect(9);
  EXPECT_GE(row.Width(), classic::TextWidthOf(combo->Font(), "Scr Lk"));
}

TEST_F(ComboBoxTest, TheListOpensAboveTheBoxNearTheBottomOfTheScreen) {
  form->SetBounds(100, 700, 400, 60);
  app->ProcessMessages();
  Click(combo, 30, 10);
  ASSERT_TRUE(combo->DroppedDown());
  TComboListForm* list = combo->ListForm();
  EXPECT_EQ(list->Top() + list->Height(), combo->ClientToScreen({0, 0}).Y);
}
