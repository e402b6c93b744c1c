#include "framework/controls/TImage.h"

#include <algorithm>
#include <cctype>

#include "framework/controls/TScrollBox.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TJPEGImage.h"

namespace tv {

// ---- TPicture -----------------------------------------------------------------------------------------

TPicture::TPicture() = default;

TBitmap* TPicture::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TPicture::SetBitmap(const TBitmap& bitmap) {
  Bitmap()->Assign(bitmap);
  Changed();
}

void TPicture::Assign(const TPicture& other) {
  if (&other == this) return;
  if (other.bitmap_)
    Bitmap()->Assign(*other.bitmap_);
  else
    bitmap_.reset();
  Changed();
}

void TPicture::Clear() {
  bitmap_.reset();
  Changed();
}

void TPicture::LoadFromFile(const std::string& path) {
  std::string ext = path.substr(path.find_last_of('.') == std::string::npos ? path.size() : path.find_last_of('.'));
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  TBitmap loaded;
  if (ext == ".jpg" || ext == ".jpeg") {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(path);
    loaded.Assign(jpeg.Bitmap());
  } else {
    loaded.LoadFromFile(path);
  }
  *Bitmap() = std::move(loaded);
  Changed();
}

void TPicture::SaveToFile(const std::string& path) const {
  if (bitmap_) bitmap_->SaveToFile(path);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TImage -------------------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TControl(owner) {
  SetBounds(0, 0, 105, 105);
  picture_.OnChange = [this](TPicture*) { PictureChanged(); };
}

void TImage::PictureChanged() {
  FitToPicture();
  Invalidate();
}

void TImage::FitToPicture() {
  if (!autoSize_ || fitting_ || picture_.Empty()) return;
  if (picture_.Width() == Width() && picture_.Height() == Height()) return;
  fitting_ = true;
  SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  fitting_ = false;
  // A scroll box holding the picture follows its new size.
  if (auto* client = dynamic_cast<TScrollBoxClient*>(Parent())) client->Box()->UpdateScrollBars();
}

void TImage::Invalidate() {
  FitToPicture();
  TControl::Invalidate();
}

void TImage::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  FitToPicture();
}

void TImage::SetStretch(bool v) {
  if (v == stretch_) return;
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  if (v == center_) return;
  center_ = v;
  Invalidate();
}

void TImage::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  ComponentGuard guard(this);
  TControl::MouseDown(button, shift, x, y);
  if (guard) Invalidate();
}

void TImage::MouseMove(TShiftState shift, int x, int y) {
  ComponentGuard guard(this);
  TControl::MouseMove(shift, x, y);
  if (guard) Invalidate();
}

void TImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  ComponentGuard guard(this);
  TControl::MouseUp(button, shift, x, y);
  if (guard) Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  TBitmap& bitmap = *picture_.Bitmap();
  const bool wasTransparent = bitmap.Transparent();
  bitmap.SetTransparent(transparent_);
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), bitmap);
  } else {
    const int x = center_ ? (Width() - bitmap.Width()) / 2 : 0;
    const int y = center_ ? (Height() - bitmap.Height()) / 2 : 0;
    canvas.Draw(x, y, bitmap);
  }
  bitmap.SetTransparent(wasTransparent);
}

}  // namespace tv
