#include "framework/controls/TBitBtn.h"

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

namespace {

// The glyph in one flat colour where it is not transparent (for disabled buttons).
TBitmap Silhouette(const TBitmap& glyph, TColor color) {
  TBitmap out(glyph.Width(), glyph.Height());
  const TColor key = ColorToRGB(glyph.TransparentColor());
  const TColor fill = ColorToRGB(color);
  const TColor back = fill == clWhite ? clBlack : clWhite;
  for (int y = 0; y < glyph.Height(); ++y)
    for (int x = 0; x < glyph.Width(); ++x) out.SetPixelColor(x, y, glyph.PixelColor(x, y) == key ? back : fill);
  out.SetTransparentColor(back);
  out.SetTransparent(true);
  return out;
}

}  // namespace

void DrawGlyphAndCaption(TCanvas& canvas, const TRect& face, TBitmap* glyph, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, bool enabled, TColor textColor) {
  const bool hasGlyph = glyph && !glyph->Empty();
  const TSize text = caption.empty() ? TSize{0, 0} : TSize{canvas.TextWidth(caption), canvas.TextHeight(caption)};
  const int gw = hasGlyph ? glyph->Width() : 0;
  const int gh = hasGlyph ? glyph->Height() : 0;
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  const int gap = (hasGlyph && !caption.empty()) ? spacing : 0;
  const int total = horizontal ? gw + gap + text.cx : gh + gap + text.cy;
  const int avail = horizontal ? face.Width() : face.Height();
  int start = margin >= 0 ? margin : (avail - total) / 2;
  TPoint gp, tp;
  if (horizontal) {
    const bool glyphFirst = layout == blGlyphLeft;
    const int first = face.Left + start;
    const int gx = glyphFirst ? first : first + text.cx + gap;
    const int tx = glyphFirst ? first + gw + gap : first;
    if (margin >= 0 && !glyphFirst) {
      // The margin is measured from the right edge for a right glyph.
      gp.X = face.Right - margin - gw;
      tp.X = gp.X - gap - text.cx;
    } else {
      gp.X = gx;
      tp.X = tx;
    }
    gp.Y = face.Top + (face.Height() - gh) / 2;
    tp.Y = face.Top + (face.Height() - text.cy) / 2;
  } else {
    const bool glyphFirst = layout == blGlyphTop;
    const int first = face.Top + start;
    gp.Y = glyphFirst ? first : first + text.cy + gap;
    tp.Y = glyphFirst ? first + gh + gap : first;
    gp.X = face.Left + (face.Width() - gw) / 2;
    tp.X = face.Left + (face.Width() - text.cx) / 2;
  }
  if (hasGlyph) {
    glyph->SetTransparent(true);
    if (enabled) {
      canvas.Draw(gp.X, gp.Y, *glyph);
    } else {
      canvas.Draw(gp.X + 1, gp.Y + 1, Silhouette(*glyph, clBtnHighlight));
      canvas.Draw(gp.X, gp.Y, Silhouette(*glyph, clBtnShadow));
    }
  }
  if (!caption.empty()) {
    TRect tr{tp.X, tp.Y, tp.X + text.cx, tp.Y + text.cy};
    classic::DrawCaption(canvas, caption, tr, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP, enabled, textColor);
  }
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetGlyph(const TBitmap& glyph) {
  glyph_.Assign(glyph);
  glyph_.SetTransparentColor(clDefault);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}

void TBitBtn::SetSpacing(int v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TBitBtn::SetMargin(int v) {
  if (v == margin_) return;
  margin_ = v;
  Invalidate();
}

void TBitBtn::Paint(TCanvas& canvas) {
  canvas.Font().Assign(Font());
  const TRect face = PaintFrame(canvas);
  DrawGlyphAndCaption(canvas, face, &glyph_, Caption(), layout_, margin_, spacing_, IsEnabledInTree(), Font().Color());
  PaintFocus(canvas);
}

}  // namespace tv
