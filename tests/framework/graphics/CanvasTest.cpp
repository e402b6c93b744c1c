#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>
#include <utility>

#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"

namespace tv {
namespace {

// Coordinates of every pixel that differs from `background`.
std::set<std::pair<int, int>> Marked(const TBitmap& b, TColor background) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.PixelColor(x, y) != background) out.insert({x, y});
  return out;
}

// A picture with some variety, so that inversion and copying mistakes show.
TBitmap Noise(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixelColor(x, y, RGB(x * 37 + y, y * 11 + x * 3, (x ^ y) * 5));
  return b;
}

TEST(CanvasTest, WidthOneLineExcludesItsEndPoint) {
  TBitmap b(20, 20);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clBlack);
  c.MoveTo(2, 5);
  c.LineTo(10, 5);
  EXPECT_EQ(c.PenPos(), (TPoint{10, 5}));
  const auto marked = Marked(b, clWhite);
  EXPECT_EQ(marked.size(), 8u);
  EXPECT_TRUE(marked.count({2, 5}));
  EXPECT_TRUE(marked.count({9, 5}));
  EXPECT_FALSE(marked.count({10, 5}));
}

TEST(CanvasTest, WidthThreeLineIsSolidRoundCappedAndAliased) {
  TBitmap b(40, 30);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clRed);
  c.Pen().SetWidth(3);
  c.MoveTo(10, 10);
  c.LineTo(25, 10);
  const auto marked = Marked(b, clWhite);
  // Every changed pixel has exactly the pen colour: no antialiasing.
  for (const auto& [x, y] : marked) EXPECT_EQ(b.PixelColor(x, y), clRed) << x << "," << y;
  // Three pixels thick along the whole line, end points included, caps reaching one pixel past.
  for (int x = 10; x <= 25; ++x)
    for (int y = 9; y <= 11; ++y) EXPECT_TRUE(marked.count({x, y})) << x << "," << y;
  EXPECT_TRUE(marked.count({9, 10}));
  EXPECT_TRUE(marked.count({26, 10}));
  EXPECT_FALSE(marked.count({27, 10}));
  EXPECT_FALSE(marked.count({10, 12}));
  EXPECT_FALSE(marked.count({10, 8}));
  EXPECT_EQ(c.PenPos(), (TPoint{25, 10}));

  // A diagonal stroke is three pixels thick across: every column of its middle has 3+ pixels.
  TBitmap d(60, 60);
  d.Canvas().Pen().SetWidth(3);
  d.Canvas().Pen().SetColor(clBlue);
  d.Canvas().MoveTo(10, 10);
  d.Canvas().LineTo(100 / 2, 50);
  const auto diag = Marked(d, clWhite);
  for (int x = 15; x < 45; ++x) {
    int n = 0;
    for (int y = 0; y < 60; ++y) n += diag.count({x, y}) ? 1 : 0;
    EXPECT_GE(n, 3) << x;
    EXPECT_LE(n, 5) << x;
  }
}

TEST(CanvasTest, WidePenCapsAreRound) {
  TBitmap b(40, 40);
  TCanvas& c = b.Canvas();
  c.Pen().SetWidth(5);
  c.MoveTo(10, 20);
  c.LineTo(30, 20);
  // The cap reaches two pixels past the end on the axis, but its corners are cut.
  EXPECT_EQ(b.PixelColor(32, 20), clBlack);
  EXPECT_EQ(b.PixelColor(32, 21), clBlack);
  EXPECT_EQ(b.PixelColor(32, 22), clWhite);
  EXPECT_EQ(b.PixelColor(8, 18), clWhite);
  EXPECT_EQ(b.PixelColor(8, 20), clBlack);
  EXPECT_EQ(b.PixelColor(20, 22), clBlack);  // five rows thick along the line
  EXPECT_EQ(b.PixelColor(20, 23), clWhite);
}

