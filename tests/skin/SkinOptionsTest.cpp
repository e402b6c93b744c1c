#include <gtest/gtest.h>

#include "skin/sSkinOptions.h"

namespace tv {
namespace {

TEST(SkinIni, ReadsSectionsAndEntriesByTheRules) {
  const std::string text =
      "ignored=before any section\r\n"
      "[GLOBALINFO]\r\n"
      "  VERSION = 8.12  \r\n"
      "; a comment\r\n"
      "\r\n"
      "KEYONLY\r\n"
      "A=1=2\n"
      "B=\t x \r"
      "[ SECOND ]\r\n"
      "a=lower\r\n"
      "A=upper\r\n"
      "A=again\r\n"
      "[SECOND]\r\n"
      "A=in the repeated section\r\n"
      "NEW=only here\r\n";
  TsSkinIni ini(text);
  ASSERT_EQ(ini.SectionCount(), 3);
  EXPECT_EQ(ini.Section(0).Name, "GLOBALINFO");
  EXPECT_EQ(ini.Section(1).Name, "SECOND");
  EXPECT_EQ(ini.Section(2).Name, "SECOND");
  EXPECT_EQ(ini.IndexOfSection("SECOND"), 1);
  EXPECT_EQ(ini.IndexOfSection("second"), -1);

  struct Case {
    const char* section;
    const char* key;
    const char* value;  // nullptr: not found
  } cases[] = {
      {"GLOBALINFO", "VERSION", "8.12"}, {"GLOBALINFO", "A", "1=2"},        {"GLOBALINFO", "B", "x"},
      {"GLOBALINFO", "KEYONLY", nullptr}, {"GLOBALINFO", "ignored", nullptr}, {"SECOND", "A", "upper"},
      {"SECOND", "a", "lower"},           {"SECOND", "NEW", nullptr},      {"NONE", "A", nullptr},
  };
  for (const auto& c : cases) {
    auto v = ini.Find(c.section, c.key);
    if (c.value) {
      ASSERT_TRUE(v) << c.section << "/" << c.key;
      EXPECT_EQ(*v, c.value);
    } else {
      EXPECT_FALSE(v) << c.section << "/" << c.key;
    }
  }
  EXPECT_FALSE(ini.Section(0).Entries[1].HasValue);
  EXPECT_EQ(ini.Section(0).Entries[1].Key, "KEYONLY");
  EXPECT_DOUBLE_EQ(ini.ReadFloat("GLOBALINFO", "VERSION", 0), 8.12);
}

TEST(SkinIni, NumbersBooleansAndDefaults) {
  struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
  } ints[] = {{"5066061", 5066061}, {"-1", -1},        {"0x4D4D4D", 0x4D4D4D}, {"0X10", 16},
              {"$FF", 255},         {"$FFFFFFFF", -1}, {"-$10", -16},          {"+7", 7},
              {"", std::nullopt},   {"12a", std::nullopt}, {"0x", std::nullopt}, {"N/A", std::nullopt},
              {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"-2147483648", INT32_MIN},
              {"$100000000", std::nullopt}, {" 5", std::nullopt}};
  for (const auto& c : ints) EXPECT_EQ(TryStrToInt(c.text), c.value) << c.text;

  struct FloatCase {
    const char* text;
    std::optional<double> value;
  } floats[] = {{"8.12", 8.12}, {"7", 7.0}, {"-0.5", -0.5}, {"8,12", std::nullopt}, {"", std::nullopt}, {"x", std::nullopt}};
  for (const auto& c : floats) EXPECT_EQ(TryStrToFloat(c.text), c.value) << c.text;

  for (const char* t : {"1", "TRUE", "true", "True"}) EXPECT_TRUE(StrToBoolean(t)) << t;
  for (const char* t : {"0", "2", "yes", "", "TRUE1", "-1"}) EXPECT_FALSE(StrToBoolean(t)) << t;

  TsSkinIni ini("[S]\r\nBAD=abc\r\nHEX=$10\r\nFLAG=true\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "BAD", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "HEX", -1), 16);
  EXPECT_EQ(ini.ReadInteger("S", "MISSING", 42), 42);
  EXPECT_TRUE(ini.ReadBool("S", "FLAG", false));
  EXPECT_EQ(ini.ReadString("S", "MISSING", "?"), "?");
}

TEST(SkinIni, GradientGroups) {
  struct Case {
    const char* text;
    std::vector<TsGradientGroup> groups;
  } cases[] = {
      {"5263440;5066061;97;0;0;5066061;5066061;0;0;0", {{5263440, 5066061, 97, 0}, {5066061, 5066061, 0, 0}}},
      {"N/A", {}},
      {" ", {}},
      {"1;2;3;4", {}},
      {"-5;7;250;2;9;1;2", {{0, 7, 100, 2}}},
      {"1;2;-3;1;0", {{1, 2, 0, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseGradientData(c.text), c.groups) << c.text;
}

TEST(SkinIni, MergePutsTheSecondTextFirst) {
  TsSkinIni a("[A]\r\nX=1\r\nY=2\r\n[B]\r\nX=3\r\n");
  a.Merge(TsSkinIni("[B]\r\nX=30\r\n[C]\r\nX=5\r\n"));
  ASSERT_EQ(a.SectionCount(), 3);
  EXPECT_EQ(a.ReadString("B", "X", ""), "30");
  EXPECT_EQ(a.ReadString("A", "Y", ""), "2");
  EXPECT_EQ(a.ReadString("C", "X", ""), "5");
}

}  // namespace
}  // namespace tv
