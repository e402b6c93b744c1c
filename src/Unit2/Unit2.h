#pragma once
// The overlay window: a borderless, stay-on-top, translucent silver layer over the primary screen
// on which the user marks the rectangle to capture; and the two grabs with their hand-off to the
// main window.
#include <string>

#include "framework/Form.h"

namespace tv {

class TBitmap;

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);

  // A rectangle has been drawn since the overlay was shown / the rubber band follows the mouse.
  bool Dragging = false;
  bool Selected = false;

  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The region grab.
  void FormClick(TObject* Sender);
  // The full-screen grab (second hot-key press while the overlay shows).
  void FullScreenGrab();
};

extern TForm2* Form2;

// Selection corners in the overlay's client pixels (= screen pixels).
extern int SelStartX;
extern int SelStartY;
extern int SelEndX;
extern int SelEndY;

// True whenever no search for free temporary file names is running.
extern bool FileSearchFlag;

// Hands a grabbed bitmap to the editor through the two temporary files in the working directory.
void HandOff(TBitmap& bitmap, bool fromFullScreen);

// "screenshot" + N + ext.
std::string TempCaptureName(int n, const char* ext);

}  // namespace tv
