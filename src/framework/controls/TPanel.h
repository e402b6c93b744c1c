#pragma once
// A windowed container with bevels and an optional caption.
#include <cstdint>

#include "framework/Control.h"
#include "framework/controls/ClassicPaint.h"

namespace tv {

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  // Plain face between the outer and the inner bevel.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  // The area inside the bevels and the border.
  TRect InnerRect() const;

  void Paint(TCanvas& canvas) override;

 protected:
  void AlignControls(TRect& rect) override;

 private:
  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = taCenter;
};

}  // namespace tv