TEST(CanvasTest, NotModeTwiceRestoresThePicture) {
  for (int width : {1, 2, 3, 5}) {
    TBitmap b = Noise(80, 60);
    const TBitmap original(b);
    TCanvas& c = b.Canvas();
    c.Pen().SetWidth(width);
    c.Pen().SetMode(pmNot);
    c.MoveTo(5, 7);
    c.LineTo(70, 41);
    EXPECT_FALSE(b.SamePixels(original));
    // The inverted pixels are exact complements.
    bool sawInverted = false;
    for (int y = 0; y < 60 && !sawInverted; ++y)
      for (int x = 0; x < 80; ++x)
        if (b.PixelColor(x, y) != original.PixelColor(x, y)) {
          EXPECT_EQ(b.PixelColor(x, y), original.PixelColor(x, y) ^ 0xFFFFFF);
          sawInverted = true;
          break;
        }
    c.MoveTo(5, 7);
    c.LineTo(70, 41);
    EXPECT_TRUE(b.SamePixels(original)) << "width " << width;
  }
}

TEST(CanvasTest, ZeroLengthLineDrawsNothing) {
  for (int width : {1, 3}) {
    TBitmap b(10, 10);
    b.Canvas().Pen().SetWidth(width);
    b.Canvas().MoveTo(5, 5);
    b.Canvas().LineTo(5, 5);
    EXPECT_TRUE(Marked(b, clWhite).empty()) << width;
  }
}

TEST(CanvasTest, RubberBandShowsWholeWhileDragging) {
  // The first move erases the band "from the start to the start", then draws the new one.
  TBitmap b(50, 50);
  TCanvas& c = b.Canvas();
  c.Pen().SetWidth(3);
  c.Pen().SetMode(pmNot);
  c.MoveTo(10, 10);
  const TPoint p = c.PenPos();
  c.MoveTo(10, 10);
  c.LineTo(p.X, p.Y);
  c.MoveTo(10, 10);
  c.LineTo(40, 30);
  for (int y = 9; y <= 11; ++y)
    for (int x = 9; x <= 11; ++x) EXPECT_EQ(b.PixelColor(x, y), clBlack) << x << "," << y;
}

TEST(CanvasTest, EveryShapeInNotModeIsUndoneByRepeatingIt) {
  const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> shapes = {
      {"rectangle", [](TCanvas& c) { c.Rectangle(3, 4, 40, 30); }},
      {"ellipse", [](TCanvas& c) { c.Ellipse(5, 5, 45, 35); }},
      {"polygon", [](TCanvas& c) { c.Polygon({{2, 2}, {40, 10}, {20, 38}, {30, 20}}); }},
      {"polyline", [](TCanvas& c) { c.Polyline({{2, 2}, {40, 10}, {20, 38}, {2, 2}}); }},
  };
  for (int width : {1, 3}) {
    for (const auto& [name, draw] : shapes) {
      TBitmap b = Noise(50, 40);
      const TBitmap before(b);
      TCanvas& c = b.Canvas();
      c.Pen().SetWidth(width);
      c.Pen().SetMode(pmNot);
      draw(c);
      EXPECT_FALSE(b.SamePixels(before)) << name;
      draw(c);
      EXPECT_TRUE(b.SamePixels(before)) << name << " width " << width;
    }
  }
}

TEST(CanvasTest, RubberBandLeavesOnlyTheFinalLine) {
  // The line tool: bands drawn and erased in pmNot, then the final line in pmCopy.
  TBitmap b = Noise(120, 80);
  TBitmap expected(b);
  TCanvas& c = b.Canvas();
  c.Pen().SetWidth(3);
  c.Pen().SetColor(clRed);
  c.MoveTo(10, 10);
  TPoint last{10, 10};
  for (TPoint p : {TPoint{30, 20}, TPoint{60, 70}, TPoint{100, 50}}) {
    c.Pen().SetMode(pmNot);
    c.MoveTo(10, 10);
    c.LineTo(last.X, last.Y);
    c.MoveTo(10, 10);
    c.LineTo(p.X, p.Y);
    last = p;
  }
  c.Pen().SetMode(pmNot);
  c.MoveTo(10, 10);
  c.LineTo(last.X, last.Y);
  c.Pen().SetMode(pmCopy);
  c.MoveTo(10, 10);
  c.LineTo(100, 50);
  TCanvas& e = expected.Canvas();
  e.Pen().SetWidth(3);
  e.Pen().SetColor(clRed);
  e.MoveTo(10, 10);
  e.LineTo(100, 50);
  EXPECT_TRUE(b.SamePixels(expected));
}

