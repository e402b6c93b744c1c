#include "skin/DarkMetroSkin.h"

#include "skin/sSkinManager.h"

namespace tv {

void AddDarkMetroSkin(TsSkinManager& manager) {
  TsStoredSkin& skin = manager.InternalSkins().Add();
  skin.SetName(kDarkMetroSkinName);
  skin.SetShadow1Color(0);
  skin.SetShadow1Offset(0);
  skin.SetShadow1Transparency(0);
  skin.SetData(kDarkMetroPackage, kDarkMetroPackageSize);
}

}  // namespace tv
