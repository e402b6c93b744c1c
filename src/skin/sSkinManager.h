#pragma once
// The skin manager: chooses and loads a skin (packed file, folder or stored skin), holds its
// tables (sections, masks, patterns, palette, constant lookups) and tells the windows about it.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/TBitmap.h"
#include "skin/acSkinPack.h"
#include "skin/sMaskData.h"
#include "skin/sSkinOptions.h"

namespace tv {

class TsSkinManager;

// The engine's private window message; wParam = command * 65536, lParam = the manager or a record.
constexpr UINT SM_ALPHACMD = 0xA100;
enum : int {
  AC_SETNEWSKIN = 1,
  AC_REMOVESKIN = 2,
  AC_REFRESH = 3,
  AC_PREPARING = 16,
  AC_GETCONTROLCOLOR = 21,
  AC_GETSKININDEX = 26,
  AC_BEGINUPDATE = 31,
  AC_ENDUPDATE = 32,
  AC_GETBG = 34,
};
constexpr WPARAM MakeAlphaCmd(int command) { return static_cast<WPARAM>(command) << 16; }
constexpr int AlphaCmdOf(WPARAM wParam) { return static_cast<int>((wParam >> 16) & 0xFFFF); }

// One look of a section: normal (index 0) or hot (index 1).
struct TsGenState {
  TColor Color = 0xFFFFFF;
  TColor FontColor = 0;
  std::array<TColor, 4> TextContour = {-1, -1, -1, -1};  // left, top, right, bottom
  int GradientPercent = 0;
  std::string GradientData = " ";
  std::vector<TsGradientGroup> GradientArray;
  int ImagePercent = 0;
  int TextureIndex = -1;
  TColor GlowColor = 0xFFFFFF;
  std::uint8_t GlowSize = 0;
  int Transparency = 0;
};

// The keys that feed a state record, as read (after inheritance).
struct TsGenStateValues {
  int Color = 0xFFFFFF;
  int FontColor = 0;
  std::array<int, 4> TextContour = {-1, -1, -1, -1};
  int GradientPercent = 0;
  std::string GradientData = " ";
  int ImagePercent = 0;
  int GlowColor = 0xFFFFFF;
  int GlowSize = 0;
  int Transparency = 0;
};

struct TsGeneralData {
  std::string SectionName;
  std::string ParentSection;
  int States = 3;
  std::array<TsGenState, 2> Props;
  std::array<TsGenStateValues, 2> Values;
  bool GiveOwnFont = false;
  bool ReservedBoolean = false;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIterations = 5;
  int Glow = 0;
  int GlowMargin = 0;
  int BorderMask = -1;
  std::array<int, 4> CornerMasks = {-1, -1, -1, -1};  // top-left, top-right, bottom-left, bottom-right
  int TextureMask = -1;
  int HotTextureMask = -1;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

// GLOBALINFO.
struct TsSkinData {
  bool Active = false;
  double Version = 0;
  std::string Author;
  std::string Description;
  std::string MasterBitmap;
  std::int16_t BorderWidth = 4;
  std::int16_t TitleHeight = 30;
  std::int16_t MaxHeight = 30;
  std::int16_t FormOffset = 4;
  std::int16_t AlignOffset = 0;
  std::int16_t CenterOffset = 0;
  std::int16_t BorderMode = 0;
  std::uint32_t Shadow1Color = 0;
  std::int16_t Shadow1Offset = 0;
  std::int16_t Shadow1Blur = -1;
  std::int16_t Shadow1Transparency = 0;
  std::int16_t BISpacing = 0;
  std::int16_t BIVAlign = 0;
  std::int16_t BIRightMargin = 0;
  std::int16_t BILeftMargin = 0;
  std::int16_t BITopMargin = 0;
  std::int16_t BIKeepHUE = 0;
  std::int16_t BICloseGlow = 0, BICloseGlowMargin = 0;
  std::int16_t BIMaxGlow = 0, BIMaxGlowMargin = 0;
  std::int16_t BIMinGlow = 0, BIMinGlowMargin = 0;
  bool AeroBlur = false;
};

struct TsSkinPalette {
  TColor GlobalColor = 0;
  TColor GlobalFontColor = 0;
  TColor TCBottom = 0xFF0000;
  TColor TCTop = 0x0000FF;
  TColor BorderColor = 0;
  TColor EditText = 0;
  TColor EditBackground = 0;
  std::array<TColor, 2> SelectionColor = {0, 0};      // normal, hot
  std::array<TColor, 2> SelectionTextColor = {0, 0};  // normal, hot
  std::array<TColor, 5> EditStateText = {0x008000, 0x008484, 0x0000FF, 0x8597D9, 0x4AB28F};
  std::array<TColor, 5> EditStateBackground = {0x6CC2A5, 0x40FFFF, 0x95A7E9, 0x8597D9, 0x4AB28F};
  std::array<TColor, 3> HeadingText = {0, 0, 0};
  TColor InverseText = 0;
  TColor InverseBackground = 0;
  TColor OddRow = 0;
  TColor EvenRow = 0;
};

// Indexes resolved after every load; -1 when the skin lacks the item.
struct TsSkinSectionMasks {
  int Index = -1;
  int BorderMask = -1;
  int GlyphMask = -1;
  int Texture = -1;
  int HotTexture = -1;
};
struct TsConstData {
  int IndexGlobalInfo = -1;
  int CheckBoxChecked = -1, CheckBoxUnChecked = -1, CheckBoxGrayed = -1;
  int RadioButtonChecked = -1, RadioButtonUnChecked = -1, RadioButtonGrayed = -1;
  int SmallCheckBoxChecked = -1, SmallCheckBoxUnChecked = -1, SmallCheckBoxGrayed = -1;
  int GripImage = -1, GripHorizontal = -1, GripVertical = -1;
  // BICONCLOSE, BICLOSEALONE, BICONMAX, BICONNORM, BICONMIN, BICONHELP,
  // SICONCLOSE, SICONMAX, SICONNORM, SICONMIN, SICONHELP
  std::array<int, 11> TitleButtons = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  TsSkinSectionMasks ComboBtn;
  int ComboBoxGlyph = -1;
  std::array<TsSkinSectionMasks, 4> Tabs;        // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT
  std::array<TsSkinSectionMasks, 4> ScrollBtns;  // SCROLLBTNTOP, SCROLLBTNBOTTOM, SCROLLBTNLEFT, SCROLLBTNRIGHT
  TsSkinSectionMasks ScrollSliderV, ScrollSliderH;
  std::array<TsSkinSectionMasks, 4> ScrollBars;  // SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V
  int IndexWebButton = -1;
  int ExBorder = -1;
};

enum TacSkinningRule : std::uint8_t { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };

struct TacSkinEffects {
  bool AllowGlowing = true;
  bool AllowAeroBluring = true;
};

struct TacMenuFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;
  TColor Color = clWindowText;
};

struct TacMenuSupport {
  int AlphaBlend = 255;
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  TacMenuFont ExtraLineFont;
};

struct TacAnimEffect {
  bool Active = true;
  int Time = 0;
};
struct TacAnimEffects {
  TacAnimEffect BlendOnMoving{false, 0}, Buttons, DialogShow, FormShow, FormHide, DialogHide, Minimizing,
      PageChange, SkinChanging;
};

// The 21 lists of standard class names skinned by the adapters, each separated by CR LF.
struct TacThirdPartyList {
  std::string ThirdEdits, ThirdButtons, ThirdBitBtns, ThirdCheckBoxes, ThirdGroupBoxes, ThirdListViews, ThirdPanels,
      ThirdGrids, ThirdTreeViews, ThirdComboBoxes, ThirdWWEdits, ThirdVirtualTrees, ThirdGridEh, ThirdPageControl,
      ThirdTabControl, ThirdToolBar, ThirdStatusBar, ThirdSpeedButton, ThirdScrollControl, ThirdUpDown,
      ThirdScrollBar;
  // Fills every empty list with the engine's built-in default.
  void FillDefaults();
};

// How the manager reaches the windows and the user. Left empty, the manager uses the framework:
// broadcasts go to the forms of Screen, messages to the application's error box, the program's
// directory comes from the platform. Tests install their own.
struct TsSkinHost {
  // Sends the message to every form that is not loading or being destroyed; each form passes it on
  // to its controls, depth first.
  std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)> Broadcast;
  // A modal message box with an OK button. kind: 0 error, 1 warning, 2 information.
  std::function<void(const std::string& text, int kind)> ShowMessage;
  // The directory of the running executable, with a trailing separator.
  std::function<std::string()> ProgramDirectory;
};
TsSkinHost& SkinHost();

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner = nullptr);
  ~TsSkinManager() override;
  TsSkinManager(const TsSkinManager&) = delete;
  TsSkinManager& operator=(const TsSkinManager&) = delete;

  // The default manager: the first one created, or the one made default later.
  static TsSkinManager* DefaultManager();
  // True while any manager loads a skin.
  static bool SkinLoading();
  // Diagnostic switch: shows the notice for outdated skins at run time too.
  static void SetDiagnostics(bool on);

  // ---- properties ---------------------------------------------------------------------------
  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& value);
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& value);
  // The resolved directory, ending in a separator.
  const std::string& SkinsDirectory() const { return resolvedDirectory_; }
  // Where the images of the current folder or packed skin are; empty for a stored skin.
  const std::string& SkinPath() const { return skinPath_; }
  TsStoredSkins& InternalSkins() { return internalSkins_; }
  std::string SkinInfo() const;
  void SetSkinInfo(const std::string&) {}
  std::string Version() const;
  TacSkinEffects& Effects() { return effects_; }
  TacMenuSupport& MenuSupport() { return menuSupport_; }
  std::uint8_t SkinningRules() const { return skinningRules_; }
  void SetSkinningRules(std::uint8_t v) { skinningRules_ = v; }
  TacThirdPartyList& ThirdParty() { return thirdParty_; }
  bool ExtendedBorders() const { return extendedBorders_; }
  void SetExtendedBorders(bool v) { extendedBorders_ = v; }
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool v) { skinnedPopups_ = v; }
  bool IsDefault() const { return DefaultManager() == this; }
  void SetIsDefault(bool value);
  int HueOffset() const { return hueOffset_; }
  void SetHueOffset(int value);
  int Saturation() const { return saturation_; }
  void SetSaturation(int value);
  std::vector<std::string>& CommonSections() { return commonSections_; }
  TacAnimEffects& AnimEffects() { return animEffects_; }

  TNotifyEvent OnActivate, OnAfterChange, OnBeforeChange, OnDeactivate, OnSkinListChanged;

  // While the stored properties are read (csLoading) a new skin is loaded but applied only when
  // loading ends.
  bool Loading() const { return HasState(csLoading); }

  // ---- tables -------------------------------------------------------------------------------
  const TsSkinData& SkinData() const { return skinData_; }
  const TsGeneralDataArray& gd() const { return sections_; }
  const TsMaskArray& ma() const { return masks_; }
  const TsPatternArray& pa() const { return patterns_; }
  const TBitmap* MasterBitmap() const { return master_.get(); }
  const TsConstData& ConstData() const { return constData_; }
  const TsSkinPalette& Palette() const { return palette_; }

  // ---- lookups ------------------------------------------------------------------------------
  int SectionIndexOf(const std::string& name) const;
  int MaskIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const;
  int OwnMaskIndexOf(const std::string& sectionName, const std::string& key) const;
  int TextureIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const;
  int PatternIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const;

  TColor GetGlobalColor() const { return palette_.GlobalColor; }
  TColor GetGlobalFontColor() const { return palette_.GlobalFontColor; }
  TColor GetActiveEditFontColor() const { return palette_.EditText; }
  TColor GetActiveEditColor() const { return palette_.EditBackground; }
  TColor GetHighLightColor(bool hot = false) const { return palette_.SelectionColor[hot ? 1 : 0]; }
  TColor GetHighLightFontColor(bool hot = false) const { return palette_.SelectionTextColor[hot ? 1 : 0]; }

  // Measurements of a mask; 0 for an index outside the table.
  int WidthOfImage(int maskIndex) const;
  int HeightOfImage(int maskIndex) const;
  int MaskWidthLeft(int maskIndex);
  int MaskWidthTop(int maskIndex) const;
  int MaskWidthRight(int maskIndex) const;
  int MaskWidthBottom(int maskIndex) const;

  // Names of the stored skins, of the skin folders and of the packed files in the skin directory,
  // sorted; returns the first name found.
  std::string GetSkinNames(std::vector<std::string>& names) const;

  // Sends command to every window (see SM_ALPHACMD).
  void SendNewSkin();
  void SendRemoveSkin();
  void RepaintForms();

 protected:
  void Loaded() override;

 private:
  void LoadSkin(const std::string& previousName);
  void ApplySkin();
  void RemoveSkin();
  void UpdateConstData();
  void Broadcast(int command);
  void ResolveDirectory();

  bool active_ = true;
  std::string skinName_;
  std::string skinDirectory_ = "c:\\Skins";
  std::string resolvedDirectory_;
  std::string skinPath_;
  TsStoredSkins internalSkins_;
  TacSkinEffects effects_;
  TacMenuSupport menuSupport_;
  std::uint8_t skinningRules_ = srStdForms | srStdDialogs | srThirdParty;
  TacThirdPartyList thirdParty_;
  bool extendedBorders_ = false;
  bool skinnedPopups_ = true;
  int hueOffset_ = 0;
  int saturation_ = 0;
  std::vector<std::string> commonSections_;
  TacAnimEffects animEffects_;

  TsSkinData skinData_;
  TsGeneralDataArray sections_;
  TsMaskArray masks_;
  TsPatternArray patterns_;
  std::unique_ptr<TBitmap> master_;
  TsConstData constData_;
  TsSkinPalette palette_;

  friend struct TsSkinLoader;
};

// Colour value of a colour that may name a system colour (negative: by its low byte).
TColor SkinColorToRGB(int value);

}  // namespace tv
