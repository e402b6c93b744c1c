#include "framework/graphics/TCanvas.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "framework/graphics/TBitmap.h"

namespace tv {

namespace {

// One horizontal run of pixels, x1 exclusive, in device coordinates.
struct Span {
  int y;
  int x0;
  int x1;
};

void Normalize(std::vector<Span>& spans) {
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  });
  std::vector<Span> out;
  out.reserve(spans.size());
  for (const Span& s : spans) {
    if (s.x1 <= s.x0) continue;
    if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1) {
      out.back().x1 = std::max(out.back().x1, s.x1);
    } else {
      out.push_back(s);
    }
  }
  spans.swap(out);
}

// Pixels of a round pen of the given width around a point, as rows of (dy, dx0, dx1).
std::vector<Span> PenShape(int width) {
  std::vector<Span> rows;
  if (width <= 1) {
    rows.push_back({0, 0, 1});
    return rows;
  }
  const double r2 = (width / 2.0) * (width / 2.0);
  const bool odd = width % 2 == 1;
  const int lo = odd ? -(width / 2) : -(width / 2);
  const int hi = odd ? width / 2 : width / 2 - 1;
  const double c = odd ? 0.0 : 0.5;
  for (int dy = lo; dy <= hi; ++dy) {
    int x0 = 1, x1 = 0;
    for (int dx = lo; dx <= hi; ++dx) {
      const double fx = dx + c, fy = dy + c;
      if (fx * fx + fy * fy <= r2) {
        x0 = std::min(x0, dx);
        x1 = std::max(x1, dx + 1);
      }
    }
    if (x1 > x0) rows.push_back({dy, x0, x1});
  }
  return rows;
}

