#include "Unit2/Unit2.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "Unit1/Unit1.h"
#include "framework/Exceptions.h"
#include "framework/Screen.h"
#include "framework/Streams.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TJPEGImage.h"
#include "platform/Platform.h"

namespace tv {

TForm2* Form2 = nullptr;
int SelStartX = 0;
int SelStartY = 0;
int SelEndX = 0;
int SelEndY = 0;
bool FileSearchFlag = true;

namespace {

constexpr TColor kLayerColor = 0xC0C0C0;  // silver
constexpr TColor kKeyColor = 0x808080;    // grey: fully transparent
constexpr std::uint8_t kLayerAlpha = 150;

// The number of the temporary files of the current or last hand-off.
int CaptureNumber = 1;

void FillClient(TForm& form, TColor color) {
  TCanvas& c = form.Canvas();
  c.Pen().SetColor(color);
  c.Brush().SetColor(color);
  c.Rectangle(0, 0, form.ClientWidth(), form.ClientHeight());
}

}  // namespace

std::string TempCaptureName(int n, const char* ext) { return "screenshot" + std::to_string(n) + ext; }

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  SetName("Form2");
  SetCaption("ScreenWindow");
  SetBorderStyle(bsNone);
  SetAlphaBlend(true);
  SetAlphaBlendValue(kLayerAlpha);
  SetTransparentColor(true);
  SetTransparentColorValue(kKeyColor);
  SetColor(kLayerColor);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetCursor(crCross);
  OnShow = [this](TObject* s) { FormShow(s); };
  OnHide = [this](TObject* s) { FormHide(s); };
  OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseDown(s, b, sh, x, y); };
  OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
  OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseUp(s, b, sh, x, y); };
  OnClick = [this](TObject* s) { FormClick(s); };
  // Stored visible: it shows as soon as it is created.
  SetVisible(true);
}

void TForm2::FormShow(TObject*) {
  OverlayHidden = false;
  SetHeight(Screen->Height());
  SetWidth(Screen->Width());
  platform::GetPlatform().CoverPrimaryScreen(Handle());
  Dragging = false;
  Selected = false;
  FillClient(*this, clWhite);
  SetColor(kLayerColor);
}

void TForm2::FormHide(TObject*) { OverlayHidden = true; }

void TForm2::FormKeyDown(TObject*, std::uint16_t&, TShiftState) {}

void TForm2::FormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (Selected) return;
  SelStartX = X;
  SelStartY = Y;
  Dragging = true;
}

void TForm2::FormMouseMove(TObject*, TShiftState, int X, int Y) {
  if (!Dragging) return;
  FillClient(*this, kLayerColor);
  SelEndX = X;
  SelEndY = Y;
  TCanvas& c = Canvas();
  c.Pen().SetColor(clWhite);
  c.Brush().SetColor(clWhite);
  c.Rectangle(SelStartX, SelStartY, SelEndX, SelEndY);
  Selected = true;
}

void TForm2::FormMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  if (!Selected) Dragging = true;
}

void TForm2::FormClick(TObject*) {
  FileSearchFlag = true;
  if (!Selected) return;
  Dragging = false;
  const int width = std::abs(SelEndX - SelStartX);
  const int left = std::min(SelStartX, SelEndX);
  const int height = std::abs(SelEndY - SelStartY);
  const int top = std::min(SelStartY, SelEndY);
  if (width == 0 || height == 0) {
    // Nothing to capture; let the user out of the overlay before the error shows.
    Hide();
    throw EInvalidGraphic("The selected area is empty (" + std::to_string(width) + " x " +
                          std::to_string(height) + ")");
  }
  SetColor(kKeyColor);
  FillClient(*this, kKeyColor);
  FillClient(*this, kKeyColor);
  TBitmap bitmap(platform::GetPlatform().GrabScreen({left, top, left + width, top + height}));
  HandOff(bitmap, false);
}

void TForm2::FullScreenGrab() {
  const int w = Screen->Width();
  const int h = Screen->Height();
  TBitmap bitmap(platform::GetPlatform().GrabScreen({0, 0, w, h}));
  HandOff(bitmap, true);
}

void HandOff(TBitmap& bitmap, bool fromFullScreen) {
  namespace fs = std::filesystem;
  fs::path jpgName;
  fs::path bmpName;
  try {
    TMemoryStream jpegBytes;
    {
      TJPEGImage jpeg;
      jpeg.Assign(bitmap);
      jpeg.SetCompressionQuality(100);
      jpeg.SaveToStream(jpegBytes);
    }

    if (FileSearchFlag) {
      CaptureNumber = 1;
      // A stale picture under either name is someone's file: never overwrite or delete it.
      while (fs::exists(TempCaptureName(CaptureNumber, ".jpg")) || fs::exists(TempCaptureName(CaptureNumber, ".bmp")))
        ++CaptureNumber;
      FileSearchFlag = false;
    }
    jpgName = TempCaptureName(CaptureNumber, ".jpg");
    bmpName = TempCaptureName(CaptureNumber, ".bmp");

    jpegBytes.SaveToFile(jpgName.string());
    bitmap.SaveToFile(bmpName.string());
    Form1->LoadPicture(bmpName.string());

    if (fromFullScreen) Form2->SetFormStyle(fsNormal);
    Form2->Hide();
    std::error_code ec;
    fs::remove(jpgName, ec);
    fs::remove(bmpName, ec);
    FileSearchFlag = true;
  } catch (...) {
    // Leave no trace of this grab and never keep the user locked behind the overlay.
    std::error_code ec;
    if (!jpgName.empty()) fs::remove(jpgName, ec);
    if (!bmpName.empty()) fs::remove(bmpName, ec);
    FileSearchFlag = true;
    if (fromFullScreen) Form2->SetFormStyle(fsNormal);
    Form2->Hide();
    throw;
  }

  ShowMainWindow();
  Form1->CaptureArrived();
}

}  // namespace tv
