#include "framework/controls/TLabel.h"

#include <algorithm>

#include "framework/graphics/TCanvas.h"

namespace tv {

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
  AdjustBounds();
}

UINT TLabel::TextFormat() const {
  UINT f = DT_EXPANDTABS;
  if (wordWrap_) f |= DT_WORDBREAK;
  if (!showAccelChar_) f |= DT_NOPREFIX;
  if (alignment_ == taCenter) f |= DT_CENTER;
  if (alignment_ == taRightJustify) f |= DT_RIGHT;
  return f;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || adjusting_ || HasState(csLoading)) return;
  adjusting_ = true;
  // An empty caption still takes one line, as on Windows.
  const std::string text = Caption().empty() ? std::string(" ") : Caption();
  int wrapWidth = 0;
  if (wordWrap_) wrapWidth = maxWidth_ > 0 ? (Width() > 0 ? std::min(Width(), maxWidth_) : maxWidth_) : std::max(Width(), 1);
  TSize size = classic::MeasureText(Font(), text, TextFormat() & ~(DT_CENTER | DT_RIGHT), wrapWidth);
  if (wordWrap_ && maxWidth_ == 0) size.cx = Width();
  if (maxWidth_ > 0) size.cx = std::min(size.cx, maxWidth_);
  int left = Left();
  // A right-aligned label grows to the left, a centred one both ways.
  if (alignment_ == taRightJustify) left += Width() - size.cx;
  if (alignment_ == taCenter) left += (Width() - size.cx) / 2;
  TControl::SetBounds(left, Top(), size.cx, size.cy);
  adjusting_ = false;
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  // A wrapping label keeps the width it was given and fits its height to it.
  if (autoSize_ && wordWrap_ && !adjusting_) AdjustBounds();
}

void TLabel::Loaded() {
  TControl::Loaded();
  AdjustBounds();
}

void TLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}

void TLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetMaxWidth(int v) {
  if (v == maxWidth_) return;
  maxWidth_ = v;
  AdjustBounds();
}

void TLabel::WndProc(TMessage& m) {
  TControl::WndProc(m);
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_PARENTFONTCHANGED:
      AdjustBounds();
      Invalidate();
      break;
    default:
      break;
  }
}

void TLabel::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
  }
  canvas.Font().Assign(Font());
  TRect tr = r;
  if (layout_ != tlTop) {
    TSize size = classic::MeasureText(Font(), Caption(), TextFormat(), wordWrap_ ? r.Width() : 0);
    const int offset = layout_ == tlCenter ? (r.Height() - size.cy) / 2 : r.Height() - size.cy;
    tr.Top += offset;
  }
  classic::DrawCaption(canvas, Caption(), tr, TextFormat(), IsEnabledInTree(), Font().Color());
}

}  // namespace tv
