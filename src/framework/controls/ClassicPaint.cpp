#include "framework/controls/ClassicPaint.h"

#include <algorithm>

#include "framework/graphics/TBitmap.h"

namespace tv::classic {

namespace {

void HLine(TCanvas& c, int left, int right, int y, TColor color) {
  if (right <= left) return;
  c.Brush().SetColor(color);
  c.FillRect({left, y, right, y + 1});
}

void VLine(TCanvas& c, int x, int top, int bottom, TColor color) {
  if (bottom <= top) return;
  c.Brush().SetColor(color);
  c.FillRect({x, top, x + 1, bottom});
}

// A canvas for measuring text outside painting.
TCanvas& MeasureCanvas() {
  static TBitmap bitmap(1, 1);
  return bitmap.Canvas();
}

}  // namespace

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.IsEmpty()) return;
  HLine(canvas, r.Left, r.Right - 1, r.Top, topLeft);
  VLine(canvas, r.Left, r.Top, r.Bottom - 1, topLeft);
  HLine(canvas, r.Left, r.Right, r.Bottom - 1, bottomRight);
  VLine(canvas, r.Right - 1, r.Top, r.Bottom, bottomRight);
  r = r.Inflated(-1, -1);
}

void ButtonFrame(TCanvas& canvas, TRect& r, bool pressed) {
  if (pressed) {
    Frame3D(canvas, r, cl3DDkShadow, cl3DDkShadow);
    Frame3D(canvas, r, clBtnShadow, clBtnShadow);
    return;
  }
  Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow);
  Frame3D(canvas, r, cl3DLight, clBtnShadow);
}

void ButtonFace(TCanvas& canvas, const TRect& rect, bool pressed, TColor face) {
  TRect r = rect;
  ButtonFrame(canvas, r, pressed);
  canvas.Brush().SetColor(face);
  canvas.FillRect(r);
}

void SunkenFrame(TCanvas& canvas, TRect& r) {
  Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
  Frame3D(canvas, r, cl3DDkShadow, cl3DLight);
}

void EtchedHLine(TCanvas& canvas, int left, int right, int y) {
  HLine(canvas, left, right, y, clBtnShadow);
  HLine(canvas, left, right, y + 1, clBtnHighlight);
}

void EtchedVLine(TCanvas& canvas, int x, int top, int bottom) {
  VLine(canvas, x, top, bottom, clBtnShadow);
  VLine(canvas, x + 1, top, bottom, clBtnHighlight);
}

void EtchedFrame(TCanvas& canvas, const TRect& rect) {
  if (rect.Width() < 2 || rect.Height() < 2) return;
  TRect outer = rect;
  outer.Right -= 1;
  outer.Bottom -= 1;
  TRect inner = rect.Offsetted(1, 1);
  inner.Right -= 1;
  inner.Bottom -= 1;
  // Shadow rectangle, then the highlight one a pixel lower right.
  auto frame = [&](const TRect& r, TColor color) {
    canvas.Brush().SetColor(color);
    canvas.FrameRect(r);
  };
  frame(outer, clBtnShadow);
  HLine(canvas, inner.Left, inner.Right - 1, inner.Top, clBtnHighlight);
  VLine(canvas, inner.Left, inner.Top, inner.Bottom - 1, clBtnHighlight);
  HLine(canvas, rect.Left, rect.Right, rect.Bottom - 1, clBtnHighlight);
  VLine(canvas, rect.Right - 1, rect.Top, rect.Bottom, clBtnHighlight);
}

void DrawArrow(TCanvas& canvas, const TRect& r, Arrow dir, TColor color) {
  // A triangle of 4 rows (7, 5, 3, 1 pixels), scaled down for small boxes.
  const int size = std::clamp(std::min(r.Width(), r.Height()) / 3, 2, 4);
  const int cx = r.Left + r.Width() / 2;
  const int cy = r.Top + r.Height() / 2;
  canvas.Brush().SetColor(color);
  for (int i = 0; i < size; ++i) {
    const int half = size - 1 - i;
    switch (dir) {
      case Arrow::Down:
        canvas.FillRect({cx - half, cy - size / 2 + i, cx + half + 1, cy - size / 2 + i + 1});
        break;
      case Arrow::Up:
        canvas.FillRect({cx - half, cy + size / 2 - i, cx + half + 1, cy + size / 2 - i + 1});
        break;
      case Arrow::Right:
        canvas.FillRect({cx - size / 2 + i, cy - half, cx - size / 2 + i + 1, cy + half + 1});
        break;
      case Arrow::Left:
        canvas.FillRect({cx + size / 2 - i, cy - half, cx + size / 2 - i + 1, cy + half + 1});
        break;
    }
  }
}

void DrawCheck(TCanvas& canvas, const TRect& r, TColor color) {
  // The classic 7 x 7 tick, three pixels thick.
  const int x0 = r.Left + (r.Width() - 7) / 2;
  const int y0 = r.Top + (r.Height() - 7) / 2;
  static constexpr int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
  canvas.Brush().SetColor(color);
  for (int i = 0; i < 7; ++i) canvas.FillRect({x0 + i, y0 + kRise[i], x0 + i + 1, y0 + kRise[i] + 3});
}

void DrawCaption(TCanvas& canvas, const std::string& text, TRect r, UINT format, bool enabled, TColor color) {
  if (text.empty()) return;
  const TBrushStyle saved = canvas.Brush().Style();
  canvas.Brush().SetStyle(bsClear);
  if (enabled) {
    canvas.Font().SetColor(color);
    canvas.DrawText(text, r, format);
  } else {
    TRect shifted = r.Offsetted(1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, shifted, format);
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(text, r, format);
  }
  canvas.Brush().SetStyle(saved);
}

TSize MeasureText(const TFont& font, const std::string& text, UINT format, int maxWidth) {
  TCanvas& c = MeasureCanvas();
  c.Font().Assign(font);
  TRect r{0, 0, maxWidth > 0 ? maxWidth : 0, 0};
  if (maxWidth > 0) format |= DT_WORDBREAK;
  if (text.empty()) return {0, FontLineHeight(font)};
  c.DrawText(text, r, format | DT_CALCRECT);
  return {r.Width(), r.Height()};
}

int FontLineHeight(const TFont& font) {
  TCanvas& c = MeasureCanvas();
  c.Font().Assign(font);
  return c.TextHeight("Wg");
}

int TextWidthOf(const TFont& font, const std::string& text) {
  TCanvas& c = MeasureCanvas();
  c.Font().Assign(font);
  return c.TextWidth(text);
}

}  // namespace tv::classic
