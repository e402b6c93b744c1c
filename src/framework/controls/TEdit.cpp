#include "framework/controls/TEdit.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"

namespace tv {

// ---- UTF-8 ---------------------------------------------------------------------------------------------

namespace utf8 {

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

std::size_t Next(const std::string& s, std::size_t pos) {
  if (pos >= s.size()) return s.size();
  const auto lead = static_cast<unsigned char>(s[pos]);
  std::size_t len = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 1;
  if (pos + len > s.size()) return pos + 1;
  for (std::size_t i = 1; i < len; ++i)
    if (!IsContinuation(static_cast<unsigned char>(s[pos + i]))) return pos + 1;
  return pos + len;
}

std::size_t Prev(const std::string& s, std::size_t pos) {
  if (pos == 0) return 0;
  if (pos > s.size()) pos = s.size();
  // Step back to the start of the character that ends at pos.
  std::size_t start = pos - 1;
  for (int i = 0; i < 3 && start > 0 && IsContinuation(static_cast<unsigned char>(s[start])); ++i) --start;
  if (Next(s, start) == pos) return start;
  return pos - 1;
}

int Count(const std::string& s) {
  int n = 0;
  for (std::size_t i = 0; i < s.size(); i = Next(s, i)) ++n;
  return n;
}

std::string Head(const std::string& s, int chars) {
  std::size_t i = 0;
  for (int n = 0; n < chars && i < s.size(); ++n) i = Next(s, i);
  return s.substr(0, i);
}

std::string Encode(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    if (cp >= 0xD800 && cp <= 0xDFFF) return {};
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp <= 0x10FFFF) {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace utf8

// ---- TEdit ----------------------------------------------------------------------------------------------

namespace {

bool IsWordChar(const std::string& s, std::size_t pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  return c >= 0x80 || std::isalnum(c) || c == '_';
}

// A single line: the text up to the first line break.
std::string FirstLine(const std::string& text) {
  const std::size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetCursor(crIBeam);
  AdjustHeight();
}

void TEdit::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  Invalidate();
}

void TEdit::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustHeight();
}

void TEdit::SetBorderStyle(TFormBorderStyle s) {
  if (s != bsNone) s = bsSingle;
  if (s == borderStyle_) return;
  borderStyle_ = s;
  AdjustHeight();
  Invalidate();
}

void TEdit::AdjustHeight() {
  if (!autoSize_) return;
  // The font's cell plus room for the sunken frame, as the classic edit sizes itself.
  SetHeight(classic::FontLineHeight(Font()) + (borderStyle_ == bsSingle ? 8 : 2));
}

std::size_t TEdit::ByteFromChar(int charPos) const {
  const std::string& s = Text();
  std::size_t i = 0;
  for (int n = 0; n < charPos && i < s.size(); ++n) i = utf8::Next(s, i);
  return i;
}

int TEdit::CharFromByte(std::size_t bytePos) const { return utf8::Count(Text().substr(0, bytePos)); }

int TEdit::CharCount() const { return utf8::Count(Text()); }
int TEdit::SelStart() const { return CharFromByte(SelStartByte()); }
int TEdit::SelLength() const { return CharFromByte(SelEndByte()) - SelStart(); }
int TEdit::CaretPos() const { return CharFromByte(caret_); }
std::string TEdit::SelText() const { return Text().substr(SelStartByte(), SelEndByte() - SelStartByte()); }

void TEdit::SetSelStart(int v) {
  const std::size_t b = ByteFromChar(std::max(0, v));
  anchor_ = caret_ = b;
  EnsureCaretVisible();
  Invalidate();
}

void TEdit::SetSelLength(int v) {
  const int start = SelStart();
  anchor_ = ByteFromChar(start);
  caret_ = ByteFromChar(std::max(0, start + v));
  EnsureCaretVisible();
  Invalidate();
}

void TEdit::SelectAll() {
  anchor_ = 0;
  caret_ = Text().size();
  EnsureCaretVisible();
  Invalidate();
}

void TEdit::SetCaretByte(std::size_t pos, bool extend) {
  caret_ = std::min(pos, Text().size());
  if (!extend) anchor_ = caret_;
  EnsureCaretVisible();
  Invalidate();
}

void TEdit::SetSelText(const std::string& text) { ReplaceSelection(text); }

void TEdit::ClearSelection() { ReplaceSelection(std::string()); }

void TEdit::CopyToClipboard() {
  if (caret_ != anchor_) platform::GetPlatform().SetClipboardText(SelText());
}

void TEdit::CutToClipboard() {
  if (readOnly_ || caret_ == anchor_) return;
  CopyToClipboard();
  ClearSelection();
}

void TEdit::PasteFromClipboard() {
  if (readOnly_) return;
  const std::string text = FirstLine(platform::GetPlatform().ClipboardText());
  if (!text.empty()) ReplaceSelection(text);
}

void TEdit::SetTextFromEdit(const std::string& text) {
  syncing_ = true;
  SetCaption(text);
  syncing_ = false;
}

bool TEdit::ReplaceSelection(const std::string& input) {
  const std::string& text = Text();
  const std::size_t start = SelStartByte();
  const std::size_t end = SelEndByte();
  std::string insert = FirstLine(input);
  if (maxLength_ > 0) {
    const int kept = utf8::Count(text) - utf8::Count(text.substr(start, end - start));
    insert = utf8::Head(insert, std::max(0, maxLength_ - kept));
  }
  if (insert.empty() && start == end) return false;
  const std::string next = text.substr(0, start) + insert + text.substr(end);
  anchor_ = caret_ = start + insert.size();
  modified_ = true;
  ComponentGuard guard(this);
  SetTextFromEdit(next);
  if (!guard) return true;
  EnsureCaretVisible();
  Invalidate();
  Change();
  return true;
}

void TEdit::Change() { RaiseEvent(OnChange, this); }

std::size_t TEdit::WordLeft(std::size_t pos) const {
  const std::string& s = Text();
  while (pos > 0 && !IsWordChar(s, utf8::Prev(s, pos))) pos = utf8::Prev(s, pos);
  while (pos > 0 && IsWordChar(s, utf8::Prev(s, pos))) pos = utf8::Prev(s, pos);
  return pos;
}

std::size_t TEdit::WordRight(std::size_t pos) const {
  const std::string& s = Text();
  while (pos < s.size() && IsWordChar(s, pos)) pos = utf8::Next(s, pos);
  while (pos < s.size() && !IsWordChar(s, pos)) pos = utf8::Next(s, pos);
  return pos;
}

bool TEdit::WantsKey(std::uint16_t key) const {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

void TEdit::KeyDown(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyDown(key, shift);
  if (!guard || key == 0) return;
  const std::string& s = Text();
  const bool extend = (shift & ssShift) != 0;
  const bool ctrl = (shift & ssCtrl) != 0;
  const bool hasSel = caret_ != anchor_;
  switch (key) {
    case VK_LEFT:
      if (hasSel && !extend && !ctrl)
        SetCaretByte(SelStartByte(), false);
      else
        SetCaretByte(ctrl ? WordLeft(caret_) : utf8::Prev(s, caret_), extend);
      break;
    case VK_RIGHT:
      if (hasSel && !extend && !ctrl)
        SetCaretByte(SelEndByte(), false);
      else
        SetCaretByte(ctrl ? WordRight(caret_) : utf8::Next(s, caret_), extend);
      break;
    case VK_HOME:
      SetCaretByte(0, extend);
      break;
    case VK_END:
      SetCaretByte(s.size(), extend);
      break;
    case VK_BACK:
      if (readOnly_) break;
      if (!hasSel) anchor_ = ctrl ? WordLeft(caret_) : utf8::Prev(s, caret_);
      ReplaceSelection(std::string());
      break;
    case VK_DELETE:
      if (extend && !ctrl) {
        CutToClipboard();
        break;
      }
      if (readOnly_) break;
      if (!hasSel) anchor_ = ctrl ? WordRight(caret_) : utf8::Next(s, caret_);
      ReplaceSelection(std::string());
      break;
    case VK_INSERT:
      if (ctrl && !extend)
        CopyToClipboard();
      else if (extend && !ctrl)
        PasteFromClipboard();
      else
        return;
      break;
    case 'A':
    case 'C':
    case 'X':
    case 'V':
      if (!ctrl || extend || (shift & ssAlt)) return;
      if (key == 'A') SelectAll();
      if (key == 'C') CopyToClipboard();
      if (key == 'X') CutToClipboard();
      if (key == 'V') PasteFromClipboard();
      break;
    default:
      return;
  }
  key = 0;
}

void TEdit::KeyPress(char32_t& key) {
  ComponentGuard guard(this);
  TWinControl::KeyPress(key);
  if (!guard || key == 0) return;
  // Control characters (Backspace, Ctrl+letters, Enter, Escape) are keys, not text.
  if (key < 0x20 || key == 0x7F || readOnly_) return;
  const std::string ch = utf8::Encode(key);
  if (ch.empty()) return;
  ReplaceSelection(ch);
  key = 0;
}

TRect TEdit::TextArea() const {
  const int inset = borderStyle_ == bsSingle ? 3 : 1;
  return ClientRect().Inflated(-inset, -inset);
}

int TEdit::TextX(std::size_t bytePos) const {
  return TextArea().Left - scrollX_ + classic::TextWidthOf(Font(), Text().substr(0, bytePos));
}

int TEdit::CharPosFromX(int x) const {
  const std::string& s = Text();
  int best = 0;
  int n = 0;
  int bestDist = std::abs(x - TextX(0));
  for (std::size_t i = 0; i < s.size();) {
    i = utf8::Next(s, i);
    ++n;
    const int d = std::abs(x - TextX(i));
    if (d < bestDist) {
      bestDist = d;
      best = n;
    }
  }
  return best;
}

void TEdit::EnsureCaretVisible() {
  const TRect area = TextArea();
  const int width = std::max(1, area.Width() - 1);
  const int caretX = classic::TextWidthOf(Font(), Text().substr(0, caret_));
  const int textW = classic::TextWidthOf(Font(), Text());
  if (caretX - scrollX_ < 0) scrollX_ = caretX;
  if (caretX - scrollX_ > width) scrollX_ = caretX - width;
  // No blank beyond the end of the text while it could show more.
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, textW - width));
  if (caretX - scrollX_ > width) scrollX_ = caretX - width;
}

void TEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && IsEnabledInTree()) {
    ComponentGuard guard(this);
    if (CanFocus() && !Focused()) {
      mouseFocusing_ = true;
      SetFocus();
      mouseFocusing_ = false;
      if (!guard) return;
    }
    if (!(shift & ssDouble)) {
      SetCaretByte(ByteFromChar(CharPosFromX(x)), (shift & ssShift) != 0);
      selecting_ = true;
    }
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TEdit::MouseMove(TShiftState shift, int x, int y) {
  if (selecting_) SetCaretByte(ByteFromChar(CharPosFromX(x)), true);
  TWinControl::MouseMove(shift, x, y);
}

void TEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) selecting_ = false;
  TWinControl::MouseUp(button, shift, x, y);
}

