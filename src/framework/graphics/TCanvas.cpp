#include "framework/graphics/TCanvas.h"

#include <QFont>

#include "framework/graphics/TBitmap.h"

namespace tv {

TFont::TFont(const TFont& other) { Assign(other); }
TFont& TFont::operator=(const TFont& other) {
  Assign(other);
  return *this;
}
void TFont::SetName(const std::string& name) { if (name != name_) { name_ = name; Changed(); } }
void TFont::SetHeight(int height) { if (height != height_) { height_ = height; Changed(); } }
int TFont::Size() const { return 0; }
void TFont::SetSize(int) {}
void TFont::SetColor(TColor c) { if (c != color_) { color_ = c; Changed(); } }
void TFont::SetStyle(TFontStyles s) { if (s != style_) { style_ = s; Changed(); } }
void TFont::SetCharset(int c) { if (c != charset_) { charset_ = c; Changed(); } }
void TFont::Assign(const TFont& other) {
  if (&other == this) return;
  name_ = other.name_;
  height_ = other.height_;
  color_ = other.color_;
  style_ = other.style_;
  charset_ = other.charset_;
  Changed();
}
bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ && charset_ == o.charset_;
}
std::string TFont::ResolvedFamily() const { return name_; }
int TFont::PixelSize() const { return height_ < 0 ? -height_ : height_; }
QFont TFont::ToQFont() const { return QFont(); }
void TFont::Changed() {
  if (OnChange) OnChange(this);
}

TCanvas::TCanvas(TBitmap* target) : target_(target) {}
TCanvas::~TCanvas() = default;
void TCanvas::LineTo(int x, int y) { penPos_ = {x, y}; }
void TCanvas::Polyline(const std::vector<TPoint>&) {}
void TCanvas::Polygon(const std::vector<TPoint>&) {}
void TCanvas::Rectangle(int, int, int, int) {}
void TCanvas::Ellipse(int, int, int, int) {}
void TCanvas::FillRect(const TRect&) {}
void TCanvas::FrameRect(const TRect&) {}
void TCanvas::DrawFocusRect(const TRect&) {}
void TCanvas::TextOut(int, int, const std::string&) {}
void TCanvas::TextRect(const TRect&, int, int, const std::string&) {}
int TCanvas::DrawText(const std::string&, TRect&, UINT) { return 0; }
TSize TCanvas::TextExtent(const std::string&) const { return {}; }
void TCanvas::Draw(int, int, const TBitmap&) {}
void TCanvas::StretchDraw(const TRect&, const TBitmap&) {}
void TCanvas::CopyRect(const TRect&, TCanvas&, const TRect&) {}
TColor TCanvas::Pixels(int x, int y) const { return target_->PixelColor(x + origin_.X, y + origin_.Y); }
void TCanvas::SetPixel(int x, int y, TColor color) { target_->SetPixelColor(x + origin_.X, y + origin_.Y, color); }
TRect TCanvas::ClipRect() const { return DeviceClip().Offsetted(-origin_.X, -origin_.Y); }
void TCanvas::SetClipRect(const TRect& r) { clip_ = r.Offsetted(origin_.X, origin_.Y); }
void TCanvas::IntersectClipRect(const TRect& r) { clip_ = IntersectRect(DeviceClip(), r.Offsetted(origin_.X, origin_.Y)); }
TRect TCanvas::DeviceClip() const {
  TRect whole{0, 0, target_ ? target_->Width() : 0, target_ ? target_->Height() : 0};
  return clip_ ? IntersectRect(*clip_, whole) : whole;
}

}  // namespace tv
