#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/controls/ControlsFixture.h"
#include "framework/controls/TEdit.h"

using namespace tv;

namespace {

class EditTest : public tv::testing::ControlsFixture {
 protected:
  void SetUp() override {
    ControlsFixture::SetUp();
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 200, 21);
    edit->OnChange = [this](TObject*) { changes.push_back(edit->Text()); };
    edit->SetFocus();
    app->ProcessMessages();
  }
  TEdit* edit = nullptr;
  std::vector<std::string> changes;
};

}  // namespace

TEST_F(EditTest, TypingInsertsAtTheCaretAndEditingKeysWork) {
  Type("hello");
  EXPECT_EQ(edit->Text(), "hello");
  EXPECT_EQ(edit->CaretPos(), 5);
  Key(VK_HOME);
  Type(">");
  Key(VK_END);
  Type("!");
  EXPECT_EQ(edit->Text(), ">hello!");
  Key(VK_BACK);
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "hello");
  // Control characters are keys, not text.
  Type("\b\x01\r");
  EXPECT_EQ(edit->Text(), "hello");
  EXPECT_EQ(changes, (std::vector<std::string>{"h", "he", "hel", "hell", "hello", ">hello", ">hello!", ">hello",
                                               "hello"}));
}

TEST_F(EditTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
  edit->SetText("one two");
  Key(VK_END);
  Key(VK_LEFT, platform::kShift);
  Key(VK_LEFT, platform::kShift);
  Key(VK_LEFT, platform::kShift);
  EXPECT_EQ(edit->SelText(), "two");
  EXPECT_EQ(edit->SelStart(), 4);
  EXPECT_EQ(edit->SelLength(), 3);
  Type("2");
  EXPECT_EQ(edit->Text(), "one 2");
  // Ctrl+Shift+Left selects a word; Left collapses to the selection's start.
  Key(VK_LEFT, platform::kShift | platform::kCtrl);
  EXPECT_EQ(edit->SelText(), "2");
  Key(VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 4);
  EXPECT_EQ(edit->SelLength(), 0);
  Key(VK_HOME, platform::kShift);
  EXPECT_EQ(edit->SelText(), "one ");
}

TEST_F(EditTest, ClipboardKeysGoThroughThePlatformClipboard) {
  edit->SetText("copy me");
  Key('A', platform::kCtrl);
  Key('C', platform::kCtrl);
  EXPECT_EQ(fake->ClipboardText(), "copy me");
  Key(VK_RIGHT);
  Key('V', platform::kCtrl);
  EXPECT_EQ(edit->Text(), "copy mecopy me");
  Key(VK_HOME);
  Key(VK_RIGHT, platform::kShift);
  Key(VK_RIGHT, platform::kShift);
  Key('X', platform::kCtrl);
  EXPECT_EQ(fake->ClipboardText(), "co");
  EXPECT_EQ(edit->Text(), "py mecopy me");
  // A pasted text stops at its first line break.
  fake->SetClipboardText("first\r\nsecond");
  Key(VK_END);
  Key(VK_INSERT, platform::kShift);
  EXPECT_EQ(edit->Text(), "py mecopy mefirst");
  // Read-only: copying works, changing does not.
  edit->SetReadOnly(true);
  Key('A', platform::kCtrl);
  Key('X', platform::kCtrl);
  Type("z");
  EXPECT_EQ(edit->Text(), "py mecopy mefirst");
}

TEST_F(EditTest, MaxLengthCountsCharactersAndNeverSplitsOne) {
  edit->SetMaxLength(5);
  Type("Привет");  // six two-byte characters
  EXPECT_EQ(edit->Text(), "Приве");
  EXPECT_EQ(edit->CharCount(), 5);
  Type("x");
  EXPECT_EQ(edit->Text(), "Приве");
  Key(VK_BACK);
  EXPECT_EQ(edit->Text(), "Прив");
  // A paste fills the room left and cuts at a character boundary (a three-byte and a
  // four-byte character).
  fake->SetClipboardText("€😀abc");
  Key('V', platform::kCtrl);
  EXPECT_EQ(edit->Text(), "Прив€");
  Key(VK_HOME);
  Key(VK_RIGHT, platform::kShift);
  EXPECT_EQ(edit->SelText(), "П");
  fake->SetClipboardText("😀😀");
  Key('V', platform::kCtrl);  // replacing one character leaves room for one
  EXPECT_EQ(edit->Text(), "😀рив€");
  Key(VK_END);
  Key(VK_LEFT, platform::kShift);
  EXPECT_EQ(edit->SelText(), "€");
  EXPECT_EQ(edit->SelStart(), 4);
  // Lowering the limit keeps the text that is there.
  edit->SetMaxLength(2);
  EXPECT_EQ(edit->CharCount(), 5);
}

