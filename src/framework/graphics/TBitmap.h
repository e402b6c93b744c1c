#pragma once
// A device-independent bitmap, 24 or 32 bits per pixel, in the Windows DIB layout: rows top down
// through ScanLine, 24-bit rows B,G,R triplets, 32-bit rows B,G,R,A quads (rows padded to 4 bytes).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Streams.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/Geometry.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"
#include "platform/Result.h"

class QImage;

namespace tv {


enum class TPixelFormat : std::uint8_t { pf24bit, pf32bit };
constexpr TPixelFormat pf24bit = TPixelFormat::pf24bit;
constexpr TPixelFormat pf32bit = TPixelFormat::pf32bit;

// How Draw treats the alpha byte of a 32-bit source: ignored (copied as opaque), straight alpha, or
// premultiplied alpha.
enum class TAlphaFormat : std::uint8_t { afIgnored, afDefined, afPremultiplied };
constexpr TAlphaFormat afIgnored = TAlphaFormat::afIgnored;
constexpr TAlphaFormat afDefined = TAlphaFormat::afDefined;
constexpr TAlphaFormat afPremultiplied = TAlphaFormat::afPremultiplied;

enum class BmpError : std::uint8_t {
  Truncated,          // the data ends before the header, palette or pixels do
  NotBitmap,          // no "BM" signature
  UnsupportedHeader,  // an info header size we do not know
  UnsupportedFormat,  // bit count or compression we do not read
  BadDimensions,      // zero, negative or absurd width or height
  BadPalette,         // palette larger than the format allows or than the file holds
  WriteFailed,        // the stream took fewer bytes than written
};
const char* BmpErrorText(BmpError e);

class TBitmap {
 public:
  // Largest accepted side, in pixels (as a safety net against absurd sizes).
  static constexpr int kMaxSide = 1 << 15;

  TBitmap();  // 0 x 0, pf24bit
  TBitmap(int width, int height, TPixelFormat pf = pf24bit);  // white pixels
  // A 32-bit bitmap holding the buffer's pixels (alpha as given).
  explicit TBitmap(const platform::PixelBuffer& pixels);
  TBitmap(const TBitmap& other);  // deep copy of the picture and transparency; fresh canvas
  TBitmap& operator=(const TBitmap& other);
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;
  ~TBitmap();

  int Width() const;
  int Height() const;
  // Resizing keeps the old pixels that fit; new pixels are white.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);
  bool Empty() const;

  TPixelFormat PixelFormat() const { return pf_; }
  // Converts keeping the pixels; 24 -> 32 gives alpha 255, 32 -> 24 drops alpha.
  void SetPixelFormat(TPixelFormat pf);
  TAlphaFormat AlphaFormat() const { return alphaFormat_; }
  void SetAlphaFormat(TAlphaFormat af) { alphaFormat_ = af; }

  // Row 0 is the top row. nullptr when the row is out of range.
  std::uint8_t* ScanLine(int row);
  const std::uint8_t* ScanLine(int row) const;
  int BytesPerLine() const;

  TCanvas& Canvas();

  void Assign(const TBitmap& source);  // deep copy
  // Pixel-for-pixel equality of the visible colour (and alpha for two 32-bit bitmaps).
  bool SamePixels(const TBitmap& other) const;

  // With Transparent set, TCanvas::Draw skips source pixels of TransparentColor.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  // clDefault (the initial value) means the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color) { transparentColor_ = color; }

  // Windows BMP. The throwing forms raise EInvalidGraphic for bad data and stream errors for I/O.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  // Value-returning forms for library code. ReadBmp reads from the stream's position.
  static Result<TBitmap, BmpError> ReadBmp(TStream& stream);
  static Result<TBitmap, BmpError> ReadBmp(const std::uint8_t* data, std::size_t size);
  // Writes a BITMAPINFOHEADER file of the bitmap's own depth (24 or 32 bits), bottom-up.
  Result<void, BmpError> WriteBmp(TStream& stream) const;

  // For graphics code: the pixels as a QImage (Format_BGR888 or Format_ARGB32), shared, not copied.
  QImage& Image();
  const QImage& Image() const;

  // 32-bit view for the platform (converted into a cache for a 24-bit bitmap; valid until the next
  // change of the bitmap).
  platform::PixelView View() const;
  platform::PixelBuffer ToPixelBuffer() const;

  // Colour of one pixel as 0x00BBGGRR; clInvalid outside.
  TColor PixelColor(int x, int y) const;
  void SetPixelColor(int x, int y, TColor color);

 private:
  friend class TCanvas;
  void Reallocate(int width, int height, TPixelFormat pf);

  std::unique_ptr<QImage> image_;
  TPixelFormat pf_ = pf24bit;
  TAlphaFormat alphaFormat_ = afIgnored;
  bool transparent_ = false;
  TColor transparentColor_ = clDefault;
  std::unique_ptr<TCanvas> canvas_;
  mutable std::unique_ptr<QImage> viewCache_;
};

}  // namespace tv
