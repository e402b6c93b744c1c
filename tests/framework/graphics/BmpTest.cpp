#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"

namespace tv {
namespace {

std::vector<std::uint8_t> Bytes(const TMemoryStream& s) { return s.Bytes(); }

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// A file header and a BITMAPINFOHEADER; the caller appends palette and pixels.
std::vector<std::uint8_t> InfoHeader(std::int32_t w, std::int32_t h, int bpp, std::uint32_t offBits,
                                     std::uint32_t colorsUsed = 0, std::uint32_t compression = 0) {
  std::vector<std::uint8_t> v = {'B', 'M'};
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, offBits);
  Put32(v, 40);
  Put32(v, static_cast<std::uint32_t>(w));
  Put32(v, static_cast<std::uint32_t>(h));
  Put16(v, 1);
  Put16(v, static_cast<std::uint32_t>(bpp));
  Put32(v, compression);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, colorsUsed);
  Put32(v, 0);
  return v;
}

// A picture whose every pixel differs, so row order and channel order mistakes show.
TBitmap Pattern(int w, int h, TPixelFormat pf) {
  TBitmap b(w, h, pf);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    const int bpp = pf == pf32bit ? 4 : 3;
    for (int x = 0; x < w; ++x) {
      row[x * bpp + 0] = static_cast<std::uint8_t>(x * 7 + y);
      row[x * bpp + 1] = static_cast<std::uint8_t>(y * 13 + 1);
      row[x * bpp + 2] = static_cast<std::uint8_t>(x * y + 5);
      if (bpp == 4) row[x * bpp + 3] = static_cast<std::uint8_t>(x + y * 3);
    }
  }
  return b;
}

TEST(BitmapTest, DefaultIsEmpty24Bit) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.ScanLine(0), nullptr);
}

TEST(BitmapTest, ScanLineUsesWindowsDibLayout) {
  TBitmap b(3, 2);
  b.SetPixelColor(1, 0, RGB(10, 20, 30));
  const std::uint8_t* row = b.ScanLine(0);
  EXPECT_EQ(row[3], 30);  // B
  EXPECT_EQ(row[4], 20);  // G
  EXPECT_EQ(row[5], 10);  // R
  b.SetPixelFormat(pf32bit);
  row = b.ScanLine(0);
  EXPECT_EQ(row[4], 30);
  EXPECT_EQ(row[5], 20);
  EXPECT_EQ(row[6], 10);
  EXPECT_EQ(row[7], 255);
  EXPECT_EQ(b.PixelColor(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(b.PixelColor(0, 1), clWhite);
  EXPECT_EQ(b.PixelColor(3, 0), clInvalid);
}

TEST(BitmapTest, DroppingAlphaKeepsTheColour) {
  TBitmap b(2, 1, pf32bit);
  std::uint8_t* p = b.ScanLine(0);
  const std::uint8_t px[8] = {10, 20, 30, 0, 40, 50, 60, 128};
  std::memcpy(p, px, 8);
  TBitmap c(b);
  c.SetPixelFormat(pf24bit);
  EXPECT_EQ(c.PixelColor(0, 0), RGB(30, 20, 10));
  EXPECT_EQ(c.PixelColor(1, 0), RGB(60, 50, 40));
  c.SetPixelFormat(pf32bit);
  EXPECT_EQ(c.ScanLine(0)[3], 255);
  // Resizing a 32-bit bitmap keeps alpha too.
  b.SetSize(3, 1);
  EXPECT_EQ(b.ScanLine(0)[7], 128);
  EXPECT_EQ(b.ScanLine(0)[3], 0);
}

TEST(BitmapTest, ResizingKeepsPixelsThatFitAndFillsWhite) {
  TBitmap b = Pattern(4, 3, pf24bit);
  const TBitmap before(b);
  b.SetSize(6, 2);
  ASSERT_EQ(b.Width(), 6);
  ASSERT_EQ(b.Height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.PixelColor(x, y), before.PixelColor(x, y)) << x << "," << y;
    for (int x = 4; x < 6; ++x) EXPECT_EQ(b.PixelColor(x, y), clWhite);
  }
  b.SetHeight(0);
  EXPECT_TRUE(b.Empty());
}

TEST(BitmapTest, CopiesAreDeep) {
  TBitmap a = Pattern(5, 5, pf24bit);
  TBitmap b;
  b.Assign(a);
  TBitmap c(a);
  a.SetPixelColor(0, 0, clRed);
  EXPECT_NE(b.PixelColor(0, 0), clRed);
  EXPECT_NE(c.PixelColor(0, 0), clRed);
  EXPECT_TRUE(b.SamePixels(c));
}

TEST(BitmapTest, CanvasFollowsAMovedBitmap) {
  TBitmap a(4, 4);
  TCanvas* canvas = &a.Canvas();
  TBitmap b(std::move(a));
  EXPECT_EQ(&b.Canvas(), canvas);
  b.Canvas().SetPixel(1, 1, clBlue);
  EXPECT_EQ(b.PixelColor(1, 1), clBlue);
}

TEST(BitmapTest, PixelBufferRoundTrip) {
  platform::PixelBuffer buf{2, 2, {0xFF112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu}};
  TBitmap b(buf);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.PixelColor(1, 0), RGB(0x44, 0x55, 0x66));
  EXPECT_EQ(b.ToPixelBuffer().pixels, buf.pixels);
  const platform::PixelView v = b.View();
  EXPECT_EQ(v.width, 2);
  std::uint32_t px;
  std::memcpy(&px, v.bits + v.stride, 4);
  EXPECT_EQ(px, 0xFF778899u);

  TBitmap rgb(2, 1);
  rgb.SetPixelColor(0, 0, RGB(1, 2, 3));
  const platform::PixelView v24 = rgb.View();
  std::memcpy(&px, v24.bits, 4);
  EXPECT_EQ(px, 0xFF010203u);
}

