#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/AppFixture.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Screen.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TEdit.h"
#include "framework/controls/TLabel.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/dialogs/TInputForm.h"
#include "framework/dialogs/TMessageForm.h"
#include "framework/dialogs/TSaveDialog.h"

using namespace tv;

namespace {

class DialogsTest : public tv::testing::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    fake->SetScreenSize({1024, 768});
  }
  void TearDown() override {
    fake->SetIdleHook(nullptr);
    AppFixture::TearDown();
  }

  template <class T>
  static T* OpenForm() {
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
  }

  // Runs `answer` once, the first time the loop would wait, on the open form of type T.
  template <class T>
  void AnswerWith(std::function<void(T*)> answer) {
    auto done = std::make_shared<bool>(false);
    fake->SetIdleHook([this, done, answer] {
      if (*done) return false;
      T* f = OpenForm<T>();
      if (!f) return false;
      *done = true;
      answer(f);
      return true;
    });
  }
};

}  // namespace

TEST_F(DialogsTest, AMessageBoxIsAnsweredByAKeyPress) {
  struct Case {
    UINT flags;
    UINT key;
    int expected;
  };
  const std::vector<Case> cases = {
      {MB_OK, VK_RETURN, IDOK},        {MB_OK, VK_ESCAPE, IDOK},         {MB_OKCANCEL, VK_RETURN, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL}, {MB_YESNO, VK_RETURN, IDYES},  {MB_YESNOCANCEL, VK_ESCAPE, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.flags) + " key " + std::to_string(c.key));
    AnswerWith<TMessageForm>([&](TMessageForm* f) { fake->KeyDown(f->Handle(), c.key); });
    EXPECT_EQ(MessageBox("Question?", "Tovalin", c.flags), c.expected);
    EXPECT_EQ(OpenForm<TMessageForm>(), nullptr);
  }
}

TEST_F(DialogsTest, AYesNoBoxIgnoresEscapeAndClosingUntilAButtonIsChosen) {
  int step = 0;
  fake->SetIdleHook([&] {
    TMessageForm* f = OpenForm<TMessageForm>();
    if (!f) return false;
    switch (step++) {
      case 0:
        fake->KeyDown(f->Handle(), VK_ESCAPE);
        return true;
      case 1:
        fake->CloseRequest(f->Handle());
        return true;
      case 2: {
        TButton* no = f->ButtonFor(IDNO);
        fake->Click(f->Handle(), platform::MouseButton::Left, no->Left() + 5, no->Top() + 5);
        return true;
      }
      default:
        return false;
    }
  });
  EXPECT_EQ(MessageBox("Really?", "Tovalin", MB_YESNO | MB_ICONWARNING), IDNO);
  EXPECT_EQ(step, 3);
}

TEST_F(DialogsTest, AVeryLongWordWrapsInsteadOfWideningTheBoxPastTheScreen) {
  const std::string path = "/home/user/" + std::string(300, 'x') + "/Settings.ini";
  int width = 0, height = 0, lineHeight = 0;
  std::string shown;
  AnswerWith<TMessageForm>([&](TMessageForm* f) {
    width = f->Width();
    height = f->TextLabel()->Height();
    lineHeight = classic::FontLineHeight(f->TextLabel()->Font());
    shown = f->TextLabel()->Caption();
    fake->KeyDown(f->Handle(), VK_RETURN);
  });
  MessageBox("Unable to write to " + path, "Tovalin", MB_OK | MB_ICONERROR);
  EXPECT_LE(width, 1024);
  EXPECT_GE(height, 3 * lineHeight);
  std::erase(shown, '\n');
  EXPECT_EQ(shown, "Unable to write to " + path);
}

TEST_F(DialogsTest, AButtonsAcceleratorLetterAnswersTheBox) {
  AnswerWith<TMessageForm>([&](TMessageForm* f) { fake->Char(f->Handle(), "N"); });
  EXPECT_EQ(MessageBox("Save?", "Tovalin", MB_YESNOCANCEL), IDNO);
  // In an edit field the letter is text, not an accelerator.
  AnswerWith<TInputForm>([&](TInputForm* f) {
    fake->Char(f->Handle(), "oc");
    fake->KeyDown(f->Handle(), VK_RETURN);
  });
  EXPECT_EQ(InputBox("Caption", "Prompt", ""), "oc");
}

