#include "framework/dialogs/TDialogForm.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "framework/controls/ClassicPaint.h"
#include "framework/controls/TButton.h"

namespace tv {

bool SendDialogKey(TWinControl* root, UINT key) {
  if (!root) return false;
  std::vector<TControl*> children;
  for (int i = 0; i < root->ControlCount(); ++i) children.push_back(root->Controls(i));
  std::vector<ComponentGuard> guards(children.begin(), children.end());
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (!guards[i] || !children[i]->Visible()) continue;
    if (children[i]->Perform(CM_DIALOGKEY, key, 0) != 0) return true;
    if (!guards[i]) return true;
    if (children[i]->IsWindowed() && SendDialogKey(static_cast<TWinControl*>(children[i]), key)) return true;
  }
  return false;
}

TDialogForm::TDialogForm(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
}

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

void TDialogForm::WndProc(TMessage& m) {
  const bool keyDown = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
  const auto key = static_cast<UINT>(m.WParam);
  ComponentGuard guard(this);
  TForm::WndProc(m);
  if (!guard || m.Result != 0 || static_cast<UINT>(m.WParam) != key) return;
  if (keyDown && (key == VK_RETURN || key == VK_ESCAPE)) {
    if (SendDialogKey(this, key)) m.Result = 1;
  } else if (m.Msg == WM_CHAR && key < 0x80 && std::isalnum(static_cast<int>(key))) {
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
