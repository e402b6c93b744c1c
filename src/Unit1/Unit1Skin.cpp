// The main window's skin manager: the program's own dark skin, stored in the program.
#include "Unit1/Unit1.h"
#include "skin/DarkMetroSkin.h"
#include "skin/sSkinManager.h"

namespace tv {

void TForm1::CreateSkinManager() {
  sSkinManager1 = Create<TsSkinManager>(this);
  sSkinManager1->SetName("sSkinManager1");
  // As when read from stored properties: the skin loads now and is applied when loading ends.
  sSkinManager1->BeginLoading();
  sSkinManager1->Effects().AllowGlowing = false;
  AddDarkMetroSkin(*sSkinManager1);
  sSkinManager1->SetSkinName(kDarkMetroSkinName);
  sSkinManager1->EndLoading();
}

}  // namespace tv
