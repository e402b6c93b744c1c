#pragma once
// A form for dialogs: Enter and Escape that the focused control does not use go to the buttons as
// dialog keys (Enter clicks the active default button, Escape the cancel button); the form is
// centred on the screen and has a fixed dialog frame.
#include "framework/Form.h"

namespace tv {

// Offers a dialog key (VK_RETURN, VK_ESCAPE) to every control under `root`, depth first, until
// one takes it (answers CM_DIALOGKEY with a non-zero result). True when one did.
bool SendDialogKey(TWinControl* root, UINT key);

class TDialogForm : public TForm {
 public:
  explicit TDialogForm(TComponent* owner);
  void WndProc(TMessage& message) override;
};

// Dialog units of a font, as the classic dialogs measure them: the average width of the 52 Latin
// letters (whole pixels) and the height of a line.
TSize GetAveCharSize(const TFont& font);
// a * b / c, rounded to the nearest integer.
int MulDiv(int a, int b, int c);

}  // namespace tv
