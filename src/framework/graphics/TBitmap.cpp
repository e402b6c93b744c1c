#include "framework/graphics/TBitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>

#include "framework/Exceptions.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

namespace {

QImage::Format QtFormat(TPixelFormat pf) {
  return pf == pf32bit ? QImage::Format_ARGB32 : QImage::Format_BGR888;
}

QImage MakeWhite(int width, int height, TPixelFormat pf) {
  if (width <= 0 || height <= 0) return QImage();
  QImage img(width, height, QtFormat(pf));
  if (img.isNull()) throw EOutOfResources("Out of system resources");
  std::memset(img.bits(), 0xFF, static_cast<std::size_t>(img.sizeInBytes()));
  return img;
}

}  // namespace

const char* BmpErrorText(BmpError e) {
  switch (e) {
    case BmpError::Truncated: return "Bitmap data is truncated";
    case BmpError::NotBitmap: return "Not a bitmap";
    case BmpError::UnsupportedHeader: return "Unsupported bitmap header";
    case BmpError::UnsupportedFormat: return "Unsupported bitmap format";
    case BmpError::BadDimensions: return "Invalid bitmap size";
    case BmpError::BadPalette: return "Invalid bitmap palette";
    case BmpError::WriteFailed: return "Bitmap could not be written";
  }
  return "Bitmap image is not valid";
}

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) {}

TBitmap::TBitmap(int width, int height, TPixelFormat pf) : image_(std::make_unique<QImage>()), pf_(pf) {
  Reallocate(width, height, pf);
}

TBitmap::TBitmap(const platform::PixelBuffer& pixels) : image_(std::make_unique<QImage>()), pf_(pf32bit) {
  Reallocate(pixels.width, pixels.height, pf32bit);
  if (Empty() || pixels.pixels.size() < static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height())) return;
  for (int y = 0; y < Height(); ++y)
    std::memcpy(image_->scanLine(y), pixels.pixels.data() + static_cast<std::size_t>(y) * Width(),
                static_cast<std::size_t>(Width()) * 4);
}

TBitmap::TBitmap(const TBitmap& other)
    : image_(std::make_unique<QImage>(*other.image_)),
      pf_(other.pf_),
      alphaFormat_(other.alphaFormat_),
      transparent_(other.transparent_),
      transparentColor_(other.transparentColor_) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) Assign(other);
  return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : image_(std::move(other.image_)),
      pf_(other.pf_),
      alphaFormat_(other.alphaFormat_),
      transparent_(other.transparent_),
      transparentColor_(other.transparentColor_),
      canvas_(std::move(other.canvas_)) {
  if (canvas_) canvas_->SetTarget(this);
  other.image_ = std::make_unique<QImage>();
  other.pf_ = pf24bit;
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  if (this == &other) return *this;
  image_ = std::move(other.image_);
  other.image_ = std::make_unique<QImage>();
  pf_ = other.pf_;
  alphaFormat_ = other.alphaFormat_;
  transparent_ = other.transparent_;
  transparentColor_ = other.transparentColor_;
  other.pf_ = pf24bit;
  viewCache_.reset();
  // Our own canvas (and its pen, brush and font) stays with us.
  return *this;
}

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }
bool TBitmap::Empty() const { return image_->isNull() || Width() == 0 || Height() == 0; }

void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  Reallocate(width, height, pf_);
}

void TBitmap::Reallocate(int width, int height, TPixelFormat pf) {
  if (width > kMaxSide || height > kMaxSide) throw EOutOfResources("Out of system resources");
  QImage next = MakeWhite(width, height, pf);
  if (!next.isNull() && !image_->isNull()) {
    QImage old = image_->format() == next.format() ? *image_ : image_->convertToFormat(next.format());
    const int rows = std::min(old.height(), next.height());
    const std::size_t bytes =
        static_cast<std::size_t>(std::min(old.width(), next.width())) * (pf == pf32bit ? 4 : 3);
    for (int y = 0; y < rows; ++y) std::memcpy(next.scanLine(y), old.constScanLine(y), bytes);
  }
  *image_ = std::move(next);
  pf_ = pf;
  viewCache_.reset();
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == pf_) return;
  if (!image_->isNull()) {
    QImage converted = image_->convertToFormat(QtFormat(pf));
    if (converted.isNull()) throw EOutOfResources("Out of system resources");
    *image_ = std::move(converted);
  }
  pf_ = pf;
  viewCache_.reset();
}

std::uint8_t* TBitmap::ScanLine(int row) {
  if (row < 0 || row >= Height()) return nullptr;
  viewCache_.reset();
  return image_->scanLine(row);
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
  if (row < 0 || row >= Height()) return nullptr;
  return image_->constScanLine(row);
}

int TBitmap::BytesPerLine() const { return image_->isNull() ? 0 : static_cast<int>(image_->bytesPerLine()); }

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(this);
  return *canvas_;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  *image_ = *source.image_;
  pf_ = source.pf_;
  alphaFormat_ = source.alphaFormat_;
  transparent_ = source.transparent_;
  transparentColor_ = source.transparentColor_;
  viewCache_.reset();
}

bool TBitmap::SamePixels(const TBitmap& other) const {
  if (Width() != other.Width() || Height() != other.Height()) return false;
  const bool alpha = pf_ == pf32bit && other.pf_ == pf32bit;
  const int bppA = pf_ == pf32bit ? 4 : 3;
  const int bppB = other.pf_ == pf32bit ? 4 : 3;
  for (int y = 0; y < Height(); ++y) {
    const std::uint8_t* a = ScanLine(y);
    const std::uint8_t* b = other.ScanLine(y);
    for (int x = 0; x < Width(); ++x, a += bppA, b += bppB) {
      if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) return false;
      if (alpha && a[3] != b[3]) return false;
    }
  }
  return true;
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clWhite;
  return PixelColor(0, Height() - 1);
}

TColor TBitmap::PixelColor(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clInvalid;
  const std::uint8_t* p = image_->constScanLine(y) + static_cast<std::size_t>(x) * (pf_ == pf32bit ? 4 : 3);
  return RGB(p[2], p[1], p[0]);
}

void TBitmap::SetPixelColor(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  color = ColorToRGB(color);
  std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * (pf_ == pf32bit ? 4 : 3);
  p[0] = GetBValue(color);
  p[1] = GetGValue(color);
  p[2] = GetRValue(color);
  if (pf_ == pf32bit) p[3] = 0xFF;
}

QImage& TBitmap::Image() {
  viewCache_.reset();
  return *image_;
}
const QImage& TBitmap::Image() const { return *image_; }

platform::PixelView TBitmap::View() const {
  if (Empty()) return {};
  const QImage* src = image_.get();
  if (pf_ != pf32bit) {
    if (!viewCache_) viewCache_ = std::make_unique<QImage>(image_->convertToFormat(QImage::Format_ARGB32));
    src = viewCache_.get();
  }
  return {src->constBits(), src->width(), src->height(), static_cast<int>(src->bytesPerLine())};
}

platform::PixelBuffer TBitmap::ToPixelBuffer() const {
  platform::PixelBuffer out;
  if (Empty()) return out;
  QImage img = pf_ == pf32bit ? *image_ : image_->convertToFormat(QImage::Format_ARGB32);
  out.width = img.width();
  out.height = img.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * out.width, img.constScanLine(y),
                static_cast<std::size_t>(out.width) * 4);
  return out;
}

}  // namespace tv