// The pixels of a line, as GDI draws it: width 1 without the end point, wider pens with round caps.
// A line of no length draws nothing, whatever the width (so a rubber band erased from its own
// start point leaves no hole).
void AddLine(std::vector<Span>& spans, TPoint a, TPoint b, int width, const std::vector<Span>& shape) {
  if (a == b) return;
  int x = a.X, y = a.Y;
  const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  int err = dx + dy;
  const bool includeEnd = width > 1;
  for (;;) {
    const bool atEnd = x == b.X && y == b.Y;
    if (atEnd && !includeEnd) break;
    for (const Span& r : shape) spans.push_back({y + r.y, x + r.x0, x + r.x1});
    if (atEnd) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// Even-odd fill of a polygon, sampled at pixel centres.
void AddPolygonFill(std::vector<Span>& spans, const std::vector<TPoint>& pts) {
  if (pts.size() < 3) return;
  int top = pts[0].Y, bottom = pts[0].Y;
  for (const TPoint& p : pts) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  std::vector<double> xs;
  for (int y = top; y <= bottom; ++y) {
    const double cy = y + 0.5;
    xs.clear();
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const TPoint& p = pts[i];
      const TPoint& q = pts[(i + 1) % pts.size()];
      if ((p.Y <= cy && q.Y > cy) || (q.Y <= cy && p.Y > cy)) {
        xs.push_back(p.X + (cy - p.Y) * (q.X - p.X) / static_cast<double>(q.Y - p.Y));
      }
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
      const int x0 = static_cast<int>(std::ceil(xs[i] - 0.5));
      const int x1 = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
      spans.push_back({y, x0, x1});
    }
  }
}

// Rows of an ellipse inscribed in [l, r) x [t, b), sampled at pixel centres.
void EllipseRows(int l, int t, int r, int b, std::vector<Span>& rows) {
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  const double rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  if (rx <= 0 || ry <= 0) return;
  for (int y = t; y < b; ++y) {
    const double fy = (y + 0.5 - cy) / ry;
    const double k = 1.0 - fy * fy;
    if (k < 0) continue;
    const double half = rx * std::sqrt(k);
    const int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
    const int x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    if (x1 > x0) rows.push_back({y, x0, x1});
  }
}

std::vector<Span> Subtract(const std::vector<Span>& a, const std::vector<Span>& b) {
  // a and b normalized; returns a minus b.
  std::vector<Span> out;
  std::size_t j = 0;
  for (const Span& s : a) {
    while (j < b.size() && (b[j].y < s.y || (b[j].y == s.y && b[j].x1 <= s.x0))) ++j;
    int cur = s.x0;
    std::size_t k = j;
    while (k < b.size() && b[k].y == s.y && b[k].x0 < s.x1) {
      if (b[k].x0 > cur) out.push_back({s.y, cur, b[k].x0});
      cur = std::max(cur, b[k].x1);
      ++k;
    }
    if (cur < s.x1) out.push_back({s.y, cur, s.x1});
  }
  return out;
}

struct Surface {
  std::uint8_t* bits = nullptr;
  qsizetype stride = 0;
  int bpp = 3;
  TRect clip;
  std::uint8_t* At(int x, int y) const { return bits + stride * y + static_cast<qsizetype>(x) * bpp; }
};

void PutPixel(std::uint8_t* p, int bpp, TPenMode mode, TColor rgb) {
  const std::uint8_t b = GetBValue(rgb), g = GetGValue(rgb), r = GetRValue(rgb);
  switch (mode) {
    case TPenMode::pmCopy: p[0] = b; p[1] = g; p[2] = r; break;
    case TPenMode::pmNotCopy: p[0] = static_cast<std::uint8_t>(~b); p[1] = static_cast<std::uint8_t>(~g); p[2] = static_cast<std::uint8_t>(~r); break;
    case TPenMode::pmNot: p[0] = static_cast<std::uint8_t>(~p[0]); p[1] = static_cast<std::uint8_t>(~p[1]); p[2] = static_cast<std::uint8_t>(~p[2]); break;
    case TPenMode::pmXor: p[0] ^= b; p[1] ^= g; p[2] ^= r; break;
    case TPenMode::pmBlack: p[0] = p[1] = p[2] = 0; break;
    case TPenMode::pmWhite: p[0] = p[1] = p[2] = 0xFF; break;
    case TPenMode::pmNop: return;
  }
  if (bpp == 4 && mode != TPenMode::pmNot && mode != TPenMode::pmXor) p[3] = 0xFF;
}

void Apply(const Surface& s, const std::vector<Span>& spans, TPenMode mode, TColor color) {
  if (!s.bits || mode == TPenMode::pmNop) return;
  const TColor rgb = ColorToRGB(color);
  for (const Span& sp : spans) {
    if (sp.y < s.clip.Top || sp.y >= s.clip.Bottom) continue;
    const int x0 = std::max(sp.x0, s.clip.Left), x1 = std::min(sp.x1, s.clip.Right);
    for (int x = x0; x < x1; ++x) PutPixel(s.At(x, sp.y), s.bpp, mode, rgb);
  }
}

std::vector<Span> RectSpans(const TRect& r) {
  std::vector<Span> spans;
  for (int y = r.Top; y < r.Bottom; ++y) spans.push_back({y, r.Left, r.Right});
  return spans;
}

TRect Normalized(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QColor ToQColor(TColor c) {
  c = ColorToRGB(c);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

int MulDiv(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(p >= 0 ? (p + half) / c : (p - half) / c);
}

}  // namespace

// ---- TFont --------------------------------------------------------------------------------------

TFont::TFont(const TFont& other) { Assign(other); }
TFont& TFont::operator=(const TFont& other) {
  Assign(other);
  return *this;
}
void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}
void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}
int TFont::Size() const {
  if (height_ <= 0) return MulDiv(-height_, 72, kPixelsPerInch);
  return -MulDiv(height_, 72, kPixelsPerInch);  // a positive height reads as a negative size, as in the VCL
}
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kPixelsPerInch, 72)); }
void TFont::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}
void TFont::SetStyle(TFontStyles s) {
  if (s == style_) return;
  style_ = s;
  Changed();
}
void TFont::SetCharset(int c) {
  if (c == charset_) return;
  charset_ = c;
  Changed();
}
void TFont::Assign(const TFont& other) {
  if (&other == this || SameAs(other)) return;
  name_ = other.name_;
  height_ = other.height_;
  color_ = other.color_;
  style_ = other.style_;
  charset_ = other.charset_;
  Changed();
}
bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
         charset_ == o.charset_;
}
void TFont::Changed() {
  if (OnChange) OnChange(this);
}