TEST(CanvasTest, RectangleFillsWithBrushAndOutlinesWithPenExclusive) {
  TBitmap b(12, 12);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(clRed);
  c.Rectangle(2, 3, 8, 9);
  EXPECT_EQ(b.PixelColor(2, 3), clBlack);
  EXPECT_EQ(b.PixelColor(7, 8), clBlack);
  EXPECT_EQ(b.PixelColor(8, 8), clWhite);
  EXPECT_EQ(b.PixelColor(7, 9), clWhite);
  EXPECT_EQ(b.PixelColor(3, 4), clRed);
  EXPECT_EQ(b.PixelColor(6, 7), clRed);
  EXPECT_EQ(Marked(b, clWhite).size(), 36u);

  c.Brush().SetStyle(bsClear);
  c.Pen().SetColor(clBlue);
  c.Rectangle(0, 0, 12, 12);
  EXPECT_EQ(b.PixelColor(5, 5), clRed);  // inside untouched
  EXPECT_EQ(b.PixelColor(11, 11), clBlue);
}

TEST(CanvasTest, FillAndFrameUseTheBrush) {
  TBitmap b(10, 10, pf32bit);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clBtnFace);
  c.FillRect({1, 1, 4, 3});
  EXPECT_EQ(b.PixelColor(1, 1), ColorToRGB(clBtnFace));
  EXPECT_EQ(b.PixelColor(3, 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(b.PixelColor(4, 2), clWhite);
  EXPECT_EQ(b.ScanLine(1)[4 + 3], 255);
  c.Brush().SetColor(clGreen);
  c.FrameRect({5, 5, 9, 9});
  EXPECT_EQ(b.PixelColor(5, 5), clGreen);
  EXPECT_EQ(b.PixelColor(8, 6), clGreen);
  EXPECT_EQ(b.PixelColor(6, 6), clWhite);
}

TEST(CanvasTest, OriginAndClipConfineChildPainting) {
  TBitmap b(20, 20);
  TCanvas& c = b.Canvas();
  const TCanvasState saved = c.SaveState();
  c.SetOrigin({5, 6});
  c.IntersectClipRect({0, 0, 4, 4});
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 4, 4}));
  c.Brush().SetColor(clBlack);
  c.FillRect({-10, -10, 100, 100});
  EXPECT_EQ(Marked(b, clWhite).size(), 16u);
  EXPECT_EQ(b.PixelColor(5, 6), clBlack);
  EXPECT_EQ(b.PixelColor(8, 9), clBlack);
  EXPECT_EQ(b.PixelColor(9, 9), clWhite);
  EXPECT_EQ(c.Pixels(0, 0), clBlack);
  EXPECT_EQ(c.Pixels(4, 0), clInvalid);
  c.RestoreState(saved);
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 20, 20}));
  EXPECT_EQ(c.Pixels(0, 0), clWhite);
}

TEST(CanvasTest, DefaultFontIsMsSansSerifEightPoints) {
  TBitmap b(1, 1);
  const TFont& f = b.Canvas().Font();
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  TFont g;
  g.SetSize(8);
  EXPECT_EQ(g.Height(), -11);
  g.SetSize(10);
  EXPECT_EQ(g.Height(), -13);
  int changes = 0;
  g.OnChange = [&](TFont*) { ++changes; };
  g.SetSize(10);
  g.SetStyle(fsBold);
  EXPECT_EQ(changes, 1);
}

