#pragma once
// A canvas paints on a bitmap's own pixels with GDI semantics: lines and shapes without
// antialiasing, pen width in pixels with round caps, width-1 lines without their end point, raster
// modes on the destination (pmNot inverts), text greyscale-antialiased on an opaque brush box.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/Colors.h"
#include "framework/graphics/Geometry.h"
#include "platform/WinDefs.h"

class QFont;

namespace tv {

class TBitmap;

// Mix modes (ROP2) of the pen.
enum class TPenMode : std::uint8_t { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor };
constexpr TPenMode pmBlack = TPenMode::pmBlack;
constexpr TPenMode pmWhite = TPenMode::pmWhite;
constexpr TPenMode pmNop = TPenMode::pmNop;
constexpr TPenMode pmNot = TPenMode::pmNot;
constexpr TPenMode pmCopy = TPenMode::pmCopy;
constexpr TPenMode pmNotCopy = TPenMode::pmNotCopy;
constexpr TPenMode pmXor = TPenMode::pmXor;

// Dashed styles draw solid; psClear draws no outline.
enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
constexpr TPenStyle psSolid = TPenStyle::psSolid;
constexpr TPenStyle psDash = TPenStyle::psDash;
constexpr TPenStyle psDot = TPenStyle::psDot;
constexpr TPenStyle psClear = TPenStyle::psClear;
constexpr TPenStyle psInsideFrame = TPenStyle::psInsideFrame;

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };
constexpr TBrushStyle bsSolid = TBrushStyle::bsSolid;
constexpr TBrushStyle bsClear = TBrushStyle::bsClear;

using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// DrawText format flags, Windows values.
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

class TPen {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor c) { color_ = c; }
  int Width() const { return width_; }
  void SetWidth(int w) { width_ = w < 1 ? 1 : w; }
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode m) { mode_ = m; }
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle s) { style_ = s; }
  void Assign(const TPen& other) { *this = other; }

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenMode mode_ = pmCopy;
  TPenStyle style_ = psSolid;
};

class TBrush {
 public:
  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid again, as in the VCL.
  void SetColor(TColor c) {
    color_ = c;
    if (style_ == bsClear) style_ = bsSolid;
  }
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle s) { style_ = s; }
  void Assign(const TBrush& other) { *this = other; }

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// Heights keep the Windows meaning at 96 dpi: negative = the em height in pixels, positive = the
// character cell height; Size is in points (Height -11 = Size 8).
class TFont {
 public:
  static constexpr int kPixelsPerInch = 96;

  TFont() = default;
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);
  virtual ~TFont() = default;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles s);
  int Charset() const { return charset_; }
  void SetCharset(int c);
  void Assign(const TFont& other);
  bool SameAs(const TFont& other) const;

  // The family the name resolves to on this system ("DejaVu Sans" when the named one is absent).
  std::string ResolvedFamily() const;
  // Pixel size of the em.
  int PixelSize() const;
  // The Qt font for painting code.
  QFont ToQFont() const;

  std::function<void(TFont* sender)> OnChange;

 protected:
  virtual void Changed();

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  int charset_ = 1;  // DEFAULT_CHARSET
};

// Clip rectangle and origin of a canvas, to put back after painting a child.
struct TCanvasState {
  TPoint origin;
  std::optional<TRect> clip;  // device coordinates; none = the whole bitmap
};

class TCanvas {
 public:
  explicit TCanvas(TBitmap* target);
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas();

  TBitmap* Target() const { return target_; }
  void SetTarget(TBitmap* target) { target_ = target; }

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }
  const TPen& Pen() const { return pen_; }
  const TBrush& Brush() const { return brush_; }
  const TFont& Font() const { return font_; }

  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  // Draws from the pen position to (x, y) and moves the pen there; width 1 excludes the end point.
  void LineTo(int x, int y);
  // Consecutive segments with the pen; the pen position is not changed.
  void Polyline(const std::vector<TPoint>& points);
  // A closed outline filled with the brush.
  void Polygon(const std::vector<TPoint>& points);
  // Brush inside, pen outline; right and bottom exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // With the brush only.
  void FillRect(const TRect& r);
  // A one-pixel frame in the brush colour.
  void FrameRect(const TRect& r);
  // A dotted inverted frame; drawing it twice removes it.
  void DrawFocusRect(const TRect& r);

  // Text with its cell's top-left at (x, y); on a box of the brush colour when the brush is solid.
  // Moves the pen position to the end of the text, as TextOut does.
  void TextOut(int x, int y, const std::string& text);
  // As TextOut, clipped to rect (the box is the whole rect when the brush is solid).
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  // Windows DrawText over the DT_ flags; returns the height of the text. DT_CALCRECT only measures
  // and updates rect.
  int DrawText(const std::string& text, TRect& rect, UINT format);
  TSize TextExtent(const std::string& text) const;
  int TextWidth(const std::string& text) const { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) const { return TextExtent(text).cy; }

  // Copies the source at (x, y); a Transparent source skips its transparent colour; a 32-bit source
  // with afDefined / afPremultiplied alpha is blended.
  void Draw(int x, int y, const TBitmap& source);
  // Stretches the source into rect (nearest pixel).
  void StretchDraw(const TRect& rect, const TBitmap& source);
  // Copies (stretching when the sizes differ) srcRect of source's bitmap into dest.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect);

  // clInvalid outside the bitmap or the clip rectangle.
  TColor Pixels(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // The clip rectangle in logical coordinates (the whole bitmap when none is set).
  TRect ClipRect() const;
  // Logical (0,0) sits at device point Origin().
  TPoint Origin() const { return origin_; }
  void SetOrigin(TPoint origin) { origin_ = origin; }
  void MoveOrigin(int dx, int dy) { origin_.X += dx; origin_.Y += dy; }
  // Replaces the clip rectangle (logical coordinates).
  void SetClipRect(const TRect& r);
  // Narrows the clip rectangle (logical coordinates).
  void IntersectClipRect(const TRect& r);
  void ResetClip() { clip_.reset(); }
  TCanvasState SaveState() const { return {origin_, clip_}; }
  void RestoreState(const TCanvasState& s) { origin_ = s.origin; clip_ = s.clip; }

 private:
  TRect DeviceClip() const;

  TBitmap* target_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TPoint penPos_;
  TPoint origin_;
  std::optional<TRect> clip_;
};

}  // namespace tv
