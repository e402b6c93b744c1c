#pragma once
// A windowless button with a glyph that never takes the focus. Buttons with the same non-zero
// GroupIndex in one parent are exclusive: pressing one puts the others up. A grouped button that
// is down goes up again on a click only when AllowAllUp. Down changes before OnClick runs.
#include "framework/Control.h"
#include "framework/controls/TPressControl.h"
#include "framework/controls/TBitBtn.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

class TSpeedButton : public TPressControl {
 public:
  explicit TSpeedButton(TComponent* owner);

  TBitmap& Glyph() { return glyph_; }
  void SetGlyph(const TBitmap& glyph);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  int Margin() const { return margin_; }
  void SetMargin(int v);

  void Paint(TCanvas& canvas) override;

 protected:
  void Released() override;

 private:
  void UpdateExclusive();
  void ForceUp();

  TBitmap glyph_;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool flat_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
};

}  // namespace tv
