#pragma once
// A drop-down list (the csDropDownList style): the text is always the selected item. An invalid
// ItemIndex (-1 included) clears both the selection and the text. OnChange is raised only when
// the user changes the selection (a pick from the list, arrow keys or typing while it is closed),
// never by the program. The list opens in a borderless stay-on-top window below the box (above
// it when there is no room), by a click or Alt+Down/F4, and closes on a pick, Escape, a click
// elsewhere or when it loses activation. The list is as wide as the box, or wider when an item
// needs it.
#include <memory>

#include "framework/Control.h"
#include "framework/Form.h"
#include "framework/controls/TStrings.h"

namespace tv {

class TComboListForm;

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;
  void BeforeDestruction() override;

  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v < 1 ? 1 : v; }
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  // Height of one item in the list.
  int ItemHeight() const;
  // The list window while it exists (for tests and painters).
  TComboListForm* ListForm() const { return list_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  virtual void Change();
  virtual void DropDown();
  virtual void CloseUp();

  // State for painters.
  bool Hot() const { return hot_; }
  // The drop-down button at the right edge.
  TRect ButtonRect() const;

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  bool WantsKey(std::uint16_t key) const override;

 private:
  friend class TComboListForm;
  // Selects without raising OnChange; true when the index changed.
  bool Select(int index);
  // Selection by the user: raises OnChange when it changed.
  void UserSelect(int index);
  void CloseList(bool pick, bool refocus);

  TStrings items_;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  bool hot_ = false;
  bool syncing_ = false;
  bool suppressDrop_ = false;
  TComboListForm* list_ = nullptr;
};

// The list window of a combo box: borderless, stay-on-top, one item per row.
class TComboListForm : public TForm {
 public:
  explicit TComboListForm(TComboBox* combo);

  TComboBox* Combo() const { return combo_; }
  int HotIndex() const { return hotIndex_; }
  void SetHotIndex(int index);
  int TopIndex() const { return topIndex_; }
  int VisibleCount() const;
  // The item under a client point, or -1.
  int ItemAt(TPoint p) const;
  TRect ItemRect(int index) const;
  // Places and sizes the window under (or over) the combo box and shows it.
  void OpenBelow();

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void Deactivate() override;

 private:
  friend class TComboBox;
  bool HasScrollBar() const;
  void ScrollTo(int top);

  TComboBox* combo_;
  int hotIndex_ = -1;
  int topIndex_ = 0;
  bool closing_ = false;
};

}  // namespace tv