void TEdit::DblClick() {
  // A double-click selects the word under the caret.
  const std::string& s = Text();
  std::size_t start = caret_, end = caret_;
  while (start > 0 && IsWordChar(s, utf8::Prev(s, start))) start = utf8::Prev(s, start);
  while (end < s.size() && IsWordChar(s, end)) end = utf8::Next(s, end);
  anchor_ = start;
  caret_ = end;
  EnsureCaretVisible();
  Invalidate();
  TWinControl::DblClick();
}

void TEdit::DoEnter() {
  if (autoSelect_ && !mouseFocusing_) SelectAll();
  Invalidate();
  TWinControl::DoEnter();
}

void TEdit::DoExit() {
  selecting_ = false;
  Invalidate();
  TWinControl::DoExit();
}

void TEdit::WndProc(TMessage& m) {
  TWinControl::WndProc(m);
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      if (!syncing_) {
        // Text set by the program: caret at the start, nothing selected.
        caret_ = anchor_ = 0;
        scrollX_ = 0;
        Invalidate();
        Change();
      }
      break;
    case CM_FONTCHANGED:
    case CM_PARENTFONTCHANGED:
      AdjustHeight();
      EnsureCaretVisible();
      break;
    default:
      break;
  }
}

void TEdit::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  if (borderStyle_ == bsSingle) classic::SunkenFrame(canvas, r);
  const bool enabled = IsEnabledInTree();
  const TColor back = enabled ? Color() : clBtnFace;
  canvas.Brush().SetColor(back);
  canvas.FillRect(r);
  const TRect area = TextArea();
  canvas.IntersectClipRect(area);
  canvas.Font().Assign(Font());
  const std::string& s = Text();
  const int y = area.Top + (area.Height() - canvas.TextHeight("Wg")) / 2;
  const bool focused = Focused();
  const std::size_t a = focused ? SelStartByte() : 0;
  const std::size_t b = focused ? SelEndByte() : 0;
  auto run = [&](std::size_t from, std::size_t to, TColor bg, TColor fg) {
    if (to <= from) return;
    canvas.Brush().SetColor(bg);
    canvas.Font().SetColor(fg);
    canvas.TextOut(TextX(from), y, s.substr(from, to - from));
  };
  const TColor fg = enabled ? Font().Color() : clGrayText;
  run(0, a, back, fg);
  run(a, b, clHighlight, clHighlightText);
  run(b, s.size(), back, fg);
  if (focused && enabled) {
    const int cx = TextX(caret_);
    canvas.Brush().SetColor(clWindowText);
    canvas.FillRect({cx, y, cx + 1, y + canvas.TextHeight("Wg")});
  }
}

}  // namespace tv
