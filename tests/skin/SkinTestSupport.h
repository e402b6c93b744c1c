#pragma once
// Helpers for the skin tests: images as file bytes, stored skins from an options text, and a host
// that records what the manager shows and broadcasts.
#include <png.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/TBitmap.h"
#include "skin/PackageBuilder.h"
#include "skin/sSkinManager.h"

namespace tv::test {

// A 24-bit BMP filled with one colour (0x00BBGGRR), with optional single pixels.
inline std::vector<std::uint8_t> BmpBytes(int w, int h, TColor fill,
                                          const std::vector<std::pair<TPoint, TColor>>& pixels = {}) {
  TBitmap bmp(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.SetPixelColor(x, y, fill);
  for (const auto& [p, c] : pixels) bmp.SetPixelColor(p.X, p.Y, c);
  TMemoryStream s;
  (void)bmp.WriteBmp(s);
  return s.Bytes();
}

// RGBA pixels, row by row, as a PNG file.
inline std::vector<std::uint8_t> PngBytes(int w, int h, const std::vector<std::uint8_t>& rgba) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::vector<std::uint8_t> out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr);
  out.resize(size);
  return out;
}

struct RecordingHost {
  std::vector<std::pair<std::string, int>> messages;
  std::vector<int> commands;
  RecordingHost() {
    SkinHost().ShowMessage = [this](const std::string& text, int kind) { messages.emplace_back(text, kind); };
    SkinHost().Broadcast = [this](UINT msg, WPARAM wParam, LPARAM) {
      if (msg == SM_ALPHACMD) commands.push_back(AlphaCmdOf(wParam));
    };
  }
  ~RecordingHost() { SkinHost() = TsSkinHost{}; }
};

// Adds a stored skin whose package holds the options text (CR LF lines) and the given members.
inline TsStoredSkin& AddStoredSkin(TsSkinManager& m, const std::string& name, const std::string& options,
                                   std::vector<PackageMember> images = {}) {
  std::vector<PackageMember> members{{"Options.dat", Bytes(options)}};
  for (auto& i : images) members.push_back(std::move(i));
  auto bytes = BuildPackage(members);
  TsStoredSkin& s = m.InternalSkins().Add();
  s.SetName(name);
  s.SetData(bytes.data(), bytes.size());
  return s;
}

}  // namespace tv::test
