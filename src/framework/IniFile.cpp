#include "framework/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "framework/Exceptions.h"

namespace tv {

namespace {

constexpr std::string_view kBlanks = " \t\v\f";

std::string_view Trim(std::string_view s) {
  const auto b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return std::string(v.substr(1, v.size() - 2));
  return std::string(v);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

// ---- IniText ------------------------------------------------------------------------------------

IniText::Line IniText::Classify(std::string text) {
  Line line;
  line.text = std::move(text);
  const std::string_view t = Trim(line.text);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    const auto close = t.find(']');
    if (close == std::string_view::npos) return line;
    line.kind = Kind::Section;
    line.name = std::string(Trim(t.substr(1, close - 1)));
    return line;
  }
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  const std::string_view name = Trim(t.substr(0, eq));
  if (name.empty()) return line;
  line.kind = Kind::Key;
  line.name = std::string(name);
  line.value = Unquote(Trim(t.substr(eq + 1)));
  return line;
}

IniText IniText::Parse(std::string_view text) {
  IniText ini;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    ini.bom_ = "\xEF\xBB\xBF";
    text.remove_prefix(3);
  }
  if (text.find("\r\n") != std::string_view::npos) ini.eol_ = "\r\n";
  ini.finalEol_ = text.empty() || text.back() == '\n';
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    std::string_view raw = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ini.lines_.push_back(Classify(std::string(raw)));
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
  }
  return ini;
}

std::string IniText::Serialize() const {
  std::string out = bom_;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].text;
    if (i + 1 < lines_.size() || finalEol_) out += eol_;
  }
  return out;
}

std::optional<std::string> IniText::Find(std::string_view section, std::string_view key) const {
  const std::string_view s = Trim(section), k = Trim(key);
  bool inSection = false;
  for (const Line& l : lines_) {
    if (l.kind == Kind::Section) inSection = SameName(l.name, s);
    else if (inSection && l.kind == Kind::Key && SameName(l.name, k)) return l.value;
  }
  return std::nullopt;
}

std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> out;
  for (const Line& l : lines_) {
    if (l.kind != Kind::Section) continue;
    bool seen = false;
    for (const std::string& s : out) seen = seen || SameName(s, l.name);
    if (!seen) out.push_back(l.name);
  }
  return out;
}

std::vector<std::string> IniText::Keys(std::string_view section) const {
  const std::string_view s = Trim(section);
  std::vector<std::string> out;
  bool inSection = false;
  for (const Line& l : lines_) {
    if (l.kind == Kind::Section) {
      inSection = SameName(l.name, s);
    } else if (inSection && l.kind == Kind::Key) {
      bool seen = false;
      for (const std::string& k : out) seen = seen || SameName(k, l.name);
      if (!seen) out.push_back(l.name);
    }
  }
  return out;
}

bool IniText::HasSectionHeader(std::string_view section) const {
  const std::string_view s = Trim(section);
  for (const Line& l : lines_)
    if (l.kind == Kind::Section && SameName(l.name, s)) return true;
  return false;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view s = Trim(section), k = Trim(key);
  const std::string newLine = std::string(k) + "=" + std::string(value);
  std::optional<std::size_t> first, firstEnd;  // the first matching section's header and end
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Line& l = lines_[i];
    if (l.kind == Kind::Section) {
      if (inSection && !firstEnd) firstEnd = i;
      inSection = SameName(l.name, s);
      if (inSection && !first) first = i;
      continue;
    }
    if (inSection && l.kind == Kind::Key && SameName(l.name, k)) {
      l = Classify(l.name + "=" + std::string(value));  // the key keeps its spelling
      return;
    }
  }
  if (first) {
    // After the section's last non-blank line, so blank separators stay before the next section.
    std::size_t at = firstEnd.value_or(lines_.size());
    while (at > *first + 1 && lines_[at - 1].kind == Kind::Other && Trim(lines_[at - 1].text).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Classify(newLine));
    if (at == lines_.size() - 1) finalEol_ = true;
    return;
  }
  if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Classify(""));
  lines_.push_back(Classify("[" + std::string(s) + "]"));
  lines_.push_back(Classify(newLine));
  finalEol_ = true;
}