TEST_F(EditTest, AClickPlacesTheCaretAndADragSelects) {
  edit->SetText("abcdef");
  Click(edit, 150, 10);
  EXPECT_EQ(edit->CaretPos(), 6);
  Click(edit, 3, 10);
  EXPECT_EQ(edit->CaretPos(), 0);
  Press(edit, 3, 10);
  Move(edit, 150, 10);
  Release(edit, 150, 10);
  EXPECT_EQ(edit->SelText(), "abcdef");
  // Shift+click extends from the anchor.
  Click(edit, 3, 10);
  Click(edit, 150, 10, platform::kShift);
  EXPECT_EQ(edit->SelLength(), 6);
}

TEST_F(EditTest, FocusByTabSelectsAllAndUtf8HelpersStepWholeCharacters) {
  auto* second = new TEdit(form);
  second->SetParent(form);
  second->SetBounds(10, 40, 100, 21);
  second->SetText("selected");
  Key(VK_TAB);
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(second->SelText(), "selected");

  const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z\xFF";  // a é € 😀 z and a stray byte
  std::vector<std::size_t> stops;
  for (std::size_t i = 0; i < s.size(); i = utf8::Next(s, i)) stops.push_back(i);
  EXPECT_EQ(stops, (std::vector<std::size_t>{0, 1, 3, 6, 10, 11}));
  EXPECT_EQ(utf8::Count(s), 6);
  EXPECT_EQ(utf8::Prev(s, 10), 6u);
  EXPECT_EQ(utf8::Prev(s, 6), 3u);
  EXPECT_EQ(utf8::Head(s, 3), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(utf8::Encode(0x1F600), "\xF0\x9F\x98\x80");
}

TEST_F(EditTest, TheCaretStaysInViewInANarrowField) {
  edit->SetWidth(60);
  Type("a fairly long line of text that cannot fit");
  // The end of the text is at the right edge, the start scrolled out.
  EXPECT_EQ(edit->CharPosFromX(edit->Width() - 4), edit->CharCount());
  EXPECT_GT(edit->CharPosFromX(4), 0);
  Key(VK_HOME);
  EXPECT_EQ(edit->CharPosFromX(4), 0);
  // Dragging past the right edge selects to the end.
  Press(edit, 5, 10);
  Move(edit, 500, 10);
  Release(edit, 500, 10);
  EXPECT_GT(edit->SelLength(), 0);
}

// Every string of up to four bytes from the bytes that matter: stepping back meets only the
// boundaries stepping forward meets, and no step lands inside a well-formed character.
TEST(Utf8Stepping, ForwardAndBackwardStepsAgreeOnEveryShortString) {
  const std::vector<char> alphabet = {'a', '\x80', '\xBF', '\xC3', '\xA9', '\xE2', '\x82', '\xF0', '\x9F', '\xFF'};
  std::vector<std::string> all = {""};
  for (int len = 1; len <= 4; ++len) {
    std::vector<std::string> next;
    for (const std::string& s : all)
      if (static_cast<int>(s.size()) == len - 1)
        for (char c : alphabet) next.push_back(s + c);
    all.insert(all.end(), next.begin(), next.end());
  }
  for (const std::string& s : all) {
    std::vector<std::size_t> forward;
    for (std::size_t i = 0; i < s.size(); i = utf8::Next(s, i)) forward.push_back(i);
    forward.push_back(s.size());
    std::vector<std::size_t> backward = {s.size()};
    for (std::size_t i = s.size(); i > 0;) {
      i = utf8::Prev(s, i);
      backward.push_back(i);
    }
    std::reverse(backward.begin(), backward.end());
    ASSERT_EQ(forward, backward) << ::testing::PrintToString(s);
  }
}
