#include "platform/qt/DesktopEntry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace tv::platform::qt {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

std::string EscapeString(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeString(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    switch (c) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default:
        out += '\\';
        out += c;
    }
  }
  return out;
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::string AutostartDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // Relative paths in the XDG variables are invalid and must be ignored.
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/autostart";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/autostart";
  return {};
}

bool IsValidAutorunName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\0' || c == '\n' || c == '\r') return false;
  return true;
}

std::string EncodeExecValue(const std::string& command) {
  std::string arg;
  bool quote = command.empty() || command.find_first_of(kReserved) != std::string::npos;
  if (quote) arg += '"';
  for (char c : command) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
    if (c == '%') arg += '%';
    arg += c;
  }
  if (quote) arg += '"';
  return EscapeString(arg);
}

std::string DecodeExecValue(const std::string& value) {
  const std::string s = UnescapeString(value);
  std::vector<std::string> args;
  std::string cur;
  bool inArg = false, inQuotes = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (inQuotes) {
      if (c == '\\' && i + 1 < s.size()) {
        cur += s[++i];
      } else if (c == '"') {
        inQuotes = false;
      } else if (c == '%' && i + 1 < s.size() && s[i + 1] == '%') {
        cur += '%';
        ++i;
      } else {
        cur += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inArg) args.push_back(cur);
      cur.clear();
      inArg = false;
      continue;
    }
    inArg = true;
    if (c == '"') {
      inQuotes = true;
    } else if (c == '%' && i + 1 < s.size()) {
      char code = s[++i];
      if (code == '%') cur += '%';
      // Other field codes expand to nothing here.
    } else {
      cur += c;
    }
  }
  if (inArg) args.push_back(cur);
  // Field codes standing alone leave empty arguments behind.
  std::vector<std::string> kept;
  for (auto& a : args)
    if (!a.empty()) kept.push_back(a);
  if (kept.size() == 1) return kept[0];
  std::string joined;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i) joined += ' ';
    bool blank = kept[i].find_first_of(" \t") != std::string::npos;
    joined += blank ? '"' + kept[i] + '"' : kept[i];
  }
  return joined;
}

std::string DesktopEntryText(const std::string& name, const std::string& command) {
  std::string t;
  t += "[Desktop Entry]\n";
  t += "Type=Application\n";
  t += "Name=" + EscapeString(name) + "\n";
  t += "Exec=" + EncodeExecValue(command) + "\n";
  t += "Terminal=false\n";
  t += "X-GNOME-Autostart-enabled=true\n";
  return t;
}

std::optional<std::string> DesktopEntryCommand(const std::string& text) {
  std::optional<std::string> exec;
  bool hidden = false;
  bool inGroup = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    std::string line = Trim(std::string_view(text).substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inGroup) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(std::string_view(line).substr(0, eq));
    std::string value = Trim(std::string_view(line).substr(eq + 1));
    if (key == "Exec" && !exec) exec = DecodeExecValue(value);
    if (key == "Hidden") hidden = value == "true";
  }
  if (hidden) return std::nullopt;
  return exec;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  std::string tmp = path + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  ::fchmod(fd, 0644);
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace tv::platform::qt
