#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace tv::platform {
namespace {
std::unique_ptr<Platform>& Instance() {
  static std::unique_ptr<Platform> instance;
  return instance;
}
}  // namespace

Platform& GetPlatform() {
  auto& p = Instance();
  if (!p) {
    std::fputs("tovalin: no platform installed\n", stderr);
    std::abort();
  }
  return *p;
}

void SetPlatform(std::unique_ptr<Platform> platform) { Instance() = std::move(platform); }

bool HasPlatform() { return Instance() != nullptr; }

}  // namespace tv::platform
