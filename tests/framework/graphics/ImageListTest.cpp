#include <gtest/gtest.h>

#include <vector>

#include "framework/Exceptions.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TIcon.h"
#include "framework/graphics/TImageList.h"

namespace tv {
namespace {

TBitmap Noise(int w, int h, int seed) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixelColor(x, y, RGB(x * 31 + seed, y * 17 + seed * 3, (x ^ y) + seed));
  return b;
}

TEST(ImageListTest, EntriesComeBackExactly) {
  TImageList list;
  list.SetSize(130, 70);  // tiles with partial edges
  TBitmap a = Noise(130, 70, 1), b = Noise(130, 70, 2);
  EXPECT_EQ(list.Add(a), 0);
  EXPECT_EQ(list.Add(b), 1);
  TBitmap out;
  ASSERT_TRUE(list.GetBitmap(0, out));
  EXPECT_TRUE(out.SamePixels(a));
  ASSERT_TRUE(list.GetBitmap(1, out));
  EXPECT_TRUE(out.SamePixels(b));

  TBitmap p32 = Noise(130, 70, 3);
  p32.SetPixelFormat(pf32bit);
  p32.ScanLine(5)[3] = 9;
  ASSERT_TRUE(list.Insert(1, p32));
  ASSERT_TRUE(list.GetBitmap(1, out));
  EXPECT_EQ(out.PixelFormat(), pf32bit);
  EXPECT_TRUE(out.SamePixels(p32));
  ASSERT_TRUE(list.GetBitmap(2, out));
  EXPECT_TRUE(out.SamePixels(b));  // moved up by one
}

TEST(ImageListTest, InsertOutOfRangeFailsAndChangesNothing) {
  TImageList list(4, 4);
  const TBitmap a = Noise(4, 4, 1);
  EXPECT_FALSE(list.Insert(1, a));
  EXPECT_FALSE(list.Insert(-1, a));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Insert(0, a));
  EXPECT_TRUE(list.Insert(1, a));
  EXPECT_FALSE(list.Insert(3, a));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_FALSE(list.Delete(2));
  EXPECT_TRUE(list.Delete(0));
  EXPECT_EQ(list.Count(), 1);
  TBitmap out;
  EXPECT_FALSE(list.GetBitmap(1, out));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(ImageListTest, ChangingTheSizeEmptiesTheList) {
  TImageList list(8, 8);
  list.Add(Noise(8, 8, 0));
  list.SetSize(8, 8);
  EXPECT_EQ(list.Count(), 1);
  list.SetSize(9, 8);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Width(), 9);
}

TEST(ImageListTest, OddSizedPicturesAreCroppedOrPadded) {
  TImageList list(4, 3);
  list.Add(Noise(6, 5, 1));
  list.Add(Noise(2, 2, 2));
  TBitmap out;
  ASSERT_TRUE(list.GetBitmap(0, out));
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(out.PixelColor(3, 2), Noise(6, 5, 1).PixelColor(3, 2));
  ASSERT_TRUE(list.GetBitmap(1, out));
  EXPECT_EQ(out.PixelColor(1, 1), Noise(2, 2, 2).PixelColor(1, 1));
  EXPECT_EQ(out.PixelColor(3, 2), clBlack);
}

TEST(ImageListTest, SnapshotsOfAStrokeShareUnchangedTiles) {
  // Eleven snapshots of a 1920 x 1080 picture, each with one more short stroke.
  TBitmap picture = Noise(1920, 1080, 7);
  TImageList list(1920, 1080);
  const std::size_t full = static_cast<std::size_t>(1920) * 1080 * 3;
  ASSERT_TRUE(list.Insert(0, picture));
  for (int i = 1; i <= 10; ++i) {
    picture.Canvas().Pen().SetWidth(3);
    picture.Canvas().MoveTo(100 + 50 * i, 100);
    picture.Canvas().LineTo(130 + 50 * i, 140);
    ASSERT_TRUE(list.Insert(i, picture));
  }
  EXPECT_LT(list.StoredBytes(), full + full / 10);
  TBitmap out;
  ASSERT_TRUE(list.GetBitmap(10, out));
  EXPECT_TRUE(out.SamePixels(picture));
  ASSERT_TRUE(list.GetBitmap(0, out));
  EXPECT_TRUE(out.SamePixels(Noise(1920, 1080, 7)));
}

