#include "framework/Screen.h"

#include <algorithm>

#include "framework/Form.h"

namespace tv {

TScreen* Screen = nullptr;

platform::Cursor ToPlatformCursor(TCursor cursor) {
  switch (cursor) {
    case crCross:
      return platform::Cursor::Cross;
    case crHandPoint:
      return platform::Cursor::Hand;
    case crIBeam:
      return platform::Cursor::IBeam;
    case crSizeWE:
      return platform::Cursor::SizeWE;
    case crSizeNS:
      return platform::Cursor::SizeNS;
    case crHourGlass:
      return platform::Cursor::Wait;
    case crNo:
      return platform::Cursor::No;
    case crArrow:
      return platform::Cursor::Arrow;
    default:
      return platform::Cursor::Default;
  }
}

int TScreen::Width() const { return platform::GetPlatform().PrimaryScreenSize().width; }
int TScreen::Height() const { return platform::GetPlatform().PrimaryScreenSize().height; }

TForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) return nullptr;
  return forms_[static_cast<std::size_t>(index)];
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  // Applies at once to every window; crDefault gives each control its own again at the next move.
  if (!platform::HasPlatform()) return;
  for (TForm* f : forms_) platform::GetPlatform().SetWindowCursor(f->Handle(), ToPlatformCursor(cursor));
}

void TScreen::AddForm(TForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TForm* form) {
  std::erase(forms_, form);
  if (activeForm_ == form) activeForm_ = nullptr;
}

}  // namespace tv
