#pragma once
// A windowed container with an etched frame and its caption set into the frame's top edge.
#include "framework/Control.h"

namespace tv {

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);
  void Paint(TCanvas& canvas) override;
};

}  // namespace tv