std::string TFont::ResolvedFamily() const {
  // The installed families do not change while the program runs: resolve each name once.
  static std::map<std::string, std::string> cache;
  std::string key;
  for (char ch : name_) key += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::string resolved = "DejaVu Sans";
  const QString wanted = ToQ(name_);
  for (const QString& f : QFontDatabase::families())
    if (f.compare(wanted, Qt::CaseInsensitive) == 0) {
      resolved = f.toStdString();
      break;
    }
  // What the font machinery actually renders with (differs only when DejaVu Sans is missing too).
  QFont probe(ToQ(resolved));
  probe.setPixelSize(11);
  resolved = QFontInfo(probe).family().toStdString();
  cache.emplace(key, resolved);
  return resolved;
}

int TFont::PixelSize() const {
  if (height_ < 0) return -height_;
  if (height_ == 0) return 11;
  // A positive height is the cell height (ascent + descent): scale the em to fit.
  QFont probe(ToQ(ResolvedFamily()));
  probe.setPixelSize(100);
  const QFontMetrics fm(probe);
  const int cell = fm.ascent() + fm.descent();
  if (cell <= 0) return height_;
  return std::max(1, height_ * 100 / cell);
}

QFont TFont::ToQFont() const {
  QFont f(ToQ(ResolvedFamily()));
  f.setPixelSize(PixelSize());
  f.setBold((style_ & fsBold) != 0);
  f.setItalic((style_ & fsItalic) != 0);
  f.setUnderline((style_ & fsUnderline) != 0);
  f.setStrikeOut((style_ & fsStrikeOut) != 0);
  f.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  f.setKerning(false);
  return f;
}

// ---- TCanvas ------------------------------------------------------------------------------------

namespace {

Surface SurfaceOf(TBitmap* bmp, const TRect& clip) {
  Surface s;
  if (!bmp || bmp->Empty()) return s;
  QImage& img = bmp->Image();
  s.bits = img.bits();
  s.stride = img.bytesPerLine();
  s.bpp = bmp->PixelFormat() == pf32bit ? 4 : 3;
  s.clip = clip;
  return s;
}

// A QPainter on the target with the canvas's clip and origin.
class ScopedPainter {
 public:
  ScopedPainter(TBitmap* bmp, const TRect& clip, TPoint origin) : painter_(&bmp->Image()) {
    painter_.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
    painter_.translate(origin.X, origin.Y);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::Antialiasing, false);
  }
  QPainter& operator*() { return painter_; }
  QPainter* operator->() { return &painter_; }

 private:
  QPainter painter_;
};

}  // namespace

TCanvas::TCanvas(TBitmap* target) : target_(target) {}
TCanvas::~TCanvas() = default;

TRect TCanvas::DeviceClip() const {
  TRect whole{0, 0, target_ ? target_->Width() : 0, target_ ? target_->Height() : 0};
  return clip_ ? IntersectRect(*clip_, whole) : whole;
}

