#include "framework/Application.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TEdit.h"
#include "framework/controls/TLabel.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/dialogs/TInputForm.h"

namespace tv {

TInputForm::TInputForm(TComponent* owner, const std::string& caption, const std::string& prompt,
                       const std::string& value)
    : TDialogForm(owner) {
  SetCaption(caption);
  prompt_ = new TLabel(this);
  prompt_->SetParent(this);
  prompt_->SetCaption(prompt);
  edit_ = new TEdit(this);
  edit_->SetParent(this);
  edit_->SetMaxLength(255);
  edit_->SetText(value);
  ok_ = new TButton(this);
  ok_->SetParent(this);
  ok_->SetCaption("OK");
  ok_->SetModalResult(mrOk);
  ok_->SetDefault(true);
  cancel_ = new TButton(this);
  cancel_->SetParent(this);
  cancel_->SetCaption("Cancel");
  cancel_->SetModalResult(mrCancel);
  cancel_->SetCancel(true);
}

void TInputForm::AfterConstruction() {
  TDialogForm::AfterConstruction();
  Layout();
}

void TInputForm::Layout() {
  const TSize du = GetAveCharSize(Font());
  SetClientWidth(MulDiv(180, du.cx, 4));
  // The prompt takes its text's width, at most 164 units, and wraps within that.
  prompt_->SetWordWrap(false);
  prompt_->SetMaxWidth(0);
  prompt_->AdjustBounds();
  prompt_->SetLeft(MulDiv(8, du.cx, 4));
  prompt_->SetTop(MulDiv(8, du.cy, 8));
  prompt_->SetMaxWidth(MulDiv(164, du.cx, 4));
  prompt_->SetWordWrap(true);

  edit_->SetLeft(prompt_->Left());
  edit_->SetTop(prompt_->Top() + prompt_->Height() + 5);
  edit_->SetWidth(MulDiv(164, du.cx, 4));
  edit_->SelectAll();

  const int buttonTop = edit_->Top() + edit_->Height() + 15;
  const int buttonWidth = MulDiv(50, du.cx, 4);
  const int buttonHeight = MulDiv(14, du.cy, 8);
  ok_->SetBounds(MulDiv(38, du.cx, 4), buttonTop, buttonWidth, buttonHeight);
  cancel_->SetBounds(MulDiv(92, du.cx, 4), buttonTop, buttonWidth, buttonHeight);
  SetClientHeight(cancel_->Top() + cancel_->Height() + 13);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  if (!Application) return false;
  TInputForm* form = Create<TInputForm>(Application, caption, prompt, value);
  ComponentGuard guard(form);
  bool ok = false;
  try {
    if (form->ShowModal() == mrOk && guard) {
      value = form->Edit()->Text();
      ok = true;
    }
  } catch (...) {
    if (guard) delete form;
    throw;
  }
  if (guard) delete form;
  return ok;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
  std::string value = defaultValue;
  InputQuery(caption, prompt, value);
  return value;
}

}  // namespace tv
