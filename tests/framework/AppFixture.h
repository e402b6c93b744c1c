#pragma once
// A test fixture with the fake platform installed and an application object over it. Errors that
// reach the default error box are collected in `errors` instead of going to stderr.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "platform/fake/FakePlatform.h"

namespace tv::testing {

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    auto p = std::make_unique<platform::FakePlatform>();
    fake = p.get();
    platform::SetPlatform(std::move(p));
    app = new TApplication();
    app->SetTitle("Tovalin");
    app->SetExceptionPresenter([this](const std::string& text) { errors.push_back(text); });
  }

  void TearDown() override {
    delete app;
    app = nullptr;
    platform::SetPlatform(nullptr);
    fake = nullptr;
  }

  // The pixel of the last presented image as 0x00BBGGRR.
  TColor PresentedPixel(HWND window, int x, int y) const {
    platform::PixelBuffer b = fake->LastImage(window);
    if (x < 0 || y < 0 || x >= b.width || y >= b.height) return -1;
    const std::uint32_t p = b.At(x, y);
    return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
  }

  platform::FakePlatform* fake = nullptr;
  TApplication* app = nullptr;
  std::vector<std::string> errors;
};

}  // namespace tv::testing
