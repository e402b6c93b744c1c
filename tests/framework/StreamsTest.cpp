#include <gtest/gtest.h>

#include <filesystem>

#include "framework/Exceptions.h"
#include "framework/Streams.h"

using namespace tv;

TEST(MemoryStream, WritesGrowAndReadsStopAtTheEnd) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Size(), 5);
  s.SetPosition(3);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
  EXPECT_EQ(s.Seek(-1, SeekOrigin::Beginning), -1);
}

TEST(FileStream, ShareModesAreHonouredWithinTheProcess) {
  const auto path = (std::filesystem::temp_directory_path() / "tovalin_share_test.bin").string();
  {
    TFileStream w(path, fmCreate);
    w.WriteBuffer("abc", 3);
  }
  {
    auto reader = TFileStream::Open(path, fmOpenRead | fmShareDenyWrite);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(TFileStream::Open(path, fmOpenRead | fmShareDenyWrite));
    auto writer = TFileStream::Open(path, fmOpenWrite | fmShareDenyNone);
    ASSERT_FALSE(writer);
    EXPECT_EQ(writer.error(), FileError::SharingViolation);
  }
  EXPECT_TRUE(TFileStream::Open(path, fmOpenReadWrite | fmShareExclusive));
  std::filesystem::remove(path);
}

TEST(FileStream, MissingFileIsAnErrorValueOrAnException) {
  auto r = TFileStream::Open("/nonexistent/dir/file.bin", fmOpenRead);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), FileError::NotFound);
  EXPECT_THROW(TFileStream("/nonexistent/dir/file.bin", fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream("/nonexistent/dir/file.bin", fmCreate), EFCreateError);
}
