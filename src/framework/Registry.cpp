#include "framework/Registry.h"

#include <string_view>

#include "platform/Platform.h"

namespace tv {

namespace {

bool SameKey(std::string_view a, std::string_view b) {
  while (!a.empty() && a.front() == '\\') a.remove_prefix(1);
  while (!a.empty() && a.back() == '\\') a.remove_suffix(1);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  if (root == rootKey_) return;
  CloseKey();
  rootKey_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  CloseKey();
  if (rootKey_ != HKEY_CURRENT_USER || !SameKey(key, kRunKey)) return false;
  if (!platform::HasPlatform()) return false;
  open_ = platform::GetPlatform().AutorunOpen(canCreate);
  return open_;
}

bool TRegistry::ValueExists(const std::string& name) const {
  return open_ && platform::GetPlatform().AutorunGet(name).has_value();
}

std::string TRegistry::ReadString(const std::string& name) const {
  if (!open_) return "";
  return platform::GetPlatform().AutorunGet(name).value_or("");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!open_ || !platform::GetPlatform().AutorunSet(name, value))
    throw ERegistryException("Failed to set data for '" + name + "'");
}

bool TRegistry::DeleteValue(const std::string& name) {
  return open_ && platform::GetPlatform().AutorunDelete(name);
}

}  // namespace tv
