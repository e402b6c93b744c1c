#include "framework/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/Exceptions.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tovalin-ini-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "Settings.ini").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& text) {
    std::ofstream out(path_, std::ios::binary);
    out << text;
  }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(IniFileTest, MissingFileReadsDefaults) {
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Settings", "Hotkey", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("Settings", "Hotkey", 3), 3);
  EXPECT_TRUE(ini.ReadBool("Settings", "Autorun", true));
  EXPECT_FALSE(ini.SectionExists("Settings"));
  EXPECT_FALSE(ini.ValueExists("Settings", "Hotkey"));
  EXPECT_FALSE(fs::exists(path_));
  // A directory in place of the file reads defaults too.
  TIniFile dir(dir_.string());
  EXPECT_EQ(dir.ReadInteger("a", "b", 7), 7);
}

TEST_F(IniFileTest, PrivateProfileReadingRules) {
  Write(
      "; a comment\n"
      "garbage line\n"
      "[settings]\n"
      "  HOTKEY =  5  \n"
      "hotkey=6\n"
      "Quoted = \"  spaced  \"\n"
      "Single='x'\n"
      "Half=\"open\n"
      "Empty=\n"
      "=nokey\n"
      "[Other]\n"
      "Hotkey=9\n"
      "[ Settings ]\n"
      "Late=1\n"
      "Hotkey=10\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Settings", "Hotkey", ""), "5");  // first match, trimmed, any case
  EXPECT_EQ(ini.ReadString("SETTINGS", "hotKEY", ""), "5");
  EXPECT_EQ(ini.ReadString("Settings", "Quoted", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Settings", "Single", ""), "x");
  EXPECT_EQ(ini.ReadString("Settings", "Half", ""), "\"open");
  EXPECT_EQ(ini.ReadString("Settings", "Empty", "d"), "");
  EXPECT_TRUE(ini.ValueExists("Settings", "Empty"));
  EXPECT_EQ(ini.ReadString("Settings", "garbage line", "d"), "d");
  EXPECT_EQ(ini.ReadString("Other", "Hotkey", ""), "9");
  EXPECT_EQ(ini.ReadString("Settings", "Late", ""), "1");  // a repeated section still counts
  EXPECT_TRUE(ini.SectionExists("other"));
  EXPECT_FALSE(ini.SectionExists("Missing"));
}

TEST_F(IniFileTest, IntegersFollowTheSettingsRule) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"4", 4},          {"0x4", 4},         {"0X1f", 31},     {"-1", -1},          {"+7", 7},
      {"007", 7},        {" 12 ", 12},       {"\"8\"", 8},     {"0xFFFFFFFF", -1},  {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      // Not integers: the default (42).
      {"", 42},          {"abc", 42},        {"12abc", 42},    {"1 2", 42},         {"0x", 42},
      {"0xG", 42},       {"2147483648", 42}, {"0x100000000", 42}, {"-", 42},        {"1.5", 42},
      {"$10", 42},       {"--1", 42},
  };
  for (const Case& c : cases) {
    Write(std::string("[S]\nK=") + c.text + "\n");
    EXPECT_EQ(TIniFile(path_).ReadInteger("S", "K", 42), c.expected) << "'" << c.text << "'";
  }
  Write("[S]\nB1=1\nB0=0\nB2=0x10\nBx=yes\n");
  TIniFile ini(path_);
  EXPECT_TRUE(ini.ReadBool("S", "B1", false));
  EXPECT_FALSE(ini.ReadBool("S", "B0", true));
  EXPECT_TRUE(ini.ReadBool("S", "B2", false));
  EXPECT_TRUE(ini.ReadBool("S", "Bx", true));
  EXPECT_FALSE(ini.ReadBool("S", "Bx", false));
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFile) {
  Write(
      "; keep me\r\n"
      "[Other]\r\n"
      "a = 1\r\n"
      "\r\n"
      "[Settings]\r\n"
      "Hotkey=3\r\n"
      "odd line kept\r\n"
      "Language=1\r\n"
      "\r\n"
      "[Tail]\r\n"
      "z=0\r\n");
  TIniFile ini(path_);
  ini.WriteInteger("settings", "HOTKEY", 5);
  ini.WriteBool("Settings", "Autorun", false);
  ini.WriteString("New", "k", "v");
  EXPECT_EQ(Contents(),
            "; keep me\r\n"
            "[Other]\r\n"
            "a = 1\r\n"
            "\r\n"
            "[Settings]\r\n"
            "Hotkey=5\r\n"
            "odd line kept\r\n"
            "Language=1\r\n"
            "Autorun=0\r\n"
            "\r\n"
            "[Tail]\r\n"
            "z=0\r\n"
            "\r\n"
            "[New]\r\n"
            "k=v\r\n");
  EXPECT_EQ(ini.ReadInteger("Settings", "Hotkey", 0), 5);
  EXPECT_FALSE(ini.ReadBool("Settings", "Autorun", true));
}