TRect TCanvas::ClipRect() const { return DeviceClip().Offsetted(-origin_.X, -origin_.Y); }
void TCanvas::SetClipRect(const TRect& r) { clip_ = r.Offsetted(origin_.X, origin_.Y); }
void TCanvas::IntersectClipRect(const TRect& r) {
  clip_ = IntersectRect(DeviceClip(), r.Offsetted(origin_.X, origin_.Y));
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = penPos_;
  penPos_ = {x, y};
  if (pen_.Style() == psClear) return;
  std::vector<Span> spans;
  AddLine(spans, {from.X + origin_.X, from.Y + origin_.Y}, {x + origin_.X, y + origin_.Y}, pen_.Width(),
          PenShape(pen_.Width()));
  Normalize(spans);
  Apply(SurfaceOf(target_, DeviceClip()), spans, pen_.Mode(), pen_.Color());
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (pen_.Style() == psClear || points.size() < 2) return;
  std::vector<Span> spans;
  const auto shape = PenShape(pen_.Width());
  for (std::size_t i = 0; i + 1 < points.size(); ++i)
    AddLine(spans, {points[i].X + origin_.X, points[i].Y + origin_.Y},
            {points[i + 1].X + origin_.X, points[i + 1].Y + origin_.Y}, pen_.Width(), shape);
  Normalize(spans);
  Apply(SurfaceOf(target_, DeviceClip()), spans, pen_.Mode(), pen_.Color());
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  std::vector<TPoint> dev;
  for (const TPoint& p : points) dev.push_back({p.X + origin_.X, p.Y + origin_.Y});
  std::vector<Span> fill, outline;
  if (brush_.Style() != bsClear) AddPolygonFill(fill, dev);
  if (pen_.Style() != psClear) {
    const auto shape = PenShape(pen_.Width());
    for (std::size_t i = 0; i < dev.size(); ++i)
      AddLine(outline, dev[i], dev[(i + 1) % dev.size()], pen_.Width(), shape);
  }
  Normalize(fill);
  Normalize(outline);
  const Surface s = SurfaceOf(target_, DeviceClip());
  Apply(s, Subtract(fill, outline), pen_.Mode(), brush_.Color());
  Apply(s, outline, pen_.Mode(), pen_.Color());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  TRect r = Normalized(left, top, right, bottom).Offsetted(origin_.X, origin_.Y);
  if (r.IsEmpty()) return;
  std::vector<Span> fill, outline;
  if (pen_.Style() == psClear) {
    // Without a pen the filled area is one pixel smaller on the right and bottom.
    if (brush_.Style() != bsClear) fill = RectSpans({r.Left, r.Top, r.Right - 1, r.Bottom - 1});
  } else {
    const int w = pen_.Width();
    if (w <= 1 || pen_.Style() == psInsideFrame) {
      const int t = std::max(1, w);
      fill = brush_.Style() != bsClear ? RectSpans(r.Inflated(-t, -t)) : std::vector<Span>{};
      for (int y = r.Top; y < r.Bottom; ++y) {
        if (y < r.Top + t || y >= r.Bottom - t) {
          outline.push_back({y, r.Left, r.Right});
        } else {
          outline.push_back({y, r.Left, std::min(r.Left + t, r.Right)});
          outline.push_back({y, std::max(r.Right - t, r.Left), r.Right});
        }
      }
    } else {
      // A wide pen is centred on the outline through the corner pixels.
      if (brush_.Style() != bsClear) fill = RectSpans(r.Inflated(-1, -1));
      const auto shape = PenShape(w);
      const TPoint c[4] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
      for (int i = 0; i < 4; ++i) AddLine(outline, c[i], c[(i + 1) % 4], w, shape);
    }
  }
  Normalize(fill);
  Normalize(outline);
  const Surface s = SurfaceOf(target_, DeviceClip());
  Apply(s, Subtract(fill, outline), pen_.Mode(), brush_.Color());
  Apply(s, outline, pen_.Mode(), pen_.Color());
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  const TRect r = Normalized(left, top, right, bottom).Offsetted(origin_.X, origin_.Y);
  if (r.IsEmpty()) return;
  std::vector<Span> outer, inner;
  EllipseRows(r.Left, r.Top, r.Right, r.Bottom, outer);
  const int w = pen_.Style() == psClear ? 0 : pen_.Width();
  if (w > 0) {
    EllipseRows(r.Left + w, r.Top + w, r.Right - w, r.Bottom - w, inner);
  } else {
    inner = outer;
  }
  Normalize(outer);
  Normalize(inner);
  const Surface s = SurfaceOf(target_, DeviceClip());
  if (brush_.Style() != bsClear) Apply(s, inner, pen_.Mode(), brush_.Color());
  if (w > 0) Apply(s, Subtract(outer, inner), pen_.Mode(), pen_.Color());
}

void TCanvas::FillRect(const TRect& rect) {
  if (brush_.Style() == bsClear) return;
  TRect r = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom).Offsetted(origin_.X, origin_.Y);
  r = IntersectRect(r, DeviceClip());
  if (r.IsEmpty()) return;
  const Surface s = SurfaceOf(target_, DeviceClip());
  const TColor rgb = ColorToRGB(brush_.Color());
  const std::uint8_t px[4] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0xFF};
  // Fill the first row pixel by pixel, then copy it to the others.
  std::uint8_t* first = s.At(r.Left, r.Top);
  for (int x = r.Left; x < r.Right; ++x) std::memcpy(first + static_cast<std::size_t>(x - r.Left) * s.bpp, px, static_cast<std::size_t>(s.bpp));
  const std::size_t rowBytes = static_cast<std::size_t>(r.Width()) * s.bpp;
  for (int y = r.Top + 1; y < r.Bottom; ++y) std::memcpy(s.At(r.Left, y), first, rowBytes);
}