TEST(BmpTest, RoundTrips24And32Bit) {
  for (TPixelFormat pf : {pf24bit, pf32bit}) {
    for (int w : {1, 2, 3, 4, 5, 17}) {
      const TBitmap src = Pattern(w, 3, pf);
      TMemoryStream s;
      src.SaveToStream(s);
      const auto& bytes = s.Bytes();
      ASSERT_GE(bytes.size(), 54u);
      EXPECT_EQ(bytes[28], pf == pf32bit ? 32 : 24);  // biBitCount
      EXPECT_EQ(bytes[14], 40);                     // BITMAPINFOHEADER
      s.SetPosition(0);
      TBitmap back;
      back.LoadFromStream(s);
      EXPECT_EQ(back.PixelFormat(), pf);
      EXPECT_TRUE(back.SamePixels(src)) << "width " << w;
      EXPECT_EQ(s.Position(), s.Size());
    }
  }
}

TEST(BmpTest, ReadsTopDownAndBottomUp) {
  // 2 x 2, 24 bits: rows padded to 8 bytes.
  const std::uint8_t topRow[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // red, green
  const std::uint8_t bottomRow[8] = {255, 0, 0, 255, 255, 255, 0, 0};  // blue, white
  for (bool topDown : {false, true}) {
    auto v = InfoHeader(2, topDown ? -2 : 2, 24, 54);
    const std::uint8_t* first = topDown ? topRow : bottomRow;
    const std::uint8_t* second = topDown ? bottomRow : topRow;
    v.insert(v.end(), first, first + 8);
    v.insert(v.end(), second, second + 8);
    auto r = TBitmap::ReadBmp(v.data(), v.size());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->PixelColor(0, 0), clRed) << topDown;
    EXPECT_EQ(r->PixelColor(1, 0), clLime);
    EXPECT_EQ(r->PixelColor(0, 1), clBlue);
    EXPECT_EQ(r->PixelColor(1, 1), clWhite);
  }
}

TEST(BmpTest, ReadsCoreHeaderWithPalette) {
  // BITMAPCOREHEADER, 3 x 2, 8 bits, 2-entry RGBTRIPLE palette.
  std::vector<std::uint8_t> v = {'B', 'M'};
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 14 + 12 + 6);
  Put32(v, 12);
  Put16(v, 3);
  Put16(v, 2);
  Put16(v, 1);
  Put16(v, 8);
  // The palette of a core header holds 2^bits entries; give only two before the pixels start
  // (bfOffBits says so), the reader keeps what fits.
  v.insert(v.end(), {0, 0, 255, /**/ 0, 255, 0});
  v.insert(v.end(), {0, 1, 1, 0});  // bottom row: red green green
  v.insert(v.end(), {1, 0, 0, 0});  // top row: green red red
  auto r = TBitmap::ReadBmp(v.data(), v.size());
  ASSERT_TRUE(r.ok()) << BmpErrorText(r.error());
  EXPECT_EQ(r->Width(), 3);
  EXPECT_EQ(r->PixelColor(0, 0), clLime);
  EXPECT_EQ(r->PixelColor(1, 0), clRed);
  EXPECT_EQ(r->PixelColor(0, 1), clRed);
  EXPECT_EQ(r->PixelColor(2, 1), clLime);
}

