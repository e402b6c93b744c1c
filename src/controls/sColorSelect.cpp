#include "controls/sColorSelect.h"

#include <cstring>

namespace tv {

TsColorSelect::TsColorSelect(TComponent* owner) : TSpeedButton(owner) { UpdateSwatch(false); }

void TsColorSelect::Loaded() {
  TSpeedButton::Loaded();
  UpdateSwatch(false);
}

void TsColorSelect::SetColorValue(TColor value) {
  if (value == colorValue_) return;
  colorValue_ = value;
  Glyph().SetSize(0, 0);
  UpdateSwatch(true);
}

void TsColorSelect::SetImgWidth(int value) {
  if (value == imgWidth_) return;
  imgWidth_ = value;
  Glyph().SetSize(0, 0);
  UpdateSwatch(true);
}

void TsColorSelect::SetImgHeight(int value) {
  if (value == imgHeight_) return;
  imgHeight_ = value;
  Glyph().SetSize(0, 0);
  UpdateSwatch(true);
}

void TsColorSelect::UpdateSwatch(bool repaint) {
  if ((ComponentState() & csLoading) || imgWidth_ <= 0 || imgHeight_ <= 0) return;
  TBitmap& glyph = Glyph();
  if (glyph.Width() == imgWidth_ && glyph.Height() == imgHeight_ &&
      glyph.PixelColor(imgWidth_ / 2, imgHeight_ / 2) == colorValue_)
    return;

  TBitmap swatch(imgWidth_, imgHeight_, pf32bit);
  const TColor rgb = ColorToRGB(colorValue_);
  const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(GetBValue(rgb)), static_cast<std::uint8_t>(GetGValue(rgb)),
                                 static_cast<std::uint8_t>(GetRValue(rgb)), 255};
  const std::uint8_t key[4] = {255, 0, 255, 0};  // fuchsia, fully transparent
  for (int y = 0; y < imgHeight_; ++y) {
    std::uint8_t* row = swatch.ScanLine(y);
    for (int x = 0; x < imgWidth_; ++x) {
      const bool corner = (x == 0 || x == imgWidth_ - 1) && (y == 0 || y == imgHeight_ - 1);
      std::memcpy(row + 4 * x, corner ? key : pixel, 4);
    }
  }
  SetGlyph(swatch);
  ++swatchBuilds_;
  if (repaint) Invalidate();
}

}  // namespace tv
