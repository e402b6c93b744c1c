#pragma once
// The form behind MessageBox: an optional icon, the wrapped text and a centred row of buttons.
#include <string>
#include <vector>

#include "framework/dialogs/Dialogs.h"
#include "framework/dialogs/TDialogForm.h"

namespace tv {

class TButton;
class TImage;
class TLabel;

class TMessageForm : public TDialogForm {
 public:
  TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags);

  TLabel* TextLabel() const { return label_; }
  TImage* IconImage() const { return icon_; }
  const std::vector<TButton*>& Buttons() const { return buttons_; }
  // The button answering `id`, or nullptr.
  TButton* ButtonFor(int id) const;
  // The answer a closed window gives (the cancel answer), or 0 when it cannot be closed.
  int CancelId() const { return cancelId_; }

 private:
  TLabel* label_ = nullptr;
  TImage* icon_ = nullptr;
  std::vector<TButton*> buttons_;
  std::vector<int> ids_;
  int cancelId_ = 0;
};

}  // namespace tv
