// "Save Image": the dialog, the JPEG written, and the error message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "app/EditorFixture.h"
#include "framework/controls/TLabel.h"
#include "framework/dialogs/TInputForm.h"
#include "framework/dialogs/TMessageForm.h"
#include "framework/dialogs/TSaveDialog.h"
#include "framework/graphics/TJPEGImage.h"

namespace tv::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EditorSave : public EditorFixture {
 protected:
  // Captures and draws one red line, so the picture is more than the capture.
  void CaptureAndDraw() {
    Capture();
    ClickControl(Form1->ToolButton2);
    Drag({{10, 10}, {100, 50}});
  }

  void Save() { ClickControl(Form1->ToolButton14); }

  // Every message box shown while `action` runs, as caption and text.
  std::vector<std::pair<std::string, std::string>> Boxes(const std::function<void()>& action) {
    std::vector<std::pair<std::string, std::string>> seen;
    fake->SetIdleHook([&] {
      auto* f = OpenForm<TMessageForm>();
      if (!f) return false;
      seen.emplace_back(f->Caption(), f->TextLabel()->Caption());
      fake->KeyDown(f->Handle(), VK_RETURN);
      return true;
    });
    action();
    fake->SetIdleHook(nullptr);
    return seen;
  }
};

TEST_F(EditorSave, BeforeAnyCaptureNothingHappensNotEvenTheDialog) {
  fake->QueueSaveDialogAnswer((workDir / "early.jpg").string());
  Save();
  EXPECT_TRUE(fake->SaveDialogCalls().empty());
  EXPECT_FALSE(fs::exists(workDir / "early.jpg"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(EditorSave, TheDialogAsksForAJpegNameWithoutAnOverwritePrompt) {
  EXPECT_EQ(Form1->sSavePictureDialog1->DefaultExt(), "jpg");
  EXPECT_EQ(Form1->sSavePictureDialog1->Filter(), "JPEG Image File (*.jpg)|*.jpg");
  EXPECT_EQ(Form1->sSavePictureDialog1->Options() & ofOverwritePrompt, 0u);
  Capture();
  Save();  // cancelled: no answer queued
  ASSERT_EQ(fake->SaveDialogCalls().size(), 1u);
  const platform::SaveFileDialogOptions& o = fake->SaveDialogCalls()[0];
  EXPECT_EQ(o.defaultExt, "jpg");
  ASSERT_EQ(o.filters.size(), 1u);
  EXPECT_EQ(o.filters[0].first, "JPEG Image File (*.jpg)");
  EXPECT_EQ(o.filters[0].second, "*.jpg");
  EXPECT_EQ(o.owner, Form1->Handle());
  EXPECT_EQ(WorkFilesNow(), std::vector<std::string>{});
}

TEST_F(EditorSave, TheFileIsTheQuality100EncodingOfThePicture) {
  CaptureAndDraw();
  // An existing file is replaced, whatever it held.
  { std::ofstream(workDir / "shot.jpg") << "old contents"; }
  fake->QueueSaveDialogAnswer((workDir / "shot.jpg").string());
  TBitmap before = Snapshot();
  Save();
  auto expected = TJPEGImage::Encode(Form1->Picture(), 100);
  ASSERT_TRUE(expected.ok());
  EXPECT_EQ(ReadAll(workDir / "shot.jpg"), *expected);
  TBitmap after = Snapshot();
  EXPECT_EQ(FirstDifference(after, before), "");
  // Nothing else is left beside it.
  EXPECT_EQ(WorkFilesNow(), std::vector<std::string>{"shot.jpg"});
  // The decoded file shows the red line.
  TJPEGImage jpeg;
  jpeg.LoadFromFile((workDir / "shot.jpg").string());
  ASSERT_EQ(jpeg.Width(), kScreenWidth);
  const TColor c = jpeg.Bitmap().PixelColor(55, 30);
  EXPECT_GT(GetRValue(c), 200);
  EXPECT_LT(GetGValue(c), 60);
  EXPECT_TRUE(errors.empty());
}

TEST_F(EditorSave, AFileReachedThroughALinkIsReplacedAndTheLinkKept) {
  CaptureAndDraw();
  fs::create_directories(workDir / "real");
  { std::ofstream(workDir / "real" / "target.jpg") << "old"; }
  fs::permissions(workDir / "real" / "target.jpg", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(workDir / "real" / "target.jpg", workDir / "link.jpg");
  fake->QueueSaveDialogAnswer((workDir / "link.jpg").string());
  Save();
  EXPECT_TRUE(fs::is_symlink(workDir / "link.jpg"));
  auto expected = TJPEGImage::Encode(Form1->Picture(), 100);
  ASSERT_TRUE(expected.ok());
  EXPECT_EQ(ReadAll(workDir / "real" / "target.jpg"), *expected);
  EXPECT_EQ(fs::status(workDir / "real" / "target.jpg").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(errors.empty());
}

// Places no process can write to, whoever runs the test: a folder that is a regular file, a
// folder that does not exist, and the kernel's /proc. A read-only folder and a read-only file are
// added when the tests do not run as root (who may write there anyway).
TEST_F(EditorSave, AFailedSaveShowsErrorOneAndLeavesThePictureAndOldFileAlone) {
  CaptureAndDraw();
  { std::ofstream(workDir / "plainfile") << "x"; }
  std::vector<std::string> targets = {(workDir / "plainfile" / "shot.jpg").string(),
                                      (workDir / "missing" / "shot.jpg").string(), "/proc/tovalin-shot.jpg",
                                      workDir.string()};
  if (::geteuid() != 0) {
    fs::create_directories(workDir / "locked");
    fs::permissions(workDir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    targets.push_back((workDir / "locked" / "shot.jpg").string());
    { std::ofstream(workDir / "readonly.jpg") << "keep"; }
    fs::permissions(workDir / "readonly.jpg", fs::perms::owner_read);
    targets.push_back((workDir / "readonly.jpg").string());
  }
  const std::vector<std::string> filesBefore = WorkFilesNow();
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    fake->QueueSaveDialogAnswer(target);
    TBitmap before = Snapshot();
    const auto boxes = Boxes([&] { Save(); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Tovalin");
    EXPECT_EQ(boxes[0].second, "Saving file error #1");
    TBitmap after = Snapshot();
    EXPECT_EQ(FirstDifference(after, before), "");
    EXPECT_EQ(WorkFilesNow(), filesBefore);
  }
  // The box copies itself with Ctrl+C, as a Windows message box does.
  fake->QueueSaveDialogAnswer("/proc/tovalin-shot.jpg");
  fake->SetIdleHook([&] {
    auto* f = OpenForm<TMessageForm>();
    if (!f) return false;
    fake->KeyDown(f->Handle(), 'C', ssCtrl);
    fake->KeyDown(f->Handle(), VK_RETURN);
    return true;
  });
  Save();
  fake->SetIdleHook(nullptr);
  EXPECT_EQ(fake->ClipboardText(),
            "---------------------------\r\nTovalin\r\n---------------------------\r\nSaving file error #1\r\n"
            "---------------------------\r\nOK\r\n---------------------------\r\n");
  if (::geteuid() != 0) {
    EXPECT_EQ(ReadAll(workDir / "readonly.jpg"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
  }
  EXPECT_TRUE(errors.empty());
}

class RussianForm1 : public TForm1 {
 public:
  using TForm1::TForm1;
  bool English() const override { return false; }
};

TEST_F(EditorSave, TheErrorAndTheTextBoxAreInRussianWhenTheInterfaceIsRussian) {
  delete Form1;
  RussianForm1* russian = nullptr;
  app->CreateForm<RussianForm1>(&russian);
  Form1 = russian;
  Form1->Show();
  app->ProcessMessages();
  Form1->Image1->Picture()->SetBitmap(TBitmap(40, 30));
  Form1->CaptureArrived();
  fake->QueueSaveDialogAnswer("/proc/tovalin-shot.jpg");
  const auto boxes = Boxes([&] { Save(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "Tovalin");
  EXPECT_EQ(boxes[0].second, "Ошибка сохранения файла #1");

  // The text tool asks in Russian too.
  ClickControl(Form1->ToolButton3);
  std::string caption, prompt;
  AnswerWith<TInputForm>([&](TInputForm* f) {
    caption = f->Caption();
    prompt = f->Prompt()->Caption();
    fake->KeyDown(f->Handle(), VK_ESCAPE);
  });
  Down(5, 5);
  Up(5, 5);
  EXPECT_EQ(caption, "Текст для вставки");
  EXPECT_EQ(prompt, "Введите текст:");
}

}  // namespace
}  // namespace tv::testing
