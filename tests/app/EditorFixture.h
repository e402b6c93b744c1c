#pragma once
// The program after a full-screen capture, driven through the main window by fake mouse input in
// the picture's own pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramFixture.h"
#include "framework/Screen.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TToolBar.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"

namespace tv::testing {

class EditorFixture : public ProgramFixture {
 protected:
  void TearDown() override {
    fake->SetIdleHook(nullptr);
    ProgramFixture::TearDown();
  }

  void Capture() {
    PressHotKey();
    PressHotKey();
    ASSERT_EQ(Form1->Picture().Width(), kScreenWidth);
  }

  // A point of the picture in the main window's client coordinates.
  TPoint AtPicture(int x, int y) const { return Form1->ScreenToClient(Form1->Image1->ClientToScreen({x, y})); }
  TPoint AtControl(TControl* c) const {
    return Form1->ScreenToClient(c->ClientToScreen({c->Width() / 2, c->Height() / 2}));
  }

  void ClickControl(TControl* c) {
    const TPoint p = AtControl(c);
    fake->Click(Form1->Handle(), platform::MouseButton::Left, p.X, p.Y);
    app->ProcessMessages();
  }

  void Down(int x, int y) {
    const TPoint p = AtPicture(x, y);
    fake->MouseDown(Form1->Handle(), platform::MouseButton::Left, p.X, p.Y);
    app->ProcessMessages();
  }
  void Move(int x, int y) {
    const TPoint p = AtPicture(x, y);
    fake->MouseMove(Form1->Handle(), p.X, p.Y);
    app->ProcessMessages();
  }
  void Up(int x, int y) {
    const TPoint p = AtPicture(x, y);
    fake->MouseUp(Form1->Handle(), platform::MouseButton::Left, p.X, p.Y);
    app->ProcessMessages();
  }
  // Press at the first point, move through the others, release at the last.
  void Drag(const std::vector<TPoint>& path) {
    Down(path.front().X, path.front().Y);
    for (std::size_t i = 1; i < path.size(); ++i) Move(path[i].X, path[i].Y);
    Up(path.back().X, path.back().Y);
  }

  template <class T>
  static T* OpenForm() {
    if (!Screen) return nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
  }

  // Runs `answer` on the open form of type T the first time the loop would wait with one open.
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

  // Names of the files in the working directory, sorted.
  std::vector<std::string> WorkFilesNow() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(workDir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // A copy of the picture as it is now.
  TBitmap Snapshot() { return TBitmap(Form1->Picture()); }

  // Coordinates of the first pixel where the two pictures differ, or "" when they are equal.
  static std::string FirstDifference(TBitmap& a, TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
      return "size " + std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " vs " +
             std::to_string(b.Width()) + "x" + std::to_string(b.Height());
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.PixelColor(x, y) != b.PixelColor(x, y))
          return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return "";
  }

  // The final stroke of the pen or line tool, drawn on a copy for comparison.
  static void DrawStroke(TBitmap& onto, const std::vector<TPoint>& path, TColor color = clRed) {
    TCanvas& c = onto.Canvas();
    c.Pen().SetMode(pmCopy);
    c.Pen().SetColor(color);
    c.Pen().SetWidth(3);
    c.MoveTo(path.front().X, path.front().Y);
    for (std::size_t i = 1; i < path.size(); ++i) c.LineTo(path[i].X, path[i].Y);
  }
};

}  // namespace tv::testing
