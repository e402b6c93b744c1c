#pragma once
// A tool bar and its buttons. Tool buttons flow left to right in the order they were put on the
// bar, ButtonWidth x ButtonHeight each, two pixels below the bar's top; separators and dividers
// keep the width they are given. Other controls on the bar stay at their own Left, and the
// buttons flow past them.
#include <cstdint>
#include <vector>

#include "framework/Control.h"
#include "framework/controls/TPressControl.h"

namespace tv {

class TImageList;
class TToolBar;

enum TToolButtonStyle : std::uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A windowless button of a tool bar. A check-style button flips Down on a click before OnClick
// runs.
class TToolButton : public TPressControl {
 public:
  explicit TToolButton(TComponent* owner);

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle s);
  bool Down() const { return down_; }
  void SetDown(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  TToolBar* ToolBar() const;
  // Separators and dividers.
  bool IsSpacer() const { return style_ == tbsSeparator || style_ == tbsDivider; }

  void SetBounds(int left, int top, int width, int height) override;
  void Paint(TCanvas& canvas) override;

 protected:
  bool CanPress() const override;
  void Released() override;

 private:
  friend class TToolBar;
  void SetBoundsFromBar(int left, int top, int width, int height);

  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  int imageIndex_ = -1;
  bool placing_ = false;
};

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner);

  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);

  // Tool buttons in bar order.
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;

  // Places the buttons again.
  void LayoutButtons();

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;

 private:
  bool showCaptions_ = false;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool flat_ = true;
  TImageList* images_ = nullptr;
  bool layingOut_ = false;
  std::vector<TControl*> order_;  // children in the order they were put on the bar
};

}  // namespace tv
