// Fuzz target for the edit field's UTF-8 stepping and its length limit: for any bytes, stepping
// forward and back visits the same boundaries, never splits a well-formed character, and a cut to
// N characters is a prefix with N characters (or the whole text).
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/controls/TEdit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  std::vector<std::size_t> forward;
  for (std::size_t i = 0; i < s.size();) {
    forward.push_back(i);
    const std::size_t next = tv::utf8::Next(s, i);
    if (next <= i || next > s.size()) std::abort();
    i = next;
  }
  if (static_cast<int>(forward.size()) != tv::utf8::Count(s)) std::abort();
  std::vector<std::size_t> backward;
  for (std::size_t i = s.size(); i > 0;) {
    const std::size_t prev = tv::utf8::Prev(s, i);
    if (prev >= i) std::abort();
    backward.push_back(prev);
    i = prev;
  }
  // Every backward stop is a boundary that forward stepping also reaches.
  for (std::size_t b : backward) {
    bool found = false;
    for (std::size_t f : forward) found = found || f == b;
    if (!found) std::abort();
  }
  const int n = static_cast<int>(size % 7);
  const std::string head = tv::utf8::Head(s, n);
  if (s.compare(0, head.size(), head) != 0) std::abort();
  if (tv::utf8::Count(head) != std::min(n, tv::utf8::Count(s))) std::abort();
  return 0;
}
