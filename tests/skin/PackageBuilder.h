#pragma once
// Writes skin packages for the tests: one zlib stream per member.
#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tv::test {

inline void PutInt32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data, int level = 9) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
    throw std::runtime_error("compress2");
  out.resize(size);
  return out;
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

struct PackageMember {
  std::string name;
  std::vector<std::uint8_t> content;
  int level = 9;
};

inline std::vector<std::uint8_t> BuildPackage(const std::vector<PackageMember>& members) {
  std::vector<std::uint8_t> out{'M', 'V', 'p', 'k'};
  PutInt32(out, static_cast<std::int32_t>(members.size()));
  for (const auto& m : members) {
    PutInt32(out, static_cast<std::int32_t>(m.name.size()));
    out.insert(out.end(), m.name.begin(), m.name.end());
    PutInt32(out, static_cast<std::int32_t>(m.content.size()));
    auto z = Deflate(m.content, m.level);
    out.insert(out.end(), z.begin(), z.end());
  }
  return out;
}

}  // namespace tv::test