TEST(CanvasTest, TextRendersInResolvedFamilyOnABrushBox) {
  TBitmap b(120, 40);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clBlack);
  c.FillRect({0, 0, 120, 40});
  c.Brush().SetColor(clWhite);
  c.Font().SetColor(clRed);
  const std::string family = c.Font().ResolvedFamily();
  if (family != "MS Sans Serif") {
    EXPECT_EQ(family, "DejaVu Sans");
  }
  TFont tahoma;
  tahoma.SetName("Tahoma");
  if (tahoma.ResolvedFamily() != "Tahoma") {
    EXPECT_EQ(tahoma.ResolvedFamily(), "DejaVu Sans");
  }
  const TSize ext = c.TextExtent("Hello");
  EXPECT_GT(ext.cx, 15);
  EXPECT_GE(ext.cy, 11);
  EXPECT_LE(ext.cy, 16);
  c.TextOut(10, 5, "Hello");
  EXPECT_EQ(c.PenPos(), (TPoint{10 + ext.cx, 5}));
  int white = 0, reddish = 0, black = 0;
  for (int y = 5; y < 5 + ext.cy; ++y)
    for (int x = 10; x < 10 + ext.cx; ++x) {
      const TColor p = b.PixelColor(x, y);
      if (p == clWhite) ++white;
      else if (p == clBlack) ++black;
      else if (GetRValue(p) == 255) {  // red and its antialiased blends with white
        ++reddish;
        EXPECT_EQ(GetGValue(p), GetBValue(p)) << "greyscale antialiasing, no colour fringes";
      }
    }
  EXPECT_EQ(black, 0) << "the brush box covers the whole text cell";
  EXPECT_GT(white, 0);
  EXPECT_GT(reddish, 10);
  // Outside the box the picture is untouched.
  EXPECT_EQ(b.PixelColor(9, 5), clBlack);
  EXPECT_EQ(b.PixelColor(10 + ext.cx, 5), clBlack);
  EXPECT_EQ(b.PixelColor(10, 5 + ext.cy), clBlack);

  // Antialiased: some glyph pixels are blends, neither white nor pure red.
  int blends = 0;
  for (int y = 5; y < 5 + ext.cy; ++y)
    for (int x = 10; x < 10 + ext.cx; ++x) {
      const TColor p = b.PixelColor(x, y);
      blends += (p != clWhite && p != clRed) ? 1 : 0;
    }
  EXPECT_GT(blends, 0);

  // The same on a 32-bit bitmap.
  TBitmap b32(60, 20, pf32bit);
  b32.Canvas().Font().SetColor(clBlack);
  b32.Canvas().TextOut(0, 0, "Hello");
  EXPECT_FALSE(Marked(b32, clWhite).empty());

  // A clear brush draws only the glyphs.
  TBitmap t(60, 20);
  t.Canvas().Brush().SetColor(clBlack);
  t.Canvas().FillRect({0, 0, 60, 20});
  t.Canvas().Brush().SetStyle(bsClear);
  t.Canvas().Font().SetColor(clWhite);
  t.Canvas().TextOut(2, 2, "Hi");
  int whiteish = 0, blackLeft = 0;
  for (const auto& [x, y] : Marked(t, clBlack)) whiteish += (x >= 2 && y >= 2) ? 1 : 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) blackLeft += t.PixelColor(x, y) == clBlack ? 1 : 0;
  EXPECT_GT(whiteish, 5);
  EXPECT_GT(blackLeft, 60 * 20 / 2);
}

