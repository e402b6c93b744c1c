#include "net/ServiceContract.h"

#include <cstdlib>
#include <cstring>

namespace tv {
namespace {

std::string& Url() {
  static std::string url = "http://localhost:8080";
  return url;
}

}  // namespace

const std::string& ServiceBaseUrl() { return Url(); }

void SetServiceBaseUrl(const std::string& url) {
  std::string u = url;
  while (!u.empty() && u.back() == '/') u.pop_back();
  if (!u.empty()) Url() = u;
}

void ConfigureServiceBaseUrl(int argc, char** argv) {
  if (const char* env = std::getenv("TOVALIN_SERVICE_URL")) SetServiceBaseUrl(env);
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--service") == 0) SetServiceBaseUrl(argv[i + 1]);
}

}  // namespace tv
