#pragma once
// Popup menus. Popup(x, y) shows the visible items in a borderless stay-on-top window at a screen
// point (moved so that it stays on the screen), runs the message loop until the menu closes (an
// item is picked, Escape, a press outside it, or it loses activation) and returns. The picked
// item's OnClick runs after the menu has closed, from a message posted to the menu, as the system
// delivers a menu command.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Form.h"
#include "platform/WinDefs.h"

namespace tv {

class TPopupMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "-" makes a separator. A single '&' marks the accelerator letter.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c) { caption_ = c; }
  bool IsLine() const { return caption_ == "-"; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v) { checked_ = v; }
  // The id of the command the menu posts for this item.
  UINT Command() const { return command_; }

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  int IndexOf(const TMenuItem* item) const;
  // The item (this one or below) with the command id, or nullptr.
  TMenuItem* Find(UINT command);

  TNotifyEvent OnClick;
  // Raises OnClick when the item is enabled.
  virtual void Click();

 private:
  std::string caption_;
  bool default_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  UINT command_;
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
};

class TPopupMenuForm;

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem* Items() const { return items_; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
  // The window of the open menu, or nullptr.
  TPopupMenuForm* PopupForm() const { return form_; }

  // Shows the menu at a screen point and returns when it has closed.
  virtual void Popup(int x, int y);
  // Closes the open menu without a pick.
  void CloseMenu();

  TNotifyEvent OnPopup;
  virtual void DoPopup();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TPopupMenuForm;
  void WndProc(TMessage& message);

  TMenuItem* items_;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  HWND window_ = 0;
  TPopupMenuForm* form_ = nullptr;
};

// The window of an open popup menu.
class TPopupMenuForm : public TForm {
 public:
  TPopupMenuForm(TComponent* owner, TPopupMenu* menu);

  // The visible items, in menu order.
  const std::vector<TMenuItem*>& Entries() const { return entries_; }
  TRect EntryRect(int index) const;
  int EntryAt(TPoint p) const;
  int HotIndex() const { return hot_; }
  void SetHotIndex(int index);
  bool Closed() const { return closed_; }
  TMenuItem* Picked() const { return picked_; }
  // Ends the menu, with or without a pick.
  void Finish(TMenuItem* picked);

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void Deactivate() override;

 private:
  void Measure();
  void Step(int direction);

  TPopupMenu* menu_;
  std::vector<TMenuItem*> entries_;
  std::vector<ComponentGuard> guards_;
  std::vector<int> tops_;
  int itemHeight_ = 0;
  int hot_ = -1;
  bool closed_ = false;
  TMenuItem* picked_ = nullptr;
};

}  // namespace tv
