#pragma once
// The skin data every skinned control carries: which section it paints with, its indexes into the
// manager's tables, its cache bitmap, and the handling of the manager's commands (SM_ALPHACMD).
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Control.h"
#include "framework/graphics/TBitmap.h"
#include "skin/sSkinManager.h"

namespace tv {

// Kind codes, fixed by the control class; they choose the default section.
enum TsControlKind : int {
  COC_TsCustom = 0,
  COC_TsEdit,
  COC_TsMaskEdit,
  COC_TsCurrencyEdit,
  COC_TsMemo,
  COC_TsComboBox,
  COC_TsCheckBox,
  COC_TsRadioButton,
  COC_TsPanel,
  COC_TsScrollBox,
  COC_TsToolBar,
  COC_TsGroupBox,
  COC_TsSpeedButton,
  COC_TsButton,
  COC_TsBitBtn,
  COC_TsBar,
  COC_TsBarTitle,
  COC_TsDragBar,
  COC_TsTabSheet,
  COC_TsSplitter,
  COC_TsToolButton,
  COC_TsPageControl,
  COC_TsStatusBar,
  COC_TsGauge,
  COC_TsTrackBar,
  COC_TsLabel,
};

// The section a control of that kind uses when its SkinSection is empty; a kind without an entry
// uses its upper-cased class name.
std::string DefaultSkinSection(int kind, const std::string& className);
bool IsEditKind(int kind);

// Background of a section's state.
enum class TsBackgroundKind : std::uint8_t { Color, Texture, Gradient };
enum class TsGradientLayout : std::uint8_t { Vertical, Horizontal, Triangles };

// What a parent answers to AC_GETSKININDEX (26): the record passed in lParam.
struct TacSectionInfo {
  TsSkinManager* Manager = nullptr;
  std::string SectionName;
  int SectionIndex = -1;
};

class TsCommonData {
 public:
  TsCommonData(TControl* owner, int kind, std::string className = {});
  virtual ~TsCommonData() = default;
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  // ---- published ------------------------------------------------------------------------------
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);
  // Null means the default manager.
  TsSkinManager* SkinManager() const { return skinManager_; }
  void SetSkinManager(TsSkinManager* value);
  bool CustomColor() const { return customColor_; }
  void SetCustomColor(bool value);
  bool CustomFont() const { return customFont_; }
  void SetCustomFont(bool value);

  // ---- state ----------------------------------------------------------------------------------
  // The manager in charge: its own, else the default one.
  TsSkinManager* Manager() const { return skinManager_ ? skinManager_ : TsSkinManager::DefaultManager(); }
  TControl* OwnerControl() const { return owner_; }
  int Kind() const { return kind_; }
  int SectionIndex() const { return sectionIndex_; }
  int BorderMaskIndex() const { return borderMaskIndex_; }
  int TextureMaskIndex() const { return textureMaskIndex_; }
  int HotTextureMaskIndex() const { return hotTextureMaskIndex_; }
  bool Skinned() const { return sectionIndex_ >= 0; }
  TsBackgroundKind BackgroundKind() const { return backgroundKind_; }
  TsGradientLayout GradientLayout() const { return gradientLayout_; }
  // The section's normal look lets the parent show through.
  bool Transparent() const { return transparent_; }

  bool MouseAbove() const { return mouseAbove_; }
  void SetMouseAbove(bool v) { mouseAbove_ = v; }
  bool Focused() const { return focused_; }
  void SetFocused(bool v) { focused_ = v; }
  // Hot: mouse over, or focused for kinds that show focus.
  bool Hot() const { return mouseAbove_ || focused_; }

  // The last painted look; BGChanged marks it stale.
  TBitmap* CacheBmp() const { return cache_.get(); }
  TBitmap& EnsureCache();
  bool BGChanged() const { return bgChanged_; }
  void SetBGChanged(bool v) { bgChanged_ = v; }
  bool Updating() const { return updateCount_ > 0; }
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
  }

  // Binds to the section (on SkinSection or SkinManager changes and on AC_SETNEWSKIN).
  void UpdateIndexes();
  // Drops the binding (AC_REMOVESKIN).
  void RemoveSkin();
  // The section's colours applied to the control itself, unless CustomColor / CustomFont.
  virtual void ApplySectionColors();
  // Background colour in the normal or hot state, mixed with the parent's by transparency.
  TColor BackgroundColor(bool hot) const;
  // Background colour of the parent (what it answers to AC_GETCONTROLCOLOR, else its Color).
  TColor ParentColor() const;

  // Handles SM_ALPHACMD for the owner; returns true when the message was meant for it.
  bool HandleSkinMessage(TMessage& message);

  // Hue and saturation of the control (TsCtrlSkinData); 0 here.
  virtual int HueOffset() const { return 0; }
  virtual int Saturation() const { return 0; }

 protected:
  void SendCommand(int command);
  const TsGeneralData* Section() const;

 private:
  TControl* owner_;
  int kind_;
  std::string className_;
  std::string skinSection_;
  TsSkinManager* skinManager_ = nullptr;
  bool customColor_ = false;
  bool customFont_ = false;
  int sectionIndex_ = -1;
  int borderMaskIndex_ = -1;
  int textureMaskIndex_ = -1;
  int hotTextureMaskIndex_ = -1;
  TsBackgroundKind backgroundKind_ = TsBackgroundKind::Color;
  TsGradientLayout gradientLayout_ = TsGradientLayout::Vertical;
  bool transparent_ = false;
  bool mouseAbove_ = false;
  bool focused_ = false;
  std::unique_ptr<TBitmap> cache_;
  bool bgChanged_ = true;
  int updateCount_ = 0;
};

// Skin data of controls with their own hue and saturation.
class TsCtrlSkinData : public TsCommonData {
 public:
  using TsCommonData::TsCommonData;
  int HUEOffset() const { return hueOffset_; }
  void SetHUEOffset(int v);
  int Saturation() const override { return saturation_; }
  void SetSaturation(int v);
  int HueOffset() const override { return hueOffset_; }

 private:
  int hueOffset_ = 0;
  int saturation_ = 0;
};

}  // namespace tv
