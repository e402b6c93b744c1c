#include "skin/sSkinOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tv {

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

void TsSkinIni::Clear() {
  sections_.clear();
  index_.clear();
}

void TsSkinIni::LoadFromText(std::string_view text) {
  Clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    // A CR LF pair ends one line; a lone CR or LF also ends one.
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    pos = end + 1;

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      TsIniSection section;
      section.Name = std::string(TrimBlanks(line.substr(1, line.size() - 2)));
      index_.try_emplace(section.Name, static_cast<int>(sections_.size()));
      sections_.push_back(std::move(section));
      continue;
    }
    if (sections_.empty()) continue;
    TsIniEntry entry;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      entry.Key = std::string(line);
      entry.HasValue = false;
    } else {
      entry.Key = std::string(TrimBlanks(line.substr(0, eq)));
      entry.Value = std::string(TrimBlanks(line.substr(eq + 1)));
    }
    sections_.back().Entries.push_back(std::move(entry));
  }
}

void TsSkinIni::Merge(const TsSkinIni& other) {
  for (const TsIniSection& section : other.sections_) {
    const int i = IndexOfSection(section.Name);
    if (i >= 0) {
      auto& entries = sections_[static_cast<std::size_t>(i)].Entries;
      entries.insert(entries.begin(), section.Entries.begin(), section.Entries.end());
    } else {
      index_.try_emplace(section.Name, static_cast<int>(sections_.size()));
      sections_.push_back(section);
    }
  }
}

int TsSkinIni::IndexOfSection(std::string_view name) const {
  auto it = index_.find(std::string(name));
  return it == index_.end() ? -1 : it->second;
}

std::optional<std::string> TsSkinIni::Find(std::string_view section, std::string_view key) const {
  const int i = IndexOfSection(section);
  if (i < 0) return std::nullopt;
  for (const TsIniEntry& e : sections_[static_cast<std::size_t>(i)].Entries)
    if (e.HasValue && e.Key == key) return e.Value;
  return std::nullopt;
}

std::string TsSkinIni::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  auto v = Find(section, key);
  return v ? *v : def;
}

int TsSkinIni::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto v = Find(section, key);
  if (!v) return def;
  auto n = TryStrToInt(*v);
  return n ? *n : def;
}

double TsSkinIni::ReadFloat(std::string_view section, std::string_view key, double def) const {
  auto v = Find(section, key);
  if (!v) return def;
  auto n = TryStrToFloat(*v);
  return n ? *n : def;
}

bool TsSkinIni::ReadBool(std::string_view section, std::string_view key, bool def) const {
  auto v = Find(section, key);
  if (!v) return def;
  return StrToBoolean(*v);
}

std::optional<std::int32_t> TryStrToInt(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  if (base == 16) {
    if (v > 0xFFFFFFFFull) return std::nullopt;
    std::uint32_t u = static_cast<std::uint32_t>(v);
    if (negative) u = 0u - u;
    return static_cast<std::int32_t>(u);
  }
  if (negative) {
    if (v > 0x80000000ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(v));
  }
  if (v > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::optional<double> TryStrToFloat(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

bool StrToBoolean(std::string_view s) {
  if (s == "1") return true;
  if (s.size() != 4) return false;
  const char* t = "TRUE";
  for (std::size_t i = 0; i < 4; ++i)
    if ((s[i] & ~0x20) != t[i]) return false;
  return true;
}

std::vector<TsGradientGroup> ParseGradientData(std::string_view s) {
  std::vector<std::string_view> items;
  std::size_t pos = 0;
  while (true) {
    const std::size_t sep = s.find(';', pos);
    items.push_back(TrimBlanks(s.substr(pos, sep == std::string_view::npos ? std::string_view::npos : sep - pos)));
    if (sep == std::string_view::npos) break;
    pos = sep + 1;
  }
  auto num = [](std::string_view v) { return TryStrToInt(v).value_or(0); };
  std::vector<TsGradientGroup> groups(items.size() / 5);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const std::string_view* it = &items[g * 5];
    groups[g].Color1 = static_cast<std::uint32_t>(std::max(0, num(it[0])));
    groups[g].Color2 = static_cast<std::uint32_t>(std::max(0, num(it[1])));
    groups[g].Percent = static_cast<std::uint8_t>(std::clamp(num(it[2]), 0, 100));
    groups[g].Mode = num(it[3]);
  }
  return groups;
}

}  // namespace tv
