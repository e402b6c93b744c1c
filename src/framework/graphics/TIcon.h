#pragma once
// A small picture with per-pixel transparency, kept as a 32-bit bitmap with straight alpha.
#include <cstdint>
#include <string>

#include "framework/Streams.h"
#include "framework/graphics/TBitmap.h"
#include "platform/Platform.h"

namespace tv {

class TIcon {
 public:
  TIcon() = default;

  int Width() const { return image_.Width(); }
  int Height() const { return image_.Height(); }
  bool Empty() const { return image_.Empty(); }

  // From a picture and an optional mask (white mask pixels are transparent). Without a mask, a
  // Transparent picture's transparent colour is see-through, and a 32-bit picture with
  // afDefined / afPremultiplied alpha keeps it; anything else is opaque.
  void AssignBitmap(const TBitmap& image, const TBitmap* mask = nullptr);
  void Assign(const TIcon& other) { image_.Assign(other.image_); }
  void Clear() { image_ = TBitmap(0, 0, pf32bit); }

  // A Windows BMP (as AssignBitmap without mask) or a Windows ICO file (the largest entry, with its
  // AND mask or alpha). Throw EInvalidGraphic on bad data.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& path);

  // Blends the icon onto the canvas with its top-left at (x, y).
  void Draw(TCanvas& canvas, int x, int y) const;

  // 32-bit pixels with straight alpha.
  const TBitmap& Bitmap() const { return image_; }
  platform::PixelBuffer ToPixelBuffer() const { return image_.ToPixelBuffer(); }

 private:
  TBitmap image_{0, 0, pf32bit};
};

}  // namespace tv
