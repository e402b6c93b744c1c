#pragma once
// A shown form on the fake platform, with helpers that press keys and click controls as a user
// would (events go through the platform queue and the application's dispatch).
#include <gtest/gtest.h>

#include <string>

#include "framework/AppFixture.h"
#include "framework/Form.h"
#include "framework/Screen.h"

namespace tv::testing {

class ControlsFixture : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    fake->SetScreenSize({1024, 768});
    form = app->CreateForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    app->ProcessMessages();
  }

  // Form client coordinates of a point in a control's client area.
  static TPoint InForm(const TControl* c, int x, int y) {
    for (; c && c->Parent(); c = c->Parent()) {
      x += c->Left();
      y += c->Top();
    }
    return {x, y};
  }
  HWND WindowOf(const TControl* c) const {
    TForm* f = c->ParentForm();
    return f ? f->Handle() : form->Handle();
  }

  void Click(const TControl* c, int x, int y, std::uint16_t shift = 0) {
    const TPoint p = InForm(c, x, y);
    fake->Click(WindowOf(c), platform::MouseButton::Left, p.X, p.Y, shift);
    app->ProcessMessages();
  }
  void Press(const TControl* c, int x, int y, std::uint16_t shift = 0) {
    const TPoint p = InForm(c, x, y);
    fake->MouseDown(WindowOf(c), platform::MouseButton::Left, p.X, p.Y, shift);
    app->ProcessMessages();
  }
  void Move(const TControl* c, int x, int y, std::uint16_t shift = 0) {
    const TPoint p = InForm(c, x, y);
    fake->MouseMove(WindowOf(c), p.X, p.Y, shift);
    app->ProcessMessages();
  }
  void Release(const TControl* c, int x, int y, std::uint16_t shift = 0) {
    const TPoint p = InForm(c, x, y);
    fake->MouseUp(WindowOf(c), platform::MouseButton::Left, p.X, p.Y, shift);
    app->ProcessMessages();
  }
  // Key down and up on a window (the form by default).
  void Key(UINT vk, std::uint16_t shift = 0, HWND window = 0) {
    const HWND w = window ? window : form->Handle();
    fake->KeyDown(w, vk, shift);
    fake->KeyUp(w, vk, shift);
    app->ProcessMessages();
  }
  void Type(const std::string& text, HWND window = 0) {
    fake->Char(window ? window : form->Handle(), text);
    app->ProcessMessages();
  }
  // The colour the form last presented at a point of a control.
  TColor ShownAt(const TControl* c, int x, int y) {
    app->ProcessMessages();
    const TPoint p = InForm(c, x, y);
    return PresentedPixel(WindowOf(c), p.X, p.Y);
  }

  TForm* form = nullptr;
};

}  // namespace tv::testing
