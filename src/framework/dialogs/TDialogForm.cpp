#include "framework/dialogs/TDialogForm.h"

#include <cmath>
#include <vector>

#include "framework/controls/ClassicPaint.h"

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

void TDialogForm::WndProc(TMessage& m) {
  const bool keyDown = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
  const auto key = static_cast<UINT>(m.WParam);
  ComponentGuard guard(this);
  TForm::WndProc(m);
  if (!guard || !keyDown || m.Result != 0 || static_cast<UINT>(m.WParam) != key) return;
  if (key == VK_RETURN || key == VK_ESCAPE) {
    if (SendDialogKey(this, key)) m.Result = 1;
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
