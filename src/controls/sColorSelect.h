#pragma once
// The colour button: a speed button whose glyph is a swatch of its colour.
#include "framework/controls/TSpeedButton.h"

namespace tv {

class TsColorSelect : public TSpeedButton {
 public:
  explicit TsColorSelect(TComponent* owner);

  TColor ColorValue() const { return colorValue_; }
  void SetColorValue(TColor value);
  int ImgWidth() const { return imgWidth_; }
  void SetImgWidth(int value);
  int ImgHeight() const { return imgHeight_; }
  void SetImgHeight(int value);
  bool StandardDlg() const { return standardDlg_; }
  void SetStandardDlg(bool value) { standardDlg_ = value; }

  // Raised after a colour was accepted in the dialog.
  TNotifyEvent OnChange;

  // Rebuilds the swatch unless it already shows ColorValue; with repaint, repaints the button.
  void UpdateSwatch(bool repaint);
  // How many times the swatch was rebuilt (for tests).
  int SwatchBuilds() const { return swatchBuilds_; }

 protected:
  void Loaded() override;

 private:
  TColor colorValue_ = clBlack;
  int imgWidth_ = 15;
  int imgHeight_ = 15;
  bool standardDlg_ = false;
  int swatchBuilds_ = 0;
};

}  // namespace tv
