// Renders the message box, the input box and a popup menu into PNGs beside the test executable
// (dialog_*.png), to look at.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <functional>
#include <string>

#include "framework/AppFixture.h"
#include "framework/Screen.h"
#include "framework/controls/TLabel.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/dialogs/TInputForm.h"
#include "framework/dialogs/TMessageForm.h"
#include "framework/dialogs/TPopupMenu.h"
#include "framework/graphics/TBitmap.h"

using namespace tv;

namespace {

class DialogScreenshotTest : public tv::testing::AppFixture {
 protected:
  void TearDown() override {
    fake->SetIdleHook(nullptr);
    AppFixture::TearDown();
  }
  // Saves the first visible form of type T once the loop waits, then presses the key on it.
  template <class T>
  void SaveThenPress(const std::string& name, UINT key) {
    fake->SetIdleHook([this, name, key] {
      for (int i = 0; i < Screen->FormCount(); ++i) {
        auto* f = dynamic_cast<T*>(Screen->Forms(i));
        if (!f || !f->Visible()) continue;
        app->UpdateForms();
        const auto out = std::filesystem::read_symlink("/proc/self/exe").parent_path() / ("dialog_" + name + ".png");
        saved = f->BackBuffer().Image().save(QString::fromStdString(out.string()), "PNG");
        fake->KeyDown(f->Handle(), key);
        return true;
      }
      return false;
    });
  }
  bool saved = false;
};

}  // namespace

TEST_F(DialogScreenshotTest, DialogsPaint) {
  SaveThenPress<TMessageForm>("message", VK_RETURN);
  MessageBox("Bind a hotkey what do you want.\r\nIf you want to do a fullscreen screenshot then push your hotkey "
             "twice,\r\nOtherwise push it once and choose screen square for screenshot.",
             "Tovalin", MB_OKCANCEL | MB_ICONINFORMATION);
  EXPECT_TRUE(saved);

  saved = false;
  SaveThenPress<TInputForm>("input", VK_ESCAPE);
  std::string value = "some text";
  InputQuery("Input text", "Insert text there:", value);
  EXPECT_TRUE(saved);

  saved = false;
  auto* owner = app->CreateForm<TForm>();
  auto* menu = new TPopupMenu(owner);
  for (const char* caption : {"Check Updates", "-", "Exit"}) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  menu->Items()->Items(0)->SetDefault(true);
  fake->SetIdleHook([&] {
    TPopupMenuForm* f = menu->PopupForm();
    if (!f || saved) return false;
    f->SetHotIndex(2);
    app->UpdateForms();
    const auto out = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "dialog_menu.png";
    saved = f->BackBuffer().Image().save(QString::fromStdString(out.string()), "PNG");
    fake->KeyDown(f->Handle(), VK_ESCAPE);
    return true;
  });
  menu->Popup(100, 100);
  EXPECT_TRUE(saved);
}
