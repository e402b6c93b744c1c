#include "skin/sCommonData.h"

#include "framework/graphics/TCanvas.h"
#include "skin/sSkinLoader.h"

namespace tv {

std::string DefaultSkinSection(int kind, const std::string& className) {
  switch (kind) {
    case COC_TsEdit:
    case COC_TsMaskEdit:
    case COC_TsCurrencyEdit:
    case COC_TsMemo:
      return "EDIT";
    case COC_TsComboBox:
      return "COMBOBOX";
    case COC_TsCheckBox:
    case COC_TsRadioButton:
      return "CHECKBOX";
    case COC_TsPanel:
      return "PANEL";
    case COC_TsScrollBox:
      return "PANEL_LOW";
    case COC_TsToolBar:
      return "TOOLBAR";
    case COC_TsGroupBox:
      return "GROUPBOX";
    case COC_TsSpeedButton:
      return "SPEEDBUTTON";
    case COC_TsButton:
    case COC_TsBitBtn:
      return "BUTTON";
    case COC_TsBar:
      return "BAR";
    case COC_TsBarTitle:
      return "BARTITLE";
    case COC_TsDragBar:
      return "DRAGBAR";
    case COC_TsTabSheet:
      return "TABSHEET";
    case COC_TsSplitter:
      return "SPLITTER";
    case COC_TsToolButton:
      return "TOOLBUTTON";
    case COC_TsPageControl:
      return "PAGECONTROL";
    case COC_TsStatusBar:
      return "STATUSBAR";
    case COC_TsGauge:
      return "GAUGE";
    case COC_TsTrackBar:
      return "TRACKBAR";
    default:
      return UpperCaseAscii(className);
  }
}

bool IsEditKind(int kind) {
  return kind == COC_TsEdit || kind == COC_TsMaskEdit || kind == COC_TsCurrencyEdit || kind == COC_TsMemo;
}

TsCommonData::TsCommonData(TControl* owner, int kind, std::string className)
    : owner_(owner), kind_(kind), className_(std::move(className)) {}

const TsGeneralData* TsCommonData::Section() const {
  const TsSkinManager* m = Manager();
  if (!m || sectionIndex_ < 0 || sectionIndex_ >= static_cast<int>(m->gd().size())) return nullptr;
  return &m->gd()[static_cast<std::size_t>(sectionIndex_)];
}

void TsCommonData::SendCommand(int command) {
  if (owner_) owner_->Perform(SM_ALPHACMD, MakeAlphaCmd(command), reinterpret_cast<LPARAM>(Manager()));
}

void TsCommonData::SetSkinSection(const std::string& value) {
  std::string v = UpperCaseAscii(value);
  if (v.empty()) v = "UNKNOWN";
  if (v == skinSection_) return;
  skinSection_ = v;
  UpdateIndexes();
  if (owner_ && owner_->Parent() && !owner_->HasState(csLoading | csDestroying) && !Updating())
    SendCommand(sectionIndex_ >= 0 ? AC_REFRESH : AC_REMOVESKIN);
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == TsSkinManager::DefaultManager()) value = nullptr;
  if (value == skinManager_) return;
  skinManager_ = value;
  TsSkinManager* m = Manager();
  if (m && !m->gd().empty()) {
    UpdateIndexes();
  } else {
    sectionIndex_ = -1;
    borderMaskIndex_ = textureMaskIndex_ = hotTextureMaskIndex_ = -1;
  }
  if (owner_ && owner_->Parent() && !owner_->HasState(csLoading | csDestroying) && !Updating())
    SendCommand(sectionIndex_ >= 0 ? AC_REFRESH : AC_REMOVESKIN);
}

void TsCommonData::SetCustomColor(bool value) {
  if (value == customColor_) return;
  customColor_ = value;
  if (!owner_ || !owner_->HasState(csLoading)) ApplySectionColors();
}

void TsCommonData::SetCustomFont(bool value) {
  if (value == customFont_) return;
  customFont_ = value;
  if (!owner_ || !owner_->HasState(csLoading)) ApplySectionColors();
}

TBitmap& TsCommonData::EnsureCache() {
  const int w = owner_ ? owner_->Width() : 0;
  const int h = owner_ ? owner_->Height() : 0;
  if (!cache_) cache_ = std::make_unique<TBitmap>(w, h, pf32bit);
  if (cache_->Width() != w || cache_->Height() != h) {
    cache_->SetSize(w, h);
    bgChanged_ = true;
  }
  return *cache_;
}

