#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/AppFixture.h"
#include "framework/Application.h"
#include "framework/Screen.h"
#include "framework/dialogs/TPopupMenu.h"

using namespace tv;

namespace {

class PopupMenuTest : public tv::testing::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    fake->SetScreenSize({1024, 768});
    owner = app->CreateForm<TForm>();
    menu = new TPopupMenu(owner);
    check = AddItem("Check Updates");
    AddItem("-");
    exitItem = AddItem("E&xit");
    check->OnClick = [this](TObject* s) { Clicked(s, "check"); };
    exitItem->OnClick = [this](TObject* s) { Clicked(s, "exit"); };
  }
  void TearDown() override {
    fake->SetIdleHook(nullptr);
    AppFixture::TearDown();
  }
  TMenuItem* AddItem(const std::string& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    menu->Items()->Add(item);
    return item;
  }
  void Clicked(TObject* sender, const std::string& name) {
    // The menu is gone when the handler runs.
    log.push_back(name + (menu->PopupForm() ? " (menu open)" : "") + (sender ? "" : " no sender"));
  }
  // Does `action` with the open menu the first time the menu's loop waits.
  void WhenOpen(std::function<void(TPopupMenuForm*)> action) {
    auto done = std::make_shared<bool>(false);
    fake->SetIdleHook([this, done, action] {
      if (*done || !menu->PopupForm()) return false;
      *done = true;
      action(menu->PopupForm());
      return true;
    });
  }
  void ClickEntry(TPopupMenuForm* f, int index) {
    const TRect r = f->EntryRect(index);
    fake->MouseMove(f->Handle(), r.Left + 5, r.Top + 3);
    fake->Click(f->Handle(), platform::MouseButton::Left, r.Left + 5, r.Top + 3);
  }

  TForm* owner = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem* check = nullptr;
  TMenuItem* exitItem = nullptr;
  std::vector<std::string> log;
};

}  // namespace

TEST_F(PopupMenuTest, AnItemClickRunsItsHandlerAfterTheMenuHasClosed) {
  HWND menuWindow = 0;
  WhenOpen([&](TPopupMenuForm* f) {
    menuWindow = f->Handle();
    const auto* rec = fake->Window(f->Handle());
    EXPECT_TRUE(rec->visible);
    EXPECT_TRUE(rec->stayOnTop);
    EXPECT_TRUE(rec->borderless);
    EXPECT_EQ(fake->ActiveWindow(), f->Handle());
    EXPECT_EQ(f->Left(), 300);
    EXPECT_EQ(f->Top(), 200);
    ClickEntry(f, 2);
  });
  menu->Popup(300, 200);
  // Popup has returned; the click arrives as a command the loop delivers.
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(fake->IsWindow(menuWindow));
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"exit"});
}

TEST_F(PopupMenuTest, EscapeAClickOutsideOrLosingActivationCloseWithoutAClick) {
  auto* other = Create<TForm>(app);
  other->Show();
  app->ProcessMessages();
  const std::vector<std::function<void(TPopupMenuForm*)>> closers = {
      [&](TPopupMenuForm* f) { fake->KeyDown(f->Handle(), VK_ESCAPE); },
      [&](TPopupMenuForm* f) { fake->MouseDown(f->Handle(), platform::MouseButton::Left, -10, 5); },
      [&](TPopupMenuForm*) { fake->Activate(other->Handle()); },
  };
  for (const auto& close : closers) {
    WhenOpen(close);
    menu->Popup(10, 10);
    app->ProcessMessages();
    EXPECT_EQ(menu->PopupForm(), nullptr);
  }
  EXPECT_TRUE(log.empty());
}

TEST_F(PopupMenuTest, KeyboardSkipsSeparatorsAndDisabledItemsDoNotClick) {
  WhenOpen([&](TPopupMenuForm* f) {
    fake->KeyDown(f->Handle(), VK_DOWN);  // Check Updates
    fake->KeyDown(f->Handle(), VK_DOWN);  // over the separator to Exit
    fake->KeyDown(f->Handle(), VK_RETURN);
  });
  menu->Popup(10, 10);
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"exit"});

  log.clear();
  exitItem->SetEnabled(false);
  int step = 0;
  fake->SetIdleHook([&] {
    TPopupMenuForm* f = menu->PopupForm();
    if (!f) return false;
    if (step++ == 0) {
      ClickEntry(f, 2);  // disabled: the menu stays open
      return true;
    }
    if (step == 2) {
      fake->Char(f->Handle(), "x");  // its accelerator does nothing either
      return true;
    }
    fake->KeyDown(f->Handle(), VK_ESCAPE);
    return true;
  });
  menu->Popup(10, 10);
  app->ProcessMessages();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(step, 3);

  exitItem->SetEnabled(true);
  WhenOpen([&](TPopupMenuForm* f) { fake->Char(f->Handle(), "x"); });
  menu->Popup(10, 10);
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"exit"});
}

TEST_F(PopupMenuTest, TheMenuStaysOnTheScreenAndHiddenItemsAreLeftOut) {
  check->SetDefault(true);
  AddItem("hidden")->SetVisible(false);
  TRect r;
  size_t entries = 0;
  WhenOpen([&](TPopupMenuForm* f) {
    r = f->BoundsRect();
    entries = f->Entries().size();
    fake->KeyDown(f->Handle(), VK_ESCAPE);
  });
  menu->Popup(1020, 760);
  EXPECT_EQ(entries, 3u);
  // No room right of and below the point: the menu opens to its left and above it.
  EXPECT_EQ(r.Right, 1020);
  EXPECT_EQ(r.Bottom, 760);
  EXPECT_TRUE(check->Default());
  exitItem->SetDefault(true);
  EXPECT_FALSE(check->Default());

  menu->SetPopupComponent(owner);
  EXPECT_EQ(menu->PopupComponent(), owner);
  EXPECT_TRUE(menu->AutoPopup());
}

TEST_F(PopupMenuTest, AHandlerThatDestroysTheMenuIsSafe) {
  exitItem->OnClick = [&](TObject*) {
    delete menu;
    menu = nullptr;
    log.push_back("gone");
  };
  WhenOpen([&](TPopupMenuForm* f) { ClickEntry(f, 2); });
  menu->Popup(50, 50);
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"gone"});
  // A menu destroyed before its command arrives drops it.
  menu = new TPopupMenu(owner);
  auto* item = new TMenuItem(owner);
  item->SetCaption("late");
  item->OnClick = [&](TObject*) { log.push_back("late"); };
  menu->Items()->Add(item);
  WhenOpen([&](TPopupMenuForm* f) { ClickEntry(f, 0); });
  menu->Popup(50, 50);
  delete menu;
  menu = nullptr;
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"gone"});
}
