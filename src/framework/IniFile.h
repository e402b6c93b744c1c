#pragma once
// INI files with the Windows private-profile rules: section and key names compared without regard
// to case, the first match wins, blanks around names and values trimmed, one pair of surrounding
// quotes stripped from values, other lines ignored. Writes keep the rest of the file as it was.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

// The text of an INI file, parsed line by line; edits keep every other line untouched.
class IniText {
 public:
  static IniText Parse(std::string_view text);
  std::string Serialize() const;

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Section names in file order (duplicates once), and the keys of a section.
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;
  bool HasSectionHeader(std::string_view section) const;
  // Replaces the value of the first matching key, or adds the key at the end of the section,
  // or adds the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Return whether anything changed.
  bool EraseSection(std::string_view section);
  bool DeleteKey(std::string_view section, std::string_view key);

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string text;  // without the line end
    Kind kind = Kind::Other;
    std::string name;   // trimmed section or key name
    std::string value;  // trimmed, unquoted value (keys only)
  };
  static Line Classify(std::string text);

  std::string bom_;
  std::string eol_ = "\n";
  bool finalEol_ = true;
  std::vector<Line> lines_;
};

// Parses an integer the way the settings are read: optional sign, then decimal digits or "0x"/"0X"
// and hexadecimal digits (up to 32 bits), nothing else around them. Anything else is no integer.
std::optional<int> ParseIniInteger(std::string_view text);

class TIniFile {
 public:
  explicit TIniFile(std::string path) : path_(std::move(path)) {}

  const std::string& FileName() const { return path_; }

  // Reads never throw: a missing or unreadable file reads the defaults.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // A value that is not an integer (see ParseIniInteger) reads the default.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // An integer, true when non-zero.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  // A section exists when it holds at least one key.
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSection(const std::string& section) const;
  std::vector<std::string> ReadSections() const;

  // Writes throw EIniFileException("Unable to write to " + path) when the file cannot be written
  // (or a name or value would break the file's structure: line breaks, "=" in a key, "]" in a section).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);
  void UpdateFile() {}

 private:
  IniText Load() const;
  [[noreturn]] void WriteFailed() const;
  void Store(const IniText& text);

  std::string path_;
};

}  // namespace tv
