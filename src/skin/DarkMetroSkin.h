#pragma once
// The program's own skin, packed at build time from skins/DarkMetro.
#include <cstddef>
#include <cstdint>

namespace tv {

class TsSkinManager;

extern const std::uint8_t kDarkMetroPackage[];
extern const std::size_t kDarkMetroPackageSize;

inline constexpr const char* kDarkMetroSkinName = "DarkMetro (internal)";

// Adds the stored skin "DarkMetro (internal)" to the manager's InternalSkins, as the main window
// stores it: black shadow, offset and transparency 0, the package as its Data.
void AddDarkMetroSkin(TsSkinManager& manager);

}  // namespace tv
