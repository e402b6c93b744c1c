#pragma once
// A windowless picture control. Its Picture holds a bitmap; drawing on
// Picture()->Bitmap()->Canvas() shows on screen: the control repaints when the picture is replaced
// or resized through the picture, after each of its mouse events (the handlers that draw), and
// on Invalidate() for drawing done elsewhere. Mouse coordinates are picture pixels while the
// picture is neither stretched nor centred.
#include <functional>
#include <memory>
#include <string>

#include "framework/Control.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

class TPicture {
 public:
  TPicture();

  // The picture's bitmap, created empty on first use.
  TBitmap* Bitmap();
  void SetBitmap(const TBitmap& bitmap);
  int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
  int Height() const { return bitmap_ ? bitmap_->Height() : 0; }
  bool Empty() const { return !bitmap_ || bitmap_->Empty(); }
  void Assign(const TPicture& other);
  // Removes the picture.
  void Clear();
  // A BMP file, or a JPEG file (by its .jpg/.jpeg extension). Throws on bad data.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  // Tells the holder that the picture changed (call after changing the bitmap directly).
  void Changed();

  std::function<void(TPicture* sender)> OnChange;

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner);

  TPicture* Picture() { return &picture_; }
  void SetPicture(const TPicture& picture) { picture_.Assign(picture); }
  // The picture's canvas (the bitmap is created when missing).
  TCanvas& Canvas() { return picture_.Bitmap()->Canvas(); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);

  void Invalidate() override;
  void Paint(TCanvas& canvas) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void PictureChanged();
  // Fits the control to the picture when AutoSize is on.
  void FitToPicture();

 private:
  TPicture picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool fitting_ = false;
};

}  // namespace tv
