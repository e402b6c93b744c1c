#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TJPEGImage.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class JpegTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tovalin-jpeg-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A picture like a screenshot: flat areas, sharp edges, gradients, and some noise. Odd size, so
// the partial MCUs at the right and bottom are exercised.
TBitmap ScreenLike(int w, int h) {
  TBitmap b(w, h);
  std::uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      std::uint8_t r, g, bl;
      if (y < h / 4) {
        r = 30; g = 60; bl = 120;  // a title bar
      } else if (x < w / 3) {
        r = static_cast<std::uint8_t>(x * 255 / w); g = static_cast<std::uint8_t>(y * 255 / h); bl = 200;
      } else {
        r = g = bl = static_cast<std::uint8_t>((seed >> 16) & 0xFF);
      }
      row[3 * x] = bl;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
    }
  }
  b.Canvas().Pen().SetColor(clRed);
  b.Canvas().Pen().SetWidth(3);
  b.Canvas().MoveTo(3, h - 5);
  b.Canvas().LineTo(w - 4, 5);
  return b;
}

TEST_F(JpegTest, MatchesCjpegByteForByte) {
  if (std::system("command -v cjpeg >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed: peer comparison skipped";
  }
  const TBitmap picture = ScreenLike(157, 93);
  const std::string bmp = Path("in.bmp");
  picture.SaveToFile(bmp);
  for (int quality : {100, 80}) {
    const std::string peer = Path("peer" + std::to_string(quality) + ".jpg");
    const std::string cmd = "cjpeg -quality " + std::to_string(quality) + " -dct float -baseline -outfile '" +
                            peer + "' '" + bmp + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    jpeg.SetCompressionQuality(quality);
    const std::string ours = Path("ours" + std::to_string(quality) + ".jpg");
    jpeg.SaveToFile(ours);
    const auto a = ReadAll(ours);
    const auto b = ReadAll(peer);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.size(), b.size()) << "quality " << quality;
    EXPECT_TRUE(a == b) << "quality " << quality << " differs from cjpeg";
  }
}

TEST_F(JpegTest, HeaderIsBaselineJfifWithSquarePixels) {
  TJPEGImage jpeg;
  jpeg.Assign(ScreenLike(32, 16));
  jpeg.SetCompressionQuality(100);
  auto bytes = jpeg.Compressed();
  ASSERT_TRUE(bytes.ok());
  const auto& d = *bytes;
  ASSERT_GT(d.size(), 20u);
  EXPECT_EQ(d[0], 0xFF);
  EXPECT_EQ(d[1], 0xD8);
  EXPECT_EQ(d[2], 0xFF);
  EXPECT_EQ(d[3], 0xE0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[6]), 4), "JFIF");
  EXPECT_EQ(d[11], 1);  // version 1.01
  EXPECT_EQ(d[12], 1);
  EXPECT_EQ(d[13], 0);  // no unit
  EXPECT_EQ(d[15], 1);  // density 1:1
  EXPECT_EQ(d[17], 1);
  // A baseline frame (SOF0), and no progressive one.
  bool sof0 = false, sof2 = false;
  for (std::size_t i = 0; i + 1 < d.size(); ++i) {
    if (d[i] == 0xFF && d[i + 1] == 0xC0) sof0 = true;
    if (d[i] == 0xFF && d[i + 1] == 0xC2) sof2 = true;
  }
  EXPECT_TRUE(sof0);
  EXPECT_FALSE(sof2);
}

TEST_F(JpegTest, DecodesWhatItEncodes) {
  TBitmap picture(40, 30);
  picture.Canvas().Brush().SetColor(clRed);
  picture.Canvas().FillRect({0, 0, 20, 30});
  picture.Canvas().Brush().SetColor(clBlue);
  picture.Canvas().FillRect({20, 0, 40, 30});
  TJPEGImage out;
  out.Assign(picture);
  out.SetCompressionQuality(100);
  TMemoryStream s;
  out.SaveToStream(s);
  s.SetPosition(0);
  TJPEGImage in;
  in.LoadFromStream(s);
  EXPECT_EQ(in.Width(), 40);
  EXPECT_EQ(in.Height(), 30);
  EXPECT_EQ(in.Bitmap().PixelFormat(), pf24bit);
  const TColor left = in.Bitmap().PixelColor(5, 15), right = in.Bitmap().PixelColor(35, 15);
  EXPECT_GT(GetRValue(left), 240);
  EXPECT_LT(GetBValue(left), 15);
  EXPECT_GT(GetBValue(right), 240);
  EXPECT_LT(GetRValue(right), 15);
  // Saving a loaded JPEG writes the bytes it was loaded from.
  TMemoryStream again;
  in.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), s.Bytes());
}

