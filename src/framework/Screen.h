#pragma once
// The screen: primary screen size, the forms of the application, the active form, and a cursor
// that overrides every control's own while it is not crDefault.
#include <vector>

#include "framework/Control.h"
#include "platform/Platform.h"

namespace tv {

class TForm;

class TScreen {
 public:
  TScreen() = default;
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  int Width() const;
  int Height() const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const;
  TForm* ActiveForm() const { return activeForm_; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  // Maintained by TForm.
  void AddForm(TForm* form);
  void RemoveForm(TForm* form);
  void SetActiveForm(TForm* form) { activeForm_ = form; }

 private:
  std::vector<TForm*> forms_;
  TForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
};

// The platform's shape for a cursor id (crDefault: the arrow).
platform::Cursor ToPlatformCursor(TCursor cursor);

// Created with the first TApplication, destroyed with it.
extern TScreen* Screen;

}  // namespace tv
