#pragma once
// The mask and pattern tables of a skin: references in the options text ("@", "^", "~", "!", "#",
// plain bitmap names) turned into records over the master bitmap or separate images.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/graphics/Geometry.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

class TsSkinManager;

// Kind of a mask record.
enum : std::uint8_t { mkBorder = 0, mkTexture = 1, mkGlyph = 2, mkImage3 = 3, mkImage4 = 4 };

// FillMode bits.
enum : int { fmStretch = 1, fmHiddenNormal = 2, fmCentre = 4 };

struct TsMaskData {
  std::unique_ptr<TBitmap> Image;  // null: Rect is cut from the master bitmap
  std::string SectionName;
  std::string KeyName;
  TRect Rect;
  std::int16_t FrameCount = 0;
  std::int16_t RowMode = 0;
  std::int16_t UniformMargin = 0;
  std::int16_t FillMode = 0;
  std::uint8_t Kind = mkBorder;
  TsSkinManager* Manager = nullptr;
  std::int16_t Margins[4] = {0, 0, 0, 0};  // left, top, right, bottom
  std::int16_t CornerFlag = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

struct TsPatternData {
  std::unique_ptr<TBitmap> Image;  // the decoded JPEG
  std::string SectionName;
  std::string KeyName;
};
using TsPatternArray = std::vector<TsPatternData>;

// What a reference value says, before its image is looked up.
struct TsMaskReference {
  enum class Source { Master, Member } From = Source::Master;
  std::string ImageName;  // for Source::Member, as written
  TsMaskData Mask;        // fields the notation gives; Rect unset for a member's whole image
  bool ComputeMargins = false;
  bool WholeImage = false;  // Rect is the member's whole image (plain bitmap notation)
  char Notation = 0;        // '@', '^', '~', '!', '#' or 'B' (plain bitmap name)
};

// Parses one options value. Returns nothing for a value of no known notation (or a "!" value that
// names no bitmap or PNG). Throws ESkinLoadError (BadValue) when a digit field of an "@", "^" or
// "~" value is not a number.
std::optional<TsMaskReference> ParseMaskReference(std::string_view value, const std::string& section,
                                                  const std::string& key);

// Whether an upper-cased value names a JPEG texture.
bool IsJpegName(std::string_view upperValue);

// Margins computed from the rectangle when a notation gives none.
void ComputeMaskMargins(TsMaskData& mask);

// Measurements of a record.
int MaskFrameWidth(const TsMaskData& mask);
int MaskFrameHeight(const TsMaskData& mask);
// Effective margins: the side's own, else UniformMargin, else the whole frame width or height.
// Asking for the left margin of a record with FrameCount 0 first sets FrameCount to 1.
int MaskLeftMargin(TsMaskData& mask);
int MaskTopMargin(const TsMaskData& mask);
int MaskRightMargin(const TsMaskData& mask);
int MaskBottomMargin(const TsMaskData& mask);

// 0: no transparent magenta pixel (0x00FF00FF) in the corner slices of the first frame; 1: some;
// 2: section "BUTTON_HUGE", key "BORDERSMASK".
std::int16_t ComputeCornerFlag(const TsMaskData& mask, const TBitmap* master);

// A bitmap that is not yet 32-bit becomes one: magenta 0xFF00FF gets alpha 0, the rest 255; the
// bitmap is marked transparent with magenta as its key colour.
void MakeMasterBitmap(TBitmap& bitmap);

// Decodes a PNG to 32-bit RGBA, clears white pixels of alpha 0 and, when premultiply is set,
// premultiplies the colour channels (c * a / 256). Throws ESkinLoadError (BadImage) on bad data.
TBitmap DecodeSkinPng(const std::uint8_t* data, std::size_t size, bool premultiply);

}  // namespace tv