TEST_F(DialogsTest, TheMessageBoxIsCentredAndHonoursLineBreaks) {
  TMessageForm* seen = nullptr;
  int lines = 0, oneLine = 0;
  TRect bounds;
  std::string caption;
  AnswerWith<TMessageForm>([&](TMessageForm* f) {
    seen = f;
    bounds = f->BoundsRect();
    caption = f->Caption();
    lines = f->TextLabel()->Height();
    oneLine = classic::FontLineHeight(f->TextLabel()->Font());
    EXPECT_NE(f->IconImage(), nullptr);
    EXPECT_TRUE(f->ButtonFor(IDOK)->Focused());
    fake->KeyDown(f->Handle(), VK_RETURN);
  });
  MessageBox("Bind a hotkey.\r\nPush it twice,\r\nor once.", "Tovalin", MB_OK | MB_ICONINFORMATION);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(caption, "Tovalin");
  EXPECT_EQ(lines, 3 * oneLine);
  EXPECT_EQ(bounds.Left, (1024 - bounds.Width()) / 2);
  EXPECT_EQ(bounds.Top, (768 - bounds.Height()) / 2);

  // ShowMessage: the application's title, one OK button.
  app->SetTitle("Title here");
  AnswerWith<TMessageForm>([&](TMessageForm* f) {
    caption = f->Caption();
    EXPECT_EQ(f->Buttons().size(), 1u);
    EXPECT_EQ(f->IconImage(), nullptr);
    fake->KeyDown(f->Handle(), VK_SPACE);
    fake->KeyUp(f->Handle(), VK_SPACE);
  });
  ShowMessage("Hello");
  EXPECT_EQ(caption, "Title here");
}

TEST_F(DialogsTest, AnUncaughtExceptionIsShownInTheMessageBoxAndTheLoopGoesOn) {
  InstallDialogs();
  struct Thrower : TForm {
    using TForm::TForm;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_USER + 1) throw EIniFileException("Unable to write to /opt/tovalin/Settings.ini");
      if (m.Msg == WM_USER + 2) ++handled;
      TForm::WndProc(m);
    }
    int handled = 0;
  };
  auto* f = app->CreateForm<Thrower>();
  f->Show();
  std::string text, caption;
  AnswerWith<TMessageForm>([&](TMessageForm* box) {
    text = box->TextLabel()->Caption();
    caption = box->Caption();
    fake->KeyDown(box->Handle(), VK_RETURN);
  });
  PostMessage(f->Handle(), WM_USER + 1);
  PostMessage(f->Handle(), WM_USER + 2);
  app->ProcessMessages();
  EXPECT_EQ(text, "Unable to write to /opt/tovalin/Settings.ini.");
  EXPECT_EQ(caption, "Tovalin");
  EXPECT_EQ(f->handled, 1);
  PostMessage(f->Handle(), WM_USER + 2);
  app->ProcessMessages();
  EXPECT_EQ(f->handled, 2);
  EXPECT_FALSE(app->Terminated());
}