TEST(BmpTest, ReadsCoreHeader24Bit) {
  std::vector<std::uint8_t> v = {'B', 'M'};
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 26);
  Put32(v, 12);
  Put16(v, 1);
  Put16(v, 2);
  Put16(v, 1);
  Put16(v, 24);
  v.insert(v.end(), {255, 0, 0, 0});  // bottom: blue
  v.insert(v.end(), {0, 0, 255, 0});  // top: red
  auto r = TBitmap::ReadBmp(v.data(), v.size());
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->PixelColor(0, 0), clRed);
  EXPECT_EQ(r->PixelColor(0, 1), clBlue);
}

TEST(BmpTest, ReadsPalettedAndSixteenBitFormats) {
  {  // 1 bit, 10 pixels wide: bits from the most significant.
    auto v = InfoHeader(10, 1, 1, 54 + 8, 2);
    v.insert(v.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    v.insert(v.end(), {0b10100000, 0b01000000, 0, 0});
    auto r = TBitmap::ReadBmp(v.data(), v.size());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->PixelColor(0, 0), clWhite);
    EXPECT_EQ(r->PixelColor(1, 0), clBlack);
    EXPECT_EQ(r->PixelColor(2, 0), clWhite);
    EXPECT_EQ(r->PixelColor(9, 0), clWhite);
    EXPECT_EQ(r->PixelColor(8, 0), clBlack);
  }
  {  // 4 bits; an index past the palette reads black.
    auto v = InfoHeader(3, 1, 4, 54 + 8, 2);
    v.insert(v.end(), {0, 0, 255, 0, 255, 0, 0, 0});
    v.insert(v.end(), {0x10, 0x70, 0, 0});
    auto r = TBitmap::ReadBmp(v.data(), v.size());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->PixelColor(0, 0), clBlue);
    EXPECT_EQ(r->PixelColor(1, 0), clRed);
    EXPECT_EQ(r->PixelColor(2, 0), clBlack);
  }
  {  // 16 bits, 5-5-5.
    auto v = InfoHeader(2, 1, 16, 54);
    Put16(v, 0x7C00);
    Put16(v, 0x001F);
    auto r = TBitmap::ReadBmp(v.data(), v.size());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->PixelColor(0, 0), clRed);
    EXPECT_EQ(r->PixelColor(1, 0), clBlue);
  }
  {  // 16 bits, 5-6-5 bit fields after the header.
    auto v = InfoHeader(1, 1, 16, 54 + 12, 0, 3);
    Put32(v, 0xF800);
    Put32(v, 0x07E0);
    Put32(v, 0x001F);
    Put16(v, 0x07E0);
    v.insert(v.end(), {0, 0});
    auto r = TBitmap::ReadBmp(v.data(), v.size());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->PixelColor(0, 0), clLime);
  }
}

TEST(BmpTest, ReadsV5HeaderKeepingAlpha) {
  std::vector<std::uint8_t> v = {'B', 'M'};
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 14 + 124);
  Put32(v, 124);
  Put32(v, 1);
  Put32(v, static_cast<std::uint32_t>(-1));
  Put16(v, 1);
  Put16(v, 32);
  Put32(v, 3);  // bit fields
  for (int i = 0; i < 5; ++i) Put32(v, 0);
  Put32(v, 0x00FF0000);
  Put32(v, 0x0000FF00);
  Put32(v, 0x000000FF);
  Put32(v, 0xFF000000);
  v.resize(14 + 124, 0);
  v.insert(v.end(), {0x10, 0x20, 0x30, 0x80});
  auto r = TBitmap::ReadBmp(v.data(), v.size());
  ASSERT_TRUE(r.ok()) << BmpErrorText(r.error());
  EXPECT_EQ(r->PixelFormat(), pf32bit);
  EXPECT_EQ(r->ScanLine(0)[3], 0x80);
  EXPECT_EQ(r->PixelColor(0, 0), RGB(0x30, 0x20, 0x10));
}

