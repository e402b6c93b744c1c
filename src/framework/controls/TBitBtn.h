#pragma once
// A push button with a picture beside its caption. The glyph's bottom-left pixel gives its
// transparent colour.
#include "framework/controls/TButton.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);

  TBitmap& Glyph() { return glyph_; }
  const TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const TBitmap& glyph);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  // Pixels between glyph and caption.
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  // Pixels from the edge to the glyph; -1 centres glyph and caption together.
  int Margin() const { return margin_; }
  void SetMargin(int v);

  void Paint(TCanvas& canvas) override;

 private:
  TBitmap glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
};

// Lays a glyph and a caption out in a button face (shared with the speed button). Draws both.
void DrawGlyphAndCaption(TCanvas& canvas, const TRect& face, TBitmap* glyph, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, bool enabled, TColor textColor);

}  // namespace tv
