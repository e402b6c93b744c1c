#include <gtest/gtest.h>

#include "skin/SkinTestSupport.h"
#include "skin/acSkinPack.h"
#include "skin/sMaskData.h"

namespace tv {
namespace {

struct NotationCase {
  const char* value;
  char notation;
  TRect rect;
  int frames, rowMode, uniform, fill, kind;
  std::array<int, 4> margins;
  bool computeMargins;
  const char* image;
};

TEST(MaskNotation, ExamplesGiveTheirExactRecords) {
  const NotationCase cases[] = {
      {"^0010^0016^0019^0022^0001^0001^0001^0001^3^1^5^1", '^', {10, 16, 19, 22}, 3, 1, 1, 5, mkBorder, {1, 1, 1, 1}, false, ""},
      {"^0013^0000^0016^0003^0000^0000^0000^0000^1^0^1^2", '^', {13, 0, 16, 3}, 1, 0, 2, 1, mkBorder, {0, 0, 0, 0}, true, ""},
      {"@0078@0017@0126@0033@3@0", '@', {78, 17, 126, 33}, 3, 0, 0, 0, mkGlyph, {0, 0, 0, 0}, false, ""},
      {"@0156@0051@0189@0071@3@1", '@', {156, 51, 189, 71}, 3, 1, 0, 0, mkGlyph, {0, 0, 0, 0}, false, ""},
      {"~0293~0037~0323~0067~00~0", '~', {293, 37, 323, 67}, 1, 0, 0, 0, mkTexture, {0, 0, 0, 0}, false, ""},
      {"~0293~0037~0323~0067~03", '~', {293, 37, 323, 67}, 1, 0, 0, 3, mkTexture, {0, 0, 0, 0}, false, ""},
      {"!BTNHUGE.BMP!3!1!0!0031!0031!0032!0032!5", '!', {}, 3, 1, 0, 5, mkBorder, {31, 31, 32, 32}, false, "BTNHUGE.BMP"},
      {"!GLOWEDIT.PNG!1!0!3!0010!0010!0010!0010!1", '!', {}, 1, 0, 0, 1, 3, {10, 10, 10, 10}, false, "GLOWEDIT.PNG"},
      {"!EXTBORD.PNG!2!0!3!0022!0052!0022!0022!1", '!', {}, 2, 0, 0, 1, 3, {22, 52, 22, 22}, false, "EXTBORD.PNG"},
      {"!A.BMP!2!x!9", '!', {}, 2, 0, 0, 1, 4, {0, 0, 0, 0}, true, "A.BMP"},
      {"!A.PNG!1!0!0!0001!0002!0003!0004", '!', {}, 1, 0, 0, 1, mkBorder, {1, 2, 3, 4}, false, "A.PNG"},
      {"MASTER#(10,16,19,22)(3,1)", '#', {10, 16, 19, 22}, 3, 1, 0, 1, mkBorder, {0, 0, 0, 0}, true, ""},
      {"# (1, 2, 3, 4) (0,-1,-2,7)", '#', {1, 2, 3, 4}, 1, 0, 0, 7, mkBorder, {0, 0, 0, 0}, true, ""},
      {"frame.bmp", 'B', {}, 3, 1, 0, 0, mkBorder, {0, 0, 0, 0}, true, "frame.bmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    auto ref = ParseMaskReference(c.value, "Sec", "Key");
    ASSERT_TRUE(ref);
    const TsMaskData& m = ref->Mask;
    EXPECT_EQ(ref->Notation, c.notation);
    EXPECT_EQ(m.Rect, c.rect);
    EXPECT_EQ(m.FrameCount, c.frames);
    EXPECT_EQ(m.RowMode, c.rowMode);
    EXPECT_EQ(m.UniformMargin, c.uniform);
    EXPECT_EQ(m.FillMode, c.fill);
    EXPECT_EQ(m.Kind, c.kind);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(m.Margins[i], c.margins[i]) << i;
    EXPECT_EQ(ref->ComputeMargins, c.computeMargins);
    EXPECT_EQ(ref->ImageName, c.image);
    // Names keep their case for marked notations and are upper-cased otherwise.
    const bool marked = c.notation != '#' && c.notation != 'B';
    EXPECT_EQ(m.SectionName, marked ? "Sec" : "SEC");
    EXPECT_EQ(m.KeyName, marked ? "Key" : "KEY");
  }
}

TEST(MaskNotation, ValuesOfNoNotationAreSkipped) {
  for (const char* v : {"", "#", "5066061", "!GLOWEDIT.JPG!1!0!3", "!NOEXT!1", "TEXTURE.JPG", "x# 1 2", "plain.png"})
    EXPECT_FALSE(ParseMaskReference(v, "S", "K")) << v;
}

TEST(MaskNotation, BadDigitFieldsAbandonTheLoad) {
  for (const char* v : {"^00a0^0016^0019^0022^0001^0001^0001^0001^3^1^5^1", "^0010^0016^0019^0022^0001^0001^0001^0001^3^1^5",
                        "@0078", "@0078@0017@0126@0033@x@0", "~0293~0037~0323~0067~0x", "~0293~0037"}) {
    try {
      (void)ParseMaskReference(v, "S", "K");
      ADD_FAILURE() << v;
    } catch (const ESkinLoadError& e) {
      EXPECT_EQ(e.Code(), SkinError::BadValue) << v;
    }
  }
}

TEST(MaskMeasurements, ComputedMarginsFrameSizesAndEffectiveMargins) {
  TsMaskData m;
  m.Rect = {10, 16, 19, 22};
  m.FrameCount = 3;
  m.RowMode = 1;
  ComputeMaskMargins(m);
  EXPECT_EQ((std::array<int, 4>{m.Margins[0], m.Margins[1], m.Margins[2], m.Margins[3]}), (std::array<int, 4>{1, 1, 1, 1}));
  m.UniformMargin = 2;
  ComputeMaskMargins(m);
  EXPECT_EQ(m.Margins[0], 2);
  EXPECT_EQ(m.Margins[3], 2);

  struct Case {
    int width, height, frames, rowMode, frameW, frameH;
  } cases[] = {{48, 16, 3, 0, 16, 16}, {9, 6, 3, 1, 3, 3}, {30, 30, 1, 0, 30, 30},
               {30, 30, 0, 2, 0, 10}, {30, 30, 2, -1, 15, 0}};
  for (const auto& c : cases) {
    TsMaskData k;
    k.Rect = {0, 0, c.width, c.height};
    k.FrameCount = static_cast<std::int16_t>(c.frames);
    k.RowMode = static_cast<std::int16_t>(c.rowMode);
    EXPECT_EQ(MaskFrameWidth(k), c.frameW);
    EXPECT_EQ(MaskFrameHeight(k), c.frameH);
  }

  TsMaskData e;
  e.Rect = {0, 0, 30, 20};
  e.FrameCount = 0;
  e.Margins[1] = 4;
  EXPECT_EQ(MaskTopMargin(e), 4);
  EXPECT_EQ(MaskBottomMargin(e), 20);  // no margin at all: the whole frame height
  EXPECT_EQ(MaskRightMargin(e), 0);    // FrameCount 0: frame width 0
  EXPECT_EQ(MaskLeftMargin(e), 30);    // asking for the left margin makes FrameCount 1 first
  EXPECT_EQ(e.FrameCount, 1);
  e.UniformMargin = 3;
  EXPECT_EQ(MaskRightMargin(e), 3);
  EXPECT_EQ(MaskTopMargin(e), 4);

  TsMaskData zero;  // a zero FrameCount with computed margins must not divide by zero
  zero.Rect = {0, 0, 9, 6};
  zero.RowMode = -1;
  ComputeMaskMargins(zero);
  EXPECT_EQ(zero.Margins[0], 3);
  EXPECT_EQ(zero.Margins[1], 2);
}

TBitmap Bitmap24(int w, int h, TColor fill) {
  TBitmap b(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixelColor(x, y, fill);
  return b;
}

std::uint32_t Pixel32(const TBitmap& b, int x, int y) {
  std::uint32_t v;
  std::memcpy(&v, b.ScanLine(y) + 4 * x, 4);
  return v;
}

TEST(MasterBitmap, OnlyExactMagentaBecomesTransparent) {
  TBitmap b = Bitmap24(3, 1, 0x123456);
  b.SetPixelColor(0, 0, 0xFF00FF);
  b.SetPixelColor(1, 0, 0xFE00FF);
  MakeMasterBitmap(b);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentColor(), clFuchsia);
  EXPECT_EQ(Pixel32(b, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(Pixel32(b, 1, 0), 0xFFFF00FEu);  // 0xFE00FF: blue 0xFE, red 0xFF
  EXPECT_EQ(Pixel32(b, 2, 0), 0xFF563412u);
}

TEST(CornerFlag, FoundOnlyInTheCornerSlicesOfTheFirstFrame) {
  // Two 6 x 6 frames side by side, margins 2.
  struct Case {
    const char* what;
    int x, y;
    int flag;
  } cases[] = {{"bottom-right corner alone", 5, 5, 1}, {"top-left corner", 0, 0, 1},   {"top-right", 4, 1, 1},
               {"bottom-left", 1, 4, 1},               {"centre", 3, 3, 0},              {"edge between corners", 2, 0, 0},
               {"second frame", 11, 5, 0},             {"no magenta", -1, -1, 0}};
  for (const auto& c : cases) {
    TBitmap b = Bitmap24(12, 6, 0x303030);
    if (c.x >= 0) b.SetPixelColor(c.x, c.y, 0xFF00FF);
    MakeMasterBitmap(b);
    TsMaskData m;
    m.Rect = {0, 0, 12, 6};
    m.FrameCount = 2;
    for (auto& margin : m.Margins) margin = 2;
    EXPECT_EQ(ComputeCornerFlag(m, &b), c.flag) << c.what;
  }
  TBitmap b = Bitmap24(12, 6, 0xFF00FF);
  MakeMasterBitmap(b);
  TsMaskData huge;
  huge.SectionName = "BUTTON_HUGE";
  huge.KeyName = "BORDERSMASK";
  huge.Rect = {0, 0, 12, 6};
  EXPECT_EQ(ComputeCornerFlag(huge, &b), 2);
  TsMaskData flat;
  flat.Rect = {0, 0, 12, 0};
  flat.FrameCount = 1;
  EXPECT_EQ(ComputeCornerFlag(flat, &b), 0);
  // Magenta with full alpha (a 32-bit image as loaded) does not count.
  TBitmap opaque(12, 6, pf32bit);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) std::memcpy(opaque.ScanLine(y) + 4 * x, "\xFF\x00\xFF\xFF", 4);
  TsMaskData own;
  own.Rect = {0, 0, 12, 6};
  own.FrameCount = 2;
  for (auto& margin : own.Margins) margin = 2;
  EXPECT_EQ(ComputeCornerFlag(own, &opaque), 0);
}

TEST(SkinPng, ClearsTransparentWhiteAndPremultiplies) {
  // RGBA: white transparent, half-transparent red, opaque grey, transparent black.
  const std::vector<std::uint8_t> rgba{255, 255, 255, 0, 200, 0, 0, 128, 100, 100, 100, 255, 0, 0, 0, 0};
  const auto png = test::PngBytes(4, 1, rgba);
  TBitmap pre = DecodeSkinPng(png.data(), png.size(), true);
  ASSERT_EQ(pre.PixelFormat(), pf32bit);
  EXPECT_EQ(Pixel32(pre, 0, 0), 0u);
  EXPECT_EQ(Pixel32(pre, 1, 0), (128u << 24) | ((200u * 128 / 256) << 16));
  EXPECT_EQ(Pixel32(pre, 2, 0), 0xFF636363u);  // 100 * 255 / 256 = 99
  EXPECT_EQ(Pixel32(pre, 3, 0), 0u);
  TBitmap straight = DecodeSkinPng(png.data(), png.size(), false);
  EXPECT_EQ(Pixel32(straight, 0, 0), 0u);
  EXPECT_EQ(Pixel32(straight, 1, 0), 0x80C80000u);
  EXPECT_EQ(Pixel32(straight, 2, 0), 0xFF646464u);

  const std::vector<std::uint8_t> junk{0x89, 'P', 'N', 'G', 1, 2, 3};
  EXPECT_THROW(DecodeSkinPng(junk.data(), junk.size(), true), ESkinLoadError);
  auto cut = png;
  cut.resize(cut.size() - 20);
  EXPECT_THROW(DecodeSkinPng(cut.data(), cut.size(), true), ESkinLoadError);
}

}  // namespace
}  // namespace tv