TEST(CanvasTest, DrawTextAlignsAndMeasures) {
  TBitmap b(200, 60);
  TCanvas& c = b.Canvas();
  TRect calc{0, 0, 200, 0};
  const int h = c.DrawText("One line", calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.Width(), c.TextWidth("One line"));
  EXPECT_EQ(h, c.TextHeight("One line"));
  TRect wrap{0, 0, 40, 0};
  const int h2 = c.DrawText("alpha beta gamma", wrap, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GE(h2, 2 * h);
  EXPECT_LE(wrap.Width(), 40 + c.TextWidth("gamma"));

  c.Brush().SetStyle(bsClear);
  c.Font().SetColor(clBlack);
  TRect r{0, 0, 200, 60};
  c.DrawText("X", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const auto marked = Marked(b, clWhite);
  ASSERT_FALSE(marked.empty());
  int minX = 1000, maxX = -1;
  for (const auto& [x, y] : marked) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    EXPECT_GT(y, 15);
    EXPECT_LT(y, 45);
  }
  EXPECT_NEAR((minX + maxX) / 2.0, 100, 4);
}

TEST(CanvasTest, DrawTextPrefixesAndEllipsis) {
  TBitmap b(100, 20);
  TCanvas& c = b.Canvas();
  TRect r{0, 0, 100, 0};
  c.DrawText("&File", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), c.TextWidth("File"));
  r = {0, 0, 100, 0};
  c.DrawText("&File", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(r.Width(), c.TextWidth("&File"));
  r = {0, 0, 100, 0};
  c.DrawText("a&&b", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), c.TextWidth("a&b"));
  const int narrow = c.TextWidth("Somewhat...");
  r = {0, 0, narrow, 0};
  c.DrawText("Somewhat long caption", r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(r.Width(), narrow);
  EXPECT_GT(r.Width(), c.TextWidth("..."));

  // The prefixed character gets a line under it: the only difference from the plain text.
  TBitmap plain(100, 20), prefixed(100, 20);
  for (TBitmap* t : {&plain, &prefixed}) {
    t->Canvas().Brush().SetStyle(bsClear);
    t->Canvas().Font().SetColor(clBlack);
    TRect draw{0, 0, 100, 20};
    t->Canvas().DrawText(t == &plain ? "File" : "&File", draw, DT_SINGLELINE);
  }
  std::set<int> rows;
  int extra = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x)
      if (prefixed.PixelColor(x, y) != plain.PixelColor(x, y)) {
        rows.insert(y);
        ++extra;
        EXPECT_LT(x, c.TextWidth("F") + 1);
      }
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_GE(extra, c.TextWidth("F") - 2);
}

TEST(CanvasTest, DrawHonoursTransparentColour) {
  TBitmap src(3, 1);
  src.SetPixelColor(0, 0, clFuchsia);
  src.SetPixelColor(1, 0, clBlue);
  src.SetPixelColor(2, 0, clFuchsia);
  src.SetTransparent(true);
  src.SetTransparentColor(clFuchsia);
  TBitmap dst(5, 1);
  dst.Canvas().Brush().SetColor(clGreen);
  dst.Canvas().FillRect({0, 0, 5, 1});
  dst.Canvas().Draw(1, 0, src);
  EXPECT_EQ(dst.PixelColor(1, 0), clGreen);
  EXPECT_EQ(dst.PixelColor(2, 0), clBlue);
  EXPECT_EQ(dst.PixelColor(3, 0), clGreen);
  src.SetTransparent(false);
  dst.Canvas().Draw(1, 0, src);
  EXPECT_EQ(dst.PixelColor(1, 0), clFuchsia);
  // By default the transparent colour is the bottom-left pixel.
  src.SetTransparent(true);
  src.SetTransparentColor(clDefault);
  EXPECT_EQ(src.TransparentColor(), clFuchsia);
}

TEST(CanvasTest, DrawClipsAtEveryEdge) {
  const TBitmap src = Noise(6, 5);
  for (TPixelFormat pf : {pf24bit, pf32bit}) {
    TBitmap dst(4, 4, pf);
    TCanvas& c = dst.Canvas();
    c.SetClipRect({0, 1, 4, 4});
    c.Draw(-2, -1, src);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const TColor expected = y == 0 ? clWhite : src.PixelColor(x + 2, y + 1);
        EXPECT_EQ(dst.PixelColor(x, y), expected) << x << "," << y;
      }
    c.ResetClip();
    c.SetOrigin({3, 3});
    c.Draw(0, 0, src);
    EXPECT_EQ(dst.PixelColor(3, 3), src.PixelColor(0, 0));
  }
}

