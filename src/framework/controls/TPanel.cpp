#include "framework/controls/TPanel.h"

#include "framework/graphics/TCanvas.h"

namespace tv {

namespace {

void Bevel(TCanvas& canvas, TRect& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  for (int i = 0; i < width; ++i) {
    switch (cut) {
      case bvRaised:
        classic::Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
        break;
      case bvLowered:
        classic::Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
        break;
      default:
        r = r.Inflated(-1, -1);
        break;
    }
  }
}

int BevelSize(TBevelCut cut, int width) { return cut == bvNone ? 0 : width; }

}  // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut v) {
  if (v == bevelOuter_) return;
  bevelOuter_ = v;
  Realign();
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut v) {
  if (v == bevelInner_) return;
  bevelInner_ = v;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(int v) {
  if (v < 1) v = 1;
  if (v == bevelWidth_) return;
  bevelWidth_ = v;
  Realign();
  Invalidate();
}

void TPanel::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (v == borderWidth_) return;
  borderWidth_ = v;
  Realign();
  Invalidate();
}

void TPanel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

TRect TPanel::InnerRect() const {
  const int inset = BevelSize(bevelOuter_, bevelWidth_) + borderWidth_ + BevelSize(bevelInner_, bevelWidth_);
  return ClientRect().Inflated(-inset, -inset);
}

void TPanel::AlignControls(TRect& rect) {
  rect = InnerRect();
  TWinControl::AlignControls(rect);
}

void TPanel::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  Bevel(canvas, r, bevelOuter_, bevelWidth_);
  r = r.Inflated(-borderWidth_, -borderWidth_);
  Bevel(canvas, r, bevelInner_, bevelWidth_);
  if (Caption().empty()) return;
  canvas.Font().Assign(Font());
  UINT format = DT_SINGLELINE | DT_VCENTER;
  if (alignment_ == taCenter) format |= DT_CENTER;
  if (alignment_ == taRightJustify) format |= DT_RIGHT;
  classic::DrawCaption(canvas, Caption(), r, format, IsEnabledInTree(), Font().Color());
}

}  // namespace tv
