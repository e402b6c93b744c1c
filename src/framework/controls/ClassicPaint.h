#pragma once
// Drawing helpers for the plain controls: the classic grey 3-D look (raised buttons, sunken
// fields, etched frames), arrows, check marks and captions that grey out when disabled.
#include <string>

#include "framework/graphics/Colors.h"
#include "framework/graphics/Geometry.h"
#include "framework/graphics/TCanvas.h"

namespace tv {

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

namespace classic {

// A one-pixel frame, top-left in one colour, bottom-right in the other; shrinks r by one.
void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight);
// A push button's two-pixel raised frame (or its pressed look); shrinks r to the face.
void ButtonFrame(TCanvas& canvas, TRect& r, bool pressed);
// A button face: the frame plus the face colour.
void ButtonFace(TCanvas& canvas, const TRect& r, bool pressed, TColor face = clBtnFace);
// The two-pixel sunken frame of edit fields and list boxes; shrinks r.
void SunkenFrame(TCanvas& canvas, TRect& r);
// A line etched into the face (shadow then highlight).
void EtchedHLine(TCanvas& canvas, int left, int right, int y);
void EtchedVLine(TCanvas& canvas, int x, int top, int bottom);
void EtchedFrame(TCanvas& canvas, const TRect& r);

enum class Arrow { Up, Down, Left, Right };
// A solid triangle centred in r.
void DrawArrow(TCanvas& canvas, const TRect& r, Arrow dir, TColor color);
// The check mark of a check box, centred in r.
void DrawCheck(TCanvas& canvas, const TRect& r, TColor color);
// Text through DrawText; disabled text is embossed (highlight offset, then shadow).
void DrawCaption(TCanvas& canvas, const std::string& text, TRect r, UINT format, bool enabled, TColor color);

// Size of text in a font (DrawText rules, DT_CALCRECT); maxWidth > 0 wraps with DT_WORDBREAK.
TSize MeasureText(const TFont& font, const std::string& text, UINT format, int maxWidth = 0);
// Height of one line of the font (the character cell, tmHeight).
int FontLineHeight(const TFont& font);
int TextWidthOf(const TFont& font, const std::string& text);

}  // namespace classic
}  // namespace tv
