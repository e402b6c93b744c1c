#pragma once
// The program's two windows over the fake platform, in a fresh working directory, with a known
// picture on the screen. Errors that reach the default error box are collected in `errors`.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Unit1/Unit1.h"
#include "Unit2/Unit2.h"
#include "framework/AppFixture.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/graphics/TBitmap.h"

namespace tv::testing {

// A screen whose every pixel tells its position: red = x, green = y, blue = (x + y) mod 256.
inline platform::PixelBuffer PatternScreen(int width, int height) {
  platform::PixelBuffer b;
  b.width = width;
  b.height = height;
  b.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.pixels[static_cast<std::size_t>(y) * width + x] =
          0xFF000000u | (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>(y & 0xFF) << 8) |
          static_cast<std::uint32_t>((x + y) & 0xFF);
  return b;
}

// The pattern's colour at (x, y) as 0x00BBGGRR.
inline TColor PatternColor(int x, int y) {
  return static_cast<TColor>((x & 0xFF) | ((y & 0xFF) << 8) | (((x + y) & 0xFF) << 16));
}

class ProgramFixture : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    oldCwd = std::filesystem::current_path();
    workDir = std::filesystem::temp_directory_path() /
              ("tovalin-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(workDir);
    std::filesystem::create_directories(workDir);
    std::filesystem::current_path(workDir);
    fake->SetScreenImage(PatternScreen(kScreenWidth, kScreenHeight));
    InstallDialogs();
    app->SetExceptionPresenter([this](const std::string& text) { errors.push_back(text); });
    BeforeForms();
    app->CreateForm<TForm1>(&Form1);
    app->CreateForm<TForm2>(&Form2);
    FormsCreated();
    Form1->Show();
    app->ProcessMessages();
  }

  void TearDown() override {
    delete Form2;
    delete Form1;
    Form2 = nullptr;
    Form1 = nullptr;
    AppFixture::TearDown();
    std::filesystem::current_path(oldCwd);
    std::error_code ec;
    std::filesystem::permissions(workDir, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(workDir, ec);
  }

  // Hooks around the creation of the two windows, as the program entry makes them.
  virtual void BeforeForms() {}
  virtual void FormsCreated() {}

  void PressHotKey() {
    fake->PressHotKey(HotKeyCode);
    app->ProcessMessages();
  }

  // Mouse input on the overlay, handled at once.
  void OverlayDown(int x, int y, platform::MouseButton b = platform::MouseButton::Left) {
    fake->MouseDown(Form2->Handle(), b, x, y);
    app->ProcessMessages();
  }
  void OverlayMove(int x, int y) {
    fake->MouseMove(Form2->Handle(), x, y);
    app->ProcessMessages();
  }
  void OverlayUp(int x, int y, platform::MouseButton b = platform::MouseButton::Left) {
    fake->MouseUp(Form2->Handle(), b, x, y);
    app->ProcessMessages();
  }
  void OverlayClick(int x, int y) {
    OverlayDown(x, y);
    OverlayUp(x, y);
  }
  // Press, drag through the midpoint, release.
  void OverlayDrag(int x1, int y1, int x2, int y2) {
    OverlayDown(x1, y1);
    OverlayMove((x1 + x2) / 2, (y1 + y2) / 2);
    OverlayMove(x2, y2);
    OverlayUp(x2, y2);
  }

  // Names of the files in the current working directory, sorted.
  static std::vector<std::string> WorkFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  static constexpr int kScreenWidth = 640;
  static constexpr int kScreenHeight = 480;
  std::filesystem::path oldCwd;
  std::filesystem::path workDir;
};

}  // namespace tv::testing
