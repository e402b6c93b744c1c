#include "framework/controls/TGroupBox.h"

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  canvas.Font().Assign(Font());
  const int textHeight = canvas.TextHeight("0");
  TRect frame = r;
  frame.Top += textHeight / 2;
  classic::EtchedFrame(canvas, frame);
  if (Caption().empty()) return;
  TRect text{8, 0, 8, textHeight};
  canvas.DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  text.Right = std::min(text.Right, r.Right - 8);
  // The caption sits on a strip of the face colour that interrupts the frame.
  canvas.Brush().SetColor(Color());
  canvas.FillRect({text.Left - 1, 0, text.Right + 1, textHeight});
  classic::DrawCaption(canvas, Caption(), text, DT_LEFT | DT_SINGLELINE, IsEnabledInTree(), Font().Color());
}

}  // namespace tv
