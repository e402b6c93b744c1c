#pragma once
// The options text of a skin: INI sections in file order, entries in section order, plus the
// readers for the number, colour, boolean and gradient values it holds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tv {

struct TsIniEntry {
  std::string Key;
  std::string Value;
  bool HasValue = true;  // false for a line without "="
};

struct TsIniSection {
  std::string Name;
  std::vector<TsIniEntry> Entries;
};

class TsSkinIni {
 public:
  TsSkinIni() = default;
  explicit TsSkinIni(std::string_view text) { LoadFromText(text); }

  void LoadFromText(std::string_view text);
  void Clear();
  // Entries of other's sections go in front of the first equally named section (so they win every
  // lookup); sections new to this text are appended.
  void Merge(const TsSkinIni& other);

  int SectionCount() const { return static_cast<int>(sections_.size()); }
  const TsIniSection& Section(int index) const { return sections_.at(static_cast<std::size_t>(index)); }
  const std::vector<TsIniSection>& Sections() const { return sections_; }
  // The first section of that name (case-sensitive), or -1.
  int IndexOfSection(std::string_view name) const;
  bool SectionExists(std::string_view name) const { return IndexOfSection(name) >= 0; }

  // Value of the first entry with that key in the first section of that name.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  double ReadFloat(std::string_view section, std::string_view key, double def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

 private:
  std::vector<TsIniSection> sections_;
  std::unordered_map<std::string, int> index_;  // first section of each name
};

// Decimal, or hexadecimal after "0x", "0X" or "$"; an optional sign. Hexadecimal values up to
// 0xFFFFFFFF wrap to the 32-bit signed range. Anything else is not a number.
std::optional<std::int32_t> TryStrToInt(std::string_view s);
// "." is the decimal separator whatever the locale.
std::optional<double> TryStrToFloat(std::string_view s);
// "1" or "TRUE" in any case.
bool StrToBoolean(std::string_view s);

// One group of a gradient value: two colours, the percent of the area it covers and its layout.
struct TsGradientGroup {
  std::uint32_t Color1 = 0;
  std::uint32_t Color2 = 0;
  std::uint8_t Percent = 0;
  int Mode = 0;
  friend bool operator==(const TsGradientGroup&, const TsGradientGroup&) = default;
};

// Groups of five ";"-separated numbers; the fifth of each group is skipped.
std::vector<TsGradientGroup> ParseGradientData(std::string_view s);

// Removes leading and trailing blanks and control characters.
std::string_view TrimBlanks(std::string_view s);

}  // namespace tv
