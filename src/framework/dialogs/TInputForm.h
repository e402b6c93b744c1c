#pragma once
// The form behind InputQuery: a wrapped prompt, an edit field and "OK" / "Cancel", laid out in
// dialog units of the form's font.
#include <string>

#include "framework/dialogs/TDialogForm.h"

namespace tv {

class TButton;
class TEdit;
class TLabel;

class TInputForm : public TDialogForm {
 public:
  TInputForm(TComponent* owner, const std::string& caption, const std::string& prompt, const std::string& value);

  TLabel* Prompt() const { return prompt_; }
  TEdit* Edit() const { return edit_; }
  TButton* OkButton() const { return ok_; }
  TButton* CancelButton() const { return cancel_; }
  void AfterConstruction() override;

 private:
  // Places the controls; the prompt can measure itself only once the form has been built.
  void Layout();

  TLabel* prompt_ = nullptr;
  TEdit* edit_ = nullptr;
  TButton* ok_ = nullptr;
  TButton* cancel_ = nullptr;
};

}  // namespace tv
