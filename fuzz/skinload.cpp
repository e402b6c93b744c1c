// Fuzzes a whole skin load. The input is split into an options text and four image members, packed
// into a stored skin's package and loaded by the manager into its tables (master bitmap, BMP, PNG
// and JPEG members, masks, patterns, sections, palette, lookups).
//   bytes 0-1: length of the options text (little-endian), then the text, then the images' bytes
//   in four equal parts: "Master copy.bmp", "Image.png", "Frame.bmp", "Texture.jpg".
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/sSkinManager.h"

namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void AddMember(std::vector<std::uint8_t>& out, const std::string& name, const std::uint8_t* data, std::size_t size) {
  PutInt32(out, static_cast<std::uint32_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  PutInt32(out, static_cast<std::uint32_t>(size));
  uLongf zsize = compressBound(static_cast<uLong>(size));
  std::vector<std::uint8_t> z(zsize);
  compress2(z.data(), &zsize, data, static_cast<uLong>(size), 1);
  out.insert(out.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(zsize));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool once = [] {
    tv::SkinHost().ShowMessage = [](const std::string&, int) {};
    tv::SkinHost().Broadcast = [](tv::UINT, tv::WPARAM, tv::LPARAM) {};
    tv::SkinHost().ProgramDirectory = [] { return std::string("/nonexistent/"); };
    return true;
  }();
  (void)once;
  if (size < 2) return 0;
  const std::size_t optionsLength = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
  const std::uint8_t* options = data + 2;
  const std::uint8_t* images = options + optionsLength;
  const std::size_t imagesSize = size - 2 - optionsLength;
  const std::size_t part = imagesSize / 4;

  std::vector<std::uint8_t> package{'M', 'V', 'p', 'k'};
  PutInt32(package, 5);
  AddMember(package, "Options.dat", options, optionsLength);
  const char* names[4] = {"Master copy.bmp", "Image.png", "Frame.bmp", "Texture.jpg"};
  for (std::size_t i = 0; i < 4; ++i)
    AddMember(package, names[i], images + i * part, i == 3 ? imagesSize - 3 * part : part);

  tv::TsSkinManager manager;
  manager.SetSkinDirectory("/nonexistent-skins");
  tv::TsStoredSkin& skin = manager.InternalSkins().Add();
  skin.SetName("Fuzzed");
  skin.SetData(package.data(), package.size());
  manager.SetSkinName("Fuzzed");
  for (int i = 0; i < static_cast<int>(manager.ma().size()); ++i) {
    (void)manager.WidthOfImage(i);
    (void)manager.MaskWidthLeft(i);
    (void)manager.MaskWidthBottom(i);
  }
  return 0;
}