void TCanvas::FrameRect(const TRect& rect) {
  const TRect r = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom).Offsetted(origin_.X, origin_.Y);
  if (r.IsEmpty()) return;
  std::vector<Span> spans;
  for (int y = r.Top; y < r.Bottom; ++y) {
    if (y == r.Top || y == r.Bottom - 1) {
      spans.push_back({y, r.Left, r.Right});
    } else {
      spans.push_back({y, r.Left, r.Left + 1});
      spans.push_back({y, r.Right - 1, r.Right});
    }
  }
  Normalize(spans);
  Apply(SurfaceOf(target_, DeviceClip()), spans, pmCopy, brush_.Color());
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  const TRect r = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom).Offsetted(origin_.X, origin_.Y);
  if (r.IsEmpty()) return;
  std::vector<Span> spans;
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) spans.push_back({y, x, x + 1});
  };
  for (int x = r.Left; x < r.Right; ++x) {
    dot(x, r.Top);
    if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    dot(r.Left, y);
    if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
  }
  Normalize(spans);
  Apply(SurfaceOf(target_, DeviceClip()), spans, pmNot, clBlack);
}

TColor TCanvas::Pixels(int x, int y) const {
  const TPoint d{x + origin_.X, y + origin_.Y};
  if (!target_ || !DeviceClip().Contains(d)) return clInvalid;
  return target_->PixelColor(d.X, d.Y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  const TPoint d{x + origin_.X, y + origin_.Y};
  if (!target_ || !DeviceClip().Contains(d)) return;
  target_->SetPixelColor(d.X, d.Y, color);
}

// ---- text ---------------------------------------------------------------------------------------

TSize TCanvas::TextExtent(const std::string& text) const {
  const QFontMetrics fm(font_.ToQFont());
  return {fm.horizontalAdvance(ToQ(text)), fm.ascent() + fm.descent()};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  const TSize ext = TextExtent(text);
  if (target_ && !target_->Empty() && !text.empty()) {
    const TRect clip = DeviceClip();
    if (!clip.IsEmpty()) {
      ScopedPainter p(target_, clip, origin_);
      const QFont f = font_.ToQFont();
      if (brush_.Style() != bsClear) p->fillRect(QRect(x, y, ext.cx, ext.cy), ToQColor(brush_.Color()));
      p->setFont(f);
      p->setPen(ToQColor(font_.Color()));
      p->drawText(QPoint(x, y + QFontMetrics(f).ascent()), ToQ(text));
    }
  }
  penPos_ = {x + ext.cx, y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  if (!target_ || target_->Empty()) return;
  const TRect clip = IntersectRect(DeviceClip(), rect.Offsetted(origin_.X, origin_.Y));
  if (clip.IsEmpty()) return;
  ScopedPainter p(target_, clip, origin_);
  if (brush_.Style() != bsClear) p->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQColor(brush_.Color()));
  if (text.empty()) return;
  const QFont f = font_.ToQFont();
  p->setFont(f);
  p->setPen(ToQColor(font_.Color()));
  p->drawText(QPoint(x, y + QFontMetrics(f).ascent()), ToQ(text));
}

namespace {

// A line of DrawText output: its text without the prefix marks, and the underlined character.
struct TextLine {
  QString text;
  int underline = -1;
};

TextLine StripPrefix(const QString& s, bool noPrefix) {
  TextLine line;
  if (noPrefix) {
    line.text = s;
    return line;
  }
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
      ++i;
      if (s[i] != QLatin1Char('&')) line.underline = static_cast<int>(line.text.size());
    }
    line.text += s[i];
  }
  return line;
}

QString Ellipsize(const QFontMetrics& fm, const QString& text, int width) {
  if (fm.horizontalAdvance(text) <= width) return text;
  const QString dots = QStringLiteral("...");
  QString prefix = text;
  while (!prefix.isEmpty() && fm.horizontalAdvance(prefix + dots) > width) {
    prefix.chop(1);
    if (!prefix.isEmpty() && prefix.back().isLowSurrogate()) prefix.chop(1);
  }
  return prefix + dots;
}

}  // namespace