TEST(CanvasTest, DrawBlendsAlpha) {
  TBitmap src(2, 1, pf32bit);
  std::uint8_t* p = src.ScanLine(0);
  p[0] = 0; p[1] = 0; p[2] = 255; p[3] = 128;  // half red
  p[4] = 0; p[5] = 0; p[6] = 0; p[7] = 0;      // clear
  src.SetAlphaFormat(afDefined);
  TBitmap dst(2, 1);
  dst.Canvas().Draw(0, 0, src);
  EXPECT_EQ(dst.PixelColor(1, 0), clWhite);
  const TColor half = dst.PixelColor(0, 0);
  EXPECT_EQ(GetRValue(half), 255);
  EXPECT_NEAR(GetGValue(half), 127, 1);
}

TEST(CanvasTest, StretchDrawAndCopyRect) {
  TBitmap src(2, 2);
  src.SetPixelColor(0, 0, clRed);
  src.SetPixelColor(1, 1, clBlue);
  TBitmap dst(4, 4);
  dst.Canvas().StretchDraw({0, 0, 4, 4}, src);
  EXPECT_EQ(dst.PixelColor(1, 1), clRed);
  EXPECT_EQ(dst.PixelColor(2, 1), clWhite);
  EXPECT_EQ(dst.PixelColor(3, 3), clBlue);

  TBitmap n = Noise(10, 10);
  TBitmap out(10, 10);
  out.Canvas().CopyRect({0, 0, 5, 5}, n.Canvas(), {3, 3, 8, 8});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(out.PixelColor(x, y), n.PixelColor(x + 3, y + 3));
  // Overlapping copy within one bitmap reads the source before writing.
  TBitmap self(n);
  self.Canvas().CopyRect({1, 0, 10, 10}, self.Canvas(), {0, 0, 9, 10});
  for (int x = 1; x < 10; ++x) EXPECT_EQ(self.PixelColor(x, 4), n.PixelColor(x - 1, 4));
}

TEST(CanvasTest, EllipseAndPolygonStayInsideTheirBounds) {
  TBitmap b(30, 30);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clYellow);
  c.Ellipse(5, 5, 25, 15);
  for (const auto& [x, y] : Marked(b, clWhite)) {
    EXPECT_GE(x, 5);
    EXPECT_LT(x, 25);
    EXPECT_GE(y, 5);
    EXPECT_LT(y, 15);
  }
  EXPECT_EQ(b.PixelColor(15, 10), clYellow);
  EXPECT_EQ(b.PixelColor(15, 5), clBlack);
  EXPECT_EQ(b.PixelColor(5, 5), clWhite);

  TBitmap t(20, 20);
  t.Canvas().Brush().SetColor(clRed);
  t.Canvas().Polygon({{2, 2}, {17, 2}, {2, 17}});
  EXPECT_EQ(t.PixelColor(5, 5), clRed);
  EXPECT_EQ(t.PixelColor(15, 15), clWhite);
  EXPECT_EQ(t.PixelColor(2, 2), clBlack);
}

TEST(CanvasTest, FocusRectTwiceRemovesIt) {
  TBitmap b = Noise(20, 20);
  const TBitmap before(b);
  b.Canvas().DrawFocusRect({2, 2, 15, 12});
  EXPECT_FALSE(b.SamePixels(before));
  b.Canvas().DrawFocusRect({2, 2, 15, 12});
  EXPECT_TRUE(b.SamePixels(before));
}

TEST(ColorsTest, SystemColoursGoThroughTheFixedPalette) {
  EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x8000000Fu);
  EXPECT_LT(clBtnFace, 0);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clHighlightText), clWhite);
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(RGB(1, 2, 3), 0x030201);
  EXPECT_EQ(GetRValue(0x030201), 1);
  EXPECT_EQ(GetGValue(0x030201), 2);
  EXPECT_EQ(GetBValue(0x030201), 3);
}

}  // namespace
}  // namespace tv