void TsCommonData::UpdateIndexes() {
  if (skinSection_.empty() || skinSection_ == "UNKNOWN") skinSection_ = DefaultSkinSection(kind_, className_);
  TsSkinManager* m = Manager();
  sectionIndex_ = (m && m->Active()) ? m->SectionIndexOf(skinSection_) : -1;
  bgChanged_ = true;
  const TsGeneralData* g = Section();
  if (!g) {
    sectionIndex_ = -1;
    borderMaskIndex_ = textureMaskIndex_ = hotTextureMaskIndex_ = -1;
    backgroundKind_ = TsBackgroundKind::Color;
    transparent_ = false;
    return;
  }
  borderMaskIndex_ = g->BorderMask;
  textureMaskIndex_ = m->TextureIndexOf(sectionIndex_, skinSection_, "PATTERN");
  hotTextureMaskIndex_ = m->TextureIndexOf(sectionIndex_, skinSection_, "HOTPATTERN");
  const TsGenState& normal = g->Props[0];
  if (normal.ImagePercent > 0) {
    backgroundKind_ = TsBackgroundKind::Texture;
  } else if (normal.GradientPercent > 0 && !normal.GradientArray.empty()) {
    backgroundKind_ = TsBackgroundKind::Gradient;
    switch (normal.GradientArray.front().Mode) {
      case 1:
        gradientLayout_ = TsGradientLayout::Horizontal;
        break;
      case 2:
        gradientLayout_ = TsGradientLayout::Triangles;
        break;
      default:
        gradientLayout_ = TsGradientLayout::Vertical;
        break;
    }
  } else {
    backgroundKind_ = TsBackgroundKind::Color;
  }
  transparent_ = normal.Transparency >= 100;
}

void TsCommonData::RemoveSkin() {
  sectionIndex_ = -1;
  borderMaskIndex_ = textureMaskIndex_ = hotTextureMaskIndex_ = -1;
  backgroundKind_ = TsBackgroundKind::Color;
  transparent_ = false;
  cache_.reset();
  bgChanged_ = true;
  if (owner_ && IsEditKind(kind_)) {
    if (!customColor_) owner_->SetColor(clWindow);
    if (!customFont_) owner_->Font().SetColor(clWindowText);
  }
}

void TsCommonData::ApplySectionColors() {
  const TsGeneralData* g = Section();
  if (!g || !owner_) return;
  if (kind_ == COC_TsCheckBox || kind_ == COC_TsRadioButton || kind_ == COC_TsLabel) return;
  if (!customColor_) owner_->SetColor(ChangeHueSaturation(g->Props[0].Color, HueOffset(), Saturation()));
  if (!customFont_) owner_->Font().SetColor(ChangeHueSaturation(g->Props[0].FontColor, HueOffset(), Saturation()));
}

TColor TsCommonData::ParentColor() const {
  TWinControl* parent = owner_ ? owner_->Parent() : nullptr;
  if (!parent) return GetSysColor(COLOR_BTNFACE);
  const LRESULT answer = parent->Perform(SM_ALPHACMD, MakeAlphaCmd(AC_GETCONTROLCOLOR), 0);
  if (answer != 0) return static_cast<TColor>(answer);
  return ColorToRGB(parent->Color());
}

TColor TsCommonData::BackgroundColor(bool hot) const {
  const TsGeneralData* g = Section();
  if (!g) return owner_ ? ColorToRGB(owner_->Color()) : GetSysColor(COLOR_BTNFACE);
  const TsGenState& st = g->Props[(hot && g->States >= 2) ? 1 : 0];
  const int t = st.Transparency;
  if (customColor_ && t == 0 && owner_) return ColorToRGB(owner_->Color());
  if (t <= 0) return st.Color;
  if (t >= 100) return ParentColor();
  return MixColors(ParentColor(), st.Color, t);
}

bool TsCommonData::HandleSkinMessage(TMessage& message) {
  if (message.Msg != SM_ALPHACMD) return false;
  const bool fromOwnManager = reinterpret_cast<TsSkinManager*>(message.LParam) == Manager();
  switch (AlphaCmdOf(message.WParam)) {
    case AC_SETNEWSKIN:
      if (!fromOwnManager) return false;
      UpdateIndexes();
      return true;
    case AC_REMOVESKIN:
      if (!fromOwnManager) return false;
      RemoveSkin();
      if (owner_) owner_->Invalidate();
      return true;
    case AC_REFRESH:
      if (!fromOwnManager) return false;
      bgChanged_ = true;
      ApplySectionColors();
      if (owner_) owner_->Invalidate();
      return true;
    case AC_PREPARING:
      bgChanged_ = true;
      return true;
    case AC_GETCONTROLCOLOR:
      if (!Skinned()) return false;
      message.Result = static_cast<LRESULT>(BackgroundColor(Hot()));
      return true;
    case AC_GETSKININDEX:
      if (!Skinned() || message.LParam == 0) return false;
      {
        auto* info = reinterpret_cast<TacSectionInfo*>(message.LParam);
        info->Manager = Manager();
        info->SectionName = skinSection_;
        info->SectionIndex = sectionIndex_;
      }
      message.Result = 1;
      return true;
    case AC_BEGINUPDATE:
      BeginUpdate();
      return true;
    case AC_ENDUPDATE:
      EndUpdate();
      return true;
    default:
      return false;
  }
}

void TsCtrlSkinData::SetHUEOffset(int v) {
  if (v == hueOffset_) return;
  hueOffset_ = v;
  ApplySectionColors();
}

void TsCtrlSkinData::SetSaturation(int v) {
  if (v == saturation_) return;
  saturation_ = v;
  ApplySectionColors();
}

}  // namespace tv
