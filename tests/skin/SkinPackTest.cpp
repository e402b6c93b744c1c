#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "skin/acSkinPack.h"
#include "skin/PackageBuilder.h"

namespace tv {
namespace {

using test::BuildPackage;
using test::Bytes;
using test::PackageMember;

std::unique_ptr<TacSkinConvertor> ReaderOver(TStream& source) {
  auto reader = std::make_unique<TacSkinConvertor>();
  reader->SetSource(&source);
  return reader;
}

std::string StreamText(TMemoryStream* s) {
  return s ? std::string(s->Bytes().begin(), s->Bytes().end()) : std::string("<null>");
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

TEST(SkinPackage, OptionsMemberIsFoundInAnyLetterCase) {
  for (const char* name : {"Options.dat", "OPTIONS.DAT", "options.dat", "oPtIoNs.DaT"}) {
    TMemoryStream src(BuildPackage({{"a.bmp", Bytes("A")}, {name, Bytes("[GLOBALINFO]\r\n")}}));
    auto reader = ReaderOver(src);
    ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader)) << name;
    EXPECT_EQ(StreamText(reader->Options()), "[GLOBALINFO]\r\n") << name;
    ASSERT_EQ(reader->Images().size(), 1u) << name;
    EXPECT_EQ(reader->ImageTotal(), 1);
  }
}

TEST(SkinPackage, LookupComparesUpperCasedNamesWithTheReferenceAsWritten) {
  TMemoryStream src(BuildPackage({{"Options.dat", Bytes("x")},
                                  {"Master copy.bmp", Bytes("master")},
                                  {"GlowEdit.png", Bytes("glow")}}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  struct Case {
    const char* reference;
    int index;
  } cases[] = {{"MASTER COPY.BMP", 0}, {"Master copy.bmp", -1}, {"GLOWEDIT.PNG", 1},
               {"GLOWEDIT.JPG", -1}, {"", -1}, {"OPTIONS.DAT", -1}};
  for (const auto& c : cases) EXPECT_EQ(reader->IndexOfImage(c.reference), c.index) << c.reference;
  EXPECT_TRUE(reader->Images()[0].IsBmp);
  EXPECT_FALSE(reader->Images()[1].IsBmp);
  EXPECT_EQ(reader->Images()[0].FileName, "Master copy.bmp");
  TMemoryStream* s = reader->ImageStream("MASTER COPY.BMP");
  ASSERT_NE(s, nullptr);
  s->SetPosition(3);
  EXPECT_EQ(reader->ImageStream("MASTER COPY.BMP")->Position(), 0);
}

TEST(SkinPackage, EarlierOfTwoEqualNamesWinsEveryLookup) {
  TMemoryStream src(BuildPackage(
      {{"a.BMP", Bytes("first")}, {"A.bmp", Bytes("second")}, {"Options.dat", Bytes("o")}}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  EXPECT_EQ(StreamText(reader->ImageStream("A.BMP")), "first");
}

TEST(SkinPackage, WithoutAnOptionsMemberTheLastImageIsUnreachable) {
  TMemoryStream src(BuildPackage({{"one.bmp", Bytes("1")}, {"two.bmp", Bytes("2")}}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  EXPECT_EQ(reader->Options(), nullptr);
  EXPECT_EQ(reader->Images().size(), 2u);
  EXPECT_EQ(reader->IndexOfImage("ONE.BMP"), 0);
  EXPECT_EQ(reader->IndexOfImage("TWO.BMP"), -1);
}

TEST(SkinPackage, EmptyPackageHasNothing) {
  TMemoryStream src(BuildPackage({}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  EXPECT_EQ(reader->Options(), nullptr);
  EXPECT_TRUE(reader->Images().empty());
  EXPECT_EQ(reader->ImageTotal(), -1);
  EXPECT_EQ(reader->IndexOfImage("X"), -1);
}

TEST(SkinPackage, LaterOptionsMemberReplacesEarlierOne) {
  TMemoryStream src(BuildPackage({{"Options.dat", Bytes("old")}, {"options.DAT", Bytes("new")}}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  EXPECT_EQ(StreamText(reader->Options()), "new");
}

// Big incompressible members cross the 64 KiB input chunks; members after them must still start
// right after each trailer. Empty members must not disturb the records that follow.
TEST(SkinPackage, MembersAcrossChunksAndEmptyMembersKeepTheirPlaces) {
  const auto big = RandomBytes(200000, 1);
  const auto small = RandomBytes(100, 2);
  TMemoryStream src(BuildPackage({{"Big one.bmp", big, 0},
                                  {"empty.png", {}},
                                  {"Options.dat", Bytes("[A]")},
                                  {"small.png", small, 9},
                                  {"Big two.png", big, 6},
                                  {"tail.bmp", Bytes("tail")}}));
  auto reader = ReaderOver(src);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  ASSERT_EQ(reader->Images().size(), 5u);
  EXPECT_EQ(reader->ImageStream("BIG ONE.BMP")->Bytes(), big);
  EXPECT_EQ(reader->ImageStream("EMPTY.PNG")->Size(), 0);
  EXPECT_EQ(reader->ImageStream("SMALL.PNG")->Bytes(), small);
  EXPECT_EQ(reader->ImageStream("BIG TWO.PNG")->Bytes(), big);
  EXPECT_EQ(StreamText(reader->ImageStream("TAIL.BMP")), "tail");
  EXPECT_EQ(src.Position(), src.Size());
}

TEST(InflateStream, StopsTheSourceRightAfterTheTrailer) {
  auto z = test::Deflate(RandomBytes(70000, 3), 0);
  const std::size_t streamSize = z.size();
  z.insert(z.end(), {'N', 'E', 'X', 'T'});
  TMemoryStream src(z);
  TacInflateStream in(src);
  std::vector<std::uint8_t> out(80000);
  EXPECT_EQ(in.Read(out.data(), 80000), 70000);
  EXPECT_EQ(src.Position(), static_cast<std::int64_t>(streamSize));
  EXPECT_EQ(in.Read(out.data(), 10), 0);
}

TEST(InflateStream, SeeksBackWhenSomeoneElseMovedTheSource) {
  const auto data = RandomBytes(150000, 4);
  TMemoryStream src(test::Deflate(data, 0));
  TacInflateStream in(src);
  std::vector<std::uint8_t> out(data.size());
  ASSERT_EQ(in.Read(out.data(), 1000), 1000);
  src.SetPosition(5);  // another reader moved it
  ASSERT_EQ(in.Read(out.data() + 1000, 99000), 99000);
  src.SetPosition(0);
  ASSERT_EQ(in.Read(out.data() + 100000, 50000), 50000);
  EXPECT_EQ(out, data);
}

TEST(InflateStream, AllowsOnlyRewindSkipAndEnd) {
  const auto data = RandomBytes(5000, 5);
  TMemoryStream src(test::Deflate(data));
  TacInflateStream in(src);
  std::uint8_t b = 0;
  EXPECT_EQ(in.Seek(100, SeekOrigin::Current), 100);
  ASSERT_EQ(in.Read(&b, 1), 1);
  EXPECT_EQ(b, data[100]);
  EXPECT_EQ(in.Seek(300, SeekOrigin::Beginning), 300);
  ASSERT_EQ(in.Read(&b, 1), 1);
  EXPECT_EQ(b, data[300]);
  EXPECT_EQ(in.Seek(0, SeekOrigin::End), 5000);
  EXPECT_EQ(in.Seek(0, SeekOrigin::Beginning), 0);
  ASSERT_EQ(in.Read(&b, 1), 1);
  EXPECT_EQ(b, data[0]);
  EXPECT_EQ(in.Position(), 1);

  try {
    in.Seek(-1, SeekOrigin::Current);
    FAIL();
  } catch (const EZStreamError& e) {
    EXPECT_STREQ(e.what(), "Invalid ZStream operation!");
  }
  EXPECT_THROW(in.Seek(-5, SeekOrigin::End), EZStreamError);
  in.Seek(10, SeekOrigin::Beginning);
  EXPECT_THROW(in.Seek(5, SeekOrigin::Beginning), EZStreamError);
  try {
    in.Write(&b, 1);
    FAIL();
  } catch (const EZStreamError& e) {
    EXPECT_STREQ(e.what(), "Invalid ZStream operation!");
  }
}

TEST(InflateStream, RewindRestartsFromWhereTheStreamBegan) {
  std::vector<std::uint8_t> bytes{1, 2, 3};
  const auto data = RandomBytes(1000, 6);
  auto z = test::Deflate(data);
  bytes.insert(bytes.end(), z.begin(), z.end());
  TMemoryStream src(bytes);
  src.SetPosition(3);
  TacInflateStream in(src);
  std::vector<std::uint8_t> out(1000);
  ASSERT_EQ(in.Read(out.data(), 1000), 1000);
  in.Seek(0, SeekOrigin::Beginning);
  std::vector<std::uint8_t> again(1000);
  ASSERT_EQ(in.Read(again.data(), 1000), 1000);
  EXPECT_EQ(again, data);
}

struct BadPackage {
  const char* what;
  std::vector<std::uint8_t> bytes;
  SkinError code;
  const char* message;  // empty: any
};

std::vector<std::uint8_t> Raw(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
std::vector<std::uint8_t> I32(std::int32_t v) {
  std::vector<std::uint8_t> out;
  test::PutInt32(out, v);
  return out;
}

TEST(SkinPackage, AdversarialPackagesFailCleanly) {
  const std::vector<std::uint8_t> magic{'M', 'V', 'p', 'k'};
  auto zx = test::Deflate(Bytes("hello"));
  auto corruptHeader = zx;
  corruptHeader[1] ^= 0x01;
  auto corruptBody = test::Deflate(Bytes(std::string(300, 'a') + "xyz"), 0);
  corruptBody[3] ^= 0xFF;  // stored block length vs. its complement
  auto badAdler = zx;
  badAdler.back() ^= 0xFF;
  const std::vector<BadPackage> cases = {
      {"wrong magic", Raw({Bytes("MVPK"), I32(0)}), SkinError::BadMagic, kNotPackedMessage},
      {"empty", {}, SkinError::BadMagic, kNotPackedMessage},
      {"no count", magic, SkinError::ReadError, ""},
      {"negative count", Raw({magic, I32(-1)}), SkinError::ReadError, ""},
      {"absurd count", Raw({magic, I32(0x7FFFFFFF)}), SkinError::ReadError, ""},
      {"negative name length", Raw({magic, I32(1), I32(-4)}), SkinError::ReadError, ""},
      {"name beyond data", Raw({magic, I32(1), I32(1000), Bytes("ab")}), SkinError::ReadError, ""},
      {"negative size", Raw({magic, I32(1), I32(1), Bytes("a"), I32(-1), zx}), SkinError::ReadError, ""},
      {"absurd size", Raw({magic, I32(1), I32(1), Bytes("a"), I32(0x7FFFFFFF), zx}), SkinError::ReadError, ""},
      {"size too big for its stream", Raw({magic, I32(1), I32(1), Bytes("a"), I32(6), zx}), SkinError::ReadError, ""},
      {"size too small for its stream", Raw({magic, I32(1), I32(1), Bytes("a"), I32(4), zx}), SkinError::ReadError, ""},
      {"bad zlib header", Raw({magic, I32(1), I32(1), Bytes("a"), I32(5), corruptHeader}), SkinError::Decompression,
       "incorrect header check"},
      {"bad stored block", Raw({magic, I32(1), I32(1), Bytes("a"), I32(303), corruptBody}), SkinError::Decompression,
       "invalid stored block lengths"},
      {"bad checksum", Raw({magic, I32(1), I32(1), Bytes("a"), I32(5), badAdler}), SkinError::Decompression,
       "incorrect data check"},
      {"missing record", Raw({magic, I32(2), I32(1), Bytes("a"), I32(5), zx}), SkinError::ReadError, ""},
  };
  for (const auto& c : cases) {
    TMemoryStream src(c.bytes);
    auto reader = ReaderOver(src);
    auto r = TacSkinConvertor::ReadPackage(reader);
    ASSERT_FALSE(r) << c.what;
    EXPECT_EQ(r.error().code, c.code) << c.what;
    if (*c.message) {
      EXPECT_EQ(r.error().message, c.message) << c.what;
    }
    EXPECT_EQ(reader, nullptr) << c.what;
    EXPECT_EQ(src.Bytes(), c.bytes) << c.what;  // the borrowed source is untouched
  }
}

TEST(SkinPackage, EveryTruncationFailsWithAReadError) {
  const auto full = BuildPackage({{"Options.dat", Bytes("[GLOBALINFO]\r\nVERSION=8.12\r\n")},
                                  {"Master copy.bmp", RandomBytes(3000, 7), 0},
                                  {"GlowEdit.png", RandomBytes(500, 8), 6}});
  for (std::size_t n = 4; n < full.size(); ++n) {
    TMemoryStream src(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    auto reader = ReaderOver(src);
    auto r = TacSkinConvertor::ReadPackage(reader);
    ASSERT_FALSE(r) << "cut at " << n;
    EXPECT_EQ(r.error().code, SkinError::ReadError) << "cut at " << n;
  }
}

TEST(SkinPackage, LoadPackageFileOwnsAndReleasesItsSource) {
  const auto dir = std::filesystem::temp_directory_path() / "tovalin-skinpack-test";
  std::filesystem::create_directories(dir);
  const auto path = (dir / "Some skin.mvk").string();
  TMemoryStream(BuildPackage({{"Options.dat", Bytes("opts")}, {"x.bmp", Bytes("x")}})).SaveToFile(path);

  std::unique_ptr<TacSkinConvertor> reader;
  ASSERT_TRUE(TacSkinConvertor::LoadPackageFile((dir / "missing.mvk").string(), reader, true));
  EXPECT_EQ(reader, nullptr);

  ASSERT_TRUE(TacSkinConvertor::LoadPackageFile(path, reader, false));
  ASSERT_NE(reader, nullptr);
  EXPECT_TRUE(reader->OwnsSource());
  EXPECT_EQ(StreamText(reader->Options()), "opts");

  ASSERT_TRUE(TacSkinConvertor::LoadPackageFile(path, reader, true));
  EXPECT_EQ(reader->Source(), nullptr);
  EXPECT_EQ(StreamText(reader->ImageStream("X.BMP")), "x");

  TMemoryStream(Bytes("not a package")).SaveToFile(path);
  auto r = TacSkinConvertor::LoadPackageFile(path, reader, true);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().message, kNotPackedMessage);
  EXPECT_EQ(reader, nullptr);
  std::filesystem::remove_all(dir);
}

TEST(StoredSkins, FindByExactNameAndReportChanges) {
  TsStoredSkins skins;
  int changes = 0;
  skins.OnChange = [&](TsStoredSkins*) { ++changes; };
  TsStoredSkin& a = skins.Add();
  a.SetName("DarkMetro (internal)");
  TsStoredSkin& b = skins.Add();
  b.SetName("DarkMetro (internal)");
  EXPECT_EQ(skins.IndexOf("DarkMetro (internal)"), 0);
  EXPECT_EQ(skins.IndexOf("darkmetro (internal)"), -1);
  EXPECT_EQ(changes, 4);

  a.SetData("MVpk", 4);
  a.SetShadow1Offset(3);
  TsStoredSkin& c = skins.Add();
  c.Assign(a);
  EXPECT_EQ(c.Name(), "DarkMetro (internal)");
  EXPECT_EQ(c.Shadow1Offset(), 3);
  EXPECT_EQ(c.Data().Bytes(), a.Data().Bytes());
  EXPECT_EQ(c.BorderColor(), 0xFF00FFu);
  EXPECT_EQ(c.Shadow1Blur(), -1);
  skins.Delete(0);
  EXPECT_EQ(skins.Count(), 2);
  EXPECT_EQ(changes, 7);
}

}  // namespace
}  // namespace tv