TEST_F(IniFileTest, WritesCreateTheFileAndSection) {
  TIniFile ini(path_);
  ini.WriteInteger("Settings", "Hotkey", 3);
  ini.WriteBool("Settings", "Language", true);
  ini.WriteBool("Settings", "Close to tray", true);
  ini.WriteBool("Settings", "Autorun", false);
  EXPECT_EQ(Contents(), "[Settings]\nHotkey=3\nLanguage=1\nClose to tray=1\nAutorun=0\n");
  EXPECT_EQ(ini.ReadInteger("Settings", "Hotkey", 0), 3);
  EXPECT_TRUE(ini.ReadBool("Settings", "Close to tray", false));
  // No temporary files left behind.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
}

TEST_F(IniFileTest, WriteWithoutFinalLineEnd) {
  Write("[S]\na=1");
  TIniFile ini(path_);
  ini.WriteString("S", "b", "2");
  EXPECT_EQ(Contents(), "[S]\na=1\nb=2\n");
  Write("[S]\na=1");
  ini.WriteString("S", "a", "3");
  EXPECT_EQ(Contents(), "[S]\na=3");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
  Write("[A]\nx=1\ny=2\n[B]\nx=3\n[a]\nx=4\n");
  TIniFile ini(path_);
  ini.DeleteKey("A", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  EXPECT_EQ(ini.ReadString("A", "y", ""), "2");
  ini.EraseSection("a");
  EXPECT_EQ(Contents(), "[B]\nx=3\n");
  ini.EraseSection("missing");  // nothing to do, no error
  ini.DeleteKey("B", "missing");
  EXPECT_EQ(Contents(), "[B]\nx=3\n");
}

TEST_F(IniFileTest, FailedWritesThrowWithThePath) {
  if (::geteuid() == 0) {
    // root writes anywhere; use a path whose folder does not exist instead.
    TIniFile ini((dir_ / "no" / "such" / "Settings.ini").string());
    try {
      ini.WriteInteger("Settings", "Hotkey", 1);
      FAIL() << "expected a write error";
    } catch (const EIniFileException& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir_ / "no" / "such" / "Settings.ini").string());
    }
    return;
  }
  Write("[Settings]\nHotkey=3\n");
  fs::permissions(path_, fs::perms::owner_read, fs::perm_options::replace);
  TIniFile ini(path_);
  try {
    ini.WriteInteger("Settings", "Hotkey", 1);
    FAIL() << "expected a write error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path_);
  }
  EXPECT_EQ(ini.ReadInteger("Settings", "Hotkey", 0), 3);
}

TEST_F(IniFileTest, NamesAndValuesThatWouldBreakTheFileAreRefused) {
  TIniFile ini(path_);
  ini.WriteString("S", "k", "1");
  EXPECT_THROW(ini.WriteString("S", "k", "1\n[Evil]\nx=1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "a=b", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S]x", "k", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "", "1"), EIniFileException);
  EXPECT_EQ(Contents(), "[S]\nk=1\n");
}

TEST_F(IniFileTest, KeepsFileModeAndFollowsSymlinks) {
  Write("[S]\nk=1\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                  fs::perm_options::replace);
  const fs::path link = dir_ / "link.ini";
  fs::create_symlink(path_, link);
  TIniFile ini(link.string());
  ini.WriteString("S", "k", "2");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(), "[S]\nk=2\n");
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(IniTextTest, ParsesFromABuffer) {
  const IniText t = IniText::Parse("\xEF\xBB\xBF[A]\r\nk = v\r\n[B]\r\nk=w");
  EXPECT_EQ(t.Find("a", "K").value_or(""), "v");
  EXPECT_EQ(t.Find("B", "k").value_or(""), "w");
  EXPECT_EQ(t.Sections(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(t.Serialize(), "\xEF\xBB\xBF[A]\r\nk = v\r\n[B]\r\nk=w");
  EXPECT_FALSE(t.Find("C", "k"));
}

}  // namespace
}  // namespace tv