TEST_F(JpegTest, ThirtyTwoBitPicturesAreEncodedFromTheirColour) {
  TBitmap p24 = ScreenLike(33, 17);
  TBitmap p32(p24);
  p32.SetPixelFormat(pf32bit);
  for (int y = 0; y < p32.Height(); ++y) p32.ScanLine(y)[3] = 7;  // alpha plays no part
  auto a = TJPEGImage::Encode(p24, 80);
  auto b = TJPEGImage::Encode(p32, 80);
  ASSERT_TRUE(a.ok());
  ASSERT_TRUE(b.ok());
  EXPECT_EQ(*a, *b);
}

TEST_F(JpegTest, BadInputGivesErrorsNotExits) {
  std::vector<std::vector<std::uint8_t>> inputs = {
      {},
      {0xFF, 0xD8},
      {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x03},
      std::vector<std::uint8_t>(100, 0x42),
  };
  for (const auto& in : inputs) {
    auto r = TJPEGImage::Decode(in.data(), in.size());
    EXPECT_FALSE(r.ok()) << in.size();
    TMemoryStream s(in);
    EXPECT_THROW(TJPEGImage().LoadFromStream(s), EInvalidGraphic);
  }
  EXPECT_FALSE(TJPEGImage::Encode(TBitmap(), 100).ok());
  TJPEGImage empty;
  TMemoryStream sink;
  EXPECT_THROW(empty.SaveToStream(sink), EInvalidGraphic);
}

TEST_F(JpegTest, DeclaredSizeBeyondWhatTheFileCanHoldIsRefused) {
  auto small = TJPEGImage::Encode(ScreenLike(16, 16), 90);
  ASSERT_TRUE(small.ok());
  std::vector<std::uint8_t> forged = *small;
  std::size_t sof = 0;
  for (std::size_t i = 0; i + 1 < forged.size(); ++i)
    if (forged[i] == 0xFF && forged[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  ASSERT_NE(sof, 0u);
  forged[sof + 5] = 0x1F;  // height 8000
  forged[sof + 6] = 0x40;
  forged[sof + 7] = 0x1F;  // width 8000
  forged[sof + 8] = 0x40;
  auto r = TJPEGImage::Decode(forged.data(), forged.size());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), JpegError::TooLarge);
  // A real picture of a large size decodes.
  TBitmap big(1500, 1000);
  auto bytes = TJPEGImage::Encode(big, 80);
  ASSERT_TRUE(bytes.ok());
  auto decoded = TJPEGImage::Decode(bytes->data(), bytes->size());
  ASSERT_TRUE(decoded.ok()) << JpegErrorText(decoded.error()) << " " << bytes->size();
  EXPECT_EQ(decoded->Width(), 1500);
}

TEST_F(JpegTest, TruncatedJpegStillDecodesWithoutCrashing) {
  auto full = TJPEGImage::Encode(ScreenLike(64, 48), 90);
  ASSERT_TRUE(full.ok());
  for (std::size_t n : {full->size() / 2, full->size() - 3}) {
    auto r = TJPEGImage::Decode(full->data(), n);
    if (r.ok()) {
      EXPECT_EQ(r->Width(), 64);
    }
  }
}

TEST_F(JpegTest, SaveToUnwritablePathThrowsAndLeavesNoFile) {
  TJPEGImage jpeg;
  jpeg.Assign(ScreenLike(8, 8));
  EXPECT_THROW(jpeg.SaveToFile(Path("missing/dir/x.jpg")), EFCreateError);
  TJPEGImage empty;
  EXPECT_THROW(empty.SaveToFile(Path("empty.jpg")), EInvalidGraphic);
  EXPECT_FALSE(fs::exists(Path("empty.jpg")));
}

TEST_F(JpegTest, AFullDiskNamesTheFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TJPEGImage jpeg;
  jpeg.Assign(ScreenLike(64, 64));
  try {
    jpeg.SaveToFile("/dev/full");
    FAIL() << "expected a write error";
  } catch (const EWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
  }
}

TEST(JpegQuality, IsClampedToOneToHundred) {
  TJPEGImage j;
  EXPECT_EQ(j.CompressionQuality(), TJPEGImage::kDefaultQuality);
  j.SetCompressionQuality(0);
  EXPECT_EQ(j.CompressionQuality(), 1);
  j.SetCompressionQuality(101);
  EXPECT_EQ(j.CompressionQuality(), 100);
}

}  // namespace
}  // namespace tv