int TCanvas::DrawText(const std::string& text, TRect& rect, UINT format) {
  const QFont f = font_.ToQFont();
  const QFontMetrics fm(f);
  const int lineHeight = fm.ascent() + fm.descent();
  const bool single = (format & DT_SINGLELINE) != 0;
  const bool wrap = (format & DT_WORDBREAK) != 0 && !single;
  const int maxWidth = rect.Width();

  QString all = ToQ(text);
  if (format & DT_EXPANDTABS) all.replace(QLatin1Char('\t'), QStringLiteral("        "));
  QStringList paragraphs;
  if (single) {
    all.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    paragraphs << all;
  } else {
    paragraphs = all.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n')).split(QLatin1Char('\n'));
  }
  std::vector<TextLine> lines;
  for (const QString& para : paragraphs) {
    TextLine whole = StripPrefix(para, (format & DT_NOPREFIX) != 0);
    if (!wrap || fm.horizontalAdvance(whole.text) <= maxWidth) {
      lines.push_back(whole);
      continue;
    }
    // Greedy word wrap; a word longer than the width stays on its own line.
    const QStringList words = whole.text.split(QLatin1Char(' '));
    QString current;
    for (const QString& w : words) {
      const QString candidate = current.isEmpty() ? w : current + QLatin1Char(' ') + w;
      if (!current.isEmpty() && fm.horizontalAdvance(candidate) > maxWidth) {
        lines.push_back({current, -1});
        current = w;
      } else {
        current = candidate;
      }
    }
    lines.push_back({current, -1});
  }
  if ((format & DT_END_ELLIPSIS) != 0)
    for (TextLine& l : lines) l.text = Ellipsize(fm, l.text, maxWidth);

  int widest = 0;
  for (const TextLine& l : lines) widest = std::max(widest, fm.horizontalAdvance(l.text));
  const int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + total;
    return total;
  }
  if (!target_ || target_->Empty()) return total;

  int y = rect.Top;
  if (single && (format & DT_VCENTER)) y = rect.Top + (rect.Height() - lineHeight) / 2;
  if (single && (format & DT_BOTTOM)) y = rect.Bottom - lineHeight;
  TRect clip = DeviceClip();
  if (!(format & DT_NOCLIP)) clip = IntersectRect(clip, rect.Offsetted(origin_.X, origin_.Y));
  if (clip.IsEmpty()) return total;
  ScopedPainter p(target_, clip, origin_);
  p->setFont(f);
  const QColor textColor = ToQColor(font_.Color());
  for (const TextLine& l : lines) {
    const int w = fm.horizontalAdvance(l.text);
    int x = rect.Left;
    if (format & DT_CENTER) x = rect.Left + (rect.Width() - w) / 2;
    else if (format & DT_RIGHT) x = rect.Right - w;
    if (brush_.Style() != bsClear) p->fillRect(QRect(x, y, w, lineHeight), ToQColor(brush_.Color()));
    p->setPen(textColor);
    p->drawText(QPoint(x, y + fm.ascent()), l.text);
    if (l.underline >= 0 && l.underline < l.text.size()) {
      const int ux = x + fm.horizontalAdvance(l.text.left(l.underline));
      const int uw = fm.horizontalAdvance(l.text.mid(l.underline, 1));
      p->fillRect(QRect(ux, y + fm.ascent() + 1, uw, 1), textColor);
    }
    y += lineHeight;
  }
  return total;
}

// ---- bitmaps ------------------------------------------------------------------------------------

