#pragma once
// A form for dialogs: centred on the screen, with a fixed dialog frame; a letter that the focused
// control does not use clicks the button whose accelerator it is ("&Yes"). Enter and Escape reach
// the default and cancel buttons as on every form.
#include "framework/Form.h"

namespace tv {

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
