#pragma once
// Turns an options text and its images into the tables of a skin. Used by the manager during a
// load; everything is built into a fresh set of tables, so a failed load leaves the manager's
// tables as they were.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/sSkinManager.h"

namespace tv {

struct TsSkinTables {
  TsSkinData SkinData;
  TsGeneralDataArray Sections;
  TsMaskArray Masks;
  TsPatternArray Patterns;
  std::unique_ptr<TBitmap> Master;
  TsSkinPalette Palette;
};

// Image bytes by reference: the member (package) or file (folder) of that name, or null.
// `wholeUpper` asks for the pattern rule: compare the upper-cased name with the upper-cased value.
using TsImageFetcher = std::function<const std::vector<std::uint8_t>*(const std::string& name, bool wholeUpper)>;

struct TsSkinLoader {
  const TsSkinIni& Ini;
  TsImageFetcher Fetch;
  TsSkinManager* Manager = nullptr;
  int HueOffset = 0;
  int Saturation = 0;
  std::vector<std::string> CommonSections;  // lines of a second options text

  // Throws ESkinLoadError.
  void ReadGlobalInfo(TsSkinData& data) const;
  void LoadMasks(TsSkinTables& t) const;
  void LoadPatterns(TsSkinTables& t) const;
  void LoadSections(TsSkinTables& t) const;
  void LoadAll(TsSkinTables& t) const;

  // Inherited lookups through "PARENTCLASS" (a chain that returns on itself counts as not set).
  std::string InheritedString(const TsSkinIni& ini, const std::string& section, const std::string& key,
                              const std::string& def) const;
  int InheritedInteger(const TsSkinIni& ini, const std::string& section, const std::string& key, int def) const;

 private:
  std::unique_ptr<TBitmap> LoadImage(const std::string& name, double version) const;
  TsGeneralData BuildSection(const TsSkinIni& ini, const std::string& name) const;
  void DerivePalette(TsSkinTables& t) const;
};

// Decodes a JPEG to a 24-bit bitmap. Throws ESkinLoadError (BadImage).
TBitmap DecodeSkinJpeg(const std::uint8_t* data, std::size_t size);

// Hue (degrees) and saturation (percent) shift of one colour; no change when both are 0.
TColor ChangeHueSaturation(TColor color, int hue, int saturation);
// Channel by channel: a * percent / 100 + b * (100 - percent) / 100, rounded.
TColor MixColors(TColor a, TColor b, double percentOfA);

}  // namespace tv
