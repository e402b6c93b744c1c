#include "framework/controls/TSpeedButton.h"

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

TSpeedButton::TSpeedButton(TComponent* owner) : TPressControl(owner) {
  SetBounds(0, 0, 23, 22);
  // Click is raised from MouseUp, after Down has changed.
  SetControlStyle(ControlStyle() & ~csClickEvents);
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
  glyph_.Assign(glyph);
  glyph_.SetTransparentColor(clDefault);
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  if (groupIndex_ == 0) SetDown(false);
  UpdateExclusive();
}

void TSpeedButton::ForceUp() {
  if (!down_) return;
  down_ = false;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = v;
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

// The other buttons of the group go up and share AllowAllUp.
void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (!other || other == this || other->groupIndex_ != groupIndex_) continue;
    if (down_) other->ForceUp();
    other->allowAllUp_ = allowAllUp_;
  }
}

void TSpeedButton::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (v == margin_) return;
  margin_ = v;
  Invalidate();
}

void TSpeedButton::Released() {
  if (groupIndex_ != 0) SetDown(!down_);
}

void TSpeedButton::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  const bool sunk = pressed_ || down_;
  canvas.Brush().SetColor(down_ && !pressed_ ? cl3DLight : Color());
  canvas.FillRect(r);
  TRect face = r;
  if (!flat_) {
    classic::ButtonFrame(canvas, face, sunk);
  } else if (sunk) {
    classic::Frame3D(canvas, face, clBtnShadow, clBtnHighlight);
  } else if (hot_ && IsEnabledInTree()) {
    classic::Frame3D(canvas, face, clBtnHighlight, clBtnShadow);
  } else {
    face = face.Inflated(-1, -1);
  }
  if (sunk) face.Offset(1, 1);
  canvas.Font().Assign(Font());
  DrawGlyphAndCaption(canvas, face, &glyph_, Caption(), layout_, margin_, spacing_, IsEnabledInTree(), Font().Color());
}

}  // namespace tv