TEST_F(DialogsTest, OnlyOkHandsTheInputBackAndTheLayoutFollowsDialogUnits) {
  AnswerWith<TInputForm>([&](TInputForm* f) {
    EXPECT_TRUE(f->Edit()->Focused());
    EXPECT_EQ(f->Edit()->SelText(), "old");
    fake->Char(f->Handle(), "new text");
    fake->KeyDown(f->Handle(), VK_RETURN);
  });
  std::string value = "old";
  EXPECT_TRUE(InputQuery("Input text", "Insert text there:", value));
  EXPECT_EQ(value, "new text");

  AnswerWith<TInputForm>([&](TInputForm* f) {
    fake->Char(f->Handle(), "typed");
    fake->KeyDown(f->Handle(), VK_ESCAPE);
  });
  EXPECT_FALSE(InputQuery("Input text", "Insert text there:", value));
  EXPECT_EQ(value, "new text");

  AnswerWith<TInputForm>([&](TInputForm* f) {
    fake->Char(f->Handle(), "typed");
    TButton* cancel = f->CancelButton();
    fake->Click(f->Handle(), platform::MouseButton::Left, cancel->Left() + 3, cancel->Top() + 3);
  });
  EXPECT_EQ(InputBox("Input text", "Insert text there:", ""), "");

  // The layout in dialog units of the dialog's font.
  TInputForm* seen = nullptr;
  TSize du;
  TRect prompt, edit, ok, cancel, client;
  TRect bounds;
  int maxLength = 0;
  AnswerWith<TInputForm>([&](TInputForm* f) {
    seen = f;
    du = GetAveCharSize(f->Font());
    prompt = f->Prompt()->BoundsRect();
    edit = f->Edit()->BoundsRect();
    ok = f->OkButton()->BoundsRect();
    cancel = f->CancelButton()->BoundsRect();
    client = f->ClientRect();
    bounds = f->BoundsRect();
    maxLength = f->Edit()->MaxLength();
    EXPECT_TRUE(f->OkButton()->Default());
    EXPECT_TRUE(f->CancelButton()->Cancel());
    fake->KeyDown(f->Handle(), VK_ESCAPE);
  });
  std::string v = "";
  InputQuery("Текст для вставки", "Введите текст:", v);
  ASSERT_NE(seen, nullptr);
  ASSERT_GT(du.cx, 0);
  EXPECT_EQ(client.Width(), MulDiv(180, du.cx, 4));
  EXPECT_EQ(prompt.Left, MulDiv(8, du.cx, 4));
  EXPECT_EQ(prompt.Top, MulDiv(8, du.cy, 8));
  EXPECT_LE(prompt.Width(), MulDiv(164, du.cx, 4));
  EXPECT_EQ(edit.Left, prompt.Left);
  EXPECT_EQ(edit.Top, prompt.Bottom + 5);
  EXPECT_EQ(edit.Width(), MulDiv(164, du.cx, 4));
  EXPECT_EQ(ok.Top, edit.Bottom + 15);
  EXPECT_EQ(ok.Left, MulDiv(38, du.cx, 4));
  EXPECT_EQ(cancel.Left, MulDiv(92, du.cx, 4));
  EXPECT_EQ(ok.Width(), MulDiv(50, du.cx, 4));
  EXPECT_EQ(ok.Height(), MulDiv(14, du.cy, 8));
  EXPECT_EQ(cancel.Top, ok.Top);
  EXPECT_EQ(client.Height(), cancel.Bottom + 13);
  EXPECT_EQ(maxLength, 255);
  EXPECT_EQ(bounds.Left, (1024 - bounds.Width()) / 2);
}

TEST_F(DialogsTest, ALongPromptWrapsWithinTheDialog) {
  int promptWidth = 0, lineHeight = 0, promptHeight = 0, limit = 0;
  AnswerWith<TInputForm>([&](TInputForm* f) {
    promptWidth = f->Prompt()->Width();
    promptHeight = f->Prompt()->Height();
    lineHeight = classic::FontLineHeight(f->Font());
    limit = MulDiv(164, GetAveCharSize(f->Font()).cx, 4);
    fake->KeyDown(f->Handle(), VK_ESCAPE);
  });
  std::string v;
  InputQuery("Caption", "A prompt long enough that it has to wrap onto more than one line of the dialog", v);
  EXPECT_LE(promptWidth, limit);
  EXPECT_GE(promptHeight, 2 * lineHeight);
}

TEST_F(DialogsTest, TheSaveDialogPassesItsOptionsAndTakesTheChosenName) {
  auto* dlg = new TSaveDialog(app);
  dlg->SetTitle("Save Image");
  dlg->SetDefaultExt(".jpg");
  dlg->SetFilter("JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp");
  dlg->SetFileName("shot");
  dlg->SetInitialDir("/tmp");
  fake->QueueSaveDialogAnswer(std::string("/tmp/picture.jpg"));
  EXPECT_TRUE(dlg->Execute());
  EXPECT_EQ(dlg->FileName(), "/tmp/picture.jpg");
  ASSERT_EQ(fake->SaveDialogCalls().size(), 1u);
  const platform::SaveFileDialogOptions& o = fake->SaveDialogCalls()[0];
  EXPECT_EQ(o.title, "Save Image");
  EXPECT_EQ(o.defaultExt, "jpg");
  EXPECT_EQ(o.fileName, "shot");
  EXPECT_EQ(o.initialDir, "/tmp");
  using Filters = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(o.filters, (Filters{{"JPEG Image File (*.jpg)", "*.jpg"}, {"Bitmaps (*.bmp)", "*.bmp"}}));
  // Cancelled: false, the name stays.
  EXPECT_FALSE(dlg->Execute());
  EXPECT_EQ(dlg->FileName(), "/tmp/picture.jpg");

  EXPECT_EQ(TSaveDialog::ParseFilter("A|*.a|B"), (Filters{{"A", "*.a"}}));
  EXPECT_EQ(TSaveDialog::ParseFilter(""), Filters{});
  EXPECT_EQ(TSaveDialog::ParseFilter("|*.x||"), (Filters{{"*.x", "*.x"}}));
}