TEST(ImageListTest, DrawPutsTheEntryOnACanvas) {
  TImageList list(3, 2);
  const TBitmap a = Noise(3, 2, 4);
  list.Add(a);
  TBitmap target(5, 5);
  list.Draw(target.Canvas(), 1, 2, 0);
  EXPECT_EQ(target.PixelColor(1, 2), a.PixelColor(0, 0));
  EXPECT_EQ(target.PixelColor(3, 3), a.PixelColor(2, 1));
  EXPECT_EQ(target.PixelColor(0, 0), clWhite);
  list.Draw(target.Canvas(), 0, 0, 5);  // out of range: nothing
  EXPECT_EQ(target.PixelColor(0, 0), clWhite);
}

TEST(ImageListTest, MaskMakesPixelsTransparent) {
  TImageList list(2, 1);
  TBitmap img(2, 1);
  img.SetPixelColor(0, 0, clRed);
  img.SetPixelColor(1, 0, clBlue);
  TBitmap mask(2, 1);
  mask.SetPixelColor(0, 0, clBlack);  // opaque
  mask.SetPixelColor(1, 0, clWhite);  // transparent
  list.Add(img, &mask);
  TBitmap target(2, 1);
  target.Canvas().Brush().SetColor(clGreen);
  target.Canvas().FillRect({0, 0, 2, 1});
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.PixelColor(0, 0), clRed);
  EXPECT_EQ(target.PixelColor(1, 0), clGreen);
  TIcon icon;
  ASSERT_TRUE(list.GetIcon(0, icon));
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[3], 255);
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[7], 0);
}

TEST(IconTest, FromTransparentBitmapAndBmpStream) {
  TBitmap b(2, 2);
  b.SetPixelColor(0, 0, clFuchsia);
  b.SetPixelColor(1, 0, clYellow);
  b.SetPixelColor(0, 1, clFuchsia);
  b.SetTransparent(true);
  b.SetTransparentColor(clFuchsia);
  TIcon icon;
  icon.AssignBitmap(b);
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[3], 0);
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[7], 255);
  const auto buf = icon.ToPixelBuffer();
  EXPECT_EQ(buf.At(1, 0), 0xFFFFFF00u);

  TMemoryStream s;
  b.SaveToStream(s);
  s.SetPosition(0);
  TIcon fromBmp;
  fromBmp.LoadFromStream(s);
  EXPECT_EQ(fromBmp.Width(), 2);
  EXPECT_EQ(fromBmp.Bitmap().ScanLine(0)[3], 255);  // a 24-bit BMP is opaque
}

TEST(IconTest, ReadsAnIcoWithAndMask) {
  // One 2 x 2 entry, 24-bit DIB, AND mask clearing the top-left pixel.
  std::vector<std::uint8_t> dib(40, 0);
  dib[0] = 40;
  dib[4] = 2;
  dib[8] = 4;  // height doubled
  dib[12] = 1;
  dib[14] = 24;
  const std::uint8_t rows[16] = {0, 0, 255, 0, 255, 0, 0, 0,   // bottom: red, green
                                 255, 0, 0, 255, 255, 255, 0, 0};  // top: blue, white
  dib.insert(dib.end(), rows, rows + 16);
  const std::uint8_t andMask[8] = {0, 0, 0, 0, 0x80, 0, 0, 0};  // bottom row clear, top row: first bit
  dib.insert(dib.end(), andMask, andMask + 8);
  std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 24, 0};
  const auto len = static_cast<std::uint32_t>(dib.size());
  for (int i = 0; i < 4; ++i) ico.push_back(static_cast<std::uint8_t>(len >> (8 * i)));
  ico.insert(ico.end(), {22, 0, 0, 0});
  ico.insert(ico.end(), dib.begin(), dib.end());
  TMemoryStream s(ico);
  TIcon icon;
  icon.LoadFromStream(s);
  ASSERT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Bitmap().PixelColor(1, 0), clWhite);
  EXPECT_EQ(icon.Bitmap().PixelColor(0, 1), clRed);
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[3], 0);
  EXPECT_EQ(icon.Bitmap().ScanLine(0)[7], 255);
  EXPECT_EQ(icon.Bitmap().ScanLine(1)[3], 255);

  for (std::size_t n : {std::size_t{0}, std::size_t{5}, std::size_t{21}, ico.size() - 30}) {
    TMemoryStream cut(std::vector<std::uint8_t>(ico.begin(), ico.begin() + static_cast<std::ptrdiff_t>(n)));
    EXPECT_THROW(TIcon().LoadFromStream(cut), EInvalidGraphic) << n;
  }
}

}  // namespace
}  // namespace tv