bool IniText::EraseSection(std::string_view section) {
  const std::string_view s = Trim(section);
  bool erasing = false, changed = false;
  std::vector<Line> kept;
  for (Line& l : lines_) {
    if (l.kind == Kind::Section) erasing = SameName(l.name, s);
    if (erasing) {
      changed = true;
      continue;
    }
    kept.push_back(std::move(l));
  }
  lines_.swap(kept);
  return changed;
}

bool IniText::DeleteKey(std::string_view section, std::string_view key) {
  const std::string_view s = Trim(section), k = Trim(key);
  bool inSection = false, changed = false;
  std::vector<Line> kept;
  for (Line& l : lines_) {
    if (l.kind == Kind::Section) inSection = SameName(l.name, s);
    if (inSection && l.kind == Kind::Key && SameName(l.name, k)) {
      changed = true;
      continue;
    }
    kept.push_back(std::move(l));
  }
  lines_.swap(kept);
  return changed;
}

// ---- integers -----------------------------------------------------------------------------------

std::optional<int> ParseIniInteger(std::string_view text) {
  std::string_view t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  std::uint64_t v = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    t.remove_prefix(2);
    for (char c : t) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + static_cast<std::uint64_t>(d);
      if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    // Hexadecimal covers the 32 bits: 0xFFFFFFFF is -1.
    auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return negative ? static_cast<int>(-static_cast<std::int64_t>(bits)) : bits;
  }
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
    if (v > 0x80000000ull) return std::nullopt;
  }
  if (!negative && v > 0x7FFFFFFFull) return std::nullopt;
  return negative ? static_cast<int>(-static_cast<std::int64_t>(v)) : static_cast<int>(v);
}

// ---- TIniFile -----------------------------------------------------------------------------------

IniText TIniFile::Load() const {
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) return IniText::Parse({});
    std::ifstream in(path_, std::ios::binary);
    if (!in) return IniText::Parse({});
    std::ostringstream buf;
    buf << in.rdbuf();
    return IniText::Parse(buf.str());
  } catch (...) {
    return IniText::Parse({});
  }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  try {
    auto v = Load().Find(section, key);
    return v ? *v : def;
  } catch (...) {
    return def;
  }
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const std::string s = ReadString(section, key, "");
  auto v = ParseIniInteger(s);
  return v ? *v : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const std::string& section) const { return !ReadSection(section).empty(); }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  try {
    return Load().Find(section, key).has_value();
  } catch (...) {
    return false;
  }
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  try {
    return Load().Keys(section);
  } catch (...) {
    return {};
  }
}

std::vector<std::string> TIniFile::ReadSections() const {
  try {
    return Load().Sections();
  } catch (...) {
    return {};
  }
}

void TIniFile::WriteFailed() const { throw EIniFileException("Unable to write to " + path_); }

void TIniFile::Store(const IniText& text) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target = path_;
  if (target.empty()) WriteFailed();
  if (fs::is_symlink(target, ec)) {
    target = fs::canonical(target, ec);
    if (ec) WriteFailed();
  }
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) WriteFailed();
    mode = st.st_mode & 07777;
  }
  // Write a temporary file beside the target and rename it over, so a failure or a crash never
  // leaves a half-written settings file.
  const std::string data = text.Serialize();
  std::string tmp = target.string() + ".tmpXXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    // The folder takes no new files, but the file itself may still be writable.
    if (st.st_mode == 0) WriteFailed();
    std::FILE* f = std::fopen(target.c_str(), "wb");
    if (!f) WriteFailed();
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (std::fclose(f) != 0 || !written) WriteFailed();
    return;
  }
  bool ok = ::fchmod(fd, mode) == 0;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    WriteFailed();
  }
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  const std::string_view s = Trim(section), k = Trim(key);
  if (k.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
      k.find('=') != std::string_view::npos || s.find(']') != std::string_view::npos || k.front() == '[' ||
      k.front() == ';')
    WriteFailed();
  IniText text = Load();
  text.Set(section, key, value);
  Store(text);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) {
  IniText text = Load();
  if (text.EraseSection(section)) Store(text);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
  IniText text = Load();
  if (text.DeleteKey(section, key)) Store(text);
}

}  // namespace tv
