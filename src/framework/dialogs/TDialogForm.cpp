#include "framework/dialogs/TDialogForm.h"

#include <cctype>
#include <cmath>
#include <string>

#include "framework/controls/ClassicPaint.h"
#include "framework/controls/TButton.h"

namespace tv {

namespace {

// The accelerator of a caption ("&Yes" -> 'y'), 0 when none.
char32_t AccelOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto c = static_cast<unsigned char>(caption[i + 1]);
    return c < 0x80 ? static_cast<char32_t>(std::tolower(c)) : 0;
  }
  return 0;
}

TButton* FindAccelButton(TWinControl* root, char32_t ch) {
  for (int i = 0; i < root->ControlCount(); ++i) {
    TControl* c = root->Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    if (auto* b = dynamic_cast<TButton*>(c); b && AccelOf(b->Caption()) == ch) return b;
    if (c->IsWindowed())
      if (TButton* b = FindAccelButton(static_cast<TWinControl*>(c), ch)) return b;
  }
  return nullptr;
}

}  // namespace

TDialogForm::TDialogForm(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
}

void TDialogForm::WndProc(TMessage& m) {
  const auto key = static_cast<UINT>(m.WParam);
  ComponentGuard guard(this);
  TForm::WndProc(m);
  if (!guard || m.Result != 0 || static_cast<UINT>(m.WParam) != key) return;
  if (m.Msg == WM_CHAR && key < 0x80 && std::isalnum(static_cast<int>(key))) {
    // A letter no control used clicks the button it is the accelerator of.
    if (TButton* b = FindAccelButton(this, static_cast<char32_t>(std::tolower(static_cast<int>(key))))) {
      m.Result = 1;
      b->Click();
    }
  }
}

TSize GetAveCharSize(const TFont& font) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  return {classic::TextWidthOf(font, letters) / 52, classic::FontLineHeight(font)};
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  return static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

}  // namespace tv