namespace {

// Copies src pixels (from srcRect, device coordinates of src) into dest (device coordinates of the
// surface), stretching by nearest pixel, clipped to the surface's clip.
void Blit(const Surface& s, const TRect& dest, const TBitmap& src, const TRect& srcRect, bool useTransparency) {
  if (!s.bits || dest.IsEmpty() || srcRect.IsEmpty() || src.Empty()) return;
  const TRect area = IntersectRect(dest, s.clip);
  if (area.IsEmpty()) return;
  const int sbpp = src.PixelFormat() == pf32bit ? 4 : 3;
  const bool transparent = useTransparency && src.Transparent();
  const TColor key = transparent ? ColorToRGB(src.TransparentColor()) : 0;
  const TAlphaFormat af = sbpp == 4 ? src.AlphaFormat() : afIgnored;
  const bool sameSize = dest.Width() == srcRect.Width() && dest.Height() == srcRect.Height();
  if (sameSize && !transparent && af == afIgnored && sbpp == s.bpp) {
    // Plain copy, row by row.
    const int sx0 = srcRect.Left + (area.Left - dest.Left);
    const int sx1 = sx0 + area.Width();
    const int cx0 = std::max(sx0, 0), cx1 = std::min(sx1, src.Width());
    if (cx1 <= cx0) return;
    for (int y = area.Top; y < area.Bottom; ++y) {
      const std::uint8_t* srow = src.ScanLine(srcRect.Top + (y - dest.Top));
      if (!srow) continue;
      std::memcpy(s.At(area.Left + (cx0 - sx0), y), srow + static_cast<std::size_t>(cx0) * sbpp,
                  static_cast<std::size_t>(cx1 - cx0) * sbpp);
    }
    return;
  }
  for (int y = area.Top; y < area.Bottom; ++y) {
    const int sy = srcRect.Top + (sameSize ? y - dest.Top
                                           : static_cast<int>(static_cast<long long>(y - dest.Top) * srcRect.Height() / dest.Height()));
    const std::uint8_t* srow = src.ScanLine(sy);
    if (!srow) continue;
    std::uint8_t* d = s.At(area.Left, y);
    for (int x = area.Left; x < area.Right; ++x, d += s.bpp) {
      const int sx = srcRect.Left + (sameSize ? x - dest.Left
                                              : static_cast<int>(static_cast<long long>(x - dest.Left) * srcRect.Width() / dest.Width()));
      if (sx < 0 || sx >= src.Width()) continue;
      const std::uint8_t* p = srow + static_cast<std::size_t>(sx) * sbpp;
      if (transparent && RGB(p[2], p[1], p[0]) == key) continue;
      if (af == afIgnored) {
        d[0] = p[0];
        d[1] = p[1];
        d[2] = p[2];
        if (s.bpp == 4) d[3] = sbpp == 4 ? p[3] : 0xFF;
        continue;
      }
      const int a = p[3];
      const int inv = 255 - a;
      for (int c = 0; c < 3; ++c) {
        const int sc = af == afPremultiplied ? p[c] : (p[c] * a + 127) / 255;
        d[c] = static_cast<std::uint8_t>(std::min(255, sc + (d[c] * inv + 127) / 255));
      }
      if (s.bpp == 4) d[3] = static_cast<std::uint8_t>(std::min(255, a + (d[3] * inv + 127) / 255));
    }
  }
}

}  // namespace

void TCanvas::Draw(int x, int y, const TBitmap& source) {
  if (source.Empty()) return;
  const TRect dest = Bounds(x + origin_.X, y + origin_.Y, source.Width(), source.Height());
  if (&source == target_) {
    const TBitmap copy(source);
    Blit(SurfaceOf(target_, DeviceClip()), dest, copy, {0, 0, copy.Width(), copy.Height()}, true);
    return;
  }
  Blit(SurfaceOf(target_, DeviceClip()), dest, source, {0, 0, source.Width(), source.Height()}, true);
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& source) {
  if (source.Empty()) return;
  const TRect dest = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom).Offsetted(origin_.X, origin_.Y);
  const TBitmap* src = &source;
  TBitmap copy;
  if (&source == target_) {
    copy = source;
    src = &copy;
  }
  Blit(SurfaceOf(target_, DeviceClip()), dest, *src, {0, 0, src->Width(), src->Height()}, true);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect) {
  if (!source.target_ || source.target_->Empty()) return;
  const TRect d = Normalized(dest.Left, dest.Top, dest.Right, dest.Bottom).Offsetted(origin_.X, origin_.Y);
  TRect s = Normalized(srcRect.Left, srcRect.Top, srcRect.Right, srcRect.Bottom)
                .Offsetted(source.origin_.X, source.origin_.Y);
  // Take the source area into a bitmap of its own first (the two canvases may share pixels).
  const TRect avail = IntersectRect(s, {0, 0, source.target_->Width(), source.target_->Height()});
  if (avail.IsEmpty() || d.IsEmpty()) return;
  TBitmap part(s.Width(), s.Height(), source.target_->PixelFormat());
  part.Image().fill(Qt::black);
  for (int y = avail.Top; y < avail.Bottom; ++y) {
    const int bpp = part.PixelFormat() == pf32bit ? 4 : 3;
    std::memcpy(part.ScanLine(y - s.Top) + static_cast<std::size_t>(avail.Left - s.Left) * bpp,
                source.target_->ScanLine(y) + static_cast<std::size_t>(avail.Left) * bpp,
                static_cast<std::size_t>(avail.Width()) * bpp);
  }
  Blit(SurfaceOf(target_, DeviceClip()), d, part, {0, 0, part.Width(), part.Height()}, false);
}

}  // namespace tv