TEST(BmpTest, EveryTruncationIsAnError) {
  TMemoryStream s;
  Pattern(5, 4, pf24bit).SaveToStream(s);
  const auto full = Bytes(s);
  // Writers that leave out the last row's padding are common: that much is accepted.
  const std::size_t lastPad = 1;
  EXPECT_TRUE(TBitmap::ReadBmp(full.data(), full.size() - lastPad).ok());
  for (std::size_t n = 0; n < full.size() - lastPad; ++n) {
    auto r = TBitmap::ReadBmp(full.data(), n);
    EXPECT_FALSE(r.ok()) << "length " << n;
    TMemoryStream part(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    EXPECT_THROW(TBitmap().LoadFromStream(part), EInvalidGraphic) << "length " << n;
  }
}

TEST(BmpTest, BadHeadersGiveErrorValues) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    BmpError expected;
  };
  std::vector<Case> cases;
  cases.push_back({"negative width", InfoHeader(-5, 4, 24, 54), BmpError::BadDimensions});
  cases.push_back({"int-min height", InfoHeader(4, INT32_MIN, 24, 54), BmpError::BadDimensions});
  cases.push_back({"absurd size", InfoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, 54), BmpError::BadDimensions});
  // Fits the side limit but the file holds no pixels: no allocation of 4 GB before checking.
  cases.push_back({"large but empty", InfoHeader(30000, 30000, 32, 54), BmpError::BadDimensions});
  cases.push_back({"fits but no data", InfoHeader(16000, 16000, 24, 54), BmpError::Truncated});
  cases.push_back({"bad bit count", InfoHeader(1, 1, 7, 54), BmpError::UnsupportedFormat});
  cases.push_back({"rle", InfoHeader(1, 1, 8, 54, 0, 1), BmpError::UnsupportedFormat});
  cases.push_back({"palette too big", InfoHeader(1, 1, 8, 54, 100000), BmpError::BadPalette});
  {
    auto v = InfoHeader(1, 1, 8, 0, 256);  // palette of 1 KB declared, a few bytes present
    v.insert(v.end(), {1, 2, 3, 4, 0, 0, 0, 0});
    cases.push_back({"palette beyond data", v, BmpError::Truncated});
  }
  {
    auto v = InfoHeader(1, 1, 24, 54);
    v[0] = 'X';
    cases.push_back({"signature", v, BmpError::NotBitmap});
  }
  {
    auto v = InfoHeader(1, 1, 24, 54);
    v[14] = 41;
    cases.push_back({"header size", v, BmpError::UnsupportedHeader});
  }
  for (const Case& c : cases) {
    auto r = TBitmap::ReadBmp(c.bytes.data(), c.bytes.size());
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error(), c.expected) << c.name << ": " << BmpErrorText(r.error());
    TMemoryStream s(c.bytes);
    auto rs = TBitmap::ReadBmp(s);
    ASSERT_FALSE(rs.ok()) << c.name;
    EXPECT_EQ(rs.error(), c.expected) << c.name;
  }
}

TEST(BmpTest, FilesAndUnreadablePaths) {
  const auto dir = std::filesystem::temp_directory_path() / ("tovalin-bmp-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "p.bmp").string();
  const TBitmap src = Pattern(7, 5, pf24bit);
  src.SaveToFile(path);
  TBitmap back;
  back.LoadFromFile(path);
  EXPECT_TRUE(back.SamePixels(src));

  EXPECT_THROW(back.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
  EXPECT_THROW(back.LoadFromFile(dir.string()), Exception);  // a directory
  EXPECT_THROW(src.SaveToFile((dir / "no" / "such" / "dir.bmp").string()), EFCreateError);
  // A failed load leaves the bitmap as it was.
  EXPECT_TRUE(back.SamePixels(src));
  std::filesystem::remove_all(dir);
}

TEST(BmpTest, AFullDiskNamesTheFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const TBitmap src = Pattern(300, 300, pf24bit);
  try {
    src.SaveToFile("/dev/full");
    FAIL() << "expected a write error";
  } catch (const EWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
  }
}

TEST(BmpTest, StreamReadStopsAfterTheBitmap) {
  TMemoryStream s;
  Pattern(3, 3, pf24bit).SaveToStream(s);
  const std::int64_t end = s.Size();
  const std::uint8_t trailer[3] = {1, 2, 3};
  s.WriteBuffer(trailer, 3);
  s.SetPosition(0);
  auto r = TBitmap::ReadBmp(s);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(s.Position(), end);
}

}  // namespace
}  // namespace tv
