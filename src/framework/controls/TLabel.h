#pragma once
// A windowless text label. With AutoSize it fits its text (keeping its width when WordWrap is
// on); a single '&' marks an accelerator (drawn underlined) unless ShowAccelChar is off.
#include "framework/Control.h"
#include "framework/controls/ClassicPaint.h"

namespace tv {

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout l);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  // Caps the width AutoSize may give a wrapping label (0 = none).
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int v);

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;

  // Fits the bounds to the text now.
  void AdjustBounds();

 protected:
  void Loaded() override;
  UINT TextFormat() const;

 private:
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool transparent_ = false;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  int maxWidth_ = 0;
  bool adjusting_ = false;
};

}  // namespace tv
