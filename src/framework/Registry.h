#pragma once
// The registry as far as the program uses it: the per-user Run key, kept in the platform's
// autorun store. Key names compare without regard to case, as in the registry.
#include <cstdint>
#include <string>

#include "framework/Exceptions.h"

namespace tv {

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class TRegistry {
 public:
  // The path of the only key this registry holds, under HKEY_CURRENT_USER.
  static constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

  TRegistry() = default;
  ~TRegistry() { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return rootKey_; }
  // Changing the root closes the open key.
  void SetRootKey(HKEY root);

  // True only for the Run key of HKEY_CURRENT_USER (a leading or trailing "\" allowed) and only
  // when the store can be reached (created first when canCreate and missing).
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey() { open_ = false; }
  bool HasOpenKey() const { return open_; }
  std::string CurrentPath() const { return open_ ? kRunKey : ""; }

  // With no key open: false, "", and a failed write.
  bool ValueExists(const std::string& name) const;
  std::string ReadString(const std::string& name) const;
  // Throws ERegistryException("Failed to set data for '<name>'") when the store refuses.
  void WriteString(const std::string& name, const std::string& value);
  bool DeleteValue(const std::string& name);

 private:
  HKEY rootKey_ = HKEY_CURRENT_USER;
  bool open_ = false;
};

}  // namespace tv
